#include "store/row_check.h"

#include "store/result_columns.h"
#include "store/result_table.h"
#include "store/statement.h"

#include <sqlite3.h>

namespace odomira {

StoredRowState compareStoredRow(
    sqlite3* db, const ResultColumns& columns, const ResultTable& rows, int row, qint64 key)
{
    std::vector<int> source;
    const QByteArray sql = columns.rereadSql(false, &source);
    Statement read;
    if (!read.prepare(db, sql))
        return StoredRowState::Failed;
    const int rc = read.stepWithKey(key);
    if (rc == SQLITE_DONE)
        return StoredRowState::Missing;
    if (rc != SQLITE_ROW)
        return StoredRowState::Failed;
    // The stored row in the same text forms as the result's copy.
    ResultTable stored(columns.count());
    stored.appendNullRow();
    if (!stored.replaceRow(0, read.handle(), source, columns.kinds()))
        return StoredRowState::Failed;
    for (int c = 0; c < columns.count(); ++c) {
        if (source[std::size_t(c)] < 0)
            continue;
        if (stored.isNull(0, c) != rows.isNull(row, c) || stored.text(0, c) != rows.text(row, c))
            return StoredRowState::Changed;
    }
    return StoredRowState::Unchanged;
}

} // namespace odomira
