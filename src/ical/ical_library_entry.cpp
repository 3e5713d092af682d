// The implementation libsorvel-ical.so hands out: the functions of ical_import.h and ical_export.h.
#include "ical/ical_library.h"

namespace sorvel {
namespace {

class LinkedIcalLibrary final : public IcalLibrary {
  public:
    IcalImport importIcal(std::string_view bytes, const IcalImportOptions& options) override {
        return sorvel::importIcal(bytes, options);
    }
    IcalMerge mergeIcalImport(IcalImport& import, TDateMemoList& memos, THolidayList& rules) override {
        return sorvel::mergeIcalImport(import, memos, rules);
    }
    QString icalImportMessage(const IcalImport& import, const IcalMerge& merge) override {
        return sorvel::icalImportMessage(import, merge);
    }
    QString icalNotICalendarMessage() override { return sorvel::icalNotICalendarMessage(); }
    QString icalTooLargeMessage() override { return sorvel::icalTooLargeMessage(); }
    std::string exportIcal(const std::vector<const TDateMemo*>& memos, const std::vector<const THolidaySet*>& rules,
                           const IcalExportOptions& options) override {
        return sorvel::exportIcal(memos, rules, options);
    }
    QString icalLeftOutMessage(const std::vector<const TDateMemo*>& memos) override {
        return sorvel::icalLeftOutMessage(memos);
    }
    std::string icalStampNow() override { return sorvel::icalStampNow(); }
};

}  // namespace
}  // namespace sorvel

extern "C" __attribute__((visibility("default"))) sorvel::IcalLibrary* sorvel_ical_library() {
    static sorvel::LinkedIcalLibrary library;
    return &library;
}
