#include <gtest/gtest.h>

#include "platform/text.h"

using namespace sorvel;

namespace {
const std::string kReplacement = "\xEF\xBF\xBD";
}

TEST(Text, Cp932AndUtf8ConvertBothWays) {
    // 0x5C and 0x7E are backslash and tilde in CP932, not yen and overline.
    EXPECT_EQ(cp932ToUtf8("C:\\a~b"), "C:\\a~b");
    EXPECT_EQ(utf8ToCp932("予定\\~"), std::optional<std::string>("\x97\x5C\x92\xE8\x5C\x7E"));
    // Trail bytes 0x5C ("ソ", "表") must not be split off as backslashes.
    EXPECT_EQ(cp932ToUtf8("\x83\x5C\x95\x5C\\"), "ソ表\\");
    EXPECT_EQ(utf8ToCp932("ソ表"), std::optional<std::string>("\x83\x5C\x95\x5C"));
    // Half-width katakana are single bytes.
    EXPECT_EQ(cp932ToUtf8("\xB1\xB2"), "ｱｲ");
    const std::string mixed = "祝日 No.1\r\n①ｱ";
    auto bytes = utf8ToCp932(mixed);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(cp932ToUtf8(*bytes), mixed);
    EXPECT_EQ(toQString(*bytes), QString::fromUtf8(mixed.c_str()));
    EXPECT_EQ(fromQString(QString::fromUtf8(mixed.c_str())), bytes);
    EXPECT_EQ(sjis("ソ"), "\x83\x5C");
    EXPECT_TRUE(isLeadByte(0x81) && isLeadByte(0x9F) && isLeadByte(0xE0) && isLeadByte(0xFC));
    EXPECT_FALSE(isLeadByte(0x80) || isLeadByte(0xA0) || isLeadByte(0xDF) || isLeadByte(0xFD) || isLeadByte('\\'));
}

TEST(Text, InvalidCp932BytesBecomeReplacementCharacters) {
    // A lead byte at the end of the text.
    EXPECT_EQ(cp932ToUtf8("a\x82"), "a" + kReplacement);
    // An unassigned pair costs one replacement character and the rest still converts.
    EXPECT_EQ(cp932ToUtf8("\x85\x40" "b\x82\xA0"), kReplacement + "bあ");
    // A lead byte followed by a byte that cannot be a trail byte: the line break survives.
    EXPECT_EQ(cp932ToUtf8("\x82\r\nx"), kReplacement + "\r\nx");
    EXPECT_EQ(cp932ToUtf8(""), "");
}

TEST(Text, CharactersWithoutCp932FormAreRefused) {
    EXPECT_FALSE(utf8ToCp932("予定😀"));
    EXPECT_FALSE(utf8ToCp932("𠮷野家"));
    EXPECT_FALSE(utf8ToCp932("\xE3\x81"));  // cut UTF-8 sequence
    EXPECT_FALSE(fromQString(QString::fromUtf8("😀")));
    EXPECT_EQ(sjis("😀"), "");
    EXPECT_EQ(utf8ToCp932(""), std::optional<std::string>(""));
}

TEST(Text, ReplacingConversionCountsEachCharacterItReplaces) {
    // 〜 (U+301C) and − (U+2212), which other systems write for ～ and －, convert as those.
    std::size_t replaced = 0;
    EXPECT_EQ(utf8ToCp932Replacing("a😀〜\xFF−\xE3\x81", &replaced), "a\x81\x48\x81\x60\x81\x48\x81\x7C\x81\x48");
    EXPECT_EQ(replaced, 3u);
    EXPECT_EQ(utf8ToCp932Replacing("plain", nullptr), "plain");
}

TEST(Text, ParseIntAcceptsOnlyDecimal32BitNumbers) {
    EXPECT_EQ(parseInt("2001"), 2001);
    EXPECT_EQ(parseInt(" -1 "), -1);
    EXPECT_EQ(parseInt("+7"), 7);
    EXPECT_EQ(parseInt("007"), 7);
    EXPECT_EQ(parseInt("\t12\r\n"), 12);
    EXPECT_EQ(parseInt("2147483647"), 2147483647);
    EXPECT_EQ(parseInt("-2147483648"), INT32_MIN);
    for (const char* bad : {"", " ", "-", "+", "12a", "1 2", "0x10", "1.0", "--1", "+-1", "2147483648",
                            "-2147483649", "99999999999999999999999", "１２"}) {
        EXPECT_FALSE(parseInt(bad)) << bad;
    }
}

TEST(Text, ParseRealAndFormatReal) {
    EXPECT_EQ(parseReal("12.5"), 12.5);
    EXPECT_EQ(parseReal(" -3e2 "), -300.0);
    EXPECT_EQ(parseReal("+1.5"), 1.5);
    EXPECT_EQ(parseReal("100"), 100.0);
    for (const char* bad : {"", "abc", "1.5x", "1,5", "1e400", "nan", "inf", "-inf", "+-1", "++1", "."})
        EXPECT_FALSE(parseReal(bad)) << bad;

    EXPECT_EQ(formatReal(100), "100");
    EXPECT_EQ(formatReal(12.5), "12.5");
    EXPECT_EQ(formatReal(1.2), "1.2");
    EXPECT_EQ(formatReal(0.1 + 0.2), "0.3");  // 15 significant digits, not the shortest round trip
    EXPECT_EQ(formatReal(-0.25), "-0.25");
    EXPECT_EQ(formatReal(0), "0");
    for (double v : {1.2, 12.5, -7.125, 1e-7, 123456789.25})
        EXPECT_EQ(parseReal(formatReal(v)), v) << v;
    EXPECT_EQ(formatInt(-2147483648LL), "-2147483648");
}
