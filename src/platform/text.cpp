#include "platform/text.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <limits>

namespace sorvel {

namespace {

class Iconv {
public:
    Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Iconv() {
        if (valid()) iconv_close(cd_);
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    // Converts in, appending to out. At bytes it cannot convert (invalid, or incomplete at the
    // end) it asks `atInvalid(rest, out)`, which appends what stands for them and returns how many
    // bytes to step over, or 0 to stop there; returns false when it stopped.
    template <class AtInvalid>
    bool convert(std::string_view in, std::string& out, AtInvalid&& atInvalid) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char* src = const_cast<char*>(in.data());
        size_t srcLeft = in.size();
        char buf[4096];
        while (srcLeft > 0) {
            char* dst = buf;
            size_t dstLeft = sizeof buf;
            size_t r = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
            out.append(buf, static_cast<size_t>(dst - buf));
            if (r != static_cast<size_t>(-1) || errno == E2BIG) continue;
            const size_t skip = std::min(atInvalid(std::string_view(src, srcLeft), out), srcLeft);
            if (skip == 0) return false;
            src += skip;
            srcLeft -= skip;
            iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        }
        return true;
    }
    bool convert(std::string_view in, std::string& out) {
        return convert(in, out, [](std::string_view, std::string&) { return size_t{0}; });
    }

private:
    iconv_t cd_;
};

Iconv& toUtf8() {
    thread_local Iconv cv("UTF-8", "CP932");
    return cv;
}
Iconv& toCp932() {
    thread_local Iconv cv("CP932", "UTF-8");
    return cv;
}

// Second byte of a double-byte character; anything else after a lead byte is a character of
// its own.
bool isTrailByte(unsigned char c) { return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC); }

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view trim(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

}  // namespace

bool isLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

std::string cp932ToUtf8(std::string_view cp932) {
    std::string out;
    out.reserve(cp932.size() * 3 / 2);
    // Fast path for ASCII runs; character-by-character for the rest so that one bad
    // byte costs one replacement character, not the whole text.
    size_t i = 0;
    while (i < cp932.size()) {
        unsigned char c = static_cast<unsigned char>(cp932[i]);
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
            ++i;
            continue;
        }
        size_t len =
            (isLeadByte(c) && i + 1 < cp932.size() && isTrailByte(static_cast<unsigned char>(cp932[i + 1]))) ? 2 : 1;
        std::string piece;
        if (toUtf8().valid() && toUtf8().convert(cp932.substr(i, len), piece) && !piece.empty()) {
            out += piece;
        } else {
            out += "\xEF\xBF\xBD";
        }
        i += len;
    }
    return out;
}

std::size_t utf8SequenceLength(unsigned char c) {
    if (c >= 0xF0 && c <= 0xF4) return 4;
    if (c >= 0xE0) return c <= 0xEF ? 3 : 1;
    if (c >= 0xC2) return 2;
    return 1;
}

std::string utf8ToCp932Replacing(std::string_view utf8, std::size_t* replaced) {
    std::string out;
    if (std::all_of(utf8.begin(), utf8.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return std::string(utf8);
    if (!toCp932().valid()) return out;
    out.reserve(utf8.size());
    toCp932().convert(utf8, out, [replaced](std::string_view rest, std::string& to) {
        // One "？" for a character or for a byte that starts none.
        size_t len = std::min(utf8SequenceLength(static_cast<unsigned char>(rest[0])), rest.size());
        for (size_t k = 1; k < len; ++k)
            if ((static_cast<unsigned char>(rest[k]) & 0xC0) != 0x80) len = k;
        to += "\x81\x48";
        if (replaced) ++*replaced;
        return len;
    });
    return out;
}

std::optional<std::string> utf8ToCp932(std::string_view utf8) {
    std::string out;
    bool ascii = true;
    for (char c : utf8) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii) return std::string(utf8);
    if (!toCp932().valid() || !toCp932().convert(utf8, out)) return std::nullopt;
    return out;
}

QString toQString(std::string_view cp932) {
    std::string u = cp932ToUtf8(cp932);
    return QString::fromUtf8(u.data(), static_cast<qsizetype>(u.size()));
}

std::optional<std::string> fromQString(const QString& s) {
    QByteArray u = s.toUtf8();
    return utf8ToCp932(std::string_view(u.constData(), static_cast<size_t>(u.size())));
}

QString firstCharacterOutsideCp932(const QString& s) {
    for (qsizetype i = 0; i < s.size();) {
        const qsizetype len = s[i].isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate() ? 2 : 1;
        const QString one = s.mid(i, len);
        if (!fromQString(one)) return one;
        i += len;
    }
    return QString();
}

QString describeCharacter(const QString& character) {
    const char32_t code = character.size() == 2 ? QChar::surrogateToUcs4(character[0], character[1])
                                                : character.isEmpty() ? 0 : character[0].unicode();
    return QStringLiteral("「%1」(U+%2)").arg(character,
        QString::number(static_cast<uint>(code), 16).toUpper().rightJustified(4, QChar(u'0')));
}

std::string sjis(std::string_view utf8) { return utf8ToCp932(utf8).value_or(std::string()); }

std::optional<std::int32_t> parseInt(std::string_view s) {
    s = trim(s);
    if (s.empty()) return std::nullopt;
    bool negative = false;
    if (s.front() == '+' || s.front() == '-') {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    if (s.empty()) return std::nullopt;
    long long v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + (c - '0');
        if (v > static_cast<long long>(std::numeric_limits<std::int32_t>::max()) + 1) return std::nullopt;
    }
    if (negative) v = -v;
    if (v < std::numeric_limits<std::int32_t>::min() || v > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(v);
}

std::optional<double> parseReal(std::string_view s) {
    s = trim(s);
    if (s.empty()) return std::nullopt;
    if (s.front() == '+') {
        s.remove_prefix(1);
        if (s.empty() || s.front() == '-') return std::nullopt;
    }
    double v = 0;
    auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), v, std::chars_format::general);
    if (ec != std::errc() || ptr != s.data() + s.size() || !std::isfinite(v)) return std::nullopt;
    return v;
}

std::string formatInt(long long v) { return std::to_string(v); }

std::string formatReal(double v) {
    // std::to_chars ignores the process locale (Qt sets LC_ALL from the environment).
    char buf[64];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 15);
    if (ec != std::errc()) return "0";
    return std::string(buf, end);
}

}  // namespace sorvel
