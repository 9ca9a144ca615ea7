#pragma once

#include "common/decimal.h"
#include "store/history.h"

#include <QString>

#include <optional>
#include <vector>

struct sqlite3;

// What the check, the protocol and the spreadsheet export share: a logbook opened for reading
// only, the stored trips, and the German texts of stored values and fields.
namespace odomira::audit {

// A logbook file opened read-only: nothing these tools do can change it.
class ReadOnlyLogbook {
public:
    ReadOnlyLogbook() = default;
    ~ReadOnlyLogbook();
    ReadOnlyLogbook(const ReadOnlyLogbook&) = delete;
    ReadOnlyLogbook& operator=(const ReadOnlyLogbook&) = delete;

    // A missing file, one that is no database or no logbook (without `fahrt` and
    // `verbrauch`) gives a German message.
    bool open(const QString& path, QString* error);
    sqlite3* handle() const { return m_db; }

private:
    sqlite3* m_db = nullptr;
};

// A stored trip or vehicle record with its key.
struct StoredRecord {
    qint64 id = 0;
    history::Record record;
};

// Every row of `table` in key order.
bool readRecords(sqlite3* db, history::Table table, std::vector<StoredRecord>* records, QString* error);

// Trips in date order (ties by start reading, then by key); a date that is no date sorts first.
void sortByDate(std::vector<StoredRecord>& trips);
// That order for two trips given by date key, start reading and key: whether the first comes first.
bool tripPrecedes(int dateA, const std::optional<Decimal>& startA, qint64 idA, int dateB,
    const std::optional<Decimal>& startB, qint64 idB);

// Days of a stored DD.MM.YYYY date (Julian day), -1 when it is no date; orders by the calendar.
int dateKey(const history::Value& value);
// A stored number (machine form, an integer or a real); none for no value or what is no number.
std::optional<Decimal> storedNumber(const history::Value& value);

// Index of a column in recordColumns(table).
int columnIndex(history::Table table, const char* column);

// The label of a column as the window names its field ("Datum", "Ende km", "Kennzeichen").
QString fieldLabel(history::Table table, int column);

// A stored value as a person reads it: a date as stored, a number in German form ("25,9906"),
// a kind "ja" or "nein", a text in quotes with line breaks shown as "↵", no value "(leer)".
QString displayValue(history::Table table, int column, const history::Value& value);

// A record named for a person: "Fahrt vom 05.03.2007 (Kiel)", "Fahrzeug „HH-OM 42“".
QString recordName(history::Table table, const history::Record& record);

// A stored text's plain text (UTF-8), or the digits of a number; empty for no value.
QString plainText(const history::Value& value);

} // namespace odomira::audit
