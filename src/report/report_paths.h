#pragma once

#include <QString>

#include <optional>

namespace odomira {

// Longest name, in bytes of its file-system encoding, that a folder entry can take.
inline constexpr int LongestNameBytes = 255;

// True when `name` can stand as one file or folder name inside a folder without leaving
// it: not empty, not "." or "..", no "/", "\", NUL or other control character, and no
// longer than the file system allows.
bool isSafeName(const QString& name);

// Whether a symbolic link stands at `path`, a dangling one included. The export writes
// through none: a link where the report folder or a report file belongs would send the
// pages somewhere else.
bool isSymbolicLink(const QString& path);

// The paths of an export. The licence plate, month and year texts and the trip dates
// become names on disk; a name that is not safe gives no path and, when `error` is
// given, a German sentence naming the text and why it cannot be used.

// programDir + "/" + plate.
std::optional<QString> reportFolderPath(
    const QString& programDir, const QString& kennzeichen, QString* error = nullptr);

// Report folder + "/" + plate + " " + month text + "_" + year text + ".html".
std::optional<QString> reportFilePath(const QString& programDir, const QString& kennzeichen,
    const QString& monthText, const QString& yearText, QString* error = nullptr);

// Report folder + "/" + page name + ".html"; the page name is the trip's date text, with
// "_2", "_3", ... for later trips of the same date (see tripPageNames).
std::optional<QString> tripPagePath(
    const QString& programDir, const QString& kennzeichen, const QString& seite, QString* error = nullptr);

} // namespace odomira
