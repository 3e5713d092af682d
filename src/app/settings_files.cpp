#include "app/settings_files.h"

#include "platform/files.h"
#include "platform/messages.h"
#include "platform/profile.h"
#include "platform/ui.h"
#include "render/sorvel_draw.h"
#include "settings/calender_set.h"
#include "settings/sorvel_set.h"

namespace sorvel {

namespace {

// What the standard exception display shows when a file cannot be created.
void showCannotCreate(const QString& path, const QString& reason) {
    showMessage(saveFailedMessage(path, reason), programMessageCaption());
}

}  // namespace

void LoadSettingsFiles(const QString& programDir, TSorvelSet& ss, TSorvelDraw& draw) {
    const Profile ini = Profile::load(iniPath(programDir));
    if (ss.read(ini) != 1) {
        ss.AdSorption = 0;
        ss.LengthAdsorp = 15;
        ss.AllwaysOnTop = 0;
    }
    TCalenderSet& cs = draw.settings();
    // A display date of −1 becomes today's once today has been read.
    if (LoadState(programDir, ini, cs, ss) != 1) {
        cs.applyDefaults();
        draw.CreateCanvas();
    }
    // The main window always sizes itself by a zoom: an explicit size is not one it can show.
    if (cs.DispPercent == -1.0f) cs.DispPercent = 100;
    // What a save cut short (a power cut, a kill in the middle of a sync) left beside the files.
    removeSaveLeftovers(iniPath(programDir));
    removeSaveLeftovers(statePath(programDir));
}

bool SaveSettingsFiles(const QString& programDir, const TSorvelSet& ss, const TCalenderSet& cs) {
    bool saved = true;
    const QString ini = iniPath(programDir);
    Profile profile = Profile::load(ini);
    ss.write(profile);
    QString error;
    if (!profile.save(ini, &error)) {
        showCannotCreate(ini, error);
        saved = false;
    }
    const QString state = statePath(programDir);
    if (!atomicReplace(state, buildStateFile(cs), &error)) {
        showCannotCreate(state, error);
        saved = false;
    }
    return saved;
}

}  // namespace sorvel
