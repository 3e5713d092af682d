#include "data/data_file.h"

#include <algorithm>
#include <functional>

#include <QFile>
#include <QFileInfo>

#include "data/data_merge.h"
#include "data/data_messages.h"
#include "platform/files.h"
#include "platform/text.h"
#include "platform/ui.h"

namespace sorvel {

namespace {

constexpr std::string_view kTaggedStart("<+Sorvel>\0", 10);
constexpr std::string_view kTaggedEnd("<-Sorvel>\0", 10);

// The blocks of the tagged form and their fields.
enum DataBlock : int { kNoteBlock = 3, kRuleBlock = 4 };
enum NoteField : int { kNoteYear = 1, kNoteMonth = 2, kNoteDay = 3, kNoteText = 4, kNoteCaption = 5 };
enum RuleField : int {
    kRuleDayOffKind = 1, kRuleKind = 2, kRuleMonth = 3, kRuleDay = 4, kRuleWeekRow = 5, kRuleWeekday = 6,
    kRuleOrdinal = 7, kRuleName = 8
};

// --- older binary form -------------------------------------------------------------------

class BinaryReader {
public:
    explicit BinaryReader(std::string_view d) : d_(d) {}
    std::size_t remaining() const { return d_.size() - pos_; }
    std::size_t pos() const { return pos_; }
    bool readInt(std::int32_t& v) {
        if (remaining() < 4) return false;
        std::uint32_t u = 0;
        for (int i = 3; i >= 0; --i) u = (u << 8) | static_cast<unsigned char>(d_[pos_ + static_cast<std::size_t>(i)]);
        pos_ += 4;
        v = static_cast<std::int32_t>(u);
        return true;
    }
    // A chunk's data; false when the length is negative or runs past the end.
    bool take(std::int32_t length, std::string_view& out) {
        if (length < 0 || static_cast<std::size_t>(length) > remaining()) return false;
        out = d_.substr(pos_, static_cast<std::size_t>(length));
        pos_ += static_cast<std::size_t>(length);
        return true;
    }

private:
    std::string_view d_;
    std::size_t pos_ = 0;
};

std::string chunkText(std::string_view data) {
    std::size_t nul = data.find('\0');
    return std::string(data.substr(0, nul));
}

// Copies a chunk into an integer member only when its length is the member's width; a chunk of
// another length is skipped.
void chunkInt(std::string_view data, std::int32_t& member) {
    if (data.size() != 4) return;
    std::uint32_t u = 0;
    for (int i = 3; i >= 0; --i) u = (u << 8) | static_cast<unsigned char>(data[static_cast<std::size_t>(i)]);
    member = static_cast<std::int32_t>(u);
}
void chunkByte(std::string_view data, std::uint8_t& member) {
    if (data.size() == 1) member = static_cast<std::uint8_t>(data[0]);
}

void applyMemoChunk(TDateMemo& m, std::int32_t tag, std::string_view data) {
    switch (tag) {
        case 0x1001: chunkInt(data, m.year); break;
        case 0x1002: chunkInt(data, m.month); break;
        case 0x1003: chunkInt(data, m.day); break;
        case 0x1004: m.text = chunkText(data); break;
        case 0x1005: m.caption = chunkText(data); break;
        default: break;
    }
}

void applyRuleChunk(THolidaySet& r, std::int32_t tag, std::string_view data) {
    switch (tag) {
        case 0x1001: chunkByte(data, r.dayOffKind); break;
        case 0x1002: chunkByte(data, r.ruleKind); break;
        case 0x1003: chunkInt(data, r.month); break;
        case 0x1004: chunkInt(data, r.day); break;
        case 0x1005: chunkInt(data, r.weekRow); break;
        case 0x1006: chunkInt(data, r.weekday); break;
        case 0x1007: chunkInt(data, r.ordinal); break;
        case 0x1008: r.name = chunkText(data); break;
        default: break;
    }
}

DataFileParse parseBinary(std::string_view bytes, THolidayList& rules, TDateMemoList& memos) {
    DataFileParse result;
    result.form = DataFileForm::Binary;
    rules.clear();
    memos.clear();
    BinaryReader in(bytes.substr(7));
    auto broken = [&] {
        result.complete = false;
        result.damageAt = 7 + in.pos();
        return result;
    };
    while (in.remaining() >= 4) {
        std::int32_t type = 0;
        in.readInt(type);
        auto memo = std::make_unique<TDateMemo>();
        auto rule = std::make_unique<THolidaySet>();
        bool first = true;
        for (;;) {
            std::int32_t tag = 0, length = 0;
            if (!in.readInt(tag) || !in.readInt(length)) return broken();
            if (!first && tag == 0) break;  // end of the record: no data follows
            std::string_view data;
            if (!in.take(length, data)) return broken();
            if (!first || tag != 0) {
                if (type == 1) applyMemoChunk(*memo, tag, data);
                if (type == 2) applyRuleChunk(*rule, tag, data);
            }
            first = false;
        }
        if (type == 1) memos.push_back(std::move(memo));
        if (type == 2) rules.push_back(std::move(rule));
    }
    return result;
}

// --- tagged form -------------------------------------------------------------------------

DataFileParse parseTagged(std::string_view bytes, THolidayList& rules, TDateMemoList& memos) {
    DataFileParse result;
    result.form = DataFileForm::Tagged;
    rules.clear();
    memos.clear();
    TagStream in(bytes);
    in.seek(9);
    for (;;) {
        // Damage is reported at the marker that starts the bad block, not inside the closing
        // marker of the good block before it.
        std::size_t blockStart = std::min(in.data().find('<', in.pos()), bytes.size());
        int number = 0;
        std::string text;
        int r = ReadTag(in, number, text, kTagOpen);
        if (r == 0 && text == "-") break;  // "<-Sorvel>"
        bool ok = r == 1;
        if (ok && text == "M" && number == kNoteBlock) {
            auto memo = std::make_unique<TDateMemo>();
            ok = ReadM03(in, *memo);
            if (ok) memos.push_back(std::move(memo));
        } else if (ok && text == "M" && number == kRuleBlock) {
            auto rule = std::make_unique<THolidaySet>();
            ok = ReadM04(in, *rule);
            if (ok) rules.push_back(std::move(rule));
        } else if (ok && text == "M") {
            ok = SkipBlock(in);  // a block this program does not know, with all its fields
        }
        if (!ok) {
            // Go on with the next block, so that one damaged record does not cost the ones
            // after it. Values never hold "<" (it is stored as byte 26), so "<+M" starts a block.
            if (result.complete) result.damageAt = blockStart;
            result.complete = false;
            ++result.damagedBlocks;
            const std::size_t next = bytes.find("<+M", blockStart + 1);
            if (next == std::string_view::npos) break;
            in.seek(next);
        }
    }
    return result;
}

}  // namespace

namespace {

// A note is written straight into a buffer sized in advance: a data file holds a hundred
// thousand of them, and appending field by field spent most of a save.
std::size_t m03Bound(const TDateMemo& m) {
    return 2 * kMarkerBytes + 5 * kValueFieldBytes + 3 * kIntValueBytes + m.text.size() + m.caption.size();
}

// Writes the block of a note at p (room for m03Bound bytes); returns its end.
char* putM03(char* p, const TDateMemo& m) {
    p = PutBlockOpen(p, kNoteBlock);
    p = PutIntField(p, kNoteYear, m.year);
    p = PutIntField(p, kNoteMonth, m.month);
    p = PutIntField(p, kNoteDay, m.day);
    p = PutTextField(p, kNoteText, m.text);
    p = PutTextField(p, kNoteCaption, m.caption);
    return PutBlockClose(p, kNoteBlock);
}

}  // namespace

void WriteM03(std::string& out, const TDateMemo& m) {
    const std::size_t start = out.size();
    out.resize(start + m03Bound(m));
    char* end = putM03(out.data() + start, m);
    out.resize(static_cast<std::size_t>(end - out.data()));
}

void WriteM04(std::string& out, const THolidaySet& r) {
    WriteBlockOpen(out, kRuleBlock);
    WriteIntField(out, kRuleDayOffKind, r.dayOffKind);
    WriteIntField(out, kRuleKind, r.ruleKind);
    WriteIntField(out, kRuleMonth, r.month);
    WriteIntField(out, kRuleDay, r.day);
    WriteIntField(out, kRuleWeekRow, r.weekRow);
    WriteIntField(out, kRuleWeekday, r.weekday);
    WriteIntField(out, kRuleOrdinal, r.ordinal);
    WriteField(out, kRuleName, r.name, kTagValue);
    WriteBlockClose(out, kRuleBlock);
}

bool ReadM03(TagStream& in, TDateMemo& m) {
    return ReadFields(in, UnknownField::Skip, [&](int number) {
        switch (number) {
            case kNoteYear: return FieldReadOf(ReadIntValue(in, m.year));
            case kNoteMonth: return FieldReadOf(ReadIntValue(in, m.month));
            case kNoteDay: return FieldReadOf(ReadIntValue(in, m.day));
            case kNoteText: return FieldReadOf(ReadValue(in, m.text));
            case kNoteCaption: return FieldReadOf(ReadValue(in, m.caption));
            default: return FieldRead::Unknown;
        }
    });
}

bool ReadM04(TagStream& in, THolidaySet& r) {
    return ReadFields(in, UnknownField::Skip, [&](int number) {
        switch (number) {
            case kRuleDayOffKind: return FieldReadOf(ReadByteValue(in, r.dayOffKind));
            case kRuleKind: return FieldReadOf(ReadByteValue(in, r.ruleKind));
            case kRuleMonth: return FieldReadOf(ReadIntValue(in, r.month));
            case kRuleDay: return FieldReadOf(ReadIntValue(in, r.day));
            case kRuleWeekRow: return FieldReadOf(ReadIntValue(in, r.weekRow));
            case kRuleWeekday: return FieldReadOf(ReadIntValue(in, r.weekday));
            case kRuleOrdinal: return FieldReadOf(ReadIntValue(in, r.ordinal));
            case kRuleName: return FieldReadOf(ReadValue(in, r.name));
            default: return FieldRead::Unknown;
        }
    });
}

DataFileForm parseDataFileForm(std::string_view bytes) {
    if (bytes.size() >= 7 && bytes.substr(0, 6) == "Sorvel") return DataFileForm::Binary;
    if (bytes.size() >= 9 && bytes.substr(0, 9) == "<+Sorvel>") return DataFileForm::Tagged;
    return DataFileForm::None;
}

DataFileParse parseDataFile(std::string_view bytes, THolidayList& rules, TDateMemoList& memos) {
    switch (parseDataFileForm(bytes)) {
        case DataFileForm::Binary: return parseBinary(bytes, rules, memos);
        case DataFileForm::Tagged: return parseTagged(bytes, rules, memos);
        case DataFileForm::None: break;
    }
    return DataFileParse{};
}

std::string buildDataFile(TDateMemoList& memos, THolidayList& rules) {
    dropEmptySlots(rules);
    sortMemosByDate(memos);
    std::size_t notes = 0;
    for (const auto& m : memos) notes += m03Bound(*m);
    std::string out;
    out.reserve(kTaggedStart.size() + notes + rules.size() * 400 + kTaggedEnd.size());
    out += kTaggedStart;
    for (const auto& m : memos) WriteM03(out, *m);
    for (const auto& r : rules) WriteM04(out, *r);
    out += kTaggedEnd;
    return out;
}

namespace {

constexpr std::string_view kDefaultName = "Sorvel.dat";

bool isDefaultName(const std::string& name) { return name.empty() || name == kDefaultName; }

}  // namespace

const std::string& resolveDataFileName(std::string& memoFileName, const QString& programDir) {
    // Earlier versions stored a program directory CP932 cannot hold as its UTF-8 bytes, which
    // read back as another directory: that name still means the default one.
    if (memoFileName == joinPath(programDir, QStringLiteral("Sorvel.dat")).toStdString()) memoFileName.clear();
    if (isDefaultName(memoFileName))
        memoFileName = storablePath(joinPath(programDir, QStringLiteral("Sorvel.dat"))).value_or(std::string(kDefaultName));
    return memoFileName;
}

QString dataFilePath(const std::string& memoFileName, const QString& programDir) {
    if (isDefaultName(memoFileName)) return joinPath(programDir, QStringLiteral("Sorvel.dat"));
    return pathFromCp932(memoFileName);
}

bool isForeignDataFile(std::string_view bytes) {
    return !bytes.empty() && parseDataFileForm(bytes) == DataFileForm::None;
}

ChosenDataFile inspectDataFile(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists()) return ChosenDataFile::Missing;
    QFile f(path);
    if (!info.isFile() || !f.open(QIODevice::ReadOnly)) return ChosenDataFile::Unreadable;
    const QByteArray head = f.read(16);
    if (head.isEmpty()) return f.size() == 0 ? ChosenDataFile::Empty : ChosenDataFile::Unreadable;
    const std::string_view bytes(head.constData(), static_cast<std::size_t>(head.size()));
    return isForeignDataFile(bytes) ? ChosenDataFile::Foreign : ChosenDataFile::DataFile;
}

namespace {

QString damagedName(const QString& path, int n) {
    return path + QStringLiteral(".damaged") + (n > 1 ? QStringLiteral(".%1").arg(n) : QString());
}

QString unsavedName(const QString& programDir, int n) {
    return joinPath(programDir, QStringLiteral("Sorvel.dat.unsaved")) + (n > 1 ? QStringLiteral(".%1").arg(n) : QString());
}

// The first free name of "<name>", "<name>.2", …; a copy with the same bytes is kept as it is.
QString keepCopy(const std::function<QString(int)>& name, std::string_view bytes) {
    for (int n = 1; n < 1000; ++n) {
        const QString candidate = name(n);
        if (auto existing = readWholeFile(candidate)) {
            if (*existing == bytes) return candidate;
            continue;
        }
        if (QFileInfo::exists(candidate)) continue;
        return atomicReplace(candidate, bytes) ? candidate : QString();
    }
    return QString();
}

}  // namespace

QString keepDamagedCopy(const QString& path, std::string_view bytes) {
    return keepCopy([&](int n) { return damagedName(path, n); }, bytes);
}

QString keepUnsavedCopy(const QString& programDir, std::string_view bytes) {
    return keepCopy([&](int n) { return unsavedName(programDir, n); }, bytes);
}

QString unsavedCopyIn(const QString& programDir) {
    const QString first = unsavedName(programDir, 1);
    return QFileInfo::exists(first) ? first : QString();
}

QString unsavedCopyMessage(const QString& copy) {
    return QStringLiteral("前回の終了時にデータファイルへ保存できなかった予定と祝日を\n") + copy +
           QStringLiteral("\nに残しました。設定でこのファイルをデータファイルに選ぶと読み込めます。");
}

QString moveUnreadableAside(const QString& path) {
    for (int n = 1; n < 1000; ++n) {
        const QString candidate = damagedName(path, n);
        if (QFileInfo::exists(candidate)) continue;
        return QFile::rename(path, candidate) ? candidate : QString();
    }
    return QString();
}

namespace {

// A file that is there but cannot be read (far too large, unreadable) is not replaced by the
// next save: it is moved aside first.
void moveUnreadableWithMessage(const QString& path) {
    const QString aside = moveUnreadableAside(path);
    showMessage(unreadableMovedMessage(path, aside), errorCaption());
}

// A damaged file, or one in neither form (not ours): the next save replaces it with what could
// be read, so the original stays beside it.
void keepDamagedWithMessage(const QString& path, std::string_view bytes) {
    const QString copy = keepDamagedCopy(path, bytes);
    showMessage(damagedKeptMessage(path, copy), errorCaption());
}

bool isDamaged(const DataFileParse& parse, std::string_view bytes) {
    return !parse.complete || isForeignDataFile(bytes);
}

// The file as it is on disk now, against what this program last read or wrote of it: what the
// other version added joins the lists. Returns how many records it added.
std::size_t takeOtherVersion(const QString& path, DataFileBase& base, THolidayList& rules, TDateMemoList& memos) {
    const bool known = base.path == path;
    const auto disk = readWholeFile(path);
    if (!disk) {
        if (QFileInfo(path).isFile()) moveUnreadableWithMessage(path);
        return 0;
    }
    if (known && *disk == base.bytes) return 0;
    THolidayList theirRules, baseRules;
    TDateMemoList theirMemos, baseMemos;
    const DataFileParse parse = parseDataFile(*disk, theirRules, theirMemos);
    if (isDamaged(parse, *disk)) keepDamagedWithMessage(path, *disk);
    if (known) parseDataFile(base.bytes, baseRules, baseMemos);
    const MergeCount n = mergeOtherVersion(baseRules, baseMemos, theirRules, theirMemos, rules, memos);
    // Ours now holds that version: it is the base from here on, whether the write succeeds or not.
    base = DataFileBase{path, *disk};
    if (n.total() > 0) showMessage(otherVersionTakenMessage(n.total()), programMessageCaption());
    return n.total();
}

}  // namespace

void LoadDataFile(std::string& memoFileName, const QString& programDir, THolidayList& rules,
                  TDateMemoList& memos, DataFileBase* base) {
    const QString path = dataFilePath(resolveDataFileName(memoFileName, programDir), programDir);
    auto bytes = readWholeFile(path);
    if (base) *base = DataFileBase{path, bytes.value_or(std::string())};
    if (!bytes && QFileInfo(path).isFile()) {
        moveUnreadableWithMessage(path);
        return;
    }
    if (!bytes) {
        showMessage(dataFileCreatedMessage(path), messageCaption());
        return;
    }
    DataFileParse parse = parseDataFile(*bytes, rules, memos);
    if (isDamaged(parse, *bytes)) keepDamagedWithMessage(path, *bytes);
}

int SaveDataFile(std::string& memoFileName, const QString& programDir, THolidayList& rules,
                 TDateMemoList& memos, DataFileBase* base, std::size_t* merged) {
    dropEmptySlots(rules);
    dropEmptySlots(memos);
    const QString path = dataFilePath(resolveDataFileName(memoFileName, programDir), programDir);
    const std::size_t taken = base ? takeOtherVersion(path, *base, rules, memos) : 0;
    if (merged) *merged = taken;
    std::string bytes = buildDataFile(memos, rules);
    QString error;
    if (!atomicReplace(path, bytes, &error)) {
        showMessage(saveFailedMessage(path, error), programMessageCaption());
        return 0;
    }
    if (base) *base = DataFileBase{path, std::move(bytes)};
    return 1;
}

}  // namespace sorvel
