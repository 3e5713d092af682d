#pragma once
// The program directory's settings files: the ini file of the basic settings and the state file
// of the appearance, read at the start and written at the end.
#include <QString>

namespace sorvel {

class TSorvelDraw;
class TSorvelSet;
class TCalenderSet;

// Reads the ini file into the basic settings and the state into the engine's settings (the
// default set when it cannot be read; an older ini file's appearance once), then removes what an
// interrupted save left beside both files.
void LoadSettingsFiles(const QString& programDir, TSorvelSet& ss, TSorvelDraw& draw);
// Writes both files, each with one atomic replace; a file that cannot be written is said and the
// other one is written all the same. True when both were.
bool SaveSettingsFiles(const QString& programDir, const TSorvelSet& ss, const TCalenderSet& cs);

}  // namespace sorvel
