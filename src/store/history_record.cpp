#include "store/history.h"

#include <sqlite3.h>

// The values of a record and their record text, which entries store and hash.
namespace odomira::history {

namespace {

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

} // namespace odomira::history
