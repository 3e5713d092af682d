#include "layout/so_cal_form.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "data/entry_dialog.h"
#include "platform/text.h"
#include "settings/calender_set.h"
#include "settings/form_parts.h"

namespace sorvel {

namespace {

constexpr int kClientWidth = 314, kClientHeight = 440;
constexpr int kGroupLeft = 8, kGroupWidth = 298;

}  // namespace

using namespace form_parts;

TSoCalForm::TSoCalForm(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("TSoCalForm"));
    setWindowTitle(QStringLiteral("設定-カレンダー"));
    setUpDialog(this, QSize(kClientWidth, kClientHeight));

    const YearMonth date =
        yearMonthGroup({"YearUD", "YearEdit", "MonthUD", "MonthEdit"}, kCalMinYear, kCalMaxYear, this);
    date.group->setGeometry(kGroupLeft, 4, 196, 46);
    yearUD_ = date.year;
    monthUD_ = date.month;
    yearUD_->setFixedWidth(64);
    monthUD_->setFixedWidth(48);

    auto* wallPaper = button("WallPaperButton", "壁紙選択", this);
    wallPaper->setGeometry(214, 16, 92, 25);
    connect(wallPaper, &QPushButton::clicked, this, &TSoCalForm::WallPaperButtonClick);

    auto* generalGroup = new QGroupBox(QStringLiteral("全般"), this);
    generalGroup->setGeometry(kGroupLeft, 54, kGroupWidth, 62);
    isWallPaper_ = checkBox("IsWallPaperCB", "壁紙を表示する", generalGroup);
    colorToday_ = checkBox("ColorTodayCB", "今日をかこむ", generalGroup);
    memoColor_ = checkBox("MemoColorCB", "予定がある日を色付け", generalGroup);
    holidayColor_ = checkBox("HolidayColorCB", "休日を色付け", generalGroup);
    auto* general = new QGridLayout(generalGroup);
    general->setContentsMargins(6, 2, 6, 4);
    general->setSpacing(2);
    general->addWidget(isWallPaper_, 0, 0);
    general->addWidget(colorToday_, 0, 1);
    general->addWidget(memoColor_, 1, 0);
    general->addWidget(holidayColor_, 1, 1);

    const ColourChoice colours = colourChoice("DayCombo", "ColorCombo", this);
    colours.group->setGeometry(kGroupLeft, 120, kGroupWidth, 46);
    dayCombo_ = colours.dayKind;
    colorCombo_ = colours.colour;
    connect(dayCombo_, &QComboBox::activated, this, &TSoCalForm::DayComboChange);
    connect(colorCombo_, &QComboBox::activated, this, &TSoCalForm::ColorComboChange);

    // One group per text: hide it, its shadow, its font, and for month and weekday names the
    // style.
    const NotationLook look{"フォント変更", 0, QMargins(6, 2, 6, 4), 3, 3};
    auto textGroup = [this, &look](const NotationNames& names, int top, int height, FontWork CalFormValues::*font,
                                   QCheckBox*& hide, QCheckBox*& shadow, QLabel*& fontLabel) {
        const NotationGroup g = notationGroup(names, look, this);
        g.group->setGeometry(kGroupLeft, top, kGroupWidth, height);
        hide = g.hide;
        shadow = g.shadow;
        fontLabel = g.fontName;
        QLabel* shown = fontLabel;
        connect(g.fontSet, &QPushButton::clicked, this, [this, font, shown] { fontSetClick(font, shown); });
        return g.rows;
    };
    textGroup({"年表示", "NoDrawYearCB", "年を表示しない", "YearShadowCB", "YearFontLabel", "YearFontSet"}, 170, 62,
              &CalFormValues::yearFont, noDrawYear_, yearShadow_, yearFontLabel_);
    QGridLayout* month =
        textGroup({"月表示", "NoDrawMonthCB", "月を表示しない", "MonthShadowCB", "MonthFontLabel", "MonthFontSet"}, 236,
                  82, &CalFormValues::monthFont, noDrawMonth_, monthShadow_, monthFontLabel_);
    monthStyle_ = named(new QComboBox, "MonthStyleCoB");
    for (const char* item : {"数字", "日本語", "英語"}) monthStyle_->addItem(QString::fromUtf8(item));
    auto* monthWay = new QHBoxLayout;
    monthWay->addWidget(label("月の表記法は", nullptr));
    monthWay->addWidget(monthStyle_);
    monthWay->addStretch(1);
    month->addLayout(monthWay, 2, 0);
    QGridLayout* day =
        textGroup({"日の表示", "NoDrawDayNameCB", "曜日を表示しない", "DayShadowCB", "DayFontLabel", "DayFontSet"}, 322,
                  82, &CalFormValues::dayFont, noDrawDayName_, dayShadow_, dayFontLabel_);
    dayStyle_ = named(new QComboBox, "DayStyleCoB");
    for (const char* item : {"日本語", "英語"}) dayStyle_->addItem(QString::fromUtf8(item));
    auto* dayWay = new QHBoxLayout;
    dayWay->addWidget(label("曜日の表記法は", nullptr));
    dayWay->addWidget(dayStyle_);
    dayWay->addStretch(1);
    day->addLayout(dayWay, 2, 0);

    okButton_ = entryButton(QStringLiteral("確定"), "OKButton", this);
    canButton_ = entryButton(QStringLiteral("取消"), "CanButton", this);
    okButton_->setGeometry(142, 410, 80, 25);
    canButton_->setGeometry(226, 410, 80, 25);
    connect(okButton_, &QPushButton::clicked, this, &TSoCalForm::OKButtonClick);
    connect(canButton_, &QPushButton::clicked, this, &QDialog::reject);
}

TSoCalForm::~TSoCalForm() = default;

int TSoCalForm::Execute(TCalenderSet& cs) {
    cs_ = &cs;
    fill();
    exec();
    cs_ = nullptr;
    return 1;
}

void TSoCalForm::fill() {
    work_ = fillCalForm(*cs_);
    const CalFormValues& v = work_;
    // 1, 2
    dayCombo_->setCurrentIndex(0);
    colorCombo_->setCurrentIndex(shownColour(v.colours, 0));
    isWallPaper_->setChecked(v.wallPaper);
    colorToday_->setChecked(v.colorToday);
    memoColor_->setChecked(v.memoColoring);
    holidayColor_->setChecked(v.holidayColoring);
    noDrawYear_->setChecked(v.noDrawYear);
    noDrawMonth_->setChecked(v.noDrawMonth);
    noDrawDayName_->setChecked(v.noDrawDayName);
    yearShadow_->setChecked(v.yearShadow);
    monthShadow_->setChecked(v.monthShadow);
    dayShadow_->setChecked(v.dayShadow);
    // 4
    yearUD_->setValue(v.yearText.toInt());
    monthUD_->setValue(v.monthText.toInt());
    // 5
    showFontName(yearFontLabel_, v.yearFont);
    showFontName(monthFontLabel_, v.monthFont);
    showFontName(dayFontLabel_, v.dayFont);
    // 6
    monthStyle_->setCurrentIndex(v.monthStyle);
    dayStyle_->setCurrentIndex(v.dayStyle);
}

CalFormValues TSoCalForm::controlValues() const {
    CalFormValues v = work_;
    v.wallPaper = isWallPaper_->isChecked();
    v.colorToday = colorToday_->isChecked();
    v.memoColoring = memoColor_->isChecked();
    v.holidayColoring = holidayColor_->isChecked();
    v.yearText = editOf(yearUD_)->text();
    v.monthText = editOf(monthUD_)->text();
    v.noDrawYear = noDrawYear_->isChecked();
    v.noDrawMonth = noDrawMonth_->isChecked();
    v.noDrawDayName = noDrawDayName_->isChecked();
    v.yearShadow = yearShadow_->isChecked();
    v.monthShadow = monthShadow_->isChecked();
    v.dayShadow = dayShadow_->isChecked();
    v.monthStyle = monthStyle_->currentIndex();
    v.dayStyle = dayStyle_->currentIndex();
    return v;
}

void TSoCalForm::OKButtonClick() {
    // A conversion error ends the storing at its step; the dialog closes all the same.
    applyCalForm(controlValues(), *cs_);
    accept();
}

void TSoCalForm::DayComboChange() {
    colorCombo_->setCurrentIndex(shownColour(work_.colours, dayCombo_->currentIndex()));
}

void TSoCalForm::ColorComboChange() {
    chooseColour(work_.colours, dayCombo_->currentIndex(), colorCombo_->currentIndex());
}

void TSoCalForm::WallPaperButtonClick() {
    if (cs_ && chooseCalWallpaper(*cs_)) isWallPaper_->setChecked(true);
}

void TSoCalForm::fontSetClick(FontWork CalFormValues::*font, QLabel* shown) {
    if (chooseFont(work_.*font, nullptr)) showFontName(shown, work_.*font);
}

}  // namespace sorvel
