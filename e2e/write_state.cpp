// Writes a state file holding the default appearance (for the start-up measurement).
#include <cstdio>

#include "platform/files.h"
#include "settings/calender_set.h"

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    sorvel::TCalenderSet cs;
    return sorvel::atomicReplace(QString::fromLocal8Bit(argv[1]), sorvel::buildStateFile(cs)) ? 0 : 1;
}
