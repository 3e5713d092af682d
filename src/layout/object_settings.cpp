#include "layout/object_settings.h"

#include <algorithm>

#include "data/entry_editors.h"
#include "layout/so_pic.h"
#include "layout/so_tex.h"
#include "platform/files.h"
#include "platform/messages.h"
#include "platform/text.h"
#include "platform/ui.h"
#include "render/picture_reader.h"
#include "settings/calender_set.h"

namespace sorvel {

namespace {

std::uint8_t flag(bool on) { return on ? 1 : 0; }

void refuse(const QString& field, const QString& character) {
    ui().messageBox(refusedCharacterMessage(field, character), refusedCharacterCaption(), MsgButtons::Ok);
}

}  // namespace

CalFormValues fillCalForm(const TCalenderSet& cs) {
    CalFormValues v;
    static_cast<NotationValues&>(v) = notationOf(cs);
    v.wallPaper = cs.IsWallPaper != 0;
    v.colorToday = cs.TodayColoring != 0;
    v.memoColoring = cs.MemoColoring != 0;
    v.holidayColoring = cs.HolidayColoring != 0;
    v.colours = cs.Cl;
    // The up-down controls keep their positions in range, and their edits show the position.
    v.yearText = spinText(cs.DispYear, kCalMinYear, kCalMaxYear);
    v.monthText = spinText(cs.DispMonth, kMinMonth, kMaxMonth);
    return v;
}

bool applyCalForm(const CalFormValues& v, TCalenderSet& cs) {
    cs.IsWallPaper = flag(v.wallPaper);
    cs.TodayColoring = flag(v.colorToday);
    cs.MemoColoring = flag(v.memoColoring);
    cs.HolidayColoring = flag(v.holidayColoring);
    // A year or month out of range leaves the setting as it was. Years end at 9999, where the
    // calendar and its holidays end.
    const auto year = readInteger(v.yearText);
    if (!year) return false;
    if (*year >= kMinYear && *year <= kMaxYear) cs.DispYear = *year;
    const auto month = readInteger(v.monthText);
    if (!month) return false;
    if (*month >= kMinMonth && *month <= kMaxMonth) cs.DispMonth = *month;
    // Slot 14 exists only in the dialogs.
    std::copy_n(v.colours.begin(), kSlotWeekday, cs.Cl.begin());
    storeNotation(v, cs);
    return true;
}

std::optional<std::string> choosePictureFile(const std::string& preset) {
    const FileDialogRequest req{QStringLiteral("画像を選んでください"),
                                QStringLiteral("グラフィック (bmp/jpg)|*.bmp;*.jpg;*.jpeg"),
                                preset.empty() ? QString() : pathFromCp932(preset)};
    const auto chosen = ui().openPicture(req, decodePicturePreview);
    if (!chosen) return std::nullopt;
    // A name that cannot be stored would name another file when the page is opened again.
    auto stored = storablePath(*chosen);
    if (!stored) showMessage(unstorablePathMessage(*chosen), messageCaption());
    return stored;
}

bool chooseCalWallpaper(TCalenderSet& cs) {
    const auto chosen = choosePictureFile(cs.WallPaperName);
    if (!chosen) return false;
    cs.WallPaperName = *chosen;
    return true;
}

bool applyPicForm(const PicFormValues& v, TSoPic& picture) {
    const EditedText name = takeEditedText(v.fileName, v.shown, v.now, false);
    if (!name.ok()) {
        refuse(QStringLiteral("画像"), name.refused);
        return false;
    }
    picture.FileName = name.bytes;
    return true;
}

TexFormValues fillTexForm(const TSoTex& tex) {
    TexFormValues v;
    v.shownText = toQString(tex.Text);
    v.text = v.shownText;
    v.overlay = tex.Overlay != 0;
    v.font = FontWork{tex.FontName, tex.FontCharSet};
    v.pointSize = tex.FontSize;
    return v;
}

bool applyTexForm(const TexFormValues& v, TSoTex& tex) {
    const EditedText text = takeEditedText(tex.Text, v.shownText, v.text, true);
    if (!text.ok()) {
        refuse(QStringLiteral("テキスト"), text.refused);
        return false;
    }
    tex.Text = text.bytes;
    tex.Overlay = v.overlay ? 1 : 0;
    tex.FontName = v.font.face;
    tex.FontCharSet = v.font.charSet;
    tex.FontSize = v.pointSize;
    return true;
}

}  // namespace sorvel
