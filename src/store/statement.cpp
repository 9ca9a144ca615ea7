#include "store/statement.h"

#include <sqlite3.h>

#include <mutex>
#include <unordered_map>
#include <vector>

namespace odomira {

namespace {

// The statements kept for one connection, not in use, the most recently used last.
struct Keeping {
    quint64 id = 0; // tells a connection from a later one at the same address
    struct Kept {
        QByteArray sql;
        sqlite3_stmt* stmt = nullptr;
    };
    std::vector<Kept> idle;
};

constexpr std::size_t MaxKept = 32;

std::mutex keepingMutex;
std::unordered_map<sqlite3*, Keeping> keepings;
quint64 lastKeepingId = 0;

} // namespace

Statement::~Statement()
{
    release();
}

void Statement::release()
{
    if (!m_stmt)
        return;
    sqlite3_stmt* stmt = m_stmt;
    m_stmt = nullptr;
    if (m_keeping != 0) {
        const std::lock_guard lock(keepingMutex);
        const auto found = keepings.find(m_db);
        if (found != keepings.end() && found->second.id == m_keeping) {
            sqlite3_reset(stmt);
            sqlite3_clear_bindings(stmt);
            std::vector<Keeping::Kept>& idle = found->second.idle;
            idle.push_back({ std::move(m_sql), stmt });
            if (idle.size() > MaxKept) {
                sqlite3_finalize(idle.front().stmt);
                idle.erase(idle.begin());
            }
            m_keeping = 0;
            return;
        }
        m_keeping = 0;
    }
    sqlite3_finalize(stmt);
}

bool Statement::prepare(sqlite3* db, const char* sql, qsizetype size, const char** tail)
{
    release();
    unsigned flags = 0;
    if (!tail && size >= 0) {
        const std::lock_guard lock(keepingMutex);
        const auto found = keepings.find(db);
        if (found != keepings.end()) {
            m_sql = QByteArray(sql, size);
            m_db = db;
            m_keeping = found->second.id;
            std::vector<Keeping::Kept>& idle = found->second.idle;
            for (auto kept = idle.rbegin(); kept != idle.rend(); ++kept) {
                if (kept->sql == m_sql) {
                    m_stmt = kept->stmt;
                    idle.erase(std::next(kept).base());
                    return true;
                }
            }
            flags = SQLITE_PREPARE_PERSISTENT;
        }
    }
    const int rc = sqlite3_prepare_v3(db, sql, int(size), flags, &m_stmt, tail);
    if (rc != SQLITE_OK || !m_stmt)
        m_keeping = 0;
    return rc == SQLITE_OK;
}

int Statement::stepWithKey(qint64 key)
{
    const int rc = sqlite3_bind_int64(m_stmt, 1, key);
    return rc == SQLITE_OK ? sqlite3_step(m_stmt) : rc;
}

void Statement::keepPrepared(sqlite3* db)
{
    const std::lock_guard lock(keepingMutex);
    Keeping& keeping = keepings[db];
    if (keeping.id == 0)
        keeping.id = ++lastKeepingId;
}

void Statement::forgetPrepared(sqlite3* db)
{
    const std::lock_guard lock(keepingMutex);
    const auto found = keepings.find(db);
    if (found == keepings.end())
        return;
    for (const Keeping::Kept& kept : found->second.idle)
        sqlite3_finalize(kept.stmt);
    keepings.erase(found);
}

} // namespace odomira
