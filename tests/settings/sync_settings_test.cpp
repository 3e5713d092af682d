// The sync settings in sorvel.ini, section SyncSetting.
#include <gtest/gtest.h>

#include "platform/text.h"
#include "settings/sorvel_set.h"

using namespace sorvel;

TEST(SyncSettings, WrittenAfterTheOtherSectionsOnlyOnceUsed) {
    TSorvelSet ss;
    Profile untouched;
    ss.write(untouched);
    EXPECT_EQ(untouched.text().find("SyncSetting"), std::string::npos);

    ss.sync.Enabled = 1;
    ss.sync.Url = "https://cal.example.jp/dav/taro/home/";
    ss.sync.User = sjis("太郎");
    ss.sync.Interval = 15;
    Profile ini;
    ss.write(ini);
    const std::string text = ini.text();
    const std::string tail = "[LayoutSet]\r\nTop=0\r\nLeft=0\r\nWidth=700\r\nHeight=450\r\nDisp=1\r\n"
                             "[SyncSetting]\r\nEnabled=1\r\nUrl=https://cal.example.jp/dav/taro/home/\r\n"
                             "User=\x91\xbe\x98\x59\r\nInterval=15\r\n";
    ASSERT_GE(text.size(), tail.size());
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);

    TSorvelSet back;
    back.read(Profile(text));
    EXPECT_EQ(back.sync.Enabled, 1);
    EXPECT_EQ(back.sync.Url, ss.sync.Url);
    EXPECT_EQ(back.sync.User, "\x91\xbe\x98\x59");
    EXPECT_EQ(back.sync.Interval, 15);

    // Turned off again, the section stays and says so.
    back.sync = TSyncSet{};
    Profile again(text);
    back.write(again);
    EXPECT_NE(again.text().find("[SyncSetting]\r\nEnabled=0\r\nUrl=\r\nUser=\r\nInterval=0\r\n"), std::string::npos);
}

TEST(SyncSettings, ValuesOutsideTheChoicesKeepTheDefaults) {
    struct Case {
        const char* enabled;
        const char* interval;
        std::uint8_t wantEnabled;
        std::int32_t wantInterval;
    };
    const Case cases[] = {
        {"1", "5", 1, 5},   {"1", "60", 1, 60}, {"7", "0", 1, 0},  {"0", "30", 0, 0},
        {"yes", "-5", 0, 0}, {"", "15min", 0, 0},
    };
    for (const Case& c : cases) {
        TSyncSet s;
        s.read(Profile(std::string("[syncsetting]\r\nenabled=") + c.enabled + "\r\nINTERVAL=" + c.interval + "\r\n"));
        EXPECT_EQ(s.Enabled, c.wantEnabled) << c.enabled;
        EXPECT_EQ(s.Interval, c.wantInterval) << c.interval;
    }
}
