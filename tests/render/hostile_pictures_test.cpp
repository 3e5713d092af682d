// Pictures a user may be handed: every damaged or hostile one is refused quietly, within the
// memory limits, and the wallpaper falls back to the background with its message.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QTemporaryDir>

#include <cstring>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/text.h"
#include "platform/ui.h"
#include "support/scripted_ui.h"
#include "render/jpeg_reader.h"
#include "render/picture_reader.h"
#include "render/sorvel_draw.h"

namespace sorvel {
namespace {

std::string encoded(const QImage& image, const char* format, int quality = -1) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, quality);
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

void put32(std::string& s, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) s[at + static_cast<std::size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

QImage gradient(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) image.setPixel(x, y, qRgb(x * 7 % 256, y * 13 % 256, (x + y) % 256));
    return image;
}

// Leaves freed heap memory full of 0x77, which a reader handing back memory it never wrote shows.
void poisonFreedMemory(std::size_t bytes) {
    std::vector<std::string> blocks(16, std::string(bytes, '\x77'));
}

TEST(HostilePictures, BitmapsThatAreEmptyHugeOrCutAreRefused) {
    const std::string good = encoded(gradient(40, 30), "BMP");
    ASSERT_FALSE(decodeWithQt(good).isNull());

    std::string declared2GB = good;  // 65535 × 32767 at 24 bits: about 6 GB of pixels declared
    put32(declared2GB, 18, 65535);
    put32(declared2GB, 22, 32767);
    std::string negativeWidth = good;
    put32(negativeWidth, 18, 0x80000000u);
    const std::string cases[] = {std::string(), good.substr(0, 14), declared2GB, negativeWidth, std::string(4096, '\0')};
    for (const std::string& bytes : cases) EXPECT_TRUE(decodeWithQt(bytes).isNull());

    // 800 × 600 at 24 bits: 54 header bytes and rows of 2400 bytes. Cut after one row, half-way,
    // inside the last row, and one byte short.
    const std::string big = encoded(gradient(800, 600), "BMP");
    ASSERT_EQ(big.size(), 54u + 600u * 2400u);
    for (const std::size_t length : {std::size_t{54 + 2400}, big.size() / 2, big.size() - 1000, big.size() - 1}) {
        poisonFreedMemory(big.size());
        EXPECT_TRUE(decodeWithQt(big.substr(0, length)).isNull()) << length;
    }
}

TEST(HostilePictures, PixelsACompressedBitmapSkipsAreTheFirstColourNeverOldMemory) {
    // 8-bit RLE, 300 × 200, grey palette: one run of 10 pixels of index 5, then end of bitmap.
    std::string bmp = "BM";
    auto le = [&](std::uint32_t v, int n) {
        for (int i = 0; i < n; ++i) bmp.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    };
    le(1082, 4), le(0, 4), le(1078, 4), le(40, 4), le(300, 4), le(200, 4), le(1, 2), le(8, 2), le(1, 4), le(4, 4);
    le(2835, 4), le(2835, 4), le(256, 4), le(0, 4);
    for (std::uint32_t i = 0; i < 256; ++i) le(i * 0x010101, 4);
    bmp += std::string("\x0A\x05\x00\x01", 4);
    poisonFreedMemory(300 * 200 * 4);
    const Bitmap b = decodeWithQt(bmp);
    ASSERT_FALSE(b.isNull());
    EXPECT_EQ(b.pixel(0, 199), 0x050505u);   // the run, on the bottom row
    EXPECT_EQ(b.pixel(10, 199), 0x000000u);  // skipped: palette entry 0
    EXPECT_EQ(b.pixel(150, 100), 0x000000u);
    EXPECT_TRUE(decodeWithQt(bmp.substr(0, bmp.size() - 2)).isNull());  // cut before its end mark
}

TEST(HostilePictures, JpegsProgressiveCorruptOrCutNeverCrash) {
    const QImage image = gradient(64, 48);
    const std::string baseline = encoded(image, "JPEG", 90);
    ASSERT_FALSE(decodeJpeg(baseline).isNull());

    // A progressive file decodes like a baseline one.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string progressive =
        readWholeFile(QStringLiteral(SORVEL_SOURCE_DIR "/fuzz/corpus/fuzz_wallpaper_jpeg/progressive.jpg")).value_or("");
    ASSERT_FALSE(progressive.empty());
    EXPECT_FALSE(decodeJpeg(progressive).isNull());

    // Corrupt entropy-coded data: every byte of the scan flipped in turn, in a few places.
    const std::size_t sos = baseline.find("\xFF\xDA");
    ASSERT_NE(sos, std::string::npos);
    for (std::size_t at = sos + 20; at < baseline.size() - 2; at += 97) {
        std::string corrupt = baseline;
        corrupt[at] = static_cast<char>(corrupt[at] ^ 0x5A);
        // Altered coefficients may still decode: then into a whole picture.
        const Bitmap b = decodeJpeg(corrupt);
        EXPECT_TRUE(b.isNull() || (b.width() == 64 && b.height() == 48)) << at;
    }
    // Huffman tables of nonsense.
    std::string badTables = baseline;
    const std::size_t dht = badTables.find("\xFF\xC4");
    ASSERT_NE(dht, std::string::npos);
    for (std::size_t i = dht + 5; i < dht + 21; ++i) badTables[i] = '\xFF';
    EXPECT_TRUE(decodeJpeg(badTables).isNull());
    // A cut file is refused wherever it ends, even just before its end-of-image mark.
    for (std::size_t n = 0; n < baseline.size(); n += 37) EXPECT_TRUE(decodeJpeg(baseline.substr(0, n)).isNull()) << n;
    EXPECT_TRUE(decodeJpeg(baseline.substr(0, baseline.size() - 2)).isNull());
}

TEST(HostilePictures, AWallpaperThatCannotBeReadFallsBackToTheBackground) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    std::string declared = encoded(gradient(40, 30), "BMP");
    put32(declared, 18, 65535);
    put32(declared, 22, 32767);
    const std::pair<const char*, std::string> files[] = {
        {"empty.bmp", std::string()},
        {"huge.bmp", declared},
        {"cut.jpg", encoded(gradient(64, 48), "JPEG").substr(0, 100)},
        {"half.bmp", encoded(gradient(800, 600), "BMP").substr(0, 54 + 300 * 2400)},
        {"cut-row.bmp", encoded(gradient(800, 600), "BMP").substr(0, 54 + 599 * 2400 + 1200)},
    };
    for (const auto& [name, bytes] : files) {
        const QString path = dir.filePath(QString::fromLatin1(name));
        ASSERT_TRUE(atomicReplace(path, bytes));
        ScriptedUi scripted;
        TSorvelDraw draw;
        draw.settings().WallPaperName = cp932FromPath(path);
        draw.settings().IsWallPaper = 1;
        EXPECT_EQ(draw.LoadWallpaper(), 0) << name;
        ASSERT_EQ(scripted.messages.size(), 1u) << name;
        EXPECT_EQ(scripted.messages[0].text, QStringLiteral("壁紙ﾌｧｲﾙが読みこめません。\n壁紙をなしにします。"));
        EXPECT_EQ(scripted.messages[0].caption, QStringLiteral("ﾒｯｾｰｼﾞ"));
        EXPECT_EQ(draw.settings().IsWallPaper, 0);
        EXPECT_EQ(draw.settings().Width, 640);
        EXPECT_EQ(draw.settings().Height, 480);
    }
}

}  // namespace
}  // namespace sorvel
