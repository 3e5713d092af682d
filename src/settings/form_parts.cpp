#include "settings/form_parts.h"

#include <algorithm>

#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPainter>
#include <QPixmap>

#include "platform/gdi.h"
#include "platform/text.h"
#include "platform/ui.h"
#include "settings/colour_table.h"

namespace sorvel::form_parts {

namespace {

const char* const kDayItems[] = {"休日",   "祝日",   "予定日", "今日", "日曜日", "土曜日", "月曜日", "火曜日",
                                 "水曜日", "木曜日", "金曜日", "年",   "月",     "背景",   "平日"};
const char* const kColourItems[] = {"白", "黒", "赤", "青", "黄", "緑", "紫", "銀", "赤紫", "紺"};

void addDayKindItems(QComboBox* box) {
    for (const char* item : kDayItems) box->addItem(QString::fromUtf8(item));
}

void addColourItems(QComboBox* box) {
    for (std::size_t i = 0; i < std::size(kColourItems); ++i) {
        QPixmap swatch(12, 12);
        swatch.fill(QColor::fromRgb(kColourTable[i]));
        QPainter(&swatch).drawRect(0, 0, 11, 11);
        box->addItem(QIcon(swatch), QString::fromUtf8(kColourItems[i]));
    }
}

}  // namespace

YearMonth yearMonthGroup(const YearMonthNames& names, int lowYear, int highYear, QWidget* parent) {
    YearMonth d{};
    d.group = new QGroupBox(QStringLiteral("表示年月"), parent);
    d.year = spinEdit(names.yearSpin, names.yearEdit, lowYear, highYear, d.group);
    d.month = spinEdit(names.monthSpin, names.monthEdit, kMinMonth, kMaxMonth, d.group);
    d.year->setAccessibleName(QStringLiteral("表示年"));
    d.month->setAccessibleName(QStringLiteral("表示月"));
    auto* row = new QHBoxLayout(d.group);
    row->setContentsMargins(6, 2, 6, 4);
    row->addWidget(d.year);
    row->addWidget(label("年", d.group));
    row->addSpacing(8);
    row->addWidget(d.month);
    row->addWidget(label("月", d.group));
    row->addStretch(1);
    return d;
}

ColourChoice colourChoice(const char* dayKindName, const char* colourName, QWidget* parent) {
    ColourChoice c{};
    c.group = new QGroupBox(QStringLiteral("色設定"), parent);
    c.dayKind = named(new QComboBox(c.group), dayKindName);
    addDayKindItems(c.dayKind);
    c.colour = named(new QComboBox(c.group), colourName);
    addColourItems(c.colour);
    auto* row = new QHBoxLayout(c.group);
    row->setContentsMargins(6, 2, 6, 4);
    row->addWidget(c.dayKind, 1);
    row->addWidget(label("は", c.group));
    row->addWidget(c.colour, 1);
    return c;
}

NotationGroup notationGroup(const NotationNames& names, const NotationLook& look, QWidget* parent) {
    NotationGroup g{};
    g.group = new QGroupBox(QString::fromUtf8(names.title), parent);
    g.hide = checkBox(names.hide, names.hideText, g.group);
    g.shadow = checkBox(names.shadow, "影をつける", g.group);
    g.fontName = named(new QLabel(g.group), names.fontName);
    g.fontName->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    if (look.fontNameWidth > 0)
        g.fontName->setFixedWidth(look.fontNameWidth);
    else
        g.fontName->setMinimumWidth(1);
    g.fontSet = button(names.fontSet, look.fontSetText, g.group);
    g.rows = new QGridLayout(g.group);
    g.rows->setContentsMargins(look.margins);
    g.rows->setHorizontalSpacing(look.horizontalSpacing);
    g.rows->setVerticalSpacing(look.verticalSpacing);
    auto* checks = new QHBoxLayout;
    checks->addWidget(g.hide);
    checks->addStretch(1);
    checks->addWidget(g.shadow);
    g.rows->addLayout(checks, 0, 0);
    auto* fontRow = new QHBoxLayout;
    if (look.fontNameWidth > 0) {
        fontRow->addWidget(g.fontName);
        fontRow->addStretch(1);
    } else {
        fontRow->addWidget(g.fontName, 1);
    }
    fontRow->addWidget(g.fontSet);
    g.rows->addLayout(fontRow, 1, 0);
    return g;
}

std::optional<QString> chooseFont(FontWork& font, std::int32_t* pointSize) {
    const QString preset = Font::familyFor(font.face, font.charSet);
    const int size = pointSize ? *pointSize : 12;
    std::optional<UiService::ChosenFont> chosen;
    if (pointSize) {
        chosen = ui().chooseFontAndSize(preset, size);
    } else if (auto face = ui().chooseFont(preset, size)) {
        chosen = UiService::ChosenFont{*face, size};
    }
    if (!chosen) return std::nullopt;
    const bool japanese = QFontDatabase::writingSystems(chosen->face).contains(QFontDatabase::Japanese);
    if (!takeChosenFont(font, chosen->face, japanese)) return std::nullopt;
    if (pointSize && chosen->pointSize > 0) *pointSize = chosen->pointSize;
    return chosen->face;
}

void showFontName(QLabel* label, const FontWork& font) {
    showElided(label, toQString(font.face), Qt::ElideRight, std::max(label->width() - 6, 40));
}

}  // namespace sorvel::form_parts
