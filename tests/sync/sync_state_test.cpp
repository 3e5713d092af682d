// The state file beside the data file: its bytes, and damaged files.
#include <gtest/gtest.h>

#include "sync/sync_state.h"

using namespace sorvel;

namespace {

// Written by hand; the hashes are FNV-1a 64 of "2026/12/8\0meeting\0" and of "2/0/5/20\0" and
// the rule's CP932 name, counted apart from the program.
const std::string kFile =
    "SorvelSync 1\n"
    "collection\thttp://127.0.0.1:5232/taro/cal/\n"
    "token\thttp://radicale.org/ns/sync/7c%25a%09b\n"
    "ctag\t\n"
    "M\t/taro/cal/20261208-x-0@sorvel.ics\t\"e1\"\t20261208-x-0@sorvel\t53f7b418f8fe8033\t20261208\t00000000000000c1\t00000000000000e1\n"
    "R\t/taro/cal/rule.ics\t\t\t33e3e179d4aa40a9\t5\n"
    "U\t/taro/cal/yoga 1.ics\tW/\"9\"\tw1%0A\t0000000000000000\t0\n"
    "end\t3\n";

SyncState expected() {
    SyncState s;
    s.collection = "http://127.0.0.1:5232/taro/cal/";
    s.token = "http://radicale.org/ns/sync/7c%a\tb";
    s.entries = {
        {SyncEntryKind::Memo, "/taro/cal/20261208-x-0@sorvel.ics", "\"e1\"", "20261208-x-0@sorvel", 0x53f7b418f8fe8033ull, 20261208,
         0xc1, 0xe1},
        {SyncEntryKind::Rule, "/taro/cal/rule.ics", "", "", 0x33e3e179d4aa40a9ull, 5},
        {SyncEntryKind::Unsupported, "/taro/cal/yoga 1.ics", "W/\"9\"", "w1\n", 0, 0},
    };
    return s;
}

// The file with the first `from` replaced by `to`.
std::string changed(std::string_view from, std::string_view to) {
    const std::size_t at = kFile.find(from);
    std::string out(kFile, 0, at);
    out.append(to).append(kFile, at + from.size());
    return out;
}

}  // namespace

TEST(SyncState, WrittenAsTheseBytesAndReadBack) {
    EXPECT_EQ(writeSyncState(expected()), kFile);
    EXPECT_EQ(readSyncState(kFile), expected());
    EXPECT_EQ(syncValueHash(TDateMemo{2026, 12, 8, "", "meeting"}), 0x53f7b418f8fe8033ull);
    // What an event carries of a rule: the week row and a day-off kind beyond 2 do not count.
    EXPECT_EQ(syncValueHash(THolidaySet{7, 0, 5, 20, 9, 1, 4, "\x91\x6e\x97\xa7\x8b\x4c\x94\x4f\x93\xfa"}),
              0x33e3e179d4aa40a9ull);
    EXPECT_EQ(syncStatePath(QStringLiteral("/home/taro/Sorvel.dat")), QStringLiteral("/home/taro/Sorvel.dat.sync"));
}

TEST(SyncState, DamagedFilesAreRefusedWhole) {
    const auto cut = [](std::size_t n) { return kFile.substr(0, n); };
    const std::string damaged[] = {
        "",
        cut(kFile.size() - 1),                        // last line without its end
        cut(kFile.rfind("end")),                      // no end line
        kFile.substr(0, kFile.rfind("end")).append("end\t2\n"),  // a line lost
        std::string("SorvelSync 2").append(kFile.substr(12)),
        changed("53f7", "53g7"),
        changed("%25", "%2"),
        changed("\nU\t", "\nX\t"),
        changed("\tw1", " w1"),
        changed("\t00000000000000e1", ""),  // one part's hash without the other
        std::string(kFile).append("M\n"),
    };
    for (const std::string& bytes : damaged) EXPECT_EQ(readSyncState(bytes), std::nullopt) << bytes;
}
