#include "render/sorvel_draw.h"

#include <QPainter>

#include "platform/clock.h"
#include "platform/ui.h"
#include "render/canvas_size.h"
#include "render/colour_table.h"

namespace sorvel {

namespace {
bool g_renderBusy = false;

QColor colourOf(std::int32_t index) { return QColor::fromRgb(static_cast<QRgb>(colourRgb(index))); }
}  // namespace

TSorvelDraw::TSorvelDraw() : settings_(std::make_unique<TCalenderSet>()), canvas_(10, 10, QImage::Format_RGB888) {
    canvas_.fill(Qt::white);
}

TSorvelDraw::~TSorvelDraw() = default;

bool TSorvelDraw::renderBusy() { return g_renderBusy; }

int TSorvelDraw::ResetSettings() {
    TCalenderSet& s = *settings_;
    s.applyDefaults();
    UpdateToday();
    s.DispYear = s.TodayYear;
    s.DispMonth = s.TodayMonth;
    CreateCanvas();
    return 1;
}

void TSorvelDraw::UpdateToday() {
    LocalDate d = today();
    settings_->TodayYear = d.year;
    settings_->TodayMonth = d.month;
    settings_->TodayDay = d.day;
}

int TSorvelDraw::LoadWallpaper() { return 0; }

void TSorvelDraw::CreateCanvas() {
    TCalenderSet& s = *settings_;
    if (s.DispPercent != -1.0f) {
        CanvasSize size = canvasSizeFor(s.DispPercent, s.Width, s.Height);
        s.CanvasWidth = size.width;
        s.CanvasHeight = size.height;
    }
    if (!canvasSizeAllowed(s.CanvasWidth, s.CanvasHeight)) {
        showMessage(QStringLiteral("ビットマップ作成に失敗"), QStringLiteral("Message"));
        canvas_ = QImage();
        return;
    }
    canvas_ = QImage(s.CanvasWidth, s.CanvasHeight, QImage::Format_RGB888);
    if (canvas_.isNull()) {
        showMessage(QStringLiteral("ビットマップ作成に失敗"), QStringLiteral("Message"));
        return;
    }
    canvas_.fill(colourOf(s.Cl[kSlotBackground]));
}

void TSorvelDraw::SetExplicitSize(int width, int height) {
    settings_->DispPercent = -1;
    settings_->CanvasWidth = width;
    settings_->CanvasHeight = height;
    settings_->redraw = 1;
}

void TSorvelDraw::Render() {
    if (g_renderBusy) return;
    if (settings_->redraw != 1) return;
    g_renderBusy = true;
    TCalenderSet& s = *settings_;
    if (s.IsWallPaper != 1 && s.DispPercent == -1.0f) {
        s.Width = 640;
        s.Height = 480;
    }
    CreateCanvas();
    s.redraw = 0;
    g_renderBusy = false;
}

void TSorvelDraw::CopyTo(QPainter& target) {
    if (!canvas_.isNull()) target.drawImage(0, 0, canvas_);
    settings_->redraw = 0;
}

}  // namespace sorvel
