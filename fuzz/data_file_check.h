// Shared by the data file targets: parse, and when the data loaded whole, save and load again
// to the same records.
#pragma once
#include <cstdlib>
#include <string>
#include <string_view>

#include "data/data_file.h"

inline void checkDataFile(std::string_view bytes) {
    sorvel::THolidayList rules;
    sorvel::TDateMemoList memos;
    const sorvel::DataFileParse p = sorvel::parseDataFile(bytes, rules, memos);
    if (p.form == sorvel::DataFileForm::None) return;
    const std::string saved = sorvel::buildDataFile(memos, rules);
    sorvel::THolidayList rules2;
    sorvel::TDateMemoList memos2;
    const sorvel::DataFileParse again = sorvel::parseDataFile(saved, rules2, memos2);
    if (!again.complete || again.form != sorvel::DataFileForm::Tagged) std::abort();
    if (rules2.size() != rules.size() || memos2.size() != memos.size()) std::abort();
    if (sorvel::buildDataFile(memos2, rules2) != saved) std::abort();
}
