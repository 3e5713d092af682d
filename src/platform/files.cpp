#include "platform/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
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

namespace {

// What a failed save says to the user, after the file's name.
QString saveErrorText(int err) {
    switch (err) {
    case ENOSPC:
        return QStringLiteral("ディスクの空きが足りません。");
    case EDQUOT:
        return QStringLiteral("ディスクの使用量の上限を超えました。");
    case EFBIG:
        return QStringLiteral("ファイルの大きさの上限を超えました。");
    case EACCES:
    case EPERM:
        return QStringLiteral("書き込む権限がありません。");
    case EROFS:
        return QStringLiteral("読み取り専用の場所です。");
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("フォルダがありません。");
    case EISDIR:
        return QStringLiteral("同じ名前のフォルダがあります。");
    case EIO:
        return QStringLiteral("ディスクへの書き込みでエラーが起きました。");
    default:
        return QStringLiteral("書き込みでエラーが起きました（%1）。").arg(QString::fromLocal8Bit(std::strerror(err)));
    }
}

// "<name>.XXXXXX" beside the target, six random letters that do not read as a word (so that
// removeSaveLeftovers knows it), created exclusively. Returns the descriptor or -1 (errno set).
int createTemporary(const QByteArray& target, QByteArray& name) {
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[6];
        for (char& c : suffix) c = letters[QRandomGenerator::global()->bounded(52)];
        suffix[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(suffix[0])));
        suffix[1] = static_cast<char>(std::toupper(static_cast<unsigned char>(suffix[1])));
        name = target + '.' + QByteArray(suffix, 6);
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}

bool writeAll(int fd, std::string_view bytes) {
    size_t written = 0;
    while (written < bytes.size()) {
        const size_t chunk = std::min<size_t>(bytes.size() - written, 1 << 20);
        const ssize_t n = ::write(fd, bytes.data() + written, chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = EIO;
            return false;
        }
        written += static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

bool atomicReplace(const QString& path, std::string_view bytes, QString* error) {
    // Written with the system calls themselves, each checked: a buffered writer's last flush
    // can fail (a full disk) while the rename after it still goes ahead, which would put a
    // short file in place of the old one.
    const SaveFaultPlan plan = faultPlan();
    auto fail = [&](const QString& why) {
        if (error) *error = why;
        return false;
    };
    QFileInfo info(path);
    // A link is followed: the file it names is replaced, the link stays.
    if (info.isSymLink() && !info.symLinkTarget().isEmpty()) info = QFileInfo(info.symLinkTarget());
    if (info.isDir()) return fail(saveErrorText(EISDIR));
    const QByteArray target = QFile::encodeName(info.absoluteFilePath());
    if (plan.fault == SaveFault::Open) return fail(QStringLiteral("injected: cannot create"));
    QByteArray temporary;
    const int fd = createTemporary(target, temporary);
    if (fd < 0) return fail(saveErrorText(errno));
    auto abandon = [&](const QString& why) {
        ::close(fd);
        ::unlink(temporary.constData());
        return fail(why);
    };
    // The replacement keeps the permissions of the file it replaces.
    struct stat old {};
    if (::stat(target.constData(), &old) == 0) ::fchmod(fd, old.st_mode & 07777);
    if (plan.fault == SaveFault::WriteAfterBytes && plan.afterBytes < static_cast<std::int64_t>(bytes.size())) {
        writeAll(fd, bytes.substr(0, static_cast<size_t>(std::max<std::int64_t>(0, plan.afterBytes))));
        return abandon(QStringLiteral("injected: no space left on device"));
    }
    if (!writeAll(fd, bytes)) return abandon(saveErrorText(errno));
    // A delayed write error (a full disk, a failing device) is reported by fsync or close.
    if (plan.fault == SaveFault::Sync) return abandon(QStringLiteral("injected: sync failed"));
    if (::fsync(fd) != 0) return abandon(saveErrorText(errno));
    if (::close(fd) != 0) {
        const int err = errno;
        ::unlink(temporary.constData());
        return fail(saveErrorText(err));
    }
    if (plan.fault == SaveFault::Commit || ::rename(temporary.constData(), target.constData()) != 0) {
        const int err = errno;
        ::unlink(temporary.constData());
        return fail(plan.fault == SaveFault::Commit ? QStringLiteral("injected: rename failed") : saveErrorText(err));
    }
    syncDirectory(QFile::decodeName(target.left(target.lastIndexOf('/') + 1)));
    return true;
}

QString saveFailedMessage(const QString& path, const QString& reason) {
    return path + QStringLiteral("\nが作成できませんでした。") + (reason.isEmpty() ? QString() : '\n' + reason);
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
