#pragma once
// Pixel helpers shared by the layout tests.
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

}  // namespace sorvel::layout_test
