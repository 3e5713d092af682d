#pragma once
// The about box: the program's icon, name and version, and a link to its help page.
#include <QDialog>

class QLabel;

namespace sorvel {

class TAboutForm : public QDialog {
    Q_OBJECT
public:
    explicit TAboutForm(QWidget* owner);
    // Shows the box modally; returns 1.
    int Execute(const QString& programDir);

    // The page the link opens: the help page beside the program (a copy run from its folder),
    // else the installed one in ../share/sorvel.
    static QString helpPagePath();
    static QString helpPageFor(const QString& programDir);
    // Opens a help page with the desktop; says so when the page is missing or nothing on the
    // desktop can show it.
    static void OpenHelpPage(const QString& path);
    // "ヘルプの表示(&H)": "Sorvel.chm" in the program directory when there is one, else the help
    // page there or installed beside the program.
    static void ShowHelp(const QString& programDir);

private:
    void Label3Click();
    QString programDir_;
};

}  // namespace sorvel
