#pragma once

#include "app/command_line.h"

#include <QString>

namespace odomira {

// The user's own logbook, as the menu entry opens it: `xdgDataHome`/odomira/odomira.mdb.
// An XDG_DATA_HOME that is empty or not an absolute path counts as unset: `home`/.local/share.
QString userLogbookPath(const QString& xdgDataHome, const QString& home);
// The same from the environment.
QString userLogbookPath();

// The absolute path of the logbook a start opens: the user's own, the file given (relative
// to `workingDirectory`), or "odomira.mdb" in `workingDirectory`.
QString logbookToOpen(const CommandLine& line, const QString& workingDirectory, const QString& userLogbook);

// What a start says when `path` does not exist: the folder looked in and how a logbook is made.
QString missingLogbookMessage(const QString& path);

} // namespace odomira
