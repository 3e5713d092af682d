#include "app/tool_windows.h"

#include <utility>

#include "layout/layout_form.h"
#include "schedule/yotei_form.h"
#include "settings/sorvel_set.h"

namespace sorvel {

ToolWindows::ToolWindows(QWidget* owner, TSorvelSet& ss, TCalenderSet& cs, TDateMemoList& memos,
                         std::function<void()> notesEdited)
    : owner_(owner), ss_(ss), cs_(cs), memos_(memos), notesEdited_(std::move(notesEdited)) {}

ToolWindows::~ToolWindows() = default;

void ToolWindows::ApplyYoDisp() {
    TYoteiSet& set = ss_.yotei;
    if (set.YoDisp != 0) {
        set.YoDisp = 1;
        if (!yotei_) {
            yotei_ = std::make_unique<TYoteiForm>(owner_);
            // Re-edits and moves reach the data file and the calendar at once.
            yotei_->setNotesChanged([this] { notesEdited_(); });
            yotei_->ApplyGeometry(set);
        }
        yotei_->Open(cs_, memos_, owner_);
    } else if (yotei_) {
        yotei_->StoreGeometry(set);
        yotei_->hide();
        yotei_.reset();
    }
}

void ToolWindows::ApplyLayoutDisp() {
    TLayoutSet& set = ss_.layout;
    if (set.Disp != 0) {
        set.Disp = 1;
        if (!layout_) {
            layout_ = std::make_unique<TLayoutForm>(owner_);
            layout_->ApplyGeometry(set);
        }
        layout_->show();
        layout_->raise();
    } else if (layout_) {
        if (layout_->StoreGeometryAndAskToSave(set) != 1) {
            set.Disp = 1;  // the user kept the page: the window stays
        } else {
            layout_->hide();
            layout_.reset();
        }
    }
}

void ToolWindows::DropHidden() {
    if (ss_.yotei.YoDisp == 1 && yotei_ && !yotei_->isVisible()) {
        ss_.yotei.YoDisp = 0;
        ApplyYoDisp();
    }
    if (ss_.layout.Disp == 1 && layout_ && !layout_->isVisible()) {
        ss_.layout.toggleShown();
        ApplyLayoutDisp();
    }
}

void ToolWindows::DateDataChanged(bool rebuildTree) {
    if (yotei_) yotei_->DateDataChanged(rebuildTree);
}

bool ToolWindows::StoreForEnd() {
    if (yotei_) yotei_->StoreGeometry(ss_.yotei);
    // The layout window may keep the program open (the user cancelled its save question).
    return !layout_ || layout_->StoreGeometryAndAskToSave(ss_.layout) == 1;
}

void ToolWindows::StoreForSessionEnd() {
    if (yotei_) yotei_->StoreGeometry(ss_.yotei);
    if (layout_) layout_->StoreRect(ss_.layout);
}

}  // namespace sorvel
