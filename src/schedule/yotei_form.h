#pragma once
// "予定一覧": the schedule notes by date. A tree of dates on the left selects the notes the list
// on the right shows; a note is re-edited from the list, the list is printed, and notes dragged
// from the list onto a node of the tree move to that date.
#include <functional>
#include <vector>

#include <QWidget>

#include "data/date_data.h"
#include "schedule/schedule_keys.h"
#include "settings/sorvel_set.h"

class QMenu;
class QSplitter;
class QTimer;
class QTreeView;

namespace sorvel {

class TCalenderSet;
class ScheduleRowsModel;
class ScheduleTreeModel;

class TYoteiForm : public QWidget {
    Q_OBJECT
public:
    explicit TYoteiForm(QWidget* owner);
    ~TYoteiForm() override;

    // The window settings of the "YoteiSet" section: applied to the window, and stored back.
    void ApplyGeometry(const TYoteiSet& set);
    void StoreGeometry(TYoteiSet& set) const;
    // Builds the tree and the rows over the notes, shows the window and brings it forward.
    void Open(TCalenderSet& cs, TDateMemoList& memos, QWidget* mainWindow);

    // The date data were changed elsewhere (a note deleted, another data file loaded): the rows
    // are refilled, and the tree is built anew when rebuildTree is set.
    void DateDataChanged(bool rebuildTree);

    // Runs the note editor on a note; 1 when it changed the note.
    using MemoEditor = std::function<int(QWidget* owner, TDateMemo& memo)>;
    void setMemoEditor(MemoEditor editor) { memoEditor_ = std::move(editor); }
    // Prints notes as a list, in the given order.
    using ListPrinter = std::function<int(QWidget* owner, const std::vector<const TDateMemo*>& notes)>;
    void setListPrinter(ListPrinter printer) { listPrinter_ = std::move(printer); }
    // Called after a re-edit or a move changed notes: the owner writes the data file and redraws.
    void setNotesChanged(std::function<void()> changed) { notesChanged_ = std::move(changed); }

    // Event handlers.
    void BuildTree();
    void Refresh();
    void DateTreeChange();
    void ReDataClick();
    void P1Click();
    // Writes the notes of the rows shown into an iCalendar file.
    void IcalExportClick();
    void YoteiListKeyDown(int key);
    // Notes dragged from the list were dropped on a node of the tree.
    void DateTreeDragDrop(const QModelIndex& node);

    QTreeView* dateTree() const { return dateTree_; }
    QTreeView* yoteiList() const { return yoteiList_; }
    QSplitter* splitter() const { return splitter_; }
    QMenu* popupMenu() const { return popupMenu1_; }
    ScheduleTreeModel* treeModel() const { return treeModel_; }
    ScheduleRowsModel* rowsModel() const { return rowsModel_; }

private:
    DateKey selectedKey() const;
    // The notes of the selected rows in list order, leaving out any no longer in the date data.
    std::vector<TDateMemo*> selectedNotes() const;
    // The notes of the given rows that still exist, in that order.
    std::vector<TDateMemo*> liveEntries(const std::vector<int>& rows) const;

    TCalenderSet* cs_ = nullptr;
    TDateMemoList* memos_ = nullptr;
    ScheduleTreeModel* treeModel_ = nullptr;
    ScheduleRowsModel* rowsModel_ = nullptr;
    QTreeView* dateTree_ = nullptr;
    QTreeView* yoteiList_ = nullptr;
    QSplitter* splitter_ = nullptr;
    QMenu* popupMenu1_ = nullptr;
    QTimer* changeTimer_ = nullptr;
    MemoEditor memoEditor_;
    ListPrinter listPrinter_;
    std::function<void()> notesChanged_;
};

}  // namespace sorvel
