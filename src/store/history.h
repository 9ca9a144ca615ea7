#pragma once

#include "store/statement.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <functional>
#include <optional>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

// The change history a logbook keeps in its own file: one entry per change Odomira makes to
// a trip or to the vehicle record, each written in the same transaction as the change, with
// the complete stored values before and after it. Each entry's SHA-256 covers the previous
// entry's hash and the entry's canonical text, so the entries form a chain that shows any
// later change, removal or insertion of an entry.
namespace odomira::history {

// The table, and triggers that refuse to change or delete its rows. A tool that drops the
// triggers first can still do so; the chain shows it.
inline constexpr const char* SchemaSql = R"sql(
CREATE TABLE historie (
    nr        INTEGER PRIMARY KEY,
    zeit      TEXT NOT NULL,
    aktion    TEXT NOT NULL,
    tabelle   TEXT NOT NULL,
    datensatz INTEGER NOT NULL,
    vorher    TEXT,
    nachher   TEXT,
    hash      TEXT NOT NULL
);
CREATE TRIGGER historie_nicht_aendern BEFORE UPDATE ON historie
BEGIN SELECT RAISE(ABORT, 'Die Änderungshistorie kann nicht geändert werden.'); END;
CREATE TRIGGER historie_nicht_loeschen BEFORE DELETE ON historie
BEGIN SELECT RAISE(ABORT, 'Einträge der Änderungshistorie können nicht gelöscht werden.'); END;
)sql";

// What an entry records. Bestand: a record as it stood when the history was added to an
// older file. The words are stored in the file and hashed.
enum class Action { Bestand, Neu, Geaendert, Geloescht };
QByteArray actionWord(Action action); // "Bestand", "Neu", "Geändert", "Gelöscht"
std::optional<Action> actionFromWord(QByteArrayView word);

// The two tables whose records the history follows.
enum class Table { Fahrt, Verbrauch };
QByteArray tableName(Table table); // "fahrt", "verbrauch"
std::optional<Table> tableFromName(QStringView name);
// The columns an entry keeps of a table, in their fixed order (the key `id` is the entry's
// `datensatz`).
const std::vector<const char*>& recordColumns(Table table);
// Every row of `table` in key order: its id, then the columns of recordColumns().
QByteArray recordsByIdSql(Table table);

// One stored value as SQLite holds it.
struct Value {
    enum Type : char { Null = 'N', Integer = 'I', Real = 'R', Text = 'T', Blob = 'B' };
    Type type = Null;
    QByteArray data; // Integer: decimal digits; Real: shortest exact "%.17g"; Text: UTF-8; Blob: bytes
    bool operator==(const Value&) const = default;
};
// A record's values in the order of recordColumns().
using Record = std::vector<Value>;

// The value in column `column` of the row a statement stands on.
Value columnValue(sqlite3_stmt* stmt, int column);

// The record text, stored in `vorher` and `nachher` and hashed with the entry. Stored files
// rely on it, so it never changes: one line per column in the order of recordColumns(),
// lines separated by LF (none after the last), each "name=" followed by a type letter and
// the value:
//   N          no value (NULL)
//   I<digits>  an integer, with "-" when negative
//   R<text>    a real, as printf "%.17g" writes it
//   T<text>    a text in UTF-8, with "\" written "\\", LF "\n" and CR "\r"
//   B<hex>     a blob in lower-case hex digits
QByteArray encodeRecord(Table table, const Record& record);
// The record text of the row a statement stands on, its columns those of recordColumns() from
// `firstColumn` on: the same text as encodeRecord() of that row, without the copies.
QByteArray encodeRow(Table table, sqlite3_stmt* stmt, int firstColumn);
// Reads a record text back; empty when it is not one of `table`.
std::optional<Record> decodeRecord(Table table, QByteArrayView text);

// One entry as stored.
struct Entry {
    qint64 nr = 0;
    QByteArray zeit; // UTC, ISO 8601: 2007-03-05T14:30:00Z
    QByteArray aktion;
    QByteArray tabelle;
    qint64 datensatz = 0;
    std::optional<QByteArray> vorher; // record text; none for a new record
    std::optional<QByteArray> nachher; // record text; none for a deleted one
    QByteArray hash; // 64 lower-case hex digits
};

// The hash before the first entry.
QByteArray firstPreviousHash();

// The canonical text of an entry, which its hash covers. Stored files rely on it, so it
// never changes (a new form would get a new first line). Nine fields, each written as its
// length in bytes (decimal digits), ":", the bytes and LF; a missing record text is
// written "-" and LF instead:
//   1 "odomira-historie-1"
//   2 the previous entry's hash (firstPreviousHash() before the first entry)
//   3 nr, 4 zeit, 5 aktion, 6 tabelle, 7 datensatz (numbers in decimal digits)
//   8 vorher, 9 nachher (record texts)
QByteArray canonicalText(const Entry& entry, QByteArrayView previousHash);
// Lower-case hex SHA-256 of the canonical text.
QByteArray entryHash(const Entry& entry, QByteArrayView previousHash);

// Whether the file has the history table; false with `error` set when that cannot be read.
bool hasHistory(sqlite3* db, bool* has, QString* error);

// The complete stored record of `table` with key `id`, or none when there is no such row
// (`error` then stays empty). False in `ok` with `error` set when it cannot be read.
std::optional<Record> readRecord(sqlite3* db, Table table, qint64 id, bool* ok, QString* error);

// Appends entries to the history of an open transaction, continuing its chain.
class Writer {
public:
    explicit Writer(sqlite3* db);
    ~Writer();
    Writer(const Writer&) = delete;
    Writer& operator=(const Writer&) = delete;

    // Reads the end of the chain and takes the time every entry of this writer gets.
    bool start(QString* error);
    // One entry; `before` and `after` as the action needs them (none for what is not there).
    bool append(
        Action action, Table table, qint64 id, const Record* before, const Record* after, QString* error);
    // An entry for every row of both tables as it stands (Bestand when an older file gets
    // its history, Neu for a logbook just created): the vehicle record first, trips by key.
    bool appendEveryRecord(Action action, QString* error);

private:
    sqlite3* m_db;
    Statement m_insert;
    qint64 m_lastNr = 0;
    QByteArray m_lastHash;
    QByteArray m_time;
};

// Creates the history table and its triggers in a new file, inside the caller's transaction.
bool createHistory(sqlite3* db, QString* error);

// Gives an older file without history its history, in one transaction of its own: the table
// and one Bestand entry per trip and for the vehicle record. True when the file has one
// afterwards (`added` says whether this call made it); false when it could not be written,
// with a German sentence in `reason` saying why (another program holds it, it is read-only).
bool ensureHistory(sqlite3* db, bool* added, QString* reason);

// Start-up of the window: opens the logbook file, and adds the history when it has none,
// before anything else reads it. Returns what the user must be told when a file without
// history could not get one; empty when all is well or when the file cannot be opened at all
// (opening it again reports that as before).
QString prepareLogbook(const QString& path);

// Runs `write`, which changes the record with key `*key` of `table` (or adds one and sets
// `*key`), and appends its history entry, in one transaction. Either both are written or
// neither; a history entry that cannot be written gives a message saying nothing was
// saved (or deleted). A table the history does not follow, or a file without history,
// runs `write` alone. A change that leaves every value as it was adds no entry.
bool recordChange(sqlite3* db, QStringView table, Action action, qint64* key,
    const std::function<bool(QString*)>& write, QString* error);

} // namespace odomira::history
