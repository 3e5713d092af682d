#pragma once
// The data file of holiday rules and schedule notes: the tagged form (read and written) and
// the older binary form (read only).
#include <cstddef>
#include <string>
#include <string_view>

#include <QString>

#include "data/date_data.h"
#include "data/tagged_record.h"

namespace sorvel {

// One record type, one write and one read of its own block. The readers are called after the
// block's opening marker was read; they return false when the block is damaged or cut off.
void WriteM03(std::string& out, const TDateMemo& memo);
void WriteM04(std::string& out, const THolidaySet& rule);
bool ReadM03(TagStream& in, TDateMemo& memo);
bool ReadM04(TagStream& in, THolidaySet& rule);

enum class DataFileForm { None, Tagged, Binary };

struct DataFileParse {
    DataFileForm form = DataFileForm::None;
    bool complete = true;          // false: the data ended early or were damaged
    std::size_t damageAt = 0;      // byte offset of the first damage, when not complete
    std::size_t damagedBlocks = 0;  // blocks passed over as damaged
};

// Which form the bytes are in, from their start.
DataFileForm parseDataFileForm(std::string_view bytes);
// Parses a whole data file into the lists. When the bytes are in one of the two forms the
// lists are cleared first and receive every intact record: in the tagged form reading goes on
// after a damaged block with the next one; in the older form it ends at the damage. Otherwise
// the lists are left as they are.
DataFileParse parseDataFile(std::string_view bytes, THolidayList& rules, TDateMemoList& memos);

// The tagged form of the lists; the notes are sorted by date in place first.
std::string buildDataFile(TDateMemoList& memos, THolidayList& rules);

// An empty name or exactly "Sorvel.dat" becomes the program directory's Sorvel.dat and is
// stored back; any other name is used unchanged. Returns the name in use. When the full path
// cannot be stored (a directory named with characters outside CP932) the name stays
// "Sorvel.dat", which keeps meaning the program directory's file.
const std::string& resolveDataFileName(std::string& memoFileName, const QString& programDir);
// The file a stored data file name stands for, as a file-system path.
QString dataFilePath(const std::string& memoFileName, const QString& programDir);

// What a file chosen as the data file holds, judged by its first bytes.
enum class ChosenDataFile { Missing, Empty, DataFile, Foreign, Unreadable };
ChosenDataFile inspectDataFile(const QString& path);
// A data file that is not empty and in neither form: it is not ours to replace.
bool isForeignDataFile(std::string_view bytes);

// Keeps the bytes of a damaged data file beside it ("<file>.damaged", numbered when that name
// holds other bytes). Returns the copy's path, empty when it could not be written.
QString keepDamagedCopy(const QString& path, std::string_view bytes);
// The notes and rules a session end could not write to the data file, kept in the program
// directory as "Sorvel.dat.unsaved" (numbered as above). Returns the copy's path, empty when
// it could not be written either.
QString keepUnsavedCopy(const QString& programDir, std::string_view bytes);
// The first kept copy of unsaved notes in the program directory, empty when there is none.
QString unsavedCopyIn(const QString& programDir);
// What the start says while such a copy is there (caption "メッセージ from Sorvel").
QString unsavedCopyMessage(const QString& copy);
// Renames a data file that cannot be read to the first free one of those names, so that no save
// replaces it. Returns the new path, empty when it could not be moved.
QString moveUnreadableAside(const QString& path);

// What this program last read from or wrote to its data file. Before the next write the file is
// read again: what another program (a second machine through a synced folder) added since
// joins the lists, so that neither side's notes are lost.
struct DataFileBase {
    QString path;       // empty: nothing read or written yet
    std::string bytes;  // a missing file counts as empty
};

// Load and save with their messages. With a base, the load records what it read; the save
// first merges another program's changes to the file since the base (their count goes to
// *merged, and one message tells it), then records what it wrote.
void LoadDataFile(std::string& memoFileName, const QString& programDir, THolidayList& rules,
                  TDateMemoList& memos, DataFileBase* base = nullptr);
int SaveDataFile(std::string& memoFileName, const QString& programDir, THolidayList& rules,
                 TDateMemoList& memos, DataFileBase* base = nullptr, std::size_t* merged = nullptr);

}  // namespace sorvel
