#include "data/day_dialog.h"

#include <QFontMetrics>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

#include "data/entry_dialog.h"
#include "data/holiday_dialog.h"
#include "data/memo_dialog.h"
#include "platform/messages.h"
#include "platform/text.h"
#include "platform/ui.h"

namespace sorvel {

namespace {
constexpr int kDialogWidth = 313;
constexpr int kAlmanacMargin = 4;  // left and right of the almanac's lines, and below them
}  // namespace

QStringList wrapAlmanacLine(const QString& line, int width, const std::function<int(const QString&)>& advance) {
    QStringList lines;
    for (const QString& item : line.split(u'\u3000', Qt::SkipEmptyParts)) {
        if (!lines.isEmpty()) {
            const QString joined = lines.back() + u'\u3000' + item;
            if (advance(joined) <= width) {
                lines.back() = joined;
                continue;
            }
        }
        lines << item;
    }
    return lines;
}

TDayData::TDayData(QWidget* parent, const ClickedDate& date, THolidayList& holidays, TDateMemoList& memos,
                   const std::vector<TSubstituteHoliday>& substitutes, std::string nationalDay,
                   const QString& almanacLine)
    : QDialog(parent),
      date_(date),
      holidays_(holidays),
      memos_(memos),
      substitutes_(substitutes),
      nationalDay_(std::move(nationalDay)) {
    setObjectName(QStringLiteral("TDayData"));
    // The almanac's line, when there is one, stands whole on as many lines as it needs and
    // pushes everything below it down by their height.
    int top = 0;
    if (!almanacLine.isEmpty()) {
        const QFont font = dialogFont(12);
        const QFontMetrics metrics(font);
        const int width = kDialogWidth - 2 * kAlmanacMargin;
        const QStringList lines =
            wrapAlmanacLine(almanacLine, width, [&metrics](const QString& s) { return metrics.horizontalAdvance(s); });
        almanacLine_ = new QLabel(lines.join(u'\n'), this);
        almanacLine_->setObjectName(QStringLiteral("AlmanacLine"));
        almanacLine_->setFont(font);
        almanacLine_->setTextFormat(Qt::PlainText);
        almanacLine_->setTextInteractionFlags(Qt::TextSelectableByMouse);
        almanacLine_->setToolTip(almanacLine);
        top = static_cast<int>(lines.size()) * metrics.lineSpacing() + 2 * kAlmanacMargin;
        almanacLine_->setGeometry(kAlmanacMargin, kAlmanacMargin, width, top - 2 * kAlmanacMargin);
    }

    dayDataList_ = new QTableWidget(0, 2, this);
    dayDataList_->setObjectName(QStringLiteral("DayDataList"));
    dayDataList_->setGeometry(0, top, kDialogWidth, 164);
    dayDataList_->setFont(dialogFont(13));
    dayDataList_->setHorizontalHeaderLabels({QStringLiteral("なんの日？"), QStringLiteral("内容")});
    dayDataList_->horizontalHeader()->setFont(dialogFont(12));
    dayDataList_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    dayDataList_->horizontalHeader()->setHighlightSections(false);
    dayDataList_->setColumnWidth(0, 100);
    dayDataList_->setColumnWidth(1, 210);
    dayDataList_->verticalHeader()->hide();
    dayDataList_->verticalHeader()->setDefaultSectionSize(17);
    dayDataList_->setShowGrid(true);
    dayDataList_->setSelectionBehavior(QAbstractItemView::SelectRows);
    dayDataList_->setSelectionMode(QAbstractItemView::SingleSelection);
    dayDataList_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    dayDataList_->setWordWrap(false);
    dayDataList_->setTabKeyNavigation(false);

    setPlan_ = entryButton(QStringLiteral("予定追加"), "SetPlan", this);
    setPlan_->setGeometry(4, top + 168, 99, 25);
    setHoliday_ = entryButton(QStringLiteral("祝日設定"), "SetHoliday", this);
    setHoliday_->setGeometry(107, top + 168, 99, 25);
    delete_ = entryButton(QStringLiteral("削除"), "Delete", this);
    delete_->setGeometry(210, top + 168, 99, 25);

    auto* separator = new QFrame(this);
    separator->setObjectName(QStringLiteral("Bevel1"));
    separator->setFrameShape(QFrame::HLine);
    separator->setFrameShadow(QFrame::Sunken);
    separator->setGeometry(0, top + 197, kDialogWidth, 4);

    closeButton_ = entryButton(QStringLiteral("閉じる"), "CloseButton", this);
    closeButton_->setGeometry(0, top + 205, kDialogWidth, 27);

    connect(setPlan_, &QPushButton::clicked, this, &TDayData::SetPlanClick);
    connect(setHoliday_, &QPushButton::clicked, this, &TDayData::SetHolidayClick);
    connect(delete_, &QPushButton::clicked, this, &TDayData::DeleteClick);
    connect(dayDataList_, &QTableWidget::cellDoubleClicked, this, &TDayData::DayDataListDblClick);
    connect(closeButton_, &QPushButton::clicked, this, &TDayData::CloseButtonClick);
    FormCreate();
}

TDayData::~TDayData() = default;

void TDayData::FormCreate() {
    const int almanac = almanacLine_ ? almanacLine_->y() + almanacLine_->height() + kAlmanacMargin : 0;
    setUpDialog(this, QSize(kDialogWidth, 232 + almanac));
}


int TDayData::Execute() {
    setWindowTitle(dayDialogCaption(date_));
    BuildRows();
    exec();
    return changed_ ? 1 : 0;
}

void TDayData::BuildRows() {
    dayDataList_->clearContents();
    dayDataList_->setRowCount(0);
    rows_.clear();
    DayRows built = buildDayRows(date_, holidays_, memos_, substitutes_, nationalDay_);
    changed_ |= built.rulesUpdated;
    rows_ = std::move(built.rows);
    dayDataList_->setRowCount(static_cast<int>(rows_.size()));
    for (int i = 0; i < static_cast<int>(rows_.size()); ++i) {
        dayDataList_->setItem(i, 0, new QTableWidgetItem(toQString(rows_[static_cast<std::size_t>(i)].caption)));
        // A note's text may have several lines; the list shows them on one.
        QString text = toQString(rows_[static_cast<std::size_t>(i)].text);
        text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
        text.replace(QChar(u'\n'), QChar(u' '));
        text.replace(QChar(u'\r'), QChar(u' '));
        dayDataList_->setItem(i, 1, new QTableWidgetItem(text));
    }
    dayDataList_->clearSelection();
    dayDataList_->setCurrentItem(nullptr);
}

const TDataList* TDayData::selectedRow() const {
    const QList<QTableWidgetItem*> items = dayDataList_->selectedItems();
    if (items.isEmpty()) return nullptr;
    const int row = items.front()->row();
    if (row < 0 || row >= static_cast<int>(rows_.size())) return nullptr;
    return &rows_[static_cast<std::size_t>(row)];
}

void TDayData::SetPlanClick() {
    std::unique_ptr<TDateMemo> memo = newMemoFor(date_);
    {
        TDayMemo editor(this);
        if (editor.Execute(*memo) == 1) {
            memos_.push_back(std::move(memo));
            changed_ = true;
        }
    }
    BuildRows();
}

void TDayData::SetHolidayClick() {
    std::unique_ptr<THolidaySet> rule = newHolidayFor(date_);
    {
        THolidayForm editor(this);
        if (editor.Execute(*rule) == 1) {
            holidays_.push_back(std::move(rule));
            changed_ = true;
        }
    }
    BuildRows();
}

void TDayData::DeleteClick() {
    const TDataList* row = selectedRow();
    if (!row) return;
    if (std::optional<QString> question = deleteQuestion(*row)) {
        if (ui().messageBox(*question, confirmCaption(), MsgButtons::YesNo) != MsgAnswer::Yes) return;
        changed_ |= removeRowEntry(*row, holidays_, memos_);
    }
    BuildRows();
}

void TDayData::DayDataListDblClick() {
    const TDataList* row = selectedRow();
    if (!row) return;
    switch (row->kind) {
        case DayRowKind::Memo: {
            TDayMemo editor(this, MemoEdit::Change);
            if (editor.Execute(*row->memo) == 1) changed_ = true;
            break;
        }
        case DayRowKind::Holiday: {
            THolidayForm editor(this);
            if (editor.Execute(*row->holiday) == 1) changed_ = true;
            break;
        }
        case DayRowKind::Substitute:
        case DayRowKind::National:
            return;
    }
    BuildRows();
}

void TDayData::CloseButtonClick() { close(); }

int ExecuteDayDialog(QWidget* parent, const ClickedDate& date, THolidayList& holidays, TDateMemoList& memos,
                     const std::vector<TSubstituteHoliday>& substitutes, const std::string& nationalDay,
                     const QString& almanacLine) {
    TDayData dialog(parent, date, holidays, memos, substitutes, nationalDay, almanacLine);
    return dialog.Execute();
}

}  // namespace sorvel
