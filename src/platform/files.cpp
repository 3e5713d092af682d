#include "platform/files.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include "platform/text.h"

namespace sorvel {

namespace {

QString& programDirOverride() {
    static QString dir;
    return dir;
}

SaveFaultPlan& faultPlan() {
    static SaveFaultPlan plan;
    return plan;
}

QString stripTrailingSeparator(QString dir) {
    while (dir.size() > 1 && dir.endsWith('/')) dir.chop(1);
    return dir;
}

void syncDirectory(const QString& dir) {
    int fd = ::open(QFile::encodeName(dir).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

}  // namespace

QString programDirectory() {
    if (!programDirOverride().isEmpty()) return programDirOverride();
    QString exeDir = QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QString();
    // An installed copy (`make install`, the package: its help page in ../share/sorvel) is no
    // portable one even where its folder is writable, as /usr/bin is for root.
    const bool installed = QFileInfo(exeDir + QStringLiteral("/../share/sorvel/sorvel-help.html")).isFile();
    if (!exeDir.isEmpty() && !installed && QFileInfo(exeDir).isWritable()) return stripTrailingSeparator(exeDir);
    QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (config.isEmpty()) config = QDir::homePath() + "/.config";
    QString dir = config + "/sorvel";
    QDir().mkpath(dir);
    return stripTrailingSeparator(dir);
}

void setProgramDirectory(const QString& dir) { programDirOverride() = stripTrailingSeparator(dir); }

QString pathFromCp932(std::string_view cp932) { return toQString(cp932); }

QString firstUnstorableCharacter(const QString& path) {
    if (storablePath(path)) return QString();
    for (qsizetype i = 0; i < path.size();) {
        const qsizetype len =
            path[i].isHighSurrogate() && i + 1 < path.size() && path[i + 1].isLowSurrogate() ? 2 : 1;
        const QString one = path.mid(i, len);
        if (!storablePath(one)) return one;
        i += len;
    }
    return path.left(1);  // not expected: each character stores alone
}

std::optional<std::string> storablePath(const QString& path) {
    // CP932 maps some characters onto the codes of look-alikes (～, ∥, −); such a path would
    // name another file when read back.
    std::optional<std::string> bytes = fromQString(path);
    if (!bytes || toQString(*bytes) != path) return std::nullopt;
    return bytes;
}

QString unstorablePathMessage(const QString& path) {
    return path + QStringLiteral("\nの名前には保存できない文字%1があります。\nこのファイルは選べません。")
                      .arg(describeCharacter(firstUnstorableCharacter(path)));
}

std::string cp932FromPath(const QString& path) {
    if (auto s = fromQString(path)) return *s;
    // A path CP932 cannot hold is kept as UTF-8 bytes rather than lost.
    QByteArray u = path.toUtf8();
    return std::string(u.constData(), static_cast<size_t>(u.size()));
}

QString joinPath(const QString& dir, const QString& name) {
    if (dir.isEmpty()) return name;
    if (dir.endsWith('/')) return dir + name;
    return dir + '/' + name;
}

std::optional<std::string> readWholeFile(const QString& path, std::int64_t maxBytes, QString* error) {
    // A name handed in by a file (a wallpaper or a picture of a layout) may point at a device or
    // a pipe, which could block or never end: only plain files are read.
    // A name with a zero byte in it names no file (and makes Qt complain on the console).
    if (path.contains(QChar(0))) {
        if (error) *error = QStringLiteral("no such file");
        return std::nullopt;
    }
    if (const QFileInfo info(path); info.exists() && !info.isFile()) {
        if (error) *error = QStringLiteral("not a regular file");
        return std::nullopt;
    }
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        if (error) *error = f.errorString();
        return std::nullopt;
    }
    std::string data;
    const qint64 size = f.size();
    if (size > maxBytes) {
        if (error) *error = QStringLiteral("file too large");
        return std::nullopt;
    }
    if (size > 0) data.reserve(static_cast<size_t>(size));
    char buf[1 << 16];
    for (;;) {
        qint64 n = f.read(buf, sizeof buf);
        if (n < 0) {
            if (error) *error = f.errorString();
            return std::nullopt;
        }
        if (n == 0) break;
        if (static_cast<std::int64_t>(data.size()) + n > maxBytes) {
            if (error) *error = QStringLiteral("file too large");
            return std::nullopt;
        }
        data.append(buf, static_cast<size_t>(n));
    }
    return data;
}

bool atomicReplace(const QString& path, std::string_view bytes, QString* error) {
    const SaveFaultPlan plan = faultPlan();
    auto fail = [&](const QString& why) {
        if (error) *error = why;
        return false;
    };
    QSaveFile f(path);
    if (plan.fault == SaveFault::Open || !f.open(QIODevice::WriteOnly)) {
        return fail(plan.fault == SaveFault::Open ? QStringLiteral("injected: cannot create") : f.errorString());
    }
    std::int64_t limit = plan.fault == SaveFault::WriteAfterBytes ? plan.afterBytes : -1;
    size_t written = 0;
    while (written < bytes.size()) {
        size_t chunk = std::min<size_t>(bytes.size() - written, 1 << 20);
        if (limit >= 0 && static_cast<std::int64_t>(written + chunk) > limit) {
            chunk = static_cast<size_t>(std::max<std::int64_t>(0, limit - static_cast<std::int64_t>(written)));
            if (chunk > 0) f.write(bytes.data() + written, static_cast<qint64>(chunk));
            f.cancelWriting();
            return fail(QStringLiteral("injected: no space left on device"));
        }
        qint64 n = f.write(bytes.data() + written, static_cast<qint64>(chunk));
        if (n <= 0) {
            QString why = f.errorString();
            f.cancelWriting();
            return fail(why);
        }
        written += static_cast<size_t>(n);
    }
    if (plan.fault == SaveFault::Commit) {
        f.cancelWriting();
        return fail(QStringLiteral("injected: rename failed"));
    }
    if (!f.commit()) return fail(f.errorString());
    syncDirectory(QFileInfo(path).absolutePath());
    return true;
}

namespace {

bool isAsciiLetter(QChar c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// The six letters the temporary file of a save carries after the target's name and a dot.
bool isSaveSuffix(const QString& suffix) {
    if (suffix.size() != 6 || !std::all_of(suffix.begin(), suffix.end(), isAsciiLetter)) return false;
    const QString tail = suffix.mid(1);
    const bool word = suffix == suffix.toLower() || suffix == suffix.toUpper() ||
                      (suffix[0].isUpper() && tail == tail.toLower());
    return !word;
}

}  // namespace

int removeSaveLeftovers(const QString& path) {
    const QFileInfo target(path);
    const QString prefix = target.fileName() + '.';
    QDir dir = target.absoluteDir();
    int removed = 0;
    for (const QFileInfo& f : dir.entryInfoList({prefix + QStringLiteral("??????")}, QDir::Files | QDir::Hidden)) {
        if (f.isSymLink() || !f.fileName().startsWith(prefix)) continue;
        if (isSaveSuffix(f.fileName().mid(prefix.size())) && QFile::remove(f.absoluteFilePath())) ++removed;
    }
    return removed;
}

void setSaveFaultForTesting(SaveFaultPlan plan) { faultPlan() = plan; }

}  // namespace sorvel
