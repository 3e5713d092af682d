#include "almanac/almanac.h"

namespace sorvel {

AlmanacDay almanacDay(int, int, int) { return {}; }

QString rokuyoName(int) { return {}; }

QString almanacCellLine(const AlmanacDay&, bool, bool, bool) { return {}; }

QStringList almanacDetailLines(const AlmanacDay&, int, int) { return {}; }

}  // namespace sorvel
