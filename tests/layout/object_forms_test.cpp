// The settings dialogs of the layout objects, driven as a person drives them: modal, controls
// found by name, every message and file or font choice through the scripted ui service.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include "layout/object_settings.h"
#include "layout/so_cal_form.h"
#include "layout/so_pic.h"
#include "layout/so_pic_form.h"
#include "layout/so_tex.h"
#include "layout/so_tex_form.h"
#include "layout/sorvel_obj.h"
#include "platform/text.h"
#include "platform/ui.h"
#include "support/scripted_ui.h"
#include "settings/calender_set.h"

namespace sorvel {
namespace {

template <typename T = QWidget>
T* find(QWidget& dialog, const char* name) {
    T* w = dialog.findChild<T*>(QString::fromLatin1(name));
    if (!w) ADD_FAILURE() << "no control " << name;
    return w;
}

void choose(QComboBox* box, int index) {
    box->setCurrentIndex(index);
    emit box->activated(index);
}

void click(QWidget& dialog, const char* name) { find<QPushButton>(dialog, name)->click(); }

// Runs steps on the modal dialog that opens next; one they leave open is cancelled.
void whileModal(const std::function<void(QDialog&)>& steps) {
    QTimer::singleShot(0, [steps] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        steps(*dialog);
        if (dialog->isVisible()) dialog->reject();
    });
}

const RecordedMessage kNotAnInteger{QStringLiteral("'x9' は整数ではありません"), QStringLiteral("Sorvel"),
                                    MsgButtons::Ok};

// ---- Storing the calendar settings: the year and month rule and the order -----------------

TEST(CalFormStoring, YearAndMonthOutOfRangeAreLeftAndANonNumberStopsTheRest) {
    struct Case {
        const char* year;
        const char* month;
        std::int32_t wantYear, wantMonth;
        bool complete;  // the colours and what follows were stored
    };
    const Case cases[] = {
        {"0", "13", 2001, 9, true},      {"1999", "13", 1999, 9, true}, {"0", "3", 2001, 3, true},
        {"9999", "12", 9999, 12, true},  {"10000", "0", 2001, 9, true}, {"-5", "1", 2001, 1, true},
        {"x9", "3", 2001, 9, false},     {"1999", "x9", 1999, 9, false},
    };
    for (const Case& c : cases) {
        ScriptedUi ui;
        TCalenderSet cs;
        cs.DispYear = 2001;
        cs.DispMonth = 9;
        const std::int32_t background = cs.Cl[kSlotBackground];
        ASSERT_NE(background, 8);
        CalFormValues v = fillCalForm(cs);
        v.colorToday = true;
        v.yearText = QString::fromLatin1(c.year);
        v.monthText = QString::fromLatin1(c.month);
        v.colours[kSlotBackground] = 8;
        v.dayShadow = false;
        EXPECT_EQ(applyCalForm(v, cs), c.complete) << c.year << "/" << c.month;
        EXPECT_EQ(cs.TodayColoring, 1) << c.year << "/" << c.month;  // stored before the year
        EXPECT_EQ(cs.DispYear, c.wantYear) << c.year << "/" << c.month;
        EXPECT_EQ(cs.DispMonth, c.wantMonth) << c.year << "/" << c.month;
        EXPECT_EQ(cs.Cl[kSlotBackground], c.complete ? 8 : background) << c.year << "/" << c.month;
        EXPECT_EQ(cs.DayShadow, c.complete ? 0 : 1) << c.year << "/" << c.month;
        EXPECT_EQ(ui.messages, c.complete ? std::vector<RecordedMessage>{} : std::vector{kNotAnInteger});
    }
}

// ---- The calendar dialog ------------------------------------------------------------------

class CalFormTest : public ::testing::Test {
protected:
    CalFormTest() {
        cs.DispYear = 2001;
        cs.DispMonth = 9;
        cs.Cl = {3, 2, 1, 4, 5, 6, 1, 1, 1, 1, 1, 7, 8, 0, 0};
        cs.YearFontName = sjis("ＭＳ 明朝");
        cs.MonthStyle = 1;
        cs.DayStyle = 1;
        cs.MemoColoring = 0;
        cs.WallPaperName = "old.bmp";
    }
    void run(const std::function<void(QDialog&)>& steps) {
        whileModal(steps);
        TSoCalForm form;
        EXPECT_EQ(form.Execute(cs), 1);
    }
    ScriptedUi ui;
    TCalenderSet cs;
};

TEST_F(CalFormTest, OpensFilledFromTheSettings) {
    run([](QDialog& f) {
        EXPECT_EQ(f.windowTitle(), QStringLiteral("設定-カレンダー"));
        EXPECT_EQ(f.size(), QSize(314, 440));
        EXPECT_EQ(find<QLineEdit>(f, "YearEdit")->text(), QStringLiteral("2001"));
        EXPECT_EQ(find<QLineEdit>(f, "MonthEdit")->text(), QStringLiteral("9"));
        EXPECT_EQ(find<QComboBox>(f, "DayCombo")->currentText(), QStringLiteral("休日"));
        EXPECT_EQ(find<QComboBox>(f, "ColorCombo")->currentText(), QStringLiteral("青"));
        EXPECT_FALSE(find<QCheckBox>(f, "MemoColorCB")->isChecked());
        EXPECT_TRUE(find<QCheckBox>(f, "HolidayColorCB")->isChecked());
        EXPECT_TRUE(find<QCheckBox>(f, "YearShadowCB")->isChecked());
        EXPECT_EQ(find<QLabel>(f, "YearFontLabel")->toolTip(), QStringLiteral("ＭＳ 明朝"));
        EXPECT_EQ(find<QComboBox>(f, "MonthStyleCoB")->currentText(), QStringLiteral("日本語"));
        EXPECT_EQ(find<QComboBox>(f, "DayStyleCoB")->currentText(), QStringLiteral("英語"));
    });
}

// The fixed client area holds every group whole, and no caption is cut.
TEST_F(CalFormTest, GroupsFitTheClientAreaAndCaptionsAreWhole) {
    run([](QDialog& f) {
        for (QGroupBox* g : f.findChildren<QGroupBox*>()) {
            EXPECT_TRUE(f.rect().contains(g->geometry())) << g->title().toStdString();
            EXPECT_GE(g->height(), g->layout()->minimumSize().height()) << g->title().toStdString();
            EXPECT_GE(g->width(), g->layout()->minimumSize().width()) << g->title().toStdString();
        }
        for (QAbstractButton* b : f.findChildren<QAbstractButton*>())
            EXPECT_GE(b->width(), b->sizeHint().width()) << b->text().toStdString();
    });
}

TEST_F(CalFormTest, WeekdayColourMonthThirteenYearZeroAndAFontAreStoredOnConfirm) {
    ui.fontAnswers = {QStringLiteral("IPAGothic")};
    run([](QDialog& f) {
        auto* day = find<QComboBox>(f, "DayCombo");
        auto* colour = find<QComboBox>(f, "ColorCombo");
        choose(day, 14);  // 平日
        EXPECT_EQ(colour->currentText(), QStringLiteral("黒"));  // Monday's
        choose(colour, 2);                                      // 赤
        choose(day, 7);                                         // 火曜日
        EXPECT_EQ(colour->currentText(), QStringLiteral("赤"));
        find<QLineEdit>(f, "YearEdit")->setText(QStringLiteral("0"));
        find<QLineEdit>(f, "MonthEdit")->setText(QStringLiteral("13"));
        click(f, "DayFontSet");
        EXPECT_EQ(find<QLabel>(f, "DayFontLabel")->toolTip(), QStringLiteral("IPAGothic"));
        find<QCheckBox>(f, "NoDrawMonthCB")->setChecked(true);
        choose(find<QComboBox>(f, "MonthStyleCoB"), 2);
        click(f, "OKButton");
    });
    EXPECT_EQ(cs.Cl, (std::array<std::int32_t, kColourSlots>{3, 2, 1, 4, 5, 6, 2, 2, 2, 2, 2, 7, 8, 0, 0}));
    EXPECT_EQ(cs.DispYear, 2001);
    EXPECT_EQ(cs.DispMonth, 9);
    EXPECT_EQ(cs.FontName, "IPAGothic");
    EXPECT_EQ(cs.FontCharSet, 128);
    EXPECT_EQ(cs.NoDrawMonth, 1);
    EXPECT_EQ(cs.MonthStyle, 2);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(CalFormTest, AWallpaperChosenStaysAfterCancelButTheFlagDoesNot) {
    ui.fileAnswers = {QStringLiteral("/tmp/new.jpg")};
    run([](QDialog& f) {
        find<QCheckBox>(f, "HolidayColorCB")->setChecked(false);
        click(f, "WallPaperButton");
        EXPECT_TRUE(find<QCheckBox>(f, "IsWallPaperCB")->isChecked());
        click(f, "CanButton");
    });
    ASSERT_EQ(ui.fileRequests.size(), 1u);
    EXPECT_EQ(ui.fileRequests[0].initialPath, QStringLiteral("old.bmp"));
    EXPECT_EQ(cs.WallPaperName, "/tmp/new.jpg");
    EXPECT_EQ(cs.IsWallPaper, 0);
    EXPECT_EQ(cs.HolidayColoring, 1);
}

// ---- The picture dialog -------------------------------------------------------------------

TEST(PicForm, AChosenOrTypedNameIsStoredOnlyOnConfirm) {
    ScriptedUi ui;
    TSoPic pic;
    pic.FileName = "a.bmp";
    ui.fileAnswers = {QStringLiteral("/tmp/b.jpg")};
    auto run = [&](const std::function<void(QDialog&)>& steps) {
        whileModal(steps);
        TSoPicForm form;
        EXPECT_EQ(form.Execute(pic), 1);
    };
    run([](QDialog& f) {
        EXPECT_EQ(f.windowTitle(), QStringLiteral("設定-ピクチャー"));
        EXPECT_EQ(f.size(), QSize(294, 143));
        EXPECT_EQ(find<QLineEdit>(f, "FileNameEdit")->text(), QStringLiteral("a.bmp"));
        click(f, "GFileButton");
        EXPECT_EQ(find<QLineEdit>(f, "FileNameEdit")->text(), QStringLiteral("/tmp/b.jpg"));
        click(f, "CanButton");
    });
    EXPECT_EQ(pic.FileName, "a.bmp");
    run([](QDialog& f) {
        find<QLineEdit>(f, "FileNameEdit")->setText(QStringLiteral("c😀.bmp"));
        click(f, "OKButton");
        EXPECT_TRUE(f.isVisible());  // refused
        find<QLineEdit>(f, "FileNameEdit")->clear();
        click(f, "OKButton");
    });
    EXPECT_EQ(pic.FileName, "");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(ui.messages[0].text.contains(QStringLiteral("😀")));
}

// ---- The text dialog, run from its object -------------------------------------------------

TEST(TexForm, TextOverlayFontAndSizeAreStoredOnConfirmAndTheObjectRedrawsEitherWay) {
    ScriptedUi ui;
    TSorvelObj obj(kObjText, ObjRect{0, 0, 100, 60}, 1.0f);
    TSoTex& tex = *obj.text();
    tex.Text = "A\r\nB";
    tex.Overlay = 1;
    tex.FontName = "Arial";
    tex.FontCharSet = 0;
    tex.FontSize = 12;
    obj.NeedsRender = 0;
    whileModal([](QDialog& f) {
        EXPECT_EQ(f.windowTitle(), QStringLiteral("設定-テキスト"));
        EXPECT_EQ(f.size(), QSize(301, 327));
        EXPECT_EQ(find<QPlainTextEdit>(f, "TextMemo")->toPlainText(), QStringLiteral("A\nB"));
        find<QPlainTextEdit>(f, "TextMemo")->setPlainText(QStringLiteral("X"));
        find<QCheckBox>(f, "XORCB")->setChecked(false);
        click(f, "CanButton");
    });
    EXPECT_EQ(obj.EditSettings(), 1);
    EXPECT_EQ(tex.Text, "A\r\nB");
    EXPECT_EQ(tex.Overlay, 1);
    EXPECT_EQ(obj.NeedsRender, 1);

    ui.fontAnswers = {QStringLiteral("IPAGothic")};
    ui.fontSizeAnswers = {20};
    whileModal([](QDialog& f) {
        EXPECT_TRUE(find<QCheckBox>(f, "XORCB")->isChecked());
        find<QPlainTextEdit>(f, "TextMemo")->appendPlainText(QStringLiteral("月"));
        find<QCheckBox>(f, "XORCB")->setChecked(false);
        click(f, "FontButton");
        click(f, "OKButton");
    });
    EXPECT_EQ(obj.EditSettings(), 1);
    EXPECT_EQ(ui.fontSizeRequests, std::vector<int>{12});
    EXPECT_EQ(tex.Text, "A\r\nB\r\n\x8C\x8E");
    EXPECT_EQ(tex.Overlay, 0);
    EXPECT_EQ(tex.FontName, "IPAGothic");
    EXPECT_EQ(tex.FontCharSet, 128);
    EXPECT_EQ(tex.FontSize, 20);
}

}  // namespace
}  // namespace sorvel
