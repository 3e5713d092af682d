// The raster layer on tiny bitmaps: pixels after each operation.
#include <gtest/gtest.h>

#include <QPainter>

#include "platform/gdi.h"
#include "platform/text.h"

namespace sorvel {
namespace {

constexpr Rgb kRed = 0xFF0000, kBlack = 0x000000, kWhite = 0xFFFFFF, kBlue = 0x0000FF;

Bitmap filled(int w, int h, Rgb colour) {
    Bitmap b = Bitmap::create(w, h);
    Canvas(b).fill(0, 0, w, h, colour);
    return b;
}

int countColour(const Bitmap& b, Rgb colour) {
    int n = 0;
    for (int y = 0; y < b.height(); ++y)
        for (int x = 0; x < b.width(); ++x) n += b.pixel(x, y) == colour;
    return n;
}

TEST(GdiBitmap, SizesAreCheckedBeforeAnythingIsAllocated) {
    EXPECT_TRUE(Bitmap::create(0, 5).isNull());
    EXPECT_TRUE(Bitmap::create(5, -1).isNull());
    EXPECT_TRUE(Bitmap::create(Bitmap::kMaxSide + 1, 1).isNull());
    EXPECT_TRUE(Bitmap::create(30000, 30000).isNull());  // 900 megapixels
    EXPECT_TRUE(Bitmap::create(std::int64_t{1} << 33, 1).isNull());
    const Bitmap b = Bitmap::create(3, 2);
    ASSERT_FALSE(b.isNull());
    EXPECT_EQ(b.image().format(), QImage::Format_RGB888);
    Bitmap::failCreationsForTesting(1);
    EXPECT_TRUE(Bitmap::create(3, 2).isNull());
    EXPECT_FALSE(Bitmap::create(3, 2).isNull());
}

TEST(GdiBitmap, FromImageConvertsTo24Bits) {
    QImage argb(2, 1, QImage::Format_ARGB32);
    argb.setPixel(0, 0, 0xFF123456);
    argb.setPixel(1, 0, 0xFFABCDEF);
    const Bitmap b = Bitmap::fromImage(argb);
    EXPECT_EQ(b.pixel(0, 0), 0x123456u);
    EXPECT_EQ(b.pixel(1, 0), 0xABCDEFu);
    EXPECT_TRUE(Bitmap::fromImage(QImage()).isNull());
}

TEST(GdiCanvas, FillIsClippedToTheBitmap) {
    Bitmap b = filled(5, 5, kWhite);
    Canvas(b).fill(-2, -2, 4, 4, kRed);
    EXPECT_EQ(countColour(b, kRed), 4);
    EXPECT_EQ(b.pixel(1, 1), kRed);
    EXPECT_EQ(b.pixel(2, 2), kWhite);
    Canvas(b).fill(4, 4, 100000, 100000, kBlue);
    EXPECT_EQ(countColour(b, kBlue), 1);
}

TEST(GdiCanvas, BitBltCombinesEveryChannel) {
    const Bitmap src = filled(2, 2, 0x3C3C3C);
    for (auto [op, expected] : {std::pair{RasterOp::Copy, 0x3C3C3Cu}, std::pair{RasterOp::And, 0x303030u},
                                std::pair{RasterOp::Or, 0xFCFCFCu}}) {
        Bitmap dst = filled(4, 4, 0xF0F0F0);
        ASSERT_TRUE(Canvas(dst).bitBlt(1, 1, 2, 2, src, 0, 0, op));
        EXPECT_EQ(dst.pixel(1, 1), expected);
        EXPECT_EQ(dst.pixel(2, 2), expected);
        EXPECT_EQ(dst.pixel(3, 3), 0xF0F0F0u);
        EXPECT_EQ(dst.pixel(0, 0), 0xF0F0F0u);
    }
}

TEST(GdiCanvas, BitBltClipsSourceAndTarget) {
    Bitmap src = filled(3, 3, kRed);
    src.setPixel(2, 2, kBlue);
    Bitmap dst = filled(3, 3, kWhite);
    Canvas(dst).bitBlt(-2, -2, 10, 10, src, 0, 0, RasterOp::Copy);  // only src (2, 2) lands, at (0, 0)
    EXPECT_EQ(dst.pixel(0, 0), kBlue);
    EXPECT_EQ(countColour(dst, kWhite), 8);
    Bitmap dst2 = filled(3, 3, kWhite);
    Canvas(dst2).bitBlt(2, 2, 5, 5, src, 1, 1, RasterOp::Copy);  // from column 1 on
    EXPECT_EQ(dst2.pixel(2, 2), kRed);
    EXPECT_EQ(countColour(dst2, kWhite), 8);
    EXPECT_FALSE(Canvas(dst2).bitBlt(0, 0, 1, 1, Bitmap(), 0, 0, RasterOp::Copy));
}

TEST(GdiCanvas, RectangleOutlinesLeftTopToRightBottomExclusive) {
    Bitmap b = filled(7, 7, kRed);
    Canvas(b).rectangle(1, 1, 5, 5, Pen{kBlack, 1}, kWhite);
    for (auto [x, y] : {std::pair{1, 1}, std::pair{4, 1}, std::pair{1, 4}, std::pair{4, 4}, std::pair{2, 1}})
        EXPECT_EQ(b.pixel(x, y), kBlack) << x << "," << y;
    EXPECT_EQ(b.pixel(2, 2), kWhite);
    EXPECT_EQ(b.pixel(3, 3), kWhite);
    EXPECT_EQ(b.pixel(5, 5), kRed);
    EXPECT_EQ(b.pixel(0, 0), kRed);
    EXPECT_EQ(countColour(b, kBlack), 12);
}

TEST(GdiCanvas, PenWidthAndDashes) {
    Bitmap b = filled(9, 12, kWhite);
    const QPoint vertical[] = {{4, 1}, {4, 10}};
    Canvas(b).polyline(vertical, Pen{kBlue, 3});
    EXPECT_EQ(b.pixel(3, 5), kBlue);
    EXPECT_EQ(b.pixel(4, 5), kBlue);
    EXPECT_EQ(b.pixel(5, 5), kBlue);
    EXPECT_EQ(b.pixel(2, 5), kWhite);
    EXPECT_EQ(b.pixel(6, 5), kWhite);

    Bitmap d = filled(60, 3, kWhite);
    const QPoint horizontal[] = {{0, 1}, {59, 1}};
    Canvas(d).polyline(horizontal, Pen{kBlack, 1, PenStyle::Dash});
    int black = 0;
    for (int x = 0; x < 60; ++x) black += d.pixel(x, 1) == kBlack;
    EXPECT_GT(black, 15);
    EXPECT_LT(black, 50);
}

TEST(GdiCanvas, HalftoneStretchAveragesAndFills) {
    Bitmap checker = filled(2, 2, kBlack);
    checker.setPixel(0, 0, kWhite);
    checker.setPixel(1, 1, kWhite);
    Bitmap one = filled(3, 3, kRed);
    ASSERT_TRUE(Canvas(one).stretchHalftone(1, 1, 1, 1, checker));
    const Rgb grey = one.pixel(1, 1);
    EXPECT_GT(grey & 0xFF, 0x60u);
    EXPECT_LT(grey & 0xFF, 0xA0u);
    EXPECT_EQ(one.pixel(0, 0), kRed);

    Bitmap big = filled(5, 4, kWhite);
    ASSERT_TRUE(Canvas(big).stretchHalftone(0, 0, 5, 4, filled(1, 1, kBlue)));
    EXPECT_EQ(countColour(big, kBlue), 20);
    Canvas::failStretchesForTesting(1);
    EXPECT_FALSE(Canvas(big).stretchHalftone(0, 0, 5, 4, checker));
}

TEST(GdiCanvas, OpaqueTextFillsItsCellOnly) {
    Bitmap b = filled(80, 40, kBlue);
    const Font font(sjis("ＭＳ ゴシック"), kShiftJisCharSet, 20);
    const TextSize size = Canvas::textExtent(std::string("12"), font);
    EXPECT_EQ(size.height, 20);
    EXPECT_GT(size.width, 0);
    Canvas(b).textOut(5, 6, std::string("12"), font, kRed, kWhite);
    int red = 0, white = 0;
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 80; ++x) {
            const bool inside = x >= 5 && x < 5 + size.width && y >= 6 && y < 6 + size.height;
            const Rgb p = b.pixel(x, y);
            if (!inside) {
                ASSERT_EQ(p, kBlue) << x << "," << y;
            }
            red += (p >> 16) == 0xFF && (p & 0xFF) < 0x80;  // red, or mostly red at the glyph edges
            white += p == kWhite;
        }
    }
    EXPECT_GT(red, 10);
    EXPECT_GT(white, size.width * size.height / 3);
}

TEST(GdiCanvas, ShadowedTextEqualsTheTwoTransfersThroughAScratchBitmap) {
    const Font font(sjis("ＭＳ ゴシック"), kShiftJisCharSet, 22);
    const QString text = QStringLiteral("28日");
    for (int shadow : {0, 1}) {
        Bitmap ground = filled(70, 30, 0x40A0C0);
        for (int x = 0; x < 70; x += 3) ground.setPixel(x, x % 30, 0xFFFFFF);
        Bitmap direct = Bitmap::fromImage(ground.image());
        Canvas(direct).shadowedText(4, 3, 60, 25, text, font, 0xFFFF00, shadow);

        Bitmap twoPass = Bitmap::fromImage(ground.image());
        Bitmap scratch = Bitmap::create(60, 25);
        Canvas s(scratch);
        s.fill(0, 0, 60, 25, kWhite);
        s.textOut(0, 0, text, font, kBlack, kWhite);
        Canvas(twoPass).bitBlt(4 + shadow, 3 + shadow, 60, 25, scratch, 0, 0, RasterOp::And);
        s.fill(0, 0, 60, 25, kBlack);
        s.textOut(0, 0, text, font, 0xFFFF00, kBlack);
        Canvas(twoPass).bitBlt(4, 3, 60, 25, scratch, 0, 0, RasterOp::Or);

        int changed = 0;
        for (int y = 0; y < 30; ++y) {
            for (int x = 0; x < 70; ++x) {
                const Rgb a = direct.pixel(x, y), b = twoPass.pixel(x, y);
                changed += a != ground.pixel(x, y);
                for (int shift : {0, 8, 16})
                    ASSERT_NEAR(static_cast<int>((a >> shift) & 0xFF), static_cast<int>((b >> shift) & 0xFF), 8)
                        << x << "," << y << " shadow " << shadow;
            }
        }
        EXPECT_GT(changed, 50);
    }
}

TEST(GdiFont, WindowsJapaneseFacesMapToIpaFonts) {
    EXPECT_EQ(Font::familyFor(sjis("ＭＳ ゴシック"), 128), "IPAGothic");
    EXPECT_EQ(Font::familyFor("MS Gothic", 0), "IPAGothic");
    EXPECT_EQ(Font::familyFor(sjis("MS Pゴシック"), 128), "IPAPGothic");
    EXPECT_EQ(Font::familyFor(sjis("ＭＳ Ｐゴシック"), 128), "IPAPGothic");
    EXPECT_EQ(Font::familyFor("MS PGothic", 128), "IPAPGothic");
    EXPECT_EQ(Font::familyFor(sjis("ＭＳ 明朝"), 128), "IPAMincho");
    EXPECT_EQ(Font::familyFor("MS Mincho", 1), "IPAMincho");
    EXPECT_EQ(Font::familyFor(sjis("ＭＳ Ｐ明朝"), 128), "IPAPMincho");
    EXPECT_EQ(Font::familyFor("IPAMincho", 0), "IPAMincho");
    // A face that is not installed: the Shift-JIS character set still gets a Japanese face.
    EXPECT_EQ(Font::familyFor("No Such Face 42", 128), "IPAPGothic");
}

TEST(GdiFont, CellHeightIsTheHeightAskedFor) {
    for (const char* face : {"ＭＳ ゴシック", "MS Pゴシック", "ＭＳ 明朝"}) {
        for (int h = 6; h <= 120; ++h) {
            const Font f(sjis(face), 128, h);
            const QFontMetrics m(f.qfont());
            EXPECT_LE(m.ascent() + m.descent(), h) << face << " " << h;
            EXPECT_GE(m.ascent() + m.descent(), h - 1) << face << " " << h;
        }
    }
}

TEST(GdiFont, GothicIsFixedPitchWithFullWidthKanji) {
    const Font f(sjis("ＭＳ ゴシック"), 128, 24);
    const int digit = f.advance(QStringLiteral("0"));
    EXPECT_EQ(f.advance(QStringLiteral("1")), digit);
    EXPECT_EQ(f.advance(QStringLiteral("日")), 2 * digit);
    EXPECT_EQ(Canvas::textExtent(sjis("12月"), f).width, 4 * digit);
}

TEST(GdiCanvas, PainterTargetCombinesWithRasterOps) {
    QImage target(4, 4, QImage::Format_RGB32);
    target.fill(QColor(0xF0, 0xF0, 0xF0));
    {
        QPainter p(&target);
        Canvas c(p);
        EXPECT_TRUE(c.bitBlt(0, 0, 2, 2, filled(2, 2, 0x3C3C3C), 0, 0, RasterOp::Or));
        EXPECT_TRUE(c.bitBlt(2, 2, 2, 2, filled(2, 2, 0x3C3C3C), 0, 0, RasterOp::And));
    }
    EXPECT_EQ(target.pixel(1, 1) & 0xFFFFFF, 0xFCFCFCu);
    EXPECT_EQ(target.pixel(3, 3) & 0xFFFFFF, 0x303030u);
    EXPECT_EQ(target.pixel(3, 0) & 0xFFFFFF, 0xF0F0F0u);
}

}  // namespace
}  // namespace sorvel
