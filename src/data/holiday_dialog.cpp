#include "data/holiday_dialog.h"

#include <algorithm>

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "data/entry_dialog.h"
#include "platform/text.h"
#include "platform/ui.h"

namespace sorvel {

namespace {
constexpr int kNameMaxLength = 255;
}

THolidayForm::THolidayForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("THolidayForm"));
    setWindowTitle(QStringLiteral("休日設定"));

    auto* nameLabel = new QLabel(QStringLiteral("休日/祝日名"), this);
    nameLabel->setGeometry(8, 4, 179, 16);
    holidayName_ = new QLineEdit(this);
    holidayName_->setObjectName(QStringLiteral("HolidayName"));
    holidayName_->setMaxLength(kNameMaxLength);
    holidayName_->setGeometry(8, 20, 179, 22);
    nameLabel->setBuddy(holidayName_);

    group_ = new QGroupBox(QStringLiteral("指定方法"), this);
    group_->setObjectName(QStringLiteral("GroupBox1"));
    group_->setGeometry(8, 46, 179, 62);
    theDay_ = new QRadioButton(group_);
    theDay_->setObjectName(QStringLiteral("TheDay"));
    theDay_->setGeometry(8, 18, 166, 18);
    theWeekDay_ = new QRadioButton(group_);
    theWeekDay_->setObjectName(QStringLiteral("TheWeekDay"));
    theWeekDay_->setGeometry(8, 38, 166, 18);

    isHoliDay_ = new QCheckBox(QStringLiteral("休みの日！"), this);
    isHoliDay_->setObjectName(QStringLiteral("IsHoliDay"));
    isHoliDay_->setGeometry(12, 110, 175, 18);
    isPubHoliCheck_ = new QCheckBox(QStringLiteral("公休日（振替有り）"), this);
    isPubHoliCheck_->setObjectName(QStringLiteral("IsPubHoliCheck"));
    isPubHoliCheck_->setGeometry(12, 127, 175, 18);

    holiOK_ = entryButton(QStringLiteral("決定"), "HoliOK", this);
    holiOK_->setGeometry(26, 147, 78, 22);
    holiOK_->setEnabled(false);
    holiCancel_ = entryButton(QStringLiteral("取消"), "HoliCancel", this);
    holiCancel_->setGeometry(109, 147, 78, 22);

    setTabOrder(holidayName_, theDay_);
    setTabOrder(theDay_, theWeekDay_);
    setTabOrder(theWeekDay_, isHoliDay_);
    setTabOrder(isHoliDay_, isPubHoliCheck_);
    setTabOrder(isPubHoliCheck_, holiOK_);
    setTabOrder(holiOK_, holiCancel_);

    connect(holidayName_, &QLineEdit::textChanged, this, &THolidayForm::HolidayNameChange);
    connect(theDay_, &QRadioButton::clicked, this, &THolidayForm::TheDayClick);
    connect(theWeekDay_, &QRadioButton::clicked, this, &THolidayForm::TheWeekDayClick);
    connect(isHoliDay_, &QCheckBox::clicked, this, &THolidayForm::IsHoliDayClick);
    connect(isPubHoliCheck_, &QCheckBox::clicked, this, &THolidayForm::IsPubHoliCheckClick);
    connect(holiOK_, &QPushButton::clicked, this, &THolidayForm::accept);
    connect(holiCancel_, &QPushButton::clicked, this, &THolidayForm::reject);
    FormCreate();
}

THolidayForm::~THolidayForm() = default;

void THolidayForm::FormCreate() { setUpDialog(this, QSize(195, 172)); }

int THolidayForm::Execute(THolidaySet& rule) {
    rule_ = &rule;
    theDay_->setText(theDayCaption(rule));
    theWeekDay_->setText(theWeekDayCaption(rule));
    const QString name = toQString(rule.name);
    holidayName_->setMaxLength(std::max<int>(kNameMaxLength, static_cast<int>(name.size())));
    holidayName_->setText(name);
    shownName_ = holidayName_->text();
    if (rule.ruleKind == 1)
        TheWeekDayClick();
    else
        TheDayClick();
    setChecks(checksForDayOffKind(rule.dayOffKind));
    HolidayNameChange();
    holidayName_->setFocus();

    const int result = exec();
    rule_ = nullptr;
    if (result != QDialog::Accepted) return 0;
    applyHolidayEdit(rule, acceptedName_, theWeekDay_->isChecked(), checks());
    return 1;
}

void THolidayForm::accept() {
    if (!rule_ || holidayName_->text().isEmpty()) return;
    const EditedText name = takeEditedText(rule_->name, shownName_, holidayName_->text(), false);
    if (!name.ok()) {
        ui().messageBox(refusedCharacterMessage(QStringLiteral("休日/祝日名"), name.refused), refusedCharacterCaption(),
                        MsgButtons::Ok);
        holidayName_->setFocus();
        return;
    }
    if (name.unreadableReplaced && !unreadableTold_) {
        ui().messageBox(unreadableReplacedMessage(), refusedCharacterCaption(), MsgButtons::Ok);
        unreadableTold_ = true;
    }
    acceptedName_ = name.bytes;
    QDialog::accept();
}

void THolidayForm::HolidayNameChange() { holiOK_->setEnabled(!holidayName_->text().isEmpty()); }

void THolidayForm::TheDayClick() {
    theDay_->setChecked(true);
    theWeekDay_->setChecked(false);
}

void THolidayForm::TheWeekDayClick() {
    theWeekDay_->setChecked(true);
    theDay_->setChecked(false);
}

DayOffChecks THolidayForm::checks() const { return DayOffChecks{isHoliDay_->isChecked(), isPubHoliCheck_->isChecked()}; }

void THolidayForm::setChecks(DayOffChecks c) {
    isHoliDay_->setChecked(c.isHoliDay);
    isPubHoliCheck_->setChecked(c.isPubHoli);
}

void THolidayForm::IsHoliDayClick() { setChecks(afterHoliDayClick(checks())); }

void THolidayForm::IsPubHoliCheckClick() { setChecks(afterPubHoliClick(checks())); }

}  // namespace sorvel
