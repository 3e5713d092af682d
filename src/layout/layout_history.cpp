#include "layout/layout_history.h"

namespace sorvel {

namespace {
std::size_t sizeOf(const LayoutSnapshot& s) {
    std::size_t n = 0;
    for (const std::string& block : s) n += block.size();
    return n;
}
}  // namespace

void LayoutHistory::Record(LayoutSnapshot before) {
    // A state saved after the current one was reachable only by redo.
    if (saved_ && *saved_ > depth()) saved_.reset();
    undone_.clear();
    push(std::move(before));
}

void LayoutHistory::push(LayoutSnapshot before) {
    bytes_ += sizeOf(before);
    steps_.push_back(std::move(before));
    while (steps_.size() > maxSteps_ || (bytes_ > maxBytes_ && steps_.size() > 1)) {
        bytes_ -= sizeOf(steps_.front());
        steps_.pop_front();
        ++dropped_;
    }
    // The state saved last can no longer be reached once its snapshot was dropped.
    if (saved_ && *saved_ < dropped_) saved_.reset();
}

std::optional<LayoutSnapshot> LayoutHistory::Undo(LayoutSnapshot now) {
    if (steps_.empty()) return std::nullopt;
    LayoutSnapshot before = std::move(steps_.back());
    steps_.pop_back();
    bytes_ -= sizeOf(before);
    undone_.push_back(std::move(now));
    return before;
}

std::optional<LayoutSnapshot> LayoutHistory::Redo(LayoutSnapshot now) {
    if (undone_.empty()) return std::nullopt;
    LayoutSnapshot after = std::move(undone_.back());
    undone_.pop_back();
    push(std::move(now));
    return after;
}

void LayoutHistory::Clear() {
    steps_.clear();
    undone_.clear();
    bytes_ = 0;
    dropped_ = 0;
    saved_ = 0;
}

}  // namespace sorvel
