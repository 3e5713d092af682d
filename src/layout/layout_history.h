#pragma once
// Undo and redo for a layout page: the page's objects as they were before each edit and as they
// were before each undo, kept as the blocks a layout file stores them with, and where the page
// saved last stands among those states.
#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace sorvel {

// A page's objects as a layout file stores them (each its M07 block), top of the stack first.
using LayoutSnapshot = std::vector<std::string>;

// The most edits kept, and the most bytes their snapshots take together (the newest edit is
// kept whatever its size).
inline constexpr std::size_t kUndoSteps = 100;
inline constexpr std::size_t kUndoBytes = 32u * 1024 * 1024;

class LayoutHistory {
public:
    explicit LayoutHistory(std::size_t maxSteps = kUndoSteps, std::size_t maxBytes = kUndoBytes)
        : maxSteps_(maxSteps), maxBytes_(maxBytes) {}

    // An edit was made; before is the page as it was. The oldest edits go beyond the bounds, and
    // the undone edits can no longer be done again.
    void Record(LayoutSnapshot before);
    bool CanUndo() const { return !steps_.empty(); }
    bool CanRedo() const { return !undone_.empty(); }
    std::size_t Steps() const { return steps_.size(); }
    // The page as it was before the last edit, taken off the stack; none without an edit. now is
    // the page as it is, which Redo gives back.
    std::optional<LayoutSnapshot> Undo(LayoutSnapshot now);
    // The page as it was before the last undo; none when nothing was undone since the last edit.
    // now is the page as it is, which Undo gives back.
    std::optional<LayoutSnapshot> Redo(LayoutSnapshot now);
    // The page as it is now has been saved.
    void MarkSaved() { saved_ = depth(); }
    // The page as it is now was never saved (a page recovered after a crash).
    void MarkUnsaved() { saved_.reset(); }
    // True when the page as it is now is the page saved last (or the new or opened page).
    bool AtSavePoint() const { return saved_ == depth(); }
    // A new or opened page: no edits, and the page as it is counts as saved.
    void Clear();

private:
    // States are counted from the page's start: the current one is dropped_ + the steps kept.
    std::size_t depth() const { return dropped_ + steps_.size(); }
    void push(LayoutSnapshot before);

    std::size_t maxSteps_;
    std::size_t maxBytes_;
    std::deque<LayoutSnapshot> steps_;
    std::vector<LayoutSnapshot> undone_;  // the page before each undo, the latest last
    std::size_t bytes_ = 0;
    std::size_t dropped_ = 0;
    std::optional<std::size_t> saved_ = 0;
};

}  // namespace sorvel
