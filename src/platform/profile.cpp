#include "platform/profile.h"

#include "platform/files.h"

namespace sorvel {

namespace {

// Ini files are small; anything beyond this is not a settings file and is not read.
constexpr std::int64_t kMaxIniBytes = 16 * 1024 * 1024;

std::string lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

}  // namespace

Profile::Profile(std::string_view text) {
    Section* current = nullptr;
    while (!text.empty()) {
        size_t nl = text.find('\n');
        std::string_view line = text.substr(0, nl);
        text = nl == std::string_view::npos ? std::string_view() : text.substr(nl + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        std::string_view t = trim(line);
        if (!t.empty() && t.front() == '[') {
            size_t close = t.find(']');
            std::string name(trim(t.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1)));
            if (Section* existing = findSection(name)) {
                current = existing;
            } else {
                sectionIndex_.emplace(lower(name), sections_.size());
                sections_.push_back(Section{name, {}, {}});
                current = &sections_.back();
            }
            continue;
        }
        size_t eq = t.find('=');
        if (current == nullptr) {
            preamble_.emplace_back(line);
            continue;
        }
        if (eq == std::string_view::npos || t.front() == ';') {
            current->lines.push_back(Line{std::string(line), {}, {}});
            continue;
        }
        std::string key(trim(t.substr(0, eq)));
        std::string value(trim(t.substr(eq + 1)));
        std::string lk = lower(key);
        if (key.empty() || current->index.count(lk)) {
            // The first of duplicate keys wins, as the profile functions read it.
            current->lines.push_back(Line{std::string(line), {}, {}});
            continue;
        }
        current->index.emplace(lk, current->lines.size());
        current->lines.push_back(Line{{}, std::move(key), std::move(value)});
    }
}

Profile Profile::load(const QString& path) {
    auto data = readWholeFile(path, kMaxIniBytes);
    if (!data) return Profile();
    return Profile(*data);
}

Profile::Section* Profile::findSection(std::string_view name) {
    auto it = sectionIndex_.find(lower(name));
    return it == sectionIndex_.end() ? nullptr : &sections_[it->second];
}

const Profile::Section* Profile::findSection(std::string_view name) const {
    auto it = sectionIndex_.find(lower(name));
    return it == sectionIndex_.end() ? nullptr : &sections_[it->second];
}

bool Profile::has(std::string_view section, std::string_view key) const {
    const Section* s = findSection(section);
    return s && s->index.count(lower(key));
}

std::string Profile::getString(std::string_view section, std::string_view key, std::string_view def) const {
    std::string value(def);
    if (const Section* s = findSection(section)) {
        auto it = s->index.find(lower(key));
        if (it != s->index.end()) value = s->lines[it->second].value;
    }
    // Strip one pair of enclosing quotes, as the profile functions do.
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    if (value.size() > kReadBuffer - 1) value.resize(kReadBuffer - 1);
    return value;
}

void Profile::setString(std::string_view section, std::string_view key, std::string_view value) {
    Section* s = findSection(section);
    if (!s) {
        sectionIndex_.emplace(lower(section), sections_.size());
        sections_.push_back(Section{std::string(section), {}, {}});
        s = &sections_.back();
    }
    // A value is one line: line breaks would create keys of their own.
    std::string v(value);
    for (char& c : v)
        if (c == '\r' || c == '\n') c = ' ';
    // The reader trims blanks and strips one pair of enclosing quotes: a value that starts or
    // ends with either is written quoted, so it reads back as it was given.
    if (!v.empty() && (v.front() == ' ' || v.front() == '\t' || v.back() == ' ' || v.back() == '\t' ||
                       v.front() == '"' || v.front() == '\''))
        v = '"' + v + '"';
    std::string lk = lower(key);
    auto it = s->index.find(lk);
    if (it != s->index.end()) {
        s->lines[it->second].value = std::move(v);
        return;
    }
    // New keys go after the last key of the section, before trailing blank lines.
    size_t pos = s->lines.size();
    while (pos > 0 && s->lines[pos - 1].key.empty() && trim(s->lines[pos - 1].raw).empty()) --pos;
    for (auto& [k, idx] : s->index)
        if (idx >= pos) ++idx;
    s->lines.insert(s->lines.begin() + static_cast<std::ptrdiff_t>(pos), Line{{}, std::string(key), std::move(v)});
    s->index.emplace(lk, pos);
}

std::string Profile::text() const {
    std::string out;
    for (const auto& l : preamble_) out += l + "\r\n";
    for (const auto& s : sections_) {
        out += "[" + s.name + "]\r\n";
        for (const auto& l : s.lines) {
            if (l.key.empty())
                out += l.raw;
            else
                out += l.key + "=" + l.value;
            out += "\r\n";
        }
    }
    return out;
}

bool Profile::save(const QString& path, QString* error) const { return atomicReplace(path, text(), error); }

}  // namespace sorvel
