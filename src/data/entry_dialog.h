#pragma once
// What every dialog of the program shares: a frame with only the close box, staying on top of
// other windows, modal, a Japanese proportional font, and (unless its owner places it) centred
// on the work area of the primary screen. The day dialog, its editors, the layout object dialogs
// and the settings dialog set themselves up here.
#include <QFont>

class QDialog;
class QPushButton;
class QSize;

namespace sorvel {

// The Japanese proportional gothic at a pixel height.
QFont dialogFont(int pixelHeight);

enum class DialogFrame {
    Fixed,     // the client size stays as given
    Sizeable,  // the client size is where it starts; the user may resize
};
enum class DialogPosition {
    WorkAreaCentre,  // centred on the primary screen's work area
    ByOwner,         // its owner moves it (the settings dialog opens where the calendar stands)
};

// Sets the frame, the client size, the font (12 px) and the position of a dialog.
void setUpDialog(QDialog* dialog, const QSize& clientSize, DialogFrame frame = DialogFrame::Fixed,
                 DialogPosition place = DialogPosition::WorkAreaCentre);

// A push button that Enter in an edit field does not press: the entry dialogs confirm only by
// a click or the button's own key.
QPushButton* entryButton(const QString& caption, const char* objectName, QDialog* dialog);

}  // namespace sorvel
