#include "layout/so_tex.h"

#include <algorithm>
#include <cmath>

#include "layout/layout_messages.h"
#include "layout/so_pic.h"
#include "platform/text.h"
#include "platform/ui.h"
#include "calendar/canvas_size.h"

namespace sorvel {

namespace {
constexpr Rgb kWhite = 0xFFFFFF;
constexpr Rgb kBlack = 0x000000;
constexpr std::string_view kCrLf("\r\n", 2);

// A text object's block and its fields.
constexpr int kTextBlock = 9;
enum TextField : int { kTextText = 1, kTextFontName = 2, kTextFontCharSet = 3, kTextFontSize = 4, kTextOverlay = 5 };
}  // namespace

TSoTex::TSoTex() {
    image_ = Bitmap::create(10, 10);
    if (image_.isNull())
        showMessage(newObjectFailedMessage(), errorCaptionLatin());
    else
        Canvas(image_).fill(0, 0, 10, 10, kBlack);
}

std::vector<std::string> TSoTex::SplitLines(const std::string& text) {
    // CR and LF never occur as the second byte of a double-byte character.
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t at = text.find(kCrLf); at != std::string::npos; at = text.find(kCrLf, start)) {
        lines.emplace_back(text, start, at - start);
        start = at + kCrLf.size();
    }
    lines.emplace_back(text, start);
    return lines;
}

void TSoTex::SetTargetSize(int width, int height) {
    TargetWidth = width;
    TargetHeight = height;
    LineCount = static_cast<std::int32_t>(SplitLines(Text).size());
    // The font gets its height (the line height) when the text image is prepared.
    LineHeight = height / LineCount;
}

int TSoTex::PrepareText() {
    if (Text.empty()) return 0;
    font_.setFace(FontName, FontCharSet);
    const std::vector<std::string> lines = SplitLines(Text);
    // The text is drawn at the line height; a text whose bitmap would pass the canvas limit (a
    // long line at printer resolution) is drawn smaller and stretched up instead.
    for (int cell = std::max(LineHeight, 1);;) {
        font_.setHeight(cell);
        int widest = 0, tallest = 0;
        for (const std::string& line : lines) {
            const TextSize size = Canvas::textExtent(line, font_);
            widest = std::max(widest, size.width);
            tallest = std::max(tallest, size.height);
        }
        // A text of empty lines still gets a bitmap of one pixel.
        const std::int64_t w = std::max(widest, 1);
        const std::int64_t h = std::int64_t{std::max(tallest, 1)} * static_cast<std::int64_t>(lines.size());
        if (canvasSizeAllowed(w, h) || cell <= 1) {
            cell_ = cell;
            ImageWidth = static_cast<std::int32_t>(std::min<std::int64_t>(w, INT32_MAX));
            ImageHeight = static_cast<std::int32_t>(std::min<std::int64_t>(h, INT32_MAX));
            break;
        }
        // The text's size goes with the cell height: shrink by what is over, with a margin.
        const double over = std::max({static_cast<double>(w) / kMaxCanvasSide, static_cast<double>(h) / kMaxCanvasSide,
                                      std::sqrt(static_cast<double>(w) * static_cast<double>(h) / kMaxCanvasPixels)});
        cell = std::min(cell - 1, static_cast<int>(cell / over * 0.95));
        cell = std::max(cell, 1);
    }
    image_ = Bitmap::create(ImageWidth, ImageHeight);
    if (!image_.isNull()) Canvas(image_).fill(0, 0, ImageWidth, ImageHeight, kBlack);
    return 1;
}

void TSoTex::PaintTextPass(Bitmap& target, int pass) {
    if (Text.empty()) {
        PaintPlaceholder(target, TargetWidth, TargetHeight);
        return;
    }
    const bool whiteGround = pass == kPassOpaqueImage || pass == kPassOverlayMask;
    const Rgb ground = whiteGround ? kWhite : kBlack;
    if (!image_.isNull()) {
        Canvas canvas(image_);
        // The opaque mask is black already after PrepareText; it is made black here as well, so
        // that the pass does not depend on which pass ran before it.
        canvas.fill(0, 0, image_.width(), image_.height(), ground);
        const std::vector<std::string> lines = SplitLines(Text);
        for (std::size_t n = 0; n < lines.size(); ++n)
            canvas.textOut(0, cell_ * static_cast<int>(n), lines[n], font_, kBlack, ground);
    }
    if (!Canvas(target).stretchHalftone(0, 0, TargetWidth, TargetHeight, image_))
        showMessage(textEnlargeFailedMessage(), errorCaptionLatin());
}

void TSoTex::SaveBlock(std::string& out) const {
    WriteBlockOpen(out, kTextBlock);
    WriteField(out, kTextText, Text, kTagValue);
    WriteField(out, kTextFontName, FontName, kTagValue);
    WriteIntField(out, kTextFontCharSet, FontCharSet);
    WriteIntField(out, kTextFontSize, FontSize);
    WriteIntField(out, kTextOverlay, Overlay);
    WriteBlockClose(out, kTextBlock);
}

int TSoTex::LoadBlock(TagStream& in) {
    return ReadFields(in, UnknownField::Reject,
                      [&](int number) {
                          switch (number) {
                              case kTextText: return FieldReadOf(ReadValue(in, Text));
                              case kTextFontName: return FieldReadOf(ReadValue(in, FontName));
                              case kTextFontCharSet: return FieldReadOf(ReadLowByteOrKeep(in, FontCharSet));
                              case kTextFontSize: return FieldReadOf(ReadIntOrKeep(in, FontSize));
                              case kTextOverlay: return FieldReadOf(ReadLowByteOrKeep(in, Overlay));
                              default: return FieldRead::Unknown;
                          }
                      })
               ? 1
               : 0;
}

}  // namespace sorvel
