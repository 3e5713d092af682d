#pragma once
// Schedule notes dragged between windows: the MIME type of our own and its bytes, written by the
// schedule list and read by the windows that accept a drop of notes.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <QByteArray>

class QMimeData;

namespace sorvel {

// The MIME type of notes dragged out of the schedule list.
inline constexpr char kNotesMimeType[] = "application/x-sorvel-notes";

struct DraggedNote {
    std::int32_t year = 0;
    std::int32_t month = 0;
    std::int32_t day = 0;
    std::string caption;  // CP932
    std::string text;     // CP932
    bool operator==(const DraggedNote&) const = default;
};

QByteArray encodeDraggedNotes(const std::vector<DraggedNote>& notes);
// Empty optional when the data are not notes or are damaged.
std::optional<std::vector<DraggedNote>> readDraggedNotes(const QMimeData& mime);

}  // namespace sorvel
