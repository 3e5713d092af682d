#pragma once
// The program directory of a test: a temporary directory the program takes for its own, and a
// fixed today, both put back after the test.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include <QString>
#include <QTemporaryDir>

#include "platform/clock.h"
#include "platform/files.h"

namespace sorvel::testing {

class ProgramDirTest : public ::testing::Test {
protected:
    explicit ProgramDirTest(LocalDate today = LocalDate{2001, 9, 23}) : today_(today) {}
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        setProgramDirectory(dir.path());
        setTodayForTesting(today_);
    }
    void TearDown() override {
        setProgramDirectory(QString());
        setTodayForTesting(std::nullopt);
    }
    QString path(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }
    void write(const char* name, const std::string& bytes) const { ASSERT_TRUE(atomicReplace(path(name), bytes)); }
    std::string read(const char* name) const { return readWholeFile(path(name)).value_or("<missing>"); }

    QTemporaryDir dir;

private:
    LocalDate today_;
};

}  // namespace sorvel::testing
