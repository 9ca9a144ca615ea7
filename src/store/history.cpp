#include "store/history.h"

#include "store/connection.h"
#include "store/statement.h"
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

void appendEscaped(QByteArray& out, QByteArrayView text)
{
    qsizetype plain = 0; // start of the run not yet appended
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '\\' && c != '\n' && c != '\r')
            continue;
        out += text.sliced(plain, i - plain);
        out += c == '\\' ? "\\\\" : c == '\n' ? "\\n" : "\\r";
        plain = i + 1;
    }
    out += text.sliced(plain);
}

std::optional<QByteArray> unescaped(QByteArrayView text)
{
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '\\') {
            if (c == '\n' || c == '\r')
                return std::nullopt;
            out += c;
            continue;
        }
        if (++i == text.size())
            return std::nullopt;
        switch (text[i]) {
        case '\\':
            out += '\\';
            break;
        case 'n':
            out += '\n';
            break;
        case 'r':
            out += '\r';
            break;
        default:
            return std::nullopt;
        }
    }
    return out;
}

bool isInteger(QByteArrayView text)
{
    qsizetype i = !text.isEmpty() && text[0] == '-' ? 1 : 0;
    if (i == text.size())
        return false;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
    }
    return true;
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
class Transaction
{
public:
    explicit Transaction(sqlite3* db)
        : m_db(db)
    { }
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

QByteArray actionWord(Action action)
{
    switch (action) {
    case Action::Bestand:
        return "Bestand";
    case Action::Neu:
        return "Neu";
    case Action::Geaendert:
        return QByteArrayLiteral("Ge\xc3\xa4ndert");
    case Action::Geloescht:
        return QByteArrayLiteral("Gel\xc3\xb6scht");
    }
    return {};
}

std::optional<Action> actionFromWord(QByteArrayView word)
{
    for (const Action action : { Action::Bestand, Action::Neu, Action::Geaendert, Action::Geloescht }) {
        if (word == actionWord(action))
            return action;
    }
    return std::nullopt;
}

QByteArray tableName(Table table)
{
    return table == Table::Fahrt ? QByteArrayLiteral("fahrt") : QByteArrayLiteral("verbrauch");
}

std::optional<Table> tableFromName(QStringView name)
{
    if (name.compare(u"fahrt", Qt::CaseInsensitive) == 0)
        return Table::Fahrt;
    if (name.compare(u"verbrauch", Qt::CaseInsensitive) == 0)
        return Table::Verbrauch;
    return std::nullopt;
}

const std::vector<const char*>& recordColumns(Table table)
{
    static const std::vector<const char*> fahrt { "datum", "von", "bis", "ziel", "bemerkung", "anfangsstand",
        "endstand", "gesamt", "preisliter", "kosten", "geschaeftl", "privat", "zurarbeit" };
    static const std::vector<const char*> verbrauch { "kennzeichen", "verbrauch", "steuer", "versicherung" };
    return table == Table::Fahrt ? fahrt : verbrauch;
}

Value columnValue(sqlite3_stmt* stmt, int column)
{
    Value value;
    switch (sqlite3_column_type(stmt, column)) {
    case SQLITE_NULL:
        break;
    case SQLITE_INTEGER:
        value.type = Value::Integer;
        value.data = QByteArray::number(sqlite3_column_int64(stmt, column));
        break;
    case SQLITE_FLOAT:
        value.type = Value::Real;
        value.data = QByteArray::number(sqlite3_column_double(stmt, column), 'g', 17);
        break;
    case SQLITE_BLOB: {
        value.type = Value::Blob;
        const auto* bytes = static_cast<const char*>(sqlite3_column_blob(stmt, column));
        value.data = QByteArray(bytes ? bytes : "", sqlite3_column_bytes(stmt, column));
        break;
    }
    default: {
        value.type = Value::Text;
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
        value.data = QByteArray(text ? text : "", sqlite3_column_bytes(stmt, column));
        break;
    }
    }
    return value;
}

namespace {

void appendValue(QByteArray& out, Value::Type type, QByteArrayView data)
{
    out += char(type);
    switch (type) {
    case Value::Null:
        break;
    case Value::Integer:
    case Value::Real:
        out += data;
        break;
    case Value::Text:
        appendEscaped(out, data);
        break;
    case Value::Blob:
        out += data.toByteArray().toHex();
        break;
    }
}

} // namespace

QByteArray encodeRecord(Table table, const Record& record)
{
    const std::vector<const char*>& columns = recordColumns(table);
    QByteArray out;
    out.reserve(256);
    const Value empty;
    for (std::size_t c = 0; c < columns.size(); ++c) {
        if (c > 0)
            out += '\n';
        out += columns[c];
        out += '=';
        const Value& value = c < record.size() ? record[c] : empty;
        appendValue(out, value.type, value.data);
    }
    return out;
}

QByteArray encodeRow(Table table, sqlite3_stmt* stmt, int firstColumn)
{
    const std::vector<const char*>& columns = recordColumns(table);
    QByteArray out;
    out.reserve(256);
    for (std::size_t c = 0; c < columns.size(); ++c) {
        if (c > 0)
            out += '\n';
        out += columns[c];
        out += '=';
        const int column = firstColumn + int(c);
        switch (sqlite3_column_type(stmt, column)) {
        case SQLITE_NULL:
            appendValue(out, Value::Null, {});
            break;
        case SQLITE_INTEGER:
        case SQLITE_FLOAT:
        case SQLITE_BLOB: {
            const Value value = columnValue(stmt, column);
            appendValue(out, value.type, value.data);
            break;
        }
        default: {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
            appendValue(
                out, Value::Text, QByteArrayView(text ? text : "", sqlite3_column_bytes(stmt, column)));
            break;
        }
        }
    }
    return out;
}

std::optional<Record> decodeRecord(Table table, QByteArrayView text)
{
    const std::vector<const char*>& columns = recordColumns(table);
    Record record;
    record.reserve(columns.size());
    qsizetype pos = 0;
    for (std::size_t c = 0; c < columns.size(); ++c) {
        qsizetype end = text.indexOf('\n', pos);
        if (end < 0)
            end = text.size();
        if ((c + 1 == columns.size()) != (end == text.size()))
            return std::nullopt;
        const QByteArrayView line = text.sliced(pos, end - pos);
        pos = end + 1;
        const QByteArrayView name(columns[c]);
        if (!line.startsWith(name) || line.size() < name.size() + 2 || line[name.size()] != '=')
            return std::nullopt;
        const QByteArrayView data = line.sliced(name.size() + 2);
        Value value;
        value.type = Value::Type(line[name.size() + 1]);
        switch (value.type) {
        case Value::Null:
            if (!data.isEmpty())
                return std::nullopt;
            break;
        case Value::Integer:
            if (!isInteger(data))
                return std::nullopt;
            value.data = data.toByteArray();
            break;
        case Value::Real:
            value.data = data.toByteArray();
            break;
        case Value::Text:
            if (std::optional<QByteArray> plain = unescaped(data))
                value.data = std::move(*plain);
            else
                return std::nullopt;
            break;
        case Value::Blob:
            value.data = QByteArray::fromHex(data.toByteArray());
            if (value.data.toHex() != data)
                return std::nullopt;
            break;
        default:
            return std::nullopt;
        }
        record.push_back(std::move(value));
    }
    return record;
}

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
{ }

Writer::~Writer()
{
    sqlite3_finalize(m_insert);
}

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
    sqlite3_finalize(m_insert);
    m_insert = nullptr;
    if (sqlite3_prepare_v2(m_db,
            "insert into historie (nr, zeit, aktion, tabelle, datensatz, vorher, nachher, hash) "
            "values (?, ?, ?, ?, ?, ?, ?, ?)",
            -1, &m_insert, nullptr)
        != SQLITE_OK) {
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

    sqlite3_stmt* insert = m_insert;
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

bool Writer::appendEveryRecord(Action action, QString* error)
{
    for (const Table table : { Table::Verbrauch, Table::Fahrt }) {
        Statement rows;
        if (!rows.prepare(m_db,
                "select id, " + selectColumnsSql(table) + " from " + tableName(table) + " order by id")) {
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
    const auto historyFailed = [&](const QString& detail) {
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
        setError(error, QStringLiteral("Der Datensatz wurde nicht %1: %2.").arg(done, writeProblem(db, rc)));
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
        setError(error,
            QStringLiteral("Der Datensatz wurde nicht %1: %2.").arg(done, writeProblem(db, committed)));
        return false;
    }
    return true;
}

} // namespace odomira::history
