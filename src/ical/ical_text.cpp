#include "ical/ical_text.h"

#include <iconv.h>
#include <libical/ical.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <QTimeZone>

#include "platform/text.h"

namespace sorvel {

namespace {

constexpr char kReplacement[] = "\x81\x48";  // "？"

// Length of the UTF-8 sequence a byte starts; 1 for a byte that starts none.
std::size_t sequenceLength(unsigned char c) {
    if (c >= 0xF0 && c <= 0xF4) return 4;
    if (c >= 0xE0) return c <= 0xEF ? 3 : 1;
    if (c >= 0xC2) return 2;
    return 1;
}

// CP932 bytes for characters that other systems use where CP932 has a neighbour.
const char* substituteFor(std::string_view utf8) {
    struct Pair {
        std::string_view from;
        const char* to;
    };
    static constexpr Pair kPairs[] = {
        {"\xE3\x80\x9C", "\x81\x60"},  // U+301C WAVE DASH → ～
        {"\xE2\x80\x96", "\x81\x61"},  // U+2016 DOUBLE VERTICAL LINE → ∥
        {"\xE2\x88\x92", "\x81\x7C"},  // U+2212 MINUS SIGN → －
        {"\xE2\x80\x94", "\x81\x5C"},  // U+2014 EM DASH → ―
        {"\xC2\xA2", "\x81\x91"},      // ¢
        {"\xC2\xA3", "\x81\x92"},      // £
        {"\xC2\xAC", "\x81\xCA"},      // ¬
    };
    for (const Pair& p : kPairs)
        if (utf8 == p.from) return p.to;
    return nullptr;
}

class ToCp932 {
public:
    ToCp932() : cd_(iconv_open("CP932", "UTF-8")) {}
    ~ToCp932() {
        if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
    }
    ToCp932(const ToCp932&) = delete;
    ToCp932& operator=(const ToCp932&) = delete;
    iconv_t cd() const { return cd_; }

private:
    iconv_t cd_;
};

bool isAscii(std::string_view s) {
    for (char c : s)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

}  // namespace

std::string utf8ToCp932Replacing(std::string_view utf8, std::size_t* replaced) {
    if (isAscii(utf8)) return std::string(utf8);
    thread_local ToCp932 converter;
    std::string out;
    out.reserve(utf8.size());
    iconv_t cd = converter.cd();
    if (cd == reinterpret_cast<iconv_t>(-1)) return out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* src = const_cast<char*>(utf8.data());
    std::size_t left = utf8.size();
    char buf[4096];
    while (left > 0) {
        char* dst = buf;
        std::size_t room = sizeof buf;
        const std::size_t r = iconv(cd, &src, &left, &dst, &room);
        out.append(buf, static_cast<std::size_t>(dst - buf));
        if (r != static_cast<std::size_t>(-1) || errno == E2BIG) continue;
        // A character CP932 has no code for, or bytes that are no UTF-8: one "？" each.
        std::size_t len = std::min(sequenceLength(static_cast<unsigned char>(*src)), left);
        for (std::size_t k = 1; k < len; ++k)
            if ((static_cast<unsigned char>(src[k]) & 0xC0) != 0x80) len = k;
        if (const char* sub = substituteFor(std::string_view(src, len))) {
            out += sub;
        } else {
            out += kReplacement;
            if (replaced) ++*replaced;
        }
        src += len;
        left -= len;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    return out;
}

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
        const std::size_t len = c < 0x80 ? 1 : sequenceLength(c);
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
