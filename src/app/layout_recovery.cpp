#include "app/layout_recovery.h"

#include <utility>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "layout/layout_form.h"
#include "layout/layout_paper.h"
#include "app/app_messages.h"
#include "platform/files.h"
#include "platform/ui.h"

namespace sorvel {

LayoutRecovery::LayoutRecovery(QString programDir) : path_(layoutRecoveryPath(programDir)) {}

void LayoutRecovery::Offer(const std::function<TLayoutForm&()>& openWindow) {
    if (!QFileInfo::exists(path_)) return;
    const MsgAnswer a =
        ui().messageBox(layoutRecoveryQuestion(QDir::toNativeSeparators(path_)), messageCaption(), MsgButtons::YesNo);
    if (a != MsgAnswer::Yes) return;
    TLayoutForm& window = openWindow();
    TLayoutPaper& page = window.page();
    // Only into an empty page: one the user is working on is not replaced.
    if (page.Modified || !page.objects.empty()) return;
    if (page.ReadLayoutFile(path_) != 1) return;
    // Not saved anywhere yet: the save asks for a name, and closing asks first.
    page.FileName.clear();
    page.Modified = 1;
    page.history.MarkUnsaved();
    // The file stays until the page is saved or given up: a crash before that offers it again.
    taken_ = true;
    window.Repaint();
}

bool LayoutRecovery::KeepForSessionEnd(TLayoutForm* window) {
    if (window && window->page().Modified) return atomicReplace(path_, window->page().BuildLayout());
    if (taken_) QFile::remove(path_);
    return true;
}

void LayoutRecovery::Ended() {
    if (taken_) QFile::remove(path_);
}

}  // namespace sorvel
