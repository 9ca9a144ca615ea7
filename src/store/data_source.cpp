#include "store/data_source.h"

#include "common/date_text.h"
#include "common/decimal.h"
#include "common/number_text.h"
#include "store/schema.h"

#include <sqlite3.h>

#include <algorithm>
#include <charconv>
#include <climits>
#include <cstdint>
#include <numeric>
#include <string_view>

namespace odomira {

namespace {

// Each cell of the copy is a run of UTF-8 bytes in one buffer; its end offset carries the NULL mark.
constexpr std::uint32_t NullBit = 0x80000000u;
constexpr std::uint32_t OffsetMask = 0x7fffffffu;

void setError(QString* error, const QString& message)
{
    if (error)
        *error = message;
}

QString quoted(const QString& name)
{
    return QStringLiteral("„") + name + QStringLiteral("“");
}

QByteArray sqlName(const QString& name)
{
    QByteArray text = name.toUtf8();
    text.replace('"', "\"\"");
    return '"' + text + '"';
}

QString sqliteMessage(sqlite3* db)
{
    return QString::fromUtf8(sqlite3_errmsg(db));
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Machine form "-1234.50" becomes German number text with only the digits needed ("-1234,5").
// Anything else that is a number (an exponent, as SQLite writes a large real) goes the long way;
// a text that is no number at all is shown as it stands.
void appendNumberForm(std::vector<char>& out, const char* p, std::size_t n)
{
    std::size_t i = 0;
    const bool negative = n > 0 && p[0] == '-';
    if (negative)
        i = 1;
    const std::size_t intBegin = i;
    while (i < n && isDigit(p[i]))
        ++i;
    const std::size_t intEnd = i;
    std::size_t fracBegin = n;
    std::size_t fracEnd = n;
    bool plain = intEnd > intBegin;
    if (plain && i < n && p[i] == '.') {
        fracBegin = ++i;
        while (i < n && isDigit(p[i]))
            ++i;
        fracEnd = i;
        plain = fracEnd > fracBegin;
    }
    if (plain && i == n) {
        while (fracEnd > fracBegin && p[fracEnd - 1] == '0')
            --fracEnd;
        const bool zero
            = fracEnd == fracBegin && std::all_of(p + intBegin, p + intEnd, [](char c) { return c == '0'; });
        if (negative && !zero)
            out.push_back('-');
        out.insert(out.end(), p + intBegin, p + intEnd);
        if (fracEnd > fracBegin) {
            out.push_back(',');
            out.insert(out.end(), p + fracBegin, p + fracEnd);
        }
        return;
    }
    if (const std::optional<Decimal> value = Decimal::fromCanonical(std::string_view(p, n))) {
        const QByteArray text = numberText(value->normalized()).toUtf8();
        out.insert(out.end(), text.constData(), text.constData() + text.size());
        return;
    }
    out.insert(out.end(), p, p + n);
}

// A pending value converted to what the column stores.
struct StoredValue
{
    enum Type { Null, Text, Integer } type = Null;
    QByteArray text;
    qint64 integer = 0;
};

bool toStoredValue(
    ColumnKind kind, const QString& column, const QString& text, StoredValue* out, QString* error)
{
    if (text.isEmpty())
        return true; // no value: NULL
    switch (kind) {
    case ColumnKind::Date:
        if (const std::optional<QDate> date = parseDate(text)) {
            out->type = StoredValue::Text;
            out->text = dateText(*date).toUtf8();
            return true;
        }
        setError(error,
            QStringLiteral("Das Feld %1 enthält kein gültiges Datum: %2.").arg(quoted(column), quoted(text)));
        return false;
    case ColumnKind::Number:
        if (const std::optional<Decimal> number = parseNumber(text)) {
            out->type = StoredValue::Text;
            out->text = number->toCanonical().toUtf8();
            return true;
        }
        setError(error,
            QStringLiteral("Das Feld %1 enthält keine gültige Zahl: %2.").arg(quoted(column), quoted(text)));
        return false;
    case ColumnKind::Flag: {
        const QString flag = text.trimmed();
        if (flag == u"-1" || flag == u"0") {
            out->type = StoredValue::Integer;
            out->integer = flag.toLongLong();
            return true;
        }
        setError(error,
            QStringLiteral("Das Feld %1 erwartet -1 (ja) oder 0 (nein), nicht %2.")
                .arg(quoted(column), quoted(text)));
        return false;
    }
    case ColumnKind::Key:
    case ColumnKind::Text:
        break;
    }
    out->type = StoredValue::Text;
    out->text = text.toUtf8();
    return true;
}

void bindStored(sqlite3_stmt* stmt, int index, const StoredValue& value)
{
    switch (value.type) {
    case StoredValue::Null:
        sqlite3_bind_null(stmt, index);
        break;
    case StoredValue::Integer:
        sqlite3_bind_int64(stmt, index, value.integer);
        break;
    case StoredValue::Text:
        sqlite3_bind_text(stmt, index, value.text.constData(), int(value.text.size()), SQLITE_TRANSIENT);
        break;
    }
}

// Finalizes the statement however the function is left.
struct Statement
{
    sqlite3_stmt* stmt = nullptr;
    Statement() = default;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    ~Statement() { sqlite3_finalize(stmt); }
};

} // namespace

// The client-side copy of a result.
struct DataSource::Result
{
    QStringList names;
    std::vector<ColumnKind> kinds;
    std::vector<QString> origins; // column of `table` a result column shows; empty for an expression
    QString table; // the one table the result comes from, empty when none or several
    int keyColumn = -1;
    int columns = 0;

    std::vector<char> bytes;
    std::vector<std::uint32_t> ends; // per stored cell, row after row
    std::vector<std::uint32_t> order; // result row -> stored row; saves and deletes only touch this
    int addedRow = -1; // result row of the record added and not yet saved

    int rowCount() const { return int(order.size()); }
    bool writable() const { return !table.isEmpty() && keyColumn >= 0; }
    std::uint32_t storedRows() const
    {
        return columns ? std::uint32_t(ends.size() / std::size_t(columns)) : 0;
    }

    std::string_view cell(int row, int column, bool* null) const
    {
        const std::size_t index
            = std::size_t(order[std::size_t(row)]) * std::size_t(columns) + std::size_t(column);
        const std::uint32_t end = ends[index];
        const std::uint32_t begin = index == 0 ? 0 : (ends[index - 1] & OffsetMask);
        *null = (end & NullBit) != 0;
        return std::string_view(bytes.data() + begin, (end & OffsetMask) - begin);
    }

    bool key(int row, qint64* key) const
    {
        bool null = false;
        const std::string_view text = cell(row, keyColumn, &null);
        const auto parsed = std::from_chars(text.data(), text.data() + text.size(), *key);
        return !null && parsed.ec == std::errc() && parsed.ptr == text.data() + text.size();
    }

    // INSERT of an added record or UPDATE by key, for the given columns with pending values.
    QByteArray writeSql(const QList<int>& written, bool adding) const
    {
        const QByteArray name = sqlName(table);
        if (adding && written.isEmpty())
            return "insert into " + name + " default values";
        QByteArrayList targets;
        QByteArrayList marks;
        for (int c : written) {
            targets.append(sqlName(origins[std::size_t(c)]) + (adding ? "" : " = ?"));
            marks.append("?");
        }
        if (adding)
            return "insert into " + name + " (" + targets.join(", ") + ") values (" + marks.join(", ") + ")";
        return "update " + name + " set " + targets.join(", ") + " where "
            + sqlName(origins[std::size_t(keyColumn)]) + " = ?";
    }

    // Replaces the row's values by what the table now holds (the new key of an added record
    // included); expression columns keep theirs.
    bool readBack(sqlite3* db, int row, qint64 rowKey, bool byRowid)
    {
        QByteArrayList selected;
        std::vector<int> readColumn(std::size_t(columns), -1);
        for (int c = 0; c < columns; ++c) {
            if (!origins[std::size_t(c)].isEmpty()) {
                readColumn[std::size_t(c)] = int(selected.size());
                selected.append(sqlName(origins[std::size_t(c)]));
            }
        }
        const QByteArray where = byRowid ? QByteArray("rowid") : sqlName(origins[std::size_t(keyColumn)]);
        const QByteArray sql
            = "select " + selected.join(", ") + " from " + sqlName(table) + " where " + where + " = ?";
        Statement read;
        if (sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &read.stmt, nullptr) != SQLITE_OK
            || sqlite3_bind_int64(read.stmt, 1, rowKey) != SQLITE_OK || sqlite3_step(read.stmt) != SQLITE_ROW)
            return false;
        const std::uint32_t stored = storedRows();
        for (int c = 0; c < columns; ++c) {
            const int sc = readColumn[std::size_t(c)];
            if (sc < 0) {
                appendCopy(row, c);
            } else if (!appendCell(read.stmt, sc, kinds[std::size_t(c)])) {
                ends.resize(std::size_t(stored) * std::size_t(columns)); // past 2 GiB of text
                return false;
            }
        }
        order[std::size_t(row)] = stored;
        return true;
    }

    // Appends one cell from column `sc` of a stepped statement in its text form.
    bool appendCell(sqlite3_stmt* stmt, int sc, ColumnKind kind)
    {
        switch (sqlite3_column_type(stmt, sc)) {
        case SQLITE_NULL:
            return endCell(true);
        case SQLITE_INTEGER: {
            char digits[24];
            const auto written
                = std::to_chars(digits, digits + sizeof digits, sqlite3_column_int64(stmt, sc));
            bytes.insert(bytes.end(), digits, written.ptr);
            return endCell(false);
        }
        default:
            break;
        }
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, sc));
        const auto size = std::size_t(sqlite3_column_bytes(stmt, sc));
        if (text) {
            if (kind == ColumnKind::Number || kind == ColumnKind::Flag)
                appendNumberForm(bytes, text, size);
            else
                bytes.insert(bytes.end(), text, text + size);
        }
        return endCell(false);
    }

    void appendCopy(int row, int column)
    {
        bool null = false;
        const std::string_view text = cell(row, column, &null);
        // Copy first: inserting may move the buffer the view points into.
        const std::string copy(text);
        bytes.insert(bytes.end(), copy.begin(), copy.end());
        endCell(null);
    }

    bool endCell(bool null)
    {
        if (bytes.size() > OffsetMask)
            return false;
        ends.push_back(std::uint32_t(bytes.size()) | (null ? NullBit : 0u));
        return true;
    }
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
    const QByteArray sql = m_statement.toUtf8();
    const char* const sqlEnd = sql.constData() + sql.size();
    Statement query;
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &query.stmt, &tail) != SQLITE_OK) {
        setError(
            error, QStringLiteral("Die Abfrage kann nicht ausgeführt werden: %1").arg(sqliteMessage(db)));
        return false;
    }
    if (!query.stmt) {
        setError(error, QStringLiteral("Die Abfrage ist leer."));
        return false;
    }
    // A term typed into a statement must not smuggle in a second one.
    while (tail && tail < sqlEnd) {
        Statement next;
        const char* nextTail = nullptr;
        const int rc = sqlite3_prepare_v2(db, tail, int(sqlEnd - tail), &next.stmt, &nextTail);
        if (rc != SQLITE_OK || next.stmt) {
            setError(error,
                QStringLiteral("Die Abfrage kann nicht ausgeführt werden: sie enthält mehr als eine "
                               "Anweisung."));
            return false;
        }
        tail = nextTail;
    }
    const int columns = sqlite3_column_count(query.stmt);
    if (!sqlite3_stmt_readonly(query.stmt) || columns == 0) {
        setError(error,
            QStringLiteral("Die Abfrage kann nicht ausgeführt werden: sie liest keine Datensätze, "
                           "sondern würde die Datenbank ändern."));
        return false;
    }

    auto result = std::make_unique<Result>();
    result->columns = columns;
    QStringList tables;
    int keyColumns = 0;
    for (int c = 0; c < columns; ++c) {
        result->names.append(QString::fromUtf8(sqlite3_column_name(query.stmt, c)));
        const char* table = sqlite3_column_table_name(query.stmt, c);
        const char* origin = sqlite3_column_origin_name(query.stmt, c);
        if (table && origin) {
            const QString tableName = QString::fromUtf8(table);
            result->origins.push_back(QString::fromUtf8(origin));
            result->kinds.push_back(columnKind(tableName, result->origins.back()));
            if (!tables.contains(tableName, Qt::CaseInsensitive))
                tables.append(tableName);
            if (result->origins.back().compare(u"id", Qt::CaseInsensitive) == 0) {
                result->keyColumn = c;
                ++keyColumns;
            }
        } else {
            // An expression (a sum alias) shows its text as it stands.
            result->origins.emplace_back();
            result->kinds.push_back(ColumnKind::Text);
        }
    }
    if (tables.size() == 1)
        result->table = tables.front();
    if (keyColumns != 1)
        result->keyColumn = -1;

    int rc;
    std::size_t rows = 0;
    while ((rc = sqlite3_step(query.stmt)) == SQLITE_ROW) {
        if (rows >= std::size_t(INT_MAX) / std::size_t(columns)) {
            setError(error, QStringLiteral("Die Abfrage liefert zu viele Datensätze."));
            return false;
        }
        for (int c = 0; c < columns; ++c) {
            if (!result->appendCell(query.stmt, c, result->kinds[std::size_t(c)])) {
                setError(
                    error, QStringLiteral("Die Abfrage liefert zu viele Daten für den Arbeitsspeicher."));
                return false;
            }
        }
        ++rows;
    }
    if (rc != SQLITE_DONE) {
        setError(
            error, QStringLiteral("Die Abfrage kann nicht ausgeführt werden: %1").arg(sqliteMessage(db)));
        return false;
    }
    result->bytes.shrink_to_fit();
    result->ends.shrink_to_fit();
    result->order.resize(rows);
    std::iota(result->order.begin(), result->order.end(), std::uint32_t(0));

    emit resultAboutToReset();
    m_result = std::move(result);
    m_current = rows > 0 ? 0 : -1;
    m_rowBeforeAdd = -1;
    m_pending.assign(std::size_t(columns), std::nullopt);
    emit resultReset();
    emit currentChanged();
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
    if (!m_result->writable()) {
        setError(error, readOnlyMessage());
        return false;
    }
    emit resultAboutToReset();
    // One added record at a time: an earlier one, never saved, goes.
    if (m_result->addedRow >= 0)
        removeResultRow(m_result->addedRow);
    m_rowBeforeAdd = hasCurrent() ? m_current : -1;
    Result& r = *m_result;
    const std::uint32_t stored = r.storedRows();
    for (int c = 0; c < r.columns; ++c)
        r.endCell(true);
    r.order.push_back(stored);
    r.addedRow = r.rowCount() - 1;
    m_current = r.addedRow;
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
    Result& r = *m_result;
    if (!r.writable()) {
        setError(error, readOnlyMessage());
        return false;
    }
    const bool adding = m_current == r.addedRow;

    // Every pending value is checked before anything is written.
    QList<int> columns;
    std::vector<StoredValue> values;
    for (int c = 0; c < r.columns; ++c) {
        const std::optional<QString>& pending = m_pending[std::size_t(c)];
        if (!pending)
            continue;
        if (r.origins[std::size_t(c)].isEmpty()) {
            setError(error,
                QStringLiteral("Das Feld %1 wird berechnet und kann nicht gespeichert werden.")
                    .arg(quoted(r.names[c])));
            return false;
        }
        StoredValue value;
        if (!toStoredValue(r.kinds[std::size_t(c)], r.names[c], *pending, &value, error))
            return false;
        columns.append(c);
        values.push_back(std::move(value));
    }
    if (!adding && columns.isEmpty()) {
        emit currentChanged();
        return true; // nothing to write
    }

    qint64 key = 0;
    if (!adding && !r.key(m_current, &key)) {
        setError(error,
            QStringLiteral("Der Datensatz hat keinen gültigen Schlüssel und kann nicht gespeichert werden."));
        return false;
    }

    sqlite3* db = m_connection.handle();
    {
        const QByteArray sql = r.writeSql(columns, adding);
        Statement write;
        if (sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &write.stmt, nullptr) != SQLITE_OK) {
            setError(
                error, QStringLiteral("Der Datensatz wurde nicht gespeichert: %1").arg(sqliteMessage(db)));
            return false;
        }
        for (std::size_t i = 0; i < values.size(); ++i)
            bindStored(write.stmt, int(i) + 1, values[i]);
        if (!adding)
            sqlite3_bind_int64(write.stmt, int(values.size()) + 1, key);
        if (sqlite3_step(write.stmt) != SQLITE_DONE) {
            setError(
                error, QStringLiteral("Der Datensatz wurde nicht gespeichert: %1").arg(sqliteMessage(db)));
            return false;
        }
        if (!adding && sqlite3_changes(db) == 0) {
            setError(error,
                QStringLiteral("Der Datensatz wurde nicht gespeichert: er ist in der Tabelle %1 nicht "
                               "mehr vorhanden.")
                    .arg(quoted(r.table)));
            return false;
        }
        if (adding)
            key = sqlite3_last_insert_rowid(db);
    }

    // Written: from here on a second save must not insert the record again.
    if (adding)
        r.addedRow = -1;
    clearPending();
    const bool reread = r.readBack(db, m_current, key, adding);
    emit currentChanged();
    if (!reread) {
        setError(error,
            QStringLiteral("Der Datensatz wurde gespeichert, kann aber nicht wieder gelesen werden: %1")
                .arg(sqliteMessage(db)));
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
    Result& r = *m_result;
    if (m_current != r.addedRow) {
        if (!r.writable()) {
            setError(error, readOnlyMessage());
            return false;
        }
        qint64 key = 0;
        if (!r.key(m_current, &key)) {
            setError(error,
                QStringLiteral(
                    "Der Datensatz hat keinen gültigen Schlüssel und kann nicht gelöscht werden."));
            return false;
        }
        sqlite3* db = m_connection.handle();
        const QByteArray sql = "delete from " + sqlName(r.table) + " where "
            + sqlName(r.origins[std::size_t(r.keyColumn)]) + " = ?";
        Statement remove;
        if (sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &remove.stmt, nullptr) != SQLITE_OK
            || sqlite3_bind_int64(remove.stmt, 1, key) != SQLITE_OK
            || sqlite3_step(remove.stmt) != SQLITE_DONE) {
            setError(error, QStringLiteral("Der Datensatz wurde nicht gelöscht: %1").arg(sqliteMessage(db)));
            return false;
        }
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
    return m_result ? m_result->rowCount() : 0;
}

int DataSource::columnCount() const
{
    return m_result ? m_result->columns : 0;
}

QStringList DataSource::columnNames() const
{
    return m_result ? m_result->names : QStringList();
}

int DataSource::columnIndex(const QString& name) const
{
    if (!m_result)
        return -1;
    for (int c = 0; c < m_result->columns; ++c) {
        if (m_result->names[c].compare(name, Qt::CaseInsensitive) == 0)
            return c;
    }
    return -1;
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
    return m_result && m_current >= 0 && m_current < m_result->rowCount();
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
    return m_result && m_result->writable();
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
    if (!m_result || row < 0 || row >= m_result->rowCount() || column < 0 || column >= m_result->columns)
        return QString();
    bool null = false;
    const std::string_view text = m_result->cell(row, column, &null);
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

bool DataSource::isNull(int row, int column) const
{
    if (!m_result || row < 0 || row >= m_result->rowCount() || column < 0 || column >= m_result->columns)
        return true;
    bool null = false;
    m_result->cell(row, column, &null);
    return null;
}

bool DataSource::setField(const QString& column, const QString& text)
{
    if (!hasCurrent())
        return false;
    const int c = columnIndex(column);
    if (c < 0 || m_result->kinds[std::size_t(c)] == ColumnKind::Key)
        return false;
    m_pending[std::size_t(c)] = text;
    return true;
}

qsizetype DataSource::resultBytes() const
{
    if (!m_result)
        return 0;
    const Result& r = *m_result;
    qsizetype bytes = qsizetype(sizeof(Result));
    bytes += qsizetype(r.bytes.capacity());
    bytes += qsizetype(r.ends.capacity() * sizeof(std::uint32_t));
    bytes += qsizetype(r.order.capacity() * sizeof(std::uint32_t));
    bytes += qsizetype(r.kinds.capacity() * sizeof(ColumnKind) + r.origins.capacity() * sizeof(QString));
    for (int c = 0; c < r.columns; ++c)
        bytes += (r.names[c].size() + r.origins[std::size_t(c)].size()) * qsizetype(sizeof(QChar)) + 2 * 32;
    return bytes;
}

QString DataSource::readOnlyMessage() const
{
    if (!m_result || m_result->table.isEmpty())
        return QStringLiteral(
            "Die Datenquelle %1 kann ihr Ergebnis nicht ändern: es stammt nicht aus genau einer "
            "Tabelle.")
            .arg(quoted(m_name));
    return QStringLiteral("Die Datenquelle %1 kann ihr Ergebnis nicht ändern: die Spalte „id“ der Tabelle %2 "
                          "fehlt in der Abfrage.")
        .arg(quoted(m_name), quoted(m_result->table));
}

void DataSource::removeResultRow(int row)
{
    Result& r = *m_result;
    r.order.erase(r.order.begin() + row);
    if (r.addedRow == row)
        r.addedRow = -1;
    else if (r.addedRow > row)
        --r.addedRow;
    if (m_current > row)
        --m_current;
    if (m_rowBeforeAdd > row)
        --m_rowBeforeAdd;
    else if (m_rowBeforeAdd == row)
        m_rowBeforeAdd = std::min(row, r.rowCount() - 1);
}

void DataSource::clearPending()
{
    m_pending.assign(std::size_t(m_result ? m_result->columns : 0), std::nullopt);
}

} // namespace odomira
