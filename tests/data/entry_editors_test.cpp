#include "data/entry_editors.h"

#include <gtest/gtest.h>

#include "platform/text.h"

using namespace sorvel;

TEST(HolidayEditorCaptions, WeekdayNamesFromSundayAndNoneOutOfRange) {
    THolidaySet r{1, 1, 1, 8, 2, 0, 2, ""};
    EXPECT_EQ(theWeekDayCaption(r), QStringLiteral("1月の第2日曜日と指定"));
    // A weekday out of range comes only from a damaged file; it must not index past the names.
    r.weekday = 7;
    EXPECT_EQ(theWeekDayCaption(r), QStringLiteral("1月の第2？曜日と指定"));
    r.weekday = -1;
    EXPECT_EQ(theWeekDayCaption(r), QStringLiteral("1月の第2？曜日と指定"));
}

TEST(EditedTexts, UntouchedTextKeepsItsBytes) {
    // 0x87 0x90 (NEC "≒") converts back as 0x81 0xE0; 0xFF is no CP932 at all.
    const std::string original = "\x87\x90\xFF";
    const QString shown = toQString(original);
    const EditedText kept = takeEditedText(original, shown, shown, true);
    ASSERT_TRUE(kept.ok());
    EXPECT_EQ(kept.bytes, original);
}

TEST(EditedTexts, EditedTextIsConvertedWithWindowsLineEnds) {
    const EditedText multi = takeEditedText("", QString(), QStringLiteral("一行目\n二行目\r\n三\r"), true);
    ASSERT_TRUE(multi.ok());
    EXPECT_EQ(multi.bytes, sjis("一行目\r\n二行目\r\n三\r\n"));
    const EditedText nec = takeEditedText("\x87\x90", QStringLiteral("≒"), QStringLiteral("≒≒"), false);
    EXPECT_EQ(nec.bytes, "\x81\xE0\x81\xE0") << "an edited text is converted as a whole";
    const EditedText cleared = takeEditedText("abc", QStringLiteral("abc"), QString(), true);
    ASSERT_TRUE(cleared.ok());
    EXPECT_EQ(cleared.bytes, "");
}

TEST(EditedTexts, CharacterCP932CannotHoldIsRefusedWhole) {
    const EditedText emoji = takeEditedText("", QString(), QStringLiteral("会議😀と𠮷"), false);
    EXPECT_FALSE(emoji.ok());
    EXPECT_EQ(emoji.refused, QStringLiteral("😀"));
    const EditedText kanji = takeEditedText("", QString(), QStringLiteral("𠮷野家"), false);
    EXPECT_EQ(kanji.refused, QStringLiteral("𠮷"));
    EXPECT_EQ(refusedCharacterMessage(QStringLiteral("内容"), QStringLiteral("é")),
              QStringLiteral("内容に保存できない文字「é」(U+00E9)があります。\n"
                             "この文字を取り除いてから「決定」を押してください。"));
}

TEST(EntryDialogPlacement, CentredOnTheWorkAreaWithTruncatedHalves) {
    EXPECT_EQ(centredTopLeft(QRect(0, 0, 1280, 800), QSize(313, 232)), QPoint(640 - 156, 400 - 116));
    EXPECT_EQ(centredTopLeft(QRect(0, 0, 1279, 799), QSize(195, 172)), QPoint(639 - 97, 399 - 86));
    // A panel at the top or left moves the work area's origin.
    EXPECT_EQ(centredTopLeft(QRect(48, 30, 1232, 770), QSize(282, 209)), QPoint(48 + 616 - 141, 30 + 385 - 104));
    // A dialog larger than the work area keeps its title bar reachable.
    EXPECT_EQ(centredTopLeft(QRect(0, 24, 300, 200), QSize(313, 232)), QPoint(0, 24));
}
