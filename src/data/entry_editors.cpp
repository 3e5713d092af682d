#include "data/entry_editors.h"

#include <algorithm>

#include "platform/messages.h"
#include "platform/text.h"

namespace sorvel {

QString theDayCaption(const THolidaySet& rule) {
    return QStringLiteral("%1月%2日と指定").arg(rule.month).arg(rule.day);
}

QString theWeekDayCaption(const THolidaySet& rule) {
    static const char16_t* const names[] = {u"日", u"月", u"火", u"水", u"木", u"金", u"土"};
    const QString weekday = rule.weekday >= 0 && rule.weekday <= 6 ? QString::fromUtf16(names[rule.weekday])
                                                                  : QStringLiteral("？");
    return QStringLiteral("%1月の第%2%3曜日と指定").arg(rule.month).arg(rule.ordinal).arg(weekday);
}

DayOffChecks checksForDayOffKind(std::uint8_t dayOffKind) {
    return DayOffChecks{dayOffKind != 0, dayOffKind == 1};
}

std::uint8_t dayOffKindForChecks(DayOffChecks checks) {
    if (checks.isPubHoli) return 1;
    return checks.isHoliDay ? 2 : 0;
}

DayOffChecks afterPubHoliClick(DayOffChecks checks) {
    if (checks.isPubHoli) checks.isHoliDay = true;
    return checks;
}

DayOffChecks afterHoliDayClick(DayOffChecks checks) {
    if (!checks.isHoliDay) checks.isPubHoli = false;
    return checks;
}

void applyHolidayEdit(THolidaySet& rule, const std::string& name, bool byWeekday, DayOffChecks checks) {
    rule.name = name;
    rule.ruleKind = byWeekday ? 1 : 0;
    rule.dayOffKind = dayOffKindForChecks(checks);
}

EditedText takeEditedText(const std::string& original, const QString& shown, const QString& now, bool multiLine) {
    EditedText out;
    if (now == shown) {
        out.bytes = original;
        return out;
    }
    QString text = now;
    if (multiLine) {
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        text.replace(QChar(u'\r'), QChar(u'\n'));
        text.replace(QChar(u'\n'), QStringLiteral("\r\n"));
    }
    const QChar unreadable(0xFFFD);
    if (shown.contains(unreadable) && text.contains(unreadable)) {
        text.replace(unreadable, QStringLiteral("？"));
        out.unreadableReplaced = true;
    }
    if (std::optional<std::string> bytes = fromQString(text)) {
        out.bytes = std::move(*bytes);
        return out;
    }
    out.refused = firstCharacterOutsideCp932(text);
    if (out.refused.isEmpty()) out.refused = QStringLiteral("？");  // not expected: each character converts alone
    return out;
}

QString refusedCharacterMessage(const QString& field, const QString& character) {
    return QStringLiteral("%1に保存できない文字%2があります。\nこの文字を取り除いてから「決定」を押してください。")
        .arg(field, describeCharacter(character));
}

QString refusedCharacterCaption() { return messageCaption(); }

QString unreadableReplacedMessage() {
    return QStringLiteral("読めない文字「\uFFFD」は、保存すると「？」になります。");
}

QPoint centredTopLeft(const QRect& workArea, const QSize& size) {
    const int left = workArea.width() / 2 - size.width() / 2;
    const int top = workArea.height() / 2 - size.height() / 2;
    return QPoint(workArea.x() + std::max(0, left), workArea.y() + std::max(0, top));
}

}  // namespace sorvel
