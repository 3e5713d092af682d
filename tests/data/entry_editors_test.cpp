#include "data/entry_editors.h"

#include <gtest/gtest.h>

#include "platform/text.h"

using namespace sorvel;

TEST(HolidayEditorCaptions, DateAndWeekdayChoices) {
    THolidaySet r;
    r.month = 1;
    r.day = 8;
    r.weekday = 1;
    r.ordinal = 2;
    EXPECT_EQ(theDayCaption(r), QStringLiteral("1月8日と指定"));
    EXPECT_EQ(theWeekDayCaption(r), QStringLiteral("1月の第2月曜日と指定"));
    r.weekday = 0;
    EXPECT_EQ(theWeekDayCaption(r), QStringLiteral("1月の第2日曜日と指定"));
    r.weekday = 6;
    EXPECT_EQ(theWeekDayCaption(r), QStringLiteral("1月の第2土曜日と指定"));
    // A weekday out of range comes only from a damaged file; it must not index past the names.
    r.weekday = 7;
    EXPECT_EQ(theWeekDayCaption(r), QStringLiteral("1月の第2？曜日と指定"));
    r.weekday = -1;
    EXPECT_EQ(theWeekDayCaption(r), QStringLiteral("1月の第2？曜日と指定"));
}

TEST(HolidayEditorChecks, DayOffKindAndTheTwoBoxes) {
    EXPECT_EQ(checksForDayOffKind(0), (DayOffChecks{false, false}));
    EXPECT_EQ(checksForDayOffKind(1), (DayOffChecks{true, true}));
    EXPECT_EQ(checksForDayOffKind(2), (DayOffChecks{true, false}));
    for (std::uint8_t kind = 0; kind <= 2; ++kind) EXPECT_EQ(dayOffKindForChecks(checksForDayOffKind(kind)), kind);
}

TEST(HolidayEditorChecks, SubstituteNeverStandsWithoutDayOff) {
    EXPECT_EQ(afterPubHoliClick({false, true}), (DayOffChecks{true, true}));
    EXPECT_EQ(afterPubHoliClick({true, false}), (DayOffChecks{true, false})) << "clearing it keeps the day off";
    EXPECT_EQ(afterHoliDayClick({false, true}), (DayOffChecks{false, false}));
    EXPECT_EQ(afterHoliDayClick({true, false}), (DayOffChecks{true, false})) << "checking it adds no substitute";
}

TEST(HolidayEditorApply, WritesNameKindsAndKeepsTheDateFields) {
    THolidaySet r{1, 0, 5, 5, 1, 6, 1, sjis("旧")};
    applyHolidayEdit(r, sjis("新"), true, DayOffChecks{true, false});
    EXPECT_EQ(r.name, sjis("新"));
    EXPECT_EQ(r.ruleKind, 1);
    EXPECT_EQ(r.dayOffKind, 2);
    EXPECT_EQ(std::tie(r.month, r.day, r.weekRow, r.weekday, r.ordinal), std::make_tuple(5, 5, 1, 6, 1));
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
    EXPECT_EQ(refusedCharacterMessage(QStringLiteral("見だし"), kanji.refused),
              QStringLiteral("見だしに保存できない文字「𠮷」(U+20BB7)があります。\n"
                             "この文字を取り除いてから「決定」を押してください。"));
    EXPECT_EQ(refusedCharacterMessage(QStringLiteral("内容"), QStringLiteral("é")),
              QStringLiteral("内容に保存できない文字「é」(U+00E9)があります。\n"
                             "この文字を取り除いてから「決定」を押してください。"));
    EXPECT_EQ(refusedCharacterCaption(), QStringLiteral("メッセージ"));
}

TEST(EntryDialogPlacement, CentredOnTheWorkAreaWithTruncatedHalves) {
    EXPECT_EQ(centredTopLeft(QRect(0, 0, 1280, 800), QSize(313, 232)), QPoint(640 - 156, 400 - 116));
    EXPECT_EQ(centredTopLeft(QRect(0, 0, 1279, 799), QSize(195, 172)), QPoint(639 - 97, 399 - 86));
    // A panel at the top or left moves the work area's origin.
    EXPECT_EQ(centredTopLeft(QRect(48, 30, 1232, 770), QSize(282, 209)), QPoint(48 + 616 - 141, 30 + 385 - 104));
    // A dialog larger than the work area keeps its title bar reachable.
    EXPECT_EQ(centredTopLeft(QRect(0, 24, 300, 200), QSize(313, 232)), QPoint(0, 24));
}
