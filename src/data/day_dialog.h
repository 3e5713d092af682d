#pragma once
// The day dialog: lists the holiday rules, schedule notes and substitute holidays of one date
// and adds, re-edits and deletes notes and rules in the lists it was given.
#include <functional>
#include <vector>

#include <QDialog>
#include <QStringList>

#include "data/clicked_date.h"
#include "data/date_data.h"
#include "data/day_rows.h"

class QLabel;
class QPushButton;
class QTableWidget;

namespace sorvel {

class TDayData : public QDialog {
    Q_OBJECT
public:
    // The lists are changed in place. The substitute holidays are those of the months drawn
    // last; the dialog keeps a copy, since the calendar may be drawn again while it is open.
    // nationalDay names the date's national holiday (CP932), listed read-only; empty for none.
    // almanacLine, when not empty, stands read-only above the list, on as many lines as the
    // dialog's width needs.
    TDayData(QWidget* parent, const ClickedDate& date, THolidayList& holidays, TDateMemoList& memos,
             const std::vector<TSubstituteHoliday>& substitutes, std::string nationalDay = {},
             const QString& almanacLine = {});
    ~TDayData() override;

    // Shows the dialog modally; 1 when a list or a listed record was changed.
    int Execute();

    const std::vector<TDataList>& rows() const { return rows_; }

private:
    void FormCreate();
    void BuildRows();
    const TDataList* selectedRow() const;
    void SetPlanClick();
    void SetHolidayClick();
    void DeleteClick();
    void DayDataListDblClick();
    void CloseButtonClick();

    ClickedDate date_;
    THolidayList& holidays_;
    TDateMemoList& memos_;
    const std::vector<TSubstituteHoliday> substitutes_;
    const std::string nationalDay_;
    std::vector<TDataList> rows_;
    bool changed_ = false;

    QLabel* almanacLine_ = nullptr;
    QTableWidget* dayDataList_ = nullptr;
    QPushButton* setPlan_ = nullptr;
    QPushButton* setHoliday_ = nullptr;
    QPushButton* delete_ = nullptr;
    QPushButton* closeButton_ = nullptr;
};

// The almanac line broken into lines no wider than width, between its items (which stand apart
// by an ideographic space); an item wider than width stands on a line of its own. advance gives
// a text's width.
QStringList wrapAlmanacLine(const QString& line, int width, const std::function<int(const QString&)>& advance);

// Opens the day dialog for one use; 1 when something was changed.
int ExecuteDayDialog(QWidget* parent, const ClickedDate& date, THolidayList& holidays, TDateMemoList& memos,
                     const std::vector<TSubstituteHoliday>& substitutes, const std::string& nationalDay = {},
                     const QString& almanacLine = {});

}  // namespace sorvel
