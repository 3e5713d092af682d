#include "settings/sorvel_set.h"

#include <algorithm>

#include "platform/files.h"
#include "platform/text.h"

namespace sorvel {

namespace {

constexpr const char* kSection = "SorvelSetting";

// An integer key; a value that is not a number keeps the key's default.
std::int32_t readInt(const Profile& ini, const char* section, const char* key, std::int32_t def) {
    return parseInt(ini.getString(section, key, formatInt(def))).value_or(def);
}

void writeInt(Profile& ini, const char* section, const char* key, long long v) {
    ini.setString(section, key, formatInt(v));
}

}  // namespace

QString iniPath(const QString& programDir) { return joinPath(programDir, QStringLiteral("sorvel.ini")); }

void TYoteiSet::read(const Profile& ini) {
    const char* s = "YoteiSet";
    YoteiWidth = readInt(ini, s, "YoteiWidth", 350);
    YoteiHeight = readInt(ini, s, "YoteiHeight", 300);
    YoteiDispType = readInt(ini, s, "YoteiDispType", 0);
    YoteiX = readInt(ini, s, "YoteiX", 0);
    YoteiY = readInt(ini, s, "YoteiY", 0);
    YoWDate = readInt(ini, s, "YoWDate", 105);
    YoWCaption = readInt(ini, s, "YoWCaption", 105);
    YoWMemo = readInt(ini, s, "YoWMemo", 105);
    YoWTree = readInt(ini, s, "YoWTree", 150);
    YoDisp = readInt(ini, s, "YoDisp", 1);
}

void TYoteiSet::write(Profile& ini) const {
    const char* s = "YoteiSet";
    writeInt(ini, s, "YoteiWidth", YoteiWidth);
    writeInt(ini, s, "YoteiHeight", YoteiHeight);
    writeInt(ini, s, "YoteiDispType", YoteiDispType);
    writeInt(ini, s, "YoteiX", YoteiX);
    writeInt(ini, s, "YoteiY", YoteiY);
    writeInt(ini, s, "YoWDate", YoWDate);
    writeInt(ini, s, "YoWCaption", YoWCaption);
    writeInt(ini, s, "YoWMemo", YoWMemo);
    writeInt(ini, s, "YoWTree", YoWTree);
    writeInt(ini, s, "YoDisp", YoDisp);
}

void TLayoutSet::read(const Profile& ini) {
    const char* s = "LayoutSet";
    Top = readInt(ini, s, "Top", 0);
    Left = readInt(ini, s, "Left", 0);
    Width = readInt(ini, s, "Width", 700);
    Height = readInt(ini, s, "Height", 500);
    Disp = readInt(ini, s, "Disp", 1);
}

void TLayoutSet::write(Profile& ini) const {
    const char* s = "LayoutSet";
    writeInt(ini, s, "Top", Top);
    writeInt(ini, s, "Left", Left);
    writeInt(ini, s, "Width", Width);
    writeInt(ini, s, "Height", Height);
    writeInt(ini, s, "Disp", Disp);
}

namespace {
constexpr std::int32_t kMaxStoredPosition = 1000000;
}  // namespace

int TSorvelSet::read(const Profile& ini) {
    AdSorption = static_cast<std::uint8_t>(readInt(ini, kSection, "AdSorption", 0));
    LengthAdsorp = static_cast<std::uint8_t>(readInt(ini, kSection, "LengthAdsorp", 15));
    AllwaysOnTop = static_cast<std::uint8_t>(readInt(ini, kSection, "AllwaysOnTop", 0));
    // A position no screen can have (a damaged file) is kept within a million pixels, so the
    // window's edges can be added up without overflow; the start then brings it on screen.
    Top = std::clamp(readInt(ini, kSection, "Top", 0), -kMaxStoredPosition, kMaxStoredPosition);
    Left = std::clamp(readInt(ini, kSection, "Left", 0), -kMaxStoredPosition, kMaxStoredPosition);
    MemoFileName = ini.getString(kSection, "MemoFileName", "Sorvel.dat");
    ShowNationalHolidays = readInt(ini, kSection, "ShowNationalHolidays", 1) != 0 ? 1 : 0;
    JapaneseEraYear = readInt(ini, kSection, "JapaneseEraYear", 0) != 0 ? 1 : 0;
    ShowRokuyo = readInt(ini, kSection, "ShowRokuyo", 0) != 0 ? 1 : 0;
    ShowOldCalendar = readInt(ini, kSection, "ShowOldCalendar", 0) != 0 ? 1 : 0;
    ShowSolarTerms = readInt(ini, kSection, "ShowSolarTerms", 0) != 0 ? 1 : 0;
    yotei.read(ini);
    layout.read(ini);
    sync.read(ini);
    return 1;
}

void TSorvelSet::write(Profile& ini) const {
    ini.setString(kSection, "Version", formatReal(1.2));
    writeInt(ini, kSection, "Adsorption", AdSorption);
    writeInt(ini, kSection, "LengthAdsorp", LengthAdsorp);
    writeInt(ini, kSection, "AllwaysOnTop", AllwaysOnTop);
    writeInt(ini, kSection, "Top", Top);
    writeInt(ini, kSection, "Left", Left);
    ini.setString(kSection, "MemoFileName", MemoFileName);
    writeInt(ini, kSection, "ShowNationalHolidays", ShowNationalHolidays);
    writeInt(ini, kSection, "JapaneseEraYear", JapaneseEraYear);
    writeInt(ini, kSection, "ShowRokuyo", ShowRokuyo);
    writeInt(ini, kSection, "ShowOldCalendar", ShowOldCalendar);
    writeInt(ini, kSection, "ShowSolarTerms", ShowSolarTerms);
    yotei.write(ini);
    layout.write(ini);
    sync.write(ini);
}

}  // namespace sorvel
