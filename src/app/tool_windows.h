#pragma once
// The two windows beside the calendar: the schedule list and the layout window, open or closed
// as the basic settings say (YoDisp, Disp), their places stored back into those settings.
#include <functional>
#include <memory>

#include "data/date_data.h"

class QWidget;

namespace sorvel {

class TCalenderSet;
class TLayoutForm;
class TSorvelSet;
class TYoteiForm;

class ToolWindows {
public:
    // notesEdited: the schedule list re-edited or moved notes; the owner writes the data file and
    // shows them.
    ToolWindows(QWidget* owner, TSorvelSet& ss, TCalenderSet& cs, TDateMemoList& memos,
                std::function<void()> notesEdited);
    ~ToolWindows();

    TYoteiForm* yotei() const { return yotei_.get(); }
    TLayoutForm* layout() const { return layout_.get(); }

    // Opens or closes the schedule list as YoDisp says.
    void ApplyYoDisp();
    // Opens or closes the layout window as Disp says; a window that refuses to close keeps Disp
    // at 1.
    void ApplyLayoutDisp();
    // A window closed with its own close box was only hidden: it counts as closed now.
    void DropHidden();
    // The notes changed elsewhere: the schedule list shows them (the tree anew with rebuildTree).
    void DateDataChanged(bool rebuildTree);
    // The regular end: the places stored and the layout window's save question; false when the
    // user kept the program open.
    bool StoreForEnd();
    // The session end: the places stored, no question asked.
    void StoreForSessionEnd();

private:
    QWidget* owner_;
    TSorvelSet& ss_;
    TCalenderSet& cs_;
    TDateMemoList& memos_;
    std::function<void()> notesEdited_;
    std::unique_ptr<TYoteiForm> yotei_;
    std::unique_ptr<TLayoutForm> layout_;
};

}  // namespace sorvel
