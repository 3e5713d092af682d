#pragma once
// What the day dialog and its two editors share: a fixed dialog frame with only the close box,
// staying on top of other windows, a Japanese proportional font, centred on the work area of
// the primary screen.
#include <QFont>

class QDialog;
class QPushButton;
class QSize;

namespace sorvel {

// The Japanese proportional gothic at a pixel height.
QFont entryDialogFont(int pixelHeight);

// Sets the frame, the client size, the font and the centred position of an entry dialog.
void setUpEntryDialog(QDialog* dialog, const QSize& clientSize);

// A push button that Enter in an edit field does not press: the entry dialogs confirm only by
// a click or the button's own key.
QPushButton* entryButton(const QString& caption, const char* objectName, QDialog* dialog);

}  // namespace sorvel
