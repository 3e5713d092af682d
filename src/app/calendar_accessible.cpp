#include "app/calendar_accessible.h"

#include <QAccessible>
#include <QAccessibleWidget>

#include <map>
#include <vector>

#include "app/day_information.h"
#include "app/main_form.h"
#include "app/window_interaction.h"
#include "calendar/calendar_math.h"
#include "platform/text.h"

namespace sorvel {

namespace {

const char16_t* const kWeekdayNames[7] = {u"日", u"月", u"火", u"水", u"木", u"金", u"土"};

int notesOn(const TDateMemoList& memos, int year, int month, int day) {
    int n = 0;
    for (const auto& m : memos)
        if (m && m->year == year && m->month == month && m->day == day) ++n;
    return n;
}

struct ShownDay {
    ClickedDate date;
    QRect cell;  // in the window
};

// Every day the calendar draws, with its cell: each day's cell is where the hit test finds
// that day, so the list and a double click agree.
std::vector<ShownDay> shownDays(const TMainForm& form) {
    std::vector<ShownDay> days;
    const TSorvelDraw& draw = form.draw();
    const TCalenderSet& cs = draw.settings();
    if (cs.NoDayDraw != 0) return days;
    const TDateSet& ds = cs.dateSet;
    const MonthLayout layout = monthLayout(draw.CanvasWidth(), draw.CanvasHeight(), ds.X, ds.Y, ds.SX, ds.SY,
                                           ds.NumberOfMonth, ds.DrawStyle);
    for (int i = 0; i < layout.count(); ++i) {
        const YearMonth ym = addMonths(cs.DispYear, cs.DispMonth, i);
        const int year = static_cast<int>(ym.year);
        const YearTables tables = ComputeYearTables(year);
        const MonthBlockLayout block = layout.month(i);
        for (int day = 1; day <= tables.daysInMonth[static_cast<std::size_t>(ym.month - 1)]; ++day) {
            const ClickedDate d = clickedDateOf(year, ym.month, day);
            const BlockRect r = block.dayCell(d.weekday, d.weekRow);
            const auto hit = DayHitTest(cs, draw.CanvasWidth(), draw.CanvasHeight(), r.x + r.width / 2,
                                        r.y + r.height / 2);
            if (hit && hit->year == d.year && hit->month == d.month && hit->day == d.day)
                days.push_back(ShownDay{d, QRect(r.x, r.y, r.width, r.height)});
        }
    }
    return days;
}

class CalendarInterface;

class DayCellInterface : public QAccessibleInterface {
public:
    DayCellInterface(CalendarInterface* calendar, int index, ShownDay day)
        : calendar_(calendar), index_(index), day_(day) {}
    bool isValid() const override { return calendar_ != nullptr; }
    QObject* object() const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override;
    QAccessible::Role role() const override { return QAccessible::Cell; }
    QAccessible::State state() const override {
        QAccessible::State s;
        s.focusable = false;
        s.readOnly = true;
        return s;
    }
    int index() const { return index_; }
    void forget() { calendar_ = nullptr; }

private:
    CalendarInterface* calendar_;
    int index_;
    ShownDay day_;
};

class CalendarInterface : public QAccessibleWidget {
public:
    explicit CalendarInterface(TMainForm* form) : QAccessibleWidget(form, QAccessible::Window) {}
    ~CalendarInterface() override { clearCells(); }

    TMainForm* form() const { return static_cast<TMainForm*>(widget()); }

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name) return calendarAccessibleName(*form());
        if (t == QAccessible::Description) {
            const LocalDate today = form()->draw().todaysDate();
            QStringList captions;
            for (const auto& m : form()->document().memos())
                if (m && m->year == today.year && m->month == today.month && m->day == today.day)
                    captions << toQString(m->caption);
            return captions.isEmpty() ? QStringLiteral("今日の予定はありません")
                                      : QStringLiteral("今日の予定：") + captions.join(QStringLiteral("、"));
        }
        return QAccessibleWidget::text(t);
    }
    int childCount() const override { return static_cast<int>(cells().size()); }
    QAccessibleInterface* child(int index) const override {
        const auto& c = cells();
        return index >= 0 && index < static_cast<int>(c.size()) ? QAccessible::accessibleInterface(c[static_cast<size_t>(index)]) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        const auto& c = cells();
        for (size_t i = 0; i < c.size(); ++i)
            if (QAccessible::accessibleInterface(c[i]) == child) return static_cast<int>(i);
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        const QPoint p = form()->mapFromGlobal(QPoint(x, y));
        for (size_t i = 0; i < days_.size(); ++i)
            if (days_[i].cell.contains(p)) return child(static_cast<int>(i));
        return nullptr;
    }

    // The cells are made again when the months, the size or the notes shown changed.
    void invalidate() { stale_ = true; }

    QString dayText(const ShownDay& day) const {
        TMainForm& f = *form();
        QStringList lines = dayInformation(day.date, f.document().rules(), f.document().memos(),
                                           f.sorvelSet().ShowNationalHolidays == 1, f.draw().almanacShown().any());
        const LocalDate today = f.draw().todaysDate();
        if (day.date.year == today.year && day.date.month == today.month && day.date.day == today.day)
            lines.insert(1, QStringLiteral("今日"));
        const int notes = notesOn(f.document().memos(), day.date.year, day.date.month, day.date.day);
        if (notes > 0) lines.insert(1, QStringLiteral("予定 %1件").arg(notes));
        return lines.join(QStringLiteral("、"));
    }
    QPoint origin() const { return form()->mapToGlobal(QPoint(0, 0)); }

private:
    const std::vector<QAccessible::Id>& cells() const {
        if (!stale_) return ids_;
        auto* self = const_cast<CalendarInterface*>(this);
        self->clearCells();
        self->days_ = shownDays(*form());
        for (size_t i = 0; i < days_.size(); ++i)
            self->ids_.push_back(
                QAccessible::registerAccessibleInterface(new DayCellInterface(self, static_cast<int>(i), days_[i])));
        self->stale_ = false;
        return ids_;
    }
    void clearCells() {
        for (QAccessible::Id id : ids_) {
            if (auto* cell = static_cast<DayCellInterface*>(QAccessible::accessibleInterface(id))) cell->forget();
            QAccessible::deleteAccessibleInterface(id);
        }
        ids_.clear();
        days_.clear();
        stale_ = true;
    }

    std::vector<QAccessible::Id> ids_;
    std::vector<ShownDay> days_;
    bool stale_ = true;
};

QAccessibleInterface* DayCellInterface::parent() const { return calendar_; }

QString DayCellInterface::text(QAccessible::Text t) const {
    if (!calendar_ || t != QAccessible::Name) return {};
    return calendar_->dayText(day_);
}

QRect DayCellInterface::rect() const {
    if (!calendar_) return {};
    return day_.cell.translated(calendar_->origin());
}

QAccessibleInterface* calendarFactory(const QString& className, QObject* object) {
    if (className != QLatin1String("sorvel::TMainForm") || !object || !object->isWidgetType()) return nullptr;
    return new CalendarInterface(static_cast<TMainForm*>(object));
}

}  // namespace

void installCalendarAccessibility() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    QAccessible::installFactory(calendarFactory);
}

QString calendarAccessibleName(const TMainForm& form) {
    const TMainForm& f = form;
    const TCalenderSet& cs = f.draw().settings();
    const int count = cs.dateSet.NumberOfMonth < 1 ? 1 : cs.dateSet.NumberOfMonth > 12 ? 12 : cs.dateSet.NumberOfMonth;
    QString name = QStringLiteral("%1年%2月").arg(cs.DispYear).arg(cs.DispMonth);
    if (count > 1) {
        const YearMonth last = addMonths(cs.DispYear, cs.DispMonth, count - 1);
        name += QStringLiteral("～%1年%2月").arg(last.year).arg(last.month);
    }
    const LocalDate today = f.draw().todaysDate();
    const ClickedDate d = clickedDateOf(today.year, today.month, today.day);
    name += QStringLiteral("、今日は%1月%2日（%3）、予定 %4件")
                .arg(today.month)
                .arg(today.day)
                .arg(QString::fromUtf16(kWeekdayNames[d.weekday >= 0 && d.weekday <= 6 ? d.weekday : 0]))
                .arg(notesOn(f.document().memos(), today.year, today.month, today.day));
    return name;
}

void calendarAccessibleChanged(TMainForm& form) {
    if (!QAccessible::isActive()) return;
    if (auto* iface = dynamic_cast<CalendarInterface*>(QAccessible::queryAccessibleInterface(&form)))
        iface->invalidate();
    QAccessibleEvent changed(&form, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&changed);
}

}  // namespace sorvel
