#pragma once
// One object of a layout page: a rectangle kept in page units (what is stored) and in view
// units (page units × the page's scale: what is drawn and hit-tested), a calendar, picture or
// text content, and the content's rendering cached as an image and a mask of the view size.
// Drawing it on the page is two transfers: the mask with AND, then the image with OR.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "data/tagged_record.h"
#include "platform/gdi.h"

namespace sorvel {

class TSorvelDraw;
class TCalenderSet;
class TSoPic;
class TSoTex;

enum ObjKind : std::int32_t { kObjNone = 0, kObjCalendar = 1, kObjPicture = 2, kObjText = 3 };

// An object's block in a layout file and its fields: the page rectangle, the kind, and the
// kind's own block (or nothing) in the content field.
inline constexpr int kObjectBlock = 7;
enum ObjectField : int {
    kObjPageLeft = 1, kObjPageTop = 2, kObjPageWidth = 3, kObjPageHeight = 4, kObjKind = 5, kObjContent = 6
};

// Rectangles handed to an object: left, top, right, bottom.
struct ObjRect {
    int left = 0, top = 0, right = 0, bottom = 0;
};

// HitZone bits: the inside and the four edge bands (5 pixels wide).
enum HitBits { kHitLeft = 1, kHitRight = 2, kHitTop = 4, kHitBottom = 8, kHitInside = 16 };

// The settings dialogs of the three kinds; each returns 1 when it has closed. EditSettings runs
// the program's own dialogs (object_dialogs.h) unless others are installed.
class ObjectDialogs {
public:
    virtual ~ObjectDialogs() = default;
    virtual int editCalendar(TCalenderSet& settings) = 0;
    virtual int editPicture(TSoPic& picture) = 0;
    virtual int editText(TSoTex& text) = 0;
};
// Installs the dialogs (not owned); nullptr removes them.
void setObjectDialogs(ObjectDialogs* dialogs);

class TSorvelObj {
public:
    // An object of the kind (any other kind gives kind 0) with the view rectangle, or 0, 0,
    // 10 × 10 without one; the page rectangle is the view rectangle ÷ scale.
    TSorvelObj(int kind, std::optional<ObjRect> viewRect, float scale);
    ~TSorvelObj();
    TSorvelObj(const TSorvelObj&) = delete;
    TSorvelObj& operator=(const TSorvelObj&) = delete;

    std::int32_t PageLeft = 0;
    std::int32_t PageTop = 0;
    std::int32_t PageHeight = 0;
    std::int32_t PageWidth = 0;
    std::int32_t ViewLeft = 0;
    std::int32_t ViewTop = 0;
    std::int32_t ViewHeight = 0;
    std::int32_t ViewWidth = 0;
    std::uint8_t NeedsRender = 1;
    float Scale = 1;

    int kind() const { return kind_; }

    // Renders the content first when needs-render is set, then combines the mask (AND) and the
    // image (OR) at the view position and draws the selection frame. 0 when the image could
    // not be combined (after the message).
    int PaintTo(Bitmap& target);
    // A new view rectangle (a resize); a reversed one is turned the right way round. 0 without
    // a rectangle.
    int SetViewBounds(std::optional<ObjRect> viewRect);
    void ApplyScale(float scale);
    // A new view position: the size, the cached rendering and needs-render stay.
    void MoveTo(int viewLeft, int viewTop, float scale);
    // A page rectangle given back (undo): the content stays, and its rendering too while the view
    // size stays.
    void SetPageRect(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height);
    // Lets go of the cached rendering (the page printed at a large size keeps one object's at a
    // time); the next ApplyScale or SetViewBounds builds it again.
    void ReleaseRendering();
    void SetSelected(int value);
    int IsSelected() const { return selected_; }
    // The zone code of a view point: 16 inside, 1/2/4/8 on the left/right/top/bottom band, the
    // sum where they overlap, 0 off the object.
    int HitZone(int x, int y) const;
    // Runs the kind's settings dialog and refreshes the content; the dialog's answer.
    int EditSettings();

    void SaveBlock(std::string& out) const;
    // Reads an object's block after its opening marker into an object built with kind 0 and no
    // rectangle. 0 when it held a field it does not know, a second content, or was damaged.
    int LoadBlock(TagStream& in);

    // The content of the object's kind, null for the other kinds.
    TSorvelDraw* calendar() const { return calendar_.get(); }
    TSoPic* picture() const { return picture_.get(); }
    TSoTex* text() const { return text_.get(); }
    const Bitmap& image() const { return image_; }
    const Bitmap& mask() const { return mask_; }

    // True unless a page rectangle of this size is beyond the canvas limit.
    static bool pageSizeAllowed(std::int64_t width, std::int64_t height);

private:
    void createContent(int kind);
    void makeCalendar();
    // New bitmaps of the view size, image white and mask black; needs-render set.
    void rebuildBitmaps(const QString& caption, bool reportEmpty);
    void renderContent();

    std::int32_t selected_ = 0;
    std::int32_t kind_ = kObjNone;
    std::unique_ptr<TSorvelDraw> calendar_;
    std::unique_ptr<TSoPic> picture_;
    std::unique_ptr<TSoTex> text_;
    Bitmap image_;
    Bitmap mask_;
};

}  // namespace sorvel
