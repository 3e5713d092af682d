#pragma once
// Small control builders shared by the settings dialogs of the layout objects.
#include <algorithm>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include "platform/text.h"
#include "settings/setting_apply.h"

namespace sorvel::object_form {

template <typename T>
T* named(T* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

inline QCheckBox* checkBox(const char* name, const char* text, QWidget* parent) {
    return named(new QCheckBox(QString::fromUtf8(text), parent), name);
}

inline QLabel* label(const char* text, QWidget* parent) { return new QLabel(QString::fromUtf8(text), parent); }

// A push button that Enter in a field does not press.
inline QPushButton* button(const char* name, const char* text, QWidget* parent) {
    auto* b = named(new QPushButton(QString::fromUtf8(text), parent), name);
    b->setAutoDefault(false);
    return b;
}

// A number edit with its up-down control: the spin box carries the up-down's name, its edit
// the edit's name.
inline QSpinBox* spinEdit(const char* spinName, const char* editName, int low, int high, QWidget* parent) {
    auto* spin = named(new QSpinBox(parent), spinName);
    spin->setRange(low, high);
    spin->setGroupSeparatorShown(false);
    if (auto* edit = spin->findChild<QLineEdit*>()) edit->setObjectName(QString::fromLatin1(editName));
    return spin;
}

inline QLineEdit* editOf(const QSpinBox* spin) { return spin->findChild<QLineEdit*>(); }

// A font's face in its label, cut with an ellipsis where it is too long; the whole face in the
// tooltip.
inline void showFontName(QLabel* label, const FontWork& font) {
    const QString face = toQString(font.face);
    const int width = std::max(label->width() - 6, 40);
    label->setText(label->fontMetrics().elidedText(face, Qt::ElideRight, width));
    label->setToolTip(face);
}

}  // namespace sorvel::object_form
