#pragma once
// The page behind the layout window: the printer paper it was set up for, a stack of layout
// objects (index 0 on top: drawn last, hit first, written first), its scale to the window, the
// composed page image, the layout file (*.sla) and the question before unsaved changes are lost.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <QString>

#include "layout/layout_history.h"
#include "layout/sorvel_obj.h"
#include "platform/gdi.h"

class QPainter;
class QWidget;

namespace sorvel {

// The most objects a page takes from a file, and the largest file it reads.
inline constexpr std::size_t kMaxLayoutObjects = 256;
inline constexpr std::int64_t kMaxLayoutFileBytes = 64ll * 1024 * 1024;
// A page read from a file: its printable sides at least this many pixels, and its objects
// together covering it at most this many times.
inline constexpr std::int32_t kMinPrintableSide = 100;
inline constexpr std::int64_t kMaxPageCover = 16;

// Paper used when there is no printer at all: A4 portrait, 210 × 297 mm at the 300 dpi every
// page is printed at.
inline constexpr int kFallbackPaperSize = 9;
inline constexpr int kFallbackOrientation = 1;
inline constexpr int kFallbackPrintableWidth = 2480;
inline constexpr int kFallbackPrintableHeight = 3507;

// The most pixels a page is composed with for printing (A4 at 600 dpi fits); a larger printable
// area gets the page composed at a lower resolution and stretched onto the printer's page.
inline constexpr double kMaxPrintPagePixels = 36.0 * 1000 * 1000;

inline constexpr char kLayoutDocumentName[] = "Sorvel - レイアウト";

inline constexpr char kLayoutFilter[] = "Sorvelﾚｲｱｳﾄ (*.sla)|*.sla";

// Where a page nobody could be asked about is kept when the program is ended without questions.
QString layoutRecoveryPath(const QString& programDir);

// The scale that fits a printable area into a view (the smaller of the two ratios; the width's
// when they are equal) and the page's size in the view.
struct PageFit {
    float scale = 1;
    std::int32_t width = 0;
    std::int32_t height = 0;
};
PageFit FitPage(int viewWidth, int viewHeight, int printableWidth, int printableHeight);

enum class LayoutRead {
    Ok,
    NotLayout,  // wrong magic or first block: refused without a message
    Refused,    // damaged, or beyond the limits: "開けないファイルです。" was shown
};

struct RubberBand {
    std::int32_t left = 0, top = 0, width = 10, height = 10;  // width and height may be negative
};

class TLayoutPaper {
public:
    TLayoutPaper();
    ~TLayoutPaper();
    TLayoutPaper(const TLayoutPaper&) = delete;
    TLayoutPaper& operator=(const TLayoutPaper&) = delete;

    std::vector<std::unique_ptr<TSorvelObj>> objects;
    RubberBand band;
    std::uint8_t BandVisible = 0;
    std::uint8_t NeedsRender = 1;
    std::uint8_t Modified = 0;
    QString FileName;
    std::int32_t PrintableWidth = kFallbackPrintableWidth;
    std::int32_t PrintableHeight = kFallbackPrintableHeight;
    std::int32_t PageViewWidth = 0;
    std::int32_t PageViewHeight = 0;
    float Scale = 1;
    std::int16_t PaperSize = kFallbackPaperSize;
    std::int16_t Orientation = kFallbackOrientation;
    // The most pixels the page is composed with for printing.
    double MaxPrintPixels = kMaxPrintPagePixels;
    // The colour of the view beside the page, where the view is larger than the page.
    Rgb Surround = 0x000000;
    // The window the dialogs are shown over; may be null.
    QWidget* Owner = nullptr;
    // The edits of the objects that Undo takes back, and where the last save stands among them.
    LayoutHistory history;

    // An empty page on the default printer's paper (A4 portrait without a printer), no file
    // name, not modified, 10 × 10 buffers.
    void ResetPage();
    // Before the page is discarded: asks when it is modified. 1 when it may go (it has then
    // been cleared and reset), 0 when the user declined or the save failed.
    int QuerySave();
    void ClearObjects();
    // Fits the page into a view of that size, rebuilds the buffers and applies the scale to
    // every object.
    void LayoutFor(int viewWidth, int viewHeight);
    // The page (composed again from the objects when needs-render is set), the surround beside
    // it and the rubber band into the view buffer.
    void ComposeView();
    void PresentTo(QPainter& target);

    int SaveLayout();
    int SaveLayoutAs();
    int OpenLayout();
    // Writes the layout file in one atomic replace; on failure the old file stays and the
    // message is shown. Clears the modified flag on success.
    int WriteLayoutFile(const QString& path);
    // Reads a layout file into the page (after QuerySave); 1 on success.
    int ReadLayoutFile(const QString& path);

    // The paper setup dialog: the page takes the chosen paper; 1 when the user confirmed.
    int ChangePaper();
    // Prints the page at the printer's resolution, without selection frames, and lays it out
    // again for the view afterwards; 1 when it was printed.
    int PrintLayout();

    void DeselectAll();
    void CycleSelection();
    // The zone code and index of the first object, in list order, under the view point;
    // (0, −1) when none.
    std::pair<int, int> FindObjectAt(int x, int y) const;
    int DeleteSelected();
    int EditSelected();

    // The objects as they are now, for undo.
    LayoutSnapshot TakeSnapshot() const;
    // The objects were edited; before is the snapshot taken before. An edit that changed
    // nothing is not kept.
    void RecordEdit(LayoutSnapshot before);
    // Takes back the last edit of the objects; 1 when there was one. The modified flag then says
    // whether the page differs from the page saved last.
    int Undo();
    // Does the last undone edit again; 1 when there was one. The modified flag as after Undo.
    int Redo();

    // The layout file's bytes, and its reader (into this page, appending to its objects).
    std::string BuildLayout() const;
    LayoutRead ParseLayout(std::string_view bytes);

    const Bitmap& viewBuffer() const { return viewBuffer_; }

private:
    void takeDefaultPaper();
    void createSmallBuffers();
    void restore(const LayoutSnapshot& snapshot);
    // The page becomes the state undo or redo gave back, if any; 1 when it did.
    int step(const std::optional<LayoutSnapshot>& state);

    Bitmap viewBuffer_;
    Bitmap pageImage_;
    // The view size of the last LayoutFor: a page read from a file is fitted to it again.
    int viewWidth_ = 0;
    int viewHeight_ = 0;
};

}  // namespace sorvel
