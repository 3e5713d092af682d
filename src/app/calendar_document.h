#pragma once
// The calendar document: the holiday rules and schedule notes of the data file, their load and
// save (what another program added to the file meanwhile joins them first), the sync's state
// file beside the data file, and the copy a session end keeps when the data file refuses the
// notes. It knows no window: its owner shows what changed.
#include <cstddef>
#include <string>
#include <vector>

#include <QString>

#include "data/data_file.h"
#include "data/date_data.h"

namespace sorvel {

struct SyncResult;
struct SyncSnapshot;
struct SyncState;

class CalendarDocument {
public:
    // memoFileName is the basic settings' data file name (not owned): the load resolves an
    // empty name or "Sorvel.dat" to the program directory's file and stores it back.
    CalendarDocument(std::string& memoFileName, QString programDir);

    THolidayList& rules() { return rules_; }
    const THolidayList& rules() const { return rules_; }
    TDateMemoList& memos() { return memos_; }
    const TDateMemoList& memos() const { return memos_; }

    // The data file and the sync's state file beside it, as file-system paths.
    QString dataFile() const;
    QString syncStateFile() const;

    // Removes what a save cut short (a power cut, a kill in the middle of a sync) left beside the
    // data file and the sync state; resolves the data file name first.
    void removeSaveLeftovers();
    // Reads the data file into the lists, with its messages.
    void Load();
    // Writes the data file; what another program added since the last load or save joins the
    // lists first (one message, none when no one can be asked), and *merged says how many
    // records that was. 1 when the file was written.
    int Save(std::size_t* merged = nullptr);
    // When the data file does not hold the lists (a session end could not write them), they go
    // into the program directory's copy of unsaved notes, which the next start tells of.
    void KeepUnsavedCopy();

    // The lists without their empty slots, as the sync and the export take them.
    SyncSnapshot snapshot();
    std::vector<const TDateMemo*> memoList();
    std::vector<const THolidaySet*> ruleList();
    // A finished sync's changes joined to the lists as they are now; true when any were.
    bool ApplySync(const SyncResult& result);
    // Writes the sync's state file with one atomic replace; on failure *error says why.
    bool SaveSyncState(const SyncState& state, QString* error);

private:
    void dropEmpty();

    std::string& memoFileName_;
    QString programDir_;
    THolidayList rules_;
    TDateMemoList memos_;
    // What was last read from or written to the data file.
    DataFileBase base_;
};

}  // namespace sorvel
