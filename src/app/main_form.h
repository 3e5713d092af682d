#pragma once
// The calendar window: owns the basic settings, the calendar document and the drawing engine for
// the whole run, keeps itself sized and on screen, paints the calendar, routes the commands,
// saves everything and ends on "閉じる(&X)".
#include <functional>
#include <memory>

#include <QPoint>

#include "app/calendar_document.h"
#include "app/layout_recovery.h"
#include "app/main_menu.h"
#include "app/screens.h"
#include "app/tool_windows.h"
#include "app/v_form.h"
#include "app/window_geometry.h"
#include "data/clicked_date.h"
#include "render/sorvel_draw.h"
#include "settings/sorvel_set.h"

class QAction;
class QMenu;
class QSystemTrayIcon;

namespace sorvel {

class SecretStore;
class SyncController;
class TLayoutForm;
class TYoteiForm;

class TMainForm : public TVForm {
    Q_OBJECT
public:
    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    // Creates and loads everything the window owns and places it. Called once, before show().
    void FormCreate();

    void RefreshView() override;
    // Writes the ini file, the state file and the data file; 1 when everything was written.
    int SaveAll();
    void LoadDataFile();
    // Writes the data file; what another program added to it since it was last read or written
    // here joins the notes first (with one message, none at the session end) and is shown.
    int SaveDataFile();

    // Mouse (client coordinates) and menu commands.
    void FormMouseDown(Qt::MouseButton button, int x, int y);
    void FormMouseMove(int x, int y);
    void FormMouseUp(int x, int y);
    void FormDblClick();
    void ShowImage();
    // The day dialog on a date (the one a double click hit, or today's), then the data file
    // written.
    void RunDayDialog(const ClickedDate& date);
    void YoteiClick();
    // Opens or closes the schedule list window as YoDisp says.
    void ApplyYoDisp();
    void LayoutClick();
    // Opens or closes the layout window as Disp says; a window that refuses to close keeps
    // Disp at 1.
    void ApplyLayoutDisp();
    void setClick();
    void SelectbmpClick();
    void ZoomClick(float percent);
    void ShowTodayClick();
    void AllwaysOnTopClick();
    void calenprintClick();
    // iCalendar files: the import adds to the lists and saves as the day dialog does; the
    // export writes every note and rule.
    void IcalImportClick();
    void IcalExportClick();
    // "今すぐ同期(&Y)": the data file written, then a sync with the CalDAV server in the
    // background; the tray icon's tooltip says so until it ends. Nothing happens while one runs.
    void SyncNowClick();
    // The sync's timer set from the sync settings (every Interval minutes while Enabled).
    void ApplySyncSetting();
    // Where the sync's password is read (not owned), given before FormCreate; by default one held
    // in memory for the run.
    void setSecretStore(SecretStore* store) { secrets_ = store; }
    bool syncing() const;
    void ShowHelpClick();
    void About1Click();
    void PopupMenu1Popup();
    void Close1Click();
    // The desktop session ends or the process was told to terminate: everything is written
    // with no questions asked. Returns what SaveAll returns.
    int SaveForSessionEnd();
    // The process was told to terminate: everything is written as at the session end and the
    // program ends, whatever it was doing (a question open, a close cancelled before).
    void EndSession();
    // Keys of the calendar window (Space, the month keys, Home, Enter).
    void FormKeyDown(int key);

    // What a double click on a day runs: the day dialog on the date. Returns 1 when it changed
    // the data. Replaceable so that tests can stand in for the dialog.
    using DayDialogRunner = std::function<int(TMainForm&, const ClickedDate&)>;
    void setDayDialogRunner(DayDialogRunner runner) { dayDialogRunner_ = std::move(runner); }
    void setZoomChecks();
    // What the window's calendar draws from beside its appearance: the two lists and the
    // national-holiday and era switches of the basic settings.
    CalendarSources calendarSources() const;
    // The tooltip of the day under a point of the calendar; empty where no day is.
    QString DayToolTipAt(int x, int y) const;
    // Shown, raised and given the keyboard: at start, from the tray icon and a second start.
    void TakeFocus();
    // After its dialogs: the keyboard back, without raising the window over others.
    void ReturnFocus();
    // Runs every half minute: when the date changed since the last look, the calendar shows
    // the new today.
    void CheckToday();

    TSorvelSet& sorvelSet() { return *sorvelSet_; }
    const TSorvelSet& sorvelSet() const { return *sorvelSet_; }
    CalendarDocument& document() { return *document_; }
    const CalendarDocument& document() const { return *document_; }
    TSorvelDraw& draw() { return *draw_; }
    const TSorvelDraw& draw() const { return *draw_; }
    QMenu* popupMenu() const { return menu_.popup; }
    const QString& programDir() const { return programDir_; }
    bool closing() const { return closed_; }
    TYoteiForm* yoteiForm() const { return windows_ ? windows_->yotei() : nullptr; }
    TLayoutForm* layoutForm() const { return windows_ ? windows_->layout() : nullptr; }
    // True while a quick print runs.
    bool printing() const { return printing_; }
    QSystemTrayIcon* trayIcon() const { return tray_; }
    // Tests: a tray icon even where the desktop has none.
    static void setTrayForTesting(bool always);

    // The primary screen's work area, read anew at every use.
    static ScreenExtent screenExtent() { return primaryScreenExtent(); }
    // Every screen's work area, the primary one first, read anew at every use.
    static ScreenList screens() { return currentScreens(); }
    // A screen was added or removed or changed its geometry: a window left on no screen comes
    // back as at start-up.
    void ScreensChanged(const ScreenList& screens);
    WindowRect windowRect() const;
    void setWindowRect(const WindowRect& r);

    // Position check: keeps the window on screen and stores Top and Left.
    void KeepOnScreen();
    void ResizeToZoom();
    void ApplyAlwaysOnTop();

signals:
    // Emitted when "閉じる(&X)" has saved, or the termination has, and the program may end.
    void closeRequested();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // The almanac boxes of the basic settings, given to the calendar's engine.
    void ApplyAlmanacShown();
    void FormPaint();
    void FormClose();
    // The regular way to end: geometry stored, the layout window's question, save all (and the
    // question after a failed data-file write). True when the program may end.
    bool QueryEnd();
    void storePosition();
    void SetUpTray();

    std::unique_ptr<TSorvelSet> sorvelSet_;
    std::unique_ptr<CalendarDocument> document_;
    std::unique_ptr<TSorvelDraw> draw_;
    std::unique_ptr<ToolWindows> windows_;
    QString programDir_;
    QSystemTrayIcon* tray_ = nullptr;
    // The tray icon is looked for once the window is painted (SetUpTray): asking the desktop
    // for a tray waits on its session bus and the display, which a start need not wait for.
    bool trayPending_ = false;
    bool trayForced_ = false;
    MainMenu menu_;
    std::unique_ptr<LayoutRecovery> recovery_;
    SecretStore* secrets_ = nullptr;
    std::unique_ptr<SyncController> sync_;
    // The lists changed behind the views (a merge, a load, a sync): the schedule list and the
    // calendar show them.
    void notesChanged();
    DayDialogRunner dayDialogRunner_;
    bool dragging_ = false;
    bool doubleClickMark_ = false;
    bool printing_ = false;
    bool closed_ = false;
    // QueryEnd has said yes: the close event that follows ends the program.
    bool ending_ = false;
    // QueryEnd is asking: a second request to close waits for the first one's answer.
    bool endQuestionOpen_ = false;
    bool onTopApplied_ = false;
    QPoint pressPos_;
    QPoint releasePos_;
};

}  // namespace sorvel
