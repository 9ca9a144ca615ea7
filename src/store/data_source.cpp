#include "store/data_source.h"

#include "store/history.h"
#include "store/pending_write.h"
#include "store/result_columns.h"
#include "store/result_table.h"
#include "store/row_check.h"
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
bool readRows(sqlite3* db, sqlite3_stmt* query, const std::vector<ColumnKind>& kinds, ResultTable* rows,
    QString* error)
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

// A result: its columns and the copy of its rows.
struct DataSource::Result
{
    explicit Result(sqlite3_stmt* query)
        : columns(query)
        , rows(columns.count())
    { }

    ResultColumns columns;
    ResultTable rows;
    int addedRow = -1; // row of the record added and not yet saved
};

DataSource::DataSource(const QString& name, QObject* parent)
    : QObject(parent)
    , m_name(name)
{ }

DataSource::~DataSource() = default;

bool DataSource::open(const QString& path, QString* error)
{
    QString message;
    if (!m_connection.open(path, &message)) {
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
    return m_connection.isOpen();
}

void DataSource::setStatement(const QString& sql)
{
    m_statement = sql;
}

bool DataSource::refresh(QString* error)
{
    if (!m_connection.isOpen()) {
        setError(error,
            m_openError.isEmpty()
                ? QStringLiteral("Die Datenquelle %1 ist mit keiner Datenbank verbunden.").arg(quoted(m_name))
                : m_openError);
        return false;
    }
    sqlite3* db = m_connection.handle();
    // A logbook deleted while in use still reads from the open file: say so instead of showing
    // rows no longer kept anywhere.
    const QString file = QString::fromUtf8(sqlite3_db_filename(db, "main"));
    if (!file.isEmpty() && !QFileInfo::exists(file)) {
        setError(error,
            storeFailureMessage(
                QStringLiteral("Die Abfrage wurde nicht ausgeführt."), StoreFailure::Missing, file));
        return false;
    }
    Statement query;
    if (!prepareQuery(db, m_statement.toUtf8(), &query, error))
        return false;
    auto result = std::make_unique<Result>(query.handle());
    if (!readRows(db, query.handle(), result->columns.kinds(), &result->rows, error))
        return false;
    replaceResult(std::move(result));
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
    emit resultAboutToReset();
    // One added record at a time: an earlier one, never saved, goes.
    if (m_result->addedRow >= 0)
        removeResultRow(m_result->addedRow);
    m_rowBeforeAdd = hasCurrent() ? m_current : -1;
    m_result->rows.appendNullRow();
    m_result->addedRow = recordCount() - 1;
    m_current = m_result->addedRow;
    clearPending();
    emit resultReset();
    emit currentChanged();
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
        emit currentChanged();
        return true; // nothing to write
    }
    qint64 key = 0;
    if (!adding && !currentKey(&key)) {
        setError(error,
            QStringLiteral("Der Datensatz hat keinen gültigen Schlüssel und kann nicht gespeichert werden."));
        return false;
    }
    sqlite3* db = m_connection.handle();
    const auto write = [&](QString* message) { return writeChecked(values, adding, &key, message); };
    if (!history::recordChange(db, m_result->columns.table(),
            adding ? history::Action::Neu : history::Action::Geaendert, &key, write, error))
        return false;

    // Written: from here on a second save must not insert the record again.
    if (adding)
        m_result->addedRow = -1;
    clearPending();
    const bool reread = rereadCurrent(key, adding);
    emit currentChanged();
    if (!reread) {
        setError(error,
            storeFailureMessage(
                QStringLiteral("Der Datensatz wurde gespeichert, kann aber nicht wieder gelesen werden."), db));
        return false;
    }
    return true;
}

void DataSource::cancelBatch()
{
    if (!m_result)
        return;
    emit resultAboutToReset();
    if (m_result->addedRow >= 0) {
        const bool wasCurrent = m_current == m_result->addedRow;
        removeResultRow(m_result->addedRow);
        if (wasCurrent)
            m_current = m_rowBeforeAdd;
    }
    const int count = recordCount();
    m_current = count == 0 ? -1 : std::clamp(m_current, 0, count);
    clearPending();
    emit resultReset();
    emit currentChanged();
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
        sqlite3* db = m_connection.handle();
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
    }
    emit resultAboutToReset();
    removeResultRow(m_current);
    const int count = recordCount();
    m_current = count == 0 ? -1 : std::min(m_current, count - 1);
    clearPending();
    emit resultReset();
    emit currentChanged();
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

void DataSource::setCurrentRow(int row)
{
    if (!m_result || row == m_current)
        return;
    const int count = recordCount();
    if (count == 0 || row < 0 || row > count)
        return;
    m_current = row;
    clearPending();
    emit currentChanged();
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
    if (!hasCell(row, column))
        return QString();
    const std::string_view text = m_result->rows.text(row, column);
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

bool DataSource::isNull(int row, int column) const
{
    return !hasCell(row, column) || m_result->rows.isNull(row, column);
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
    emit resultReset();
    emit currentChanged();
}

bool DataSource::currentKey(qint64* key) const
{
    const int column = m_result->columns.keyColumn();
    if (m_result->rows.isNull(m_current, column))
        return false;
    const std::string_view text = m_result->rows.text(m_current, column);
    const auto parsed = std::from_chars(text.data(), text.data() + text.size(), *key);
    return parsed.ec == std::errc() && parsed.ptr == text.data() + text.size();
}

// An edited record is written only when its stored row is still the one that was read: another
// program may have changed it meanwhile, and its change must not be overwritten unseen. The
// comparison and the write share one savepoint, so nothing can come between them.
bool DataSource::writeChecked(const PendingWrite& values, bool adding, qint64* key, QString* error)
{
    sqlite3* db = m_connection.handle();
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

// Replaces the current row by what the table now holds (the new key of an added record
// included); expression columns keep theirs.
bool DataSource::rereadCurrent(qint64 key, bool byRowid)
{
    std::vector<int> source;
    const QByteArray sql = m_result->columns.rereadSql(byRowid, &source);
    Statement read;
    return read.prepare(m_connection.handle(), sql) && read.stepWithKey(key) == SQLITE_ROW
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
