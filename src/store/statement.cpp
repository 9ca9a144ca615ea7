#include "store/statement.h"

#include <sqlite3.h>

namespace odomira {

Statement::~Statement()
{
    sqlite3_finalize(m_stmt);
}

bool Statement::prepare(sqlite3* db, const char* sql, qsizetype size, const char** tail)
{
    sqlite3_finalize(m_stmt);
    m_stmt = nullptr;
    return sqlite3_prepare_v2(db, sql, int(size), &m_stmt, tail) == SQLITE_OK;
}

int Statement::stepWithKey(qint64 key)
{
    const int rc = sqlite3_bind_int64(m_stmt, 1, key);
    return rc == SQLITE_OK ? sqlite3_step(m_stmt) : rc;
}

} // namespace odomira
