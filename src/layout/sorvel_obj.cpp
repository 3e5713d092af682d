#include "layout/sorvel_obj.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "layout/layout_messages.h"
#include "layout/object_dialogs.h"
#include "layout/so_pic.h"
#include "layout/so_tex.h"
#include "platform/text.h"
#include "platform/ui.h"
#include "calendar/canvas_size.h"
#include "render/sorvel_draw.h"

namespace sorvel {

namespace {

constexpr Rgb kWhite = 0xFFFFFF;
constexpr Rgb kBlack = 0x000000;
constexpr Rgb kFrameColour = 0x3232C8;  // RGB(50, 50, 200)
constexpr int kBand = 5;

ObjectDialogs* g_dialogs = nullptr;

// Truncation toward zero, held inside 32 bits whatever a damaged file multiplies.
std::int32_t truncated(double v) {
    if (std::isnan(v)) return 0;
    v = std::trunc(v);
    if (v >= static_cast<double>(std::numeric_limits<std::int32_t>::max()))
        return std::numeric_limits<std::int32_t>::max();
    if (v <= static_cast<double>(std::numeric_limits<std::int32_t>::min()))
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(v);
}
std::int32_t toView(std::int32_t page, float scale) { return truncated(static_cast<double>(page) * scale); }
std::int32_t toPage(std::int32_t view, float scale) { return truncated(static_cast<double>(view) / scale); }

}  // namespace

void setObjectDialogs(ObjectDialogs* dialogs) { g_dialogs = dialogs; }

bool TSorvelObj::pageSizeAllowed(std::int64_t width, std::int64_t height) {
    // An empty rectangle (a resize onto the opposite edge) is allowed: it only has no bitmaps.
    width = std::max<std::int64_t>(std::abs(width), 1);
    height = std::max<std::int64_t>(std::abs(height), 1);
    return canvasSizeAllowed(width, height);
}

TSorvelObj::TSorvelObj(int kind, std::optional<ObjRect> viewRect, float scale) : Scale(scale) {
    NeedsRender = 1;
    if (viewRect) {
        ViewLeft = viewRect->left;
        ViewTop = viewRect->top;
        ViewWidth = truncated(static_cast<double>(viewRect->right) - viewRect->left);
        ViewHeight = truncated(static_cast<double>(viewRect->bottom) - viewRect->top);
    } else {
        ViewLeft = ViewTop = 0;
        ViewWidth = ViewHeight = 10;
    }
    PageLeft = toPage(ViewLeft, Scale);
    PageTop = toPage(ViewTop, Scale);
    PageWidth = toPage(ViewWidth, Scale);
    PageHeight = toPage(ViewHeight, Scale);
    createContent(kind);
    rebuildBitmaps(programErrorCaptionLatin(), true);
}

TSorvelObj::~TSorvelObj() = default;

void TSorvelObj::makeCalendar() {
    calendar_ = std::make_unique<TSorvelDraw>();
    calendar_->ResetSettings();
    // The reset built a canvas of the default size; the object renders at its own size, so the
    // engine keeps a small one until then.
    calendar_->SetExplicitSize(10, 10);
    calendar_->CreateCanvas();
}

void TSorvelObj::createContent(int kind) {
    calendar_.reset();
    picture_.reset();
    text_.reset();
    switch (kind) {
        case kObjCalendar:
            makeCalendar();
            calendar_->SetExplicitSize(ViewWidth, ViewHeight);
            break;
        case kObjPicture:
            picture_ = std::make_unique<TSoPic>();
            picture_->SetTargetSize(ViewWidth, ViewHeight);
            break;
        case kObjText:
            text_ = std::make_unique<TSoTex>();
            text_->SetTargetSize(ViewWidth, ViewHeight);
            text_->PrepareText();
            break;
        default: kind = kObjNone; break;
    }
    kind_ = kind;
}

void TSorvelObj::rebuildBitmaps(const QString& caption, bool reportEmpty) {
    image_ = Bitmap();
    mask_ = Bitmap();
    NeedsRender = 1;
    // An empty or oversized rectangle gets no bitmaps: the object stays on the page, can be
    // selected, resized and saved, and draws nothing but its frame. An empty one is reported
    // when the user made it so, not again at every change of scale.
    const bool empty = ViewWidth <= 0 || ViewHeight <= 0;
    const bool report = reportEmpty || !empty;
    const bool allowed = canvasSizeAllowed(ViewWidth, ViewHeight);
    if (allowed) image_ = Bitmap::create(ViewWidth, ViewHeight);
    if (!image_.isNull())
        Canvas(image_).fill(0, 0, ViewWidth, ViewHeight, kWhite);
    else if (report)
        showMessage(failCreateDibSectionMessage(), caption);
    if (allowed) mask_ = Bitmap::create(ViewWidth, ViewHeight);
    if (!mask_.isNull())
        Canvas(mask_).fill(0, 0, ViewWidth, ViewHeight, kBlack);
    else if (report)
        showMessage(failCreateDibSectionMessage(), caption);
}

int TSorvelObj::SetViewBounds(std::optional<ObjRect> viewRect) {
    if (!viewRect) return 0;
    ObjRect r = *viewRect;
    if (r.right < r.left) std::swap(r.left, r.right);
    if (r.bottom < r.top) std::swap(r.top, r.bottom);
    ViewLeft = r.left;
    ViewTop = r.top;
    ViewWidth = truncated(static_cast<double>(r.right) - r.left);
    ViewHeight = truncated(static_cast<double>(r.bottom) - r.top);
    PageLeft = toPage(ViewLeft, Scale);
    PageTop = toPage(ViewTop, Scale);
    PageWidth = toPage(ViewWidth, Scale);
    PageHeight = toPage(ViewHeight, Scale);
    rebuildBitmaps(objectErrorCaptionLatin(), true);
    return 1;
}

void TSorvelObj::ReleaseRendering() {
    image_ = Bitmap();
    mask_ = Bitmap();
    NeedsRender = 1;
    if (calendar_) {
        calendar_->SetExplicitSize(10, 10);
        calendar_->CreateCanvas();
    }
}

void TSorvelObj::ApplyScale(float scale) {
    Scale = scale;
    ViewLeft = toView(PageLeft, Scale);
    ViewTop = toView(PageTop, Scale);
    ViewWidth = toView(PageWidth, Scale);
    ViewHeight = toView(PageHeight, Scale);
    rebuildBitmaps(objectErrorCaptionLatin(), false);
}

void TSorvelObj::SetPageRect(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height) {
    const std::int32_t viewWidth = ViewWidth, viewHeight = ViewHeight;
    PageLeft = left;
    PageTop = top;
    PageWidth = width;
    PageHeight = height;
    ViewLeft = toView(PageLeft, Scale);
    ViewTop = toView(PageTop, Scale);
    ViewWidth = toView(PageWidth, Scale);
    ViewHeight = toView(PageHeight, Scale);
    if (ViewWidth != viewWidth || ViewHeight != viewHeight) rebuildBitmaps(objectErrorCaptionLatin(), false);
}

void TSorvelObj::MoveTo(int viewLeft, int viewTop, float scale) {
    Scale = scale;
    ViewLeft = viewLeft;
    ViewTop = viewTop;
    PageLeft = toPage(ViewLeft, Scale);
    PageTop = toPage(ViewTop, Scale);
}

void TSorvelObj::SetSelected(int value) {
    if (value == 0 || value == 1) selected_ = value;
}

int TSorvelObj::HitZone(int x, int y) const {
    // 64-bit, and a rectangle that came reversed from a damaged file is taken the right way
    // round, so that it can still be picked up.
    std::int64_t l = ViewLeft, t = ViewTop, w = ViewWidth, h = ViewHeight;
    if (w < 0) { l += w; w = -w; }
    if (h < 0) { t += h; h = -h; }
    const std::int64_t r = l + w, b = t + h;
    int code = 0;
    if (l + kBand <= x && x <= r - kBand && t + kBand <= y && y <= b - kBand) code += kHitInside;
    if (l <= x && x <= l + kBand && t <= y && y <= b) code += kHitLeft;
    if (r - kBand <= x && x <= r && t <= y && y <= b) code += kHitRight;
    if (l <= x && x <= r && t <= y && y <= t + kBand) code += kHitTop;
    if (l <= x && x <= r && b - kBand <= y && y <= b) code += kHitBottom;
    return code;
}

void TSorvelObj::renderContent() {
    if (image_.isNull() || mask_.isNull()) return;
    switch (kind_) {
        case kObjCalendar: {
            TCalenderSet& s = calendar_->settings();
            calendar_->SetExplicitSize(ViewWidth, ViewHeight);
            s.NoDrawButton = 1;
            calendar_->setRedraw();
            // A calendar on a page marks no holidays and no schedule days.
            calendar_->Render(CalendarSources{});
            Canvas(image_).bitBlt(0, 0, ViewWidth, ViewHeight, calendar_->canvasBitmap(), 0, 0, RasterOp::Copy);
            break;
        }
        case kObjPicture:
            picture_->SetTargetSize(ViewWidth, ViewHeight);
            picture_->PaintPicture(image_);
            break;
        case kObjText:
            text_->SetTargetSize(ViewWidth, ViewHeight);
            text_->PrepareText();
            if (text_->Overlay != 0) {
                text_->PaintTextPass(mask_, kPassOverlayMask);
                text_->PaintTextPass(image_, kPassOverlayImage);
                text_->Overlay = 1;
            } else {
                text_->PaintTextPass(mask_, kPassOpaqueMask);
                text_->PaintTextPass(image_, kPassOpaqueImage);
                text_->Overlay = 0;
            }
            break;
        default: {
            const QPoint diagonal[] = {{0, 0}, {ViewWidth, ViewHeight}};
            Canvas(image_).polyline(diagonal, Pen{kBlack, 1, PenStyle::Solid});
            break;
        }
    }
}

int TSorvelObj::PaintTo(Bitmap& target) {
    if (NeedsRender) {
        NeedsRender = 0;
        renderContent();
    }
    Canvas canvas(target);
    bool combined = true;
    // Without bitmaps (an empty rectangle) there is nothing to combine, which is no failure.
    if (!image_.isNull() && !mask_.isNull()) {
        canvas.bitBlt(ViewLeft, ViewTop, ViewWidth, ViewHeight, mask_, 0, 0, RasterOp::And);
        combined = canvas.bitBlt(ViewLeft, ViewTop, ViewWidth, ViewHeight, image_, 0, 0, RasterOp::Or);
    }
    if (selected_ == 1) {
        const int l = ViewLeft, t = ViewTop;
        const int r = truncated(static_cast<double>(ViewLeft) + ViewWidth);
        const int b = truncated(static_cast<double>(ViewTop) + ViewHeight);
        const QPoint frame[] = {{l, t}, {r, t}, {r, b}, {l, b}, {l, t}};
        canvas.polyline(frame, Pen{kFrameColour, 2, PenStyle::Dash});
    }
    if (!combined) {
        showMessage(drawObjectFailedMessage(), programMessageCaptionLatin());
        return 0;
    }
    return 1;
}

int TSorvelObj::EditSettings() {
    ObjectDialogs* dialogs = g_dialogs ? g_dialogs : &formObjectDialogs();
    int result = 0;
    switch (kind_) {
        case kObjCalendar:
            result = dialogs->editCalendar(calendar_->settings());
            if (result == 1) {
                NeedsRender = 1;
                calendar_->setRedraw();
                if (calendar_->settings().IsWallPaper == 1) calendar_->LoadWallpaper();
            }
            break;
        case kObjPicture:
            result = dialogs->editPicture(*picture_);
            if (result == 1) {
                NeedsRender = 1;
                picture_->LoadPicture();
            }
            break;
        case kObjText:
            result = dialogs->editText(*text_);
            if (result == 1) {
                NeedsRender = 1;
                text_->PrepareText();
            }
            break;
        default: break;
    }
    return result;
}

void TSorvelObj::SaveBlock(std::string& out) const {
    WriteBlockOpen(out, kObjectBlock);
    WriteIntField(out, kObjPageLeft, PageLeft);
    WriteIntField(out, kObjPageTop, PageTop);
    WriteIntField(out, kObjPageWidth, PageWidth);
    WriteIntField(out, kObjPageHeight, PageHeight);
    WriteIntField(out, kObjKind, kind_);
    WriteField(out, kObjContent, {}, kTagOpen);
    if (calendar_) WriteM01(out, calendar_->settings());
    if (picture_) picture_->SaveBlock(out);
    if (text_) text_->SaveBlock(out);
    WriteField(out, kObjContent, {}, kTagClose);
    WriteBlockClose(out, kObjectBlock);
}

namespace {
// True when the next marker opens a block ("<+M"): a content field that is not empty.
bool blockFollows(const TagStream& in) {
    const std::string_view rest = in.data().substr(in.pos());
    const std::size_t lt = rest.find('<');
    return lt != std::string_view::npos && rest.substr(lt).starts_with("<+M");
}
}  // namespace

int TSorvelObj::LoadBlock(TagStream& in) {
    bool contentRead = false;
    std::int32_t kind = kind_;
    auto finish = [&](int result) {
        // The kind is the kind of the content that was read: a kind without its content (or a
        // kind this version does not know) draws and saves as an empty object.
        kind_ = calendar_ ? kObjCalendar : picture_ ? kObjPicture : text_ ? kObjText : kObjNone;
        NeedsRender = 1;
        return result;
    };
    const bool read = ReadFields(in, UnknownField::Reject, [&](int number) {
        switch (number) {
            case kObjPageLeft: return FieldReadOf(ReadIntOrKeep(in, PageLeft));
            case kObjPageTop: return FieldReadOf(ReadIntOrKeep(in, PageTop));
            case kObjPageWidth: return FieldReadOf(ReadIntOrKeep(in, PageWidth));
            case kObjPageHeight: return FieldReadOf(ReadIntOrKeep(in, PageHeight));
            case kObjKind: return FieldReadOf(ReadIntOrKeep(in, kind));
            case kObjContent: break;
            default: return FieldRead::Unknown;
        }
        if (contentRead) {
            // One content to an object: a repeated one (damage) is passed over unread like a field
            // the object does not know, so that no picture is decoded twice and no message repeats.
            return FieldRead::Unknown;
        }
        contentRead = true;
        if (!blockFollows(in)) return FieldRead::Read;  // an empty object: the two tags alone
        int n = 0;
        std::string letter;
        if (ReadTag(in, n, letter, kTagOpen) != 1) return FieldRead::Failed;
        calendar_.reset();
        picture_.reset();
        text_.reset();
        if (kind == kObjCalendar) {
            makeCalendar();
            // What was read counts, even from a damaged block: the wallpaper is loaded (or its
            // flag cleared) so that the settings say what is drawn.
            const bool ok = ReadM01(in, calendar_->settings()) == 1 || !in.badNumber;
            if (calendar_->settings().IsWallPaper == 1) calendar_->LoadWallpaper();
            kind_ = kObjCalendar;
            if (pageSizeAllowed(PageWidth, PageHeight)) ApplyScale(Scale);
            return FieldReadOf(ok);
        }
        if (kind == kObjPicture) {
            picture_ = std::make_unique<TSoPic>();
            picture_->LoadBlock(in);
            picture_->LoadPicture();
            return FieldRead::Read;
        }
        if (kind == kObjText) {
            text_ = std::make_unique<TSoTex>();
            text_->LoadBlock(in);
            text_->PrepareText();
            return FieldRead::Read;
        }
        return FieldReadOf(SkipBlock(in));
    });
    return finish(read ? 1 : 0);
}

}  // namespace sorvel
