#pragma once
// iCalendar as the feature library libsorvel-ical.so (libical), loaded by the first import or
// export: the reading, writing and merging of ical_import.h and ical_export.h behind one
// interface of plain values, so that the program itself links no libical.
#include <string>
#include <string_view>
#include <vector>

#include <QString>

#include "data/date_data.h"
#include "ical/ical_export.h"
#include "ical/ical_import.h"

namespace sorvel {

class IcalLibrary {
  public:
    virtual ~IcalLibrary() = default;
    virtual IcalImport importIcal(std::string_view bytes, const IcalImportOptions& options) = 0;
    virtual IcalMerge mergeIcalImport(IcalImport& import, TDateMemoList& memos, THolidayList& rules) = 0;
    virtual QString icalImportMessage(const IcalImport& import, const IcalMerge& merge) = 0;
    virtual QString icalNotICalendarMessage() = 0;
    virtual QString icalTooLargeMessage() = 0;
    virtual std::string exportIcal(const std::vector<const TDateMemo*>& memos,
                                   const std::vector<const THolidaySet*>& rules, const IcalExportOptions& options) = 0;
    virtual QString icalLeftOutMessage(const std::vector<const TDateMemo*>& memos) = 0;
    virtual std::string icalStampNow() = 0;
};

// The library, loaded on the first call and kept; nullptr, after the message "iCalendar の機能を
// 読み込めませんでした。" with the reason, when it cannot be loaded.
IcalLibrary* icalLibrary();

inline constexpr char kIcalLibrary[] = "libsorvel-ical.so";
inline constexpr char kIcalLibraryEntry[] = "sorvel_ical_library";

}  // namespace sorvel

// The library's one entry point: its implementation, which lives as long as the process.
extern "C" sorvel::IcalLibrary* sorvel_ical_library();
