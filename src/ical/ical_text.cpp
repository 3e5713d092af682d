#include "ical/ical_text.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>

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
