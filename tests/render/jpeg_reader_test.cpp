// JPEG decoding: colour spaces, and every kind of bad data refused quietly.
#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include <QBuffer>
#include <QImage>

#include <jpeglib.h>

#include "render/jpeg_reader.h"

namespace sorvel {
namespace {

std::string encode(const QImage& image, const char* format = "JPEG") {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(image.save(&buffer, format, 95));
    return bytes.toStdString();
}

// A CMYK file as Adobe programs write it: the ink values stored inverted.
std::string adobeCmyk(int w, int h, const unsigned char cmyk[4]) {
    jpeg_compress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &out, &size);
    cinfo.image_width = static_cast<JDIMENSION>(w);
    cinfo.image_height = static_cast<JDIMENSION>(h);
    cinfo.input_components = 4;
    cinfo.in_color_space = JCS_CMYK;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 95, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<unsigned char> row(static_cast<std::size_t>(w) * 4);
    for (int x = 0; x < w; ++x)
        for (int k = 0; k < 4; ++k) row[static_cast<std::size_t>(x * 4 + k)] = static_cast<unsigned char>(255 - cmyk[k]);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&cinfo, &r, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::string bytes(reinterpret_cast<char*>(out), size);
    std::free(out);
    return bytes;
}

void expectNear(Rgb actual, Rgb expected) {
    for (int shift : {0, 8, 16})
        EXPECT_NEAR(static_cast<int>((actual >> shift) & 0xFF), static_cast<int>((expected >> shift) & 0xFF), 6)
            << std::hex << actual << " vs " << expected;
}

TEST(JpegReader, ColourGreyAndCmykFilesDecodeToRgb) {
    QImage colour(16, 8, QImage::Format_RGB32);
    colour.fill(QColor(0x20, 0x80, 0xE0));
    const Bitmap c = decodeJpeg(encode(colour));
    ASSERT_FALSE(c.isNull());
    EXPECT_EQ(c.width(), 16);
    EXPECT_EQ(c.height(), 8);
    expectNear(c.pixel(8, 4), 0x2080E0);

    QImage grey(9, 7, QImage::Format_Grayscale8);
    grey.fill(QColor(0x70, 0x70, 0x70));
    const Bitmap g = decodeJpeg(encode(grey));
    ASSERT_FALSE(g.isNull());
    expectNear(g.pixel(4, 3), 0x707070);

    const unsigned char red[4] = {0, 255, 255, 0};  // magenta and yellow ink
    const Bitmap k = decodeJpeg(adobeCmyk(8, 8, red));
    ASSERT_FALSE(k.isNull());
    expectNear(k.pixel(4, 4), 0xFF0000);
}

TEST(JpegReader, BadDataIsRefusedWithoutAWordOnTheConsole) {
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    const std::string good = encode(image);
    std::string badMarker = good;
    badMarker[2] = '\x00';  // the marker after SOI
    const std::string cases[] = {
        good.substr(0, good.size() / 2),  // ends in the middle of the scan
        good.substr(0, 20),               // ends in the headers
        std::string(300, '\xFF'),
        encode(image, "PNG"),
        badMarker,
        std::string(),
    };
    for (const std::string& bytes : cases) {
        ::testing::internal::CaptureStderr();
        EXPECT_TRUE(decodeJpeg(bytes).isNull());
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    }
    EXPECT_FALSE(decodeJpeg(good).isNull());
}

TEST(JpegReader, SizeLimitIsCheckedFromTheHeader) {
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    const std::string bytes = encode(image);
    EXPECT_TRUE(decodeJpeg(bytes, 64 * 48 - 1).isNull());
    EXPECT_FALSE(decodeJpeg(bytes, 64 * 48).isNull());
    // A header claiming 65535 × 65535 is refused before any pixel is read.
    std::string huge = bytes;
    const std::size_t sof = huge.find("\xFF\xC0");
    ASSERT_NE(sof, std::string::npos);
    for (std::size_t i = sof + 5; i < sof + 9; ++i) huge[i] = '\xFF';
    EXPECT_TRUE(decodeJpeg(huge).isNull());
}

}  // namespace
}  // namespace sorvel
