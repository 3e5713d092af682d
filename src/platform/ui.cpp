#include "platform/ui.h"

namespace sorvel {

namespace {

// Without a GUI (core tools, tests that install nothing) messages are counted and answered
// with the first button.
class SilentUi : public UiService {
public:
    MsgAnswer messageBox(const QString&, const QString&, MsgButtons buttons) override {
        return firstButtonAnswer(buttons);
    }
    std::optional<QString> openFile(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<QString> saveFile(const FileDialogRequest&) override { return std::nullopt; }
    bool openDocument(const QString&) override { return false; }
    std::optional<QString> chooseFont(const QString&, int) override { return std::nullopt; }
};

UiService*& installed() {
    static UiService* s = nullptr;
    return s;
}
SilentUi& silentUi() {
    static SilentUi silent;
    return silent;
}
UiService*& fallback() {
    static UiService* s = &silentUi();
    return s;
}

}  // namespace

MsgAnswer firstButtonAnswer(MsgButtons buttons) {
    return buttons == MsgButtons::Ok || buttons == MsgButtons::OkCancel ? MsgAnswer::Ok : MsgAnswer::Yes;
}

std::optional<QString> UiService::openPicture(const FileDialogRequest& req, const PictureDecoder&) {
    return openFile(req);
}

std::optional<QString> UiService::askPassword(const QString&, const QString&) { return std::nullopt; }

UiService& ui() { return installed() ? *installed() : *fallback(); }
UiService* setUi(UiService* service) {
    UiService* before = installed();
    installed() = service;
    return before;
}
void setDefaultUi(UiService* service) { fallback() = service ? service : &silentUi(); }

UnattendedUi::UnattendedUi() : previous_(setUi(&silentUi())) {}
UnattendedUi::~UnattendedUi() { setUi(previous_); }

std::optional<UiService::ChosenFont> UiService::chooseFontAndSize(const QString& face, int pointSize) {
    auto chosen = chooseFont(face, pointSize);
    if (!chosen) return std::nullopt;
    return ChosenFont{*chosen, pointSize};
}

}  // namespace sorvel
