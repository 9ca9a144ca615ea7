#pragma once

#include <QString>

#include <functional>

struct sqlite3;

namespace odomira::audit {

// Lists a logbook's change history readably, one line after another through `line`: per entry
// its number, time, action and the record (a trip by its date and destination), then for a
// change each field that changed with its old and new value, and for a new or deleted record
// all its values. False with a German message when the history cannot be read; a file
// without history gives `hasHistory` false and no lines.
bool writeProtocol(
    sqlite3* db, const std::function<void(const QString&)>& line, bool* hasHistory, QString* error);

} // namespace odomira::audit
