#include "layout/layout_edit.h"

#include <algorithm>

#include "layout/so_tex.h"
#include "platform/text.h"
#include "data/note_drag.h"

namespace sorvel {

namespace {

// A band dragged up or to the left turned the right way round.
RubberBand normalised(RubberBand b) {
    if (b.width < 0) {
        b.left += b.width;
        b.width = -b.width;
    }
    if (b.height < 0) {
        b.top += b.height;
        b.height = -b.height;
    }
    return b;
}

// Guards a handler against being entered again while it runs (a message box it caused).
class Reentry {
public:
    explicit Reentry(bool& busy) : busy_(busy), entered_(!busy) { busy_ = true; }
    ~Reentry() {
        if (entered_) busy_ = false;
    }
    Reentry(const Reentry&) = delete;
    Reentry& operator=(const Reentry&) = delete;
    bool entered() const { return entered_; }

private:
    bool& busy_;
    bool entered_;
};

}  // namespace

CursorShape cursorForZone(int zone) {
    switch (zone) {
        case kHitLeft:
        case kHitRight:
            return CursorShape::SizeWE;
        case kHitTop:
        case kHitBottom:
            return CursorShape::SizeNS;
        case kHitLeft | kHitTop:
        case kHitRight | kHitBottom:
            return CursorShape::SizeNWSE;
        case kHitRight | kHitTop:
        case kHitLeft | kHitBottom:
            return CursorShape::SizeNESW;
        default:
            return CursorShape::Arrow;
    }
}

void LayoutEdit::ChooseKind(int kind) {
    Mode = kEditPlacing;
    KindToAdd = kind;
}

void LayoutEdit::confine(int& x, int& y) const {
    if (!Confined) return;
    x = std::clamp(x, 0, std::max(0, page_.PageViewWidth));
    y = std::clamp(y, 0, std::max(0, page_.PageViewHeight));
}

void LayoutEdit::startDrag(int index) {
    const TSorvelObj& o = *page_.objects[static_cast<std::size_t>(index)];
    dragged_ = &o;
    page_.band = RubberBand{o.ViewLeft, o.ViewTop, o.ViewWidth, o.ViewHeight};
    page_.BandVisible = 1;
}

void LayoutEdit::MouseDown(bool leftButton, int x, int y) {
    Reentry guard(inDown_);
    if (!guard.entered()) return;
    LastX = x;
    LastY = y;
    if (!leftButton) return;
    switch (Mode) {
        case kEditIdle: {
            const auto [zone, index] = page_.FindObjectAt(x, y);
            page_.DeselectAll();
            if (index >= 0) {
                // The object goes to the top of the stack, selected: an edit of its own, so that
                // a Space during the drag that follows is taken back in its turn.
                LayoutSnapshot before = page_.TakeSnapshot();
                auto it = page_.objects.begin() + index;
                std::rotate(page_.objects.begin(), it, it + 1);
                page_.RecordEdit(std::move(before));
                page_.objects.front()->SetSelected(1);
                if (zone >= 1 && zone <= kHitInside) {
                    Confined = 1;
                    confine(LastX, LastY);
                    if (zone == kHitInside) {
                        Mode = kEditMoving;
                    } else {
                        EdgeCode = zone;
                        Mode = kEditResizing;
                    }
                    startDrag(0);
                }
            }
            page_.NeedsRender = 1;
            break;
        }
        case kEditPlacing:
            Mode = kEditDrawing;
            page_.band = RubberBand{x, y, 0, 0};
            page_.BandVisible = 1;
            break;
        default:
            break;
    }
}

CursorShape LayoutEdit::MouseMove(int x, int y) {
    Reentry guard(inMove_);
    if (!guard.entered()) return CursorShape::Arrow;
    CursorShape cursor = CursorShape::Arrow;
    RubberBand& band = page_.band;
    confine(x, y);
    const int dx = x - LastX, dy = y - LastY;
    switch (Mode) {
        case kEditIdle:
            if (!page_.objects.empty() && page_.objects.front()->IsSelected() == 1)
                cursor = cursorForZone(page_.FindObjectAt(x, y).first);
            break;
        case kEditDrawing:
            band.width = x - band.left;
            band.height = y - band.top;
            break;
        case kEditResizing:
            if (EdgeCode & kHitLeft) {
                band.left += dx;
                band.width -= dx;
            }
            if (EdgeCode & kHitRight) band.width += dx;
            if (EdgeCode & kHitTop) {
                band.top += dy;
                band.height -= dy;
            }
            if (EdgeCode & kHitBottom) band.height += dy;
            LastX = x;
            LastY = y;
            break;
        case kEditMoving:
            band.left += dx;
            band.top += dy;
            LastX = x;
            LastY = y;
            break;
        default:
            break;
    }
    return cursor;
}

void LayoutEdit::MouseUp() {
    Reentry guard(inUp_);
    if (!guard.entered()) return;
    TSorvelObj* dragged = nullptr;
    for (const auto& o : page_.objects)
        if (o.get() == dragged_) dragged = o.get();
    dragged_ = nullptr;
    switch (Mode) {
        case kEditDrawing: {
            page_.Modified = 1;
            page_.BandVisible = 0;
            RubberBand b = normalised(page_.band);
            if (b.height < 10) b.height = 50;
            if (b.width < 10) b.width = 50;
            page_.band = b;
            LayoutSnapshot before = page_.TakeSnapshot();
            page_.objects.push_back(std::make_unique<TSorvelObj>(
                KindToAdd, ObjRect{b.left, b.top, b.left + b.width, b.top + b.height}, page_.Scale));
            Mode = kEditIdle;
            page_.NeedsRender = 1;
            page_.RecordEdit(std::move(before));
            break;
        }
        case kEditResizing:
        case kEditMoving: {
            const int mode = Mode;
            LayoutSnapshot before = page_.TakeSnapshot();
            Confined = 0;
            page_.BandVisible = 0;
            // Back to idle first: a message the object shows must not find a drag under way.
            Mode = kEditIdle;
            if (dragged) {
                page_.Modified = 1;
                TSorvelObj& o = *dragged;
                if (mode == kEditResizing) {
                    const RubberBand b = normalised(page_.band);
                    page_.band = b;
                    o.SetViewBounds(ObjRect{b.left, b.top, b.left + b.width, b.top + b.height});
                } else {
                    o.MoveTo(page_.band.left, page_.band.top, page_.Scale);
                }
            }
            page_.NeedsRender = 1;
            page_.RecordEdit(std::move(before));
            break;
        }
        default:
            Mode = kEditIdle;
            break;
    }
}

std::string droppedNotesText(const std::vector<DraggedNote>& notes) {
    static const std::string year = *utf8ToCp932("年"), month = *utf8ToCp932("月"), day = *utf8ToCp932("日");
    std::string text;
    for (std::size_t i = 0; i < notes.size(); ++i) {
        const DraggedNote& n = notes[i];
        if (i > 0) text += "\r\n";
        text += std::to_string(n.year) + year + std::to_string(n.month) + month + std::to_string(n.day) + day + n.caption;
    }
    return text;
}

bool DropNotes(TLayoutPaper& page, const std::vector<DraggedNote>& notes, int x, int y) {
    if (notes.empty()) return false;
    const ObjRect r{x, y, x + page.PageViewWidth / 2, y + page.PageViewWidth / 4};
    LayoutSnapshot before = page.TakeSnapshot();
    auto o = std::make_unique<TSorvelObj>(kObjText, r, page.Scale);
    o->text()->Text = droppedNotesText(notes);
    o->NeedsRender = 1;
    page.objects.push_back(std::move(o));
    // A dropped text is a change like any other: it is not lost without the save question.
    page.Modified = 1;
    page.NeedsRender = 1;
    page.RecordEdit(std::move(before));
    return true;
}

}  // namespace sorvel
