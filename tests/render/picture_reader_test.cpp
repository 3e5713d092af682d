// Transparent pictures: each pixel laid over the background by its alpha, checked against values
// worked out by hand from (colour × alpha + background × (255 − alpha) + 127) / 255.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>

#include <string>

#include "render/picture_reader.h"

namespace sorvel {
namespace {

std::string png(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

TEST(TransparentPictures, EachPixelIsLaidOverTheBackgroundByItsAlpha) {
    // A red that is fully transparent, red at alpha 128, green at alpha 64, opaque blue.
    QImage argb(4, 1, QImage::Format_ARGB32);
    argb.setPixel(0, 0, qRgba(255, 0, 0, 0));
    argb.setPixel(1, 0, qRgba(255, 0, 0, 128));
    argb.setPixel(2, 0, qRgba(0, 255, 0, 64));
    argb.setPixel(3, 0, qRgba(0, 0, 255, 255));
    // A palette with one transparent colour, as many PNG files have.
    QImage indexed(2, 1, QImage::Format_Indexed8);
    indexed.setColorTable({qRgba(0, 0, 0, 0), qRgb(0, 128, 0)});
    indexed.setPixel(0, 0, 0);
    indexed.setPixel(1, 0, 1);
    struct Case {
        const char* name;
        QImage picture;
        Rgb background;
        std::vector<Rgb> expected;
    };
    const Case cases[] = {
        // 128 red over 銀: (255·128 + 192·127 + 127) / 255 = 224, (192·127 + 127) / 255 = 96;
        // 64 green: (255·64 + 192·191 + 127) / 255 = 208, (192·191 + 127) / 255 = 144.
        {"over 銀", argb, 0xC0C0C0, {0xC0C0C0, 0xE06060, 0x90D090, 0x0000FF}},
        // Over white: (255·127 + 127) / 255 = 127; (255·191 + 127) / 255 = 191.
        {"over white", argb, 0xFFFFFF, {0xFFFFFF, 0xFF7F7F, 0xBFFFBF, 0x0000FF}},
        {"a transparent palette colour over 紺", indexed, 0x000080, {0x000080, 0x008000}},
    };
    for (const Case& c : cases) {
        const QImage read = readWithQt(png(c.picture));
        ASSERT_TRUE(read.hasAlphaChannel()) << c.name;
        const Bitmap b = composeOver(read, c.background);
        ASSERT_EQ(b.width(), static_cast<int>(c.expected.size())) << c.name;
        for (int x = 0; x < b.width(); ++x) EXPECT_EQ(b.pixel(x, 0), c.expected[static_cast<std::size_t>(x)]) << c.name << x;
    }
    // The readers for layout pictures and previews lay the picture over white paper.
    const Bitmap paper = decodeWithQt(png(argb));
    EXPECT_EQ(paper.pixel(0, 0), 0xFFFFFFu);
    EXPECT_EQ(paper.pixel(1, 0), 0xFF7F7Fu);
}

}  // namespace
}  // namespace sorvel
