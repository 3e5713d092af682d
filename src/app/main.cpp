// Sorvel: a desktop calendar.
#include <cstdio>
#include <cstdlib>
#include <exception>

#include <QApplication>
#include <QIcon>
#include <QImageReader>
#include <QMessageBox>
#include <QPixmap>
#include <QSessionManager>

#include "app/main_form.h"
#include "platform/files.h"
#include "platform/messages.h"
#include "platform/print_library.h"
#include "platform/secret_store.h"
#include "platform/single_instance.h"
#include "platform/termination.h"
#include "platform/translations.h"
#include "platform/ui_qt.h"
#include "platform/x11_window.h"
#include "settings/sync_page.h"

int main(int argc, char* argv[]) {
    // The window places itself, which needs X11: under Wayland run through XWayland unless the
    // user chose a platform.
    const QByteArray session = qgetenv("XDG_SESSION_TYPE");
    if (session == "wayland" && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "xcb");

    QApplication app(argc, argv);
    QApplication::setApplicationName(sorvel::programName());
    // Read as the PNG it is: a reader left to guess the format loads every image plugin first.
    QImageReader icon(QStringLiteral(":/sorvel.png"), "png");
    icon.setAutoDetectImageFormat(false);
    QApplication::setWindowIcon(QIcon(QPixmap::fromImage(icon.read())));
    // The calendar is a tool window; the program ends only through its own close.
    QApplication::setQuitOnLastWindowClosed(false);

    // One copy per program directory: a second start (autostart and one by hand) brings the
    // running calendar to the front and ends before it reads or writes any file.
    sorvel::SingleInstance instance(sorvel::programDirectory());
    switch (instance.claim()) {
        case sorvel::SingleInstance::Start::Running: return 0;
        case sorvel::SingleInstance::Start::NoAnswer:
            std::fputs("Sorvel: another copy runs in this program directory and does not answer.\n", stderr);
            return 1;
        case sorvel::SingleInstance::Start::First:
        case sorvel::SingleInstance::Start::Unguarded: break;
    }

    sorvel::installQtTranslations();
    sorvel::QtUi qtUi;
    sorvel::setDefaultUi(&qtUi);
    sorvel::LoadedPrintService printers;
    sorvel::setDefaultPrintService(&printers);

    try {
        // Outlives the window that uses it.
        sorvel::LoadedSecretStore secrets(QStringLiteral("Sorvel"), sorvel::askSyncPassword);
        sorvel::TMainForm form;
        form.setSecretStore(&secrets);
        // Everything was asked and saved before: the end is not put to the windows again (a
        // quit would ask the layout window's question a second time), and it ends every event
        // loop, a message box's too.
        QObject::connect(&form, &sorvel::TMainForm::closeRequested, &app, [] { QCoreApplication::exit(0); },
                         Qt::QueuedConnection);
        form.FormCreate();
        instance.setActivationHandler([&form] {
            form.TakeFocus();
        });
        // Nothing the user entered is lost when the session ends without "閉じる(&X)".
        QObject::connect(&app, &QGuiApplication::commitDataRequest, &form,
                         [&form](QSessionManager&) { form.SaveForSessionEnd(); });
        sorvel::installTerminationHandler(&form, [&form] { form.EndSession(); });
        form.show();
        return app.exec();
    } catch (const std::exception& e) {
        QMessageBox::critical(nullptr, sorvel::programName(), QString::fromLocal8Bit(e.what()));
    }
    // Only a failure reaches this point.
    return 1;
}
