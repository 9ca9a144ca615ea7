#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

namespace odomira {

// The logbook file: two tables, `fahrt` (one row per trip) and `verbrauch` (the one
// vehicle row). Each carries an `id INTEGER PRIMARY KEY` by which a data source finds
// the row of its current record; it is never shown.
//
// Dates are stored as their text DD.MM.YYYY under the collation "caldate", which
// orders by year, month, day. Exact decimals are stored as text in machine form
// ("1234.5") so no value passes through floating point; the store's own sum()
// adds them exactly. The kind flags hold -1 (yes) and 0 (no). The trips are indexed by
// date, so the date-ordered list needs no sort and a changed trip finds its place quickly.
inline constexpr const char* SchemaSql = R"sql(
CREATE TABLE fahrt (
    id           INTEGER PRIMARY KEY,
    datum        TEXT COLLATE caldate,
    von          TEXT COLLATE unicase,
    bis          TEXT COLLATE unicase,
    ziel         TEXT COLLATE unicase,
    bemerkung    TEXT COLLATE unicase,
    anfangsstand TEXT,
    endstand     TEXT,
    gesamt       TEXT,
    preisliter   TEXT,
    kosten       TEXT,
    geschaeftl   INTEGER DEFAULT 0,
    privat       INTEGER DEFAULT 0,
    zurarbeit    INTEGER DEFAULT 0
);
CREATE TABLE verbrauch (
    id           INTEGER PRIMARY KEY,
    kennzeichen  TEXT COLLATE unicase,
    verbrauch    TEXT,
    steuer       TEXT,
    versicherung TEXT
);
CREATE INDEX fahrt_datum ON fahrt (datum);
)sql";

// The index that keeps the trips in date order without sorting them: a new logbook gets it
// with its tables, and opening a logbook made without it adds it.
inline constexpr const char* DateIndexSql = "CREATE INDEX IF NOT EXISTS fahrt_datum ON fahrt (datum)";

inline constexpr const char* LogbookFileName = "odomira.mdb";

// What a column holds, which decides its text form and what a pending value must be.
enum class ColumnKind { Key, Text, Date, Number, Flag };

// Kind of a column of `fahrt` or `verbrauch` by name, without regard to case.
// Columns the schema does not know (sum aliases, foreign columns) are Text; the store's
// sum() already yields German number text, which a data source shows as it stands.
ColumnKind columnKind(QStringView table, QStringView column);

// The columns of `fahrt` or `verbrauch` the program reads and writes, in lower case; none
// for another table.
QStringList expectedColumns(QStringView table);

} // namespace odomira
