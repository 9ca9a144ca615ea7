#pragma once

#include <QByteArray>
#include <QString>

namespace odomira {

enum class WholeFileWrite {
    Written,
    SymbolicLink, // a symbolic link stands at the path; it is left as it is
    Failed, // the folder, the disk or the file system refused; the path holds what it held before
};

// Puts `content` at `path` as one whole file: written in one go to a new file of its own
// in the same folder, which then replaces whatever file stood at the path. A failure
// anywhere leaves no part-written file behind, neither at the path nor beside it.
// A symbolic link at the path is refused, not written through. A new file gets the usual
// permissions (0666 less the umask).
//
// The file is not synced to disk before it replaces the old one: what is written here is
// made again from the logbook in one click, and the replace already keeps a failed write
// from leaving half a file where a reader looks.
WholeFileWrite writeWholeFile(const QString& path, const QByteArray& content);

} // namespace odomira
