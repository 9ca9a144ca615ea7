#pragma once

#include <QString>
#include <QStringList>

struct sqlite3;

namespace odomira::audit {

struct CheckResult {
    // One German sentence per finding: the history's chain first, then what was changed
    // outside Odomira, then the odometer in date order.
    QStringList findings;
    qsizetype trips = 0;
    qsizetype entries = 0;
};

// Checks a logbook:
// - the history's chain: every entry's hash recomputes from the one before, no number is
//   missing;
// - the trips and the vehicle record as they are equal what the history says they should
//   be (a value changed, a record added or deleted outside Odomira), and each change the
//   history records starts from the values the history held before it;
// - the odometer in date order (ties by start reading): a gap or an overlap between a
//   trip's start and the end of the trip before it, an end below the start, a trip
//   without readings.
// False only when the file cannot be read; `error` then gets a German message.
bool checkLogbook(sqlite3* db, CheckResult* result, QString* error);

// The closing line: "Geprüft: 170 Fahrten, 171 Einträge der Änderungshistorie; keine Befunde."
QString checkSummary(const CheckResult& result);

} // namespace odomira::audit
