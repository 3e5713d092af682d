#pragma once
// The import and export commands: the file dialog, a small dialog of years, the work with a
// progress dialog, and the messages.
#include <optional>
#include <string>
#include <vector>

#include "data/date_data.h"

class QWidget;

namespace sorvel {

struct IcalYears {
    int from = 1;
    int to = 1;
};
// The years as typed: in order, each within 1 to 9999.
IcalYears orderedYears(int a, int b);

// "繰り返す予定を読み込む年": the years whose days repeating events are read onto.
std::optional<IcalYears> askImportRange(QWidget* parent, IcalYears initial);
// The years within the almanac's range (1873 to 2200).
IcalYears almanacYears(IcalYears years);

// The export's choices: national holidays of a range of years too, or none; the almanac of a
// range of years too, or none.
struct ExportChoice {
    bool national = false;
    IcalYears years;
    bool almanac = false;
    IcalYears almanacYears;
};
std::optional<ExportChoice> askExportChoice(QWidget* parent, IcalYears initial);

// Asks for a file and the years, imports, merges and shows what came in. True when the lists
// changed (the owner then writes the data file and redraws).
bool IcalImportCommand(QWidget* parent, THolidayList& rules, TDateMemoList& memos, int thisYear,
                       const std::string& localZone = {});
// Asks for a file (and with askNational, for the national holidays and the almanac) and writes the notes and
// rules into it with one atomic replace.
bool IcalExportCommand(QWidget* parent, const std::vector<const TDateMemo*>& memos,
                       const std::vector<const THolidaySet*>& rules, int thisYear, bool askNational);

}  // namespace sorvel
