#include "app/quick_print.h"

#include <memory>

#include <QScopeGuard>
#include <QWidget>

#include "platform/messages.h"
#include "platform/print_document.h"
#include "platform/printing.h"
#include "platform/ui.h"
#include "render/sorvel_draw.h"

namespace sorvel {

namespace {

// The page of the job: the engine takes the zoom that fills the printable area in the base
// size's proportions, renders and goes to the area's corner. False when no picture of the
// page's size could be made (the engine has said why): a blank page is not sent.
bool paintPage(PrintJob& job, TSorvelDraw& engine, const CalendarSources& sources) {
    TCalenderSet& cs = engine.settings();
    const float w = static_cast<float>(job.printableWidth() - 2);
    const float h = static_cast<float>(job.printableHeight() - 2);
    const float sx = w / static_cast<float>(cs.Width);
    const float sy = h / static_cast<float>(cs.Height);
    const float scale = sy < sx ? sy : sx;
    cs.DispPercent = scale * scale * 100.0f;
    if (w > 0 && h > 0) {
        engine.setRedraw();
        engine.Render(sources);
    }
    const Bitmap& picture = engine.canvasBitmap();
    if (w <= 0 || h <= 0 || picture.isNull()) return false;
    job.canvas().bitBlt(0, 0, picture.width(), picture.height(), picture, 0, 0, RasterOp::Copy);
    return true;
}

}  // namespace

void QuickPrint(QWidget* window, const TSorvelDraw& shown, const CalendarSources& sources) {
    std::unique_ptr<PrintJob> job = printService().printDialog(window, PrintDialogKind::Setup, PaperSetup{});
    if (!job) return;
    if (!job->canPrintBitmaps()) {
        showMessage(printerCannotPrintBitmapsMessage(), deviceErrorCaption());
        return;
    }
    // The window's month and appearance, without the today frame and the month buttons.
    TSorvelDraw engine;
    engine.settings() = shown.settings();
    engine.settings().TodayColoring = 0;
    engine.settings().NoDrawButton = 1;
    engine.setAlmanacShown(shown.almanacShown());
    engine.ShareWallpaper(shown);
    engine.UpdateToday();
    window->setCursor(Qt::WaitCursor);
    const auto cursorBack = qScopeGuard([window] { window->unsetCursor(); });
    const TCalenderSet& cs = shown.settings();
    printDocument(*job, (programName() + QStringLiteral("　%1年%2月")).arg(cs.DispYear).arg(cs.DispMonth), 1,
                  [&](int) { return paintPage(*job, engine, sources); });
}

}  // namespace sorvel
