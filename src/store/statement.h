#pragma once

#include <QByteArray>
#include <QtGlobal>

struct sqlite3;
struct sqlite3_stmt;

namespace odomira {

// A prepared statement, finalized however the scope that holds it is left. On a connection
// that keeps its statements (see keepPrepared), a statement is reset and kept when its scope
// ends, and the next prepare of the same text takes it again instead of compiling it anew.
class Statement {
public:
    Statement() = default;
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // Prepares the first statement of the text; `tail` gets where the text after it begins.
    // A text without a statement succeeds and leaves handle() null.
    bool prepare(sqlite3* db, const char* sql, qsizetype size, const char** tail = nullptr);
    bool prepare(sqlite3* db, const QByteArray& sql, const char** tail = nullptr)
    {
        return prepare(db, sql.constData(), sql.size(), tail);
    }
    sqlite3_stmt* handle() const { return m_stmt; }

    // Binds `key` to the statement's one parameter and steps once; gives SQLite's result code.
    int stepWithKey(qint64 key);

    // Keeps the statements prepared on `db` from now on, up to a few dozen texts, the least
    // recently used going first; forgetPrepared() finalizes them, and must come before the
    // connection closes.
    static void keepPrepared(sqlite3* db);
    static void forgetPrepared(sqlite3* db);

private:
    void release();

    sqlite3_stmt* m_stmt = nullptr;
    // The connection's keeping this statement goes back to (0: none), and its text.
    quint64 m_keeping = 0;
    sqlite3* m_db = nullptr;
    QByteArray m_sql;
};

} // namespace odomira
