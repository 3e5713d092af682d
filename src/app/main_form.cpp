#include "app/main_form.h"

#include "app/about_form.h"
#include "app/app_messages.h"
#include "app/calendar_accessible.h"
#include "app/day_information.h"
#include "app/ical_controller.h"
#include "app/quick_print.h"
#include "app/settings_files.h"
#include "app/sync_controller.h"
#include "app/wallpaper_choice.h"
#include "app/window_interaction.h"

#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScopeGuard>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QToolTip>
#include <QWindow>

#include "calendar/canvas_size.h"
#include "data/data_file.h"
#include "data/day_dialog.h"
#include "layout/layout_form.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/ui.h"
#include "platform/x11_window.h"
#include "settings/calender_set.h"
#include "settings/setting_form.h"

namespace sorvel {

namespace {

bool trayForTesting = false;
// The tray icon of a window not painted by then.
constexpr int kTrayWithoutPaintMs = 2000;

}  // namespace

void TMainForm::setTrayForTesting(bool always) { trayForTesting = always; }

TMainForm::TMainForm(QWidget* parent) : TVForm(parent) {
    setWindowTitle(programName());
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
        if (draw_) draw_->setRedraw();
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

    menu_ = buildMainMenu(*this);
    trayPending_ = true;
    trayForced_ = trayForTesting;
    // A window that is never painted (hidden, or on no screen) gets its tray icon all the same.
    QTimer::singleShot(kTrayWithoutPaintMs, this, [this] { SetUpTray(); });

    programDir_ = programDirectory();

    LoadSettingsFiles(programDir_, *sorvelSet_, *draw_);
    document_ = std::make_unique<CalendarDocument>(sorvelSet_->MemoFileName, programDir_);
    windows_ = std::make_unique<ToolWindows>(this, *sorvelSet_, cs, document_->memos(), [this] {
        SaveDataFile();
        ShowImage();
    });
    document_->removeSaveLeftovers();
    LoadDataFile();
    if (const QString unsaved = unsavedCopyIn(programDir_); !unsaved.isEmpty())
        showMessage(unsavedCopyMessage(unsaved), programMessageCaption());
    sync_ = std::make_unique<SyncController>(*document_, sorvelSet_->sync, tray_, secrets_,
                                             SyncController::Calls{[this] { return SaveDataFile(); },
                                                                   [this] { notesChanged(); }});
    ApplySyncSetting();

    draw_->UpdateToday();
    StartDisplayDate(cs, draw_->todaysDate());
    if (cs.IsWallPaper == 1) draw_->LoadWallpaper();
    // Once the base size is known: a stored zoom of zero, a negative one or one too large for a
    // canvas (a damaged state file) starts at 100 rather than at the largest canvas there is.
    cs.DispPercent = startZoom(cs.DispPercent, cs.Width, cs.Height);
    setZoomChecks();

    draw_->setRedraw();
    ApplyAlmanacShown();

    WindowRect r = windowRect();
    r.left = sorvelSet_->Left;
    r.top = sorvelSet_->Top;
    setWindowRect(placeAtStoredPosition(r, screens()));
    KeepOnScreen();
    watchScreens(this, [this] { ScreensChanged(screens()); });
    ApplyYoDisp();
    ApplyLayoutDisp();
    recovery_ = std::make_unique<LayoutRecovery>(programDir_);
    recovery_->Offer([this]() -> TLayoutForm& {
        sorvelSet_->layout.Disp = 1;
        ApplyLayoutDisp();
        return *windows_->layout();
    });
    ResizeToZoom();
    ApplyAlwaysOnTop();
}

void TMainForm::ScreensChanged(const ScreenList& list) {
    const WindowRect r = windowRect();
    const WindowRect placed = keepOnScreen(placeAtStoredPosition(r, list), list);
    if (placed == r) return;
    setWindowRect(placed);
    storePosition();
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
    const TCalenderSet& cs = draw_->settings();
    const WindowRect r = windowRect();
    setWindowRect(resizeToZoom(r, cs.DispPercent, cs.Width, cs.Height, screenOf(r, screens())));
}

void TMainForm::ApplyAlwaysOnTop() {
    const bool on = sorvelSet_->AllwaysOnTop == 1;
    if (menu_.allwaysOnTop) menu_.allwaysOnTop->setChecked(on);
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
    for (int i = 0; i < menu_.zoom.size(); ++i)
        menu_.zoom[i]->setChecked(kZoomPercents[static_cast<std::size_t>(i)] == percent);
}

void TMainForm::FormPaint() {
    ApplyAlwaysOnTop();
    draw_->UpdateToday();
    draw_->Render(calendarSources());
    ResizeToZoom();
}

CalendarSources TMainForm::calendarSources() const {
    return CalendarSources{&document_->rules(), &document_->memos(), sorvelSet_->ShowNationalHolidays == 1,
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
    return dayToolTip(*date, document_->rules(), document_->memos(), sorvelSet_->ShowNationalHolidays == 1,
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
    QPainter p(this);
    draw_->CopyTo(p);
    // After this paint has reached the screen.
    if (trayPending_) QMetaObject::invokeMethod(this, &TMainForm::SetUpTray, Qt::QueuedConnection);
}

void TMainForm::SetUpTray() {
    if (!trayPending_ || closed_) return;
    trayPending_ = false;
    // The painted window goes to the display before the desktop is asked for a tray.
    flushDisplay();
    if (trayForced_ || QSystemTrayIcon::isSystemTrayAvailable()) tray_ = buildTrayIcon(*this, menu_.popup);
    // Before the sync exists when the start is still asking (a first start's messages): the
    // sync then takes the icon when it is made.
    if (sync_) sync_->setTray(tray_);
}

void TMainForm::RefreshView() {
    ApplyAlwaysOnTop();
    draw_->UpdateToday();
    draw_->setRedraw();
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
    const CalendarKey command = calendarKeyCommand(key);
    if (stepByKey(command, draw_->settings())) {
        ShowImage();
    } else if (command == CalendarKey::Menu) {
        menu_.popup->popup(mapToGlobal(QPoint(0, 0)));
    } else if (command == CalendarKey::ThisMonth) {
        ShowTodayClick();
    } else if (command == CalendarKey::TodayDialog) {
        draw_->UpdateToday();
        const LocalDate& t = draw_->todaysDate();
        RunDayDialog(clickedDateOf(t.year, t.month, t.day));
        ShowImage();
    }
}

void TMainForm::contextMenuEvent(QContextMenuEvent* event) {
    // The menu takes the release of the press that opened it.
    dragging_ = false;
    menu_.popup->popup(event->globalPos());
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
    document_->Load();
    // The notes the schedule list showed are gone.
    windows_->DateDataChanged(true);
}

int TMainForm::SaveDataFile() {
    std::size_t merged = 0;
    const int saved = document_->Save(&merged);
    // The other version's notes are shown at once: the calendar and the schedule list.
    if (merged > 0) notesChanged();
    return saved;
}

void TMainForm::notesChanged() {
    windows_->DateDataChanged(true);
    draw_->setRedraw();
    update();
}

int TMainForm::SaveAll() {
    storePosition();
    const bool settingsSaved = SaveSettingsFiles(programDir_, *sorvelSet_, draw_->settings());
    // The notes are written even when a settings file could not be.
    const int dataSaved = SaveDataFile();
    return dataSaved == 1 && settingsSaved ? 1 : 0;
}

bool TMainForm::QueryEnd() {
    if (closed_ || endQuestionOpen_) return false;
    endQuestionOpen_ = true;
    const auto asked = qScopeGuard([this] { endQuestionOpen_ = false; });
    // The layout window may keep the program open (the user cancelled its save question).
    if (!windows_->StoreForEnd()) return false;
    // Terminated while the question was open: everything has been written already.
    if (closed_) return false;
    if (SaveAll() == 0) {
        MsgAnswer a = ui().messageBox(endAfterSaveErrorQuestion(), programMessageCaption(), MsgButtons::YesNo);
        if (a != MsgAnswer::Yes || closed_) return false;
    }
    // The layout window has had its question: a page taken from the recovery file was saved or
    // given up by the user.
    if (recovery_) recovery_->Ended();
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
    windows_->StoreForSessionEnd();
    // No one can be asked now: an unsaved page goes to the recovery file, offered at the next start.
    const int saved = !recovery_ || recovery_->KeepForSessionEnd(windows_->layout()) ? 1 : 0;
    const int all = SaveAll();
    // The data file could not take the notes (a read-only place, a full disk) and no one can be
    // asked: they go into the program directory, and the next start says where.
    if (all != 1) document_->KeepUnsavedCopy();
    return all == 1 && saved == 1 ? 1 : 0;
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
    if (sync_) sync_->Stop();
    trayPending_ = false;
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
    if (button == Qt::LeftButton &&
        stepByCorner(cornerZoneAt(x, y, width(), buttonSizeFor(draw_->CanvasHeight())), draw_->settings()))
        ShowImage();
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
        draw_->setRedraw();
    }
    ShowImage();
}

void TMainForm::RunDayDialog(const ClickedDate& date) {
    if (dayDialogRunner_)
        dayDialogRunner_(*this, date);
    else
        ExecuteDayDialog(this, date, document_->rules(), document_->memos(),
                         draw_->ClassifyMonth(date.year, date.month, calendarSources()).substitutes,
                         dayDialogNationalDay(date, sorvelSet_->ShowNationalHolidays == 1),
                         draw_->almanacShown().any() ? dayAlmanacLine(date) : QString());
    // The dialog may have deleted notes the schedule list shows.
    windows_->DateDataChanged(false);
    SaveDataFile();
    ReturnFocus();
}

void TMainForm::ShowImage() {
    draw_->setRedraw();
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
    windows_->ApplyYoDisp();
    menu_.yotei->setChecked(sorvelSet_->yotei.YoDisp == 1);
}

void TMainForm::LayoutClick() {
    sorvelSet_->layout.toggleShown();
    ApplyLayoutDisp();
}

void TMainForm::ApplyLayoutDisp() {
    windows_->ApplyLayoutDisp();
    menu_.layout->setChecked(sorvelSet_->layout.Disp == 1);
}

void TMainForm::setClick() {
    {
        TSettingForm dialog(this, TSettingForm::DataFileCalls{[this] { return SaveDataFile(); },
                                                              [this] { LoadDataFile(); }});
        dialog.setSyncCalls(TSettingForm::SyncCalls{&sync_->secrets(), [this] { SyncNowClick(); }});
        dialog.setCanvasSize(draw_->CanvasWidth(), draw_->CanvasHeight());
        dialog.Execute(draw_->settings(), *sorvelSet_);
    }
    ApplyAlmanacShown();
    ApplySyncSetting();
    draw_->setRedraw();
    RefreshView();
    setZoomChecks();
    ReturnFocus();
}

void TMainForm::SelectbmpClick() {
    if (ChooseWallpaper(*draw_, [this] { ReturnFocus(); })) RefreshView();
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
    printing_ = true;
    QuickPrint(this, *draw_, calendarSources());
    printing_ = false;
    ReturnFocus();
}

void TMainForm::IcalImportClick() {
    const bool imported = IcalController(this, *document_).Import();
    ReturnFocus();
    if (!imported) return;
    // As after the day dialog: the list, the data file and the calendar at once.
    windows_->DateDataChanged(true);
    SaveDataFile();
    ShowImage();
}

void TMainForm::IcalExportClick() {
    IcalController(this, *document_).Export();
    ReturnFocus();
}

bool TMainForm::syncing() const { return sync_ && sync_->syncing(); }

void TMainForm::ApplySyncSetting() { sync_->ApplySetting(); }

void TMainForm::SyncNowClick() {
    if (!closed_) sync_->SyncNow();
}

void TMainForm::ShowHelpClick() { TAboutForm::ShowHelp(programDir_); }

void TMainForm::About1Click() {
    {
        TAboutForm about(this);
        about.Execute(programDir_);
    }
    ReturnFocus();
}

void TMainForm::PopupMenu1Popup() {
    // A schedule list or layout window closed with its own close box is only hidden: it counts
    // as closed now.
    windows_->DropHidden();
    menu_.yotei->setChecked(sorvelSet_->yotei.YoDisp == 1);
    menu_.layout->setChecked(sorvelSet_->layout.Disp == 1);
}

}  // namespace sorvel
