#include "app/wallpaper_choice.h"

#include "calendar/canvas_size.h"
#include "platform/files.h"
#include "platform/messages.h"
#include "platform/text.h"
#include "platform/ui.h"
#include "render/picture_reader.h"
#include "render/sorvel_draw.h"

namespace sorvel {

bool ChooseWallpaper(TSorvelDraw& draw, const std::function<void()>& afterDialog) {
    TCalenderSet& cs = draw.settings();
    FileDialogRequest req{QStringLiteral("壁紙を選んでください"), QStringLiteral("グラフィック (bmp/jpg)|*.bmp;*.jpg"),
                          pathFromCp932(cs.WallPaperName)};
    auto chosen = ui().openPicture(req, decodePicturePreview);
    afterDialog();
    if (!chosen) return false;
    // A name that cannot be stored would name another file at the next start.
    const auto stored = storablePath(*chosen);
    if (!stored) {
        showMessage(unstorablePathMessage(*chosen), messageCaption());
        return false;
    }
    // OpenPictureDialog1CanClose: the chosen file becomes the wallpaper.
    cs.WallPaperName = *stored;
    cs.IsWallPaper = 1;
    draw.setRedraw();
    draw.LoadWallpaper();
    cs.DispPercent = clampZoom(cs.DispPercent, cs.Width, cs.Height);
    return true;
}

}  // namespace sorvel
