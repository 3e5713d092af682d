#pragma once
// The rules of the note editor and the holiday rule editor, apart from their widgets: the
// captions of the two ways to fix a rule, the coupled day-off boxes, writing an accepted edit
// back, taking a text back from a widget, and where the entry dialogs stand on the screen.
#include <cstdint>
#include <string>

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include "data/date_data.h"

namespace sorvel {

// "%d月%d日と指定" with the rule's month and day.
QString theDayCaption(const THolidaySet& rule);
// "%d月の第%d%s曜日と指定" with the rule's month, ordinal and weekday name ("日" … "土").
// A weekday outside 0–6 (a damaged data file) is shown as "？".
QString theWeekDayCaption(const THolidaySet& rule);

// The two check boxes "休みの日！" and "公休日（振替有り）".
struct DayOffChecks {
    bool isHoliDay = false;
    bool isPubHoli = false;
    bool operator==(const DayOffChecks&) const = default;
};
DayOffChecks checksForDayOffKind(std::uint8_t dayOffKind);
// Both boxes: 1; only "休みの日！": 2; neither: 0. "公休日（振替有り）" implies a day off.
std::uint8_t dayOffKindForChecks(DayOffChecks checks);
// After the user clicked "公休日（振替有り）": checking it checks "休みの日！" too.
DayOffChecks afterPubHoliClick(DayOffChecks checks);
// After the user clicked "休みの日！": clearing it clears "公休日（振替有り）" too.
DayOffChecks afterHoliDayClick(DayOffChecks checks);

// Writes an accepted edit into the rule; month, day, weekday and ordinal stay as they are.
void applyHolidayEdit(THolidaySet& rule, const std::string& name, bool byWeekday, DayOffChecks checks);

// A text read back from an edit control.
struct EditedText {
    std::string bytes;      // CP932, valid when refused is empty
    QString refused;        // the first character CP932 cannot hold
    bool unreadableReplaced = false;  // bytes that were no CP932 were stored as "？"
    bool ok() const { return refused.isEmpty(); }
};
// `shown` is what the control held right after it was filled with `original`, `now` what it
// holds at "決定". An untouched text keeps its original bytes; an edited one is converted, with
// CRLF line ends when `multiLine`. Bytes of the original that are no CP932 were shown as U+FFFD:
// in an edited text each U+FFFD becomes "？".
EditedText takeEditedText(const std::string& original, const QString& shown, const QString& now, bool multiLine);

// The message that refuses a character CP932 cannot hold; `field` is the label of the control.
QString refusedCharacterMessage(const QString& field, const QString& character);
QString refusedCharacterCaption();
// Said once when an edited text had unreadable bytes (caption as above).
QString unreadableReplacedMessage();

// Top-left of a window of `size` centred on the work area, each half truncated; a window larger
// than the work area keeps its title bar on it.
QPoint centredTopLeft(const QRect& workArea, const QSize& size);

}  // namespace sorvel
