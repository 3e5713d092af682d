#include "data/entry_dialog.h"

#include <QDialog>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>

#include "data/entry_editors.h"

namespace sorvel {

QFont dialogFont(int pixelHeight) {
    QFont font;
    font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"), QStringLiteral("IPAPGothic"),
                      QStringLiteral("IPAexGothic"), QStringLiteral("Noto Sans CJK JP")});
    font.setPixelSize(pixelHeight);
    return font;
}

void setUpDialog(QDialog* dialog, const QSize& clientSize, DialogFrame frame, DialogPosition place) {
    Qt::WindowFlags flags = Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint;
    if (frame == DialogFrame::Fixed) flags |= Qt::CustomizeWindowHint | Qt::MSWindowsFixedSizeDialogHint;
    dialog->setWindowFlags(flags);
    dialog->setFont(dialogFont(12));
    if (frame == DialogFrame::Fixed)
        dialog->setFixedSize(clientSize);
    else
        dialog->resize(clientSize);
    dialog->setModal(true);
    if (place != DialogPosition::WorkAreaCentre) return;
    if (QScreen* screen = QGuiApplication::primaryScreen())
        dialog->move(centredTopLeft(screen->availableGeometry(), clientSize));
}

QPushButton* entryButton(const QString& caption, const char* objectName, QDialog* dialog) {
    auto* button = new QPushButton(caption, dialog);
    button->setObjectName(QString::fromLatin1(objectName));
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

}  // namespace sorvel
