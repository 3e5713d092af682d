#include "app/screens.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

namespace sorvel {

ScreenExtent primaryScreenExtent() {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return ScreenExtent{0, 0, 640, 480};
    QRect g = screen->availableGeometry();
    return ScreenExtent{g.left(), g.top(), g.width(), g.height()};
}

ScreenList currentScreens() {
    ScreenList list;
    QScreen* primary = QGuiApplication::primaryScreen();
    list.push_back(primaryScreenExtent());
    for (QScreen* screen : QGuiApplication::screens()) {
        if (screen == primary) continue;
        const QRect g = screen->availableGeometry();
        list.push_back(ScreenExtent{g.left(), g.top(), g.width(), g.height()});
    }
    return list;
}

void watchScreens(QObject* owner, const std::function<void()>& changed) {
    // Queued: while a screen is being removed the list of screens may still hold it.
    auto queued = [owner, changed] { QTimer::singleShot(0, owner, changed); };
    auto watch = [owner, queued](QScreen* screen) {
        QObject::connect(screen, &QScreen::availableGeometryChanged, owner, queued);
        QObject::connect(screen, &QScreen::geometryChanged, owner, queued);
    };
    for (QScreen* screen : QGuiApplication::screens()) watch(screen);
    QObject::connect(qApp, &QGuiApplication::screenAdded, owner, [watch, queued](QScreen* screen) {
        watch(screen);
        queued();
    });
    QObject::connect(qApp, &QGuiApplication::screenRemoved, owner, queued);
    QObject::connect(qApp, &QGuiApplication::primaryScreenChanged, owner, queued);
}

}  // namespace sorvel
