#pragma once
// The raster layer the drawing code is written against: 24-bit bitmaps, a canvas on a bitmap
// or on a painter (window, printer page), fills, rectangles, lines, bit-block transfers with
// copy / AND / OR, halftone stretching, and opaque text with fonts chosen by face name,
// character set and cell height. It knows nothing about calendars.
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include <QFont>
#include <QImage>
#include <QPoint>

class QPainter;

namespace sorvel {

// 0xRRGGBB
using Rgb = std::uint32_t;

// A 24-bit RGB bitmap (QImage::Format_RGB888 inside). A null bitmap has no pixels.
class Bitmap {
public:
    static constexpr int kMaxSide = 32767;
    static constexpr std::int64_t kMaxPixels = 128ll * 1024 * 1024;

    Bitmap() = default;
    // A bitmap of that size, its pixels undefined; null when the size is refused (zero,
    // negative, a side above kMaxSide, more than kMaxPixels) or memory is short.
    static Bitmap create(std::int64_t width, std::int64_t height);
    // A copy of any image converted to 24 bits; null when the image is null or too large.
    static Bitmap fromImage(const QImage& image);
    static bool sizeAllowed(std::int64_t width, std::int64_t height);

    bool isNull() const { return image_.isNull(); }
    int width() const { return image_.width(); }
    int height() const { return image_.height(); }
    Rgb pixel(int x, int y) const;
    void setPixel(int x, int y, Rgb colour);
    const QImage& image() const { return image_; }
    QImage& image() { return image_; }

    // Tests: the next n creations fail as if memory were short.
    static void failCreationsForTesting(int n);

private:
    explicit Bitmap(QImage image) : image_(std::move(image)) {}
    QImage image_;
};

enum class PenStyle { Solid, Dash };
struct Pen {
    Rgb colour = 0x000000;
    int width = 1;
    PenStyle style = PenStyle::Solid;
};

enum class RasterOp { Copy, And, Or };

inline constexpr int kShiftJisCharSet = 128;

// A font by face name (CP932 bytes), character set and cell height in pixels (ascent +
// descent equals the height asked for, as a positive Windows font height means). The Windows
// Japanese faces are drawn with the metric-compatible IPA fonts.
class Font {
public:
    Font() : Font(std::string(), kShiftJisCharSet, 12) {}
    Font(std::string face, int charSet, int height);

    void setFace(std::string face, int charSet);
    void setHeight(int height);
    const std::string& face() const { return face_; }
    int charSet() const { return charSet_; }
    int height() const { return height_; }

    // What the text is drawn with.
    const QFont& qfont() const;
    int ascent() const;
    int advance(const QString& text) const;

    // The installed family a face name stands for.
    static QString familyFor(std::string_view faceCp932, int charSet);

private:
    struct Metrics;
    const Metrics& resolved() const;
    std::string face_;
    int charSet_ = kShiftJisCharSet;
    int height_ = 12;
    QString family_;
    mutable std::shared_ptr<const Metrics> metrics_;  // set on first use
};

struct TextSize {
    int width = 0;
    int height = 0;
};

// Drawing onto a bitmap (every operation) or through a painter onto a window or printer page
// (AND and OR only where the painter's engine has raster operations).
class Canvas {
public:
    explicit Canvas(Bitmap& target);
    explicit Canvas(QPainter& target);
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    void fill(int x, int y, int width, int height, Rgb colour);
    // Outline with the pen on the pixels left … right − 1, top … bottom − 1, filled inside.
    void rectangle(int left, int top, int right, int bottom, const Pen& pen, Rgb fill);
    void polyline(std::span<const QPoint> points, const Pen& pen);
    // Combines width × height pixels of src from (sx, sy) at (dx, dy); clipped to both. False
    // when the target cannot do the operation.
    bool bitBlt(int dx, int dy, int width, int height, const Bitmap& src, int sx, int sy, RasterOp op);
    // Stretches the whole of src onto the rectangle, averaging pixels; false when it fails.
    bool stretchHalftone(int dx, int dy, int width, int height, const Bitmap& src);
    // The text in an opaque cell (its advance × the font height) with its top left at (x, y).
    void textOut(int x, int y, std::string_view textCp932, const Font& font, Rgb foreground, Rgb background);
    void textOut(int x, int y, const QString& text, const Font& font, Rgb foreground, Rgb background);

    // Text with a drop shadow in one call, the same as two transfers through a scratch bitmap
    // of width × height: the text in black on white combined by AND at (x + shadow,
    // y + shadow), then the text in the colour on black combined by OR at (x, y). Clipped to
    // the box and the canvas; bitmap targets only.
    void shadowedText(int x, int y, int width, int height, const QString& text, const Font& font, Rgb colour,
                      int shadow);

    static TextSize textExtent(std::string_view textCp932, const Font& font);
    static TextSize textExtent(const QString& text, const Font& font);

    // Tests: the next n stretches fail.
    static void failStretchesForTesting(int n);

private:
    Bitmap* bitmap_ = nullptr;
    QPainter* painter_ = nullptr;
};

}  // namespace sorvel
