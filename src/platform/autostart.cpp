#include "platform/autostart.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include "platform/files.h"
#include "platform/messages.h"
#include "platform/ui.h"

namespace sorvel {

namespace {

// One argument of an Exec line: quoted when it holds a character the desktop-entry rules
// reserve, with ", `, $ and \ escaped inside the quotes; then the string value's own escaping
// doubles every backslash, and % is written %%.
QString execArgument(const QString& arg) {
    static const QString reserved = QStringLiteral(" \t\"'\\><~|&;$*?#()`");
    bool quote = arg.isEmpty();
    for (QChar c : arg) quote = quote || reserved.contains(c);
    QString out;
    if (quote) {
        out += '"';
        for (QChar c : arg) {
            if (c == '"' || c == '`' || c == '$' || c == '\\') out += '\\';
            out += c;
        }
        out += '"';
    } else {
        out = arg;
    }
    out.replace('\\', QStringLiteral("\\\\"));
    out.replace('%', QStringLiteral("%%"));
    return out;
}

}  // namespace

QString autostartPath() {
    QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (config.isEmpty()) config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/autostart/sorvel.desktop");
}

std::string autostartEntry(const QString& program) {
    for (QChar c : program)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F) return {};
    const QString entry = QStringLiteral(
                              "[Desktop Entry]\n"
                              "Type=Application\n"
                              "Name=Sorvel\n"
                              "Comment=Desktop calendar\n"
                              "Comment[ja]=デスクトップカレンダー\n"
                              "Exec=%1\n"
                              "Icon=sorvel\n"
                              "Terminal=false\n"
                              "X-GNOME-Autostart-enabled=true\n")
                              .arg(execArgument(program));
    return entry.toUtf8().toStdString();
}

bool autostartEnabled(const QString& entryPath) {
    auto bytes = readWholeFile(entryPath, 1 << 20);
    if (!bytes) return false;
    for (const QByteArray& raw : QByteArray::fromStdString(*bytes).split('\n')) {
        const QByteArray line = raw.trimmed();
        if (line == "Hidden=true" || line == "X-GNOME-Autostart-enabled=false") return false;
    }
    return true;
}

bool setAutostart(bool on, const QString& entryPath, const QString& program) {
    if (on) {
        const std::string entry = autostartEntry(program);
        const QString dir = QFileInfo(entryPath).absolutePath();
        QString error;
        if (entry.empty() || !QDir().mkpath(dir) || !atomicReplace(entryPath, entry, &error)) {
            showMessage(saveFailedMessage(entryPath, error), programMessageCaption());
            return false;
        }
        return true;
    }
    if (QFileInfo(entryPath).isSymLink() || QFileInfo::exists(entryPath)) {
        if (!QFile::remove(entryPath)) {
            showMessage(removeFailedMessage(entryPath), programMessageCaption());
            return false;
        }
    }
    return true;
}

}  // namespace sorvel
