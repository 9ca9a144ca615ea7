// Reading a long whole-table list in pieces: the first piece at once, the others as they are
// reached, each by the rows right after or right before a row the list holds.
#include "store/data_source.h"

#include "store/busy_wait.h"
#include "store/data_source_result.h"
#include "store/shared_file.h"
#include "store/statement.h"
#include "store/store_messages.h"
#include "store/store_text.h"

#include <sqlite3.h>

#include <algorithm>
#include <climits>

namespace odomira {

using store::setError;

namespace {

// Rows read at a time: about what a grid asks for while it is scrolled.
constexpr int PieceRows = 256;
constexpr int LongestPieceRows = 16384;

// Whether SQLite would sort the table to step the statement, rather than step an index.
bool sortsTable(sqlite3* db, const QByteArray& sql)
{
    Statement plan;
    if (!plan.prepare(db, "explain query plan " + sql) || !plan.handle())
        return true;
    int rc;
    while ((rc = sqlite3_step(plan.handle())) == SQLITE_ROW) {
        const auto* detail = reinterpret_cast<const char*>(sqlite3_column_text(plan.handle(), 3));
        if (!detail || QByteArray(detail).contains("TEMP B-TREE"))
            return true;
    }
    return rc != SQLITE_DONE;
}

// Count and first rows come from one read transaction, so no other program's commit falls
// between them. Inside a transaction already, nothing is begun.
class ReadTransaction {
public:
    explicit ReadTransaction(sqlite3* db)
        : m_db(db)
        , m_begun(
              sqlite3_get_autocommit(db) && sqlite3_exec(db, "begin", nullptr, nullptr, nullptr) == SQLITE_OK)
    {
    }
    ~ReadTransaction()
    {
        if (m_begun)
            sqlite3_exec(m_db, "commit", nullptr, nullptr, nullptr);
    }
    ReadTransaction(const ReadTransaction&) = delete;
    ReadTransaction& operator=(const ReadTransaction&) = delete;

private:
    sqlite3* m_db;
    bool m_begun;
};

// A piece read for a grid being painted must not wait for another program's lock (the wait
// handles events, the paint among them): it fails at once and is read on the next paint.
class NoBusyWait {
public:
    NoBusyWait(sqlite3* db, bool wait)
        : m_db(wait ? nullptr : db)
    {
        if (m_db)
            sqlite3_busy_handler(m_db, nullptr, nullptr);
    }
    ~NoBusyWait()
    {
        if (m_db)
            installBusyWait(m_db);
    }
    NoBusyWait(const NoBusyWait&) = delete;
    NoBusyWait& operator=(const NoBusyWait&) = delete;

private:
    sqlite3* m_db;
};

// Binds a bound's value and key to parameters `first` and `first` + 1 (see ListOrder).
void bindBound(sqlite3_stmt* stmt, const std::optional<ListBound>& bound, int first = 1)
{
    if (!bound)
        return;
    if (!bound->null)
        sqlite3_bind_text(stmt, first, bound->text.constData(), int(bound->text.size()), SQLITE_TRANSIENT);
    sqlite3_bind_int64(stmt, first + 1, bound->key);
}

} // namespace

DataSource::FirstPiece DataSource::readFirstPiece(Result& result, QString* error) const
{
    describeOrder(result, false);
    sqlite3* db = m_file->handle();
    const auto notSuited = [&result] {
        result.keepsOrder = false;
        result.orderColumn = -1;
        result.compare = nullptr;
        return FirstPiece::NotSuited;
    };
    if (!result.keepsOrder)
        return notSuited();
    const QList<QByteArray> all = rowsAfterSql(result.listOrder(), std::nullopt);
    // Without an index on the order column every piece would sort the whole table.
    if (all.size() != 1 || sortsTable(db, all.first()))
        return notSuited();

    const auto failed = [&] {
        setError(error, storeFailureMessage(QStringLiteral("Die Abfrage wurde nicht ausgeführt."), db));
        return FirstPiece::Failed;
    };
    ReadTransaction transaction(db);
    // Another list of the whole table, up to date, has counted the rows already.
    qint64 total = -1;
    for (const DataSource* other : m_file->sources()) {
        const Result* held = other != this ? other->m_result.get() : nullptr;
        if (held && held->keepsOrder && !held->stale && held->dataVersion >= 0
            && held->dataVersion == result.dataVersion && held->syncedSerial == m_file->lastSerial()
            && held->columns.table().compare(result.columns.table(), Qt::CaseInsensitive) == 0) {
            total = held->rows.rowCount() - (held->addedRow >= 0 ? 1 : 0);
            break;
        }
    }
    Statement count;
    if (total < 0) {
        if (!count.prepare(db, "select count(*) from " + store::sqlName(result.columns.table()))
            || sqlite3_step(count.handle()) != SQLITE_ROW)
            return failed();
        total = sqlite3_column_int64(count.handle(), 0);
    }
    if (total >= qint64(INT_MAX) / std::max(1, result.columns.count())) {
        setError(error, QStringLiteral("Die Abfrage liefert zu viele Datensätze."));
        return FirstPiece::Failed;
    }
    Statement first;
    if (!first.prepare(db, all.first()))
        return failed();
    int read = 0;
    int rc = SQLITE_ROW;
    while (read < PieceRows && (rc = sqlite3_step(first.handle())) == SQLITE_ROW) {
        if (!result.rows.appendRow(first.handle(), result.columns.kinds())) {
            setError(error, QStringLiteral("Die Abfrage liefert zu viele Daten für den Arbeitsspeicher."));
            return FirstPiece::Failed;
        }
        ++read;
    }
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
        return failed();
    if (rc == SQLITE_ROW && total > read)
        result.rows.appendUnfilled(std::size_t(total - read));
    result.inPieces = true;
    return FirstPiece::Read;
}

std::optional<ListBound> DataSource::boundAt(int row) const
{
    const Result& r = *m_result;
    ListBound bound;
    if (row == r.addedRow || !rowKey(row, &bound.key))
        return std::nullopt;
    if (r.orderColumn >= 0 && !r.rows.isNull(row, r.orderColumn)) {
        const std::string_view text = r.rows.text(row, r.orderColumn);
        bound.null = false;
        bound.text = QByteArray(text.data(), qsizetype(text.size()));
    }
    return bound;
}

bool DataSource::fillRow(int row, bool wait) const
{
    Result& r = *m_result;
    if (r.rows.isFilled(row))
        return true;
    if (!r.inPieces)
        return false;
    // A gap's end counts only within a piece's length of the row; -1: farther. A list read
    // through from front to back reads ever longer pieces, so fewer statements.
    const bool goingOn = row == r.pieceEnd;
    const int pieceRows = goingOn ? std::min(r.pieceRows * 2, LongestPieceRows) : PieceRows;
    const auto [gapFirst, gapEnd] = r.rows.gapAround(row);
    const int first = row - gapFirst <= PieceRows + 1 ? gapFirst : -1;
    const int end = gapEnd - row <= pieceRows + 1 ? gapEnd : -1;
    if (first >= 0) {
        const int to = end >= 0 ? std::min(end, row + pieceRows) : row + pieceRows;
        r.pieceRows = pieceRows;
        r.pieceEnd = to;
        return readPiece(first, end, first, to, true, wait);
    }
    if (end >= 0)
        return readPiece(first, end, row - PieceRows + 1, end, false, wait);
    // Deep inside a long gap (a grid scrolled far at once): the piece around the row, passing
    // over the rows before it in the index without reading them.
    const int from = row - PieceRows / 2;
    return readPiece(gapFirst, gapEnd, from, std::min(gapEnd, from + PieceRows), true, wait);
}

// Reads rows [from, to) of the gap [first, end), stepping forward from the row before the gap
// or backward from the row after it; the far end of the gap may be unknown (-1). Where the
// table no longer holds what the gap was counted with (another program wrote), the rows missing
// stay without values and the list is read anew at the next refreshChanges().
bool DataSource::readPiece(int first, int end, int from, int to, bool forward, bool wait) const
{
    Result& r = *m_result;
    sqlite3* db = m_file->handle();
    NoBusyWait noWait(db, wait);
    const std::optional<ListBound> lower = first > 0 ? boundAt(first - 1) : std::nullopt;
    const std::optional<ListBound> upper = end >= 0 && end < recordCount() ? boundAt(end) : std::nullopt;
    if (forward ? first > 0 && !lower : end < recordCount() && end != r.addedRow && !upper)
        return false;
    // A row this list itself deleted has left it already, so the gaps still count what the
    // table holds; any other write not taken in yet may have moved rows into or out of them.
    bool unsynced = false;
    for (const RowWrite& write : m_file->writes()) {
        const bool ownDelete = write.writer == m_id && write.writerRow < 0 && write.before;
        if (write.serial > r.syncedSerial && !ownDelete
            && write.table.compare(r.columns.table(), Qt::CaseInsensitive) == 0)
            unsynced = true;
    }
    if (unsynced || m_file->dataVersion() != r.dataVersion)
        r.stale = true;

    const ListOrder order = r.listOrder();
    int skip = forward ? from - first : 0;
    QList<QByteArray> statements
        = forward ? rowsAfterSql(order, lower, skip > 0) : rowsBeforeSql(order, upper);
    if (statements.isEmpty()) {
        // No way to pass over rows here: read the gap from its start.
        skip = 0;
        from = first;
        statements = rowsAfterSql(order, lower);
    }
    const std::optional<ListBound>& stop = forward ? upper : lower;
    const int keyColumn = r.columns.keyColumn();
    int position = forward ? from : to - 1;
    const auto wanted = [&] { return forward ? position < to : position >= from; };
    bool reachedStop = false;
    bool more = false; // a row past the gap's end that is not the row after it
    for (qsizetype i = 0; i < statements.size() && wanted() && !reachedStop; ++i) {
        Statement piece;
        if (!piece.prepare(db, statements[i]))
            return false;
        bindBound(piece.handle(), forward ? lower : upper);
        if (i == 0 && skip > 0)
            sqlite3_bind_int64(piece.handle(), 3, skip);
        int rc;
        while ((rc = sqlite3_step(piece.handle())) == SQLITE_ROW) {
            if (stop && sqlite3_column_int64(piece.handle(), keyColumn) == stop->key) {
                reachedStop = true;
                break;
            }
            if (!wanted()) {
                more = forward ? to == end : from == first;
                break;
            }
            std::uint32_t stored = 0;
            if (!r.rows.storeRow(piece.handle(), r.columns.kinds(), &stored))
                return false;
            r.rows.fill(position, stored);
            position += forward ? 1 : -1;
        }
        if (rc != SQLITE_ROW && rc != SQLITE_DONE)
            return false;
    }
    if (wanted() || more)
        r.stale = true;
    while (wanted()) {
        r.rows.fill(position, r.rows.storeNullRow());
        position += forward ? 1 : -1;
    }
    return true;
}

void DataSource::settleCurrent()
{
    if (hasCurrent())
        fillRow(m_current, true);
}

int DataSource::rowOfKey(qint64 key)
{
    if (!m_result)
        return -1;
    Result& r = *m_result;
    const auto search = [&] {
        qint64 rowKeyValue = 0;
        for (int row = 0; row < recordCount(); ++row) {
            if (r.rows.isFilled(row) && rowKey(row, &rowKeyValue) && rowKeyValue == key)
                return row;
        }
        return -1;
    };
    if (!r.inPieces || r.rows.unfilledCount() == 0 || r.stale)
        return search();

    // The row's order value places it: among the rows read, or in a gap.
    sqlite3* db = m_file->handle();
    const ListOrder order = r.listOrder();
    ListBound target;
    target.key = key;
    if (r.orderColumn >= 0) {
        Statement value;
        if (!value.prepare(db,
                "select " + store::sqlName(order.orderColumn) + ", typeof("
                    + store::sqlName(order.orderColumn) + ") from " + store::sqlName(order.table) + " where "
                    + store::sqlName(order.keyColumn) + " = ?")
            || value.stepWithKey(key) != SQLITE_ROW)
            return -1;
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(value.handle(), 0));
        const QByteArray type(reinterpret_cast<const char*>(sqlite3_column_text(value.handle(), 1)));
        if (type != "null" && type != "text")
            return search();
        target.null = !text;
        if (text)
            target.text = QByteArray(text, sqlite3_column_bytes(value.handle(), 0));
    }
    const Place place = orderedPlace(target.null, target.text.constData(), int(target.text.size()), key);
    if (!place.unfilled) {
        qint64 found = 0;
        return place.row < recordCount() && rowKey(place.row, &found) && found == key ? place.row : -1;
    }

    // In a gap: its row number follows from the rows between it and one end of the gap, which
    // SQLite counts in the index without reading the rows. The count from the gap's start stops
    // halfway through the gap; where it gets that far, the trip lies nearer the gap's end.
    const auto [first, end] = r.rows.gapAround(place.row);
    const std::optional<ListBound> lower = first > 0 ? boundAt(first - 1) : std::nullopt;
    const std::optional<ListBound> upper
        = end < recordCount() && end != r.addedRow ? boundAt(end) : std::nullopt;
    if ((first > 0 && !lower) || (end < recordCount() && end != r.addedRow && !upper))
        return search();
    const qint64 half = (qint64(end) - first) / 2 + 1;
    const auto countBetween = [&](const std::optional<ListBound>& after,
                                  const std::optional<ListBound>& before, qint64 limit, qint64* counted) {
        Statement count;
        if (!count.prepare(db, countBetweenSql(order, after, before)))
            return false;
        bindBound(count.handle(), after);
        bindBound(count.handle(), before, 3);
        sqlite3_bind_int64(count.handle(), 5, limit);
        if (sqlite3_step(count.handle()) != SQLITE_ROW)
            return false;
        *counted = sqlite3_column_int64(count.handle(), 0);
        return true;
    };
    qint64 counted = 0;
    if (!countBetween(lower, target, half, &counted))
        return -1;
    const bool fromEnd = counted >= half;
    if (fromEnd && !countBetween(target, upper, -1, &counted))
        return -1;
    const qint64 row = fromEnd ? qint64(end) - 1 - counted : qint64(first) + counted;
    if (row < first || row >= end) {
        r.stale = true;
        return -1;
    }
    if (!fillRow(int(row), true))
        return -1;
    qint64 found = 0;
    return rowKey(int(row), &found) && found == key ? int(row) : -1;
}

} // namespace odomira
