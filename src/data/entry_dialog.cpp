#include "data/entry_dialog.h"

#include <QDialog>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>

#include "data/entry_editors.h"

namespace sorvel {

QFont entryDialogFont(int pixelHeight) {
    QFont font;
    font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"), QStringLiteral("IPAPGothic"),
                      QStringLiteral("IPAexGothic"), QStringLiteral("Noto Sans CJK JP")});
    font.setPixelSize(pixelHeight);
    return font;
}

void setUpEntryDialog(QDialog* dialog, const QSize& clientSize) {
    dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                           Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint);
    dialog->setFont(entryDialogFont(12));
    dialog->setFixedSize(clientSize);
    dialog->setModal(true);
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
