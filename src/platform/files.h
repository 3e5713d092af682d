#pragma once
// Files: the program directory, whole-file reads and atomic replacement.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include <QString>

namespace sorvel {

// Largest file any reader takes into memory.
inline constexpr std::int64_t kMaxReadBytes = 512ll * 1024 * 1024;

// The directory the program keeps its files in, without a trailing separator: the
// executable's directory when it is writable and not an installed copy (one with the help page
// in ../share/sorvel), otherwise ~/.config/sorvel (created).
QString programDirectory();
// Tests and the portable copy check use this to point the program elsewhere.
void setProgramDirectory(const QString& dir);

// Stored paths are CP932 bytes; files are opened by their Unicode path, which Qt encodes for
// the file system.
QString pathFromCp932(std::string_view cp932);
// The stored form of a path, or an empty optional when CP932 cannot hold it exactly: a path
// is stored only when its bytes lead back to the same file.
std::optional<std::string> storablePath(const QString& path);
// The first character of a path that keeps it from being stored; empty when it can be.
QString firstUnstorableCharacter(const QString& path);
// The message (caption "メッセージ") that refuses a chosen file whose path cannot be stored.
QString unstorablePathMessage(const QString& path);
// For paths known to be storable (tests, tools): a path CP932 cannot hold comes back as its
// UTF-8 bytes, which do not lead back to it.
std::string cp932FromPath(const QString& path);
// dir + "/" + name (no doubled separator).
QString joinPath(const QString& dir, const QString& name);

// Reads a whole file. Empty optional when it cannot be opened or read, or is larger than
// maxBytes; *error (when given) then says why.
std::optional<std::string> readWholeFile(const QString& path, std::int64_t maxBytes = kMaxReadBytes,
                                         QString* error = nullptr);

// Replaces the file at path with bytes in one step: a temporary file beside it is written,
// synced and renamed over the target, then the directory is synced. On failure (a write, the
// sync or the rename) the previous file is untouched, the temporary file is removed and false
// is returned with *error set to the reason, in words for the user ("ディスクの空きが足りません。").
bool atomicReplace(const QString& path, std::string_view bytes, QString* error = nullptr);
// "<path>\nが作成できませんでした。\n<reason>": what a failed save of a file says.
QString saveFailedMessage(const QString& path, const QString& reason);

// Removes what an interrupted atomic replace of path can leave beside it: files named after it
// with a dot and six random letters ("Sorvel.dat.SzGjPc"). A suffix that reads as a word (all
// lower case, all upper case or capitalised, such as "Sorvel.dat.backup") is taken for a file
// of the user's and kept. Returns how many files were removed.
int removeSaveLeftovers(const QString& path);

// Fault injection for tests: the stage at which the next saves fail.
enum class SaveFault { None, Open, WriteAfterBytes, Sync, Commit };
struct SaveFaultPlan {
    SaveFault fault = SaveFault::None;
    std::int64_t afterBytes = 0;  // for WriteAfterBytes
};
void setSaveFaultForTesting(SaveFaultPlan plan);

}  // namespace sorvel
