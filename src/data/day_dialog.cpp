#include "data/day_dialog.h"

#include <QFrame>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

#include "data/entry_dialog.h"
#include "data/holiday_dialog.h"
#include "data/memo_dialog.h"
#include "platform/text.h"
#include "platform/ui.h"

namespace sorvel {

namespace {
constexpr int kAlmanacLineHeight = 24;
}  // namespace

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
    // The almanac's line, when there is one, pushes everything below it down by its height.
    const int top = almanacLine.isEmpty() ? 0 : kAlmanacLineHeight;
    if (!almanacLine.isEmpty()) {
        almanacLine_ = new QLineEdit(almanacLine, this);
        almanacLine_->setObjectName(QStringLiteral("AlmanacLine"));
        almanacLine_->setReadOnly(true);
        almanacLine_->setFont(entryDialogFont(12));
        almanacLine_->setToolTip(almanacLine);
        almanacLine_->setCursorPosition(0);
        almanacLine_->setGeometry(0, 0, 313, kAlmanacLineHeight - 2);
    }

    dayDataList_ = new QTableWidget(0, 2, this);
    dayDataList_->setObjectName(QStringLiteral("DayDataList"));
    dayDataList_->setGeometry(0, top, 313, 164);
    dayDataList_->setFont(entryDialogFont(13));
    dayDataList_->setHorizontalHeaderLabels({QStringLiteral("なんの日？"), QStringLiteral("内容")});
    dayDataList_->horizontalHeader()->setFont(entryDialogFont(12));
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
    separator->setGeometry(0, top + 197, 313, 4);

    closeButton_ = entryButton(QStringLiteral("閉じる"), "CloseButton", this);
    closeButton_->setGeometry(0, top + 205, 313, 27);

    connect(setPlan_, &QPushButton::clicked, this, &TDayData::SetPlanClick);
    connect(setHoliday_, &QPushButton::clicked, this, &TDayData::SetHolidayClick);
    connect(delete_, &QPushButton::clicked, this, &TDayData::DeleteClick);
    connect(dayDataList_, &QTableWidget::cellDoubleClicked, this, &TDayData::DayDataListDblClick);
    connect(closeButton_, &QPushButton::clicked, this, &TDayData::CloseButtonClick);
    FormCreate();
}

TDayData::~TDayData() = default;

void TDayData::FormCreate() { setUpEntryDialog(this, QSize(313, 232 + (almanacLine_ ? kAlmanacLineHeight : 0))); }


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
        if (ui().messageBox(*question, QStringLiteral("確認"), MsgButtons::YesNo) != MsgAnswer::Yes) return;
        changed_ |= removeRowEntry(*row, holidays_, memos_);
    }
    BuildRows();
}

void TDayData::DayDataListDblClick() {
    const TDataList* row = selectedRow();
    if (!row) return;
    switch (row->kind) {
        case DayRowKind::Memo: {
            TDayMemo editor(this);
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
