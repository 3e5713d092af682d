#pragma once
// The tagged record encoding every stored record uses: numbered blocks ("<+M03>\r\n" …
// "<-M03>\r\n") of numbered fields ("<+S01>\r\n" … "<-S01>\r\n"), each holding an escaped
// value ("<+DA>" … "<-DA>") or one nested block.
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace sorvel {

// A byte view being read; it never reads past its end.
class TagStream {
public:
    explicit TagStream(std::string_view data) : data_(data) {}
    bool atEnd() const { return pos_ >= data_.size(); }
    // Next byte, or -1 at the end.
    int get() { return atEnd() ? -1 : static_cast<unsigned char>(data_[pos_++]); }
    std::size_t pos() const { return pos_; }
    void seek(std::size_t p) { pos_ = p < data_.size() ? p : data_.size(); }
    std::string_view data() const { return data_; }

    // Set by ReadTag when a marker's two number bytes are not a decimal number; readers treat
    // the data from there on as damaged.
    bool badNumber = false;

private:
    std::string_view data_;
    std::size_t pos_ = 0;
};

enum TagMode { kTagValue = 0, kTagOpen = 1, kTagClose = 2 };

// The byte a "<" inside a value is stored as.
inline constexpr char kEscapedLt = 26;

// Appends one field: mode 0 a value field, 1 the opening marker alone, 2 the closing marker
// alone. "<" in the value is written as byte 26.
void WriteField(std::string& out, int number, std::string_view text, int mode);
// The 8-byte block markers of block `number`.
void WriteBlockOpen(std::string& out, int number);
void WriteBlockClose(std::string& out, int number);
// A value field holding an integer in decimal.
void WriteIntField(std::string& out, int number, long long value);

// The same bytes written into a buffer sized in advance, for records written by the hundred
// thousand (the data file's notes): each returns the end of what it wrote. Field and block
// numbers are 0–99.
inline constexpr std::size_t kMarkerBytes = 8;       // "<+S01>\r\n"
inline constexpr std::size_t kValueFieldBytes = 26;  // "<+S01>\r\n<+DA>" and "<-DA><-S01>\r\n"
inline constexpr std::size_t kIntValueBytes = 11;    // "-2147483648", the longest 32-bit value
inline char* PutMarker(char* p, char sign, char letter, int number);
inline char* PutBlockOpen(char* p, int number) { return PutMarker(p, '+', 'M', number); }
inline char* PutBlockClose(char* p, int number) { return PutMarker(p, '-', 'M', number); }
inline char* PutIntField(char* p, int number, std::int32_t value);
// The text's "<" are written as kEscapedLt.
inline char* PutTextField(char* p, int number, std::string_view text);

// Reads one marker (modes 1 and 2) or one value (mode 0), after skipping to the next "<".
// Returns 1 when it read what the mode expects, 0 otherwise. At the end of the data it
// returns 0 with `text` empty.
int ReadTag(TagStream& in, int& number, std::string& text, int mode);

// Steps over the rest of a block whose opening marker has been read, nested blocks included,
// up to and including the "<-" of its closing marker. Returns false at the end of the data.
bool SkipBlock(TagStream& in);

// Helpers for record readers built on ReadTag.
enum class FieldStep { Field, End, Broken };
// Reads the next field opening marker of a block: Field with its number, End at the "<-" of the
// block's closing marker, Broken on damage or at the end of the data.
FieldStep NextField(TagStream& in, int& number);
// Reads a value (mode 0); false on damage.
bool ReadValue(TagStream& in, std::string& text);
// Reads a value and converts it to an integer; false on damage or when it is not a number.
bool ReadIntValue(TagStream& in, std::int32_t& value);
bool ReadRealValue(TagStream& in, double& value);
// As ReadIntValue, keeping the low 8 bits.
bool ReadByteValue(TagStream& in, std::uint8_t& value);
// Readers of settings records: a value that is not a number leaves the member as it was, and
// only damage to the markers fails. The byte forms keep the low 8 bits of the number.
bool ReadIntOrKeep(TagStream& in, std::int32_t& member);
bool ReadLowByteOrKeep(TagStream& in, std::int32_t& member);
bool ReadLowByteOrKeep(TagStream& in, std::uint8_t& member);
// Reads the field closing marker (mode 2); false on damage.
bool EndField(TagStream& in);
// Drops the content of a field whose number the reader does not know: a value, or a whole
// nested block. False on damage.
bool SkipFieldContent(TagStream& in);

// What a record reader did with one field's content.
enum class FieldRead {
    Read,     // read into the record
    Unknown,  // not a field the record takes (or one it passes over): the record's rule applies
    Failed,   // damage
};
inline FieldRead FieldReadOf(bool ok) { return ok ? FieldRead::Read : FieldRead::Failed; }

// What a record does with a field number it does not know; each record reader states its rule.
enum class UnknownField {
    Skip,    // the content is read and dropped, the record stays good
    Reject,  // the content is read past (so that the stream stays in step), and the record fails
             // once its closing marker has been read
};

// The one loop over the fields of a record whose opening marker has been read: for each field,
// `readField(number)` reads its content and says what it did, then the field's closing marker is
// read. An unknown field's content, value or nested block, is passed over whole, and `unknown`
// says whether that fails the record. True when the record's closing marker was reached and no
// field was rejected; false on damage (the stream then stands where the damage was found) or
// after a rejected field (the stream then stands after the record).
template <class ReadField>
bool ReadFields(TagStream& in, UnknownField unknown, ReadField&& readField) {
    bool valid = true;
    for (;;) {
        int number = 0;
        const FieldStep step = NextField(in, number);
        if (step == FieldStep::End) return valid;
        if (step == FieldStep::Broken) return false;
        const FieldRead read = readField(number);
        if (read == FieldRead::Failed) return false;
        if (read == FieldRead::Unknown) {
            if (unknown == UnknownField::Reject) valid = false;
            if (!SkipFieldContent(in)) return false;
        }
        if (!EndField(in)) return false;
    }
}

// ---- the buffer writers, inline: the data file's save runs through them field by field ----

namespace detail {
char* putOddMarker(char* p, char sign, char letter, int number);
inline char* putBytes(char* p, const char* bytes, std::size_t n) {
    std::memcpy(p, bytes, n);
    return p + n;
}
}  // namespace detail

inline char* PutMarker(char* p, char sign, char letter, int number) {
    if (number < 0 || number > 99) return detail::putOddMarker(p, sign, letter, number);
    const char marker[kMarkerBytes] = {'<', sign, letter, static_cast<char>('0' + number / 10),
                                       static_cast<char>('0' + number % 10), '>', '\r', '\n'};
    return detail::putBytes(p, marker, kMarkerBytes);
}

inline char* PutIntField(char* p, int number, std::int32_t value) {
    p = detail::putBytes(PutMarker(p, '+', 'S', number), "<+DA>", 5);
    p = std::to_chars(p, p + kIntValueBytes, value).ptr;
    return PutMarker(detail::putBytes(p, "<-DA>", 5), '-', 'S', number);
}

inline char* PutTextField(char* p, int number, std::string_view text) {
    p = detail::putBytes(PutMarker(p, '+', 'S', number), "<+DA>", 5);
    char* const start = p;
    p = detail::putBytes(p, text.data(), text.size());
    for (char* lt = start; (lt = static_cast<char*>(std::memchr(lt, '<', static_cast<std::size_t>(p - lt)))) != nullptr;)
        *lt++ = kEscapedLt;
    return PutMarker(detail::putBytes(p, "<-DA>", 5), '-', 'S', number);
}

}  // namespace sorvel
