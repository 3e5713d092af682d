// Writes a state file holding the default appearance, optionally showing a given month, and
// with "frame" the frame around today:
//   sorvel_write_state <path> [year month [frame]]
#include <cstdlib>
#include <string_view>

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
    if (argc >= 5 && std::string_view(argv[4]) == "frame") cs.TodayColoring = 1;
    return sorvel::atomicReplace(QString::fromLocal8Bit(argv[1]), sorvel::buildStateFile(cs)) ? 0 : 1;
}
