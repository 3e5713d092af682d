#pragma once
// The calendar window's iCalendar commands over the document: the import adds to its lists, the
// export writes every note and rule.
class QWidget;

namespace sorvel {

class CalendarDocument;

class IcalController {
public:
    IcalController(QWidget* parent, CalendarDocument& document) : parent_(parent), document_(document) {}

    // Asks for a file and the years and imports it. True when the lists changed (the window
    // then writes the data file and shows the notes, as after the day dialog).
    bool Import();
    // Asks for a file, the national holidays and the almanac, and writes them with every note
    // and rule.
    void Export();

private:
    QWidget* parent_;
    CalendarDocument& document_;
};

}  // namespace sorvel
