// The drawing engine, checked through properties of the pixels it leaves on small canvases.
#include <gtest/gtest.h>

#include <cmath>

#include <QBuffer>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>

#include "platform/clock.h"
#include "platform/files.h"
#include "platform/text.h"
#include "platform/ui.h"
#include "support/scripted_ui.h"
#include "settings/colour_table.h"
#include "calendar/day_classification.h"
#include "calendar/month_arrangement.h"
#include "render/sorvel_draw.h"

namespace sorvel {
namespace {

constexpr Rgb kWhite = 0xFFFFFF, kBlack = 0x000000, kRed = 0xFF0000, kBlue = 0x0000FF, kYellow = 0xFFFF00,
              kGreen = 0x008000, kPurple = 0x800080, kSilver = 0xC0C0C0, kMagenta = 0xFF00FF, kNavy = 0x000080;
enum Index { iWhite, iBlack, iRed, iBlue, iYellow, iGreen, iPurple, iSilver, iMagenta, iNavy };

const QString kWallpaperMessage = QStringLiteral("壁紙ﾌｧｲﾙが読みこめません。\n壁紙をなしにします。");
const QString kWallpaperCaption = QStringLiteral("ﾒｯｾｰｼﾞ");

int count(const Bitmap& b, const QRect& area, Rgb colour) {
    int n = 0;
    const QRect r = area.intersected(QRect(0, 0, b.width(), b.height()));
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) n += b.pixel(x, y) == colour;
    return n;
}
// Bounding box of the pixels in area that differ from the background.
QRect inkBox(const Bitmap& b, const QRect& area, Rgb background) {
    QRect box;
    const QRect r = area.intersected(QRect(0, 0, b.width(), b.height()));
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (b.pixel(x, y) != background) box |= QRect(x, y, 1, 1);
    return box;
}
QRect colourBox(const Bitmap& b, const QRect& area, Rgb colour) {
    QRect box;
    const QRect r = area.intersected(QRect(0, 0, b.width(), b.height()));
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (b.pixel(x, y) == colour) box |= QRect(x, y, 1, 1);
    return box;
}

// Pixels of a colour family, edges of smoothed glyphs included.
bool greenish(Rgb p) { return ((p >> 8) & 0xFF) > ((p >> 16) & 0xFF) + 0x20 && ((p >> 8) & 0xFF) > (p & 0xFF) + 0x20; }
bool bluish(Rgb p) { return (p & 0xFF) > ((p >> 16) & 0xFF) + 0x20 && (p & 0xFF) > ((p >> 8) & 0xFF) + 0x20; }
template <typename Pred>
int countIf(const Bitmap& b, const QRect& area, Pred pred) {
    int n = 0;
    const QRect r = area.intersected(QRect(0, 0, b.width(), b.height()));
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) n += pred(b.pixel(x, y));
    return n;
}

QString writeImage(const QTemporaryDir& dir, const QString& name, const QImage& image, const char* format) {
    const QString path = dir.filePath(name);
    EXPECT_TRUE(image.save(path, format));
    return path;
}
QString writeBytes(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    return path;
}
QByteArray jpegBytes(const QImage& image, int quality = 90) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", quality);
    return bytes;
}
QImage solid(int w, int h, QColor c) {
    QImage i(w, h, QImage::Format_RGB32);
    i.fill(c);
    return i;
}

// One month on a 640 × 450 canvas: cells of 80 × 50, no shadows, no buttons, white ground,
// every text in its own colour. September 2001 begins on a Saturday.
class Engine : public ::testing::Test {
protected:
    void SetUp() override {
        setTodayForTesting(LocalDate{2001, 9, 10});
        TCalenderSet& s = cs();
        s.applyDefaults();
        s.DispYear = 2001;
        s.DispMonth = 9;
        s.DayShadow = s.MonthShadow = s.YearShadow = 0;
        s.NoDrawButton = 1;
        s.Cl[kSlotBackground] = iWhite;
        s.Cl[kSlotYear] = iGreen;
        s.Cl[kSlotMonth] = iNavy;
        for (int slot = kSlotMonday; slot <= kSlotFriday; ++slot) s.Cl[static_cast<std::size_t>(slot)] = iBlack;
        draw.UpdateToday();
        draw.SetExplicitSize(640, 450);
    }
    void TearDown() override {
        setTodayForTesting(std::nullopt);
        TSorvelDraw::setRenderHookForTesting(nullptr);
        Bitmap::failCreationsForTesting(0);
        Canvas::failStretchesForTesting(0);
    }
    TCalenderSet& cs() { return draw.settings(); }
    const Bitmap& canvas() const { return draw.canvasBitmap(); }
    void render() {
        draw.setRedraw();
        draw.Render(sources);
    }
    // The cell of a weekday column and grid row of the single month.
    QRect cell(int column, int row) const {
        const int cw = draw.cellWidth(), ch = draw.cellHeight();
        return QRect(column * cw + cw / 2, row * ch, cw, ch);
    }

    ScriptedUi ui;
    THolidayList rules;
    TDateMemoList notes;
    CalendarSources sources{&rules, &notes};
    TSorvelDraw draw;
};

TEST_F(Engine, CanvasSizeFollowsTheZoom) {
    struct Case {
        float percent;
        int w, h;
    };
    for (const Case& c : {Case{10, 202, 151}, Case{25, 320, 240}, Case{50, 452, 339}, Case{100, 640, 480},
                          Case{200, 905, 678}}) {
        cs().DispPercent = c.percent;
        cs().Width = 640;
        cs().Height = 480;
        render();
        EXPECT_EQ(canvas().width(), c.w) << c.percent;
        EXPECT_EQ(canvas().height(), c.h) << c.percent;
        EXPECT_FALSE(draw.redraw());
    }
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(Engine, ASmallWallpaperSetsTheBaseSizeTo640By400) {
    QTemporaryDir dir;
    cs().DispPercent = 100;
    cs().IsWallPaper = 1;
    cs().WallPaperName = cp932FromPath(writeImage(dir, "tiny.bmp", solid(20, 20, Qt::red), "BMP"));
    ASSERT_EQ(draw.LoadWallpaper(), 1);
    EXPECT_EQ(cs().Width, 640);
    EXPECT_EQ(cs().Height, 400);
    cs().NoDayDraw = 1;
    render();
    EXPECT_EQ(canvas().width(), 640);
    EXPECT_EQ(canvas().height(), 400);
    EXPECT_EQ(count(canvas(), QRect(0, 0, 640, 400), kRed), 640 * 400);  // stretched over everything
}

TEST_F(Engine, ATransparentWallpaperShowsTheBackgroundColourEvenAfterItChanges) {
    QTemporaryDir dir;
    QImage halfRed(40, 40, QImage::Format_ARGB32);
    halfRed.fill(qRgba(255, 0, 0, 128));
    cs().IsWallPaper = 1;
    cs().NoDayDraw = 1;
    cs().Cl[kSlotBackground] = iSilver;
    cs().WallPaperName = cp932FromPath(writeImage(dir, "half.png", halfRed, "PNG"));
    ASSERT_EQ(draw.LoadWallpaper(), 1);
    render();
    // (255·128 + 192·127 + 127) / 255 = 224, (192·127 + 127) / 255 = 96
    EXPECT_EQ(count(canvas(), QRect(0, 0, 640, 450), 0xE06060), 640 * 450);
    // Over 青 without reading the file again: (255·128 + 127) / 255 = 128, (255·127 + 127) / 255 = 127.
    cs().Cl[kSlotBackground] = iBlue;
    ASSERT_TRUE(QFile::remove(dir.filePath("half.png")));
    render();
    EXPECT_EQ(count(canvas(), QRect(0, 0, 640, 450), 0x80007F), 640 * 450);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(Engine, JpegWallpaperGivesTheBaseSize) {
    QTemporaryDir dir;
    cs().DispPercent = 50;
    cs().IsWallPaper = 1;
    cs().NoDayDraw = 1;
    cs().WallPaperName = cp932FromPath(writeBytes(dir, "blue.JPG", jpegBytes(solid(200, 100, Qt::blue))));
    ASSERT_EQ(draw.LoadWallpaper(), 1);
    EXPECT_EQ(cs().Width, 200);
    EXPECT_EQ(cs().Height, 100);
    render();
    EXPECT_EQ(canvas().width(), 141);
    const Rgb p = canvas().pixel(70, 35);
    EXPECT_LT(p >> 16, 0x10u);
    EXPECT_GT(p & 0xFF, 0xF0u);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(Engine, UnreadableWallpapersAreReportedOnceThenTheBackgroundIsDrawn) {
    QTemporaryDir dir;
    const QByteArray good = jpegBytes(solid(64, 48, Qt::green));
    QByteArray huge = good;  // the frame header claims 12000 × 9000 (108 megapixels)
    const qsizetype sof = huge.indexOf(QByteArray("\xFF\xC0", 2));
    ASSERT_GT(sof, 0);
    huge[sof + 5] = char(0x23);
    huge[sof + 6] = char(0x28);
    huge[sof + 7] = char(0x2E);
    huge[sof + 8] = char(0xE0);
    QImage cmykLike = solid(64, 48, Qt::green);
    const QString files[] = {
        dir.filePath("missing.bmp"),
        dir.filePath("missing.jpg"),
        writeBytes(dir, "truncated.jpg", good.left(good.size() / 2)),
        writeBytes(dir, "garbage.jpg", QByteArray(500, 'x')),
        writeBytes(dir, "empty.jpg", QByteArray()),
        writeBytes(dir, "png.jpg", [&] {
            QByteArray b;
            QBuffer buf(&b);
            buf.open(QIODevice::WriteOnly);
            cmykLike.save(&buf, "PNG");
            return b;
        }()),
        writeBytes(dir, "huge.jpg", huge),
        writeBytes(dir, "broken.bmp", QByteArray("BM") + QByteArray(60, '\x7f')),
        QString(),
    };
    for (const QString& file : files) {
        ui.messages.clear();
        cs().IsWallPaper = 1;
        cs().WallPaperName = cp932FromPath(file);
        EXPECT_EQ(draw.LoadWallpaper(), 0) << file.toStdString();
        ASSERT_EQ(ui.messages.size(), 1u) << file.toStdString();
        EXPECT_EQ(ui.messages[0].text, kWallpaperMessage);
        EXPECT_EQ(ui.messages[0].caption, kWallpaperCaption);
        EXPECT_EQ(cs().IsWallPaper, 0);
    }
    ui.messages.clear();
    cs().NoDayDraw = 1;
    cs().Cl[kSlotBackground] = iPurple;
    render();
    render();
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(count(canvas(), QRect(0, 0, 640, 450), kPurple), 640 * 450);
}

TEST_F(Engine, AFailedStretchIsRetriedThroughAHalfSizeBitmap) {
    QTemporaryDir dir;
    cs().IsWallPaper = 1;
    cs().NoDayDraw = 1;
    cs().WallPaperName = cp932FromPath(writeImage(dir, "red.bmp", solid(40, 40, Qt::red), "BMP"));
    ASSERT_EQ(draw.LoadWallpaper(), 1);
    Canvas::failStretchesForTesting(2);  // to the canvas size, kept or direct
    render();
    EXPECT_EQ(count(canvas(), QRect(0, 0, 640, 450), kRed), 640 * 450);
    // When no stretch works the background is drawn instead.
    cs().Cl[kSlotBackground] = iBlue;
    draw.SetExplicitSize(320, 200);
    Canvas::failStretchesForTesting(10);
    render();
    EXPECT_EQ(count(canvas(), QRect(0, 0, 320, 200), kBlue), 320 * 200);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(Engine, OneMonthFillsThePercentageRectangle) {
    TDateSet& d = cs().dateSet;
    d.X = 10;
    d.Y = 20;
    d.SX = 80;
    d.SY = 60;
    for (const std::uint8_t style : {std::uint8_t{1}, std::uint8_t{2}, std::uint8_t{3}}) {
        d.DrawStyle = style;
        render();
        const QRect area(64, 90, 512, 270);
        const QRect ink = inkBox(canvas(), QRect(0, 0, 640, 450), kWhite);
        EXPECT_TRUE(area.contains(ink)) << style;
        // Saturday's column and the last week reach into the right and bottom of the area.
        EXPECT_GT(ink.right(), area.left() + area.width() * 3 / 4);
        EXPECT_GT(ink.bottom(), area.top() + area.height() * 2 / 3);
        EXPECT_LT(ink.left(), area.left() + area.width() / 8);
        EXPECT_EQ(draw.cellWidth(), 512 / 8);
        EXPECT_EQ(draw.cellHeight(), 270 / 9);
    }
}

TEST_F(Engine, YearInTheFirstTitleAndInEveryJanuaryOnly) {
    cs().DispMonth = 11;  // November, December, January, February, March
    cs().dateSet.NumberOfMonth = 5;
    cs().dateSet.DrawStyle = 1;
    render();
    // Columns of three, two columns: blocks of 640 / 2 × 450 / 3.
    const BlockRect blocks[] = {{0, 0, 320, 150}, {0, 150, 320, 150}, {0, 300, 320, 150}, {320, 0, 320, 150},
                                {320, 150, 320, 150}};
    const bool expectYear[] = {true, false, true, false, false};
    for (int i = 0; i < 5; ++i) {
        const BlockRect b = blocks[i];
        const QRect title(b.x, b.y + b.height / 9, b.width, b.height / 9);
        EXPECT_EQ(countIf(canvas(), title, greenish) > 0, expectYear[i]) << "month " << i;
        EXPECT_GT(countIf(canvas(), title, bluish), 0) << "month " << i;
    }
    // Two columns: months 0–2 on the left, 3 and 4 on the right, the sixth place empty.
    const BlockRect empty{320, 300, 320, 150};
    EXPECT_FALSE(inkBox(canvas(), QRect(empty.x, empty.y, empty.width, empty.height), kWhite).isValid());
    cs().NoDrawYear = 1;
    render();
    EXPECT_EQ(countIf(canvas(), QRect(0, 0, 640, 450), greenish), 0);
}

TEST_F(Engine, DigitMonthGetsTheKanjiOnlyWithTheShiftJisCharacterSet) {
    cs().DispMonth = 12;
    cs().NoDrawYear = 1;
    render();
    const int withKanji = colourBox(canvas(), cell(0, 1).adjusted(-40, 0, 600, 0), kNavy).width();
    cs().MonthFontChar = 0;
    render();
    const int digitsOnly = colourBox(canvas(), cell(0, 1).adjusted(-40, 0, 600, 0), kNavy).width();
    EXPECT_GT(withKanji, digitsOnly + draw.cellHeight() / 2);
}

TEST_F(Engine, FirstWeekdaysOfKnownYears) {
    cs().Cl[kSlotMonday] = iRed;
    cs().Cl[kSlotMonday + 2] = iMagenta;  // Wednesday
    cs().DispMonth = 1;
    cs().DispYear = 2001;
    render();
    for (int c = 0; c < 7; ++c) EXPECT_EQ(count(canvas(), cell(c, 3), kRed) > 0, c == 1) << "2001 column " << c;
    cs().DispYear = 1752;
    render();
    for (int c = 0; c < 7; ++c) EXPECT_EQ(count(canvas(), cell(c, 3), kMagenta) > 0, c == 3) << "1752 column " << c;
}

TEST_F(Engine, September1752ShowsOneTwoAndFourteenToThirty) {
    cs().DispYear = 1752;
    render();
    int filled = 0;
    for (int row = 3; row <= 8; ++row)
        for (int c = 0; c < 7; ++c) filled += inkBox(canvas(), cell(c, row), kWhite).isValid();
    EXPECT_EQ(filled, 19);
    // Tuesday 1 and Wednesday 2 have one digit, Thursday 14 two; Saturday 30 ends row 5.
    const int one = inkBox(canvas(), cell(3, 3), kWhite).width();
    const int two = inkBox(canvas(), cell(4, 3), kWhite).width();
    EXPECT_GT(two, one + one / 2);
    EXPECT_TRUE(inkBox(canvas(), cell(6, 5), kWhite).isValid());
    EXPECT_FALSE(inkBox(canvas(), cell(0, 6), kWhite).isValid());
    EXPECT_FALSE(inkBox(canvas(), cell(1, 3), kWhite).isValid());
    cs().DispYear = 1753;
    render();
    filled = 0;
    for (int row = 3; row <= 8; ++row)
        for (int c = 0; c < 7; ++c) filled += inkBox(canvas(), cell(c, row), kWhite).isValid();
    EXPECT_EQ(filled, 30);
}

TEST_F(Engine, OneDigitDaysStandOneDigitWidthRight) {
    render();  // September 2001: Sunday 2 and Sunday 23 share a column
    const int two = inkBox(canvas(), cell(0, 4), kWhite).left() - cell(0, 4).left();
    const int twentyThree = inkBox(canvas(), cell(0, 7), kWhite).left() - cell(0, 7).left();
    EXPECT_GT(two - twentyThree, 0);
    // The difference is the width of one digit of the day font at the height in use.
    const QRect twoBox = inkBox(canvas(), cell(0, 4), kWhite);
    const QRect box23 = inkBox(canvas(), cell(0, 7), kWhite);
    EXPECT_NEAR(two - twentyThree, box23.width() - twoBox.width(), 3);
}

TEST_F(Engine, AnOverWideTitleShrinksEveryTextOfTheMonth) {
    draw.SetExplicitSize(400, 450);  // cells 50 × 50
    cs().MonthStyle = 2;             // "September"
    render();
    const QRect weekdayRow(0, 100, 400, 50);
    const int normal = inkBox(canvas(), weekdayRow, kWhite).height();
    cs().DispYear = 123456789;  // "123456789  September" is wider than the month at that height
    render();
    const QRect title = inkBox(canvas(), QRect(0, 50, 400, 50), kWhite);
    EXPECT_GT(title.left(), 0);
    EXPECT_LT(title.right(), 399);
    const int shrunk = inkBox(canvas(), weekdayRow, kWhite).height();
    EXPECT_LT(shrunk, normal - 2);
    EXPECT_GT(shrunk, normal / 2);
}

TEST_F(Engine, NoDrawDayLeavesTheWeekdayRowEmpty) {
    cs().NoDrawDay = 1;
    render();
    EXPECT_FALSE(inkBox(canvas(), QRect(0, 100, 640, 50), kWhite).isValid());
    EXPECT_TRUE(inkBox(canvas(), cell(6, 3), kWhite).isValid());  // Saturday 1 still in row 3
    cs().NoDrawDay = 0;
    render();
    EXPECT_TRUE(inkBox(canvas(), QRect(0, 100, 640, 50), kWhite).isValid());
}

TEST_F(Engine, ShadowIsBlackOnePixelDownAndRight) {
    for (int slot = kSlotSunday; slot <= kSlotMonth; ++slot) cs().Cl[static_cast<std::size_t>(slot)] = iRed;
    cs().DayShadow = cs().MonthShadow = cs().YearShadow = 1;
    render();
    const Bitmap& b = canvas();
    int red = 0, black = 0;
    for (int y = 1; y < b.height() - 1; ++y) {
        for (int x = 1; x < b.width() - 1; ++x) {
            const Rgb p = b.pixel(x, y);
            if (p == kRed) {
                ++red;
                ASSERT_EQ(b.pixel(x + 1, y + 1) & 0x00FFFF, 0u) << x << "," << y;  // red or shadow
            } else if (p == kBlack) {
                ++black;
                ASSERT_EQ(b.pixel(x - 1, y - 1) >> 16, 0xFFu) << x << "," << y;
            }
        }
    }
    EXPECT_GT(red, 200);
    EXPECT_GT(black, 50);
    cs().DayShadow = cs().MonthShadow = cs().YearShadow = 0;
    render();
    EXPECT_EQ(count(b, QRect(0, 0, 640, 450), kBlack), 0);
}

TEST_F(Engine, TodayIsFramedThreePixelsWideInTheTodayColour) {
    cs().TodayColoring = 1;
    cs().Cl[kSlotToday] = iMagenta;
    render();  // today is Monday 10 September 2001: column 1, row 5
    const QRect frame = colourBox(canvas(), QRect(0, 0, 640, 450), kMagenta);
    ASSERT_TRUE(frame.isValid());
    EXPECT_TRUE(cell(1, 5).adjusted(-3, -3, 3, 3).contains(frame));
    // The number inside stays clear of the frame: black glyph pixels lie inside its inner edge.
    const QRect inner = frame.adjusted(3, 3, -3, -3);
    const QRect number = colourBox(canvas(), cell(1, 5), kBlack);
    EXPECT_TRUE(inner.contains(number)) << number.x() << "," << number.y() << " " << number.width() << "x"
                                        << number.height();
    const int midY = frame.center().y(), midX = frame.center().x();
    auto run = [&](int x, int y, int dx, int dy) {
        int n = 0;
        while (canvas().pixel(x + n * dx, y + n * dy) == kMagenta) ++n;
        return n;
    };
    EXPECT_EQ(run(frame.left(), midY, 1, 0), 3);
    EXPECT_EQ(run(frame.right(), midY, -1, 0), 3);
    EXPECT_EQ(run(midX, frame.top(), 0, 1), 3);
    EXPECT_EQ(run(midX, frame.bottom(), 0, -1), 3);
    cs().TodayColoring = 0;
    render();
    EXPECT_EQ(count(canvas(), QRect(0, 0, 640, 450), kMagenta), 0);
    cs().TodayColoring = 1;
    cs().DispMonth = 10;
    render();
    EXPECT_EQ(count(canvas(), QRect(0, 0, 640, 450), kMagenta), 0);
}

TEST_F(Engine, ButtonsAreFramedSquaresWithChevrons) {
    cs().NoDrawButton = 0;
    cs().NoDayDraw = 1;
    cs().Cl[kSlotBackground] = iSilver;
    render();
    const int s = 450 / 18;  // 25
    EXPECT_EQ(draw.buttonSize(), s);
    const Bitmap& b = canvas();
    for (int i = 0; i < s; ++i) {
        EXPECT_EQ(b.pixel(i, 0), kBlack);
        EXPECT_EQ(b.pixel(0, i), kBlack);
        EXPECT_EQ(b.pixel(i, s - 1), kBlack);
        EXPECT_EQ(b.pixel(639 - i, 0), kBlack);
        EXPECT_EQ(b.pixel(639, i), kBlack);
        EXPECT_EQ(b.pixel(640 - s, i), kBlack);
    }
    EXPECT_EQ(b.pixel(3, 3), kWhite);
    EXPECT_EQ(b.pixel(636, 3), kWhite);
    // Chevrons: the left one from the top right corner to the middle of the left edge and back
    // to the bottom right corner; the right one mirrored.
    auto blackNear = [&](int x, int y) {
        for (int dx = -1; dx <= 1; ++dx)
            if (x + dx >= 0 && x + dx < 640 && b.pixel(x + dx, y) == kBlack) return true;
        return false;
    };
    for (int y = 1; y < s - 1; ++y) {
        const double half = s / 2;
        const int along = static_cast<int>(std::lround(y <= half ? s - y * s / half : (y - half) * s / (s - half)));
        EXPECT_TRUE(blackNear(along, y)) << y;
        EXPECT_TRUE(blackNear(640 - along, y)) << y;
    }
    EXPECT_EQ(count(b, QRect(s + 1, 0, 640 - 2 * s - 2, 450), kSilver), (640 - 2 * s - 2) * 450);
    EXPECT_EQ(count(b, QRect(0, s + 1, 640, 450 - s - 1), kSilver), 640 * (450 - s - 1));
}

TEST_F(Engine, HolidaysColourDayNumbersButNeverWeekdayNames) {
    auto rule = std::make_unique<THolidaySet>();
    rule->month = 9;
    rule->day = 23;
    rule->dayOffKind = 1;
    rules.push_back(std::move(rule));
    auto sunday = std::make_unique<THolidaySet>();  // every first Monday, a named day
    sunday->ruleKind = 1;
    sunday->month = 9;
    sunday->weekday = 1;
    sunday->ordinal = 1;
    rules.push_back(std::move(sunday));
    auto memo = std::make_unique<TDateMemo>();
    memo->year = 2001;
    memo->month = 9;
    memo->day = 12;
    notes.push_back(std::move(memo));
    cs().Cl[kSlotDayOff] = iGreen;
    cs().Cl[kSlotNamedDay] = iMagenta;
    cs().Cl[kSlotMemoDay] = iYellow;
    cs().Cl[kSlotYear] = iBlack;
    render();
    EXPECT_EQ(count(canvas(), QRect(0, 100, 640, 50), kGreen), 0);  // weekday names
    EXPECT_EQ(count(canvas(), QRect(0, 100, 640, 50), kMagenta), 0);
    EXPECT_GT(count(canvas(), cell(0, 7), kGreen), 0);    // Sunday 23
    EXPECT_GT(count(canvas(), cell(1, 7), kGreen), 0);    // Monday 24, "振替休日"
    EXPECT_GT(count(canvas(), cell(1, 4), kMagenta), 0);  // Monday 3
    EXPECT_GT(count(canvas(), cell(3, 5), kYellow), 0);   // Wednesday 12, a note
    ASSERT_EQ(draw.substitutes().size(), 1u);
    EXPECT_EQ(draw.substitutes()[0].day, 24);
    EXPECT_EQ(draw.dayFlags()[23], kDaySubstitute);
    render();
    EXPECT_EQ(draw.substitutes().size(), 1u);  // emptied at every render
}

// September 2026 begins on a Tuesday: 敬老の日 Monday 21, 国民の休日 22 and 秋分の日 23 stand
// in grid row 6; Thursday 24 is an ordinary day.
TEST_F(Engine, NationalHolidaysTakeTheDayOffColourWhenShown) {
    cs().DispYear = 2026;
    cs().Cl[kSlotDayOff] = iGreen;
    cs().Cl[kSlotYear] = iBlack;
    render();
    EXPECT_EQ(count(canvas(), cell(2, 6), kGreen), 0);  // the setting is off
    sources.nationalHolidays = true;
    render();
    for (int column : {1, 2, 3}) EXPECT_GT(count(canvas(), cell(column, 6), kGreen), 0) << column;
    EXPECT_EQ(count(canvas(), cell(4, 6), kGreen), 0);
}

// The year title "2026" becomes "令和8年", half as wide again at least.
TEST_F(Engine, EraYearTitle) {
    cs().DispYear = 2026;
    cs().NoDrawMonth = 1;
    render();
    const int digits = colourBox(canvas(), QRect(0, 50, 640, 50), kGreen).width();
    sources.eraYear = true;
    render();
    EXPECT_GT(colourBox(canvas(), QRect(0, 50, 640, 50), kGreen).width(), digits * 3 / 2);
}

TEST_F(Engine, SubstituteOwedAtTheEndOfAShownMonthAppearsInTheNext) {
    auto rule = std::make_unique<THolidaySet>();
    rule->month = 9;
    rule->day = 30;  // Sunday 30 September 2001
    rule->dayOffKind = 1;
    rules.push_back(std::move(rule));
    cs().DispMonth = 10;
    render();
    ASSERT_EQ(draw.substitutes().size(), 1u);
    EXPECT_EQ(draw.substitutes()[0].month, 10);
    EXPECT_EQ(draw.substitutes()[0].day, 1);
}

TEST_F(Engine, ARenderAskedForInsideARenderIsSkipped) {
    TSorvelDraw other;
    other.settings().DispYear = 2001;
    other.settings().DispMonth = 9;
    other.setRedraw();
    int calls = 0;
    TSorvelDraw::setRenderHookForTesting([&] {
        ++calls;
        EXPECT_TRUE(TSorvelDraw::renderBusy());
        other.Render();
        draw.setRedraw();
        draw.Render();
    });
    render();
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(other.redraw());
    EXPECT_EQ(other.canvas().width(), 10);  // still the placeholder
    EXPECT_FALSE(draw.redraw());
    EXPECT_FALSE(TSorvelDraw::renderBusy());
    TSorvelDraw::setRenderHookForTesting(nullptr);
    other.Render();
    EXPECT_FALSE(other.redraw());
    EXPECT_EQ(other.canvas().width(), 640);
}

TEST_F(Engine, RenderOnlyWhenTheRedrawFlagIsSet) {
    render();
    cs().Cl[kSlotBackground] = iBlue;
    cs().NoDayDraw = 1;
    draw.Render();  // flag cleared by the last render
    EXPECT_EQ(canvas().pixel(320, 440), kWhite);
}

TEST_F(Engine, CopyToDrawsTheCanvasAndClearsTheRedrawFlag) {
    render();
    QImage target(700, 500, QImage::Format_RGB32);
    target.fill(Qt::blue);
    draw.setRedraw();
    {
        QPainter p(&target);
        draw.CopyTo(p);
    }
    EXPECT_FALSE(draw.redraw());
    EXPECT_EQ(target.pixel(5, 5) & 0xFFFFFF, kWhite);
    EXPECT_EQ(target.pixel(639, 449) & 0xFFFFFF, kWhite);
    EXPECT_EQ(target.pixel(640, 449) & 0xFFFFFF, kBlue);
    EXPECT_TRUE(ui.messages.empty());
    QPainter inactive;
    draw.CopyTo(inactive);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0], (RecordedMessage{QStringLiteral("転送に失敗"), QStringLiteral("Error"), MsgButtons::Ok}));
}

TEST_F(Engine, CanvasThatCannotBeCreatedIsReported) {
    Bitmap::failCreationsForTesting(1);
    render();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0],
              (RecordedMessage{QStringLiteral("ビットマップ作成に失敗"), QStringLiteral("Message"), MsgButtons::Ok}));
    EXPECT_TRUE(canvas().isNull());
    EXPECT_FALSE(draw.redraw());
    // Sizes beyond the limit are refused before allocation, with the same message.
    ui.messages.clear();
    draw.SetExplicitSize(60000, 60000);
    draw.Render();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, QStringLiteral("ビットマップ作成に失敗"));
    draw.SetExplicitSize(0, 450);
    draw.Render();
    EXPECT_EQ(ui.messages.size(), 2u);
    draw.SetExplicitSize(64, 45);
    draw.Render();
    EXPECT_EQ(canvas().width(), 64);
    EXPECT_EQ(ui.messages.size(), 2u);
}

TEST(EngineConstruction, PlaceholderThatCannotBeCreatedIsReported) {
    ScriptedUi ui;
    Bitmap::failCreationsForTesting(1);
    TSorvelDraw draw;
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0], (RecordedMessage{QStringLiteral("Select Error"), QStringLiteral("Error"), MsgButtons::Ok}));
    // The engine still works.
    draw.settings().DispYear = 2001;
    draw.settings().DispMonth = 1;
    draw.setRedraw();
    draw.Render();
    EXPECT_EQ(draw.canvas().width(), 640);
}

TEST(EngineConstruction, ResetSettingsShowsTodaysMonth) {
    ScriptedUi ui;
    setTodayForTesting(LocalDate{2024, 2, 29});
    TSorvelDraw draw;
    EXPECT_EQ(draw.ResetSettings(), 1);
    EXPECT_EQ(draw.settings().DispYear, 2024);
    EXPECT_EQ(draw.settings().DispMonth, 2);
    EXPECT_EQ(draw.settings().FontName, sjis("ＭＳ ゴシック"));
    EXPECT_EQ(draw.canvas().width(), 640);
    EXPECT_EQ(draw.canvasBitmap().pixel(3, 3), kSilver);
    setTodayForTesting(std::nullopt);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(Engine, StoredValuesTheDialogsNeverWriteStillDraw) {
    struct Damage {
        const char* what;
        std::function<void(TCalenderSet&)> apply;
    };
    const Damage cases[] = {
        {"count 0", [](TCalenderSet& s) { s.dateSet.NumberOfMonth = 0; }},
        {"count 260", [](TCalenderSet& s) { s.dateSet.NumberOfMonth = 260; }},
        {"style 7 of 5", [](TCalenderSet& s) { s.dateSet.DrawStyle = 7; s.dateSet.NumberOfMonth = 5; }},
        {"square of 7", [](TCalenderSet& s) { s.dateSet.DrawStyle = 3; s.dateSet.NumberOfMonth = 7; }},
        {"X + SX 300", [](TCalenderSet& s) { s.dateSet.X = 200; s.dateSet.SX = 100; }},
        {"zero width", [](TCalenderSet& s) { s.dateSet.SX = 0; }},
        {"tiny cells", [](TCalenderSet& s) { s.dateSet.SX = 2; s.dateSet.SY = 3; s.dateSet.NumberOfMonth = 12; }},
        {"month 14", [](TCalenderSet& s) { s.DispMonth = 14; }},
        {"month -3", [](TCalenderSet& s) { s.DispMonth = -3; }},
        {"year -5", [](TCalenderSet& s) { s.DispYear = -5; }},
        {"year max", [](TCalenderSet& s) { s.DispYear = 2147483647; s.DispMonth = 12; s.dateSet.NumberOfMonth = 12; }},
        {"colours 200", [](TCalenderSet& s) { s.Cl.fill(200); }},
        {"styles 9", [](TCalenderSet& s) { s.MonthStyle = 9; s.DayStyle = 9; s.DayShadow = 7; }},
    };
    for (const Damage& d : cases) {
        SetUp();
        d.apply(cs());
        render();
        EXPECT_EQ(canvas().width(), 640) << d.what;
        EXPECT_FALSE(draw.redraw()) << d.what;
    }
    EXPECT_TRUE(ui.messages.empty());
    // A month before year 1 is drawn with a weekday in range: six or fewer week rows used.
    SetUp();
    cs().DispYear = -5;
    render();
    for (int c = 0; c < 7; ++c) EXPECT_FALSE(inkBox(canvas(), cell(c, 9), kWhite).isValid());
}

}  // namespace
}  // namespace sorvel

namespace sorvel {
namespace {

// The almanac line under the day numbers: drawn below the digits without touching them, and
// neither looked up nor drawn where the cells are too small for it.
TEST_F(Engine, AlmanacLineSitsUnderTheNumbersAndIsDroppedInSmallCells) {
    int calls = 0;
    draw.setAlmanacSourceForTesting([&](int, int, int) {
        ++calls;
        AlmanacDay a;
        a.valid = true;
        a.rokuyo = 0;  // 大安
        return a;
    });
    for (auto [w, h, shown] : {std::tuple{905, 678, true}, std::tuple{452, 339, false}}) {
        draw.setAlmanacShown(AlmanacShown{});
        draw.SetExplicitSize(w, h);
        render();
        const QImage off = draw.canvas().copy();
        EXPECT_EQ(calls, 0);
        draw.setAlmanacShown(AlmanacShown{true, false, false});
        render();
        EXPECT_EQ(calls > 0, shown) << w;
        calls = 0;
        const QImage on = draw.canvas();
        int changedBelow = 0, changedNumber = 0;
        for (const TSorvelDraw::DrawnDay& d : draw.drawnDays()) {
            const int digitsEnd = d.cell.y + d.cell.height / 2;  // the digits fill the upper part
            for (int y = d.cell.y; y < d.cell.y + d.cell.height; ++y)
                for (int x = d.cell.x; x < d.cell.x + d.cell.width; ++x)
                    if (on.pixel(x, y) != off.pixel(x, y)) ++(y < digitsEnd ? changedNumber : changedBelow);
        }
        EXPECT_EQ(changedNumber, 0) << w;
        EXPECT_EQ(changedBelow > 0, shown) << w;
    }
}

}  // namespace
}  // namespace sorvel
