#pragma once
// Turns SIGTERM, SIGHUP and SIGINT into a call on the event loop, so the program can save
// before it ends (the desktop logging out, a service manager stopping it).
#include <functional>

#include <QObject>

namespace sorvel {

// Installs the handlers; `onTerminate` runs on the GUI thread once per signal received.
// Returns false when the handlers could not be installed.
bool installTerminationHandler(QObject* context, std::function<void()> onTerminate);

}  // namespace sorvel
