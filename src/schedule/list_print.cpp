#include "schedule/list_print.h"

namespace sorvel {

int PrintList(QWidget*, const std::vector<const TDateMemo*>&) { return 0; }

}  // namespace sorvel
