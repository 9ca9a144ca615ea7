#include "audit/logbook_reading.h"

#include "common/date_text.h"
#include "common/decimal.h"
#include "common/number_text.h"
#include "store/connection.h"
#include "store/statement.h"
#include "store/store_text.h"

#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

#include <algorithm>
#include <cstring>

namespace odomira::audit {

using history::Record;
using history::Table;
using history::Value;
using store::quoted;
using store::setError;
using store::sqliteMessage;

namespace {

enum class Kind { Date, Text, Number, Flag };

struct Column {
    const char* name;
    const char* label;
    Kind kind;
};

const std::vector<Column>& columnsOf(Table table)
{
    static const std::vector<Column> fahrt {
        { "datum", "Datum", Kind::Date },
        { "von", "Von", Kind::Text },
        { "bis", "Bis", Kind::Text },
        { "ziel", "Ziel", Kind::Text },
        { "bemerkung", "Reisegrund", Kind::Text },
        { "anfangsstand", "Start km", Kind::Number },
        { "endstand", "Ende km", Kind::Number },
        { "gesamt", "Summe km", Kind::Number },
        { "preisliter", "€/Liter", Kind::Number },
        { "kosten", "Kosten €", Kind::Number },
        { "geschaeftl", "Geschäftlich", Kind::Flag },
        { "privat", "Privat", Kind::Flag },
        { "zurarbeit", "Weg zur Arbeit", Kind::Flag },
    };
    static const std::vector<Column> verbrauch {
        { "kennzeichen", "Kennzeichen", Kind::Text },
        { "verbrauch", "Verbrauch 100km", Kind::Number },
        { "steuer", "Steuer", Kind::Number },
        { "versicherung", "Versicherung", Kind::Number },
    };
    return table == Table::Fahrt ? fahrt : verbrauch;
}

} // namespace

ReadOnlyLogbook::~ReadOnlyLogbook()
{
    sqlite3_close_v2(m_db);
}

bool ReadOnlyLogbook::open(const QString& path, QString* error)
{
    const QFileInfo info(path);
    const QString shown = quoted(path);
    if (!info.exists()) {
        setError(error, QStringLiteral("Die Datenbankdatei %1 wurde nicht gefunden.").arg(shown));
        return false;
    }
    if (!info.isFile()) {
        setError(error, QStringLiteral("%1 ist keine Datei.").arg(shown));
        return false;
    }
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(info.absoluteFilePath()).constData(), &db,
            SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr)
        != SQLITE_OK) {
        setError(error,
            QStringLiteral("Die Datenbankdatei %1 kann nicht geöffnet werden: %2")
                .arg(shown, sqliteMessage(db)));
        sqlite3_close_v2(db);
        return false;
    }
    sqlite3_busy_timeout(db, 5000);
    Statement tables;
    int found = 0;
    int rc = SQLITE_ERROR;
    if (tables.prepare(db,
            "select count(*) from sqlite_master where type = 'table' and lower(name) in ('fahrt', "
            "'verbrauch')")) {
        rc = sqlite3_step(tables.handle());
        if (rc == SQLITE_ROW)
            found = sqlite3_column_int(tables.handle(), 0);
    }
    if (rc != SQLITE_ROW) {
        const bool notADatabase = (rc & 0xff) == SQLITE_NOTADB || (rc & 0xff) == SQLITE_CORRUPT;
        setError(error,
            notADatabase ? QStringLiteral("Die Datei %1 ist keine Datenbank.").arg(shown)
                         : QStringLiteral("Die Datenbankdatei %1 kann nicht gelesen werden: %2")
                               .arg(shown, sqliteMessage(db)));
        sqlite3_close_v2(db);
        return false;
    }
    if (found != 2) {
        setError(error,
            QStringLiteral(
                "Die Datenbank %1 ist kein Fahrtenbuch: die Tabellen „fahrt“ und „verbrauch“ fehlen.")
                .arg(shown));
        sqlite3_close_v2(db);
        return false;
    }
    registerStoreExtensions(db);
    sqlite3_close_v2(m_db);
    m_db = db;
    return true;
}

bool readRecords(sqlite3* db, Table table, std::vector<StoredRecord>* records, QString* error)
{
    const std::size_t columns = history::recordColumns(table).size();
    const QByteArray sql = history::recordsByIdSql(table);
    Statement query;
    if (!query.prepare(db, sql)) {
        setError(error,
            QStringLiteral("Die Tabelle %1 kann nicht gelesen werden: %2")
                .arg(quoted(QString::fromLatin1(history::tableName(table))), sqliteMessage(db)));
        return false;
    }
    int rc;
    while ((rc = sqlite3_step(query.handle())) == SQLITE_ROW) {
        StoredRecord row;
        row.id = sqlite3_column_int64(query.handle(), 0);
        row.record.reserve(columns);
        for (int c = 0; c < int(columns); ++c)
            row.record.push_back(history::columnValue(query.handle(), c + 1));
        records->push_back(std::move(row));
    }
    if (rc != SQLITE_DONE) {
        setError(error,
            QStringLiteral("Die Tabelle %1 kann nicht gelesen werden: %2")
                .arg(quoted(QString::fromLatin1(history::tableName(table))), sqliteMessage(db)));
        return false;
    }
    return true;
}

bool tripPrecedes(int dateA, const std::optional<Decimal>& startA, qint64 idA, int dateB,
    const std::optional<Decimal>& startB, qint64 idB)
{
    if (dateA != dateB)
        return dateA < dateB;
    if (startA.has_value() != startB.has_value())
        return !startA.has_value();
    if (startA && startB) {
        if (const int order = startA->compare(*startB); order != 0)
            return order < 0;
    }
    return idA < idB;
}

void sortByDate(std::vector<StoredRecord>& trips)
{
    struct Key {
        int date;
        std::optional<Decimal> start;
        qint64 id;
        std::size_t index;
    };
    const int datum = columnIndex(Table::Fahrt, "datum");
    const int start = columnIndex(Table::Fahrt, "anfangsstand");
    std::vector<Key> keys;
    keys.reserve(trips.size());
    for (std::size_t i = 0; i < trips.size(); ++i) {
        const Record& record = trips[i].record;
        keys.push_back({ dateKey(record[std::size_t(datum)]), storedNumber(record[std::size_t(start)]),
            trips[i].id, i });
    }
    std::sort(keys.begin(), keys.end(), [](const Key& a, const Key& b) {
        return tripPrecedes(a.date, a.start, a.id, b.date, b.start, b.id);
    });
    std::vector<StoredRecord> sorted;
    sorted.reserve(trips.size());
    for (const Key& key : keys)
        sorted.push_back(std::move(trips[key.index]));
    trips = std::move(sorted);
}

int dateKey(const Value& value)
{
    if (value.type != Value::Text)
        return -1;
    const std::optional<QDate> date = parseDate(QString::fromUtf8(value.data));
    return date ? int(date->toJulianDay()) : -1;
}

std::optional<Decimal> storedNumber(const Value& value)
{
    if (value.type == Value::Null || value.type == Value::Blob)
        return std::nullopt;
    return Decimal::fromCanonical(std::string_view(value.data.constData(), std::size_t(value.data.size())));
}

int columnIndex(Table table, const char* column)
{
    const std::vector<const char*>& names = history::recordColumns(table);
    for (std::size_t c = 0; c < names.size(); ++c) {
        if (std::strcmp(names[c], column) == 0)
            return int(c);
    }
    return -1;
}

QString fieldLabel(Table table, int column)
{
    return QString::fromUtf8(columnsOf(table)[std::size_t(column)].label);
}

QString plainText(const Value& value)
{
    return value.type == Value::Null ? QString() : QString::fromUtf8(value.data);
}

QString displayValue(Table table, int column, const Value& value)
{
    if (value.type == Value::Null || (value.type == Value::Text && value.data.isEmpty()))
        return QStringLiteral("(leer)");
    if (value.type == Value::Blob)
        return QStringLiteral("(Binärdaten %1)").arg(QString::fromLatin1(value.data.toHex()));
    switch (columnsOf(table)[std::size_t(column)].kind) {
    case Kind::Date:
        if (dateKey(value) >= 0)
            return plainText(value);
        break;
    case Kind::Number:
        if (const std::optional<Decimal> n = storedNumber(value))
            return numberText(n->normalized());
        break;
    case Kind::Flag:
        if (value.type == Value::Integer)
            return value.data == "0" ? QStringLiteral("nein") : QStringLiteral("ja");
        break;
    case Kind::Text:
        break;
    }
    QString text = plainText(value);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("↵"));
    text.replace(u'\n', u'↵');
    text.replace(u'\r', u'↵');
    return QStringLiteral("„") + text + QStringLiteral("“");
}

QString recordName(Table table, const Record& record)
{
    if (table == Table::Verbrauch) {
        const QString plate = record.empty() ? QString() : plainText(record[0]);
        return plate.isEmpty() ? QStringLiteral("Fahrzeug")
                               : QStringLiteral("Fahrzeug %1").arg(quoted(plate));
    }
    const Value& datum = record[std::size_t(columnIndex(table, "datum"))];
    const QString ziel = plainText(record[std::size_t(columnIndex(table, "ziel"))]).simplified();
    QString name = dateKey(datum) >= 0 ? QStringLiteral("Fahrt vom %1").arg(plainText(datum))
                                       : QStringLiteral("Fahrt ohne gültiges Datum");
    if (!ziel.isEmpty())
        name += QStringLiteral(" (%1)").arg(ziel);
    return name;
}

} // namespace odomira::audit
