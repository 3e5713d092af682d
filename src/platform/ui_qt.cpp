#include "platform/ui_qt.h"

#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFontDialog>
#include <QFile>
#include <QGroupBox>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

namespace sorvel {

namespace {

// With SORVEL_MESSAGE_LOG naming a file, every message shown is appended to it as one line of
// JSON ({"caption": …, "text": …}), so that tests of the real program can read what it said.
void logMessage(const QString& text, const QString& caption) {
    const QString path = qEnvironmentVariable("SORVEL_MESSAGE_LOG");
    if (path.isEmpty()) return;
    QFile log(path);
    if (!log.open(QIODevice::WriteOnly | QIODevice::Append)) return;
    const QJsonObject entry{{QStringLiteral("caption"), caption}, {QStringLiteral("text"), text}};
    log.write(QJsonDocument(entry).toJson(QJsonDocument::Compact) + '\n');
}

}  // namespace

MsgAnswer QtUi::messageBox(const QString& text, const QString& caption, MsgButtons buttons) {
    logMessage(text, caption);
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::NoButton, QApplication::activeWindow());
    box.setObjectName(QStringLiteral("SorvelMessageBox"));
    auto add = [&](const QString& label, QMessageBox::ButtonRole role, MsgAnswer answer) {
        QPushButton* b = box.addButton(label, role);
        b->setProperty("answer", static_cast<int>(answer));
        return b;
    };
    QPushButton* first = nullptr;
    switch (buttons) {
        case MsgButtons::Ok:
            first = add(QStringLiteral("OK"), QMessageBox::AcceptRole, MsgAnswer::Ok);
            box.setEscapeButton(first);
            break;
        case MsgButtons::OkCancel:
            first = add(QStringLiteral("OK"), QMessageBox::AcceptRole, MsgAnswer::Ok);
            box.setEscapeButton(add(QStringLiteral("キャンセル"), QMessageBox::RejectRole, MsgAnswer::Cancel));
            break;
        case MsgButtons::YesNo:
            first = add(QStringLiteral("はい(&Y)"), QMessageBox::YesRole, MsgAnswer::Yes);
            box.setEscapeButton(add(QStringLiteral("いいえ(&N)"), QMessageBox::NoRole, MsgAnswer::No));
            break;
        case MsgButtons::YesNoCancel:
            first = add(QStringLiteral("はい(&Y)"), QMessageBox::YesRole, MsgAnswer::Yes);
            add(QStringLiteral("いいえ(&N)"), QMessageBox::NoRole, MsgAnswer::No);
            box.setEscapeButton(add(QStringLiteral("キャンセル"), QMessageBox::RejectRole, MsgAnswer::Cancel));
            break;
    }
    box.setDefaultButton(first);
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    if (!clicked) return buttons == MsgButtons::Ok ? MsgAnswer::Ok : MsgAnswer::Cancel;
    return static_cast<MsgAnswer>(clicked->property("answer").toInt());
}

QString qtFileFilter(const QString& filter) {
    const QStringList parts = filter.split('|');
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(';', ' ');
        QString name = parts[i];
        out << (name.contains('(') ? name.section('(', 0, 0).trimmed() : name) + " (" + patterns + ")";
    }
    return out.join(QStringLiteral(";;"));
}

std::optional<QString> QtUi::openFile(const FileDialogRequest& req) {
    QString f = QFileDialog::getOpenFileName(QApplication::activeWindow(), req.title, req.initialPath,
                                             qtFileFilter(req.filter));
    if (f.isEmpty()) return std::nullopt;
    return f;
}

std::optional<QString> QtUi::saveFile(const FileDialogRequest& req) {
    QString f = QFileDialog::getSaveFileName(QApplication::activeWindow(), req.title, req.initialPath,
                                             qtFileFilter(req.filter));
    if (f.isEmpty()) return std::nullopt;
    return f;
}

bool QtUi::openDocument(const QString& pathOrUrl) {
    QUrl url = pathOrUrl.contains(QStringLiteral("://")) ? QUrl(pathOrUrl) : QUrl::fromLocalFile(pathOrUrl);
    return QDesktopServices::openUrl(url);
}

std::optional<QString> QtUi::chooseFont(const QString& face, int pointSize) {
    auto chosen = chooseFontAndSize(face, pointSize);
    if (!chosen) return std::nullopt;
    return chosen->face;
}

std::optional<UiService::ChosenFont> QtUi::chooseFontAndSize(const QString& face, int pointSize) {
    QFont preset(face);
    if (pointSize > 0) preset.setPointSize(pointSize);
    QFontDialog dialog(preset, QApplication::activeWindow());
    dialog.setOption(QFontDialog::DontUseNativeDialog);
    // Only the face and the size are used: the effects (underline, strike-out) are not offered.
    for (QGroupBox* group : dialog.findChildren<QGroupBox*>())
        if (!group->findChildren<QCheckBox*>().isEmpty()) group->hide();
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QFont font = dialog.selectedFont();
    return ChosenFont{font.family(), font.pointSize()};
}

}  // namespace sorvel
