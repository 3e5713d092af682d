#pragma once
// Mouse editing of a layout page, apart from any window: placing a new object by dragging out
// a rectangle, selecting, moving and resizing the top object with a rubber band, the cursor
// shape for the zone under the pointer, and notes dropped from the schedule list as one text.
#include <cstdint>
#include <string>
#include <vector>

#include "layout/layout_paper.h"

namespace sorvel {

struct DraggedNote;

enum EditMode : std::int32_t { kEditIdle = 0, kEditPlacing = 1, kEditDrawing = 2, kEditResizing = 3, kEditMoving = 4 };

enum class CursorShape { Arrow, SizeWE, SizeNS, SizeNWSE, SizeNESW };

// The cursor for a HitZone code: the sizing arrows on edges and corners, the arrow elsewhere.
CursorShape cursorForZone(int zone);

class LayoutEdit {
public:
    explicit LayoutEdit(TLayoutPaper& page) : page_(page) {}

    std::int32_t Mode = kEditIdle;
    std::int32_t EdgeCode = 0;
    std::int32_t KindToAdd = kObjNone;
    std::int32_t LastX = 0;
    std::int32_t LastY = 0;
    // While an object is moved or resized the positions are kept on the page.
    std::uint8_t Confined = 0;

    // A kind chosen from the menu: the next rectangle dragged out becomes that object.
    void ChooseKind(int kind);
    void MouseDown(bool leftButton, int x, int y);
    CursorShape MouseMove(int x, int y);
    void MouseUp();

private:
    void confine(int& x, int& y) const;
    void startDrag(int index);

    TLayoutPaper& page_;
    // The object being moved or resized: Space, a deletion or another page during the drag must
    // not hand the edit to a different object.
    const TSorvelObj* dragged_ = nullptr;
    bool inDown_ = false;
    bool inMove_ = false;
    bool inUp_ = false;
};

// The text of dropped notes: year年month月day日 and the title, one line per note (CR LF between).
std::string droppedNotesText(const std::vector<DraggedNote>& notes);
// A text object of the notes at the drop point, half the page's width wide and a quarter of it
// high, at the bottom of the stack. Marks the page modified. False when there are no notes.
bool DropNotes(TLayoutPaper& page, const std::vector<DraggedNote>& notes, int x, int y);

}  // namespace sorvel
