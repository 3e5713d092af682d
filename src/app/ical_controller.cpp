#include "app/ical_controller.h"

#include "app/calendar_document.h"
#include "ical/ical_commands.h"
#include "platform/clock.h"

namespace sorvel {

bool IcalController::Import() {
    return IcalImportCommand(parent_, document_.rules(), document_.memos(), today().year);
}

void IcalController::Export() {
    IcalExportCommand(parent_, document_.memoList(), document_.ruleList(), today().year, true);
}

}  // namespace sorvel
