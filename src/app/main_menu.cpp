#include "app/main_menu.h"

#include <iterator>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QSystemTrayIcon>

#include "app/main_form.h"
#include "platform/messages.h"

namespace sorvel {

namespace {

struct ZoomItem {
    const char* name;
    const char* caption;
};
constexpr ZoomItem kZoomItems[] = {
    {"x01101", "&1 x0.1(10%)"}, {"x025251", "&2 x0.25(25%)"}, {"x05501", "&3 x0.5(50%)"},
    {"N11001", "&4 ｘ1(100%)"}, {"x22001", "&5 x2(200%)"},
};
static_assert(std::size(kZoomItems) == std::size(kZoomPercents));

}  // namespace

MainMenu buildMainMenu(TMainForm& form) {
    MainMenu m;
    m.popup = new QMenu(&form);
    m.popup->setObjectName(QStringLiteral("PopupMenu1"));
    auto item = [](QMenu* menu, const char* name, const QString& caption) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        return a;
    };
    QMenu* window1 = m.popup->addMenu(QStringLiteral("ウィンドウ(&W)"));
    window1->setObjectName(QStringLiteral("Window1"));
    m.yotei = item(window1, "Yotei", QStringLiteral("予定表示ウィンドウ(&S)"));
    m.yotei->setCheckable(true);
    QObject::connect(m.yotei, &QAction::triggered, &form, &TMainForm::YoteiClick);
    m.layout = item(window1, "Layout", QStringLiteral("レイアウトウィンドウ(&L)"));
    m.layout->setCheckable(true);
    QObject::connect(m.layout, &QAction::triggered, &form, &TMainForm::LayoutClick);
    QObject::connect(item(m.popup, "set", QStringLiteral("設定(&S)")), &QAction::triggered, &form, &TMainForm::setClick);
    QObject::connect(item(m.popup, "Selectbmp", QStringLiteral("壁紙の選択(&G)")), &QAction::triggered, &form,
            &TMainForm::SelectbmpClick);
    QMenu* zoom = m.popup->addMenu(QStringLiteral("倍率(&D)"));
    zoom->setObjectName(QStringLiteral("N2"));
    for (std::size_t i = 0; i < std::size(kZoomItems); ++i) {
        QAction* a = item(zoom, kZoomItems[i].name, QString::fromUtf8(kZoomItems[i].caption));
        a->setCheckable(true);
        const float percent = kZoomPercents[i];
        QObject::connect(a, &QAction::triggered, &form, [&form, percent] { form.ZoomClick(percent); });
        m.zoom << a;
    }
    QObject::connect(item(m.popup, "ShowToday", QStringLiteral("今月を表示(&T)")), &QAction::triggered, &form,
            &TMainForm::ShowTodayClick);
    m.allwaysOnTop = item(m.popup, "AllwaysOnTop", QStringLiteral("常に前面に表示(&A)"));
    m.allwaysOnTop->setCheckable(true);
    QObject::connect(m.allwaysOnTop, &QAction::triggered, &form, &TMainForm::AllwaysOnTopClick);
    QObject::connect(item(m.popup, "calenprint", QStringLiteral("簡単印刷(&P)")), &QAction::triggered, &form,
            &TMainForm::calenprintClick);
    QMenu* ical = m.popup->addMenu(QStringLiteral("予定の読み込みと書き出し(&I)"));
    ical->setObjectName(QStringLiteral("IcalMenu"));
    QObject::connect(item(ical, "IcalImport", QStringLiteral("iCalendarファイルを読み込む(&I)...")), &QAction::triggered, &form,
            &TMainForm::IcalImportClick);
    QObject::connect(item(ical, "IcalExport", QStringLiteral("iCalendarファイルに書き出す(&E)...")), &QAction::triggered, &form,
            &TMainForm::IcalExportClick);
    QObject::connect(item(ical, "SyncNow", QStringLiteral("今すぐ同期(&Y)")), &QAction::triggered, &form, &TMainForm::SyncNowClick);
    QMenu* help = m.popup->addMenu(QStringLiteral("ヘルプ(&H)"));
    help->setObjectName(QStringLiteral("ShowHelp"));
    QObject::connect(item(help, "H1", QStringLiteral("ヘルプの表示(&H)")), &QAction::triggered, &form, &TMainForm::ShowHelpClick);
    QObject::connect(item(help, "About1", QStringLiteral("バージョン情報(&A)")), &QAction::triggered, &form,
            &TMainForm::About1Click);
    QObject::connect(m.popup, &QMenu::aboutToShow, &form, &TMainForm::PopupMenu1Popup);
    m.popup->addSeparator()->setObjectName(QStringLiteral("N1"));
    QAction* close1 = item(m.popup, "Close1", QStringLiteral("閉じる(&X)"));
    QObject::connect(close1, &QAction::triggered, &form, &TMainForm::Close1Click);
    return m;
}

QSystemTrayIcon* buildTrayIcon(TMainForm& form, QMenu* menu) {
    auto* tray = new QSystemTrayIcon(QApplication::windowIcon(), &form);
    tray->setToolTip(programName());
    tray->setContextMenu(menu);
    QObject::connect(tray, &QSystemTrayIcon::activated, &form, [&form](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Context || reason == QSystemTrayIcon::Trigger) form.TakeFocus();
    });
    tray->show();
    return tray;
}

}  // namespace sorvel
