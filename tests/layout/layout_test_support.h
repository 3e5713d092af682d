#pragma once
// Pixel helpers shared by the layout tests.
#include <cstdio>
#include <string>

#include <QRect>

#include "platform/gdi.h"

namespace sorvel::layout_test {

inline constexpr Rgb kWhite = 0xFFFFFF, kBlack = 0x000000, kGrey = 0x808080, kSilver = 0xC0C0C0;

inline Bitmap filled(int w, int h, Rgb colour) {
    Bitmap b = Bitmap::create(w, h);
    Canvas(b).fill(0, 0, w, h, colour);
    return b;
}

inline int count(const Bitmap& b, const QRect& area, Rgb colour) {
    int n = 0;
    const QRect r = area.intersected(QRect(0, 0, b.width(), b.height()));
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) n += b.pixel(x, y) == colour;
    return n;
}

// A value field and a container field of the tagged record encoding, written out by hand.
inline std::string field(int n, const std::string& value) {
    char open[16], close[16];
    std::snprintf(open, sizeof open, "<+S%02d>\r\n<+DA>", n);
    std::snprintf(close, sizeof close, "<-DA><-S%02d>\r\n", n);
    return open + value + close;
}
inline std::string container(int n, const std::string& content) {
    char open[16], close[16];
    std::snprintf(open, sizeof open, "<+S%02d>\r\n", n);
    std::snprintf(close, sizeof close, "<-S%02d>\r\n", n);
    return open + content + close;
}

}  // namespace sorvel::layout_test
