#pragma once
// Starting with the desktop session: an XDG autostart entry, ~/.config/autostart/sorvel.desktop,
// that runs this program. Whether the program starts at login is read from that file alone.
#include <string>

#include <QString>

namespace sorvel {

// $XDG_CONFIG_HOME/autostart/sorvel.desktop (~/.config when the variable is not set).
QString autostartPath();

// The entry that starts program at login, or an empty string for a path that no desktop entry
// can hold (control characters).
std::string autostartEntry(const QString& program);

// True when the entry exists and is not switched off (Hidden=true, or the GNOME key set to
// false).
bool autostartEnabled(const QString& entryPath);

// Writes (atomically) or removes the entry. On failure the file stays as it was, the message
// "<path>\nが作成できませんでした。" or "<path>\nが削除できませんでした。" is shown with the
// caption "メッセージ from Sorvel", and false is returned.
bool setAutostart(bool on, const QString& entryPath, const QString& program);

}  // namespace sorvel
