#include <gtest/gtest.h>

#include "settings/calender_set.h"

using namespace sorvel;

TEST(StateFileReals, ZoomsASinglePrecisionRealCannotHoldLeaveTheZoomAsItWas) {
    for (const char* text : {"1e39", "-1e39", "1e400", "inf", "nan"}) {
        TCalenderSet written;
        std::string bytes = buildStateFile(written);
        const std::string field = "<+S07>\r\n<+DA>100<-DA>";
        const std::size_t at = bytes.find(field);
        ASSERT_NE(at, std::string::npos);
        bytes.replace(at, field.size(), std::string("<+S07>\r\n<+DA>") + text + "<-DA>");
        TCalenderSet cs;
        cs.DispPercent = 50;
        EXPECT_EQ(parseStateFile(bytes, cs), 1) << text;
        EXPECT_EQ(cs.DispPercent, 50.0f) << text;
        // What was read writes back as it reads.
        TCalenderSet again;
        ASSERT_EQ(parseStateFile(buildStateFile(cs), again), 1);
        EXPECT_EQ(buildStateFile(again), buildStateFile(cs)) << text;
    }
    TCalenderSet cs;
    std::string bytes = buildStateFile(cs);
    bytes.replace(bytes.find("<+DA>100<-DA>"), 13, "<+DA>1e30<-DA>");
    ASSERT_EQ(parseStateFile(bytes, cs), 1);
    EXPECT_EQ(cs.DispPercent, 1e30f);
}

TEST(StateFileDamage, CutAtEveryByteNeverReadsPastTheEnd) {
    TCalenderSet written;
    written.FontName = "a<b";
    written.dateSet.NumberOfMonth = 7;
    const std::string full = buildStateFile(written);
    for (std::size_t n = 0; n < full.size(); ++n) {
        TCalenderSet cs;
        // Everything up to the closing marker's "<-" is needed for the block to count.
        const int result = parseStateFile(std::string_view(full).substr(0, n), cs);
        EXPECT_EQ(result, n >= full.rfind("<-M01>") + 2 ? 1 : 0) << n;
    }
    TCalenderSet cs;
    EXPECT_EQ(parseStateFile(full, cs), 1);
    EXPECT_EQ(cs.FontName, "a<b");
    EXPECT_EQ(cs.dateSet.NumberOfMonth, 7);
}
