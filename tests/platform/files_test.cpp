#include <gtest/gtest.h>

#include <sys/wait.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "platform/files.h"
#include "support/short_disk.h"

using namespace sorvel;

namespace {

void writeFile(const QString& path, const std::string& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(bytes.data(), static_cast<qint64>(bytes.size())), static_cast<qint64>(bytes.size()));
}

QStringList entries(const QString& dir) {
    QStringList names = QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    names.sort();
    return names;
}

class AtomicReplace : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath("Sorvel.dat");
        writeFile(path, oldBytes);
    }
    void TearDown() override { setSaveFaultForTesting({}); }

    // The old file is still there, byte for byte, and nothing else was left beside it.
    void expectUntouched() {
        EXPECT_EQ(readWholeFile(path), std::optional<std::string>(oldBytes));
        EXPECT_EQ(entries(dir.path()), QStringList{"Sorvel.dat"});
    }

    QTemporaryDir dir;
    QString path;
    const std::string oldBytes = std::string("old\0data\r\n", 10);
    const std::string newBytes = std::string(3 << 20, 'n') + "end";  // more than one write chunk
};

}  // namespace

TEST(Files, ReadWholeFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QString error;
    EXPECT_FALSE(readWholeFile(dir.filePath("missing"), kMaxReadBytes, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(readWholeFile(dir.path()));  // a directory is no file
    EXPECT_FALSE(readWholeFile(QStringLiteral("/dev/null")));  // nor a device (a tty or a pipe would block)

    const std::string bytes = std::string("\x00\x1A<+Sorvel>\xFF", 12) + std::string(200000, 'a');
    writeFile(dir.filePath("f"), bytes);
    EXPECT_EQ(readWholeFile(dir.filePath("f")), std::optional<std::string>(bytes));
    EXPECT_EQ(readWholeFile(dir.filePath("f"), static_cast<std::int64_t>(bytes.size())), std::optional<std::string>(bytes));
    error.clear();
    EXPECT_FALSE(readWholeFile(dir.filePath("f"), static_cast<std::int64_t>(bytes.size()) - 1, &error));
    EXPECT_EQ(error, "file too large");

    writeFile(dir.filePath("empty"), "");
    EXPECT_EQ(readWholeFile(dir.filePath("empty")), std::optional<std::string>(""));
}

TEST(Files, PathsAndProgramDirectory) {
    EXPECT_EQ(joinPath("/a/b", "c.dat"), "/a/b/c.dat");
    EXPECT_EQ(joinPath("/a/b/", "c.dat"), "/a/b/c.dat");
    EXPECT_EQ(joinPath("", "c.dat"), "c.dat");
    const std::string cp932 = "/tmp/\x97\x5C\x92\xE8.dat";  // 予定.dat
    EXPECT_EQ(pathFromCp932(cp932), QString::fromUtf8("/tmp/予定.dat"));
    EXPECT_EQ(cp932FromPath(pathFromCp932(cp932)), cp932);

    // A path is stored only when its bytes lead back to it: CP932 holds "〜" only as "～".
    for (const char* path : {"/tmp/dé/Sorvel.dat", "/home/𠮷/a.dat", "/tmp/a〜b.dat"})
        EXPECT_FALSE(storablePath(QString::fromUtf8(path))) << path;
    EXPECT_EQ(storablePath(QString::fromUtf8("/tmp/予定.dat")), cp932);
    EXPECT_EQ(unstorablePathMessage(QString::fromUtf8("/a〜/😀")),
              QString::fromUtf8("/a〜/😀\nの名前には保存できない文字「〜」(U+301C)があります。\nこのファイルは選べません。"));

    setProgramDirectory("/opt/sorvel/");
    EXPECT_EQ(programDirectory(), "/opt/sorvel");
    setProgramDirectory(QString());
    EXPECT_FALSE(programDirectory().isEmpty());
    EXPECT_FALSE(programDirectory().endsWith('/'));
}

TEST_F(AtomicReplace, WritesNewAndReplacesExistingFiles) {
    const QString fresh = dir.filePath("fresh.ini");
    ASSERT_TRUE(atomicReplace(fresh, "abc"));
    EXPECT_EQ(readWholeFile(fresh), std::optional<std::string>("abc"));

    ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    ASSERT_TRUE(atomicReplace(path, newBytes));
    EXPECT_EQ(readWholeFile(path), std::optional<std::string>(newBytes));
    EXPECT_EQ(QFile::permissions(path) & (QFile::ReadOther | QFile::ReadGroup), QFile::ReadGroup);
    ASSERT_TRUE(atomicReplace(path, ""));
    EXPECT_EQ(readWholeFile(path), std::optional<std::string>(""));
    EXPECT_EQ(entries(dir.path()), (QStringList{"Sorvel.dat", "fresh.ini"}));
}

TEST_F(AtomicReplace, InjectedFaultsKeepTheOldFile) {
    const std::vector<SaveFaultPlan> plans = {
        {SaveFault::Open, 0},
        {SaveFault::WriteAfterBytes, 0},
        {SaveFault::WriteAfterBytes, 5},
        {SaveFault::WriteAfterBytes, (1 << 20) + 17},  // inside the second chunk
        {SaveFault::WriteAfterBytes, static_cast<std::int64_t>(newBytes.size()) - 1},
        {SaveFault::Sync, 0},
        {SaveFault::Commit, 0},
    };
    for (const auto& plan : plans) {
        SCOPED_TRACE(static_cast<int>(plan.fault) * 100000000 + plan.afterBytes);
        setSaveFaultForTesting(plan);
        QString error;
        EXPECT_FALSE(atomicReplace(path, newBytes, &error));
        EXPECT_TRUE(error.startsWith("injected")) << error.toStdString();
        expectUntouched();
    }
    setSaveFaultForTesting({});
    EXPECT_TRUE(atomicReplace(path, newBytes));
}

namespace {

// A save in a child process whose files may not grow past `limit` bytes: "1" or "0" and the
// error it gave.
QString saveInChild(const QString& path, const std::string& bytes, rlim_t limit) {
    int fds[2];
    if (::pipe(fds) != 0) return QStringLiteral("no pipe");
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        const sorvel::testing::FileSizeLimit fsize(limit);
        QString error;
        const bool saved = atomicReplace(path, bytes, &error);
        const QByteArray out = (saved ? "1" : "0") + error.toUtf8();
        const bool sent = ::write(fds[1], out.constData(), static_cast<size_t>(out.size())) == out.size();
        ::_exit(sent ? 0 : 1);
    }
    ::close(fds[1]);
    QByteArray got;
    char buf[512];
    for (ssize_t n; (n = ::read(fds[0], buf, sizeof buf)) > 0;) got.append(buf, n);
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return QString::fromUtf8(got);
}

}  // namespace

// The kernel refuses the data: past a file-size limit (EFBIG, any user) and, as root, on a
// tmpfs with no block left (ENOSPC). A small file is refused only when its data reach the disk,
// a large one in a write; either way the old file stays as it was and the reason is said.
TEST_F(AtomicReplace, ARealShortFileSystemKeepsTheOldFile) {
    const std::string small(300, 's');
    for (const std::string* bytes : {&small, &newBytes}) {
        EXPECT_EQ(saveInChild(path, *bytes, 100), QStringLiteral("0ファイルの大きさの上限を超えました。"));
        expectUntouched();
    }

    const QString mountPoint = dir.filePath("disk");
    ASSERT_TRUE(QDir(dir.path()).mkdir("disk"));
    const sorvel::testing::TinyTmpfs disk(mountPoint, "64k");
    if (!disk.mounted()) GTEST_SKIP() << "a tmpfs can be mounted by root only";
    const QString onDisk = mountPoint + "/Sorvel.dat";
    ASSERT_TRUE(atomicReplace(onDisk, oldBytes));
    ASSERT_TRUE(disk.fill());
    for (const std::string* bytes : {&small, &newBytes}) {
        QString error;
        EXPECT_FALSE(atomicReplace(onDisk, *bytes, &error));
        EXPECT_EQ(error, QStringLiteral("ディスクの空きが足りません。"));
        EXPECT_EQ(readWholeFile(onDisk), std::optional<std::string>(oldBytes));
        EXPECT_EQ(entries(mountPoint), (QStringList{"Sorvel.dat", "filler"}));
    }
}

TEST_F(AtomicReplace, FailsWhereNoFileCanBeCreated) {
    QString error;
    EXPECT_FALSE(atomicReplace(dir.filePath("no/such/dir/Sorvel.dat"), newBytes, &error));
    EXPECT_FALSE(error.isEmpty());
    ASSERT_TRUE(QDir(dir.path()).mkdir("sub"));
    error.clear();
    EXPECT_FALSE(atomicReplace(dir.filePath("sub"), newBytes, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(QFileInfo(dir.filePath("sub")).isDir());
    EXPECT_TRUE(entries(dir.filePath("sub")).isEmpty());
    EXPECT_EQ(entries(dir.path()), (QStringList{"Sorvel.dat", "sub"}));
}

TEST(SaveLeftovers, OnlyTheTemporaryFilesOfThatFileAreRemoved) {
    QTemporaryDir dir;
    // What a save of Sorvel.dat leaves: its name, a dot and six mixed-case letters.
    const QStringList leftovers = {"Sorvel.dat.SzGjPc", "Sorvel.dat.aBcDeF", "Sorvel.dat.QQQQQq"};
    QStringList kept = {"Sorvel.dat",        "Sorvel.dat.backup", "Sorvel.dat.BACKUP", "Sorvel.dat.Backup",
                        "Sorvel.dat.SzGjP",  "Sorvel.dat.SzGjP1", "Sorvel.dat.SzGjPcX", "sorvel.dat.SzGjPc",
                        "Other.dat.SzGjPc",  "Sorvel.datxSzGjPc"};
    for (const QString& name : leftovers + kept) writeFile(dir.filePath(name), "x");
    ASSERT_TRUE(QDir(dir.path()).mkdir("Sorvel.dat.DirEct"));
    EXPECT_EQ(removeSaveLeftovers(dir.filePath("Sorvel.dat")), 3);
    kept << "Sorvel.dat.DirEct";
    kept.sort();
    EXPECT_EQ(entries(dir.path()), kept);
}

// A link named like a leftover is the user's (or someone else's) doing: neither the link nor what
// it points to is removed, even when the target is itself named like a leftover.
TEST(SaveLeftovers, LinksNeverRemoved) {
    QTemporaryDir dir;
    writeFile(dir.filePath("notes.txt"), "mine");
    ASSERT_TRUE(QDir(dir.path()).mkdir("elsewhere"));
    writeFile(dir.filePath("elsewhere/Sorvel.dat.QwErTy"), "theirs");
    ASSERT_TRUE(QFile::link(dir.filePath("notes.txt"), dir.filePath("Sorvel.dat.AbCdEf")));
    ASSERT_TRUE(QFile::link(dir.filePath("elsewhere/Sorvel.dat.QwErTy"), dir.filePath("Sorvel.dat.XyZxYz")));
    ASSERT_TRUE(QFile::link(dir.filePath("gone.txt"), dir.filePath("Sorvel.dat.GhIjKl")));  // dangling
    EXPECT_EQ(removeSaveLeftovers(dir.filePath("Sorvel.dat")), 0);
    EXPECT_EQ(entries(dir.path()),
              (QStringList{"Sorvel.dat.AbCdEf", "Sorvel.dat.GhIjKl", "Sorvel.dat.XyZxYz", "elsewhere", "notes.txt"}));
    EXPECT_EQ(readWholeFile(dir.filePath("Sorvel.dat.AbCdEf")), std::optional<std::string>("mine"));
    EXPECT_EQ(readWholeFile(dir.filePath("elsewhere/Sorvel.dat.QwErTy")), std::optional<std::string>("theirs"));
}
