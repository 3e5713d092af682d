#include "schedule/list_print.h"

#include <algorithm>
#include <string>
#include <unordered_map>

#include <QPainter>
#include <QPen>

#include "data/date_data.h"
#include "platform/gdi.h"
#include "platform/print_document.h"
#include "platform/printing.h"
#include "platform/text.h"
#include "platform/messages.h"
#include "platform/ui.h"
#include "schedule/list_pagination.h"
#include "schedule/schedule_keys.h"

namespace sorvel {

namespace {

// 36 points at the screen's 96 dpi.
constexpr int kFontHeight = 48;
// The date stands at the column's left edge; it keeps this much room before the next column
// (a sixth of the text's height, so the caption beside it reads as another word).
constexpr int kDateRoom = kFontHeight / 6;

// The widest date a row can show in the font: the tree's longest year and two-digit months and
// days, every digit the font's widest.
QString widestDate(const Font& font) {
    QChar wide = u'0';
    for (char16_t c = u'1'; c <= u'9'; ++c)
        if (font.advance(QString(QChar(c))) > font.advance(QString(wide))) wide = QChar(c);
    const auto digits = [wide](qsizetype n) { return QString(n, wide); };
    return digits(QString::number(kLastTreeYear).size()) + u'年' + digits(2) + u'月' + digits(2) + u'日';
}

// The font, or the largest smaller one in which the text that textIn gives fits width.
template <typename TextIn>
Font fitted(Font font, int width, TextIn textIn) {
    while (font.height() > 1 && font.advance(textIn(font)) > width) font.setHeight(font.height() - 1);
    return font;
}

// One table row laid out: the date text and the characters of the caption and the text cell.
struct RowLayout {
    QString date;
    CellLayout caption;
    CellLayout text;
    int height = 0;  // the lowest bottom + 1
};

class ListPrinter {
public:
    ListPrinter(PrintJob& job, int pageWidth) : job_(job), pw_(pageWidth) {
        columns_ = listColumns(pw_, font_.advance(widestDate(font_)) + kDateRoom);
        dateFont_ = fitted(font_, columns_.date - kDateRoom, widestDate);
    }

    // From one line of a cell to the next: the text's height and one pixel.
    int linePitch() const { return font_.height() + 1; }

    RowLayout layoutHeader() {
        return layoutRow(QStringLiteral("日付"), fromQString(QStringLiteral("見だし")).value_or(std::string()),
                         fromQString(QStringLiteral("内容")).value_or(std::string()));
    }
    RowLayout layoutNote(const TDateMemo& note) {
        return layoutRow(QString(), note.caption, note.text);
    }

    // Draws `height` lines of the row, from its line `from` on, at y of the current page, in a
    // frame of their own. A piece that goes on from an earlier page has the mark and the date at
    // its head.
    void drawRow(const RowLayout& row, int y, int from, int height) {
        if (height <= 0 || pw_ <= 0) return;
        if (QPainter* page = job_.pagePainter()) {
            // Vector text straight onto the page: a PDF keeps it sharp and selectable.
            page->save();
            page->translate(0, y);
            page->setClipRect(0, 0, pw_ + 1, height);
            paintRow(*page, row, from, height);
            page->restore();
            return;
        }
        // A page of pixels gets the row drawn off screen and copied one to one.
        Bitmap surface = Bitmap::create(pw_ + 1, height);
        if (surface.isNull()) return;
        surface.image().fill(Qt::white);
        {
            QPainter p(&surface.image());
            paintRow(p, row, from, height);
        }
        job_.canvas().bitBlt(0, y, surface.width(), height, surface, 0, 0, RasterOp::Copy);
    }

private:
    RowLayout layoutRow(QString date, std::string_view caption, std::string_view text) {
        RowLayout row;
        row.date = std::move(date);
        const int c = columns_.date;
        const int t = columns_.date + columns_.caption;
        auto advance = [this](std::string_view ch) { return charWidth(ch); };
        row.caption = layoutCell(caption, c + 2, t, font_.height(), advance);
        row.text = layoutCell(text, t + 2, t + columns_.text, font_.height(), advance);
        row.height = std::max(row.caption.bottom, row.text.bottom) + 1;
        return row;
    }

    int charWidth(std::string_view ch) {
        unsigned key = static_cast<unsigned char>(ch[0]);
        if (ch.size() > 1) key = key << 8 | static_cast<unsigned char>(ch[1]);
        auto [it, added] = widths_.try_emplace(key, 0);
        if (added) it->second = font_.advance(toQString(ch));
        return it->second;
    }

    // Each line of a cell that starts within the row's lines from..end as one run of text,
    // clipped to its column. A line of another piece of the row is left out, not only clipped:
    // a PDF would still give its text to a search or a copy.
    void paintCell(QPainter& p, const CellLayout& cell, int left, int right, int from, int end) {
        p.save();
        p.setClipRect(QRect(left, 0, right - left, cell.bottom + 1), Qt::IntersectClip);
        std::size_t i = 0;
        while (i < cell.chars.size()) {
            const PlacedChar& first = cell.chars[i];
            std::string run;
            while (i < cell.chars.size() && cell.chars[i].y == first.y) run += cell.chars[i++].bytes;
            if (first.y < from || first.y >= end) continue;
            p.drawText(QPoint(first.x, first.y + font_.ascent()), toQString(run));
        }
        p.restore();
    }

    // The date, or the mark of a continued row over it, in line `line` of the date column.
    void paintDate(QPainter& p, const QString& text, int line) {
        // A year beyond the tree's (from a damaged data file) is drawn smaller still.
        const Font date = fitted(dateFont_, columns_.date - kDateRoom, [&text](const Font&) { return text; });
        const int top = line * linePitch();
        p.save();
        p.setFont(date.qfont());
        p.setClipRect(QRect(0, top, columns_.date, font_.height() + 1), Qt::IntersectClip);
        p.drawText(QPoint(0, top + 1 + date.ascent()), text);
        p.restore();
    }

    void paintRow(QPainter& p, const RowLayout& row, int from, int height) {
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setFont(font_.qfont());
        p.setPen(Qt::black);
        p.setBackgroundMode(Qt::TransparentMode);
        const int d = columns_.date;
        const int c = d + columns_.caption;
        const int t = c + columns_.text;
        if (from > 0) {
            paintDate(p, QStringLiteral("（続き）"), 0);
            if (!row.date.isEmpty()) paintDate(p, row.date, 1);
        } else if (!row.date.isEmpty()) {
            paintDate(p, row.date, 0);
        }
        p.save();
        p.translate(0, -from);
        paintCell(p, row.caption, d, c, from, from + height);
        paintCell(p, row.text, c, t, from, from + height);
        p.restore();
        const int b = height - 1;
        p.setPen(QPen(Qt::black, 0));
        p.drawLine(0, 0, pw_, 0);
        p.drawLine(0, 0, 0, b);
        p.drawLine(d, 0, d, b);
        p.drawLine(c, 0, c, b);
        p.drawLine(t, 0, t, b);
        p.drawLine(0, b, pw_, b);
    }

    PrintJob& job_;
    int pw_;
    ListColumns columns_;
    Font font_{std::string(), kShiftJisCharSet, kFontHeight};
    Font dateFont_;  // font_, or smaller where a quarter of the page cannot hold the widest date
    std::unordered_map<unsigned, int> widths_;
};

}  // namespace

int PrintList(QWidget* owner, const std::vector<const TDateMemo*>& notes) {
    std::unique_ptr<PrintJob> job = printService().printDialog(owner, PrintDialogKind::Setup, PaperSetup{});
    if (!job) return 0;
    if (!job->canPrintBitmaps()) {
        job.reset();
        showMessage(printerCannotPrintBitmapsMessage(), deviceErrorCaption());
        return 0;
    }
    const int pw = wholeInchPixels(job->widthMm(), job->dpiX());
    const int ph = wholeInchPixels(job->heightMm(), job->dpiY());
    ListPrinter printer(*job, pw);

    // Lay every row out first: the heights decide the pages.
    const RowLayout header = printer.layoutHeader();
    std::vector<RowLayout> rows;
    std::vector<int> heights;
    rows.reserve(notes.size());
    heights.reserve(notes.size());
    for (const TDateMemo* note : notes) {
        rows.push_back(note ? printer.layoutNote(*note) : RowLayout{});
        heights.push_back(rows.back().height);
    }
    // A line of text and the room under it; a continued piece holds its mark and the date.
    const int pitch = printer.linePitch();
    const ListPages pages = paginateRows(ph, header.height, pitch, 2 * pitch, heights);
    // The first piece of every sheet; a sheet begins where a piece's page differs from the one
    // before.
    std::vector<std::size_t> firstPieces{0};
    for (std::size_t i = 1; i < pages.pieces.size(); ++i)
        if (pages.pieces[i].page != pages.pieces[i - 1].page) firstPieces.push_back(i);
    firstPieces.push_back(pages.pieces.size());

    const auto paintSheet = [&](int sheet) {
        const std::size_t first = firstPieces[static_cast<std::size_t>(sheet)];
        const std::size_t end = firstPieces[static_cast<std::size_t>(sheet) + 1];
        // Every sheet with rows begins with the header.
        if (first < end) printer.drawRow(header, 0, 0, std::min(header.height, ph));
        const TDateMemo* previous = nullptr;  // the note printed last on this sheet
        for (std::size_t i = first; i < end; ++i) {
            const RowPiece& piece = pages.pieces[i];
            const auto r = static_cast<std::size_t>(piece.row);
            const TDateMemo* note = notes[r];
            if (!note) continue;
            RowLayout& row = rows[r];
            const bool sameDate = previous && previous->year == note->year &&
                                  previous->month == note->month && previous->day == note->day;
            row.date = sameDate ? QString() : rowDateText(note->year, note->month, note->day);
            previous = note;
            printer.drawRow(row, piece.y, piece.from, piece.height);
        }
        return true;
    };
    const int sheets = static_cast<int>(firstPieces.size()) - 1;
    return printDocument(*job, QStringLiteral("Sorvel 一覧印刷"), sheets, paintSheet) ? 1 : 0;
}

}  // namespace sorvel
