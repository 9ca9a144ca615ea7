#pragma once

#include <QString>

struct sqlite3;

namespace odomira {

// The end reading of the latest trip (by date, then by end reading) in the text form the
// window shows ("48213", "12,5"): what NEU proposes as "Start km". Trips without an end
// reading do not count; empty when no trip has one or the logbook cannot be read.
QString lastEndReading(sqlite3* db);

} // namespace odomira
