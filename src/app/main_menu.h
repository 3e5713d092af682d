#pragma once
// The calendar window's menu, shown on a right click, on the menu key and from the tray icon:
// its items by their names, each wired to the window's command; and the tray icon.
#include <QList>

class QAction;
class QMenu;
class QSystemTrayIcon;

namespace sorvel {

class TMainForm;

// The zoom of each item of "倍率(&D)", in menu order.
inline constexpr float kZoomPercents[] = {10, 25, 50, 100, 200};

struct MainMenu {
    QMenu* popup = nullptr;
    QAction* allwaysOnTop = nullptr;
    QAction* yotei = nullptr;
    QAction* layout = nullptr;
    QList<QAction*> zoom;  // as kZoomPercents
};

// The menu as a child of the window.
MainMenu buildMainMenu(TMainForm& form);
// The tray icon with the menu: a click or a right click brings the window forward.
QSystemTrayIcon* buildTrayIcon(TMainForm& form, QMenu* menu);

}  // namespace sorvel
