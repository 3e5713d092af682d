#pragma once
// The holiday rule editor: the name of one rule, whether it is fixed by date or by weekday and
// ordinal, and whether it is a day off and gets a substitute holiday.
#include <QDialog>

#include "data/date_data.h"
#include "data/entry_editors.h"

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace sorvel {

class THolidayForm : public QDialog {
    Q_OBJECT
public:
    explicit THolidayForm(QWidget* parent = nullptr);
    ~THolidayForm() override;

    // Shows the rule modally. 1 when "決定" was pressed with a name: the rule then holds the
    // edited name, rule kind and day-off kind. Otherwise 0 and the rule is unchanged.
    int Execute(THolidaySet& rule);

    void accept() override;

private:
    void FormCreate();
    void HolidayNameChange();
    void TheDayClick();
    void TheWeekDayClick();
    void IsHoliDayClick();
    void IsPubHoliCheckClick();
    DayOffChecks checks() const;
    void setChecks(DayOffChecks c);

    QLineEdit* holidayName_ = nullptr;
    QGroupBox* group_ = nullptr;
    QRadioButton* theDay_ = nullptr;
    QRadioButton* theWeekDay_ = nullptr;
    QCheckBox* isHoliDay_ = nullptr;
    QCheckBox* isPubHoliCheck_ = nullptr;
    QPushButton* holiOK_ = nullptr;
    QPushButton* holiCancel_ = nullptr;

    const THolidaySet* rule_ = nullptr;
    QString shownName_;
    std::string acceptedName_;
    bool unreadableTold_ = false;  // the note on unreadable bytes is said once per dialog
};

}  // namespace sorvel
