#include "schedule/yotei_form.h"

#include <algorithm>
#include <numeric>
#include <unordered_set>

#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPersistentModelIndex>
#include <QSplitter>
#include <QTimer>
#include <QTreeView>

#include "data/memo_dialog.h"
#include "ical/ical_commands.h"
#include "platform/clock.h"
#include "platform/messages.h"
#include "platform/ui.h"
#include "schedule/list_print.h"
#include "schedule/schedule_rows_model.h"
#include "schedule/schedule_tree_model.h"
#include "settings/calender_set.h"

namespace sorvel {

namespace {

// The tree of dates: takes drops of notes from the list and reports a released mouse button.
class DateTreeView : public QTreeView {
public:
    using QTreeView::QTreeView;
    std::function<void(const QModelIndex&)> onDrop;
    std::function<void()> onMouseUp;
    QWidget* dragSource = nullptr;

protected:
    void dragEnterEvent(QDragEnterEvent* event) override {
        setState(DraggingState);
        event->setDropAction(Qt::CopyAction);
        event->accept();
    }
    void dragMoveEvent(QDragMoveEvent* event) override {
        // The base scrolls near the edges and may refuse the drop: every drag is welcome here.
        QTreeView::dragMoveEvent(event);
        event->setDropAction(Qt::CopyAction);
        event->accept();
    }
    void dropEvent(QDropEvent* event) override {
        setState(NoState);
        stopAutoScroll();
        // Only notes dragged out of the list move notes; anything else dropped here does nothing.
        const bool fromList = event->source() == dragSource && event->mimeData() &&
                              event->mimeData()->hasFormat(QString::fromLatin1(kNotesMimeType));
        event->setDropAction(Qt::CopyAction);
        event->accept();
        if (!fromList || !onDrop) return;
        // The question runs after the drag has ended, not inside the drag's own event loop.
        const QPersistentModelIndex node = indexAt(event->position().toPoint());
        QTimer::singleShot(0, this, [this, node] { onDrop(QModelIndex(node)); });
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        QTreeView::mouseReleaseEvent(event);
        if (onMouseUp) onMouseUp();
    }
};

// The list of notes: Enter and a double click re-edit.
class YoteiListView : public QTreeView {
public:
    using QTreeView::QTreeView;
    std::function<void(int)> onKey;
    std::function<void()> onDoubleClick;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            if (onKey) onKey(event->key());
            event->accept();
            return;
        }
        QTreeView::keyPressEvent(event);
    }
    void mouseDoubleClickEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton && onDoubleClick) {
            onDoubleClick();
            event->accept();
            return;
        }
        QTreeView::mouseDoubleClickEvent(event);
    }
};

constexpr std::int32_t kMaxSide = 16384;

int runMemoEditor(QWidget* owner, TDateMemo& memo) {
    TDayMemo editor(owner, MemoEdit::Change);
    return editor.Execute(memo);
}

}  // namespace

TYoteiForm::TYoteiForm(QWidget* owner) : QWidget(owner, Qt::Window) {
    setObjectName(QStringLiteral("TYoteiForm"));
    setWindowTitle(QStringLiteral("予定一覧"));
    resize(450, 300);
    memoEditor_ = runMemoEditor;
    listPrinter_ = PrintList;

    treeModel_ = new ScheduleTreeModel(this);
    rowsModel_ = new ScheduleRowsModel(this);

    splitter_ = new QSplitter(Qt::Horizontal, this);
    splitter_->setObjectName(QStringLiteral("Splitter1"));
    splitter_->setHandleWidth(3);
    splitter_->setChildrenCollapsible(false);

    auto* tree = new DateTreeView(splitter_);
    dateTree_ = tree;
    dateTree_->setObjectName(QStringLiteral("DateTree"));
    dateTree_->setModel(treeModel_);
    dateTree_->setHeaderHidden(true);
    dateTree_->setIndentation(19);
    dateTree_->setUniformRowHeights(true);
    dateTree_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    dateTree_->setSelectionMode(QAbstractItemView::SingleSelection);
    dateTree_->setAcceptDrops(true);
    dateTree_->setDragDropMode(QAbstractItemView::DropOnly);
    dateTree_->setDropIndicatorShown(true);
    dateTree_->setDragDropOverwriteMode(true);  // the node under the cursor, never between two

    auto* list = new YoteiListView(splitter_);
    yoteiList_ = list;
    yoteiList_->setObjectName(QStringLiteral("YoteiList"));
    yoteiList_->setModel(rowsModel_);
    yoteiList_->setRootIsDecorated(false);
    yoteiList_->setItemsExpandable(false);
    yoteiList_->setUniformRowHeights(true);
    yoteiList_->setAllColumnsShowFocus(true);
    yoteiList_->setSortingEnabled(false);
    yoteiList_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    yoteiList_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    yoteiList_->setSelectionBehavior(QAbstractItemView::SelectRows);
    yoteiList_->setDragEnabled(true);
    yoteiList_->setDragDropMode(QAbstractItemView::DragOnly);
    yoteiList_->setDefaultDropAction(Qt::CopyAction);
    yoteiList_->header()->setStretchLastSection(false);
    yoteiList_->header()->setSectionsClickable(false);
    tree->dragSource = yoteiList_;

    splitter_->addWidget(dateTree_);
    splitter_->addWidget(yoteiList_);
    splitter_->setStretchFactor(0, 0);
    splitter_->setStretchFactor(1, 1);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter_);

    popupMenu1_ = new QMenu(this);
    popupMenu1_->setObjectName(QStringLiteral("PopupMenu1"));
    QAction* reData = popupMenu1_->addAction(QStringLiteral("再編集(&R)"));
    reData->setObjectName(QStringLiteral("ReData"));
    connect(reData, &QAction::triggered, this, &TYoteiForm::ReDataClick);
    QAction* p1 = popupMenu1_->addAction(QStringLiteral("リスト印刷(&P)"));
    p1->setObjectName(QStringLiteral("P1"));
    connect(p1, &QAction::triggered, this, &TYoteiForm::P1Click);
    QAction* ical = popupMenu1_->addAction(QStringLiteral("iCalendarファイルに書き出す(&E)..."));
    ical->setObjectName(QStringLiteral("IcalExport"));
    connect(ical, &QAction::triggered, this, &TYoteiForm::IcalExportClick);
    yoteiList_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(yoteiList_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { popupMenu1_->popup(yoteiList_->viewport()->mapToGlobal(pos)); });

    // A change of the selected node is acted on a moment later, once.
    changeTimer_ = new QTimer(this);
    changeTimer_->setSingleShot(true);
    changeTimer_->setInterval(5);
    connect(changeTimer_, &QTimer::timeout, this, &TYoteiForm::DateTreeChange);
    connect(dateTree_->selectionModel(), &QItemSelectionModel::currentChanged, changeTimer_,
            qOverload<>(&QTimer::start));

    tree->onDrop = [this](const QModelIndex& node) { DateTreeDragDrop(node); };
    tree->onMouseUp = [this] { Refresh(); };
    list->onKey = [this](int key) { YoteiListKeyDown(key); };
    list->onDoubleClick = [this] { ReDataClick(); };
}

TYoteiForm::~TYoteiForm() = default;

void TYoteiForm::ApplyGeometry(const TYoteiSet& set) {
    // Sizes from a damaged ini file stay within what a window system can show.
    auto size = [](std::int32_t v) { return std::clamp<std::int32_t>(v, 1, kMaxSide); };
    move(std::clamp<std::int32_t>(set.YoteiX, -kMaxSide, kMaxSide), std::clamp<std::int32_t>(set.YoteiY, -kMaxSide, kMaxSide));
    resize(size(set.YoteiWidth), size(set.YoteiHeight));
    QHeaderView* header = yoteiList_->header();
    header->resizeSection(0, size(set.YoWDate));
    header->resizeSection(1, size(set.YoWCaption));
    header->resizeSection(2, size(set.YoWMemo));
    const int tree = size(set.YoWTree);
    const int total = std::max(splitter_->width(), width());
    splitter_->setSizes({tree, std::max(1, total - tree - splitter_->handleWidth())});
}

void TYoteiForm::StoreGeometry(TYoteiSet& set) const {
    set.YoteiX = x();
    set.YoteiY = y();
    set.YoteiWidth = width();
    set.YoteiHeight = height();
    const QHeaderView* header = yoteiList_->header();
    set.YoWDate = header->sectionSize(0);
    set.YoWCaption = header->sectionSize(1);
    set.YoWMemo = header->sectionSize(2);
    set.YoWTree = splitter_->sizes().value(0, set.YoWTree);
}

void TYoteiForm::Open(TCalenderSet& cs, TDateMemoList& memos, QWidget*) {
    cs_ = &cs;
    memos_ = &memos;
    BuildTree();
    Refresh();
    show();
    raise();
    activateWindow();
}

void TYoteiForm::DateDataChanged(bool rebuildTree) {
    if (!memos_) return;
    if (rebuildTree) BuildTree();
    Refresh();
}

void TYoteiForm::BuildTree() {
    if (!memos_) return;
    dropEmptySlots(*memos_);
    treeModel_->setYears(treeYears(*memos_, cs_ ? cs_->DispYear : 1));
    // Expanded while the view's layout is still pending, so it is laid out once.
    const QModelIndex root = treeModel_->rootIndex();
    dateTree_->expand(root);
    const int years = treeModel_->rowCount(root);
    for (int i = 0; i < years; ++i) dateTree_->expand(treeModel_->index(i, 0, root));
    QSignalBlocker quiet(dateTree_->selectionModel());
    dateTree_->setCurrentIndex(root);
    changeTimer_->stop();
}

DateKey TYoteiForm::selectedKey() const {
    return readNodeKey(treeModel_->textsUpward(dateTree_->currentIndex()));
}

void TYoteiForm::Refresh() {
    if (!memos_) return;
    rowsModel_->setNotes(notesForKey(*memos_, selectedKey()));
}

void TYoteiForm::DateTreeChange() { Refresh(); }

std::vector<TDateMemo*> TYoteiForm::liveEntries(const std::vector<int>& rows) const {
    std::vector<TDateMemo*> notes;
    if (!memos_ || rows.empty()) return notes;
    std::unordered_set<const TDateMemo*> alive;
    alive.reserve(memos_->size());
    for (const auto& m : *memos_) alive.insert(m.get());
    notes.reserve(rows.size());
    for (int r : rows)
        if (TDateMemo* entry = rowsModel_->row(r).entry; alive.count(entry)) notes.push_back(entry);
    return notes;
}

std::vector<TDateMemo*> TYoteiForm::selectedNotes() const {
    std::vector<int> rows;
    for (const QModelIndex& i : yoteiList_->selectionModel()->selectedRows()) rows.push_back(i.row());
    std::sort(rows.begin(), rows.end());
    return liveEntries(rows);
}

void TYoteiForm::ReDataClick() {
    const std::vector<TDateMemo*> notes = selectedNotes();
    if (notes.empty()) return;
    const int changed = memoEditor_ ? memoEditor_(this, *notes.front()) : 0;
    Refresh();
    if (changed == 1 && notesChanged_) notesChanged_();
}

void TYoteiForm::P1Click() {
    if (!memos_ || !listPrinter_) return;
    // Every row, in list order; rows whose notes are gone are left out.
    std::vector<int> rows(rowsModel_->rows().size());
    std::iota(rows.begin(), rows.end(), 0);
    const std::vector<TDateMemo*> live = liveEntries(rows);
    listPrinter_(this, std::vector<const TDateMemo*>(live.begin(), live.end()));
}

void TYoteiForm::IcalExportClick() {
    if (!memos_) return;
    // The rows shown: the notes of the selected year, month or day.
    std::vector<int> rows(rowsModel_->rows().size());
    std::iota(rows.begin(), rows.end(), 0);
    const std::vector<TDateMemo*> live = liveEntries(rows);
    IcalExportCommand(this, std::vector<const TDateMemo*>(live.begin(), live.end()), {}, today().year, false);
}

void TYoteiForm::YoteiListKeyDown(int key) {
    if (key == Qt::Key_Return || key == Qt::Key_Enter) ReDataClick();
}

void TYoteiForm::DateTreeDragDrop(const QModelIndex& node) {
    if (!memos_ || !node.isValid()) return;
    const DateKey key = readNodeKey(treeModel_->textsUpward(node));
    if (key.year == -1) return;
    const MsgAnswer answer = ui().messageBox(moveQuestion(key), messageCaption(), MsgButtons::OkCancel);
    if (answer != MsgAnswer::Ok) return;
    const std::vector<TDateMemo*> notes = selectedNotes();
    for (TDateMemo* note : notes) moveNoteToKey(*note, key);
    Refresh();
    if (!notes.empty() && notesChanged_) notesChanged_();
}

}  // namespace sorvel
