#include "render/sorvel_draw.h"

#include <algorithm>

#include <QFileInfo>
#include <QPaintEngine>
#include <QPainter>

#include "platform/clock.h"
#include "platform/files.h"
#include "platform/text.h"
#include "platform/ui.h"
#include "calendar/canvas_size.h"
#include "settings/colour_table.h"
#include "calendar/day_classification.h"
#include "calendar/japanese_era.h"
#include "render/jpeg_reader.h"
#include "render/picture_reader.h"
#include "render/render_messages.h"
#include "calendar/month_arrangement.h"

namespace sorvel {

namespace {

bool g_renderBusy = false;
std::function<void()>& renderHook() {
    static std::function<void()> hook;
    return hook;
}

constexpr Rgb kBlack = 0x000000;
constexpr Rgb kWhite = 0xFFFFFF;

const QString kEnglishWeekdays[7] = {QStringLiteral("Su"), QStringLiteral("Ma"), QStringLiteral("Tu"),
                                     QStringLiteral("We"), QStringLiteral("Th"), QStringLiteral("Fr"),
                                     QStringLiteral("Sa")};
const QString kJapaneseWeekdays[7] = {QStringLiteral("日"), QStringLiteral("月"), QStringLiteral("火"),
                                      QStringLiteral("水"), QStringLiteral("木"), QStringLiteral("金"),
                                      QStringLiteral("土")};
const QString kEnglishMonths[12] = {
    QStringLiteral("January"), QStringLiteral("February"), QStringLiteral("March"),     QStringLiteral("April"),
    QStringLiteral("May"),     QStringLiteral("June"),     QStringLiteral("July"),      QStringLiteral("August"),
    QStringLiteral("September"), QStringLiteral("October"), QStringLiteral("November"), QStringLiteral("December")};
const QString kJapaneseMonths[12] = {
    QStringLiteral("睦月"), QStringLiteral("如月"), QStringLiteral("弥生"),   QStringLiteral("卯月"),
    QStringLiteral("皐月"), QStringLiteral("水無月"), QStringLiteral("文月"), QStringLiteral("葉月"),
    QStringLiteral("長月"), QStringLiteral("神無月"), QStringLiteral("霜月"), QStringLiteral("師走")};

const QString* weekdayNames(std::uint8_t dayStyle) { return dayStyle == 1 ? kEnglishWeekdays : kJapaneseWeekdays; }

const QString& dayNumber(int d) {
    static const auto numbers = [] {
        std::array<QString, 32> n;
        for (int i = 0; i < 32; ++i) n[static_cast<std::size_t>(i)] = QString::number(i);
        return n;
    }();
    return numbers[static_cast<std::size_t>(std::clamp(d, 0, 31))];
}

int shadowOf(std::uint8_t setting) { return setting != 0 ? 1 : 0; }

}  // namespace

TSorvelDraw::TSorvelDraw() : settings_(std::make_unique<TCalenderSet>()) {
    // The placeholder canvas until the first CreateCanvas.
    canvas_ = Bitmap::create(10, 10);
    if (canvas_.isNull())
        showMessage(selectErrorMessage(), errorCaptionLatin());
    else
        Canvas(canvas_).fill(0, 0, 10, 10, kWhite);
    // The faces stay empty until the settings are reset or read: a record that leaves them out
    // draws in the platform's default face.
    settings_->FontName.clear();
    settings_->YearFontName.clear();
    settings_->MonthFontName.clear();
}

TSorvelDraw::~TSorvelDraw() = default;

bool TSorvelDraw::renderBusy() { return g_renderBusy; }

void TSorvelDraw::setAlmanacSourceForTesting(std::function<AlmanacDay(int, int, int)> source) {
    almanacSource_ = std::move(source);
}

void TSorvelDraw::setRenderHookForTesting(std::function<void()> hook) { renderHook() = std::move(hook); }

int TSorvelDraw::ResetSettings() {
    TCalenderSet& s = *settings_;
    s.applyDefaults();
    UpdateToday();
    s.DispYear = today_.year;
    s.DispMonth = today_.month;
    CreateCanvas();
    return 1;
}

void TSorvelDraw::UpdateToday() { today_ = today(); }

int TSorvelDraw::LoadWallpaper() {
    TCalenderSet& s = *settings_;
    QImage read = readPictureFile(pathFromCp932(s.WallPaperName));
    const Rgb background = slotColour(kSlotBackground);
    Bitmap image = composeOver(read, background);
    wallpaperAlpha_ = !image.isNull() && read.hasAlphaChannel() ? std::move(read) : QImage();
    composedOver_ = background;
    if (image.isNull()) {
        wallpaper_ = Bitmap();
        stretched_ = Bitmap();
        showMessage(wallpaperUnreadableMessage(), messageCaptionHalfWidth());
        s.IsWallPaper = 0;
        return 0;
    }
    wallpaper_ = std::move(image);
    stretched_ = Bitmap();
    if (s.DispPercent != -1.0f) {
        s.Width = wallpaper_.width();
        s.Height = wallpaper_.height();
    }
    if (s.Width < 32 || s.Height < 32) {
        s.Width = kFallbackBaseWidth;
        s.Height = kFallbackBaseHeight;
    }
    return 1;
}

void TSorvelDraw::ShareWallpaper(const TSorvelDraw& other) {
    wallpaper_ = other.wallpaper_;
    wallpaperAlpha_ = other.wallpaperAlpha_;
    composedOver_ = other.composedOver_;
    stretched_ = Bitmap();
}

void TSorvelDraw::CreateCanvas() { createCanvas(true); }

void TSorvelDraw::createCanvas(bool fillBackground) {
    TCalenderSet& s = *settings_;
    if (s.DispPercent != -1.0f) {
        const CanvasSize size = canvasSizeFor(s.DispPercent, s.Width, s.Height);
        canvasWidth_ = size.width;
        canvasHeight_ = size.height;
    }
    // A canvas of the same size is drawn over again rather than allocated anew.
    if (canvas_.isNull() || canvas_.width() != canvasWidth_ || canvas_.height() != canvasHeight_) {
        canvas_ = Bitmap();
        if (canvasSizeAllowed(canvasWidth_, canvasHeight_)) canvas_ = Bitmap::create(canvasWidth_, canvasHeight_);
        if (canvas_.isNull()) {
            showMessage(bitmapCreationFailedMessage(), messageCaptionLatin());
            return;
        }
    }
    if (fillBackground) Canvas(canvas_).fill(0, 0, canvas_.width(), canvas_.height(), slotColour(kSlotBackground));
}

void TSorvelDraw::SetExplicitSize(int width, int height) {
    settings_->DispPercent = -1;
    canvasWidth_ = width;
    canvasHeight_ = height;
    redraw_ = true;
}

void TSorvelDraw::ComputeYearTables(std::int64_t year) { tables_ = sorvel::ComputeYearTables(year); }

Rgb TSorvelDraw::slotColour(int slot) const {
    return colourRgb(settings_->Cl[static_cast<std::size_t>(std::clamp(slot, 0, kColourSlots - 1))]);
}

void TSorvelDraw::Render(const CalendarSources& sources) {
    if (g_renderBusy) return;
    TCalenderSet& s = *settings_;
    if (!redraw_) return;
    g_renderBusy = true;
    sources_ = sources;
    ComputeYearTables(s.DispYear);
    if (s.IsWallPaper != 1 && s.DispPercent == -1.0f) {
        s.Width = kBaseWidth;
        s.Height = kBaseHeight;
    }
    // The wallpaper covers the whole canvas, so the background fill is left out under it.
    createCanvas(s.IsWallPaper != 1 || wallpaper_.isNull());
    const TDateSet& d = s.dateSet;
    layout_ = monthLayout(canvasWidth_, canvasHeight_, d.X, d.Y, d.SX, d.SY, d.NumberOfMonth, d.DrawStyle);
    drawnDays_.clear();
    if (!canvas_.isNull()) {
        if (s.IsWallPaper == 1) DrawWallpaper();
        if (renderHook()) renderHook()();
        if (s.NoDayDraw != 1) DrawMonths();
        if (s.NoDrawButton == 0) DrawButtons();
    }
    redraw_ = false;
    g_renderBusy = false;
}

void TSorvelDraw::CopyTo(QPainter& target) {
    redraw_ = false;
    if (!target.isActive()) {
        showMessage(transferFailedMessage(), errorCaptionLatin());
        return;
    }
    if (canvas_.isNull()) return;  // its creation failed and was reported
    Canvas(target).bitBlt(0, 0, canvas_.width(), canvas_.height(), canvas_, 0, 0, RasterOp::Copy);
}

void TSorvelDraw::composeWallpaper() {
    const Rgb background = slotColour(kSlotBackground);
    if (wallpaperAlpha_.isNull() || background == composedOver_) return;
    Bitmap composed = composeOver(wallpaperAlpha_, background);
    if (composed.isNull()) return;  // memory short: the last composition stays
    wallpaper_ = std::move(composed);
    composedOver_ = background;
    stretched_ = Bitmap();
}

void TSorvelDraw::DrawWallpaper() {
    composeWallpaper();
    if (wallpaper_.isNull()) return;
    const int w = canvas_.width(), h = canvas_.height();
    Canvas canvas(canvas_);
    if (stretched_.isNull() || stretched_.width() != w || stretched_.height() != h) {
        stretched_ = Bitmap::create(w, h);
        if (!stretched_.isNull() && !Canvas(stretched_).stretchHalftone(0, 0, w, h, wallpaper_)) stretched_ = Bitmap();
    }
    if (!stretched_.isNull()) {
        canvas.bitBlt(0, 0, w, h, stretched_, 0, 0, RasterOp::Copy);
        return;
    }
    if (canvas.stretchHalftone(0, 0, w, h, wallpaper_)) return;
    // Retried through a half-size step when the direct stretch fails.
    Bitmap half = Bitmap::create(w / 2, h / 2);
    if (!half.isNull() && Canvas(half).stretchHalftone(0, 0, half.width(), half.height(), wallpaper_) &&
        canvas.stretchHalftone(0, 0, w, h, half))
        return;
    canvas.fill(0, 0, w, h, slotColour(kSlotBackground));  // no wallpaper this time
}

void TSorvelDraw::DrawButtons() {
    buttonSize_ = layout_.buttonSize;
    Canvas canvas(canvas_);
    const Pen pen{kBlack, 1, PenStyle::Solid};
    const BlockRect& p = layout_.previousButton;
    const BlockRect& n = layout_.nextButton;
    canvas.rectangle(p.x, p.y, p.x + p.width, p.y + p.height, pen, kWhite);
    const QPoint left[] = {{p.x + p.width, p.y}, {p.x, p.y + p.height / 2}, {p.x + p.width, p.y + p.height}};
    canvas.polyline(left, pen);
    canvas.rectangle(n.x, n.y, n.x + n.width, n.y + n.height, pen, kWhite);
    const QPoint right[] = {{n.x, n.y}, {n.x + n.width, n.y + n.height / 2}, {n.x, n.y + n.height}};
    canvas.polyline(right, pen);
}

void TSorvelDraw::DrawMonths() {
    const TCalenderSet& s = *settings_;
    substitutes_.clear();
    for (int i = 0; i < layout_.count(); ++i) {
        const YearMonth ym = addMonths(s.DispYear, s.DispMonth, i);
        DrawMonth(MonthRect{layout_.month(i), ym.month, ym.year, i});
    }
}

int TSorvelDraw::fontHeightFor(const MonthRect& r, const QString& yearRun, const QString& separator,
                               const QString& monthRun) {
    const TCalenderSet& s = *settings_;
    const int cw = cellWidth_, ch = cellHeight_;
    int height = ch + 1;
    font_.setFace(s.MonthFontName, s.YearFontChar);
    font_.setHeight(height);
    auto shrinkFor = [&](const QString& text) {
        while ((height >= ch || font_.advance(text) >= cw) && height >= 2) font_.setHeight(--height);
    };
    const QString* names = weekdayNames(s.DayStyle);
    for (int i = 0; i < 7; ++i) shrinkFor(names[i]);
    font_.setFace(s.FontName, s.YearFontChar);
    for (int d = 1; d <= 31; ++d) shrinkFor(dayNumber(d));
    // One pixel below what the day numbers allow, and less while the title is wider than the
    // month.
    Font yearFont(s.YearFontName, s.YearFontChar, height);
    Font monthFont(s.MonthFontName, s.MonthFontChar, height);
    for (;;) {
        height = std::max(height - 1, 1);
        yearFont.setHeight(height);
        monthFont.setHeight(height);
        const int titleWidth = yearFont.advance(yearRun + separator) + monthFont.advance(monthRun);
        if (titleWidth <= r.layout.block.width || height < 2) break;
    }
    return height;
}

void TSorvelDraw::drawTitle(const MonthRect& r, const QString& yearRun, const QString& separator,
                            const QString& monthRun) {
    const TCalenderSet& s = *settings_;
    const int h = font_.height();
    const Font yearFont(s.YearFontName, s.YearFontChar, h);
    const Font monthFont(s.MonthFontName, s.MonthFontChar, h);
    const QString yearPart = yearRun + separator;
    const int yearWidth = yearFont.advance(yearPart);
    const int monthWidth = monthFont.advance(monthRun);
    const int titleWidth = yearWidth + monthWidth;
    if (titleWidth <= 0) return;
    // The runs side by side, the year and separator in the year colour with the year's shadow,
    // the month in the month colour with its own shadow.
    const BlockRect title = r.layout.title();
    const int px = title.x + (title.width - titleWidth) / 2, py = title.y;
    Canvas canvas(canvas_);
    canvas.shadowedText(px, py, yearWidth, h, yearPart, yearFont, slotColour(kSlotYear), shadowOf(s.YearShadow));
    canvas.shadowedText(px + yearWidth, py, monthWidth, h, monthRun, monthFont, slotColour(kSlotMonth),
                        shadowOf(s.MonthShadow));
}

void TSorvelDraw::drawShadowed(const QString& text, int px, int py, int width, int height, int shadow, Rgb colour) {
    Canvas(canvas_).shadowedText(px, py, width, height, text, font_, colour, shadow);
}

void TSorvelDraw::drawAlmanacLine(const QString& text, const BlockRect& box, int shadow, Rgb colour) {
    int height = box.height - shadow;
    lineFont_.setFace(settings_->FontName, settings_->FontCharSet);
    lineFont_.setHeight(height);
    while (lineFont_.advance(text) + shadow > box.width && height >= kMinAlmanacLineHeight)
        lineFont_.setHeight(--height);
    if (height < kMinAlmanacLineHeight) return;
    Canvas(canvas_).shadowedText(box.x, box.y, box.width, height, text, lineFont_, colour, shadow);
}

DayClasses TSorvelDraw::ClassifyMonth(std::int64_t year, int month, const CalendarSources& sources) const {
    const TCalenderSet& s = *settings_;
    return sorvel::ClassifyDays(DayClassInput{year, month, s.HolidayColoring == 1, s.MemoColoring == 1,
                                              sources.holidays, sources.memos, sources.nationalHolidays});
}

void TSorvelDraw::ClassifyDays(const MonthRect& r) {
    const DayClasses c = ClassifyMonth(r.year, r.month, sources_);
    for (std::size_t i = 0; i < 31; ++i) dayColours_[i] = slotColour(c.slot[i]);
    dayFlags_ = c.flags;
    substitutes_.insert(substitutes_.end(), c.substitutes.begin(), c.substitutes.end());
}

void TSorvelDraw::titleRuns(const MonthRect& r, QString& yearRun, QString& monthRun) const {
    const TCalenderSet& s = *settings_;
    if (s.NoDrawYear != 1 && (r.index == 0 || r.month == 1)) {
        // The Japanese era of the month's last day; before 1873 the year stays a number.
        if (sources_.eraYear) yearRun = japaneseEraYear(r.year, r.month);
        if (yearRun.isEmpty()) yearRun = QString::number(r.year);
    }
    if (s.NoDrawMonth == 1) return;
    if (s.MonthStyle == 1)
        monthRun = kJapaneseMonths[r.month - 1];
    else if (s.MonthStyle == 2)
        monthRun = kEnglishMonths[r.month - 1];
    else
        monthRun = QString::number(r.month) + (s.MonthFontChar == kShiftJisCharSet ? QStringLiteral("月") : QString());
}

void TSorvelDraw::drawWeekdayNames(const MonthRect& r, int shadow) {
    const QString* names = weekdayNames(settings_->DayStyle);
    for (int c = 0; c < 7; ++c) {
        const int slot = c == 0 ? kSlotSunday : c == 6 ? kSlotSaturday : kSlotMonday + c - 1;
        const BlockRect cell = r.layout.weekdayCell(c);
        drawShadowed(names[c], cell.x, cell.y, cell.width, cell.height, shadow, slotColour(slot));
    }
}

void TSorvelDraw::DrawMonth(const MonthRect& r) {
    const TCalenderSet& s = *settings_;
    cellWidth_ = r.layout.grid.cellWidth;
    cellHeight_ = r.layout.grid.cellHeight;
    ComputeYearTables(r.year);
    const int cw = cellWidth_, ch = cellHeight_;
    if (cw < 1 || ch < 2) {
        // Too small to show anything; its substitute holidays still count.
        ClassifyDays(r);
        return;
    }

    QString yearRun, monthRun;
    titleRuns(r, yearRun, monthRun);
    const QString separator = yearRun.isEmpty() ? QString() : QStringLiteral("  ");
    const int height = fontHeightFor(r, yearRun, separator, monthRun);
    font_.setHeight(height);
    drawTitle(r, yearRun, separator, monthRun);

    font_.setFace(s.FontName, s.FontCharSet);
    font_.setHeight(height);
    ClassifyDays(r);

    const int dayShadow = shadowOf(s.DayShadow);
    if (s.NoDrawDay != 1) drawWeekdayNames(r, dayShadow);

    const std::size_t m = static_cast<std::size_t>(r.month - 1);
    int column = tables_.firstWeekday[m] > 6 ? 0 : tables_.firstWeekday[m];
    int weekRow = 1;
    const int digitWidth = font_.advance(QStringLiteral("0"));
    const bool todaysMonth = s.TodayColoring == 1 && r.year == today_.year && r.month == today_.month;
    // The almanac line fits below the digits when the cells leave room for a legible one; only
    // then is the month's almanac looked up.
    const int numberHeight = Canvas::textExtent(QStringLiteral("0"), font_).height;
    const int ascent = font_.ascent();
    const bool almanacLine = almanacShown_.any() && r.year >= kAlmanacFirstYear && r.year <= kAlmanacLastYear &&
                             almanacLineBox(r.layout.dayCell(0, 1), 0, 0, numberHeight, ascent, false).height -
                                     dayShadow >=
                                 kMinAlmanacLineHeight;
    for (int d = 1; d <= tables_.daysInMonth[m]; d = nextShownDay(r.year, r.month, d)) {
        const QString& text = dayNumber(d);
        const BlockRect cell = r.layout.dayCell(column, weekRow);
        drawnDays_.push_back(DrawnDay{r.year, r.month, d, cell});
        const int px = cell.x + (d <= 9 ? digitWidth : 0);
        const int py = cell.y;
        drawShadowed(text, px, py, cell.width, cell.height, dayShadow, dayColours_[static_cast<std::size_t>(d - 1)]);
        const bool isToday = todaysMonth && d == today_.day;
        TextSize t;
        if (isToday) {
            // The 3-pixel pen runs just outside the number's cell, so that the frame surrounds
            // the number instead of covering its edges.
            t = Canvas::textExtent(text, font_);
            const FrameOutline f = todayFrame(px, py, t.width, t.height);
            const QPoint frame[] = {{f.left, f.top}, {f.left, f.bottom}, {f.right, f.bottom}, {f.right, f.top},
                                    {f.left, f.top}};
            Canvas(canvas_).polyline(frame, Pen{slotColour(kSlotToday), kTodayFramePen, PenStyle::Solid});
        }
        if (almanacLine) {
            const AlmanacDay a = almanacSource_ ? almanacSource_(static_cast<int>(r.year), r.month, d)
                                                : almanacDay(static_cast<int>(r.year), r.month, d);
            const QString line = almanacCellLine(a, almanacShown_.rokuyo, almanacShown_.oldCalendar,
                                                 almanacShown_.terms);
            if (!line.isEmpty())
                drawAlmanacLine(line, almanacLineBox(cell, px, t.width, isToday ? t.height : numberHeight, ascent,
                                                     isToday),
                                dayShadow, dayColours_[static_cast<std::size_t>(d - 1)]);
        }
        if (++column > 6) {
            column = 0;
            ++weekRow;
        }
    }
}

}  // namespace sorvel
