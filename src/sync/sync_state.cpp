#include "sync/sync_state.h"

#include <charconv>
#include <cstdio>

#include "platform/files.h"
#include "platform/text.h"

namespace sorvel {

namespace {

constexpr std::string_view kMagic = "SorvelSync 1";
constexpr std::int64_t kMaxStateBytes = 256ll * 1024 * 1024;

void appendEscaped(std::string& out, std::string_view s) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (const char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x20 || c == 0x7F || c == '%') {
            out.push_back('%');
            out.push_back(kHex[c >> 4]);
            out.push_back(kHex[c & 15]);
        } else {
            out.push_back(static_cast<char>(c));
        }
    }
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::optional<std::string> unescape(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (c < 0x20 || c == 0x7F) return std::nullopt;
        if (c != '%') {
            out.push_back(static_cast<char>(c));
            continue;
        }
        if (i + 2 >= s.size()) return std::nullopt;
        const int hi = hexDigit(s[i + 1]), lo = hexDigit(s[i + 2]);
        if (hi < 0 || lo < 0) return std::nullopt;
        out.push_back(static_cast<char>(hi * 16 + lo));
        i += 2;
    }
    return out;
}

// Splits at tabs.
std::vector<std::string_view> fields(std::string_view line) {
    std::vector<std::string_view> out;
    std::size_t start = 0;
    for (;;) {
        const std::size_t tab = line.find('\t', start);
        out.push_back(line.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start));
        if (tab == std::string_view::npos) return out;
        start = tab + 1;
    }
}

template <typename T>
bool parseNumber(std::string_view s, T& value, int base) {
    if (s.empty()) return false;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), value, base);
    return r.ec == std::errc() && r.ptr == s.data() + s.size();
}


std::uint64_t hashFields(const std::string& numbers, const std::string& a, const std::string* b) {
    std::uint64_t h = fnv1a(kFnvBasis, numbers);
    h = fnv1a(h, std::string_view("\0", 1));
    h = fnv1a(h, a);
    if (b) {
        h = fnv1a(h, std::string_view("\0", 1));
        h = fnv1a(h, *b);
    }
    return h;
}

}  // namespace

std::string writeSyncState(const SyncState& state) {
    std::string out;
    out.reserve(64 + state.entries.size() * 128);
    out += kMagic;
    out += "\ncollection\t";
    appendEscaped(out, state.collection);
    out += "\ntoken\t";
    appendEscaped(out, state.token);
    out += "\nctag\t";
    appendEscaped(out, state.ctag);
    out += '\n';
    char number[32];
    for (const SyncEntry& e : state.entries) {
        out.push_back(static_cast<char>(e.kind));
        out.push_back('\t');
        appendEscaped(out, e.href);
        out.push_back('\t');
        appendEscaped(out, e.etag);
        out.push_back('\t');
        appendEscaped(out, e.uid);
        std::snprintf(number, sizeof number, "\t%016llx\t%d", static_cast<unsigned long long>(e.hash),
                      static_cast<int>(e.key));
        out += number;
        if (e.captionHash || e.textHash) {
            std::snprintf(number, sizeof number, "\t%016llx", static_cast<unsigned long long>(e.captionHash));
            out += number;
            std::snprintf(number, sizeof number, "\t%016llx", static_cast<unsigned long long>(e.textHash));
            out += number;
        }
        out.push_back('\n');
    }
    out += "end\t" + std::to_string(state.entries.size()) + "\n";
    return out;
}

std::optional<SyncState> readSyncState(std::string_view bytes) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t nl = bytes.find('\n', start);
        if (nl == std::string_view::npos) return std::nullopt;  // cut off inside a line
        lines.push_back(bytes.substr(start, nl - start));
        start = nl + 1;
    }
    if (lines.size() < 5 || lines[0] != kMagic) return std::nullopt;
    SyncState state;
    std::string* header[] = {&state.collection, &state.token, &state.ctag};
    const std::string_view names[] = {"collection", "token", "ctag"};
    for (std::size_t i = 0; i < 3; ++i) {
        const auto f = fields(lines[i + 1]);
        if (f.size() != 2 || f[0] != names[i]) return std::nullopt;
        auto value = unescape(f[1]);
        if (!value) return std::nullopt;
        *header[i] = std::move(*value);
    }
    const std::size_t count = lines.size() - 5;
    state.entries.reserve(count);
    for (std::size_t i = 4; i + 1 < lines.size(); ++i) {
        const auto f = fields(lines[i]);
        if ((f.size() != 6 && f.size() != 8) || f[0].size() != 1) return std::nullopt;
        SyncEntry e;
        const char kind = f[0][0];
        if (kind != 'M' && kind != 'R' && kind != 'U') return std::nullopt;
        e.kind = static_cast<SyncEntryKind>(kind);
        auto href = unescape(f[1]), etag = unescape(f[2]), uid = unescape(f[3]);
        if (!href || !etag || !uid || href->empty() || f[4].size() != 16 || !parseNumber(f[4], e.hash, 16) ||
            !parseNumber(f[5], e.key, 10))
            return std::nullopt;
        if (f.size() == 8 && (f[6].size() != 16 || f[7].size() != 16 || !parseNumber(f[6], e.captionHash, 16) ||
                              !parseNumber(f[7], e.textHash, 16)))
            return std::nullopt;
        e.href = std::move(*href);
        e.etag = std::move(*etag);
        e.uid = std::move(*uid);
        state.entries.push_back(std::move(e));
    }
    const auto last = fields(lines.back());
    std::size_t written = 0;
    if (last.size() != 2 || last[0] != "end" || !parseNumber(last[1], written, 10) || written != count)
        return std::nullopt;
    return state;
}

QString syncStatePath(const QString& dataFilePath) { return dataFilePath + QStringLiteral(".sync"); }

SyncState loadSyncState(const QString& path) {
    const auto bytes = readWholeFile(path, kMaxStateBytes);
    if (!bytes) return {};
    return readSyncState(*bytes).value_or(SyncState{});
}

bool saveSyncState(const QString& path, const SyncState& state, QString* error) {
    return atomicReplace(path, writeSyncState(state), error);
}

std::uint64_t syncValueHash(const TDateMemo& memo) {
    const std::string date =
        std::to_string(memo.year) + "/" + std::to_string(memo.month) + "/" + std::to_string(memo.day);
    return hashFields(date, memo.caption, &memo.text);
}

std::uint64_t syncValueHash(const THolidaySet& rule) {
    // What an event carries of the rule: a day-off kind other than 0 and 1 comes back as 2, a
    // rule kind other than 1 as 0.
    const int dayOff = rule.dayOffKind <= 1 ? rule.dayOffKind : 2;
    const int kind = rule.ruleKind == 1 ? 1 : 0;
    std::string numbers = std::to_string(dayOff) + "/" + std::to_string(kind) + "/" + std::to_string(rule.month) + "/";
    if (kind == 1)
        numbers += std::to_string(rule.ordinal) + "/" + std::to_string(rule.weekday);
    else
        numbers += std::to_string(rule.day);
    return hashFields(numbers, rule.name, nullptr);
}

}  // namespace sorvel
