#pragma once
// Printing the schedule list's rows as a paginated table: a header row on every page, the date
// left empty where it repeats the row above, captions and texts wrapped inside their columns.
#include <vector>

class QWidget;

namespace sorvel {

struct TDateMemo;

// Prints the notes in the given order through the print service, with the print-setup dialog
// over owner. 1 when the document was finished, 0 when cancelled or stopped by an error (the
// error was shown).
int PrintList(QWidget* owner, const std::vector<const TDateMemo*>& notes);

}  // namespace sorvel
