#pragma once

// Another program on the logbook: an SQLite connection of its own that can hold the file's
// lock or change rows behind the data sources' backs. It knows the logbook's collations, as
// any program must that writes trip dates now that they are indexed.
#include "store/connection.h"

#include <QFile>
#include <QString>

#include <sqlite3.h>

namespace odomira::test {

class OtherProgram {
public:
    explicit OtherProgram(const QString& path)
    {
        sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr);
        registerStoreExtensions(m_db);
    }
    ~OtherProgram() { sqlite3_close_v2(m_db); }
    OtherProgram(const OtherProgram&) = delete;
    OtherProgram& operator=(const OtherProgram&) = delete;

    bool exec(const char* sql) { return sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) == SQLITE_OK; }
    // Holds the file so that nobody else may read or write it, until release().
    bool lock() { return exec("begin exclusive"); }
    bool release() { return exec("commit"); }

private:
    sqlite3* m_db = nullptr;
};

} // namespace odomira::test
