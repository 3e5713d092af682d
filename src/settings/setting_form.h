#pragma once
// "Sorvelの設定": the dialog that edits the appearance and the basic settings on three pages,
// with a preview of where the months stand, and the sync settings on a fourth. The values it
// edits and what it computes live in setting_apply.h and sync_page.h; this class owns the
// controls and their handlers.
#include <functional>
#include <memory>

#include <QDialog>

#include "settings/setting_apply.h"
#include "settings/sync_page.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QSpinBox;
class QTabWidget;

namespace sorvel {

class CalendarFinder;
class SecretStore;
class TCalenderSet;
class TSorvelSet;

class TSettingForm : public QDialog {
    Q_OBJECT
public:
    // What the dialog asks of the calendar window: write the date data to the data file, and
    // read the data file again after its name changed.
    struct DataFileCalls {
        std::function<int()> save;
        std::function<void()> load;
    };

    // What the page "同期" asks of the calendar window: where passwords are kept (none: a
    // password typed is not kept), and a sync with the settings just taken.
    struct SyncCalls {
        SecretStore* secrets = nullptr;
        std::function<void()> syncNow;
    };

    TSettingForm(QWidget* owner, DataFileCalls calls);
    ~TSettingForm() override;

    void setSyncCalls(SyncCalls calls);

    // Fills the controls, shows the dialog modally and writes the settings back when "確定"
    // closed it. Returns 1 when the dialog has closed.
    int Execute(TCalenderSet& cs, TSorvelSet& ss);
    // The canvas the preview scales the months' area from (by default the base size).
    void setCanvasSize(int width, int height) {
        canvasWidth_ = width;
        canvasHeight_ = height;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildBasicPage(QWidget* page);
    void buildStylePage(QWidget* page);
    void buildDisplayPage(QWidget* page);
    void buildSyncPage(QWidget* page);
    void fill();
    SettingFormValues controlValues() const;

    void FormKeyDown(int key);
    void se_okClick();
    void DayComboBoxChange();
    void ColorComboBoxChange();
    void FileSelectClick();
    void chooseFont(FontWork& font, QLabel* label);
    void NumMonthEditChange();
    void showArrangement(const ArrangementButtons& buttons);
    void scrollBarChange(QScrollBar* moved);
    void DrawPreview();
    // 同期
    void showSyncSettings();
    SyncPageValues syncPageValues() const;
    bool takeSyncSettings();
    void syncEnabledChange();
    void discoverClick();
    void syncNowClick();

    DataFileCalls calls_;
    SyncCalls syncCalls_;
    TCalenderSet* cs_ = nullptr;
    TSorvelSet* ss_ = nullptr;
    int canvasWidth_ = kBaseWidth;
    int canvasHeight_ = kBaseHeight;
    SettingFormValues work_;  // the working copies: file name, fonts, colours

    QTabWidget* settingPage_ = nullptr;
    QPushButton* seOk_ = nullptr;
    QPushButton* seCan_ = nullptr;
    // 基本設定
    QSpinBox* yearUpDown_ = nullptr;
    QSpinBox* monthUpDown_ = nullptr;
    QSpinBox* lengthUpDown_ = nullptr;
    QCheckBox* wallPaper_ = nullptr;
    QCheckBox* noButtonDraw_ = nullptr;
    QCheckBox* adsorption_ = nullptr;
    QCheckBox* noDayDraw_ = nullptr;
    QCheckBox* autostart_ = nullptr;  // ログイン時に起動する: the autostart entry, not a setting
    QCheckBox* colorToday_ = nullptr;
    QCheckBox* memoColoring_ = nullptr;
    QCheckBox* holidayColoring_ = nullptr;
    QCheckBox* nationalHolidays_ = nullptr;
    QCheckBox* eraYear_ = nullptr;
    QCheckBox* showRokuyo_ = nullptr;
    QCheckBox* showOldCalendar_ = nullptr;
    QCheckBox* showSolarTerms_ = nullptr;
    QComboBox* dayComboBox_ = nullptr;
    QComboBox* colorComboBox_ = nullptr;
    QLabel* label5_ = nullptr;
    // スタイル設定
    QCheckBox* noDrawYear_ = nullptr;
    QCheckBox* noDrawMonth_ = nullptr;
    QCheckBox* noDrawDayName_ = nullptr;
    QLabel* yearFontName_ = nullptr;
    QLabel* monthFontName_ = nullptr;
    QLabel* dayFontName_ = nullptr;
    QCheckBox* yearShadow_ = nullptr;
    QCheckBox* monthShadow_ = nullptr;
    QCheckBox* dayShadow_ = nullptr;
    QRadioButton* monthRadios_[3] = {};  // MonthCal, MonthJap, MonthEng
    QRadioButton* dayRadios_[2] = {};    // DayJap, DayEng
    QComboBox* perComboBox_ = nullptr;
    // 表示設定
    QLabel* dayImage_ = nullptr;
    QScrollBar* xScrollBar_ = nullptr;
    QScrollBar* yScrollBar_ = nullptr;
    QScrollBar* wScrollBar_ = nullptr;
    QScrollBar* hScrollBar_ = nullptr;
    QSpinBox* numMonthUD_ = nullptr;
    QRadioButton* arrangementRadios_[3] = {};  // HeightRadio, WidthRadio, SqRadio
    // 同期
    QCheckBox* syncEnabled_ = nullptr;
    QLineEdit* syncUrl_ = nullptr;
    QLineEdit* syncUser_ = nullptr;
    QLineEdit* syncPassword_ = nullptr;
    QComboBox* syncInterval_ = nullptr;
    QPushButton* discover_ = nullptr;
    QListWidget* calendarList_ = nullptr;
    QLabel* discoveryStatus_ = nullptr;
    QPushButton* syncNow_ = nullptr;
    std::unique_ptr<CalendarFinder> discovery_;  // from the sync library, loaded by the first search
};

}  // namespace sorvel
