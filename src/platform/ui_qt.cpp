#include "platform/ui_qt.h"

#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontDialog>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QPixmap>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

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
    if (req.acceptNewName) {
        // An open dialog that takes a name not yet on disk.
        QFileDialog dialog(QApplication::activeWindow(), req.title, req.initialPath, qtFileFilter(req.filter));
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::AnyFile);
        // Desktop dialogs opening a file insist on one that exists.
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        if (!req.initialPath.isEmpty()) dialog.selectFile(req.initialPath);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
        return dialog.selectedFiles().constFirst();
    }
    QString f = QFileDialog::getOpenFileName(QApplication::activeWindow(), req.title, req.initialPath,
                                             qtFileFilter(req.filter));
    if (f.isEmpty()) return std::nullopt;
    return f;
}

PicturePreview::PicturePreview(PictureDecoder decode, QWidget* parent) : QLabel(parent), decode_(std::move(decode)) {
    setObjectName(QStringLiteral("PicturePreview"));
    setFixedSize(kSide, kSide);
    setAlignment(Qt::AlignCenter);
    setFrameShape(QFrame::StyledPanel);
    setWordWrap(true);
}

void PicturePreview::showFile(const QString& path) {
    clear();
    if (path.isEmpty() || !QFileInfo(path).isFile()) return;
    QImage image;
    if (!decode_ || !decode_(path, &image) || image.isNull()) {
        setText(QStringLiteral("プレビューできません"));
        return;
    }
    const int side = kSide - 2 * frameWidth();
    setPixmap(QPixmap::fromImage(image.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

void setUpPictureDialog(QFileDialog& dialog, const FileDialogRequest& req, const PictureDecoder& decode) {
    dialog.setWindowTitle(req.title);
    dialog.setNameFilter(qtFileFilter(req.filter));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    // The preview needs the dialog's own widgets: the desktop's dialog has no room for it.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    auto* preview = new PicturePreview(decode, &dialog);
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout()))
        grid->addWidget(preview, 1, grid->columnCount(), 1, 1, Qt::AlignTop);
    QObject::connect(&dialog, &QFileDialog::currentChanged, preview, &PicturePreview::showFile);
    if (!req.initialPath.isEmpty()) {
        dialog.selectFile(req.initialPath);
        preview->showFile(req.initialPath);
    }
}

std::optional<QString> QtUi::openPicture(const FileDialogRequest& req, const PictureDecoder& decode) {
    QFileDialog dialog(QApplication::activeWindow());
    setUpPictureDialog(dialog, req, decode);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

std::optional<QString> QtUi::saveFile(const FileDialogRequest& req) {
    QFileDialog dialog(QApplication::activeWindow(), req.title, req.initialPath, qtFileFilter(req.filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(req.defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    const QString f = dialog.selectedFiles().constFirst();
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

std::optional<QString> QtUi::askPassword(const QString& text, const QString& caption) {
    logMessage(text, caption);
    QDialog dialog(QApplication::activeWindow());
    dialog.setObjectName(QStringLiteral("SorvelPasswordDialog"));
    dialog.setWindowTitle(caption);
    auto* label = new QLabel(text, &dialog);
    label->setWordWrap(true);
    auto* edit = new QLineEdit(&dialog);
    edit->setObjectName(QStringLiteral("Password"));
    edit->setEchoMode(QLineEdit::Password);
    auto* buttons = new QDialogButtonBox(&dialog);
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* column = new QVBoxLayout(&dialog);
    column->addWidget(label);
    column->addWidget(edit);
    column->addWidget(buttons);
    dialog.setMinimumWidth(360);
    edit->setFocus();
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return edit->text();
}

}  // namespace sorvel
