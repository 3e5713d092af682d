// Decoding a 1920 × 1080 24-bit BMP wallpaper: through the program's reader (header checks, a
// zeroed image, the watch for data that end early) and through Qt's reader alone, so the cost
// of the checks shows as the difference.
#include <benchmark/benchmark.h>

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>

#include "render/picture_reader.h"

namespace {

const QByteArray& wallpaperBmp() {
    static const QByteArray bytes = [] {
        QImage img(1920, 1080, QImage::Format_RGB32);
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) img.setPixel(x, y, qRgb(x & 255, y & 255, (x ^ y) & 255));
        QByteArray out;
        QBuffer buffer(&out);
        buffer.open(QIODevice::WriteOnly);
        img.save(&buffer, "BMP");
        return out;
    }();
    return bytes;
}

void BM_DecodeBmpWallpaper(benchmark::State& state) {
    const QByteArray& bytes = wallpaperBmp();
    for (auto _ : state) {
        sorvel::Bitmap b = sorvel::decodeWithQt(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
        if (b.isNull()) state.SkipWithError("not decoded");
        benchmark::DoNotOptimize(b.image().constBits());
    }
}
BENCHMARK(BM_DecodeBmpWallpaper)->Unit(benchmark::kMillisecond);

void BM_QtReaderAloneBmp(benchmark::State& state) {
    QByteArray bytes = wallpaperBmp();
    for (auto _ : state) {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        QImage img = QImageReader(&buffer).read();
        benchmark::DoNotOptimize(img.constBits());
    }
}
BENCHMARK(BM_QtReaderAloneBmp)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
}
