#include "layout/layout_paper.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

#include <QFileInfo>
#include <QPainter>

#include "layout/layout_messages.h"
#include "platform/files.h"
#include "platform/print_document.h"
#include "platform/printing.h"
#include "platform/text.h"
#include "platform/ui.h"

namespace sorvel {

namespace {

constexpr Rgb kWhite = 0xFFFFFF;
constexpr Rgb kBlack = 0x000000;
constexpr std::string_view kStartMagic("<+SoLay>\0", 9);
constexpr std::string_view kEndMagic("<-SoLay>\0", 9);
// The page's block and its fields; each object field holds one object's block.
constexpr int kPageBlock = 6;
enum PageField : int {
    kPagePaperSize = 1, kPageOrientation = 2, kPagePrintableWidth = 3, kPagePrintableHeight = 4, kPageObject = 5
};

std::string blockOf(const TSorvelObj& o) {
    std::string block;
    o.SaveBlock(block);
    return block;
}

// What an object shows, apart from where it stands and its size: its block from the kind field
// on (the four fields before it hold only digits).
std::string_view contentOf(std::string_view block) {
    const std::size_t at = block.find("<+S05>");
    return at == std::string_view::npos ? block : block.substr(at);
}

// The page rectangle, the first four fields of an object's block as the page writes it.
std::optional<std::array<std::int32_t, 4>> pageRectOf(std::string_view block) {
    TagStream in(block);
    int number = 0;
    std::string text;
    if (ReadTag(in, number, text, kTagOpen) != 1) return std::nullopt;
    std::array<std::int32_t, 4> r{};
    for (int i = 0; i < 4; ++i)
        if (NextField(in, number) != FieldStep::Field || number != kObjPageLeft + i ||
            !ReadIntValue(in, r[static_cast<std::size_t>(i)]) || !EndField(in))
            return std::nullopt;
    return r;
}

}  // namespace

QString layoutRecoveryPath(const QString& programDir) {
    return joinPath(programDir, QStringLiteral("Sorvel-recovery.sla"));
}

PageFit FitPage(int viewWidth, int viewHeight, int printableWidth, int printableHeight) {
    PageFit fit;
    if (printableWidth <= 0 || printableHeight <= 0) return fit;
    const double byWidth = static_cast<double>(viewWidth) / printableWidth;
    const double byHeight = static_cast<double>(viewHeight) / printableHeight;
    fit.scale = static_cast<float>(byHeight < byWidth ? byHeight : byWidth);
    if (!(fit.scale > 0)) fit.scale = 0;
    fit.width = static_cast<std::int32_t>(std::trunc(static_cast<double>(printableWidth) * fit.scale));
    fit.height = static_cast<std::int32_t>(std::trunc(static_cast<double>(printableHeight) * fit.scale));
    return fit;
}

TLayoutPaper::TLayoutPaper() { ResetPage(); }

TLayoutPaper::~TLayoutPaper() { ClearObjects(); }

void TLayoutPaper::takeDefaultPaper() {
    // Without any printer (common on a Linux desktop) the page is A4 portrait.
    PaperSize = kFallbackPaperSize;
    Orientation = kFallbackOrientation;
    PrintableWidth = kFallbackPrintableWidth;
    PrintableHeight = kFallbackPrintableHeight;
    const std::unique_ptr<PrintJob> job = printService().defaultPrinter();
    if (!job || job->printableWidth() <= 0 || job->printableHeight() <= 0) return;
    const PaperSetup paper = job->paper();
    PaperSize = static_cast<std::int16_t>(paper.paperSize);
    Orientation = static_cast<std::int16_t>(paper.orientation);
    PrintableWidth = job->printableWidth();
    PrintableHeight = job->printableHeight();
}

void TLayoutPaper::createSmallBuffers() {
    viewBuffer_ = Bitmap::create(10, 10);
    pageImage_ = Bitmap::create(10, 10);
    if (viewBuffer_.isNull() || pageImage_.isNull()) {
        showMessage(failCrateDibSectionMessage(), programMessageCaptionLatin());
        return;
    }
    Canvas(viewBuffer_).fill(0, 0, 10, 10, kWhite);
    Canvas(pageImage_).fill(0, 0, 10, 10, kWhite);
}

void TLayoutPaper::ResetPage() {
    FileName.clear();
    Modified = 0;
    takeDefaultPaper();
    createSmallBuffers();
    band = RubberBand{};
    BandVisible = 0;
    NeedsRender = 1;
    history.Clear();
}

int TLayoutPaper::QuerySave() {
    if (Modified) {
        const MsgAnswer a = ui().messageBox(layoutModifiedQuestion(), messageCaption(), MsgButtons::YesNoCancel);
        if (a == MsgAnswer::Cancel) return 0;
        if (a == MsgAnswer::Yes && SaveLayout() != 1) return 0;
    }
    ClearObjects();
    viewBuffer_ = Bitmap();
    pageImage_ = Bitmap();
    ResetPage();
    return 1;
}

void TLayoutPaper::ClearObjects() { objects.clear(); }

void TLayoutPaper::LayoutFor(int viewWidth, int viewHeight) {
    const PageFit fit = FitPage(viewWidth, viewHeight, PrintableWidth, PrintableHeight);
    NeedsRender = 1;
    if (fit.width <= 0 || fit.height <= 0) {
        // A view of no size (a minimised window): said once; the page keeps its scale and the
        // objects their bitmaps until it can be laid out again.
        showMessage(failCreateDibSectionMessage(), programMessageCaptionLatin());
        return;
    }
    viewBuffer_ = Bitmap();
    pageImage_ = Bitmap();
    viewWidth_ = viewWidth;
    viewHeight_ = viewHeight;
    Scale = fit.scale;
    PageViewWidth = fit.width;
    PageViewHeight = fit.height;
    pageImage_ = Bitmap::create(PageViewWidth, PageViewHeight);
    viewBuffer_ = Bitmap::create(viewWidth, viewHeight);
    if (pageImage_.isNull() || viewBuffer_.isNull())
        showMessage(failCreateDibSectionMessage(), programMessageCaptionLatin());
    for (const auto& o : objects) o->ApplyScale(Scale);
}

void TLayoutPaper::ComposeView() {
    if (viewBuffer_.isNull()) return;
    Canvas view(viewBuffer_);
    // Beside the page every time: a rubber band dragged out there leaves nothing behind.
    const int w = viewBuffer_.width(), h = viewBuffer_.height();
    view.fill(PageViewWidth, 0, w - PageViewWidth, h, Surround);
    view.fill(0, PageViewHeight, PageViewWidth, h - PageViewHeight, Surround);
    view.fill(0, 0, PageViewWidth, PageViewHeight, kWhite);
    if (NeedsRender && !pageImage_.isNull()) {
        Canvas(pageImage_).fill(0, 0, pageImage_.width(), pageImage_.height(), kWhite);
        for (auto it = objects.rbegin(); it != objects.rend(); ++it) (*it)->PaintTo(pageImage_);
        NeedsRender = 0;
    }
    if (!pageImage_.isNull()) view.bitBlt(0, 0, pageImage_.width(), pageImage_.height(), pageImage_, 0, 0, RasterOp::Copy);
    if (BandVisible) {
        // A band dragged up or to the left has a negative size.
        const int l = band.width < 0 ? band.left + band.width : band.left;
        const int t = band.height < 0 ? band.top + band.height : band.top;
        const int r = l + std::abs(band.width), b = t + std::abs(band.height);
        const QPoint outline[] = {{l, t}, {r, t}, {r, b}, {l, b}, {l, t}};
        view.polyline(outline, Pen{kBlack, 1, PenStyle::Dash});
    }
}

void TLayoutPaper::PresentTo(QPainter& target) {
    ComposeView();
    if (viewBuffer_.isNull()) return;
    Canvas(target).bitBlt(0, 0, viewBuffer_.width(), viewBuffer_.height(), viewBuffer_, 0, 0, RasterOp::Copy);
}

// ---- selection ----

void TLayoutPaper::DeselectAll() {
    for (const auto& o : objects) o->SetSelected(0);
}

void TLayoutPaper::CycleSelection() {
    if (objects.size() < 2) return;
    LayoutSnapshot before = TakeSnapshot();
    std::rotate(objects.begin(), objects.begin() + 1, objects.end());
    DeselectAll();
    objects.front()->SetSelected(1);
    NeedsRender = 1;
    RecordEdit(std::move(before));
}

std::pair<int, int> TLayoutPaper::FindObjectAt(int x, int y) const {
    for (std::size_t i = 0; i < objects.size(); ++i)
        if (const int zone = objects[i]->HitZone(x, y); zone != 0) return {zone, static_cast<int>(i)};
    return {0, -1};
}

int TLayoutPaper::DeleteSelected() {
    if (objects.empty() || objects.front()->IsSelected() != 1) return 0;
    LayoutSnapshot before = TakeSnapshot();
    objects.erase(objects.begin());
    NeedsRender = 1;
    Modified = 1;
    RecordEdit(std::move(before));
    return 1;
}

int TLayoutPaper::EditSelected() {
    if (objects.empty() || objects.front()->IsSelected() != 1) return 0;
    LayoutSnapshot before = TakeSnapshot();
    objects.front()->EditSettings();
    NeedsRender = 1;
    Modified = 1;
    RecordEdit(std::move(before));
    return 1;
}

// ---- undo ----

LayoutSnapshot TLayoutPaper::TakeSnapshot() const {
    LayoutSnapshot s;
    s.reserve(objects.size());
    for (const auto& o : objects) s.push_back(blockOf(*o));
    return s;
}

void TLayoutPaper::RecordEdit(LayoutSnapshot before) {
    if (before == TakeSnapshot()) return;
    history.Record(std::move(before));
}

int TLayoutPaper::Undo() { return step(history.Undo(TakeSnapshot())); }

int TLayoutPaper::Redo() { return step(history.Redo(TakeSnapshot())); }

int TLayoutPaper::step(const std::optional<LayoutSnapshot>& state) {
    if (!state) return 0;
    restore(*state);
    Modified = history.AtSavePoint() ? 0 : 1;
    NeedsRender = 1;
    return 1;
}

void TLayoutPaper::restore(const LayoutSnapshot& snapshot) {
    // An object that is still as it was keeps its rendering, one that only moved or changed size
    // keeps its content (a decoded picture is not read from its file again); only the others are
    // read from their blocks, as a layout file's objects are.
    struct Kept {
        std::string block;
        std::unique_ptr<TSorvelObj> object;
    };
    std::vector<Kept> pool;
    pool.reserve(objects.size());
    for (auto& o : objects) pool.push_back(Kept{blockOf(*o), std::move(o)});
    objects.clear();
    auto take = [&pool](auto matches) -> std::unique_ptr<TSorvelObj> {
        for (Kept& k : pool)
            if (k.object && matches(k.block)) return std::move(k.object);
        return nullptr;
    };
    for (const std::string& block : snapshot) {
        std::unique_ptr<TSorvelObj> o = take([&](const std::string& b) { return b == block; });
        if (!o) {
            const auto rect = pageRectOf(block);
            if (rect) o = take([&](const std::string& b) { return contentOf(b) == contentOf(block); });
            if (o) o->SetPageRect((*rect)[0], (*rect)[1], (*rect)[2], (*rect)[3]);
        }
        if (!o) {
            o = std::make_unique<TSorvelObj>(kObjNone, std::nullopt, Scale);
            TagStream in(block);
            int number = 0;
            std::string text;
            if (ReadTag(in, number, text, kTagOpen) == 1) o->LoadBlock(in);
            o->ApplyScale(Scale);
        }
        o->SetSelected(0);
        objects.push_back(std::move(o));
    }
}

// ---- the layout file ----

std::string TLayoutPaper::BuildLayout() const {
    std::string out(kStartMagic);
    WriteBlockOpen(out, kPageBlock);
    WriteIntField(out, kPagePaperSize, PaperSize);
    WriteIntField(out, kPageOrientation, Orientation);
    WriteIntField(out, kPagePrintableWidth, PrintableWidth);
    WriteIntField(out, kPagePrintableHeight, PrintableHeight);
    for (const auto& o : objects) {
        WriteField(out, kPageObject, {}, kTagOpen);
        o->SaveBlock(out);
        WriteField(out, kPageObject, {}, kTagClose);
    }
    WriteBlockClose(out, kPageBlock);
    out += kEndMagic;
    return out;
}

LayoutRead TLayoutPaper::ParseLayout(std::string_view bytes) {
    if (bytes.substr(0, 8) != kStartMagic.substr(0, 8)) return LayoutRead::NotLayout;
    TagStream in(bytes);
    in.seek(8);
    int number = 0;
    std::string text;
    if (ReadTag(in, number, text, kTagOpen) != 1 || number != kPageBlock) return LayoutRead::NotLayout;

    // Objects are drawn at the page's scale: each may reach past the page, but not by more than
    // the page again, and all of them together cover the page at most kMaxPageCover times, so
    // that their renderings stay within a bound of the page's own size. The first object beyond
    // that and those after it are not kept.
    auto keepFitting = [&](std::int32_t pageWidth, std::int32_t pageHeight) {
        const std::int64_t pageArea = std::int64_t{pageWidth} * pageHeight;
        std::int64_t covered = 0;
        for (std::size_t i = 0; i < objects.size(); ++i) {
            const std::int64_t w = std::abs(std::int64_t{objects[i]->PageWidth});
            const std::int64_t h = std::abs(std::int64_t{objects[i]->PageHeight});
            covered += w * h;
            if (w > 2ll * pageWidth || h > 2ll * pageHeight || covered > kMaxPageCover * pageArea) {
                objects.resize(i);
                return false;
            }
        }
        return true;
    };
    auto refuse = [&] {
        keepFitting(PrintableWidth, PrintableHeight);
        showMessage(layoutNotOpenableMessage(), messageCaption());
        return LayoutRead::Refused;
    };
    // The paper is taken only from a file that is read to its end; a refused file leaves the
    // page on its paper, with the objects read before the refusal.
    std::int32_t printableWidth = PrintableWidth, printableHeight = PrintableHeight;
    const bool read = ReadFields(in, UnknownField::Reject, [&](int field) {
        std::int32_t value = 0;
        switch (field) {
            case kPagePaperSize:
            case kPageOrientation:
                if (!ReadIntValue(in, value)) return FieldRead::Failed;
                (field == kPagePaperSize ? PaperSize : Orientation) = static_cast<std::int16_t>(value);
                return FieldRead::Read;
            case kPagePrintableWidth:
            case kPagePrintableHeight:
                // 32 bits: a printable width above 32767 (large paper, high resolution) stays.
                if (!ReadIntValue(in, value)) return FieldRead::Failed;
                (field == kPagePrintableWidth ? printableWidth : printableHeight) = value;
                return FieldRead::Read;
            case kPageObject: {
                if (objects.size() >= kMaxLayoutObjects) return FieldRead::Failed;
                if (ReadTag(in, number, text, kTagOpen) != 1) return FieldRead::Failed;
                auto o = std::make_unique<TSorvelObj>(kObjNone, std::nullopt, Scale);
                o->LoadBlock(in);
                if (!TSorvelObj::pageSizeAllowed(o->PageWidth, o->PageHeight)) return FieldRead::Failed;
                objects.push_back(std::move(o));
                return FieldRead::Read;
            }
            default: return FieldRead::Unknown;
        }
    });
    if (!read) return refuse();
    // A page too small to be paper cannot be laid out: its scale would blow every object up.
    if (in.badNumber || printableWidth < kMinPrintableSide || printableHeight < kMinPrintableSide) return refuse();
    if (!keepFitting(printableWidth, printableHeight)) return refuse();
    PrintableWidth = printableWidth;
    PrintableHeight = printableHeight;
    NeedsRender = 1;
    return LayoutRead::Ok;
}

int TLayoutPaper::WriteLayoutFile(const QString& path) {
    QString error;
    if (!atomicReplace(path, BuildLayout(), &error)) {
        showMessage(layoutSaveFailedMessage(path, error), programFileCaption());
        return 0;
    }
    Modified = 0;
    history.MarkSaved();
    return 1;
}

int TLayoutPaper::SaveLayout() {
    if (FileName.isEmpty()) return SaveLayoutAs();
    return WriteLayoutFile(FileName);
}

int TLayoutPaper::SaveLayoutAs() {
    FileDialogRequest request{QString(), QString::fromUtf8(kLayoutFilter), FileName};
    request.defaultSuffix = QStringLiteral("sla");  // so the dialog's replace question sees the real name
    std::optional<QString> chosen = ui().saveFile(request);
    if (!chosen || chosen->isEmpty()) return 0;
    QString path = *chosen;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".sla");  // the default extension
    if (WriteLayoutFile(path) != 1) return 0;
    FileName = path;
    return 1;
}

int TLayoutPaper::ReadLayoutFile(const QString& path) {
    const std::optional<std::string> bytes = readWholeFile(path, kMaxLayoutFileBytes);
    if (!bytes) {
        showMessage(layoutOpenFailedMessage(), programFileCaption());
        return 0;
    }
    const LayoutRead result = ParseLayout(*bytes);
    // The objects read, all of them or those before a refusal, get the page's scale; the
    // page is fitted again to the view when it has one, as the paper may have changed.
    if (viewWidth_ > 0 && viewHeight_ > 0)
        LayoutFor(viewWidth_, viewHeight_);
    else
        for (const auto& o : objects) o->ApplyScale(Scale);
    NeedsRender = 1;
    // The page as read is where undo stops.
    history.Clear();
    if (result != LayoutRead::Ok) return 0;
    FileName = path;
    return 1;
}

int TLayoutPaper::ChangePaper() {
    const std::unique_ptr<PrintJob> job =
        printService().printDialog(Owner, PrintDialogKind::Setup, PaperSetup{PaperSize, Orientation});
    if (!job) return 0;
    const PaperSetup paper = job->paper();
    PaperSize = static_cast<std::int16_t>(paper.paperSize);
    Orientation = static_cast<std::int16_t>(paper.orientation);
    // A device that reports no printable area keeps the page as it was.
    if (job->printableWidth() > 0 && job->printableHeight() > 0) {
        PrintableWidth = job->printableWidth();
        PrintableHeight = job->printableHeight();
    }
    return 1;
}

int TLayoutPaper::PrintLayout() {
    DeselectAll();
    NeedsRender = 1;
    std::unique_ptr<PrintJob> job =
        printService().printDialog(Owner, PrintDialogKind::Print, PaperSetup{PaperSize, Orientation});
    if (!job) return 0;

    const int printerWidth = job->printableWidth();
    const int printerHeight = job->printableHeight();
    // The view the page goes back to: the window's, as the last layout had it.
    const int viewWidth = viewWidth_;
    const int viewHeight = viewHeight_;
    auto layOutForView = [&] {
        job.reset();
        pageImage_ = Bitmap();
        if (viewWidth > 0 && viewHeight > 0) {
            LayoutFor(viewWidth, viewHeight);
        } else {
            createSmallBuffers();
            for (const auto& o : objects) o->ApplyScale(Scale);
        }
        NeedsRender = 1;
    };

    // The page at the printer's resolution, up to MaxPrintPixels. Memory is what limits a
    // page: only the page image is printer-sized (no second view-sized copy), and each object
    // is rendered, drawn and let go before the next, so that no two objects' printer-sized
    // renderings are held at once.
    double composeWidth = printerWidth, composeHeight = printerHeight;
    const double pixels = composeWidth * composeHeight;
    if (pixels > MaxPrintPixels) {
        const double factor = std::sqrt(MaxPrintPixels / pixels);
        composeWidth = std::floor(composeWidth * factor);
        composeHeight = std::floor(composeHeight * factor);
    }
    const PageFit fit = FitPage(static_cast<int>(composeWidth), static_cast<int>(composeHeight), PrintableWidth,
                                PrintableHeight);
    viewBuffer_ = Bitmap();
    pageImage_ = Bitmap();
    if (fit.width > 0 && fit.height > 0) {
        Scale = fit.scale;
        PageViewWidth = fit.width;
        PageViewHeight = fit.height;
        pageImage_ = Bitmap::create(PageViewWidth, PageViewHeight);
    }
    if (pageImage_.isNull()) {
        showMessage(failCreateDibSectionMessage(), programMessageCaptionLatin());
        layOutForView();
        return 0;
    }
    Canvas(pageImage_).fill(0, 0, PageViewWidth, PageViewHeight, kWhite);
    for (auto it = objects.rbegin(); it != objects.rend(); ++it) {
        (*it)->ApplyScale(Scale);
        (*it)->PaintTo(pageImage_);
        (*it)->ReleaseRendering();
    }

    const bool printed = printDocument(*job, QString::fromUtf8(kLayoutDocumentName), 1, [&](int) {
        Canvas& sheet = job->canvas();
        sheet.fill(0, 0, printerWidth, printerHeight, kWhite);
        if (composeWidth == printerWidth && composeHeight == printerHeight) {
            sheet.bitBlt(0, 0, PageViewWidth, PageViewHeight, pageImage_, 0, 0, RasterOp::Copy);
        } else {
            // Composed at a lower resolution: stretched onto the printer's page at its full size.
            const double up = printerWidth / composeWidth;
            sheet.stretchHalftone(0, 0, static_cast<int>(PageViewWidth * up), static_cast<int>(PageViewHeight * up),
                                  pageImage_);
        }
        return true;
    });
    layOutForView();
    return printed ? 1 : 0;
}

int TLayoutPaper::OpenLayout() {
    std::optional<QString> chosen =
        ui().openFile(FileDialogRequest{QString(), QString::fromUtf8(kLayoutFilter), FileName});
    if (!chosen || chosen->isEmpty()) return 0;
    if (QuerySave() != 1) return 0;
    return ReadLayoutFile(*chosen);
}

}  // namespace sorvel
