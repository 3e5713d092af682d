#include "data/tagged_record.h"

#include <cstdio>
#include <cstring>

#include "platform/text.h"

namespace sorvel {

namespace {

// Writes the eight bytes of a marker, "<+S07>\r\n", to dst. Numbers are 0–99 by construction
// of the callers.
void putMarker(char* dst, char sign, char letter, int number) {
    number %= 100;
    if (number < 0) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "<%c%c%02d>\r\n", sign, letter, number);
        std::memcpy(dst, buf, 8);
        return;
    }
    const char marker[8] = {'<', sign, letter, static_cast<char>('0' + number / 10), static_cast<char>('0' + number % 10),
                            '>', '\r', '\n'};
    std::memcpy(dst, marker, 8);
}

void appendMarker(std::string& out, char sign, char letter, int number) {
    char marker[8];
    putMarker(marker, sign, letter, number);
    out.append(marker, 8);
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

void WriteField(std::string& out, int number, std::string_view text, int mode) {
    if (mode == kTagClose) {
        appendMarker(out, '-', 'S', number);
        return;
    }
    if (mode == kTagOpen) {
        appendMarker(out, '+', 'S', number);
        return;
    }
    // Files hold hundreds of thousands of fields: the markers around the value go in with one
    // append each.
    char head[13];
    putMarker(head, '+', 'S', number);
    std::memcpy(head + 8, "<+DA>", 5);
    char tail[13];
    std::memcpy(tail, "<-DA>", 5);
    putMarker(tail + 5, '-', 'S', number);
    out.append(head, sizeof head);
    const std::size_t start = out.size();
    out += text;
    for (std::size_t i = out.find('<', start); i != std::string::npos; i = out.find('<', i + 1)) out[i] = kEscapedLt;
    out.append(tail, sizeof tail);
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
