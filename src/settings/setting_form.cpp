#include "settings/setting_form.h"

#include <initializer_list>

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include "data/entry_dialog.h"
#include "platform/autostart.h"
#include "platform/files.h"
#include "platform/gdi.h"
#include "platform/secret_store.h"
#include "platform/text.h"
#include "platform/ui.h"
#include "platform/messages.h"
#include "settings/calender_set.h"
#include "settings/form_parts.h"
#include "settings/sorvel_set.h"
#include "sync/sync_library.h"

namespace sorvel {

using namespace form_parts;

namespace {

// The first page's "その他" group adds kOtherHeight to the dialog's height (its neighbour "暦注"
// has a line of note under its boxes).
constexpr int kOtherHeight = 100;
constexpr int kClientWidth = 460, kClientHeight = 271 + kOtherHeight;
constexpr int kNameLabelWidth = 80, kFileLabelWidth = 120;

// Checks the button at index, or leaves all clear for −1.
template <std::size_t N>
void checkRadio(QRadioButton* const (&buttons)[N], int index) {
    if (index >= 0 && index < static_cast<int>(N)) buttons[index]->setChecked(true);
}
template <std::size_t N>
int checkedRadio(QRadioButton* const (&buttons)[N]) {
    for (std::size_t i = 0; i < N; ++i)
        if (buttons[i]->isChecked()) return static_cast<int>(i);
    return -1;
}

QScrollBar* scrollBar(const char* name, Qt::Orientation o, QWidget* parent) {
    auto* bar = named(new QScrollBar(o, parent), name);
    bar->setRange(0, kMaxPosition);
    bar->setSingleStep(1);
    bar->setPageStep(5);
    return bar;
}

}  // namespace

TSettingForm::TSettingForm(QWidget* owner, DataFileCalls calls) : QDialog(owner), calls_(std::move(calls)) {
    setObjectName(QStringLiteral("TSettingForm"));
    setWindowTitle(programName() + QStringLiteral("の設定"));
    setUpDialog(this, QSize(kClientWidth, kClientHeight), DialogFrame::Fixed, DialogPosition::ByOwner);

    auto* version = named(new QLabel(versionNumberLine(), this), "VersionLabel");
    version->hide();

    settingPage_ = named(new QTabWidget(this), "SettingPage");
    settingPage_->setGeometry(4, 4, 452, 232 + kOtherHeight);
    auto* page1 = named(new QWidget, "TabSheet1");
    auto* page2 = named(new QWidget, "TabSheet2");
    auto* page3 = named(new QWidget, "TabSheet3");
    auto* page4 = named(new QWidget, "SyncSheet");
    settingPage_->addTab(page1, QStringLiteral("基本設定"));
    settingPage_->addTab(page2, QStringLiteral("スタイル設定"));
    settingPage_->addTab(page3, QStringLiteral("表示設定"));
    settingPage_->addTab(page4, QStringLiteral("同期"));
    buildBasicPage(page1);
    buildStylePage(page2);
    buildDisplayPage(page3);
    buildSyncPage(page4);

    seOk_ = named(new QPushButton(QStringLiteral("確定"), this), "se_ok");
    seCan_ = named(new QPushButton(QStringLiteral("取消"), this), "se_can");
    seOk_->setGeometry(296, 241 + kOtherHeight, 76, 25);
    seCan_->setGeometry(380, 241 + kOtherHeight, 76, 25);
    for (QPushButton* b : {seOk_, seCan_}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    connect(seOk_, &QPushButton::clicked, this, &TSettingForm::se_okClick);
    connect(seCan_, &QPushButton::clicked, this, &QDialog::reject);

    // Enter and Escape reach the dialog before any of its controls.
    installEventFilter(this);
    for (QWidget* w : findChildren<QWidget*>()) w->installEventFilter(this);
}

TSettingForm::~TSettingForm() = default;

void TSettingForm::setSyncCalls(SyncCalls calls) { syncCalls_ = std::move(calls); }

void TSettingForm::buildBasicPage(QWidget* page) {
    const YearMonth date =
        yearMonthGroup({"YearUpDown", "YearEdit", "MonthUpDown", "MonthEdit"}, kMinYear, kMaxYear, page);
    yearUpDown_ = date.year;
    monthUpDown_ = date.month;

    auto* generalGroup = new QGroupBox(QStringLiteral("全般"), page);
    wallPaper_ = checkBox("WallPaper", "壁紙を表示する", generalGroup);
    noButtonDraw_ = checkBox("NoButtonDraw", "ボタンを描かない", generalGroup);
    adsorption_ = checkBox("Adsorption", "画面端にくっつく", generalGroup);
    lengthUpDown_ = spinEdit("LengthUpDown", "LengthAdsorp", kMinSnapLength, kMaxSnapLength, generalGroup);
    lengthUpDown_->setValue(15);
    lengthUpDown_->setAccessibleName(QStringLiteral("くっつく距離（ドット）"));
    noDayDraw_ = checkBox("NoDayDraw", "日付を描かない", generalGroup);
    auto* general = new QVBoxLayout(generalGroup);
    general->setContentsMargins(6, 2, 6, 4);
    general->setSpacing(2);
    general->addWidget(wallPaper_);
    general->addWidget(noButtonDraw_);
    auto* snapRow = new QHBoxLayout;
    snapRow->addWidget(adsorption_);
    snapRow->addWidget(lengthUpDown_);
    snapRow->addWidget(label("dots", generalGroup));
    snapRow->addStretch(1);
    general->addLayout(snapRow);
    general->addWidget(noDayDraw_);

    auto* decorationGroup = new QGroupBox(QStringLiteral("日付飾り"), page);
    colorToday_ = checkBox("ColorToday", "今日をかこむ", decorationGroup);
    memoColoring_ = checkBox("MemoColoring", "予定がある日を色付け", decorationGroup);
    holidayColoring_ = checkBox("HolidayColoring", "休日を色付け", decorationGroup);
    auto* decoration = new QGridLayout(decorationGroup);
    decoration->setContentsMargins(6, 2, 6, 4);
    decoration->setSpacing(2);
    decoration->addWidget(colorToday_, 0, 0);
    decoration->addWidget(holidayColoring_, 0, 1);
    decoration->addWidget(memoColoring_, 1, 0, 1, 2);
    setTabOrder(colorToday_, memoColoring_);
    setTabOrder(memoColoring_, holidayColoring_);

    const ColourChoice colours = colourChoice("DayComboBox", "ColorComboBox", page);
    dayComboBox_ = colours.dayKind;
    colorComboBox_ = colours.colour;
    connect(dayComboBox_, &QComboBox::activated, this, &TSettingForm::DayComboBoxChange);
    connect(colorComboBox_, &QComboBox::activated, this, &TSettingForm::ColorComboBoxChange);

    auto* fileGroup = new QGroupBox(QStringLiteral("日付データーファイル名"), page);
    label5_ = named(new QLabel(QStringLiteral("ファイル名"), fileGroup), "Label5");
    label5_->setFixedWidth(kFileLabelWidth);
    auto* fileSelect = button("FileSelect", "変更", fileGroup);
    connect(fileSelect, &QPushButton::clicked, this, &TSettingForm::FileSelectClick);
    auto* fileRow = new QHBoxLayout(fileGroup);
    fileRow->setContentsMargins(6, 2, 6, 4);
    fileRow->addWidget(label5_, 1);
    fileRow->addWidget(fileSelect);

    const auto stackBoxes = [](QGroupBox* group, std::initializer_list<QCheckBox*> boxes) {
        auto* column = new QVBoxLayout(group);
        column->setContentsMargins(6, 2, 6, 4);
        column->setSpacing(2);
        for (QCheckBox* box : boxes) column->addWidget(box);
        column->addStretch(1);  // the boxes stay at the top when the group beside is taller
    };

    // Check boxes one below the other; a further one goes at the bottom.
    auto* otherGroup = named(new QGroupBox(QStringLiteral("その他"), page), "OtherGroup");
    nationalHolidays_ = checkBox("NationalHolidays", "国民の祝日を表示する", otherGroup);
    eraYear_ = checkBox("EraYear", "年を和暦で表示する", otherGroup);
    autostart_ = checkBox("Autostart", "ログイン時に起動する", otherGroup);
    stackBoxes(otherGroup, {nationalHolidays_, eraYear_, autostart_});

    // Beside it, what the day cells and their tooltips tell of the almanac.
    auto* almanacGroup = named(new QGroupBox(QStringLiteral("暦注"), page), "AlmanacGroup");
    showRokuyo_ = checkBox("ShowRokuyo", "六曜を表示する", almanacGroup);
    showOldCalendar_ = checkBox("ShowOldCalendar", "旧暦を表示する", almanacGroup);
    showSolarTerms_ = checkBox("ShowSolarTerms", "二十四節気・雑節を表示する", almanacGroup);
    stackBoxes(almanacGroup, {showRokuyo_, showOldCalendar_, showSolarTerms_});
    // The line under the day numbers needs the room of large digits; the tooltip and the day
    // dialog show the almanac at every size.
    auto* almanacNote = named(label("※日付の下の行は倍率 200% で表示", almanacGroup), "AlmanacNote");
    almanacNote->setToolTip(QStringLiteral("倍率 100% では日付の下に入りきらないため表示しません。\n"
                                           "マウスを日付に乗せたときと、日付のダイアログには、いつも表示します。"));
    almanacGroup->layout()->addWidget(almanacNote);

    auto* grid = new QGridLayout(page);
    grid->setContentsMargins(6, 4, 6, 4);
    grid->setSpacing(4);
    grid->addWidget(date.group, 0, 0);
    grid->addWidget(generalGroup, 1, 0, 2, 1);
    grid->addWidget(decorationGroup, 0, 1, 1, 1);
    grid->addWidget(colours.group, 1, 1);
    grid->addWidget(fileGroup, 2, 1);
    grid->addWidget(otherGroup, 3, 0);
    grid->addWidget(almanacGroup, 3, 1);
    grid->setRowStretch(4, 1);
}

void TSettingForm::buildStylePage(QWidget* page) {
    // One group per text: hide it, its shadow and its font.
    const NotationLook look{"表示フォント変更", kNameLabelWidth, QMargins(4, 2, 4, 4), 4, 3};
    auto textGroup = [this, page, &look](const NotationNames& names, QCheckBox*& noDrawBox, QLabel*& fontLabel,
                                         QCheckBox*& shadowBox, FontWork SettingFormValues::*font) {
        const NotationGroup g = notationGroup(names, look, page);
        noDrawBox = g.hide;
        shadowBox = g.shadow;
        fontLabel = g.fontName;
        QLabel* shown = fontLabel;
        connect(g.fontSet, &QPushButton::clicked, this, [this, font, shown] { chooseFont(work_.*font, shown); });
        return g;
    };

    const NotationGroup year =
        textGroup({"年表示", "NoDrawYear", "年を表示しない", "YearShadowCheck", "YearFontName", "YearFontSet"},
                  noDrawYear_, yearFontName_, yearShadow_, &SettingFormValues::yearFont);
    const NotationGroup month =
        textGroup({"月表示", "NoDrawMonth", "月を表示しない", "MonthShadowCheck", "MonthFontName", "MonthFontSet"},
                  noDrawMonth_, monthFontName_, monthShadow_, &SettingFormValues::monthFont);
    month.rows->addWidget(named(label("月の表記法は", month.group), "DrawMonthWay"), 2, 0);
    monthRadios_[0] = radio("MonthCal", "数字", month.group);
    monthRadios_[1] = radio("MonthJap", "日本語", month.group);
    monthRadios_[2] = radio("MonthEng", "英語", month.group);
    auto* monthWays = new QHBoxLayout;
    for (QRadioButton* r : monthRadios_) monthWays->addWidget(r);
    monthWays->addStretch(1);
    month.rows->addLayout(monthWays, 3, 0);

    const NotationGroup day =
        textGroup({"日の表示", "NoDrawDayName", "曜日を表示しない", "DayShadowCheck", "DayFontName", "DayFontSet"},
                  noDrawDayName_, dayFontName_, dayShadow_, &SettingFormValues::dayFont);
    dayRadios_[0] = radio("DayJap", "日本語", day.group);
    dayRadios_[1] = radio("DayEng", "英語", day.group);
    auto* dayWays = new QHBoxLayout;
    dayWays->addWidget(named(label("曜日の表記法は", day.group), "DrawDayWay"));
    for (QRadioButton* r : dayRadios_) dayWays->addWidget(r);
    dayWays->addStretch(1);
    day.rows->addLayout(dayWays, 2, 0);

    auto* zoomGroup = new QGroupBox(QStringLiteral("表示倍率"), page);
    perComboBox_ = named(new QComboBox(zoomGroup), "PerComboBox");
    perComboBox_->setEditable(true);
    perComboBox_->setInsertPolicy(QComboBox::NoInsert);
    for (const char* item : {"10", "25", "50", "100", "200"}) perComboBox_->addItem(QString::fromLatin1(item));
    perComboBox_->setFixedWidth(64);
    auto* zoomRow = new QHBoxLayout(zoomGroup);
    zoomRow->setContentsMargins(4, 2, 4, 4);
    zoomRow->setSpacing(4);
    zoomRow->addWidget(perComboBox_);
    zoomRow->addWidget(label("%", zoomGroup));
    zoomRow->addSpacing(4);
    zoomRow->addWidget(label("大きさはほどほどに。", zoomGroup));
    zoomRow->addStretch(1);

    auto* grid = new QGridLayout(page);
    grid->setContentsMargins(4, 4, 4, 4);
    grid->setSpacing(4);
    grid->addWidget(year.group, 0, 0);
    grid->addWidget(day.group, 1, 0, 2, 1);
    grid->addWidget(month.group, 0, 1, 2, 1);
    grid->addWidget(zoomGroup, 2, 1);
    grid->setRowStretch(3, 1);
}

void TSettingForm::buildDisplayPage(QWidget* page) {
    // The preview with a scroll bar on each side: left and top edge above and left of it,
    // right and bottom edge below and right of it.
    constexpr int px = 56, py = 40;
    dayImage_ = named(new QLabel(page), "DayImage");
    dayImage_->setGeometry(px, py, kPreviewWidth, kPreviewHeight);
    xScrollBar_ = scrollBar("XScrollBar", Qt::Horizontal, page);
    xScrollBar_->setGeometry(px, 4, kPreviewWidth, 16);
    label("左位置", page)->setGeometry(8, 4, 44, 16);
    yScrollBar_ = scrollBar("YScrollBar", Qt::Vertical, page);
    yScrollBar_->setGeometry(px - 20, py, 16, kPreviewHeight);
    label("上位置", page)->setGeometry(px - 36, py - 18, 44, 16);
    wScrollBar_ = scrollBar("WScrollBar", Qt::Horizontal, page);
    wScrollBar_->setGeometry(px, py + kPreviewHeight + 4, kPreviewWidth, 16);
    label("右位置", page)->setGeometry(px + kPreviewWidth + 6, py + kPreviewHeight + 4, 44, 16);
    hScrollBar_ = scrollBar("HScrollBar", Qt::Vertical, page);
    hScrollBar_->setGeometry(px + kPreviewWidth + 4, py, 16, kPreviewHeight);
    label("下位置", page)->setGeometry(px + kPreviewWidth - 8, py - 18, 44, 16);
    for (QScrollBar* bar : {xScrollBar_, yScrollBar_, wScrollBar_, hScrollBar_})
        connect(bar, &QScrollBar::valueChanged, this, [this, bar] { scrollBarChange(bar); });

    constexpr int rx = 284;
    label("一度に", page)->setGeometry(rx, 8, 40, 16);
    numMonthUD_ = spinEdit("NumMonthUD", "NumMonthEdit", kMinMonths, kMaxMonths, page);
    numMonthUD_->setGeometry(rx + 40, 4, 48, 22);
    numMonthUD_->setAccessibleName(QStringLiteral("一度に表示する月の数"));
    label("月表示する", page)->setGeometry(rx + 94, 8, 64, 16);
    connect(numMonthUD_, &QSpinBox::textChanged, this, &TSettingForm::NumMonthEditChange);

    auto* group = new QGroupBox(QStringLiteral("月の配置方法"), page);
    group->setGeometry(rx, 40, 160, 94);
    arrangementRadios_[0] = radio("HeightRadio", "縦配置", group);
    arrangementRadios_[1] = radio("WidthRadio", "横配置", group);
    arrangementRadios_[2] = radio("SqRadio", "四角配置（4ヶ月のみ）", group);
    auto* radios = new QVBoxLayout(group);
    radios->setContentsMargins(8, 2, 4, 4);
    radios->setSpacing(2);
    for (QRadioButton* r : arrangementRadios_) {
        radios->addWidget(r);
        // HeightRadioClick, WidthRadioClick, SqRadioClick
        connect(r, &QRadioButton::toggled, this, [this](bool on) {
            if (on) DrawPreview();
        });
    }
}

void TSettingForm::buildSyncPage(QWidget* page) {
    syncEnabled_ = checkBox("SyncEnabled", "CalDAVで同期する", page);
    connect(syncEnabled_, &QCheckBox::toggled, this, &TSettingForm::syncEnabledChange);
    syncUrl_ = named(new QLineEdit(page), "SyncUrl");
    syncUrl_->setPlaceholderText(QStringLiteral("https://"));
    discover_ = named(new QPushButton(QStringLiteral("カレンダーを探す"), page), "SyncDiscover");
    connect(discover_, &QPushButton::clicked, this, &TSettingForm::discoverClick);
    calendarList_ = named(new QListWidget(page), "SyncCalendars");
    calendarList_->setFixedHeight(64);
    // The calendar picked becomes the address synced with.
    connect(calendarList_, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
        if (item) syncUrl_->setText(item->data(Qt::UserRole).toString());
    });
    discoveryStatus_ = named(new QLabel(page), "SyncDiscoveryStatus");
    discoveryStatus_->setWordWrap(true);
    syncUser_ = named(new QLineEdit(page), "SyncUser");
    syncPassword_ = named(new QLineEdit(page), "SyncPassword");
    syncPassword_->setEchoMode(QLineEdit::Password);
    syncPassword_->setPlaceholderText(syncPasswordPlaceholder());
    syncInterval_ = named(new QComboBox(page), "SyncInterval");
    for (const char* item : {"手動", "5分ごと", "15分ごと", "60分ごと"}) syncInterval_->addItem(QString::fromUtf8(item));
    syncNow_ = named(new QPushButton(QStringLiteral("今すぐ同期"), page), "SyncNow");
    connect(syncNow_, &QPushButton::clicked, this, &TSettingForm::syncNowClick);
    for (QPushButton* b : {discover_, syncNow_}) b->setAutoDefault(false);

    auto* grid = new QGridLayout(page);
    grid->setContentsMargins(8, 6, 8, 6);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(4);
    grid->addWidget(syncEnabled_, 0, 0, 1, 3);
    // Each label names its field, for the keyboard and for a screen reader.
    auto labelFor = [page](const char* text, QWidget* field) {
        QLabel* l = label(text, page);
        l->setBuddy(field);
        return l;
    };
    grid->addWidget(labelFor("サーバーのアドレス", syncUrl_), 1, 0);
    grid->addWidget(syncUrl_, 1, 1);
    grid->addWidget(discover_, 1, 2);
    grid->addWidget(labelFor("カレンダー", calendarList_), 2, 0, Qt::AlignTop);
    grid->addWidget(calendarList_, 2, 1, 1, 2);
    grid->addWidget(discoveryStatus_, 3, 1, 1, 2);
    grid->addWidget(labelFor("ユーザー名", syncUser_), 4, 0);
    grid->addWidget(syncUser_, 4, 1, 1, 2);
    grid->addWidget(labelFor("パスワード", syncPassword_), 5, 0);
    grid->addWidget(syncPassword_, 5, 1, 1, 2);
    grid->addWidget(labelFor("同期の間隔", syncInterval_), 6, 0);
    grid->addWidget(syncInterval_, 6, 1, Qt::AlignLeft);
    grid->addWidget(syncNow_, 7, 2);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(8, 1);
}

int TSettingForm::Execute(TCalenderSet& cs, TSorvelSet& ss) {
    cs_ = &cs;
    ss_ = &ss;
    fill();
    exec();
    cs_ = nullptr;
    ss_ = nullptr;
    return 1;
}

void TSettingForm::fill() {
    work_ = fillSettingForm(*cs_, *ss_);
    const SettingFormValues& v = work_;
    // 1, 2
    settingPage_->setCurrentIndex(0);
    dayComboBox_->setCurrentIndex(0);
    colorComboBox_->setCurrentIndex(shownColour(v.colours, 0));
    showElided(label5_, pathFromCp932(v.fileName), Qt::ElideMiddle, kFileLabelWidth);
    wallPaper_->setChecked(v.wallPaper);
    noButtonDraw_->setChecked(v.noButtonDraw);
    adsorption_->setChecked(v.adsorption);
    noDayDraw_->setChecked(v.noDayDraw);
    colorToday_->setChecked(v.colorToday);
    memoColoring_->setChecked(v.memoColoring);
    holidayColoring_->setChecked(v.holidayColoring);
    nationalHolidays_->setChecked(v.nationalHolidays);
    eraYear_->setChecked(v.eraYear);
    showRokuyo_->setChecked(v.rokuyo);
    showOldCalendar_->setChecked(v.oldCalendar);
    showSolarTerms_->setChecked(v.solarTerms);
    autostart_->setChecked(autostartEnabled(autostartPath()));
    // 3
    yearUpDown_->setValue(v.yearText.toInt());
    monthUpDown_->setValue(v.monthText.toInt());
    lengthUpDown_->setValue(v.lengthText.toInt());
    // 4
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        const DialogPlace place =
            settingFormPlace(ss_->Left, ss_->Top, width(), height(), area.x(), area.y(), area.width(), area.height());
        move(place.x, place.y);
    }
    // 5–8
    noDrawYear_->setChecked(v.noDrawYear);
    noDrawMonth_->setChecked(v.noDrawMonth);
    noDrawDayName_->setChecked(v.noDrawDayName);
    showElided(yearFontName_, toQString(v.yearFont.face), Qt::ElideRight, kNameLabelWidth);
    showElided(monthFontName_, toQString(v.monthFont.face), Qt::ElideRight, kNameLabelWidth);
    showElided(dayFontName_, toQString(v.dayFont.face), Qt::ElideRight, kNameLabelWidth);
    yearShadow_->setChecked(v.yearShadow);
    monthShadow_->setChecked(v.monthShadow);
    dayShadow_->setChecked(v.dayShadow);
    checkRadio(monthRadios_, v.monthStyle);
    checkRadio(dayRadios_, v.dayStyle);
    // 9
    perComboBox_->setEditText(v.percentText);
    // 11–14: the bars, the count and the arrangement, with the enabling rule and the preview
    // as the controls' own events would leave them.
    for (QScrollBar* bar : {xScrollBar_, yScrollBar_, wScrollBar_, hScrollBar_}) bar->blockSignals(true);
    xScrollBar_->setValue(v.left);
    yScrollBar_->setValue(v.top);
    wScrollBar_->setValue(v.right);
    hScrollBar_->setValue(v.bottom);
    for (QScrollBar* bar : {xScrollBar_, yScrollBar_, wScrollBar_, hScrollBar_}) bar->blockSignals(false);
    numMonthUD_->blockSignals(true);
    numMonthUD_->setValue(v.months);
    numMonthUD_->blockSignals(false);
    showArrangement(v.arrangement);
    DrawPreview();
    showSyncSettings();
}

SettingFormValues TSettingForm::controlValues() const {
    SettingFormValues v = work_;
    v.yearText = editOf(yearUpDown_)->text();
    v.monthText = editOf(monthUpDown_)->text();
    v.lengthText = editOf(lengthUpDown_)->text();
    v.wallPaper = wallPaper_->isChecked();
    v.noButtonDraw = noButtonDraw_->isChecked();
    v.adsorption = adsorption_->isChecked();
    v.noDayDraw = noDayDraw_->isChecked();
    v.colorToday = colorToday_->isChecked();
    v.memoColoring = memoColoring_->isChecked();
    v.holidayColoring = holidayColoring_->isChecked();
    v.nationalHolidays = nationalHolidays_->isChecked();
    v.eraYear = eraYear_->isChecked();
    v.rokuyo = showRokuyo_->isChecked();
    v.oldCalendar = showOldCalendar_->isChecked();
    v.solarTerms = showSolarTerms_->isChecked();
    v.noDrawYear = noDrawYear_->isChecked();
    v.noDrawMonth = noDrawMonth_->isChecked();
    v.noDrawDayName = noDrawDayName_->isChecked();
    v.yearShadow = yearShadow_->isChecked();
    v.monthShadow = monthShadow_->isChecked();
    v.dayShadow = dayShadow_->isChecked();
    v.monthStyle = checkedRadio(monthRadios_);
    v.dayStyle = checkedRadio(dayRadios_);
    v.percentText = perComboBox_->currentText();
    v.left = xScrollBar_->value();
    v.top = yScrollBar_->value();
    v.right = wScrollBar_->value();
    v.bottom = hScrollBar_->value();
    v.months = numMonthUD_->value();
    v.arrangement.checked = checkedRadio(arrangementRadios_) + 1;
    return v;
}

void TSettingForm::se_okClick() {
    // Starting at login lives in the desktop's autostart folder; a failure has shown its message.
    if (autostart_->isChecked() != autostartEnabled(autostartPath()))
        setAutostart(autostart_->isChecked(), autostartPath(), QCoreApplication::applicationFilePath());
    // A conversion error ends the applying at its step; the dialog closes all the same.
    applySettingForm(controlValues(), *cs_, *ss_, calls_.load);
    takeSyncSettings();
    accept();
}

void TSettingForm::DayComboBoxChange() {
    colorComboBox_->setCurrentIndex(shownColour(work_.colours, dayComboBox_->currentIndex()));
}

void TSettingForm::ColorComboBoxChange() {
    chooseColour(work_.colours, dayComboBox_->currentIndex(), colorComboBox_->currentIndex());
}

void TSettingForm::FileSelectClick() {
    if (selectDataFile(work_.fileName, calls_.save))
        showElided(label5_, pathFromCp932(work_.fileName), Qt::ElideMiddle, kFileLabelWidth);
}

void TSettingForm::chooseFont(FontWork& font, QLabel* shown) {
    if (const auto face = form_parts::chooseFont(font, nullptr))
        showElided(shown, *face, Qt::ElideRight, kNameLabelWidth);
}

void TSettingForm::NumMonthEditChange() {
    // The spin control takes digits only; while its edit is empty there is nothing to show.
    const auto months = parseInt(editOf(numMonthUD_)->text().toStdString());
    if (!months) return;
    ArrangementButtons b;
    b.checked = checkedRadio(arrangementRadios_) + 1;
    showArrangement(arrangementForMonths(b, *months));
    DrawPreview();
}

void TSettingForm::showArrangement(const ArrangementButtons& b) {
    // Their toggles stay silent: the caller draws the preview once.
    for (QRadioButton* r : arrangementRadios_) r->blockSignals(true);
    arrangementRadios_[0]->setEnabled(b.heightEnabled);
    arrangementRadios_[1]->setEnabled(b.widthEnabled);
    arrangementRadios_[2]->setEnabled(b.squareEnabled);
    checkRadio(arrangementRadios_, b.checked - 1);
    for (QRadioButton* r : arrangementRadios_) r->blockSignals(false);
}

void TSettingForm::scrollBarChange(QScrollBar* moved) {
    int left = xScrollBar_->value(), right = wScrollBar_->value();
    int top = yScrollBar_->value(), bottom = hScrollBar_->value();
    keepOrdered(left, right, moved == xScrollBar_);
    keepOrdered(top, bottom, moved == yScrollBar_);
    const QSignalBlocker bx(xScrollBar_), by(yScrollBar_), bw(wScrollBar_), bh(hScrollBar_);
    xScrollBar_->setValue(left);
    wScrollBar_->setValue(right);
    yScrollBar_->setValue(top);
    hScrollBar_->setValue(bottom);
    DrawPreview();
}

void TSettingForm::DrawPreview() {
    if (!cs_) return;
    const auto months = parseInt(editOf(numMonthUD_)->text().toStdString());
    if (!months) return;
    const PreviewGeometry g =
        previewGeometry(canvasWidth_, canvasHeight_, xScrollBar_->value(), yScrollBar_->value(),
                        wScrollBar_->value(), hScrollBar_->value(), *months, checkedRadio(arrangementRadios_) + 1);
    QPixmap picture(kPreviewWidth, kPreviewHeight);
    QPainter p(&picture);
    p.setPen(Qt::black);
    auto rect = [&p](const PreviewRect& r, const QColor& fill) {
        p.setBrush(fill);
        p.drawRect(r.left, r.top, std::max(r.right - r.left - 1, 0), std::max(r.bottom - r.top - 1, 0));
    };
    rect(PreviewRect{0, 0, kPreviewWidth, kPreviewHeight}, palette().color(QPalette::Mid));
    rect(g.canvas, QColor(0x00, 0x00, 0xFF));
    rect(g.area, QColor(0xFF, 0xFF, 0x00));
    for (const PreviewLine& l : g.lines) p.drawLine(l.x1, l.y1, l.x2 - (l.x2 > l.x1), l.y2 - (l.y2 > l.y1));
    p.end();
    dayImage_->setPixmap(picture);
}

void TSettingForm::showSyncSettings() {
    const SyncPageValues v = fillSyncPage(ss_->sync);
    syncEnabled_->setChecked(v.enabled);
    syncUrl_->setText(v.url);
    syncUser_->setText(v.user);
    syncPassword_->clear();
    syncInterval_->setCurrentIndex(v.interval);
    calendarList_->clear();
    discoveryStatus_->clear();
    syncEnabledChange();
}

SyncPageValues TSettingForm::syncPageValues() const {
    return SyncPageValues{syncEnabled_->isChecked(), syncUrl_->text(), syncUser_->text(), syncInterval_->currentIndex()};
}

bool TSettingForm::takeSyncSettings() {
    if (!applySyncPage(syncPageValues(), ss_->sync)) return false;
    // Only a password typed replaces the kept one; the field never shows it.
    if (!syncPassword_->text().isEmpty() && syncCalls_.secrets)
        syncCalls_.secrets->write(syncSecretKey(ss_->sync), syncPassword_->text(), [](bool) {});
    syncPassword_->clear();
    return true;
}

void TSettingForm::syncEnabledChange() {
    const bool on = syncEnabled_->isChecked();
    for (QWidget* w : std::initializer_list<QWidget*>{syncUrl_, discover_, calendarList_, syncUser_, syncPassword_,
                                                      syncInterval_, syncNow_})
        w->setEnabled(on);
}

void TSettingForm::discoverClick() {
    if (!discovery_) {
        SyncLibrary* library = syncLibrary();
        if (!library) return;
        discovery_ = library->newFinder();
    }
    calendarList_->clear();
    discoveryStatus_->setText(QStringLiteral("探しています…"));
    const QUrl address(syncUrl_->text().trimmed());
    const QString user = syncUser_->text();
    auto search = [this, address, user](const std::optional<QString>& password) {
        discovery_->start(address, user, password.value_or(QString()), [this](DiscoveryResult result) {
            if (!result.error.isEmpty()) {
                discoveryStatus_->setText(result.error);
                return;
            }
            const QSignalBlocker quiet(calendarList_);
            for (const CalendarChoice& c : result.calendars) {
                auto* item = new QListWidgetItem(c.name, calendarList_);
                item->setData(Qt::UserRole, c.url.toString());
                item->setToolTip(c.url.toString());
            }
            discoveryStatus_->setText(QStringLiteral("%1件のカレンダーがあります").arg(result.calendars.size()));
        });
    };
    if (!syncPassword_->text().isEmpty() || !syncCalls_.secrets) {
        search(syncPassword_->text());
        return;
    }
    TSyncSet typed;
    if (!applySyncPage(SyncPageValues{false, syncUrl_->text(), user, 0}, typed)) {
        discoveryStatus_->clear();
        return;
    }
    QPointer<TSettingForm> self(this);
    syncCalls_.secrets->read(syncSecretKey(typed), [self, search](std::optional<QString> password) {
        if (self) search(password);
    });
}

void TSettingForm::syncNowClick() {
    if (!takeSyncSettings()) return;
    if (syncCalls_.syncNow) syncCalls_.syncNow();
}

bool TSettingForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* w = qobject_cast<QWidget*>(watched);
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (w && w->window() == this &&
            (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape)) {
            FormKeyDown(key == Qt::Key_Escape ? 27 : 13);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TSettingForm::FormKeyDown(int key) {
    if (key == 13) seOk_->click();
    if (key == 27) seCan_->click();
}

}  // namespace sorvel
