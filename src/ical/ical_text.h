#pragma once
// Texts of an iCalendar file: the escaping and folding of content lines an export writes, and
// what an import reads of a note's caption and text (the conversion is platform/text's).
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

typedef struct _icaltimezone icaltimezone;

namespace sorvel {

// A TEXT value: backslash, semicolon and comma escaped, every line break (CR LF, LF or CR)
// written as \n, other control characters left out.
std::string escapeIcalText(std::string_view utf8);

// True when the bytes are UTF-8 throughout.
bool isUtf8(std::string_view bytes);

// A UTF-8 text without the blanks (spaces, tabs) at both ends: what libical reads of a value.
std::string_view trimBlanks(std::string_view utf8);

// The zone of the notes' dates and times: the tz database name given or, when it is empty, the
// system's; libical's UTC when it knows neither. *name is the name looked up.
icaltimezone* icalLocalZone(const std::string& configured, std::string* name = nullptr);

// The time a note's caption begins with, "H:MM " or "HH:MM " (0:00 to 23:59): the length of
// that beginning with its space, or 0 when the caption begins with no time.
std::size_t captionTime(std::string_view cp932, int* hour, int* minute);
// The end a note's text holds, "～H:MM" or "～HH:MM"; false when it holds none.
bool textEndTime(std::string_view cp932, int* hour, int* minute);
// The rest of the text's first line that begins with "場所：".
std::optional<std::string> textLocation(std::string_view cp932);
inline constexpr char kLocationLabel[] = "\x8F\xEA\x8F\x8A\x81\x46";  // "場所："
inline constexpr char kEndMark[] = "\x81\x60";                        // "～"

// Appends one content line, folded after 75 octets (never inside a UTF-8 character), and its
// CR LF.
void appendContentLine(std::string& out, std::string_view line);

}  // namespace sorvel
