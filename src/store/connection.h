#pragma once

#include <QString>

struct sqlite3;

namespace odomira {

// One SQLite connection to a logbook file, with the store's collations and functions
// ("caldate", "unicase", a Unicode-aware like(), an exact sum()) registered on it.
class Connection {
public:
    Connection() = default;
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Opens an existing logbook read-write and never creates it. A missing or
    // unreadable file, one that is no database, or one without the tables `fahrt` and
    // `verbrauch` gives a German message in `error`; no file is created or changed.
    // A logbook that lacks the date index gets it once it has opened.
    bool open(const QString& path, QString* error);

    // Creates a new logbook with both tables (the logbook creator's job only).
    // Refuses an existing file.
    bool create(const QString& path, QString* error);

    void close();
    bool isOpen() const { return m_db != nullptr; }
    sqlite3* handle() const { return m_db; }

    // Runs statements that return no rows.
    bool exec(const QString& sql, QString* error);

private:
    sqlite3* m_db = nullptr;
};

// Registers the collations and functions on a raw connection.
void registerStoreExtensions(sqlite3* db);

// The comparison behind a collation of the store ("caldate", "unicase", or SQLite's "BINARY",
// also for an empty name), as SQLite calls it; null for any other.
using CollationCompare = int (*)(void*, int, const void*, int, const void*);
CollationCompare collationCompare(const QString& name);

} // namespace odomira
