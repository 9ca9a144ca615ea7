#pragma once

#include <QString>

struct sqlite3;

namespace odomira {

// What a failed store operation comes down to for the user.
enum class StoreFailure {
    Busy, // another program holds a lock on the file
    Missing, // the file was deleted or moved while the program ran
    ReadOnly, // the file or its folder takes no writes
    Full, // the disk is full
    Damaged, // the file is no (intact) database
    Io, // the disk failed to read or write
    Statement, // the store did not take a statement
    Other,
};

// The failure an extended SQLite result code stands for; a file that is gone is Missing,
// whatever code the operation gave.
StoreFailure classifyStoreFailure(int extendedCode, bool fileExists);

// A German message for a failed store operation: first `what` ("Die Fahrt wurde nicht
// gespeichert."), then the cause and what the user can do, then SQLite's own `detail` in
// parentheses when there is one. `path` names the logbook file where the cause needs it.
QString storeFailureMessage(
    const QString& what, StoreFailure failure, const QString& path, const QString& detail = QString());

// The same for the last failure on a connection.
QString storeFailureMessage(const QString& what, sqlite3* db);

// The failure the last error on a connection stands for.
StoreFailure lastStoreFailure(sqlite3* db);

} // namespace odomira
