#pragma once
// Basic settings kept in the ini file: section SorvelSetting, plus the schedule list window's
// section YoteiSet, the layout window's section LayoutSet and the sync's SyncSetting.
#include <cstdint>
#include <string>

#include <QString>

#include "platform/profile.h"
#include "sync/sync_settings.h"

namespace sorvel {

// Schedule list window settings, section "YoteiSet".
struct TYoteiSet {
    std::int32_t YoteiWidth = 350;
    std::int32_t YoteiHeight = 300;
    std::int32_t YoteiDispType = 0;
    std::int32_t YoteiX = 0;
    std::int32_t YoteiY = 0;
    std::int32_t YoWDate = 105;
    std::int32_t YoWCaption = 105;
    std::int32_t YoWMemo = 105;
    std::int32_t YoWTree = 150;
    std::int32_t YoDisp = 1;

    void read(const Profile& ini);
    void write(Profile& ini) const;
    bool isShown() const { return YoDisp == 1; }
    void toggleShown() { YoDisp = YoDisp == 0 ? 1 : 0; }
};

// Layout window settings, section "LayoutSet". Construction values differ from the
// missing-key defaults (Height 450 vs "500").
struct TLayoutSet {
    std::int32_t Top = 0;
    std::int32_t Left = 0;
    std::int32_t Width = 700;
    std::int32_t Height = 450;
    std::int32_t Disp = 1;

    void read(const Profile& ini);
    void write(Profile& ini) const;
    bool isShown() const { return Disp == 1; }
    void toggleShown() { Disp = Disp == 0 ? 1 : 0; }
};

class TSorvelSet {
public:
    std::uint8_t AdSorption = 0;
    std::uint8_t LengthAdsorp = 15;
    std::uint8_t AllwaysOnTop = 0;
    std::int32_t Top = 0;
    std::int32_t Left = 0;
    std::string MemoFileName = "Sorvel.dat";  // CP932
    std::uint8_t ShowNationalHolidays = 1;    // Japan's national holidays shown as days off
    std::uint8_t JapaneseEraYear = 0;         // the year title in the Japanese era
    // The almanac line of the day cells and its tooltip: 六曜, old-calendar dates, 節気 and 雑節.
    std::uint8_t ShowRokuyo = 0;
    std::uint8_t ShowOldCalendar = 0;
    std::uint8_t ShowSolarTerms = 0;
    TYoteiSet yotei;
    TLayoutSet layout;
    TSyncSet sync;

    // Reads section SorvelSetting, then YoteiSet, LayoutSet and SyncSetting. A value that is not
    // a number leaves that key's default. Returns 1.
    int read(const Profile& ini);
    // Writes Version "1.2" and the keys, then YoteiSet, LayoutSet and SyncSetting, into the
    // profile.
    void write(Profile& ini) const;
};

// The ini file of a program directory.
QString iniPath(const QString& programDir);

}  // namespace sorvel
