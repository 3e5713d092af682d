#pragma once
// The controls the settings dialogs build alike: the calendar's own settings dialog and the
// dialogs of a layout page's objects. Named controls, a number edit with its up-down, the
// colour choice, the group that shows one text of the calendar (hide it, its shadow, its font)
// and the font choice behind that group's button.
#include <cstdint>
#include <optional>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMargins>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

#include "settings/setting_apply.h"

class QComboBox;
class QGridLayout;
class QGroupBox;

namespace sorvel::form_parts {

template <typename T>
T* named(T* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

inline QCheckBox* checkBox(const char* name, const char* text, QWidget* parent) {
    return named(new QCheckBox(QString::fromUtf8(text), parent), name);
}

inline QRadioButton* radio(const char* name, const char* text, QWidget* parent) {
    return named(new QRadioButton(QString::fromUtf8(text), parent), name);
}

inline QLabel* label(const char* text, QWidget* parent) { return new QLabel(QString::fromUtf8(text), parent); }

// A push button that Enter in a field does not press.
inline QPushButton* button(const char* name, const char* text, QWidget* parent) {
    auto* b = named(new QPushButton(QString::fromUtf8(text), parent), name);
    b->setAutoDefault(false);
    return b;
}

// A number edit with its up-down control, which speeds up while held (a year is a long way
// from another): the spin box carries the up-down's name, its edit the edit's name.
inline QSpinBox* spinEdit(const char* spinName, const char* editName, int low, int high, QWidget* parent) {
    auto* spin = named(new QSpinBox(parent), spinName);
    spin->setRange(low, high);
    spin->setGroupSeparatorShown(false);
    spin->setAccelerated(true);
    if (auto* edit = spin->findChild<QLineEdit*>()) edit->setObjectName(QString::fromLatin1(editName));
    return spin;
}

inline QLineEdit* editOf(const QSpinBox* spin) { return spin->findChild<QLineEdit*>(); }

// The text in the label, cut with an ellipsis to width; the whole text in the tooltip.
inline void showElided(QLabel* label, const QString& text, Qt::TextElideMode mode, int width) {
    label->setText(label->fontMetrics().elidedText(text, mode, width));
    label->setToolTip(text);
}

// The group "表示年月": the year's and the month's number edits (named yearSpin/yearEdit,
// monthSpin/monthEdit), each followed by its unit.
struct YearMonthNames {
    const char* yearSpin;
    const char* yearEdit;
    const char* monthSpin;
    const char* monthEdit;
};
struct YearMonth {
    QGroupBox* group;
    QSpinBox* year;
    QSpinBox* month;
};
YearMonth yearMonthGroup(const YearMonthNames& names, int lowYear, int highYear, QWidget* parent);

// The group "色設定": a day kind "は" a colour. The day kinds are those of the colour slots
// 0–13 and "平日" (item 14); the ten colours have a swatch each, in colour-index order.
struct ColourChoice {
    QGroupBox* group;
    QComboBox* dayKind;
    QComboBox* colour;
};
ColourChoice colourChoice(const char* dayKindName, const char* colourName, QWidget* parent);

// One text of the calendar (the year, the month, the weekday names): a group with "hide it"
// and "影をつける" on one row, the font's face and the button that changes it on the next.
// Further rows (the notation) go below them in rows.
struct NotationNames {
    const char* title;
    const char* hide;
    const char* hideText;
    const char* shadow;
    const char* fontName;
    const char* fontSet;
};
// How a dialog sets such a group out: the button's caption, the face label's fixed width (0:
// the label takes the row's room), the margins and spacing inside the group.
struct NotationLook {
    const char* fontSetText;
    int fontNameWidth;
    QMargins margins;
    int horizontalSpacing;
    int verticalSpacing;
};
struct NotationGroup {
    QGroupBox* group;
    QGridLayout* rows;
    QCheckBox* hide;
    QCheckBox* shadow;
    QLabel* fontName;
    QPushButton* fontSet;
};
NotationGroup notationGroup(const NotationNames& names, const NotationLook& look, QWidget* parent);

// The font dialog, preset with the face the calendar draws the working font with (and a point
// size when pointSize is given, else 12); a confirmed choice becomes the working font (and
// size). The face chosen when it was taken.
std::optional<QString> chooseFont(FontWork& font, std::int32_t* pointSize);

// A font's face in its label, cut with an ellipsis where it is too long; the whole face in the
// tooltip.
void showFontName(QLabel* label, const FontWork& font);

}  // namespace sorvel::form_parts
