// Pictures a user may be handed: every damaged or hostile one is refused quietly, within the
// memory limits, and the wallpaper falls back to the background with its message.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QTemporaryDir>

#include <cstring>
#include <string>

#include "platform/files.h"
#include "platform/text.h"
#include "platform/ui.h"
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

TEST(HostilePictures, BitmapsThatAreEmptyHugeOrCutAreRefused) {
    const std::string good = encoded(gradient(40, 30), "BMP");
    ASSERT_FALSE(decodeWithQt(good).isNull());

    std::string declared2GB = good;  // 65535 × 32767 at 24 bits: about 6 GB of pixels declared
    put32(declared2GB, 18, 65535);
    put32(declared2GB, 22, 32767);
    std::string negativeWidth = good;
    put32(negativeWidth, 18, 0x80000000u);
    const std::string cases[] = {std::string(), good.substr(0, 14), good.substr(0, good.size() / 2), declared2GB,
                                 negativeWidth, std::string(4096, '\0')};
    for (const std::string& bytes : cases) {
        const Bitmap b = decodeWithQt(bytes);
        // A cut file may still decode partly, but never beyond its declared size.
        if (!b.isNull()) {
            EXPECT_LE(b.width(), 40);
            EXPECT_LE(b.height(), 30);
        }
    }
    EXPECT_TRUE(decodeWithQt(std::string()).isNull());
    EXPECT_TRUE(decodeWithQt(declared2GB).isNull());
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
        const Bitmap b = decodeJpeg(corrupt);
        if (!b.isNull()) {
            EXPECT_EQ(b.width(), 64);
            EXPECT_EQ(b.height(), 48);
        }
    }
    // Huffman tables of nonsense.
    std::string badTables = baseline;
    const std::size_t dht = badTables.find("\xFF\xC4");
    ASSERT_NE(dht, std::string::npos);
    for (std::size_t i = dht + 5; i < dht + 21; ++i) badTables[i] = '\xFF';
    EXPECT_TRUE(decodeJpeg(badTables).isNull());
    for (std::size_t n = 0; n < baseline.size(); n += 37) (void)decodeJpeg(baseline.substr(0, n));
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
