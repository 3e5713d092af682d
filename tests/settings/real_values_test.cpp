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
