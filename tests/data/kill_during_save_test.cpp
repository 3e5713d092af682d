// A save interrupted by SIGKILL leaves the old file or the new one, never a mix.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QTemporaryDir>

#include <chrono>
#include <thread>

#include "data/data_file.h"
#include "platform/files.h"
#include "platform/text.h"

using namespace sorvel;

namespace {

void fillNotes(TDateMemoList& memos, int count, const std::string& caption) {
    for (int i = 0; i < count; ++i) {
        auto m = std::make_unique<TDateMemo>();
        m->year = 2000 + i % 30;
        m->month = 1 + i % 12;
        m->day = 1 + i % 28;
        m->caption = caption;
        m->text = sjis("長い本文の行\r\n二行目") + std::to_string(i);
        memos.push_back(std::move(m));
    }
}

}  // namespace

TEST(KillDuringSave, LeavesEitherTheOldOrTheNewFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("Sorvel.dat"));
    TDateMemoList oldMemos, newMemos;
    THolidayList rules;
    fillNotes(oldMemos, 20000, sjis("古い"));
    fillNotes(newMemos, 60000, sjis("新しい予定"));
    const std::string oldBytes = buildDataFile(oldMemos, rules);
    const std::string newBytes = buildDataFile(newMemos, rules);

    // Kill the writer at different moments of its save.
    for (int delayUs : {0, 500, 2000, 5000, 10000, 20000, 40000}) {
        ASSERT_TRUE(atomicReplace(path, oldBytes));
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (;;) atomicReplace(path, newBytes);  // until killed
        }
        std::this_thread::sleep_for(std::chrono::microseconds(delayUs));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        auto bytes = readWholeFile(path);
        ASSERT_TRUE(bytes.has_value()) << delayUs;
        EXPECT_TRUE(*bytes == oldBytes || *bytes == newBytes) << "a mixed file after " << delayUs << " µs";
        // Leftover temporary files are never taken for the data file.
        for (const QString& name : QDir(dir.path()).entryList(QDir::Files))
            EXPECT_TRUE(name == QStringLiteral("Sorvel.dat") || name.startsWith(QStringLiteral("Sorvel.dat.")))
                << name.toStdString();
    }
}
