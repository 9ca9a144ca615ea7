#include "store/data_source.h"

#include "store/data_source_result.h"
#include "store/history.h"
#include "store/list_shape.h"
#include "store/pending_write.h"
#include "store/result_columns.h"
#include "store/result_table.h"
#include "store/row_check.h"
#include "store/shared_file.h"
#include "store/statement.h"
#include "store/store_messages.h"
#include "store/store_text.h"

#include <QFileInfo>

#include <sqlite3.h>

#include <algorithm>
#include <charconv>
#include <string_view>

namespace odomira {

using store::quoted;
using store::setError;

namespace {

// Whether anything but blanks and comments follows the first statement.
bool hasSecondStatement(sqlite3* db, const char* tail, const char* end)
{
    while (tail && tail < end) {
        Statement next;
        const char* nextTail = nullptr;
        if (!next.prepare(db, tail, end - tail, &nextTail) || next.handle())
            return true;
        tail = nextTail;
    }
    return false;
}

// Prepares the statement of a data source, which must read records and nothing else.
bool prepareQuery(sqlite3* db, const QByteArray& sql, Statement* query, QString* error)
{
    const char* tail = nullptr;
    if (!query->prepare(db, sql, &tail)) {
        setError(error, storeFailureMessage(QStringLiteral("Die Abfrage wurde nicht ausgeführt."), db));
        return false;
    }
    if (!query->handle()) {
        setError(error, QStringLiteral("Die Abfrage ist leer."));
        return false;
    }
    // A term typed into a statement must not smuggle in a second one.
    if (hasSecondStatement(db, tail, sql.constData() + sql.size())) {
        setError(error,
            QStringLiteral("Die Abfrage kann nicht ausgeführt werden: sie enthält mehr als eine "
                           "Anweisung."));
        return false;
    }
    if (!sqlite3_stmt_readonly(query->handle()) || sqlite3_column_count(query->handle()) == 0) {
        setError(error,
            QStringLiteral("Die Abfrage kann nicht ausgeführt werden: sie liest keine Datensätze, "
                           "sondern würde die Datenbank ändern."));
        return false;
    }
    return true;
}

// Copies every row the query yields.
bool readRows(
    sqlite3* db, sqlite3_stmt* query, const std::vector<ColumnKind>& kinds, ResultTable* rows, QString* error)
{
    int rc;
    while ((rc = sqlite3_step(query)) == SQLITE_ROW) {
        if (rows->isFull()) {
            setError(error, QStringLiteral("Die Abfrage liefert zu viele Datensätze."));
            return false;
        }
        if (!rows->appendRow(query, kinds)) {
            setError(error, QStringLiteral("Die Abfrage liefert zu viele Daten für den Arbeitsspeicher."));
            return false;
        }
    }
    if (rc != SQLITE_DONE) {
        setError(error, storeFailureMessage(QStringLiteral("Die Abfrage wurde nicht ausgeführt."), db));
        return false;
    }
    rows->squeeze();
    return true;
}

} // namespace

DataSource::DataSource(const QString& name, QObject* parent)
    : QObject(parent)
    , m_name(name)
    , m_id(SharedFile::newSourceId())
{
}

DataSource::~DataSource()
{
    if (m_file)
        m_file->detach(this);
}

bool DataSource::open(const QString& path, QString* error)
{
    QString message;
    if (m_file)
        m_file->detach(this);
    m_file = SharedFile::open(path, &message);
    if (m_file)
        m_file->attach(this);
    if (!m_file) {
        // Kept for the first re-read, which start-up reports.
        m_openError = message;
        setError(error, message);
        return false;
    }
    m_openError.clear();
    return true;
}

bool DataSource::isOpen() const
{
    return m_file && m_file->connection().isOpen();
}

sqlite3* DataSource::connection() const
{
    return isOpen() ? m_file->handle() : nullptr;
}

void DataSource::setStatement(const QString& sql)
{
    m_statement = sql;
}

bool DataSource::refresh(QString* error)
{
    if (!isOpen()) {
        setError(error,
            m_openError.isEmpty()
                ? QStringLiteral("Die Datenquelle %1 ist mit keiner Datenbank verbunden.").arg(quoted(m_name))
                : m_openError);
        return false;
    }
    sqlite3* db = m_file->handle();
    // A logbook deleted while in use still reads from the open file: say so instead of showing
    // rows no longer kept anywhere.
    const QString file = QString::fromUtf8(sqlite3_db_filename(db, "main"));
    if (!file.isEmpty() && !QFileInfo::exists(file)) {
        setError(error,
            storeFailureMessage(
                QStringLiteral("Die Abfrage wurde nicht ausgeführt."), StoreFailure::Missing, file));
        return false;
    }
    // Taken before the rows: a commit by another program while they are read shows up
    // as a change next time.
    const qint64 version = m_file->dataVersion();
    if (const Result* same = sameResult(version)) {
        // What this read would give is held already: share it.
        auto result = std::make_unique<Result>(*same);
        result->statement = m_statement;
        replaceResult(std::move(result));
        return true;
    }
    if (std::unique_ptr<Result> reordered = reorderedResult(version)) {
        // The same rows are held in another order: share them in this one.
        replaceResult(std::move(reordered));
        return true;
    }
    Statement query;
    if (!prepareQuery(db, m_statement.toUtf8(), &query, error))
        return false;
    auto result = std::make_unique<Result>(query.handle());
    result->statement = m_statement;
    result->dataVersion = version;
    switch (readFirstPiece(*result, error)) {
    case FirstPiece::Read:
        result->syncedSerial = m_file->lastSerial();
        replaceResult(std::move(result));
        return true;
    case FirstPiece::Failed:
        return false;
    case FirstPiece::NotSuited:
        break;
    }
    // A re-read of the same statement is likely as large as the last one: room for that much
    // (and a little more) spares growing the buffers step by step.
    if (m_result && m_result->statement == m_statement) {
        const std::size_t rows = std::size_t(recordCount());
        result->rows.reserve(rows + rows / 64 + 16, m_result->rows.storedBytes() / 16 * 17 + 1024);
    }
    if (!readRows(db, query.handle(), result->columns.kinds(), &result->rows, error))
        return false;
    result->statement = m_statement;
    result->syncedSerial = m_file->lastSerial();
    result->dataVersion = version;
    describeOrder(*result, sqlite3_stmt_status(query.handle(), SQLITE_STMTSTATUS_SORT, 0) != 0);
    replaceResult(std::move(result));
    return true;
}

const DataSource::Result* DataSource::sameResult(qint64 version) const
{
    for (const DataSource* other : m_file->sources()) {
        const Result* r = other != this ? other->m_result.get() : nullptr;
        // Read with the same text, nothing added, and nothing written by anyone since.
        if (r && r->addedRow < 0 && r->syncedSerial == m_file->lastSerial() && r->dataVersion == version
            && version >= 0 && normalizedStatement(r->statement) == normalizedStatement(m_statement))
            return r;
    }
    return nullptr;
}

std::unique_ptr<DataSource::Result> DataSource::reorderedResult(qint64 version) const
{
    const std::optional<WholeTableList> wanted = wholeTableList(m_statement);
    if (!wanted || version < 0)
        return nullptr;
    const Result* whole = nullptr;
    for (const DataSource* other : m_file->sources()) {
        const Result* r = other != this ? other->m_result.get() : nullptr;
        if (!r || !r->keepsOrder || r->addedRow >= 0 || r->syncedSerial != m_file->lastSerial()
            || r->dataVersion != version || r->rows.unfilledCount() > 0)
            continue;
        const std::optional<WholeTableList> held = wholeTableList(r->statement);
        if (held && held->table.compare(wanted->table, Qt::CaseInsensitive) == 0) {
            whole = r;
            break;
        }
    }
    if (!whole)
        return nullptr;
    // SQLite must step the rows in the order of an index on the column, which puts equal
    // values in key order; a sort would leave that order open.
    Statement plan;
    if (!plan.prepare(m_file->handle(), "explain query plan " + m_statement.toUtf8()) || !plan.handle())
        return nullptr;
    int rc;
    while ((rc = sqlite3_step(plan.handle())) == SQLITE_ROW) {
        const auto* detail = reinterpret_cast<const char*>(sqlite3_column_text(plan.handle(), 3));
        if (!detail || QByteArray(detail).contains("TEMP B-TREE"))
            return nullptr;
    }
    if (rc != SQLITE_DONE)
        return nullptr;

    auto result = std::make_unique<Result>(*whole);
    result->statement = m_statement;
    result->keepsOrder = false;
    result->orderColumn = -1;
    describeOrder(*result, false);
    if (!result->keepsOrder)
        return nullptr;
    const Result& r = *result;
    struct Entry {
        std::string_view text;
        bool null;
        qint64 key;
        int row;
    };
    std::vector<Entry> entries(std::size_t(r.rows.rowCount()), Entry { {}, true, 0, 0 });
    const int keyColumn = r.columns.keyColumn();
    for (int row = 0; row < r.rows.rowCount(); ++row) {
        Entry& e = entries[std::size_t(row)];
        e.row = row;
        e.null = r.orderColumn < 0 || r.rows.isNull(row, r.orderColumn);
        if (!e.null)
            e.text = r.rows.text(row, r.orderColumn);
        const std::string_view key = r.rows.text(row, keyColumn);
        if (r.rows.isNull(row, keyColumn)
            || std::from_chars(key.data(), key.data() + key.size(), e.key).ec != std::errc())
            return nullptr;
    }
    const CollationCompare compare = r.compare;
    std::sort(entries.begin(), entries.end(), [compare](const Entry& a, const Entry& b) {
        if (a.null != b.null)
            return a.null;
        if (!a.null) {
            const int order
                = compare(nullptr, int(a.text.size()), a.text.data(), int(b.text.size()), b.text.data());
            if (order != 0)
                return order < 0;
        }
        return a.key < b.key;
    });
    std::vector<int> rows;
    rows.reserve(entries.size());
    for (const Entry& e : entries)
        rows.push_back(e.row);
    result->rows = r.rows.reordered(rows);
    return result;
}

bool DataSource::refreshChanges(QString* error)
{
    if (!isOpen() || !m_result || !m_result->keepsOrder || m_result->stale
        || m_result->statement != m_statement || m_file->firstKeptSerial() > m_result->syncedSerial + 1)
        return refresh(error);
    const RowWrite* change = nullptr;
    for (const RowWrite& write : m_file->writes()) {
        if (write.serial <= m_result->syncedSerial
            || write.table.compare(m_result->columns.table(), Qt::CaseInsensitive) != 0)
            continue;
        if (change)
            return refresh(error); // more than one row: read them all
        change = &write;
    }
    if (m_file->dataVersion() != m_result->dataVersion)
        return refresh(error); // another program wrote meanwhile

    // The row as the table holds it now, read before anything changes: a failure leaves
    // the whole re-read to report it.
    Statement fresh;
    std::vector<int> source;
    bool exists = false;
    if (change) {
        const int rc = !fresh.prepare(m_file->handle(), m_result->columns.rereadSql(false, &source))
            ? SQLITE_ERROR
            : fresh.stepWithKey(change->key);
        if (rc != SQLITE_ROW && rc != SQLITE_DONE)
            return refresh(error);
        exists = rc == SQLITE_ROW;
        if (exists && m_result->orderColumn >= 0) {
            const int type = sqlite3_column_type(fresh.handle(), source[std::size_t(m_result->orderColumn)]);
            if (type != SQLITE_TEXT && type != SQLITE_NULL)
                return refresh(error); // ordered before or after every text: not worth the case
        }
    }
    int oldRow = -1;
    if (change && !locateWrittenRow(*change, &oldRow))
        return refresh(error);

    // An added record not saved goes, as with every re-read. It is always the last row.
    if (m_result->addedRow >= 0) {
        const int added = m_result->addedRow;
        emit rowsAboutToBeRemoved(added, added);
        removeResultRow(added);
        emit rowsRemoved();
    }
    sqlite3_stmt* row = fresh.handle();
    const auto placeOfFresh = [&](int rows) {
        if (m_result->orderColumn < 0)
            return orderedPlace(true, nullptr, 0, change->key, rows);
        const int sc = source[std::size_t(m_result->orderColumn)];
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(row, sc));
        return orderedPlace(!text, text, sqlite3_column_bytes(row, sc), change->key, rows);
    };
    // A row that keeps its place is replaced where it stands: the grids repaint one row rather
    // than take one out and put one in, which costs them a pass over their rows. A changed row
    // stood in its place; a row just inserted stands where its record was added, at the end,
    // and keeps it when it belongs after every other row.
    if (exists && oldRow >= 0 && m_result->rows.isFilled(oldRow)
        && (change->before || oldRow == recordCount() - 1)) {
        const Place place = placeOfFresh(change->before ? -1 : oldRow);
        if (!place.unfilled && (place.row == oldRow || (change->before && place.row == oldRow + 1))) {
            if (!m_result->rows.replaceRow(oldRow, row, source, m_result->columns.kinds()))
                return refresh(error);
            emit rowChanged(oldRow);
            exists = false;
            oldRow = -1;
        }
    }
    if (oldRow >= 0) {
        emit rowsAboutToBeRemoved(oldRow, oldRow);
        removeResultRow(oldRow);
        emit rowsRemoved();
    }
    if (exists) {
        const Place place = placeOfFresh(-1);
        std::uint32_t stored = 0;
        if (!place.unfilled && !m_result->rows.storeRow(row, source, m_result->columns.kinds(), &stored))
            return refresh(error);
        emit rowsAboutToBeInserted(place.row, place.row);
        // A row among those not read yet is read with them.
        if (place.unfilled)
            m_result->rows.placeUnfilled(place.row);
        else
            m_result->rows.placeRow(place.row, stored);
        emit rowsInserted();
    }
    m_result->syncedSerial = m_file->lastSerial();
    m_current = recordCount() > 0 ? 0 : -1;
    m_rowBeforeAdd = -1;
    clearPending();
    settleCurrent();
    tellCurrentChanged();
    return true;
}

bool DataSource::addNew(QString* error)
{
    if (!m_result) {
        setError(error,
            QStringLiteral("Die Datenquelle %1 hat noch kein Ergebnis, an das ein Datensatz angefügt "
                           "werden könnte.")
                .arg(quoted(m_name)));
        return false;
    }
    if (!m_result->columns.isWritable()) {
        setError(error, readOnlyMessage());
        return false;
    }
    // One added record at a time: an earlier one, never saved, goes.
    if (m_result->addedRow >= 0) {
        const int earlier = m_result->addedRow;
        emit rowsAboutToBeRemoved(earlier, earlier);
        removeResultRow(earlier);
        emit rowsRemoved();
    }
    m_rowBeforeAdd = hasCurrent() ? m_current : -1;
    const int added = recordCount();
    emit rowsAboutToBeInserted(added, added);
    m_result->rows.appendNullRow();
    m_result->addedRow = added;
    emit rowsInserted();
    m_current = added;
    clearPending();
    tellCurrentChanged();
    return true;
}

bool DataSource::update(QString* error)
{
    if (!hasCurrent()) {
        setError(error, QStringLiteral("Es gibt keinen aktuellen Datensatz, der gespeichert werden könnte."));
        return false;
    }
    if (!m_result->columns.isWritable()) {
        setError(error, readOnlyMessage());
        return false;
    }
    const bool adding = m_current == m_result->addedRow;
    PendingWrite values;
    if (!values.collect(m_result->columns, m_pending, error))
        return false;
    if (!adding && values.isEmpty()) {
        tellCurrentChanged();
        return true; // nothing to write
    }
    qint64 key = 0;
    if (!adding && !currentKey(&key)) {
        setError(error,
            QStringLiteral("Der Datensatz hat keinen gültigen Schlüssel und kann nicht gespeichert werden."));
        return false;
    }
    sqlite3* db = m_file->handle();
    std::optional<RowImage> before;
    if (!adding)
        before = rowImage(m_current);
    const auto write = [&](QString* message) { return writeChecked(values, adding, &key, message); };
    if (!history::recordChange(db, m_result->columns.table(),
            adding ? history::Action::Neu : history::Action::Geaendert, &key, write, error))
        return false;

    // Written: from here on a second save must not insert the record again.
    if (adding)
        m_result->addedRow = -1;
    clearPending();
    const bool reread = rereadCurrent(key, adding);
    recordWrite(key, m_current, std::move(before));
    tellCurrentChanged();
    if (!reread) {
        setError(error,
            storeFailureMessage(
                QStringLiteral("Der Datensatz wurde gespeichert, kann aber nicht wieder gelesen werden."),
                db));
        return false;
    }
    return true;
}

void DataSource::cancelBatch()
{
    if (!m_result)
        return;
    if (m_result->addedRow >= 0) {
        const int added = m_result->addedRow;
        const bool wasCurrent = m_current == added;
        emit rowsAboutToBeRemoved(added, added);
        removeResultRow(added);
        if (wasCurrent)
            m_current = m_rowBeforeAdd;
        emit rowsRemoved();
    }
    const int count = recordCount();
    m_current = count == 0 ? -1 : std::clamp(m_current, 0, count);
    clearPending();
    settleCurrent();
    tellCurrentChanged();
}

bool DataSource::deleteCurrent(QString* error)
{
    if (!hasCurrent()) {
        setError(error, QStringLiteral("Es gibt keinen aktuellen Datensatz, der gelöscht werden könnte."));
        return false;
    }
    if (m_current != m_result->addedRow) {
        if (!m_result->columns.isWritable()) {
            setError(error, readOnlyMessage());
            return false;
        }
        qint64 key = 0;
        if (!currentKey(&key)) {
            setError(error,
                QStringLiteral(
                    "Der Datensatz hat keinen gültigen Schlüssel und kann nicht gelöscht werden."));
            return false;
        }
        sqlite3* db = m_file->handle();
        RowImage before = rowImage(m_current);
        const auto remove = [&](QString* message) {
            Statement statement;
            if (statement.prepare(db, m_result->columns.deleteSql())
                && statement.stepWithKey(key) == SQLITE_DONE)
                return true;
            setError(message, storeFailureMessage(QStringLiteral("Der Datensatz wurde nicht gelöscht."), db));
            return false;
        };
        if (!history::recordChange(
                db, m_result->columns.table(), history::Action::Geloescht, &key, remove, error))
            return false;
        recordWrite(key, -1, std::move(before));
    }
    const int removed = m_current;
    emit rowsAboutToBeRemoved(removed, removed);
    removeResultRow(removed);
    emit rowsRemoved();
    const int count = recordCount();
    m_current = count == 0 ? -1 : std::min(m_current, count - 1);
    clearPending();
    settleCurrent();
    tellCurrentChanged();
    return true;
}

int DataSource::recordCount() const
{
    return m_result ? m_result->rows.rowCount() : 0;
}

int DataSource::columnCount() const
{
    return m_result ? m_result->columns.count() : 0;
}

QStringList DataSource::columnNames() const
{
    return m_result ? m_result->columns.names() : QStringList();
}

int DataSource::columnIndex(const QString& name) const
{
    return m_result ? m_result->columns.indexOf(name) : -1;
}

void DataSource::tellCurrentChanged()
{
    if (m_currentHolds > 0)
        m_currentChangeHeld = true;
    else
        emit currentChanged();
}

DataSource::CurrentChangeHold::CurrentChangeHold(DataSource& source)
    : m_source(source)
{
    ++m_source.m_currentHolds;
}

DataSource::CurrentChangeHold::~CurrentChangeHold()
{
    if (--m_source.m_currentHolds == 0 && m_source.m_currentChangeHeld) {
        m_source.m_currentChangeHeld = false;
        emit m_source.currentChanged();
    }
}

void DataSource::setCurrentRow(int row)
{
    if (!m_result || row == m_current)
        return;
    const int count = recordCount();
    if (count == 0 || row < 0 || row > count)
        return;
    m_current = row;
    clearPending();
    settleCurrent();
    tellCurrentChanged();
}

bool DataSource::atEnd() const
{
    return !hasCurrent();
}

void DataSource::moveNext()
{
    if (hasCurrent())
        setCurrentRow(m_current + 1);
}

bool DataSource::hasCurrent() const
{
    return m_current >= 0 && m_current < recordCount();
}

bool DataSource::isAdding() const
{
    return hasCurrent() && m_current == m_result->addedRow;
}

bool DataSource::hasPendingChanges() const
{
    return std::any_of(
        m_pending.begin(), m_pending.end(), [](const auto& value) { return value.has_value(); });
}

bool DataSource::isWritable() const
{
    return m_result && m_result->columns.isWritable();
}

QString DataSource::field(const QString& column) const
{
    if (!hasCurrent())
        return QString();
    const int c = columnIndex(column);
    if (c < 0)
        return QString();
    if (const std::optional<QString>& pending = m_pending[std::size_t(c)])
        return *pending;
    return value(m_current, c);
}

QString DataSource::value(int row, int column) const
{
    if (!hasCell(row, column) || !fillRow(row, false))
        return QString();
    const std::string_view text = m_result->rows.text(row, column);
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

bool DataSource::isNull(int row, int column) const
{
    return !hasCell(row, column) || !fillRow(row, false) || m_result->rows.isNull(row, column);
}

bool DataSource::setField(const QString& column, const QString& text)
{
    if (!hasCurrent())
        return false;
    const int c = columnIndex(column);
    if (c < 0 || m_result->columns.kind(c) == ColumnKind::Key)
        return false;
    m_pending[std::size_t(c)] = text;
    return true;
}

qsizetype DataSource::resultBytes() const
{
    if (!m_result)
        return 0;
    return qsizetype(sizeof(Result)) + m_result->columns.bytes() + m_result->rows.bytes();
}

QString DataSource::readOnlyMessage() const
{
    if (!m_result || m_result->columns.table().isEmpty())
        return QStringLiteral(
            "Die Datenquelle %1 kann ihr Ergebnis nicht ändern: es stammt nicht aus genau einer "
            "Tabelle.")
            .arg(quoted(m_name));
    return QStringLiteral("Die Datenquelle %1 kann ihr Ergebnis nicht ändern: die Spalte „id“ der Tabelle %2 "
                          "fehlt in der Abfrage.")
        .arg(quoted(m_name), quoted(m_result->columns.table()));
}

void DataSource::replaceResult(std::unique_ptr<Result> result)
{
    emit resultAboutToReset();
    m_result = std::move(result);
    m_current = recordCount() > 0 ? 0 : -1;
    m_rowBeforeAdd = -1;
    clearPending();
    settleCurrent();
    emit resultReset();
    tellCurrentChanged();
}

bool DataSource::currentKey(qint64* key) const
{
    return rowKey(m_current, key);
}

bool DataSource::rowKey(int row, qint64* key) const
{
    const int column = m_result->columns.keyColumn();
    if (m_result->rows.isNull(row, column))
        return false;
    const std::string_view text = m_result->rows.text(row, column);
    const auto parsed = std::from_chars(text.data(), text.data() + text.size(), *key);
    return parsed.ec == std::errc() && parsed.ptr == text.data() + text.size();
}

// An edited record is written only when its stored row is still the one that was read: another
// program may have changed it meanwhile, and its change must not be overwritten unseen. The
// comparison and the write share one savepoint, so nothing can come between them.
bool DataSource::writeChecked(const PendingWrite& values, bool adding, qint64* key, QString* error)
{
    sqlite3* db = m_file->handle();
    if (adding)
        return values.write(db, m_result->columns, adding, key, error);

    const QString notSaved = QStringLiteral("Der Datensatz wurde nicht gespeichert.");
    if (sqlite3_exec(db, "savepoint odomira_update", nullptr, nullptr, nullptr) != SQLITE_OK) {
        setError(error, storeFailureMessage(notSaved, db));
        return false;
    }
    auto undo = [db] {
        sqlite3_exec(db, "rollback to odomira_update", nullptr, nullptr, nullptr);
        sqlite3_exec(db, "release odomira_update", nullptr, nullptr, nullptr);
    };
    switch (compareStoredRow(db, m_result->columns, m_result->rows, m_current, *key)) {
    case StoredRowState::Unchanged:
        break;
    case StoredRowState::Changed:
        undo();
        setError(error,
            QStringLiteral("Der Datensatz wurde nicht gespeichert: er wurde in der Tabelle %1 geändert, "
                           "seit er gelesen wurde, wohl von einem anderen Programm. Die Eingaben bleiben "
                           "offen. Bitte notieren Sie Ihre Änderung, brechen Sie die Eingabe ab, um den "
                           "gespeicherten Stand zu sehen, und geben Sie die Änderung dann erneut ein.")
                .arg(quoted(m_result->columns.table())));
        return false;
    case StoredRowState::Missing:
        undo();
        setError(error,
            QStringLiteral("Der Datensatz wurde nicht gespeichert: er ist in der Tabelle %1 nicht mehr "
                           "vorhanden, er wurde gelöscht, seit er gelesen wurde. Die Eingaben bleiben offen.")
                .arg(quoted(m_result->columns.table())));
        return false;
    case StoredRowState::Failed:
        setError(error, storeFailureMessage(notSaved, db));
        undo();
        return false;
    }
    if (!values.write(db, m_result->columns, adding, key, error)) {
        undo();
        return false;
    }
    if (sqlite3_exec(db, "release odomira_update", nullptr, nullptr, nullptr) != SQLITE_OK) {
        setError(error, storeFailureMessage(notSaved, db));
        undo();
        return false;
    }
    return true;
}

RowImage DataSource::rowImage(int row) const
{
    RowImage image;
    image.names = m_result->columns.names();
    for (int c = 0; c < columnCount(); ++c) {
        if (m_result->rows.isNull(row, c))
            image.cells.emplace_back();
        else
            image.cells.emplace_back(m_result->rows.text(row, c));
    }
    return image;
}

void DataSource::recordWrite(qint64 key, int writerRow, std::optional<RowImage> before)
{
    RowWrite write;
    write.writer = m_id;
    write.writerRow = writerRow;
    write.table = m_result->columns.table();
    write.key = key;
    write.before = std::move(before);
    m_file->recordWrite(std::move(write));
}

void DataSource::describeOrder(Result& result, bool sorted) const
{
    const std::optional<WholeTableList> list = wholeTableList(result.statement);
    const ResultColumns& columns = result.columns;
    if (!list || !columns.isWritable() || list->table.compare(columns.table(), Qt::CaseInsensitive) != 0)
        return;
    for (int c = 0; c < columns.count(); ++c) {
        if (columns.isComputed(c))
            return;
    }
    if (list->orderColumn.isEmpty()) {
        result.orderColumn = -1; // a scan of the table: by key
        result.keepsOrder = true;
        return;
    }
    // Rows stepped in the column's order without a sort come from an index on it, which
    // orders rows of equal value by key; a sort leaves their order open.
    const int column = columns.indexOf(list->orderColumn);
    if (column < 0 || sorted)
        return;
    const ColumnKind kind = columns.kind(column);
    if (kind != ColumnKind::Text && kind != ColumnKind::Date)
        return; // their text form is not what the table compares
    const char* type = nullptr;
    const char* collation = nullptr;
    if (sqlite3_table_column_metadata(m_file->handle(), nullptr, columns.table().toUtf8().constData(),
            columns.names()[column].toUtf8().constData(), &type, &collation, nullptr, nullptr, nullptr)
            != SQLITE_OK
        || !type || QByteArray(type).compare("text", Qt::CaseInsensitive) != 0)
        return;
    result.compare = collationCompare(QString::fromUtf8(collation));
    if (!result.compare)
        return;
    result.orderColumn = column;
    result.keepsOrder = true;
}

bool DataSource::locateWrittenRow(const RowWrite& write, int* row) const
{
    *row = -1;
    qint64 key = 0;
    if (write.writer == m_id) {
        // The writer knows its row; a delete has taken it out already.
        *row = write.writerRow;
        return *row < 0 || (*row < recordCount() && rowKey(*row, &key) && key == write.key);
    }
    if (!write.before)
        return true; // inserted: no other result holds it yet
    bool null = true;
    QByteArray text;
    if (m_result->orderColumn >= 0) {
        const qsizetype c = write.before->names.indexOf(m_result->columns.names()[m_result->orderColumn], 0);
        if (c < 0)
            return false;
        if (const std::optional<std::string>& cell = write.before->cells[std::size_t(c)]) {
            null = false;
            text = QByteArray(cell->data(), qsizetype(cell->size()));
        }
    }
    const Place found = orderedPlace(null, text.constData(), int(text.size()), write.key);
    *row = found.row;
    // A row not read yet: any row of its gap stands for it.
    return found.unfilled || (found.row < recordCount() && rowKey(found.row, &key) && key == write.key);
}

// Where a row with this order value and key goes: before the first row that follows it. Rows
// not read yet are passed over; a row that falls among them goes into their gap.
DataSource::Place DataSource::orderedPlace(bool null, const char* text, int size, qint64 key, int rows) const
{
    const Result& r = *m_result;
    const auto rowPrecedes = [&](int row) {
        if (r.orderColumn >= 0) {
            const bool rowNull = r.rows.isNull(row, r.orderColumn);
            if (rowNull != null)
                return rowNull; // no value comes first
            if (!null) {
                const std::string_view cell = r.rows.text(row, r.orderColumn);
                const int order = r.compare(nullptr, int(cell.size()), cell.data(), size, text);
                if (order != 0)
                    return order < 0;
            }
        }
        qint64 rowKeyValue = 0;
        return rowKey(row, &rowKeyValue) && rowKeyValue < key;
    };
    // `low` and `high` always stand on a read row, the start of a gap, or the end.
    int low = 0;
    int high = rows < 0 ? recordCount() : rows;
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (r.rows.isFilled(middle)) {
            if (rowPrecedes(middle))
                low = middle + 1;
            else
                high = middle;
            continue;
        }
        const auto [first, end] = r.rows.gapAround(middle);
        if (first - 1 >= low && !rowPrecedes(first - 1)) {
            high = first - 1;
        } else if (end < high && rowPrecedes(end)) {
            low = end + 1;
        } else {
            qint64 endKey = 0;
            if (end < high && rowKey(end, &endKey) && endKey == key)
                return { end, false };
            return { first, true };
        }
    }
    return { low, false };
}

// Replaces the current row by what the table now holds (the new key of an added record
// included); expression columns keep theirs.
bool DataSource::rereadCurrent(qint64 key, bool byRowid)
{
    std::vector<int> source;
    const QByteArray sql = m_result->columns.rereadSql(byRowid, &source);
    Statement read;
    return read.prepare(m_file->handle(), sql) && read.stepWithKey(key) == SQLITE_ROW
        && m_result->rows.replaceRow(m_current, read.handle(), source, m_result->columns.kinds());
}

bool DataSource::hasCell(int row, int column) const
{
    return row >= 0 && row < recordCount() && column >= 0 && column < columnCount();
}

void DataSource::removeResultRow(int row)
{
    Result& r = *m_result;
    r.rows.removeRow(row);
    if (r.addedRow == row)
        r.addedRow = -1;
    else if (r.addedRow > row)
        --r.addedRow;
    if (m_current > row)
        --m_current;
    if (m_rowBeforeAdd > row)
        --m_rowBeforeAdd;
    else if (m_rowBeforeAdd == row)
        m_rowBeforeAdd = std::min(row, recordCount() - 1);
}

void DataSource::clearPending()
{
    m_pending.assign(std::size_t(columnCount()), std::nullopt);
}

} // namespace odomira
