#include "app/main_form.h"

#include "app/about_form.h"
#include "app/calendar_accessible.h"
#include "app/day_information.h"
#include "app/window_interaction.h"

#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMouseEvent>
#include <QNetworkAccessManager>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QPointer>
#include <QScopeGuard>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QToolTip>
#include <QWindow>

#include "data/data_file.h"
#include "data/day_dialog.h"
#include "ical/ical_commands.h"
#include "layout/layout_form.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/print_document.h"
#include "platform/printing.h"
#include "platform/secret_store.h"
#include "platform/text.h"
#include "platform/ui.h"
#include "platform/x11_window.h"
#include "calendar/canvas_size.h"
#include "calendar/national_holidays.h"
#include "render/picture_reader.h"
#include "schedule/yotei_form.h"
#include "settings/calender_set.h"
#include "settings/setting_form.h"
#include "sync/caldav_sync.h"

namespace sorvel {

namespace {

// The national holiday the day dialog lists for a date, when the calendar shows them.
std::string nationalDayOf(const TSorvelSet& ss, const ClickedDate& date) {
    if (ss.ShowNationalHolidays != 1) return {};
    return nationalDayLabel(nationalHoliday(date.year, date.month, date.day));
}

struct ZoomItem {
    const char* name;
    const char* caption;
    float percent;
};
constexpr ZoomItem kZoomItems[] = {
    {"x01101", "&1 x0.1(10%)", 10},  {"x025251", "&2 x0.25(25%)", 25}, {"x05501", "&3 x0.5(50%)", 50},
    {"N11001", "&4 ｘ1(100%)", 100}, {"x22001", "&5 x2(200%)", 200},
};

// What the standard exception display shows when a file cannot be created.
void showCannotCreate(const QString& path, const QString& reason) {
    showMessage(saveFailedMessage(path, reason), QStringLiteral("メッセージ from Sorvel"));
}

bool trayForTesting = false;

}  // namespace

void TMainForm::setTrayForTesting(bool always) { trayForTesting = always; }

TMainForm::TMainForm(QWidget* parent) : TVForm(parent) {
    setWindowTitle(QStringLiteral("Sorvel"));
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    // The day tooltips: a tool window is seldom the active one, and Qt shows tooltips only in
    // the active window unless told otherwise; the resting mouse is seen through tracking.
    setAttribute(Qt::WA_AlwaysShowToolTips);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    installCalendarAccessibility();
    // A timer of the monotonic clock would sleep through a suspend: the date is looked at often.
    auto* todayTimer = new QTimer(this);
    todayTimer->setObjectName(QStringLiteral("todayTimer"));
    connect(todayTimer, &QTimer::timeout, this, &TMainForm::CheckToday);
    todayTimer->start(30 * 1000);
    QFont f(QStringLiteral("IPAPGothic"));
    f.setPixelSize(12);
    setFont(f);
    resize(312, 213);
    // The first idle moment renders afresh.
    QTimer::singleShot(0, this, [this] {
        if (draw_) draw_->settings().redraw = 1;
        update();
    });
}

TMainForm::~TMainForm() {
    // The sync's replies go before the network they came from.
    sync_.reset();
}

void TMainForm::FormCreate() {
    sorvelSet_ = std::make_unique<TSorvelSet>();
    draw_ = std::make_unique<TSorvelDraw>();
    TCalenderSet& cs = draw_->settings();

    buildMenu();
    if (QSystemTrayIcon::isSystemTrayAvailable() || trayForTesting) {
        tray_ = new QSystemTrayIcon(QApplication::windowIcon(), this);
        tray_->setToolTip(QStringLiteral("Sorvel"));
        tray_->setContextMenu(popupMenu_);
        connect(tray_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
            if (reason == QSystemTrayIcon::Context || reason == QSystemTrayIcon::Trigger) TakeFocus();
        });
        tray_->show();
    }

    programDir_ = programDirectory();

    cs.redraw = 1;
    dragging_ = false;
    setZoomChecks();

    const Profile ini = Profile::load(iniPath(programDir_));
    if (sorvelSet_->read(ini) != 1) {
        sorvelSet_->AdSorption = 0;
        sorvelSet_->LengthAdsorp = 15;
        sorvelSet_->AllwaysOnTop = 0;
    }

    // A display date of −1 becomes today's below, once today has been read.
    if (LoadState(programDir_, ini, cs, *sorvelSet_) != 1) {
        cs.applyDefaults();
        draw_->CreateCanvas();
    }
    // The main window always sizes itself by a zoom: an explicit size is not one it can show.
    if (cs.DispPercent == -1.0f) cs.DispPercent = 100;

    // What a save cut short (a power cut, a kill in the middle of a sync) left beside the files.
    removeSaveLeftovers(iniPath(programDir_));
    removeSaveLeftovers(statePath(programDir_));
    const QString dataFile = dataFilePath(resolveDataFileName(sorvelSet_->MemoFileName, programDir_), programDir_);
    removeSaveLeftovers(dataFile);
    removeSaveLeftovers(syncStatePath(dataFile));
    LoadDataFile();
    if (const QString unsaved = unsavedCopyIn(programDir_); !unsaved.isEmpty())
        showMessage(unsavedCopyMessage(unsaved), QStringLiteral("メッセージ from Sorvel"));
    ApplySyncSetting();

    draw_->UpdateToday();
    if (cs.DispDay == -1) {
        cs.DispYear = draw_->todaysDate().year;
        cs.DispMonth = draw_->todaysDate().month;
        cs.DispDay = draw_->todaysDate().day;
    }
    SanitizeDisplayDate(cs, draw_->todaysDate().month);
    if (cs.IsWallPaper == 1) draw_->LoadWallpaper();
    // Once the base size is known: a stored zoom of zero, a negative one or one too large for a
    // canvas (a damaged state file) starts at 100 rather than at the largest canvas there is.
    cs.DispPercent = startZoom(cs.DispPercent, cs.Width, cs.Height);
    setZoomChecks();

    cs.redraw = 1;
    ApplyAlmanacShown();

    WindowRect r = windowRect();
    r.left = sorvelSet_->Left;
    r.top = sorvelSet_->Top;
    setWindowRect(placeAtStoredPosition(r, screens()));
    KeepOnScreen();
    watchScreens();
    ApplyYoDisp();
    ApplyLayoutDisp();
    OfferLayoutRecovery();
    printing_ = false;
    ResizeToZoom();
    ApplyAlwaysOnTop();
}

ScreenExtent TMainForm::screenExtent() {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return ScreenExtent{0, 0, 640, 480};
    QRect g = screen->availableGeometry();
    return ScreenExtent{g.left(), g.top(), g.width(), g.height()};
}

ScreenList TMainForm::screens() {
    ScreenList list;
    QScreen* primary = QGuiApplication::primaryScreen();
    list.push_back(screenExtent());
    for (QScreen* screen : QGuiApplication::screens()) {
        if (screen == primary) continue;
        const QRect g = screen->availableGeometry();
        list.push_back(ScreenExtent{g.left(), g.top(), g.width(), g.height()});
    }
    return list;
}

void TMainForm::ScreensChanged(const ScreenList& list) {
    const WindowRect r = windowRect();
    const WindowRect placed = keepOnScreen(placeAtStoredPosition(r, list), list);
    if (placed == r) return;
    setWindowRect(placed);
    storePosition();
}

void TMainForm::watchScreens() {
    // Queued: while a screen is being removed the list of screens may still hold it.
    auto changed = [this] { QTimer::singleShot(0, this, [this] { ScreensChanged(screens()); }); };
    auto watch = [this, changed](QScreen* screen) {
        connect(screen, &QScreen::availableGeometryChanged, this, changed);
        connect(screen, &QScreen::geometryChanged, this, changed);
    };
    for (QScreen* screen : QGuiApplication::screens()) watch(screen);
    connect(qApp, &QGuiApplication::screenAdded, this, [watch, changed](QScreen* screen) {
        watch(screen);
        changed();
    });
    connect(qApp, &QGuiApplication::screenRemoved, this, changed);
    connect(qApp, &QGuiApplication::primaryScreenChanged, this, changed);
}

WindowRect TMainForm::windowRect() const { return WindowRect{x(), y(), width(), height()}; }

void TMainForm::setWindowRect(const WindowRect& r) {
    if (r.width != width() || r.height != height()) resize(r.width, r.height);
    if (r.left != x() || r.top != y()) move(r.left, r.top);
}

void TMainForm::storePosition() {
    // The window has no frame: its corner on the screen is its position.
    const QPoint p = serverPosition(windowHandle()).value_or(pos());
    sorvelSet_->Top = p.y();
    sorvelSet_->Left = p.x();
}

void TMainForm::KeepOnScreen() {
    setWindowRect(keepOnScreen(windowRect(), screens()));
    storePosition();
}

void TMainForm::ResizeToZoom() {
    if (printing_) return;
    const TCalenderSet& cs = draw_->settings();
    const WindowRect r = windowRect();
    setWindowRect(resizeToZoom(r, cs.DispPercent, cs.Width, cs.Height, screenOf(r, screens())));
}

void TMainForm::ApplyAlwaysOnTop() {
    const bool on = sorvelSet_->AllwaysOnTop == 1;
    if (allwaysOnTopAction_) allwaysOnTopAction_->setChecked(on);
    QWindow* w = windowHandle();
    if (!w) {
        // Not created yet: the flag goes into the window as it is created.
        setWindowFlag(Qt::WindowStaysOnTopHint, on);
        onTopApplied_ = on;
        return;
    }
    if (on == onTopApplied_ && w->flags().testFlag(Qt::WindowStaysOnTopHint) == on) return;
    // Changed on the existing native window: re-creating it would move and redraw it.
    w->setFlag(Qt::WindowStaysOnTopHint, on);
    onTopApplied_ = on;
}

void TMainForm::setZoomChecks() {
    const float percent = draw_ ? draw_->settings().DispPercent : 100.0f;
    for (int i = 0; i < zoomActions_.size(); ++i) zoomActions_[i]->setChecked(kZoomItems[i].percent == percent);
}

void TMainForm::buildMenu() {
    popupMenu_ = new QMenu(this);
    popupMenu_->setObjectName(QStringLiteral("PopupMenu1"));
    auto item = [](QMenu* menu, const char* name, const QString& caption) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        return a;
    };
    QMenu* window1 = popupMenu_->addMenu(QStringLiteral("ウィンドウ(&W)"));
    window1->setObjectName(QStringLiteral("Window1"));
    yoteiAction_ = item(window1, "Yotei", QStringLiteral("予定表示ウィンドウ(&S)"));
    yoteiAction_->setCheckable(true);
    connect(yoteiAction_, &QAction::triggered, this, &TMainForm::YoteiClick);
    layoutAction_ = item(window1, "Layout", QStringLiteral("レイアウトウィンドウ(&L)"));
    layoutAction_->setCheckable(true);
    connect(layoutAction_, &QAction::triggered, this, &TMainForm::LayoutClick);
    connect(item(popupMenu_, "set", QStringLiteral("設定(&S)")), &QAction::triggered, this, &TMainForm::setClick);
    connect(item(popupMenu_, "Selectbmp", QStringLiteral("壁紙の選択(&G)")), &QAction::triggered, this,
            &TMainForm::SelectbmpClick);
    QMenu* zoom = popupMenu_->addMenu(QStringLiteral("倍率(&D)"));
    zoom->setObjectName(QStringLiteral("N2"));
    for (const ZoomItem& z : kZoomItems) {
        QAction* a = item(zoom, z.name, QString::fromUtf8(z.caption));
        a->setCheckable(true);
        const float percent = z.percent;
        connect(a, &QAction::triggered, this, [this, percent] { ZoomClick(percent); });
        zoomActions_ << a;
    }
    connect(item(popupMenu_, "ShowToday", QStringLiteral("今月を表示(&T)")), &QAction::triggered, this,
            &TMainForm::ShowTodayClick);
    allwaysOnTopAction_ = item(popupMenu_, "AllwaysOnTop", QStringLiteral("常に前面に表示(&A)"));
    allwaysOnTopAction_->setCheckable(true);
    connect(allwaysOnTopAction_, &QAction::triggered, this, &TMainForm::AllwaysOnTopClick);
    connect(item(popupMenu_, "calenprint", QStringLiteral("簡単印刷(&P)")), &QAction::triggered, this,
            &TMainForm::calenprintClick);
    QMenu* ical = popupMenu_->addMenu(QStringLiteral("予定の読み込みと書き出し(&I)"));
    ical->setObjectName(QStringLiteral("IcalMenu"));
    connect(item(ical, "IcalImport", QStringLiteral("iCalendarファイルを読み込む(&I)...")), &QAction::triggered, this,
            &TMainForm::IcalImportClick);
    connect(item(ical, "IcalExport", QStringLiteral("iCalendarファイルに書き出す(&E)...")), &QAction::triggered, this,
            &TMainForm::IcalExportClick);
    connect(item(ical, "SyncNow", QStringLiteral("今すぐ同期(&Y)")), &QAction::triggered, this, &TMainForm::SyncNowClick);
    QMenu* help = popupMenu_->addMenu(QStringLiteral("ヘルプ(&H)"));
    help->setObjectName(QStringLiteral("ShowHelp"));
    connect(item(help, "H1", QStringLiteral("ヘルプの表示(&H)")), &QAction::triggered, this, &TMainForm::ShowHelpClick);
    connect(item(help, "About1", QStringLiteral("バージョン情報(&A)")), &QAction::triggered, this,
            &TMainForm::About1Click);
    connect(popupMenu_, &QMenu::aboutToShow, this, &TMainForm::PopupMenu1Popup);
    popupMenu_->addSeparator()->setObjectName(QStringLiteral("N1"));
    QAction* close1 = item(popupMenu_, "Close1", QStringLiteral("閉じる(&X)"));
    connect(close1, &QAction::triggered, this, &TMainForm::Close1Click);
}

void TMainForm::FormPaint() {
    if (printing_) return;
    ApplyAlwaysOnTop();
    draw_->UpdateToday();
    draw_->Render(calendarSources());
    ResizeToZoom();
}

CalendarSources TMainForm::calendarSources() const {
    return CalendarSources{&sorvelSet_->holidays, &sorvelSet_->memos, sorvelSet_->ShowNationalHolidays == 1,
                           sorvelSet_->JapaneseEraYear == 1};
}

void TMainForm::ApplyAlmanacShown() {
    draw_->setAlmanacShown(AlmanacShown{sorvelSet_->ShowRokuyo == 1, sorvelSet_->ShowOldCalendar == 1,
                                        sorvelSet_->ShowSolarTerms == 1});
}

QString TMainForm::DayToolTipAt(int x, int y) const {
    if (!draw_) return {};
    const TCalenderSet& cs = draw_->settings();
    const std::optional<ClickedDate> date = DayHitTest(cs, draw_->CanvasWidth(), draw_->CanvasHeight(), x, y);
    if (!date) return {};
    return dayToolTip(*date, sorvelSet_->holidays, sorvelSet_->memos, sorvelSet_->ShowNationalHolidays == 1,
                      draw_->almanacShown().any());
}

void TMainForm::TakeFocus() {
    show();
    raise();
    activateWindow();
    // A window manager that keeps new windows from taking the focus is asked as a pager would.
    requestActivation(windowHandle());
    setFocus(Qt::ActiveWindowFocusReason);
}

void TMainForm::ReturnFocus() {
    // Back from a dialog of its own: the keyboard again, where the window stands in the stack.
    if (!isVisible()) return;
    activateWindow();
    setFocus(Qt::OtherFocusReason);
}

void TMainForm::CheckToday() {
    if (!draw_ || today() == draw_->todaysDate()) return;
    // The day changed (midnight, a wake from sleep, the clock set): the frame moves to today.
    draw_->UpdateToday();
    ShowImage();
}

bool TMainForm::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QString text = DayToolTipAt(help->pos().x(), help->pos().y());
        if (text.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), text, this);
        return true;
    }
    return TVForm::event(event);
}

void TMainForm::paintEvent(QPaintEvent*) {
    if (!draw_) return;
    FormPaint();
    if (printing_) return;
    QPainter p(this);
    draw_->CopyTo(p);
}

void TMainForm::RefreshView() {
    ApplyAlwaysOnTop();
    draw_->UpdateToday();
    draw_->settings().redraw = 1;
    draw_->Render(calendarSources());
    ResizeToZoom();
    repaint();
    calendarAccessibleChanged(*this);
}

void TMainForm::keyPressEvent(QKeyEvent* event) {
    if (calendarKeyCommand(event->key()) == CalendarKey::None) {
        TVForm::keyPressEvent(event);
        return;
    }
    FormKeyDown(event->key());
}

void TMainForm::FormKeyDown(int key) {
    TCalenderSet& cs = draw_->settings();
    switch (calendarKeyCommand(key)) {
        case CalendarKey::Menu:
            popupMenu_->popup(mapToGlobal(QPoint(0, 0)));
            break;
        case CalendarKey::PreviousMonth:
            PreviousMonth(cs);
            ShowImage();
            break;
        case CalendarKey::NextMonth:
            NextMonth(cs);
            ShowImage();
            break;
        // A year is twelve steps of a month, with their limits at year 0 and 9999.
        case CalendarKey::PreviousYear:
            for (int i = 0; i < 12; ++i) PreviousMonth(cs);
            ShowImage();
            break;
        case CalendarKey::NextYear:
            for (int i = 0; i < 12; ++i) NextMonth(cs);
            ShowImage();
            break;
        case CalendarKey::ThisMonth:
            ShowTodayClick();
            break;
        case CalendarKey::TodayDialog:
            draw_->UpdateToday();
            RunDayDialog(clickedDateOf(draw_->todaysDate().year, draw_->todaysDate().month, draw_->todaysDate().day));
            ShowImage();
            break;
        case CalendarKey::None:
            break;
    }
}

void TMainForm::contextMenuEvent(QContextMenuEvent* event) {
    // The menu takes the release of the press that opened it.
    dragging_ = false;
    popupMenu_->popup(event->globalPos());
}

void TMainForm::showEvent(QShowEvent* event) {
    TVForm::showEvent(event);
    setSkipTaskbar(windowHandle());
    // The keyboard works the calendar from its first showing, without a click.
    QTimer::singleShot(0, this, [this] {
        if (isVisible() && !QApplication::activeModalWidget()) TakeFocus();
    });
}

void TMainForm::LoadDataFile() {
    sorvel::LoadDataFile(sorvelSet_->MemoFileName, programDir_, sorvelSet_->holidays, sorvelSet_->memos,
                         &dataFileBase_);
    // The notes the schedule list showed are gone.
    if (yoteiForm_) yoteiForm_->DateDataChanged(true);
}

int TMainForm::SaveDataFile() {
    std::size_t merged = 0;
    const int saved = sorvel::SaveDataFile(sorvelSet_->MemoFileName, programDir_, sorvelSet_->holidays,
                                           sorvelSet_->memos, &dataFileBase_, &merged);
    if (merged > 0) {
        // The other version's notes are shown at once: the calendar and the schedule list.
        if (yoteiForm_) yoteiForm_->DateDataChanged(true);
        draw_->settings().redraw = 1;
        update();
    }
    return saved;
}

int TMainForm::SaveAll() {
    storePosition();
    bool settingsSaved = true;
    const QString ini = iniPath(programDir_);
    Profile profile = Profile::load(ini);
    sorvelSet_->write(profile);
    QString error;
    if (!profile.save(ini, &error)) {
        showCannotCreate(ini, error);
        settingsSaved = false;
    }
    const QString state = statePath(programDir_);
    if (!atomicReplace(state, buildStateFile(draw_->settings()), &error)) {
        showCannotCreate(state, error);
        settingsSaved = false;
    }
    // The notes are written even when a settings file could not be.
    const int dataSaved = SaveDataFile();
    return dataSaved == 1 && settingsSaved ? 1 : 0;
}

bool TMainForm::QueryEnd() {
    if (closed_ || endQuestionOpen_) return false;
    endQuestionOpen_ = true;
    const auto asked = qScopeGuard([this] { endQuestionOpen_ = false; });
    if (yoteiForm_) yoteiForm_->StoreGeometry(sorvelSet_->yotei);
    // The layout window may keep the program open (the user cancelled its save question).
    if (layoutForm_ && layoutForm_->StoreGeometryAndAskToSave(sorvelSet_->layout) != 1) return false;
    // Terminated while the question was open: everything has been written already.
    if (closed_) return false;
    if (SaveAll() == 0) {
        MsgAnswer a = ui().messageBox(QStringLiteral("データ保存でエラーが発生しました。\nこのまま終了しますか？"),
                                      QStringLiteral("メッセージ from Sorvel"), MsgButtons::YesNo);
        if (a != MsgAnswer::Yes || closed_) return false;
    }
    // The layout window has had its question: a page taken from the recovery file was saved or
    // given up by the user.
    if (recoveryTaken_) QFile::remove(layoutRecoveryPath(programDir_));
    return true;
}

void TMainForm::Close1Click() {
    if (!QueryEnd()) return;
    ending_ = true;
    close();
}

int TMainForm::SaveForSessionEnd() {
    if (closed_ || !sorvelSet_) return 1;
    UnattendedUi unattended;
    if (yoteiForm_) yoteiForm_->StoreGeometry(sorvelSet_->yotei);
    int saved = 1;
    if (layoutForm_) layoutForm_->StoreRect(sorvelSet_->layout);
    // No one can be asked now: an unsaved page goes to the recovery file, offered at the next
    // start. A recovered page since saved or given up needs its file no more.
    if (layoutForm_ && layoutForm_->page().Modified) {
        if (!atomicReplace(layoutRecoveryPath(programDir_), layoutForm_->page().BuildLayout())) saved = 0;
    } else if (recoveryTaken_) {
        QFile::remove(layoutRecoveryPath(programDir_));
    }
    if (printing_) swapPrintAside();
    const int all = SaveAll();
    if (printing_) swapPrintAside();
    if (all != 1) {
        // The data file could not take the notes (a read-only place, a full disk) and no one
        // can be asked: they go into the program directory, and the next start says where.
        const std::string bytes = buildDataFile(sorvelSet_->memos, sorvelSet_->holidays);
        if (readWholeFile(dataFilePath(sorvelSet_->MemoFileName, programDir_)) != bytes)
            keepUnsavedCopy(programDir_, bytes);
    }
    return all == 1 && saved == 1 ? 1 : 0;
}

void TMainForm::swapPrintAside() {
    TCalenderSet& cs = draw_->settings();
    std::swap(cs.DispPercent, printAside_.percent);
    std::swap(cs.TodayColoring, printAside_.todayColoring);
    std::swap(cs.NoDrawButton, printAside_.noDrawButton);
}

void TMainForm::EndSession() {
    if (closed_) return;
    SaveForSessionEnd();
    FormClose();
}

void TMainForm::closeEvent(QCloseEvent* event) {
    // Closed by the window manager (Alt+F4, its close command): ended as "閉じる(&X)" ends it,
    // with the same questions; until they are answered, or when one is cancelled, the calendar
    // and its tray icon stay.
    if (!ending_ && !closed_) {
        if (!QueryEnd()) {
            event->ignore();
            return;
        }
        ending_ = true;
    }
    FormClose();
    event->accept();
}

void TMainForm::FormClose() {
    if (closed_) return;
    closed_ = true;
    // A sync cut short here is finished by the next one; it says nothing now.
    if (sync_) sync_->cancel();
    if (syncTimer_) syncTimer_->stop();
    if (tray_) {
        tray_->hide();
        tray_->setContextMenu(nullptr);
    }
    emit closeRequested();
}

// --- mouse ---------------------------------------------------------------------------------

void TMainForm::mousePressEvent(QMouseEvent* event) {
    FormMouseDown(event->button(), event->position().toPoint().x(), event->position().toPoint().y());
}

void TMainForm::mouseMoveEvent(QMouseEvent* event) {
    // A release that went elsewhere (to the context menu a right press opened) ends the drag.
    if (event->buttons() == Qt::NoButton) dragging_ = false;
    FormMouseMove(event->position().toPoint().x(), event->position().toPoint().y());
}

void TMainForm::mouseReleaseEvent(QMouseEvent* event) {
    FormMouseUp(event->position().toPoint().x(), event->position().toPoint().y());
}

void TMainForm::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second press of a double click: the double click first, then the press it replaces.
    if (event->button() == Qt::LeftButton) FormDblClick();
    FormMouseDown(event->button(), event->position().toPoint().x(), event->position().toPoint().y());
}

void TMainForm::FormMouseDown(Qt::MouseButton button, int x, int y) {
    if (doubleClickMark_) {
        dragging_ = false;
        doubleClickMark_ = false;
    } else {
        dragging_ = true;
    }
    pressPos_ = QPoint(x, y);
    if (button == Qt::LeftButton) {
        const int b = buttonSizeFor(draw_->CanvasHeight());
        switch (cornerZoneAt(x, y, width(), b)) {
            case CornerZone::Previous:
                PreviousMonth(draw_->settings());
                ShowImage();
                break;
            case CornerZone::Next:
                NextMonth(draw_->settings());
                ShowImage();
                break;
            case CornerZone::None:
                break;
        }
    }
    storePosition();
}

void TMainForm::FormMouseMove(int x, int y) {
    if (!dragging_) return;
    const DragPosition p = dragWindow(windowRect(), x - pressPos_.x(), y - pressPos_.y(), sorvelSet_->AdSorption == 1,
                                      sorvelSet_->LengthAdsorp, screens());
    if (p.left != this->x() || p.top != this->y()) move(p.left, p.top);
}

void TMainForm::FormMouseUp(int x, int y) {
    dragging_ = false;
    releasePos_ = QPoint(x, y);
}

void TMainForm::FormDblClick() {
    TCalenderSet& cs = draw_->settings();
    const int b = buttonSizeFor(draw_->CanvasHeight());
    if (cornerZoneAt(releasePos_.x(), releasePos_.y(), draw_->CanvasWidth(), b) != CornerZone::None) return;
    doubleClickMark_ = true;
    if (auto date = DayHitTest(cs, draw_->CanvasWidth(), draw_->CanvasHeight(), releasePos_.x(), releasePos_.y())) {
        RunDayDialog(*date);
    } else {
        cs.NoDayDraw = cs.NoDayDraw == 0 ? 1 : 0;
        cs.redraw = 1;
    }
    ShowImage();
}

void TMainForm::RunDayDialog(const ClickedDate& date) {
    if (dayDialogRunner_)
        dayDialogRunner_(*this, date);
    else
        ExecuteDayDialog(this, date, sorvelSet_->holidays, sorvelSet_->memos,
                         draw_->ClassifyMonth(date.year, date.month, calendarSources()).substitutes,
                         nationalDayOf(*sorvelSet_, date),
                         draw_->almanacShown().any() ? dayAlmanacLine(date) : QString());
    // The dialog may have deleted notes the schedule list shows.
    if (yoteiForm_) yoteiForm_->DateDataChanged(false);
    SaveDataFile();
    ReturnFocus();
}

void TMainForm::ShowImage() {
    draw_->settings().redraw = 1;
    draw_->Render(calendarSources());
    repaint();
    calendarAccessibleChanged(*this);
}

// --- menu commands -------------------------------------------------------------------------

void TMainForm::YoteiClick() {
    sorvelSet_->yotei.toggleShown();
    ApplyYoDisp();
}

void TMainForm::ApplyYoDisp() {
    TYoteiSet& set = sorvelSet_->yotei;
    if (set.YoDisp != 0) {
        set.YoDisp = 1;
        if (!yoteiForm_) {
            yoteiForm_ = std::make_unique<TYoteiForm>(this);
            // Re-edits and moves reach the data file and the calendar at once.
            yoteiForm_->setNotesChanged([this] {
                SaveDataFile();
                ShowImage();
            });
            yoteiForm_->ApplyGeometry(set);
        }
        yoteiForm_->Open(draw_->settings(), *sorvelSet_, this);
    } else if (yoteiForm_) {
        yoteiForm_->StoreGeometry(set);
        yoteiForm_->hide();
        yoteiForm_.reset();
    }
    yoteiAction_->setChecked(set.YoDisp == 1);
}

void TMainForm::LayoutClick() {
    sorvelSet_->layout.toggleShown();
    ApplyLayoutDisp();
}

void TMainForm::ApplyLayoutDisp() {
    TLayoutSet& set = sorvelSet_->layout;
    if (set.Disp != 0) {
        set.Disp = 1;
        if (!layoutForm_) {
            layoutForm_ = std::make_unique<TLayoutForm>(this);
            layoutForm_->ApplyGeometry(set);
        }
        layoutForm_->show();
        layoutForm_->raise();
    } else if (layoutForm_) {
        if (layoutForm_->StoreGeometryAndAskToSave(set) != 1) {
            set.Disp = 1;  // the user kept the page: the window stays
        } else {
            layoutForm_->hide();
            layoutForm_.reset();
        }
    }
    layoutAction_->setChecked(set.Disp == 1);
}

void TMainForm::OfferLayoutRecovery() {
    const QString path = layoutRecoveryPath(programDir_);
    if (!QFileInfo::exists(path)) return;
    const MsgAnswer a = ui().messageBox(
        QStringLiteral("前回終了したときに保存されていなかったレイアウトを\n%1\nに残しました。\n開きますか？")
            .arg(QDir::toNativeSeparators(path)),
        QStringLiteral("メッセージ"), MsgButtons::YesNo);
    if (a != MsgAnswer::Yes) return;
    sorvelSet_->layout.Disp = 1;
    ApplyLayoutDisp();
    TLayoutPaper& page = layoutForm_->page();
    // Only into an empty page: one the user is working on is not replaced.
    if (page.Modified || !page.objects.empty()) return;
    if (page.ReadLayoutFile(path) != 1) return;
    // Not saved anywhere yet: the save asks for a name, and closing asks first.
    page.FileName.clear();
    page.Modified = 1;
    page.history.MarkUnsaved();
    // The file stays until the page is saved or given up: a crash before that offers it again.
    recoveryTaken_ = true;
    layoutForm_->Repaint();
}

void TMainForm::setClick() {
    {
        TSettingForm dialog(this, TSettingForm::DataFileCalls{[this] { return SaveDataFile(); },
                                                              [this] { LoadDataFile(); }});
        if (!secrets_) {
            memorySecrets_ = std::make_unique<MemorySecretStore>();
            secrets_ = memorySecrets_.get();
        }
        dialog.setSyncCalls(TSettingForm::SyncCalls{secrets_, [this] { SyncNowClick(); }});
        dialog.setCanvasSize(draw_->CanvasWidth(), draw_->CanvasHeight());
        dialog.Execute(draw_->settings(), *sorvelSet_);
    }
    ApplyAlmanacShown();
    ApplySyncSetting();
    draw_->settings().redraw = 1;
    RefreshView();
    setZoomChecks();
    ReturnFocus();
}

void TMainForm::SelectbmpClick() {
    TCalenderSet& cs = draw_->settings();
    FileDialogRequest req{QStringLiteral("壁紙を選んでください"), QStringLiteral("グラフィック (bmp/jpg)|*.bmp;*.jpg"),
                          pathFromCp932(cs.WallPaperName)};
    auto chosen = ui().openPicture(req, decodePicturePreview);
    ReturnFocus();
    if (!chosen) return;
    // A name that cannot be stored would name another file at the next start.
    const auto stored = storablePath(*chosen);
    if (!stored) {
        showMessage(unstorablePathMessage(*chosen), QStringLiteral("メッセージ"));
        return;
    }
    // OpenPictureDialog1CanClose: the chosen file becomes the wallpaper.
    cs.WallPaperName = *stored;
    cs.IsWallPaper = 1;
    cs.redraw = 1;
    draw_->LoadWallpaper();
    cs.DispPercent = clampZoom(cs.DispPercent, cs.Width, cs.Height);
    RefreshView();
}

void TMainForm::ZoomClick(float percent) {
    draw_->settings().DispPercent = percent;
    setZoomChecks();
    RefreshView();
}

void TMainForm::ShowTodayClick() {
    TCalenderSet& cs = draw_->settings();
    cs.DispYear = draw_->todaysDate().year;
    cs.DispMonth = draw_->todaysDate().month;
    cs.DispDay = draw_->todaysDate().day;
    ShowImage();
}

void TMainForm::AllwaysOnTopClick() {
    sorvelSet_->AllwaysOnTop = sorvelSet_->AllwaysOnTop == 0 ? 1 : 0;
    RefreshView();
}

void TMainForm::calenprintClick() {
    TCalenderSet& cs = draw_->settings();
    // The window keeps out of painting and resizing while the canvas has the page's size.
    printing_ = true;
    printAside_ = PrintAside{cs.DispPercent, 0, 1};
    swapPrintAside();
    bool waitCursor = false;

    // The print-setup dialog gives the printer.
    std::unique_ptr<PrintJob> job = printService().printDialog(this, PrintDialogKind::Setup, PaperSetup{});
    if (job && !job->canPrintBitmaps()) {
        showMessage(QStringLiteral("このプリンタはビットマップを印刷できません。"), QStringLiteral("デバイスエラー"));
    } else if (job) {
        cs.redraw = 1;
        setCursor(Qt::WaitCursor);
        waitCursor = true;
        printDocument(*job, QStringLiteral("Sorvel　%1年%2月").arg(cs.DispYear).arg(cs.DispMonth), 1, [&](int) {
            // As large as fits, in the base size's proportions.
            const float w = static_cast<float>(job->printableWidth() - 2);
            const float h = static_cast<float>(job->printableHeight() - 2);
            const float sx = w / static_cast<float>(cs.Width);
            const float sy = h / static_cast<float>(cs.Height);
            const float scale = sy < sx ? sy : sx;
            cs.DispPercent = scale * scale * 100.0f;
            // The render sizes the canvas from the zoom; it goes to the printable area's corner.
            if (w > 0 && h > 0) draw_->Render(calendarSources());
            const Bitmap& picture = draw_->canvasBitmap();
            // No picture of the page's size (the engine has said why): a blank page is not sent.
            if (w <= 0 || h <= 0 || picture.isNull()) return false;
            job->canvas().bitBlt(0, 0, picture.width(), picture.height(), picture, 0, 0, RasterOp::Copy);
            cs.redraw = 0;
            return true;
        });
    }

    // Everything back as it was, on every path.
    if (waitCursor) unsetCursor();
    swapPrintAside();
    printing_ = false;
    job.reset();
    // The canvas goes back to the window's own zoom before anything reads its size.
    cs.redraw = 1;
    draw_->Render(calendarSources());
    update();
    ReturnFocus();
}

void TMainForm::IcalImportClick() {
    const bool imported = IcalImportCommand(this, sorvelSet_->holidays, sorvelSet_->memos, today().year);
    ReturnFocus();
    if (!imported) return;
    // As after the day dialog: the list, the data file and the calendar at once.
    if (yoteiForm_) yoteiForm_->DateDataChanged(true);
    SaveDataFile();
    ShowImage();
}

void TMainForm::IcalExportClick() {
    dropEmptySlots(sorvelSet_->memos);
    dropEmptySlots(sorvelSet_->holidays);
    std::vector<const TDateMemo*> memos;
    memos.reserve(sorvelSet_->memos.size());
    for (const auto& m : sorvelSet_->memos) memos.push_back(m.get());
    std::vector<const THolidaySet*> rules;
    for (const auto& r : sorvelSet_->holidays) rules.push_back(r.get());
    IcalExportCommand(this, memos, rules, today().year, true);
    ReturnFocus();
}

// --- sync ----------------------------------------------------------------------------------

namespace {
const QString kSyncCaption = QStringLiteral("メッセージ from Sorvel");
const QString kTrayTip = QStringLiteral("Sorvel");
}  // namespace

bool TMainForm::syncing() const { return (sync_ && sync_->isRunning()) || passwordPending_; }

void TMainForm::ApplySyncSetting() {
    if (!syncTimer_) {
        syncTimer_ = new QTimer(this);
        connect(syncTimer_, &QTimer::timeout, this, &TMainForm::SyncNowClick);
    }
    const TSyncSet& set = sorvelSet_->sync;
    if (set.Enabled == 1 && set.Interval > 0 && !set.Url.empty())
        syncTimer_->start(set.Interval * 60 * 1000);
    else
        syncTimer_->stop();
}

void TMainForm::SyncNowClick() {
    if (closed_ || syncing()) return;
    const TSyncSet set = sorvelSet_->sync;
    if (set.Enabled != 1 || set.Url.empty()) {
        showMessage(QStringLiteral("CalDAVでの同期が設定されていません。「設定」の「同期」で設定してください"),
                    kSyncCaption);
        return;
    }
    if (!secrets_) {
        memorySecrets_ = std::make_unique<MemorySecretStore>();
        secrets_ = memorySecrets_.get();
    }
    // The notes go out as the data file holds them: what a kill leaves is what the next sync sees.
    SaveDataFile();
    passwordPending_ = true;
    if (tray_) tray_->setToolTip(QStringLiteral("Sorvel - 同期中"));
    QPointer<TMainForm> self(this);
    secrets_->read(syncSecretKey(set), [self, set](std::optional<QString> password) {
        if (!self || self->closed_) return;
        TMainForm& form = *self;
        form.passwordPending_ = false;
        if (!form.network_) form.network_ = std::make_unique<QNetworkAccessManager>();
        if (!form.sync_) {
            form.sync_ = std::make_unique<CalDavSync>(form.network_.get());
            connect(form.sync_.get(), &CalDavSync::finished, &form, &TMainForm::syncFinished);
        }
        SyncSnapshot snapshot;
        dropEmptySlots(form.sorvelSet_->memos);
        dropEmptySlots(form.sorvelSet_->holidays);
        snapshot.memos.reserve(form.sorvelSet_->memos.size());
        for (const auto& m : form.sorvelSet_->memos) snapshot.memos.push_back(*m);
        for (const auto& r : form.sorvelSet_->holidays) snapshot.rules.push_back(*r);
        const QString dataFile = dataFilePath(form.sorvelSet_->MemoFileName, form.programDir_);
        SyncConfig config{QUrl(QString::fromStdString(cp932ToUtf8(set.Url))), QString::fromStdString(cp932ToUtf8(set.User))};
        form.sync_->start(config, password, std::move(snapshot), syncStatePath(dataFile));
    });
}

void TMainForm::syncFinished(const SyncResult& result) {
    if (tray_) tray_->setToolTip(kTrayTip);
    if (closed_ || result.status == SyncStatus::Cancelled) return;
    // A refused password is not tried again: the next sync asks for it.
    if (result.status == SyncStatus::AuthFailed && secrets_) secrets_->forget(syncSecretKey(sorvelSet_->sync));
    if (result.status == SyncStatus::Ok) {
        const bool changed = !result.memosToAdd.empty() || !result.memosToRemove.empty() ||
                             !result.rulesToAdd.empty() || !result.rulesToRemove.empty();
        int saved = 1;
        if (changed) {
            applySyncResult(result, sorvelSet_->memos, sorvelSet_->holidays);
            if (yoteiForm_) yoteiForm_->DateDataChanged(true);
            saved = SaveDataFile();
            draw_->settings().redraw = 1;
            update();
        }
        // What the server and the data file agree on, once the data file holds it.
        if (saved == 1 && result.stateChanged) {
            const QString dataFile = dataFilePath(sorvelSet_->MemoFileName, programDir_);
            const QString statePath = syncStatePath(dataFile);
            QString error;
            if (!saveSyncState(statePath, result.state, &error)) showCannotCreate(statePath, error);
        }
    }
    if (!result.message.isEmpty()) showMessage(result.message, kSyncCaption);
}

void TMainForm::ShowHelpClick() {
    // "Sorvel.chm" in the program directory when there is one, else the help page there or
    // installed beside the program.
    const QString chm = joinPath(programDir_, QStringLiteral("Sorvel.chm"));
    const QString page = TAboutForm::helpPageFor(programDir_);
    TAboutForm::OpenHelpPage(QFileInfo::exists(chm)    ? chm
                             : QFileInfo::exists(page) ? page
                                                       : TAboutForm::helpPagePath());
}

void TMainForm::About1Click() {
    {
        TAboutForm about(this);
        about.Execute(programDir_);
    }
    ReturnFocus();
}

void TMainForm::PopupMenu1Popup() {
    // A schedule list closed with its own close box is only hidden: it counts as closed now.
    if (sorvelSet_->yotei.YoDisp == 1 && yoteiForm_ && !yoteiForm_->isVisible()) {
        sorvelSet_->yotei.YoDisp = 0;
        ApplyYoDisp();
    }
    // A layout window closed with its own close box was only hidden: it goes now.
    if (sorvelSet_->layout.Disp == 1 && layoutForm_ && !layoutForm_->isVisible()) {
        sorvelSet_->layout.toggleShown();
        ApplyLayoutDisp();
    }
    yoteiAction_->setChecked(sorvelSet_->yotei.YoDisp == 1);
    layoutAction_->setChecked(sorvelSet_->layout.Disp == 1);
}

}  // namespace sorvel
