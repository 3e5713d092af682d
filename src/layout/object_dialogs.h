#pragma once
// The settings dialogs that a layout object's EditSettings opens unless others are installed:
// each is created for one run without owner, run modally and destroyed.
#include "layout/sorvel_obj.h"

namespace sorvel {

class FormObjectDialogs : public ObjectDialogs {
public:
    int editCalendar(TCalenderSet& settings) override;
    int editPicture(TSoPic& picture) override;
    int editText(TSoTex& text) override;
};

ObjectDialogs& formObjectDialogs();

}  // namespace sorvel
