#pragma once
// The layout page a session end could not put to the user: kept in the program directory's
// recovery file, offered at the next start, and removed once the page is saved or given up.
#include <functional>

#include <QString>

namespace sorvel {

class TLayoutForm;

class LayoutRecovery {
public:
    explicit LayoutRecovery(QString programDir);

    // At the start, when the file is there: asks whether to open it; openWindow shows the layout
    // window, whose empty page then takes the file's objects, unsaved.
    void Offer(const std::function<TLayoutForm&()>& openWindow);
    // The session end, nobody to ask: an unsaved page goes to the file; a recovered page since
    // saved or given up needs its file no more. False when the file could not be written.
    bool KeepForSessionEnd(TLayoutForm* window);
    // The regular end, after the layout window's question: the recovered page was saved or
    // given up by the user.
    void Ended();

private:
    QString path_;
    // The recovered page was taken at this start: its file stays on disk until the program ends
    // normally or the session end writes the page again.
    bool taken_ = false;
};

}  // namespace sorvel
