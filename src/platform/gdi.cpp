#include "platform/gdi.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <utility>

#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPaintEngine>
#include <QPainter>
#include <QSet>

#include "platform/text.h"

namespace sorvel {

namespace {

int g_failCreations = 0;
int g_failStretches = 0;

QColor toColour(Rgb c) { return QColor::fromRgb(static_cast<QRgb>(0xFF000000u | (c & 0xFFFFFFu))); }

// The part of a width × height transfer that lies inside both images; false when none does.
bool clipTransfer(int& dx, int& dy, int& width, int& height, int& sx, int& sy, int srcW, int srcH, int dstW,
                  int dstH) {
    if (sx < 0) { dx -= sx; width += sx; sx = 0; }
    if (sy < 0) { dy -= sy; height += sy; sy = 0; }
    if (dx < 0) { sx -= dx; width += dx; dx = 0; }
    if (dy < 0) { sy -= dy; height += dy; dy = 0; }
    width = std::min({width, srcW - sx, dstW - dx});
    height = std::min({height, srcH - sy, dstH - dy});
    return width > 0 && height > 0;
}

// One row of AND or OR, eight bytes at a time.
template <RasterOp Op>
void combineBytes(uchar* __restrict d, const uchar* __restrict s, std::size_t bytes) {
    std::size_t i = 0;
    for (; i + 8 <= bytes; i += 8) {
        std::uint64_t a, b;
        std::memcpy(&a, d + i, 8);
        std::memcpy(&b, s + i, 8);
        a = Op == RasterOp::And ? (a & b) : (a | b);
        std::memcpy(d + i, &a, 8);
    }
    for (; i < bytes; ++i) d[i] = Op == RasterOp::And ? (d[i] & s[i]) : (d[i] | s[i]);
}

// Row-wise combination of two 24-bit images.
void combineRows(QImage& dst, int dx, int dy, const QImage& src, int sx, int sy, int width, int height,
                 RasterOp op) {
    const std::size_t bytes = static_cast<std::size_t>(width) * 3;
    const qsizetype dstStride = dst.bytesPerLine(), srcStride = src.bytesPerLine();
    uchar* d = dst.bits() + dy * dstStride + static_cast<std::ptrdiff_t>(dx) * 3;
    const uchar* s = src.constBits() + sy * srcStride + static_cast<std::ptrdiff_t>(sx) * 3;
    for (int row = 0; row < height; ++row, d += dstStride, s += srcStride) {
        switch (op) {
            case RasterOp::Copy: std::memcpy(d, s, bytes); break;
            case RasterOp::And: combineBytes<RasterOp::And>(d, s, bytes); break;
            case RasterOp::Or: combineBytes<RasterOp::Or>(d, s, bytes); break;
        }
    }
}

// The coverage of a text (0 … 255 per pixel, in the alpha of a premultiplied image), drawn in
// one reused image.
const QImage& textCoverage(int width, int height, const QString& text, const Font& font) {
    static QImage coverage;
    if (coverage.width() < width || coverage.height() < height)
        coverage = QImage(std::max(width, coverage.width()), std::max(height, coverage.height()),
                          QImage::Format_ARGB32_Premultiplied);
    QPainter p(&coverage);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.fillRect(0, 0, width, height, Qt::transparent);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.setClipRect(0, 0, width, height);
    p.setFont(font.qfont());
    p.setPen(Qt::white);
    p.drawText(QPoint(0, font.ascent()), text);
    return coverage;
}

QString normaliseFace(const QString& face) {
    QString n = face.normalized(QString::NormalizationForm_KC).toLower();
    n.remove(QLatin1Char(' '));
    if (n.startsWith(QLatin1Char('@'))) n.remove(0, 1);  // a vertical-writing face
    return n;
}

// Windows Japanese faces and the IPA fonts that share their metrics.
QString ipaFamilyFor(const QString& normalised) {
    static const std::pair<const char*, const char*> kMap[] = {
        {"msゴシック", "IPAGothic"},   {"msgothic", "IPAGothic"},    {"mspゴシック", "IPAPGothic"},
        {"mspgothic", "IPAPGothic"},   {"msuigothic", "IPAPGothic"}, {"メイリオ", "IPAPGothic"},
        {"meiryo", "IPAPGothic"},      {"ms明朝", "IPAMincho"},      {"msmincho", "IPAMincho"},
        {"msp明朝", "IPAPMincho"},     {"mspmincho", "IPAPMincho"},
    };
    for (const auto& [face, family] : kMap)
        if (normalised == QString::fromUtf8(face)) return QString::fromLatin1(family);
    return {};
}

bool familyInstalled(const QString& family) {
    static QSet<QString> families;
    static bool loaded = false;
    if (!loaded) {
        for (const QString& f : QFontDatabase::families()) families.insert(f.toLower());
        loaded = true;
    }
    return families.contains(family.toLower());
}

}  // namespace

// ---- Bitmap ----

bool Bitmap::sizeAllowed(std::int64_t width, std::int64_t height) {
    return width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide && width * height <= kMaxPixels;
}

Bitmap Bitmap::create(std::int64_t width, std::int64_t height) {
    if (!sizeAllowed(width, height)) return {};
    if (g_failCreations > 0) {
        --g_failCreations;
        return {};
    }
    QImage image(static_cast<int>(width), static_cast<int>(height), QImage::Format_RGB888);
    if (image.isNull()) return {};
    image.fill(0);  // black, never what the memory held before
    return Bitmap(std::move(image));
}

Bitmap Bitmap::fromImage(const QImage& image) {
    if (image.isNull() || !sizeAllowed(image.width(), image.height())) return {};
    if (g_failCreations > 0) {
        --g_failCreations;
        return {};
    }
    QImage converted = image.convertToFormat(QImage::Format_RGB888);
    if (converted.isNull()) return {};
    return Bitmap(std::move(converted));
}

void Bitmap::failCreationsForTesting(int n) { g_failCreations = n; }

Rgb Bitmap::pixel(int x, int y) const {
    const uchar* p = image_.constScanLine(y) + static_cast<std::ptrdiff_t>(x) * 3;
    return (Rgb{p[0]} << 16) | (Rgb{p[1]} << 8) | Rgb{p[2]};
}

void Bitmap::setPixel(int x, int y, Rgb colour) {
    uchar* p = image_.scanLine(y) + static_cast<std::ptrdiff_t>(x) * 3;
    p[0] = static_cast<uchar>(colour >> 16);
    p[1] = static_cast<uchar>(colour >> 8);
    p[2] = static_cast<uchar>(colour);
}

// ---- Font ----

struct Font::Metrics {
    QFont font;
    QFontMetrics metrics;
    int ascent;
};

// A font is resolved when it is first measured or drawn with: the drawing code sets faces and
// heights it may never measure, and each new pixel size costs a font engine.
Font::Font(std::string face, int charSet, int height) : face_(std::move(face)), charSet_(charSet), height_(height) {
    family_ = familyFor(face_, charSet_);
}

void Font::setFace(std::string face, int charSet) {
    if (face == face_ && charSet == charSet_) return;
    face_ = std::move(face);
    charSet_ = charSet;
    family_ = familyFor(face_, charSet_);
    metrics_.reset();
}

void Font::setHeight(int height) {
    if (height == height_) return;
    height_ = height;
    metrics_.reset();
}

QString Font::familyFor(std::string_view faceCp932, int charSet) {
    static std::map<std::pair<std::string, int>, QString> cache;
    const auto key = std::make_pair(std::string(faceCp932), charSet);
    if (auto it = cache.find(key); it != cache.end()) return it->second;
    const QString face = toQString(faceCp932).trimmed();
    QString family = ipaFamilyFor(normaliseFace(face));
    if (family.isEmpty() || !familyInstalled(family)) {
        if (!face.isEmpty() && familyInstalled(face))
            family = face;
        else if (charSet == kShiftJisCharSet)
            family = familyInstalled(QStringLiteral("IPAPGothic")) ? QStringLiteral("IPAPGothic")
                                                                    : QStringLiteral("IPAGothic");
        else
            family = QGuiApplication::font().family();
    }
    cache.emplace(key, family);
    return family;
}

const Font::Metrics& Font::resolved() const {
    if (metrics_) return *metrics_;
    // One resolved font per family and cell height for the whole run: the drawing code changes
    // the height a pixel at a time and measures after every change.
    static std::map<std::pair<QString, int>, std::shared_ptr<const Metrics>> cache;
    const int cell = std::max(height_, 1);
    const auto key = std::make_pair(family_, cell);
    if (auto it = cache.find(key); it != cache.end()) {
        metrics_ = it->second;
        return *metrics_;
    }
    auto make = [&](int pixelSize) {
        QFont f(family_);
        f.setPixelSize(pixelSize);
        f.setKerning(false);
        f.setStyleStrategy(QFont::PreferAntialias);
        return f;
    };
    auto cellOf = [](const QFont& f) {
        QFontMetrics m(f);
        return m.ascent() + m.descent();
    };
    // The largest pixel size whose ascent + descent fits the cell, searched from the size that
    // the proportion of the full cell suggests (a cell of thousands of pixels when printing).
    int size = cell;
    if (const int full = cellOf(make(cell)); full > cell)
        size = std::max(1, static_cast<int>(static_cast<long long>(cell) * cell / full));
    while (size > 1 && cellOf(make(size)) > cell) --size;
    while (cellOf(make(size + 1)) <= cell && size < cell * 2) ++size;
    QFont f = make(size);
    QFontMetrics m(f);
    metrics_ = std::make_shared<const Metrics>(Metrics{f, m, m.ascent()});
    cache.emplace(key, metrics_);
    return *metrics_;
}

const QFont& Font::qfont() const { return resolved().font; }
int Font::ascent() const { return resolved().ascent; }
int Font::advance(const QString& text) const { return resolved().metrics.horizontalAdvance(text); }

// ---- Canvas ----

Canvas::Canvas(Bitmap& target) : bitmap_(&target) {}
Canvas::Canvas(QPainter& target) : painter_(&target) {}

void Canvas::failStretchesForTesting(int n) { g_failStretches = n; }

void Canvas::fill(int x, int y, int width, int height, Rgb colour) {
    if (painter_) {
        painter_->fillRect(x, y, width, height, toColour(colour));
        return;
    }
    if (bitmap_->isNull()) return;
    QImage& img = bitmap_->image();
    const int x0 = std::max(x, 0), y0 = std::max(y, 0);
    // The sum in 64 bits cannot overflow, and the smaller one is at most the image's size.
    const int x1 = static_cast<int>(std::min<std::int64_t>(std::int64_t{x} + width, img.width()));
    const int y1 = static_cast<int>(std::min<std::int64_t>(std::int64_t{y} + height, img.height()));
    if (x0 >= x1 || y0 >= y1) return;
    const uchar r = static_cast<uchar>(colour >> 16), g = static_cast<uchar>(colour >> 8), b = static_cast<uchar>(colour);
    uchar* first = img.scanLine(y0) + static_cast<std::ptrdiff_t>(x0) * 3;
    for (int i = 0; i < x1 - x0; ++i) {
        first[i * 3] = r;
        first[i * 3 + 1] = g;
        first[i * 3 + 2] = b;
    }
    const std::size_t bytes = static_cast<std::size_t>(x1 - x0) * 3;
    for (int row = y0 + 1; row < y1; ++row) std::memcpy(img.scanLine(row) + static_cast<std::ptrdiff_t>(x0) * 3, first, bytes);
}

namespace {
QPen toQPen(const Pen& pen) {
    QPen p(toColour(pen.colour));
    p.setWidth(std::max(pen.width, 1));
    p.setStyle(pen.style == PenStyle::Dash ? Qt::DashLine : Qt::SolidLine);
    p.setCapStyle(Qt::SquareCap);
    p.setJoinStyle(Qt::MiterJoin);
    return p;
}

// A painter on the canvas's target for one operation.
template <typename F>
void paint(Bitmap* bitmap, QPainter* painter, F&& f) {
    if (painter) {
        painter->save();
        f(*painter);
        painter->restore();
        return;
    }
    if (bitmap->isNull()) return;
    QPainter p(&bitmap->image());
    f(p);
}
}  // namespace

void Canvas::rectangle(int left, int top, int right, int bottom, const Pen& pen, Rgb fill) {
    if (right <= left || bottom <= top) return;
    this->fill(left, top, right - left, bottom - top, fill);
    paint(bitmap_, painter_, [&](QPainter& p) {
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(toQPen(pen));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRect(left, top, right - left - 1, bottom - top - 1));
    });
}

void Canvas::polyline(std::span<const QPoint> points, const Pen& pen) {
    if (points.size() < 2) return;
    paint(bitmap_, painter_, [&](QPainter& p) {
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(toQPen(pen));
        p.drawPolyline(points.data(), static_cast<int>(points.size()));
    });
}

bool Canvas::bitBlt(int dx, int dy, int width, int height, const Bitmap& src, int sx, int sy, RasterOp op) {
    if (src.isNull()) return false;
    if (painter_) {
        if (op != RasterOp::Copy && !painter_->paintEngine()->hasFeature(QPaintEngine::RasterOpModes)) return false;
        painter_->save();
        painter_->setCompositionMode(op == RasterOp::Copy  ? QPainter::CompositionMode_Source
                                     : op == RasterOp::And ? QPainter::RasterOp_SourceAndDestination
                                                           : QPainter::RasterOp_SourceOrDestination);
        painter_->drawImage(QPoint(dx, dy), src.image(), QRect(sx, sy, width, height));
        painter_->restore();
        return true;
    }
    if (bitmap_->isNull()) return false;
    if (!clipTransfer(dx, dy, width, height, sx, sy, src.width(), src.height(), bitmap_->width(), bitmap_->height()))
        return true;
    combineRows(bitmap_->image(), dx, dy, src.image(), sx, sy, width, height, op);
    return true;
}

bool Canvas::stretchHalftone(int dx, int dy, int width, int height, const Bitmap& src) {
    if (src.isNull() || width <= 0 || height <= 0) return false;
    if (g_failStretches > 0) {
        --g_failStretches;
        return false;
    }
    if (!Bitmap::sizeAllowed(width, height)) return false;
    QImage scaled = src.image().scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (scaled.isNull()) return false;
    if (painter_) {
        painter_->drawImage(QPoint(dx, dy), scaled);
        return true;
    }
    if (bitmap_->isNull()) return false;
    if (scaled.format() != QImage::Format_RGB888) scaled.convertTo(QImage::Format_RGB888);
    if (scaled.isNull()) return false;
    int sx = 0, sy = 0;
    if (!clipTransfer(dx, dy, width, height, sx, sy, scaled.width(), scaled.height(), bitmap_->width(),
                      bitmap_->height()))
        return true;
    combineRows(bitmap_->image(), dx, dy, scaled, sx, sy, width, height, RasterOp::Copy);
    return true;
}

void Canvas::textOut(int x, int y, std::string_view textCp932, const Font& font, Rgb foreground, Rgb background) {
    textOut(x, y, toQString(textCp932), font, foreground, background);
}

void Canvas::textOut(int x, int y, const QString& text, const Font& font, Rgb foreground, Rgb background) {
    const int width = font.advance(text);
    fill(x, y, width, font.height(), background);
    if (text.isEmpty()) return;
    paint(bitmap_, painter_, [&](QPainter& p) {
        p.setFont(font.qfont());
        p.setPen(toColour(foreground));
        p.setClipRect(QRect(x, y, width, font.height()));
        p.drawText(QPoint(x, y + font.ascent()), text);
    });
}

void Canvas::shadowedText(int x, int y, int width, int height, const QString& text, const Font& font, Rgb colour,
                          int shadow) {
    if (!bitmap_ || bitmap_->isNull() || width <= 0 || height <= 0 || text.isEmpty()) return;
    if (!Bitmap::sizeAllowed(width, height)) return;
    // Outside the text's cell the coverage is zero: neither pass changes anything there.
    width = std::min(width, font.advance(text));
    height = std::min(height, font.height());
    if (width <= 0 || height <= 0) return;
    const QImage& cov = textCoverage(width, height, text, font);
    QImage& img = bitmap_->image();
    const int imgW = img.width(), imgH = img.height();
    const qsizetype stride = img.bytesPerLine();
    uchar* bits = img.bits();
    const uchar channel[3] = {static_cast<uchar>(colour >> 16), static_cast<uchar>(colour >> 8),
                              static_cast<uchar>(colour)};
    // Mask: black text on white, so every covered pixel darkens the canvas.
    for (int row = 0; row < height; ++row) {
        const int cy = y + shadow + row;
        if (cy < 0 || cy >= imgH) continue;
        const QRgb* c = reinterpret_cast<const QRgb*>(cov.constScanLine(row));
        uchar* d = bits + cy * stride;
        for (int col = 0; col < width; ++col) {
            const int cx = x + shadow + col;
            const uchar a = static_cast<uchar>(qAlpha(c[col]));
            if (a == 0 || cx < 0 || cx >= imgW) continue;
            const uchar m = static_cast<uchar>(255 - a);
            uchar* p = d + cx * 3;
            p[0] &= m;
            p[1] &= m;
            p[2] &= m;
        }
    }
    // Colour: the text in its colour on black.
    for (int row = 0; row < height; ++row) {
        const int cy = y + row;
        if (cy < 0 || cy >= imgH) continue;
        const QRgb* c = reinterpret_cast<const QRgb*>(cov.constScanLine(row));
        uchar* d = bits + cy * stride;
        for (int col = 0; col < width; ++col) {
            const int cx = x + col;
            const auto a = static_cast<unsigned>(qAlpha(c[col]));
            if (a == 0 || cx < 0 || cx >= imgW) continue;
            uchar* p = d + cx * 3;
            for (int k = 0; k < 3; ++k) p[k] |= static_cast<uchar>((channel[k] * a + 127) / 255);
        }
    }
}

TextSize Canvas::textExtent(std::string_view textCp932, const Font& font) {
    return textExtent(toQString(textCp932), font);
}

TextSize Canvas::textExtent(const QString& text, const Font& font) { return TextSize{font.advance(text), font.height()}; }

}  // namespace sorvel
