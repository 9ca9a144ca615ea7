#pragma once

#include <QString>

namespace odomira::bench {

// The store's LIKE on one long row, for terms and destinations of many thousand characters.
void printLikeFigures();

// The check of the logbook at `path` (`count` trips), adding the history to an older copy, and
// saves with and without the history; copies go into `folder`. False when one cannot run.
bool measureHistoryFigures(const QString& folder, const QString& path, int count);

} // namespace odomira::bench
