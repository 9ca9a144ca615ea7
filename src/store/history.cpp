#include "store/history.h"

#include "store/connection.h"
#include "store/statement.h"
#include "store/store_messages.h"
#include "store/store_text.h"

#include <QCryptographicHash>
#include <QDateTime>

#include <sqlite3.h>

namespace odomira::history {

using store::setError;
using store::sqliteMessage;

namespace {

const char* const CanonicalVersion = "odomira-historie-1";

QByteArray selectColumnsSql(Table table)
{
    QByteArrayList names;
    for (const char* column : recordColumns(table))
        names.append(column);
    return names.join(", ");
}

void appendField(QByteArray& out, QByteArrayView bytes)
{
    out += QByteArray::number(bytes.size());
    out += ':';
    out += bytes;
    out += '\n';
}

std::optional<QByteArray> columnBytes(sqlite3_stmt* stmt, int column)
{
    if (sqlite3_column_type(stmt, column) == SQLITE_NULL)
        return std::nullopt;
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
    return QByteArray(text ? text : "", sqlite3_column_bytes(stmt, column));
}

// A German sentence on why the file cannot be written just now.
QString writeProblem(sqlite3* db, int rc)
{
    switch (rc & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral("die Datei wird gerade von einem anderen Programm benutzt");
    case SQLITE_READONLY:
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
        return QStringLiteral("die Datei oder ihr Ordner ist schreibgeschützt (%1)").arg(sqliteMessage(db));
    default:
        return QStringLiteral("die Datei lässt sich nicht beschreiben (%1)").arg(sqliteMessage(db));
    }
}

// A transaction that is rolled back unless committed.
class Transaction {
public:
    explicit Transaction(sqlite3* db)
        : m_db(db)
    {
    }
    ~Transaction()
    {
        if (m_open)
            sqlite3_exec(m_db, "rollback", nullptr, nullptr, nullptr);
    }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    // Takes the write lock at once, so nothing read inside is stale when written.
    int begin()
    {
        const int rc = sqlite3_exec(m_db, "begin immediate", nullptr, nullptr, nullptr);
        m_open = rc == SQLITE_OK;
        return rc;
    }
    int commit()
    {
        const int rc = sqlite3_exec(m_db, "commit", nullptr, nullptr, nullptr);
        if (rc == SQLITE_OK)
            m_open = false;
        return rc;
    }

private:
    sqlite3* m_db;
    bool m_open = false;
};

} // namespace

QByteArray firstPreviousHash()
{
    return QByteArray(64, '0');
}

QByteArray canonicalText(const Entry& entry, QByteArrayView previousHash)
{
    QByteArray out;
    out.reserve(
        128 + (entry.vorher ? entry.vorher->size() : 0) + (entry.nachher ? entry.nachher->size() : 0));
    appendField(out, CanonicalVersion);
    appendField(out, previousHash);
    appendField(out, QByteArray::number(entry.nr));
    appendField(out, entry.zeit);
    appendField(out, entry.aktion);
    appendField(out, entry.tabelle);
    appendField(out, QByteArray::number(entry.datensatz));
    for (const std::optional<QByteArray>* record : { &entry.vorher, &entry.nachher }) {
        if (*record)
            appendField(out, **record);
        else
            out += "-\n";
    }
    return out;
}

QByteArray entryHash(const Entry& entry, QByteArrayView previousHash)
{
    return QCryptographicHash::hash(canonicalText(entry, previousHash), QCryptographicHash::Sha256).toHex();
}

bool hasHistory(sqlite3* db, bool* has, QString* error)
{
    Statement query;
    if (!query.prepare(db, "select 1 from sqlite_master where type = 'table' and lower(name) = 'historie'")) {
        setError(error, sqliteMessage(db));
        return false;
    }
    const int rc = sqlite3_step(query.handle());
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) {
        setError(error, sqliteMessage(db));
        return false;
    }
    *has = rc == SQLITE_ROW;
    return true;
}

std::optional<Record> readRecord(sqlite3* db, Table table, qint64 id, bool* ok, QString* error)
{
    *ok = false;
    Statement query;
    if (!query.prepare(
            db, "select " + selectColumnsSql(table) + " from " + tableName(table) + " where id = ?")) {
        setError(error, sqliteMessage(db));
        return std::nullopt;
    }
    const int rc = query.stepWithKey(id);
    if (rc == SQLITE_DONE) {
        *ok = true;
        return std::nullopt;
    }
    if (rc != SQLITE_ROW) {
        setError(error, sqliteMessage(db));
        return std::nullopt;
    }
    Record record;
    const int columns = int(recordColumns(table).size());
    record.reserve(std::size_t(columns));
    for (int c = 0; c < columns; ++c)
        record.push_back(columnValue(query.handle(), c));
    *ok = true;
    return record;
}

Writer::Writer(sqlite3* db)
    : m_db(db)
{
}

Writer::~Writer() = default;

bool Writer::start(QString* error)
{
    Statement last;
    if (!last.prepare(m_db, "select nr, hash from historie order by nr desc limit 1")) {
        setError(error, sqliteMessage(m_db));
        return false;
    }
    const int rc = sqlite3_step(last.handle());
    if (rc == SQLITE_ROW) {
        m_lastNr = sqlite3_column_int64(last.handle(), 0);
        m_lastHash = columnBytes(last.handle(), 1).value_or(QByteArray());
    } else if (rc == SQLITE_DONE) {
        m_lastNr = 0;
        m_lastHash = firstPreviousHash();
    } else {
        setError(error, sqliteMessage(m_db));
        return false;
    }
    if (!m_insert.prepare(m_db,
            "insert into historie (nr, zeit, aktion, tabelle, datensatz, vorher, nachher, hash) "
            "values (?, ?, ?, ?, ?, ?, ?, ?)")) {
        setError(error, sqliteMessage(m_db));
        return false;
    }
    m_time = QDateTime::currentDateTimeUtc().toString(Qt::ISODate).toLatin1();
    return true;
}

bool Writer::append(
    Action action, Table table, qint64 id, const Record* before, const Record* after, QString* error)
{
    Entry entry;
    entry.nr = m_lastNr + 1;
    entry.zeit = m_time;
    entry.aktion = actionWord(action);
    entry.tabelle = tableName(table);
    entry.datensatz = id;
    if (before)
        entry.vorher = encodeRecord(table, *before);
    if (after)
        entry.nachher = encodeRecord(table, *after);
    entry.hash = entryHash(entry, m_lastHash);

    sqlite3_stmt* insert = m_insert.handle();
    const auto bindBytes = [insert](int index, const std::optional<QByteArray>& bytes) {
        if (bytes)
            sqlite3_bind_text(insert, index, bytes->constData(), int(bytes->size()), SQLITE_STATIC);
        else
            sqlite3_bind_null(insert, index);
    };
    sqlite3_bind_int64(insert, 1, entry.nr);
    bindBytes(2, entry.zeit);
    bindBytes(3, entry.aktion);
    bindBytes(4, entry.tabelle);
    sqlite3_bind_int64(insert, 5, entry.datensatz);
    bindBytes(6, entry.vorher);
    bindBytes(7, entry.nachher);
    bindBytes(8, entry.hash);
    const int rc = sqlite3_step(insert);
    sqlite3_reset(insert);
    sqlite3_clear_bindings(insert);
    if (rc != SQLITE_DONE) {
        setError(error, sqliteMessage(m_db));
        return false;
    }
    m_lastNr = entry.nr;
    m_lastHash = entry.hash;
    return true;
}

QByteArray recordsByIdSql(Table table)
{
    return "select id, " + selectColumnsSql(table) + " from " + tableName(table) + " order by id";
}

bool Writer::appendEveryRecord(Action action, QString* error)
{
    for (const Table table : { Table::Verbrauch, Table::Fahrt }) {
        Statement rows;
        if (!rows.prepare(m_db, recordsByIdSql(table))) {
            setError(error, sqliteMessage(m_db));
            return false;
        }
        const int columns = int(recordColumns(table).size());
        int rc;
        Record record;
        while ((rc = sqlite3_step(rows.handle())) == SQLITE_ROW) {
            record.clear();
            for (int c = 0; c < columns; ++c)
                record.push_back(columnValue(rows.handle(), c + 1));
            if (!append(action, table, sqlite3_column_int64(rows.handle(), 0), nullptr, &record, error))
                return false;
        }
        if (rc != SQLITE_DONE) {
            setError(error, sqliteMessage(m_db));
            return false;
        }
    }
    return true;
}

bool createHistory(sqlite3* db, QString* error)
{
    if (sqlite3_exec(db, SchemaSql, nullptr, nullptr, nullptr) != SQLITE_OK) {
        setError(error, sqliteMessage(db));
        return false;
    }
    return true;
}

bool ensureHistory(sqlite3* db, bool* added, QString* reason)
{
    *added = false;
    bool has = false;
    QString problem;
    if (!hasHistory(db, &has, &problem)) {
        setError(reason, QStringLiteral("die Datei lässt sich nicht lesen (%1)").arg(problem));
        return false;
    }
    if (has)
        return true;

    Transaction transaction(db);
    int rc = transaction.begin();
    if (rc != SQLITE_OK) {
        setError(reason, writeProblem(db, rc));
        return false;
    }
    // Another program may have added it meanwhile.
    if (!hasHistory(db, &has, &problem)) {
        setError(reason, QStringLiteral("die Datei lässt sich nicht lesen (%1)").arg(problem));
        return false;
    }
    if (has)
        return true;
    Writer writer(db);
    if (sqlite3_exec(db, SchemaSql, nullptr, nullptr, nullptr) != SQLITE_OK || !writer.start(&problem)
        || !writer.appendEveryRecord(Action::Bestand, &problem)) {
        setError(reason, writeProblem(db, sqlite3_extended_errcode(db)));
        return false;
    }
    rc = transaction.commit();
    if (rc != SQLITE_OK) {
        setError(reason, writeProblem(db, rc));
        return false;
    }
    *added = true;
    return true;
}

QString prepareLogbook(const QString& path)
{
    Connection connection;
    if (!connection.open(path, nullptr))
        return QString();
    bool added = false;
    QString reason;
    if (ensureHistory(connection.handle(), &added, &reason))
        return QString();
    return QStringLiteral(
        "Dieses Fahrtenbuch hat noch keine Änderungshistorie, und sie konnte jetzt nicht "
        "angelegt werden: %1.\nOdomira arbeitet wie bisher, Änderungen werden aber erst "
        "nachvollziehbar aufgezeichnet, wenn die Historie beim nächsten Start angelegt werden "
        "kann.")
        .arg(reason);
}

bool recordChange(sqlite3* db, QStringView table, Action action, qint64* key,
    const std::function<bool(QString*)>& write, QString* error)
{
    const std::optional<Table> followed = tableFromName(table);
    const QString done
        = action == Action::Geloescht ? QStringLiteral("gelöscht") : QStringLiteral("gespeichert");
    const QString notDone = QStringLiteral("Der Datensatz wurde nicht %1.").arg(done);
    const auto historyFailed = [&](const QString& detail) {
        // A file held by another program, gone or read-only is said as for any write.
        const StoreFailure failure = lastStoreFailure(db);
        if (failure != StoreFailure::Other && failure != StoreFailure::Statement) {
            setError(error, storeFailureMessage(notDone, db));
            return false;
        }
        setError(error,
            QStringLiteral("Der Datensatz wurde nicht %1: der Eintrag in die Änderungshistorie konnte nicht "
                           "geschrieben werden (%2). Es wurde nichts geändert.")
                .arg(done, detail));
        return false;
    };
    bool has = false;
    QString problem;
    if (followed && !hasHistory(db, &has, &problem))
        return historyFailed(problem);
    if (!followed || !has)
        return write(error);

    Transaction transaction(db);
    const int rc = transaction.begin();
    if (rc != SQLITE_OK) {
        setError(error, storeFailureMessage(notDone, db));
        return false;
    }
    bool ok = true;
    std::optional<Record> before;
    if (action != Action::Neu) {
        before = readRecord(db, *followed, *key, &ok, &problem);
        if (!ok)
            return historyFailed(problem);
    }
    if (!write(error))
        return false;
    std::optional<Record> after;
    if (action != Action::Geloescht) {
        after = readRecord(db, *followed, *key, &ok, &problem);
        if (!ok)
            return historyFailed(problem);
    }
    // Nothing there before a delete, or nothing changed: no entry.
    const bool changed = action == Action::Geloescht ? before.has_value() : before != after;
    if (changed) {
        Writer writer(db);
        if (!writer.start(&problem)
            || !writer.append(
                action, *followed, *key, before ? &*before : nullptr, after ? &*after : nullptr, &problem))
            return historyFailed(problem);
    }
    const int committed = transaction.commit();
    if (committed != SQLITE_OK) {
        setError(error, storeFailureMessage(notDone, db));
        return false;
    }
    return true;
}

} // namespace odomira::history
