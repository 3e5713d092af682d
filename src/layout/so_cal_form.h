#pragma once
// "設定-カレンダー": the dialog that edits the appearance settings of a calendar object of a
// layout page: the year and month shown, the general flags, the colours by day kind, the year,
// month and weekday-name display with fonts and shadows, and the wallpaper. What it computes
// lives in object_settings.h.
#include <QDialog>

#include "layout/object_settings.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace sorvel {

class TCalenderSet;

class TSoCalForm : public QDialog {
    Q_OBJECT
public:
    explicit TSoCalForm(QWidget* owner = nullptr);
    ~TSoCalForm() override;

    // Fills the controls from the settings, shows the dialog modally and writes the settings
    // back when "確定" closed it. A wallpaper chosen meanwhile is kept either way. Returns 1
    // when the dialog has closed.
    int Execute(TCalenderSet& cs);

private:
    void fill();
    CalFormValues controlValues() const;
    void OKButtonClick();
    void DayComboChange();
    void ColorComboChange();
    void WallPaperButtonClick();
    void fontSetClick(FontWork CalFormValues::*font, QLabel* label);

    TCalenderSet* cs_ = nullptr;
    CalFormValues work_;  // the working copies: colour slots and fonts

    QSpinBox* yearUD_ = nullptr;
    QSpinBox* monthUD_ = nullptr;
    QCheckBox* isWallPaper_ = nullptr;
    QCheckBox* colorToday_ = nullptr;
    QCheckBox* memoColor_ = nullptr;
    QCheckBox* holidayColor_ = nullptr;
    QComboBox* dayCombo_ = nullptr;
    QComboBox* colorCombo_ = nullptr;
    QCheckBox* noDrawYear_ = nullptr;
    QCheckBox* noDrawMonth_ = nullptr;
    QCheckBox* noDrawDayName_ = nullptr;
    QCheckBox* yearShadow_ = nullptr;
    QCheckBox* monthShadow_ = nullptr;
    QCheckBox* dayShadow_ = nullptr;
    QLabel* yearFontLabel_ = nullptr;
    QLabel* monthFontLabel_ = nullptr;
    QLabel* dayFontLabel_ = nullptr;
    QComboBox* monthStyle_ = nullptr;
    QComboBox* dayStyle_ = nullptr;
    QPushButton* okButton_ = nullptr;
    QPushButton* canButton_ = nullptr;
};

}  // namespace sorvel
