#include "platform/print_document.h"

#include <algorithm>

#include "platform/messages.h"
#include "platform/printing.h"
#include "platform/ui.h"

namespace sorvel {

namespace {

// The document is aborted; a failed abort is told after what stopped the job.
bool abortDocument(PrintJob& job) {
    if (!job.abortDoc()) showMessage(printAbortFailedMessage(), errorCaption());
    return false;
}

bool fail(PrintJob& job, const QString& message) {
    showMessage(message, errorCaption());
    return abortDocument(job);
}

}  // namespace

bool printDocument(PrintJob& job, const QString& name, int pageCount, const PaintPage& paintPage) {
    if (!job.startDoc(name)) return fail(job, QStringLiteral("印刷開始に失敗"));
    for (int page = 0; page < std::max(pageCount, 1); ++page) {
        if (!job.startPage()) return fail(job, QStringLiteral("ページ開始に失敗"));
        if (!paintPage(page)) return abortDocument(job);
        if (!job.endPage()) return fail(job, QStringLiteral("ページ終了に失敗"));
    }
    if (!job.endDoc()) return fail(job, QStringLiteral("印刷終了に失敗"));
    return true;
}

}  // namespace sorvel
