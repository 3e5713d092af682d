#pragma once
// "簡単印刷(&P)": the window's month on one page of the printer the print-setup dialog gives, as
// large as fits in the base size's proportions, at the printable area's corner, without the
// today frame and the month buttons. It paints through an engine of its own at the page's size:
// the window's settings and canvas are never touched.
class QWidget;

namespace sorvel {

class TSorvelDraw;
struct CalendarSources;

// Shows the dialog and prints; a printer that cannot take bitmaps is said. The window shows
// the wait cursor while the page is made.
void QuickPrint(QWidget* window, const TSorvelDraw& shown, const CalendarSources& sources);

}  // namespace sorvel
