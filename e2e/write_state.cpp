// Writes a state file holding the default appearance, optionally showing a given month:
//   sorvel_write_state <path> [year month]
#include <cstdlib>

#include "platform/files.h"
#include "settings/calender_set.h"

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    sorvel::TCalenderSet cs;
    if (argc >= 4) {
        cs.DispYear = std::atoi(argv[2]);
        cs.DispMonth = std::atoi(argv[3]);
        cs.DispDay = 1;
    }
    return sorvel::atomicReplace(QString::fromLocal8Bit(argv[1]), sorvel::buildStateFile(cs)) ? 0 : 1;
}
