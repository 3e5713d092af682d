// The settings dialog driven as a person drives it: modal, its controls found by name, every
// message through the scripted ui service.
#include "settings/setting_form.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "app/main_form.h"
#include "data/data_file.h"
#include "platform/autostart.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/profile.h"
#include "platform/secret_store.h"
#include "platform/text.h"
#include "platform/ui.h"
#include "support/program_dir.h"
#include "support/scripted_ui.h"
#include "calendar/canvas_size.h"
#include "settings/calender_set.h"
#include "settings/sorvel_set.h"

namespace sorvel {
namespace {

template <typename T = QWidget>
T* find(QWidget& dialog, const char* name) {
    T* w = dialog.findChild<T*>(QString::fromLatin1(name));
    if (!w) ADD_FAILURE() << "no control " << name;
    return w;
}

QLineEdit* edit(QWidget& dialog, const char* name) { return find<QLineEdit>(dialog, name); }

// Activates an item of a drop-down list as a choice of the user's.
void choose(QComboBox* box, int index) {
    box->setCurrentIndex(index);
    emit box->activated(index);
}

// Runs steps while the dialog shows modally; a dialog they leave open is cancelled. Returns
// whether it was confirmed.
bool runModal(QDialog& dialog, const std::function<void()>& show, const std::function<void()>& steps) {
    QTimer::singleShot(0, &dialog, [&] {
        steps();
        if (dialog.isVisible()) dialog.reject();
    });
    show();
    return dialog.result() == QDialog::Accepted;
}

class SettingFormTest : public ::testing::Test {
protected:
    SettingFormTest() {
        cs.DispYear = 2001;
        cs.DispMonth = 9;
        cs.FontName = sjis("ＭＳ ゴシック");
        cs.YearFontName = sjis("ＭＳ 明朝");
        cs.MonthFontName = "Arial";
        cs.MonthFontChar = 0;
        cs.dateSet = TDateSet{0, 0, 100, 100, 7, 1};
        ss.MemoFileName = cp932FromPath(dir.filePath(QStringLiteral("Sorvel.dat")));
    }

    // Opens the dialog on cs and ss; returns whether it was confirmed.
    bool run(const std::function<void(TSettingForm&)>& steps) {
        TSettingForm form(nullptr, TSettingForm::DataFileCalls{[this] {
                                                                   ++saves;
                                                                   return SaveDataFile(ss.MemoFileName, dir.path(),
                                                                                       rules, memos);
                                                               },
                                                               [this] { loadedNames.push_back(ss.MemoFileName); }});
        int result = 0;
        const bool confirmed = runModal(form, [&] { result = form.Execute(cs, ss); }, [&] { steps(form); });
        EXPECT_EQ(result, 1);
        return confirmed;
    }

    QTemporaryDir dir;
    ScriptedUi ui;
    TCalenderSet cs;
    TSorvelSet ss;
    THolidayList rules;
    TDateMemoList memos;
    int saves = 0;
    std::vector<std::string> loadedNames;
};

// ---- Opening ------------------------------------------------------------------------------

TEST_F(SettingFormTest, OpensOnTheFirstPageFilledFromTheSettings) {
    cs.Cl[0] = 3;
    cs.MonthStyle = 1;
    cs.DispPercent = 50;
    ss.AdSorption = 1;
    ss.LengthAdsorp = 30;
    run([&](TSettingForm& f) {
        EXPECT_EQ(f.windowTitle(), QStringLiteral("Sorvelの設定"));
        EXPECT_EQ(f.size(), QSize(460, 371));
        EXPECT_EQ(find<QLabel>(f, "AlmanacNote")->text(), QStringLiteral("※日付の下の行は倍率 200% で表示"));
        EXPECT_TRUE(f.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        EXPECT_TRUE(f.font().families().contains(QStringLiteral("MS PGothic")));
        auto* pages = find<QTabWidget>(f, "SettingPage");
        EXPECT_EQ(pages->currentIndex(), 0);
        EXPECT_EQ((QStringList{pages->tabText(0), pages->tabText(1), pages->tabText(2)}),
                  (QStringList{"基本設定", "スタイル設定", "表示設定"}));
        EXPECT_EQ(find<QPushButton>(f, "se_ok")->text(), QStringLiteral("確定"));
        EXPECT_EQ(find<QPushButton>(f, "se_can")->text(), QStringLiteral("取消"));
        EXPECT_EQ(edit(f, "YearEdit")->text(), QStringLiteral("2001"));
        EXPECT_EQ(edit(f, "MonthEdit")->text(), QStringLiteral("9"));
        EXPECT_EQ(edit(f, "LengthAdsorp")->text(), QStringLiteral("30"));
        EXPECT_TRUE(find<QCheckBox>(f, "Adsorption")->isChecked());
        EXPECT_TRUE(find<QCheckBox>(f, "MemoColoring")->isChecked());
        EXPECT_FALSE(find<QCheckBox>(f, "WallPaper")->isChecked());
        EXPECT_EQ(find<QCheckBox>(f, "NationalHolidays")->text(), QStringLiteral("国民の祝日を表示する"));
        EXPECT_TRUE(find<QCheckBox>(f, "NationalHolidays")->isChecked());
        EXPECT_EQ(find<QCheckBox>(f, "EraYear")->text(), QStringLiteral("年を和暦で表示する"));
        EXPECT_FALSE(find<QCheckBox>(f, "EraYear")->isChecked());
        EXPECT_EQ(find<QComboBox>(f, "DayComboBox")->currentText(), QStringLiteral("休日"));
        EXPECT_EQ(find<QComboBox>(f, "ColorComboBox")->currentText(), QStringLiteral("青"));
        EXPECT_EQ(find<QLabel>(f, "Label5")->toolTip(), dir.filePath(QStringLiteral("Sorvel.dat")));
        EXPECT_EQ(find<QLabel>(f, "YearFontName")->text(), QStringLiteral("ＭＳ 明朝"));
        EXPECT_EQ(find<QLabel>(f, "DayFontName")->text(), QStringLiteral("ＭＳ ゴシック"));
        EXPECT_TRUE(find<QRadioButton>(f, "MonthJap")->isChecked());
        EXPECT_TRUE(find<QRadioButton>(f, "DayJap")->isChecked());
        EXPECT_EQ(find<QComboBox>(f, "PerComboBox")->currentText(), QStringLiteral("50"));
        EXPECT_EQ(find<QScrollBar>(f, "WScrollBar")->value(), 100);
        EXPECT_EQ(edit(f, "NumMonthEdit")->text(), QStringLiteral("7"));
        EXPECT_TRUE(find<QRadioButton>(f, "HeightRadio")->isChecked());
        EXPECT_FALSE(find<QRadioButton>(f, "SqRadio")->isEnabled());
    });
}

// Captions whole and controls apart, on each page as it is shown.
TEST_F(SettingFormTest, CaptionsFitAndControlsDoNotOverlap) {
    run([&](TSettingForm& f) {
        auto* pages = find<QTabWidget>(f, "SettingPage");
        for (int i = 0; i < pages->count(); ++i) {
            pages->setCurrentIndex(i);
            QApplication::processEvents();
            QWidget* page = pages->widget(i);
            const QList<QWidget*> all = page->findChildren<QWidget*>();
            for (QWidget* w : all) {
                if (!w->isVisible()) continue;
                const QString what = w->objectName() + " " + w->metaObject()->className();
                const QRect inParent = QRect(QPoint(0, 0), w->parentWidget()->size());
                EXPECT_TRUE(inParent.contains(w->geometry())) << what.toStdString() << " on page " << i;
                const bool elided = w->objectName().endsWith("FontName") || w->objectName() == "Label5";
                if ((qobject_cast<QLabel*>(w) || qobject_cast<QAbstractButton*>(w)) && !elided) {
                    EXPECT_GE(w->width(), w->sizeHint().width()) << what.toStdString() << " on page " << i;
                }
                for (QWidget* other : all) {
                    if (other == w || !other->isVisible() || other->parentWidget() != w->parentWidget()) continue;
                    if (w->parentWidget()->inherits("QAbstractSpinBox") || w->parentWidget()->inherits("QComboBox"))
                        continue;
                    EXPECT_FALSE(w->geometry().intersects(other->geometry()))
                        << what.toStdString() << " / " << other->objectName().toStdString() << " on page " << i;
                }
            }
            EXPECT_GE(page->height(), page->layout() ? page->layout()->minimumSize().height() : 0) << i;
        }
    });
}

TEST_F(SettingFormTest, StartAtLoginWritesAndRemovesTheAutostartEntry) {
    const QString entry = autostartPath();
    ASSERT_TRUE(run([&](TSettingForm& f) {
        auto* box = find<QCheckBox>(f, "Autostart");
        EXPECT_EQ(box->text(), QStringLiteral("ログイン時に起動する"));
        EXPECT_FALSE(box->isChecked());
        box->setChecked(true);
        find<QPushButton>(f, "se_ok")->click();
    }));
    const std::string written = readWholeFile(entry).value_or("");
    EXPECT_NE(written.find("\nExec=" + QCoreApplication::applicationFilePath().toStdString() + "\n"), std::string::npos)
        << written;
    // Read back from the file at the next opening; cleared, the entry goes.
    run([&](TSettingForm& f) {
        auto* box = find<QCheckBox>(f, "Autostart");
        EXPECT_TRUE(box->isChecked());
        box->setChecked(false);
        find<QPushButton>(f, "se_ok")->click();
    });
    EXPECT_FALSE(QFile::exists(entry));
    EXPECT_TRUE(ui.messages.empty());
}

// ---- Colours, fonts, data file ------------------------------------------------------------

TEST_F(SettingFormTest, WeekdayColourSetsMondayToFridayAndShowsMondaysColour) {
    EXPECT_TRUE(run([&](TSettingForm& f) {
        auto* day = find<QComboBox>(f, "DayComboBox");
        auto* colour = find<QComboBox>(f, "ColorComboBox");
        EXPECT_EQ(day->itemText(14), QStringLiteral("平日"));
        choose(day, 14);
        choose(colour, 9);  // 紺
        choose(day, 6);     // 月曜日 alone
        EXPECT_EQ(colour->currentIndex(), 9);
        choose(colour, 5);
        choose(day, 14);
        EXPECT_EQ(colour->currentText(), QStringLiteral("緑"));  // Monday's
        choose(day, 4);
        EXPECT_EQ(colour->currentIndex(), 2);  // Sunday untouched
        find<QPushButton>(f, "se_ok")->click();
    }));
    EXPECT_EQ((std::array{cs.Cl[4], cs.Cl[5], cs.Cl[6], cs.Cl[7], cs.Cl[8], cs.Cl[9], cs.Cl[10], cs.Cl[11]}),
              (std::array{2, 3, 5, 9, 9, 9, 9, 0}));
}

TEST_F(SettingFormTest, FontsComeFromTheFontDialogWithTheirCharacterSet) {
    ui.fontAnswers = {QStringLiteral("IPAGothic"), std::nullopt, QStringLiteral("DejaVu Sans")};
    EXPECT_TRUE(run([&](TSettingForm& f) {
        find<QPushButton>(f, "YearFontSet")->click();
        find<QPushButton>(f, "MonthFontSet")->click();  // cancelled
        find<QPushButton>(f, "DayFontSet")->click();
        EXPECT_EQ(find<QLabel>(f, "YearFontName")->text(), QStringLiteral("IPAGothic"));
        EXPECT_EQ(find<QLabel>(f, "MonthFontName")->text(), QStringLiteral("Arial"));
        EXPECT_EQ(find<QLabel>(f, "DayFontName")->text(), QStringLiteral("DejaVu Sans"));
        find<QPushButton>(f, "se_ok")->click();
    }));
    // Each dialog opens on the face the calendar draws with: the IPA face for a Windows one.
    ASSERT_EQ(ui.fontRequests.size(), 3);
    EXPECT_EQ(ui.fontRequests[0], QStringLiteral("IPAMincho"));
    EXPECT_EQ(ui.fontRequests[2], QStringLiteral("IPAGothic"));
    EXPECT_EQ(cs.YearFontName, "IPAGothic");
    EXPECT_EQ(cs.YearFontChar, 128);
    EXPECT_EQ(cs.MonthFontName, "Arial");
    EXPECT_EQ(cs.MonthFontChar, 0);
    EXPECT_EQ(cs.FontName, "DejaVu Sans");
    EXPECT_EQ(cs.FontCharSet, 0);
}

TEST_F(SettingFormTest, CancelAfterChangingTheFileKeepsTheNameButTheDataWereWritten) {
    const std::string oldName = ss.MemoFileName;
    memos.push_back(std::make_unique<TDateMemo>(TDateMemo{2001, 9, 23, sjis("内容"), sjis("秋分")}));
    const QString other = dir.filePath(QStringLiteral("別の.dat"));
    ui.fileAnswers = {other};
    EXPECT_FALSE(run([&](TSettingForm& f) {
        find<QPushButton>(f, "FileSelect")->click();
        EXPECT_EQ(find<QLabel>(f, "Label5")->toolTip(), other);
        find<QPushButton>(f, "se_can")->click();
    }));
    EXPECT_EQ(ss.MemoFileName, oldName);
    EXPECT_TRUE(loadedNames.empty());
    EXPECT_EQ(saves, 1);
    const auto written = readWholeFile(pathFromCp932(oldName));
    ASSERT_TRUE(written);
    EXPECT_NE(written->find(sjis("秋分")), std::string::npos);
    EXPECT_EQ(ui.fileRequests.at(0).initialPath, pathFromCp932(oldName));
}

// ---- Number of months, arrangement, preview, scroll bars ------------------------------------

TEST_F(SettingFormTest, NumberOfMonthsEnablesTheArrangementButtons) {
    cs.dateSet.DrawStyle = 2;
    EXPECT_TRUE(run([&](TSettingForm& f) {
        auto* months = find<QSpinBox>(f, "NumMonthUD");
        auto* height = find<QRadioButton>(f, "HeightRadio");
        auto* width = find<QRadioButton>(f, "WidthRadio");
        auto* square = find<QRadioButton>(f, "SqRadio");
        EXPECT_EQ(square->text(), QStringLiteral("四角配置（4ヶ月のみ）"));
        months->setValue(4);
        EXPECT_TRUE(square->isEnabled());
        square->click();
        EXPECT_TRUE(square->isChecked());
        QTest::keyClick(months, Qt::Key_Up);  // 5
        EXPECT_EQ(edit(f, "NumMonthEdit")->text(), QStringLiteral("5"));
        EXPECT_FALSE(square->isEnabled());
        EXPECT_FALSE(square->isChecked());
        EXPECT_TRUE(width->isChecked());
        months->setValue(1);
        EXPECT_FALSE(height->isEnabled() || width->isEnabled() || square->isEnabled());
        // Emptied while typing: nothing changes and no message interrupts.
        edit(f, "NumMonthEdit")->clear();
        EXPECT_TRUE(ui.messages.empty());
        EXPECT_FALSE(height->isEnabled());
        months->setValue(3);
        EXPECT_TRUE(height->isEnabled() && width->isEnabled());
        find<QPushButton>(f, "se_ok")->click();
    }));
    EXPECT_EQ(cs.dateSet.NumberOfMonth, 3);
    EXPECT_EQ(cs.dateSet.DrawStyle, 2);
}

QImage previewOf(TSettingForm& f) { return find<QLabel>(f, "DayImage")->pixmap().toImage(); }

TEST_F(SettingFormTest, PreviewShowsTheAreaAndTheLinesBetweenTheMonths) {
    // 640 × 480 canvas: scaled to 180 × 135 from y 2; seven months in three columns of three.
    run([&](TSettingForm& f) {
        QImage img = previewOf(f);
        ASSERT_EQ(img.size(), QSize(180, 140));
        const QRgb black = qRgb(0, 0, 0), yellow = qRgb(255, 255, 0);
        EXPECT_EQ(img.pixel(59, 20), black);   // first column line
        EXPECT_EQ(img.pixel(119, 120), black);  // second, across the full height
        EXPECT_EQ(img.pixel(30, 47), black);   // one third
        EXPECT_EQ(img.pixel(150, 92), black);  // two thirds
        EXPECT_EQ(img.pixel(30, 30), yellow);

        // One month: no lines in the area.
        find<QSpinBox>(f, "NumMonthUD")->setValue(1);
        img = previewOf(f);
        for (int x = 1; x < 179; ++x)
            for (int y = 3; y < 136; ++y) ASSERT_EQ(img.pixel(x, y), yellow) << x << "," << y;

        // The area follows the bars; the canvas around it is blue.
        find<QScrollBar>(f, "XScrollBar")->setValue(50);
        find<QScrollBar>(f, "HScrollBar")->setValue(50);
        img = previewOf(f);
        EXPECT_EQ(img.pixel(40, 40), qRgb(0, 0, 255));
        EXPECT_EQ(img.pixel(120, 40), yellow);
        EXPECT_EQ(img.pixel(120, 100), qRgb(0, 0, 255));
    });
}

TEST_F(SettingFormTest, RightAndBottomBarsNeverPassLeftAndTop) {
    cs.dateSet = TDateSet{10, 20, 60, 50, 1, 1};
    EXPECT_TRUE(run([&](TSettingForm& f) {
        auto* x = find<QScrollBar>(f, "XScrollBar");
        auto* y = find<QScrollBar>(f, "YScrollBar");
        auto* w = find<QScrollBar>(f, "WScrollBar");
        auto* h = find<QScrollBar>(f, "HScrollBar");
        EXPECT_EQ((std::array{x->value(), y->value(), w->value(), h->value()}), (std::array{10, 20, 70, 70}));
        x->setValue(85);  // pushes the right bar along
        EXPECT_EQ(w->value(), 85);
        h->setValue(5);  // pushes the top bar back
        EXPECT_EQ(y->value(), 5);
        // A page step of 5 from the end.
        w->triggerAction(QAbstractSlider::SliderPageStepSub);
        EXPECT_EQ(w->value(), 80);
        EXPECT_EQ(x->value(), 80);
        find<QPushButton>(f, "se_ok")->click();
    }));
    const TDateSet& ds = cs.dateSet;
    EXPECT_EQ((std::array<int, 4>{ds.X, ds.SX, ds.Y, ds.SY}), (std::array<int, 4>{80, 0, 5, 0}));
}

// ---- Keys, apply ----------------------------------------------------------------------------

TEST_F(SettingFormTest, EnterInAnyControlConfirmsAndEscapeCancels) {
    for (const char* control : {"YearEdit", "PerComboBox", "DayComboBox", "WallPaper", "XScrollBar", "FileSelect",
                                "NumMonthEdit", "SqRadio"}) {
        cs.IsWallPaper = 0;
        const bool confirmed = run([&](TSettingForm& f) {
            find<QCheckBox>(f, "WallPaper")->setChecked(true);
            QWidget* w = find(f, control);
            if (auto* box = qobject_cast<QComboBox*>(w); box && box->isEditable()) w = box->lineEdit();
            QTest::keyClick(w, Qt::Key_Return);
        });
        EXPECT_TRUE(confirmed) << control;
        EXPECT_EQ(cs.IsWallPaper, 1) << control;
        EXPECT_EQ(saves, 0) << control;  // Enter on "変更" confirms; it chooses no file

        cs.IsWallPaper = 0;
        EXPECT_FALSE(run([&](TSettingForm& f) {
            find<QCheckBox>(f, "WallPaper")->setChecked(true);
            QTest::keyClick(find(f, control), Qt::Key_Escape);
        })) << control;
        EXPECT_EQ(cs.IsWallPaper, 0) << control;
    }
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(SettingFormTest, YearZeroMonthThirteenAndDistanceFiftyAreIgnored) {
    ss.LengthAdsorp = 15;
    EXPECT_TRUE(run([&](TSettingForm& f) {
        edit(f, "YearEdit")->setText(QStringLiteral("0"));
        edit(f, "MonthEdit")->setText(QStringLiteral("13"));
        edit(f, "LengthAdsorp")->setText(QStringLiteral("50"));
        find<QCheckBox>(f, "NoDrawYear")->setChecked(true);
        QTest::keyClick(edit(f, "YearEdit"), Qt::Key_Return);
    }));
    EXPECT_EQ(cs.DispYear, 2001);
    EXPECT_EQ(cs.DispMonth, 9);
    EXPECT_EQ(ss.LengthAdsorp, 15);
    EXPECT_EQ(cs.NoDrawYear, 1);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(SettingFormTest, TypedValuesAreApplied) {
    EXPECT_TRUE(run([&](TSettingForm& f) {
        auto* year = edit(f, "YearEdit");
        year->selectAll();
        QTest::keyClicks(year, "1752");
        auto* zoom = find<QComboBox>(f, "PerComboBox");
        zoom->lineEdit()->selectAll();
        QTest::keyClicks(zoom->lineEdit(), "30");
        find<QRadioButton>(f, "MonthEng")->click();
        find<QRadioButton>(f, "DayEng")->click();
        find<QCheckBox>(f, "YearShadowCheck")->setChecked(false);
        find<QCheckBox>(f, "EraYear")->click();
        QTest::keyClick(zoom->lineEdit(), Qt::Key_Enter);
    }));
    EXPECT_EQ(ss.JapaneseEraYear, 1);
    EXPECT_EQ(cs.DispYear, 1752);
    EXPECT_EQ(cs.DispPercent, 30.0f);
    EXPECT_EQ(cs.MonthStyle, 2);
    EXPECT_EQ(cs.DayStyle, 1);
    EXPECT_EQ(cs.YearShadow, 0);
}

TEST_F(SettingFormTest, AlmanacBoxesStartOffAndAreKeptInTheBasicSettings) {
    ss.ShowOldCalendar = 1;
    EXPECT_TRUE(run([&](TSettingForm& f) {
        EXPECT_EQ(find<QGroupBox>(f, "AlmanacGroup")->title(), QStringLiteral("暦注"));
        EXPECT_EQ(find<QCheckBox>(f, "ShowRokuyo")->text(), QStringLiteral("六曜を表示する"));
        EXPECT_EQ(find<QCheckBox>(f, "ShowOldCalendar")->text(), QStringLiteral("旧暦を表示する"));
        EXPECT_EQ(find<QCheckBox>(f, "ShowSolarTerms")->text(), QStringLiteral("二十四節気・雑節を表示する"));
        EXPECT_FALSE(find<QCheckBox>(f, "ShowRokuyo")->isChecked());
        EXPECT_TRUE(find<QCheckBox>(f, "ShowOldCalendar")->isChecked());
        find<QCheckBox>(f, "ShowRokuyo")->click();
        find<QCheckBox>(f, "ShowOldCalendar")->click();
        find<QPushButton>(f, "se_ok")->click();
    }));
    EXPECT_EQ((std::array{ss.ShowRokuyo, ss.ShowOldCalendar, ss.ShowSolarTerms}), (std::array<std::uint8_t, 3>{1, 0, 0}));
}

TEST_F(SettingFormTest, SyncPageTakesTheSettingsKeepsThePasswordApartAndSyncsNow) {
    MemorySecretStore secrets;
    int syncs = 0;
    std::string urlAtSync;
    TSettingForm form(nullptr, TSettingForm::DataFileCalls{[] { return 1; }, [] {}});
    form.setSyncCalls(TSettingForm::SyncCalls{&secrets, [&] {
                                                  ++syncs;
                                                  urlAtSync = ss.sync.Url;
                                              }});
    const bool confirmed = runModal(form, [&] { form.Execute(cs, ss); }, [&] {
        auto* pages = find<QTabWidget>(form, "SettingPage");
        EXPECT_EQ(pages->tabText(pages->count() - 1), QStringLiteral("同期"));
        auto* on = find<QCheckBox>(form, "SyncEnabled");
        EXPECT_FALSE(on->isChecked());  // off by default
        EXPECT_FALSE(edit(form, "SyncUrl")->isEnabled());
        on->click();
        edit(form, "SyncUrl")->setText(QStringLiteral("http://127.0.0.1:5232/alice/cal/"));
        edit(form, "SyncUser")->setText(QStringLiteral("alice"));
        EXPECT_EQ(edit(form, "SyncPassword")->echoMode(), QLineEdit::Password);
        edit(form, "SyncPassword")->setText(QStringLiteral("pa55word"));
        find<QComboBox>(form, "SyncInterval")->setCurrentIndex(2);
        find<QPushButton>(form, "SyncNow")->click();
        find<QPushButton>(form, "se_ok")->click();
    });
    EXPECT_TRUE(confirmed);
    EXPECT_EQ(syncs, 1);
    EXPECT_EQ(urlAtSync, "http://127.0.0.1:5232/alice/cal/");
    EXPECT_EQ(ss.sync.Enabled, 1);
    EXPECT_EQ(ss.sync.User, "alice");
    EXPECT_EQ(ss.sync.Interval, 15);
    std::optional<QString> kept;
    secrets.read(QStringLiteral("alice@http://127.0.0.1:5232/alice/cal/"), [&](std::optional<QString> p) { kept = p; });
    EXPECT_EQ(kept, QStringLiteral("pa55word"));
    Profile ini;
    ss.write(ini);
    EXPECT_NE(ini.text().find("alice"), std::string::npos);
    EXPECT_EQ(ini.text().find("pa55word"), std::string::npos);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(SettingFormTest, ConversionErrorStopsApplyingAndTheDialogCloses) {
    EXPECT_TRUE(run([&](TSettingForm& f) {
        find<QCheckBox>(f, "WallPaper")->setChecked(true);            // before the error
        edit(f, "MonthEdit")->clear();                                 // the error
        find<QCheckBox>(f, "NoDrawMonth")->setChecked(true);          // after it
        find<QComboBox>(f, "PerComboBox")->setEditText(QStringLiteral("200"));
        find<QPushButton>(f, "se_ok")->click();
        EXPECT_FALSE(f.isVisible());
    }));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0], (RecordedMessage{QStringLiteral("'' は整数ではありません"), QStringLiteral("Sorvel"),
                                               MsgButtons::Ok}));
    EXPECT_EQ(cs.IsWallPaper, 1);
    EXPECT_EQ(cs.NoDrawMonth, 0);
    EXPECT_EQ(cs.DispPercent, 100.0f);
}

// ---- From the calendar window's menu --------------------------------------------------------

class SettingsFromMenu : public sorvel::testing::ProgramDirTest {
protected:
    void SetUp() override {
        ProgramDirTest::SetUp();
        TCalenderSet cs;
        cs.DispYear = 2001;
        cs.DispMonth = 9;
        cs.DispDay = 1;
        ASSERT_TRUE(atomicReplace(dir.filePath("SorvelSt.dat"), buildStateFile(cs)));
        TDateMemoList memos;
        THolidayList rules;
        memos.push_back(std::make_unique<TDateMemo>(TDateMemo{2001, 9, 1, sjis("元の"), sjis("元")}));
        ASSERT_TRUE(atomicReplace(dir.filePath("Sorvel.dat"), buildDataFile(memos, rules)));
        memos.clear();
        memos.push_back(std::make_unique<TDateMemo>(TDateMemo{2002, 1, 2, sjis("別の"), sjis("別")}));
        ASSERT_TRUE(atomicReplace(dir.filePath("other.dat"), buildDataFile(memos, rules)));
        form = std::make_unique<TMainForm>();
        form->FormCreate();
        ASSERT_TRUE(ui.messages.empty());
    }
    void TearDown() override {
        form.reset();
        ProgramDirTest::TearDown();
    }
    // Runs the menu command; steps act on the dialog it opens.
    void setClick(const std::function<void(TSettingForm&)>& steps) {
        QTimer::singleShot(0, form.get(), [&] {
            auto* dialog = qobject_cast<TSettingForm*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(dialog->parentWidget(), form.get());
            steps(*dialog);
            if (dialog->isVisible()) dialog->reject();
        });
        form->popupMenu()->findChild<QAction*>(QStringLiteral("set"))->trigger();
    }

    ScriptedUi ui;
    std::unique_ptr<TMainForm> form;
};

TEST_F(SettingsFromMenu, ZoomOfThirtyLeavesNoZoomItemCheckedAndResizesTheWindow) {
    setClick([](TSettingForm& f) {
        find<QComboBox>(f, "PerComboBox")->setEditText(QStringLiteral("30"));
        find<QPushButton>(f, "se_ok")->click();
    });
    const TCalenderSet& cs = form->draw().settings();
    EXPECT_EQ(cs.DispPercent, 30.0f);
    for (const char* name : {"x01101", "x025251", "x05501", "N11001", "x22001"})
        EXPECT_FALSE(form->popupMenu()->findChild<QAction*>(QString::fromLatin1(name))->isChecked()) << name;
    const CanvasSize expected = canvasSizeFor(30, 640, 480);
    EXPECT_EQ(form->width(), expected.width);
    EXPECT_EQ(form->height(), expected.height);

    // Back to 200 through the dialog: its item is checked again.
    setClick([](TSettingForm& f) {
        find<QComboBox>(f, "PerComboBox")->setEditText(QStringLiteral("200"));
        find<QPushButton>(f, "se_ok")->click();
    });
    EXPECT_TRUE(form->popupMenu()->findChild<QAction*>(QStringLiteral("x22001"))->isChecked());
}

TEST_F(SettingsFromMenu, ChoosingAnotherDataFileWritesTheOldOneAndReadsTheNewOne) {
    TSorvelSet& ss = form->sorvelSet();
    TDateMemoList& memos = form->document().memos();
    ASSERT_EQ(memos.size(), 1u);
    memos.push_back(std::make_unique<TDateMemo>(TDateMemo{2001, 9, 23, sjis("追加"), sjis("新しい")}));
    ui.fileAnswers = {dir.filePath("other.dat")};
    setClick([](TSettingForm& f) {
        find<QPushButton>(f, "FileSelect")->click();
        find<QPushButton>(f, "se_ok")->click();
    });
    // The old file holds the note added before the change; the lists now hold the new file's.
    EXPECT_NE(readWholeFile(dir.filePath("Sorvel.dat")).value_or("").find(sjis("新しい")), std::string::npos);
    EXPECT_EQ(ss.MemoFileName, cp932FromPath(dir.filePath("other.dat")));
    ASSERT_EQ(memos.size(), 1u);
    EXPECT_EQ(memos[0]->caption, sjis("別"));
    EXPECT_TRUE(ui.messages.empty());
}

}  // namespace
}  // namespace sorvel
