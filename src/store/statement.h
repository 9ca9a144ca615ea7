#pragma once

#include <QByteArray>
#include <QtGlobal>

struct sqlite3;
struct sqlite3_stmt;

namespace odomira {

// A prepared statement, finalized however the scope that holds it is left.
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

private:
    sqlite3_stmt* m_stmt = nullptr;
};

} // namespace odomira
