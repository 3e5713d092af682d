#include "data/tagged_record.h"

#include <cstdio>
#include <optional>

#include "platform/text.h"

namespace sorvel {

namespace {

void appendMarker(std::string& out, char sign, char letter, int number) {
    char marker[kMarkerBytes];
    PutMarker(marker, sign, letter, number);
    out.append(marker, kMarkerBytes);
}

// Skips bytes until a "<" has been read. False at the end of the data.
bool skipToMarker(TagStream& in) {
    const std::size_t lt = in.data().find('<', in.pos());
    if (lt == std::string_view::npos) {
        in.seek(in.data().size());
        return false;
    }
    in.seek(lt + 1);
    return true;
}

int digit(int c) { return c >= '0' && c <= '9' ? c - '0' : -1; }

}  // namespace

namespace detail {

char* putOddMarker(char* p, char sign, char letter, int number) {
    number %= 100;
    if (number >= 0) return PutMarker(p, sign, letter, number);
    char buf[16];
    std::snprintf(buf, sizeof buf, "<%c%c%02d>\r\n", sign, letter, number);
    return putBytes(p, buf, kMarkerBytes);
}

}  // namespace detail

void WriteField(std::string& out, int number, std::string_view text, int mode) {
    if (mode == kTagClose) {
        appendMarker(out, '-', 'S', number);
        return;
    }
    if (mode == kTagOpen) {
        appendMarker(out, '+', 'S', number);
        return;
    }
    const std::size_t start = out.size();
    out.resize(start + kValueFieldBytes + text.size());
    PutTextField(out.data() + start, number, text);
}

void WriteIntField(std::string& out, int number, long long value) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    WriteField(out, number, std::string_view(digits, static_cast<std::size_t>(end - digits)), kTagValue);
}

void WriteBlockOpen(std::string& out, int number) { appendMarker(out, '+', 'M', number); }
void WriteBlockClose(std::string& out, int number) { appendMarker(out, '-', 'M', number); }

int ReadTag(TagStream& in, int& number, std::string& text, int mode) {
    text.clear();
    if (!skipToMarker(in)) return 0;
    int c = in.get();
    if (c < 0) return 0;
    const char expected = mode == kTagClose ? '-' : '+';
    if (c != expected) {
        text.assign(1, static_cast<char>(c));
        return 0;
    }
    if (mode == kTagOpen || mode == kTagClose) {
        int letter = in.get();
        int d1 = in.get();
        int d2 = in.get();
        int gt = in.get();
        if (gt < 0) {
            text.clear();
            return 0;
        }
        text.assign(1, static_cast<char>(letter));
        if (digit(d1) < 0 || digit(d2) < 0) {
            in.badNumber = true;
            return 0;
        }
        number = digit(d1) * 10 + digit(d2);
        return 1;
    }
    // Value: "DA>" then bytes up to the next "<".
    for (int i = 0; i < 3; ++i)
        if (in.get() < 0) return 0;
    const std::size_t start = in.pos();
    if (!skipToMarker(in)) return 0;
    std::string value(in.data().substr(start, in.pos() - 1 - start));
    for (std::size_t i = value.find(kEscapedLt); i != std::string::npos; i = value.find(kEscapedLt, i + 1)) value[i] = '<';
    int sign = in.get();
    if (sign < 0) return 0;
    if (sign != '-') {
        text.assign(1, static_cast<char>(sign));
        return 0;
    }
    for (int i = 0; i < 3; ++i)
        if (in.get() < 0) return 0;
    text = std::move(value);
    return 1;
}

bool SkipBlock(TagStream& in) {
    // Depth counts block markers only; field markers and values come in pairs of their own.
    int depth = 1;
    for (;;) {
        if (!skipToMarker(in)) return false;
        int sign = in.get();
        if (sign < 0) return false;
        if (sign == '+') {
            int letter = in.get();
            if (letter == 'M') ++depth;
            if (letter == 'D') {
                // A value: its bytes may hold anything but "<"; skip to its "<-DA>".
                if (!skipToMarker(in)) return false;
            }
        } else if (sign == '-') {
            std::size_t at = in.pos();
            int letter = in.get();
            if (letter == 'M' && --depth == 0) {
                in.seek(at);  // leave the rest of the marker, as a record reader does
                return true;
            }
        }
    }
}

FieldStep NextField(TagStream& in, int& number) {
    std::string text;
    int r = ReadTag(in, number, text, kTagOpen);
    if (r == 1) return text == "S" ? FieldStep::Field : FieldStep::Broken;
    if (text == "-") return FieldStep::End;
    return FieldStep::Broken;
}

bool ReadValue(TagStream& in, std::string& text) {
    int unused = 0;
    return ReadTag(in, unused, text, kTagValue) == 1;
}

bool ReadIntValue(TagStream& in, std::int32_t& value) {
    std::string text;
    if (!ReadValue(in, text)) return false;
    auto v = parseInt(text);
    if (!v) return false;
    value = *v;
    return true;
}

bool ReadRealValue(TagStream& in, double& value) {
    std::string text;
    if (!ReadValue(in, text)) return false;
    auto v = parseReal(text);
    if (!v) return false;
    value = *v;
    return true;
}

bool ReadByteValue(TagStream& in, std::uint8_t& value) {
    std::int32_t v = 0;
    if (!ReadIntValue(in, v)) return false;
    value = static_cast<std::uint8_t>(v & 0xFF);
    return true;
}

namespace {

// The number a value holds, if it is one; false on damage.
bool readNumber(TagStream& in, std::optional<std::int32_t>& number) {
    std::string text;
    if (!ReadValue(in, text)) return false;
    number = parseInt(text);
    return true;
}

}  // namespace

bool ReadIntOrKeep(TagStream& in, std::int32_t& member) {
    std::optional<std::int32_t> v;
    if (!readNumber(in, v)) return false;
    if (v) member = *v;
    return true;
}

bool ReadLowByteOrKeep(TagStream& in, std::int32_t& member) {
    std::optional<std::int32_t> v;
    if (!readNumber(in, v)) return false;
    if (v) member = *v & 0xFF;
    return true;
}

bool ReadLowByteOrKeep(TagStream& in, std::uint8_t& member) {
    std::optional<std::int32_t> v;
    if (!readNumber(in, v)) return false;
    if (v) member = static_cast<std::uint8_t>(*v & 0xFF);
    return true;
}

bool EndField(TagStream& in) {
    int number = 0;
    std::string text;
    return ReadTag(in, number, text, kTagClose) == 1;
}

bool SkipFieldContent(TagStream& in) {
    // Look at the next marker without consuming it: "<+DA>" is a value, "<+M" a nested block.
    std::size_t start = in.pos();
    std::string_view rest = in.data().substr(start);
    std::size_t lt = rest.find('<');
    if (lt == std::string_view::npos || lt + 2 >= rest.size()) return false;
    if (rest[lt + 1] == '+' && rest[lt + 2] == 'M') {
        int number = 0;
        std::string text;
        if (ReadTag(in, number, text, kTagOpen) != 1) return false;
        return SkipBlock(in);
    }
    std::string dropped;
    return ReadValue(in, dropped);
}

}  // namespace sorvel
