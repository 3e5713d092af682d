#pragma once
// Text helpers: CP932 <-> UTF-8 and number parsing that reports failure instead of throwing.
// Held and stored texts are CP932 bytes in std::string; Unicode exists only at widget and
// file-system boundaries.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include <QString>

namespace sorvel {

// FNV-1a, 64 bits, over bytes: the stable hash that UIDs and the sync state store.
inline constexpr std::uint64_t kFnvBasis = 0xCBF29CE484222325ull;
inline std::uint64_t fnv1a(std::uint64_t h, std::string_view bytes) {
    for (const char c : bytes) {
        h ^= static_cast<std::uint64_t>(static_cast<unsigned char>(c));
        h *= 0x100000001B3ull;
    }
    return h;
}

// True for a byte that starts a double-byte CP932 character.
bool isLeadByte(unsigned char c);

// CP932 bytes to UTF-8. Bytes that are not valid CP932 become U+FFFD.
std::string cp932ToUtf8(std::string_view cp932);
// UTF-8 to CP932. Empty optional when a character has no CP932 form.
std::optional<std::string> utf8ToCp932(std::string_view utf8);
// UTF-8 to CP932 for texts from other programs (an iCalendar file): every character CP932 cannot
// hold, and every byte that is not UTF-8, becomes "？" and is counted in *replaced (when given).
std::string utf8ToCp932Replacing(std::string_view utf8, std::size_t* replaced);
// Length of the UTF-8 sequence a byte starts; 1 for a byte that starts none.
std::size_t utf8SequenceLength(unsigned char c);

QString toQString(std::string_view cp932);
std::optional<std::string> fromQString(const QString& s);
// The first character of s (a whole surrogate pair where there is one) that CP932 cannot hold;
// empty when there is none.
QString firstCharacterOutsideCp932(const QString& s);
// A character as messages name it: 「😀」(U+1F600).
QString describeCharacter(const QString& character);
// For texts the program itself writes in source (always representable).
std::string sjis(std::string_view utf8);

// Decimal integer: optional surrounding blanks, optional sign, digits; fails on anything else
// and on overflow of 32 bits.
std::optional<std::int32_t> parseInt(std::string_view s);
// Real number in "C" notation ("." decimal point); fails on anything else or non-finite text.
std::optional<double> parseReal(std::string_view s);

std::string formatInt(long long v);
// General float-to-text form: shortest with up to 15 significant digits (100 -> "100", 12.5 -> "12.5").
std::string formatReal(double v);

}  // namespace sorvel
