#include "ical/ical_text.h"

#include <libical/ical.h>

#include <algorithm>
#include <cstring>

#include <QTimeZone>

#include "platform/text.h"

namespace sorvel {

std::string escapeIcalText(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size() + 8);
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const char c = utf8[i];
        switch (c) {
            case '\\': out += "\\\\"; break;
            case ';': out += "\\;"; break;
            case ',': out += "\\,"; break;
            case '\r':
                if (i + 1 < utf8.size() && utf8[i + 1] == '\n') ++i;
                out += "\\n";
                break;
            case '\n': out += "\\n"; break;
            default:
                if ((static_cast<unsigned char>(c) >= 0x20 && c != 0x7F) || c == '\t') out.push_back(c);
        }
    }
    return out;
}

bool isUtf8(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size();) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        const std::size_t len = c < 0x80 ? 1 : utf8SequenceLength(c);
        if (len == 1 && c >= 0x80) return false;
        if (i + len > bytes.size()) return false;
        for (std::size_t k = 1; k < len; ++k)
            if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80) return false;
        // Overlong three- and four-byte forms, surrogates and code points above U+10FFFF.
        const unsigned char d = len > 1 ? static_cast<unsigned char>(bytes[i + 1]) : 0;
        if ((c == 0xE0 && d < 0xA0) || (c == 0xED && d >= 0xA0) || (c == 0xF0 && d < 0x90) || (c == 0xF4 && d >= 0x90))
            return false;
        i += len;
    }
    return true;
}

std::string_view trimBlanks(std::string_view utf8) {
    while (!utf8.empty() && (utf8.front() == ' ' || utf8.front() == '\t')) utf8.remove_prefix(1);
    while (!utf8.empty() && (utf8.back() == ' ' || utf8.back() == '\t')) utf8.remove_suffix(1);
    return utf8;
}

icaltimezone* icalLocalZone(const std::string& configured, std::string* name) {
    std::string zone = configured.empty() ? QTimeZone::systemTimeZoneId().toStdString() : configured;
    icaltimezone* z = icaltimezone_get_builtin_timezone(zone.c_str());
    if (name) *name = zone;
    return z ? z : icaltimezone_get_utc_timezone();
}

namespace {

// "H:MM" or "HH:MM" at the start of s, 0:00 to 23:59: its length, or 0.
std::size_t clockTime(std::string_view s, int* hour, int* minute) {
    auto digit = [&](std::size_t i) { return i < s.size() && s[i] >= '0' && s[i] <= '9'; };
    std::size_t h = 0;
    while (h < 2 && digit(h)) ++h;
    if (h == 0 || h >= s.size() || s[h] != ':' || !digit(h + 1) || !digit(h + 2)) return 0;
    const int hh = h == 1 ? s[0] - '0' : (s[0] - '0') * 10 + (s[1] - '0');
    const int mm = (s[h + 1] - '0') * 10 + (s[h + 2] - '0');
    if (hh > 23 || mm > 59) return 0;
    *hour = hh;
    *minute = mm;
    return h + 3;
}

}  // namespace

std::size_t captionTime(std::string_view cp932, int* hour, int* minute) {
    int h = 0, m = 0;
    const std::size_t n = clockTime(cp932, &h, &m);
    if (n == 0 || n >= cp932.size() || cp932[n] != ' ') return 0;
    *hour = h;
    *minute = m;
    return n + 1;
}

bool textEndTime(std::string_view cp932, int* hour, int* minute) {
    for (std::size_t i = 0; i < cp932.size(); i += isLeadByte(static_cast<unsigned char>(cp932[i])) ? 2 : 1) {
        if (cp932.substr(i, 2) != kEndMark) continue;
        if (clockTime(cp932.substr(i + 2), hour, minute)) return true;
    }
    return false;
}

std::optional<std::string> textLocation(std::string_view cp932) {
    const std::string_view label(kLocationLabel);
    for (std::size_t at = 0; at < cp932.size();) {
        // CR and LF are never the second byte of a character.
        std::size_t end = cp932.find_first_of("\r\n", at);
        if (end == std::string_view::npos) end = cp932.size();
        const std::string_view line = cp932.substr(at, end - at);
        if (line.substr(0, label.size()) == label) return std::string(line.substr(label.size()));
        at = end + 1;
    }
    return std::nullopt;
}

void appendContentLine(std::string& out, std::string_view line) {
    std::size_t width = 75;  // octets on this physical line, the leading space included
    while (line.size() > width) {
        std::size_t cut = width;
        while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) --cut;
        out.append(line.substr(0, cut));
        out += "\r\n ";
        line.remove_prefix(cut);
        width = 74;
    }
    out.append(line);
    out += "\r\n";
}

}  // namespace sorvel
