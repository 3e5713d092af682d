#include "app/about_form.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "app/app_messages.h"
#include "platform/files.h"
#include "platform/ui.h"

namespace sorvel {

QString TAboutForm::helpPagePath() { return helpPageFor(QCoreApplication::applicationDirPath()); }

QString TAboutForm::helpPageFor(const QString& programDir) {
    const QString beside = joinPath(programDir, QStringLiteral("sorvel-help.html"));
    if (QFileInfo::exists(beside)) return beside;
    const QString installed = QDir::cleanPath(joinPath(programDir, QStringLiteral("../share/sorvel/sorvel-help.html")));
    return QFileInfo::exists(installed) ? installed : beside;
}

void TAboutForm::ShowHelp(const QString& programDir) {
    const QString chm = joinPath(programDir, QStringLiteral("Sorvel.chm"));
    const QString page = helpPageFor(programDir);
    OpenHelpPage(QFileInfo::exists(chm) ? chm : QFileInfo::exists(page) ? page : helpPagePath());
}

void TAboutForm::OpenHelpPage(const QString& path) {
    const QString shown = QDir::toNativeSeparators(path);
    if (!QFileInfo::exists(path)) {
        showMessage(helpFileMissingMessage(shown), messageCaption());
        return;
    }
    if (!ui().openDocument(path)) showMessage(helpNotShownMessage(shown), messageCaption());
}

TAboutForm::TAboutForm(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("TAboutForm"));
    setWindowTitle(programName() + QStringLiteral("について"));
    setFixedSize(314, 166);

    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    auto* icon = new QLabel(panel);
    icon->setObjectName(QStringLiteral("ProgramIcon"));
    icon->setPixmap(QApplication::windowIcon().pixmap(32, 32));
    icon->setFixedSize(32, 32);
    auto* label1 = new QLabel(versionLine(), panel);
    label1->setObjectName(QStringLiteral("Label1"));
    auto* label2 = new QLabel(QStringLiteral("デスクトップに置くカレンダー"), panel);
    label2->setObjectName(QStringLiteral("Label2"));
    auto* label3 = new QLabel(QStringLiteral("<a href=\"help\" style=\"color:#0000ff\">Sorvel ヘルプ</a>"), panel);
    label3->setObjectName(QStringLiteral("Label3"));
    label3->setCursor(Qt::PointingHandCursor);
    label3->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    connect(label3, &QLabel::linkActivated, this, [this] { Label3Click(); });

    auto* texts = new QVBoxLayout;
    texts->addWidget(label1);
    texts->addWidget(label2);
    texts->addWidget(label3);
    auto* panelLayout = new QHBoxLayout(panel);
    panelLayout->addWidget(icon, 0, Qt::AlignTop);
    panelLayout->addSpacing(8);
    panelLayout->addLayout(texts, 1);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OKButton"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(panel, 1);
    layout->addWidget(ok, 0, Qt::AlignHCenter);

    // Centred on the work area.
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.left() + area.width() / 2 - width() / 2, area.top() + area.height() / 2 - height() / 2);
    }
}

int TAboutForm::Execute(const QString& programDir) {
    programDir_ = programDir;
    exec();
    return 1;
}

void TAboutForm::Label3Click() {
    OpenHelpPage(helpPagePath());
    accept();
}

}  // namespace sorvel
