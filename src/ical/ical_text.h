#pragma once
// Texts between the program's CP932 bytes and an iCalendar file's UTF-8: the lenient
// conversion an import needs, and the escaping and folding of content lines an export writes.
#include <cstddef>
#include <string>
#include <string_view>

namespace sorvel {

// UTF-8 to CP932; every character CP932 cannot hold (and every byte that is not UTF-8) becomes
// "？" and is counted in *replaced. The few characters other systems write for a CP932 one
// (U+301C WAVE DASH for U+FF5E, U+2212 MINUS SIGN for U+FF0D, …) are written as that one.
std::string utf8ToCp932Replacing(std::string_view utf8, std::size_t* replaced);

// A TEXT value: backslash, semicolon and comma escaped, every line break (CR LF, LF or CR)
// written as \n, other control characters left out.
std::string escapeIcalText(std::string_view utf8);

// Appends one content line, folded after 75 octets (never inside a UTF-8 character), and its
// CR LF.
void appendContentLine(std::string& out, std::string_view line);

}  // namespace sorvel
