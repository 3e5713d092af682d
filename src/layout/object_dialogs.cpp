#include "layout/object_dialogs.h"

#include "layout/so_cal_form.h"
#include "layout/so_pic_form.h"
#include "layout/so_tex_form.h"

namespace sorvel {

int FormObjectDialogs::editCalendar(TCalenderSet& settings) {
    TSoCalForm form;
    return form.Execute(settings);
}

int FormObjectDialogs::editPicture(TSoPic& picture) {
    TSoPicForm form;
    return form.Execute(picture);
}

int FormObjectDialogs::editText(TSoTex& text) {
    TSoTexForm form;
    return form.Execute(text);
}

ObjectDialogs& formObjectDialogs() {
    static FormObjectDialogs dialogs;
    return dialogs;
}

}  // namespace sorvel
