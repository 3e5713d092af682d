#pragma once
// An ini file with the profile-string semantics the program relies on: section and key names
// compared without regard to ASCII case, a default for a missing key, values read through a
// 255-byte buffer (so at most 254 bytes come back) and kept as bytes. Changes are held in memory
// and written with one atomic replace.
#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include <QString>

namespace sorvel {

class Profile {
public:
    static constexpr std::size_t kReadBuffer = 255;

    Profile() = default;
    // Parses ini text. Lines that are neither "[section]" nor "key=value" are kept as they are.
    explicit Profile(std::string_view text);

    // Reads path; a missing or unreadable file gives an empty profile.
    static Profile load(const QString& path);

    std::string getString(std::string_view section, std::string_view key, std::string_view def) const;
    bool has(std::string_view section, std::string_view key) const;
    void setString(std::string_view section, std::string_view key, std::string_view value);

    // The whole file as text (CRLF line ends, as the profile functions write them).
    std::string text() const;
    // Atomic replace of path with text().
    bool save(const QString& path, QString* error = nullptr) const;

private:
    struct Line {
        std::string raw;    // for lines that are not key=value
        std::string key;    // empty for raw lines
        std::string value;
    };
    struct Section {
        std::string name;
        std::vector<Line> lines;
        std::unordered_map<std::string, std::size_t> index;  // lower-case key -> line
    };
    Section* findSection(std::string_view name);
    const Section* findSection(std::string_view name) const;

    std::vector<std::string> preamble_;  // lines before the first section
    std::vector<Section> sections_;
    std::unordered_map<std::string, std::size_t> sectionIndex_;  // lower-case name -> section
};

}  // namespace sorvel
