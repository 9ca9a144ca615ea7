#include "audit/logbook_check.h"

#include "audit/logbook_reading.h"
#include "common/decimal.h"
#include "common/number_text.h"
#include "store/history.h"
#include "store/statement.h"
#include "store/store_text.h"

#include <QHash>

#include <sqlite3.h>

namespace odomira::audit {

using history::Record;
using history::Table;
using history::Value;
using store::quoted;
using store::sqliteMessage;

namespace {

// What the history says each record of one table holds now, as record text by key.
using RecordState = QHash<qint64, QByteArray>;

struct Replay {
    RecordState fahrt;
    RecordState verbrauch;
    RecordState& of(Table table) { return table == Table::Fahrt ? fahrt : verbrauch; }
};

QString kmText(const Decimal& value)
{
    return numberText(value.normalized()) + QStringLiteral(" km");
}

// "„Ziel“ ist „Lübeck“, laut Änderungshistorie „Kiel“" for each field where the two differ.
QStringList fieldDifferences(Table table, const Record& stored, const Record& logged)
{
    QStringList differences;
    for (std::size_t c = 0; c < stored.size() && c < logged.size(); ++c) {
        if (stored[c] == logged[c])
            continue;
        QString storedText = displayValue(table, int(c), stored[c]);
        QString loggedText = displayValue(table, int(c), logged[c]);
        if (storedText == loggedText) {
            storedText += QStringLiteral(" (anders gespeichert)");
        }
        differences.append(QStringLiteral("%1 ist %2, laut Änderungshistorie %3")
                               .arg(quoted(fieldLabel(table, int(c))), storedText, loggedText));
    }
    return differences;
}

std::optional<Record> decoded(Table table, const QByteArray& text)
{
    return history::decodeRecord(table, text);
}

// A stored row as the check needs it: its record text, and for a trip the values the odometer
// check reads; the whole record is decoded only to name it in a finding.
struct CheckedRow {
    qint64 id = 0;
    QByteArray text;
    Value datum;
    Value start;
    Value end;
};

bool readRows(sqlite3* db, Table table, std::vector<CheckedRow>* rows, QString* error)
{
    const QByteArray sql = history::recordsByIdSql(table);
    Statement query;
    int rc = SQLITE_ERROR;
    if (query.prepare(db, sql)) {
        const int datum = columnIndex(table, "datum") + 1;
        const int start = columnIndex(table, "anfangsstand") + 1;
        const int end = columnIndex(table, "endstand") + 1;
        while ((rc = sqlite3_step(query.handle())) == SQLITE_ROW) {
            CheckedRow row;
            row.id = sqlite3_column_int64(query.handle(), 0);
            row.text = history::encodeRow(table, query.handle(), 1);
            if (table == Table::Fahrt) {
                row.datum = history::columnValue(query.handle(), datum);
                row.start = history::columnValue(query.handle(), start);
                row.end = history::columnValue(query.handle(), end);
            }
            rows->push_back(std::move(row));
        }
    }
    if (rc != SQLITE_DONE) {
        *error = QStringLiteral("Die Tabelle %1 kann nicht gelesen werden: %2")
                     .arg(quoted(QString::fromLatin1(history::tableName(table))), sqliteMessage(db));
        return false;
    }
    return true;
}

// A record named by its record text; a text that is no record still names its table.
QString nameOf(Table table, const QByteArray& text)
{
    if (const std::optional<Record> record = decoded(table, text))
        return recordName(table, *record);
    return table == Table::Fahrt ? QStringLiteral("Eine Fahrt") : QStringLiteral("Das Fahrzeug");
}

bool isEmptyValue(const Value& value)
{
    return value.type == Value::Null || (value.type == Value::Text && value.data.isEmpty());
}

class Checker {
public:
    Checker(sqlite3* db, CheckResult* result)
        : m_db(db)
        , m_result(result)
    {
    }

    bool checkHistory(QString* error);
    void compareTable(Table table, const std::vector<CheckedRow>& rows);
    void checkOdometer(std::vector<CheckedRow> trips);

private:
    void add(const QString& finding) { m_result->findings.append(finding); }
    void replayEntry(const history::Entry& entry);
    // "„Ziel“ ist „Lübeck“, laut Änderungshistorie „Kiel“" per differing field, after `prefix`.
    void addDifferences(
        Table table, const QByteArray& stored, const QByteArray& logged, const QString& prefix);

    sqlite3* m_db;
    CheckResult* m_result;
    Replay m_replay;
};

bool Checker::checkHistory(QString* error)
{
    bool has = false;
    if (!history::hasHistory(m_db, &has, error))
        return false;
    if (!has) {
        add(QStringLiteral("Das Fahrtenbuch hat keine Änderungshistorie: Änderungen an Fahrten lassen sich "
                           "nicht nachweisen."));
        return true;
    }
    Statement query;
    const char* const entries
        = "select nr, zeit, aktion, tabelle, datensatz, vorher, nachher, hash from historie order by nr";
    if (!query.prepare(m_db, entries)) {
        *error
            = QStringLiteral("Die Änderungshistorie kann nicht gelesen werden: %1").arg(sqliteMessage(m_db));
        return false;
    }
    sqlite3_stmt* stmt = query.handle();
    const auto bytes = [stmt](int column) -> std::optional<QByteArray> {
        if (sqlite3_column_type(stmt, column) == SQLITE_NULL)
            return std::nullopt;
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
        return QByteArray(text ? text : "", sqlite3_column_bytes(stmt, column));
    };
    QByteArray previousHash = history::firstPreviousHash();
    qint64 expected = 1;
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        history::Entry entry;
        entry.nr = sqlite3_column_int64(stmt, 0);
        entry.zeit = bytes(1).value_or(QByteArray());
        entry.aktion = bytes(2).value_or(QByteArray());
        entry.tabelle = bytes(3).value_or(QByteArray());
        entry.datensatz = sqlite3_column_int64(stmt, 4);
        entry.vorher = bytes(5);
        entry.nachher = bytes(6);
        entry.hash = bytes(7).value_or(QByteArray());
        ++m_result->entries;

        // After a missing entry the link to the one before cannot be checked; the gap is the finding.
        const bool linked = entry.nr == expected;
        if (entry.nr > expected) {
            add(entry.nr == expected + 1
                    ? QStringLiteral("Änderungshistorie: Eintrag Nr. %1 fehlt.").arg(expected)
                    : QStringLiteral("Änderungshistorie: die Einträge Nr. %1 bis %2 fehlen.")
                          .arg(expected)
                          .arg(entry.nr - 1));
        }
        if (linked && history::entryHash(entry, previousHash) != entry.hash) {
            add(QStringLiteral(
                "Änderungshistorie: Eintrag Nr. %1 passt nicht zu seiner Prüfsumme; er oder der "
                "Eintrag vor ihm wurde nachträglich verändert.")
                    .arg(entry.nr));
        }
        previousHash = entry.hash;
        expected = entry.nr + 1;
        replayEntry(entry);
    }
    if (rc != SQLITE_DONE) {
        *error
            = QStringLiteral("Die Änderungshistorie kann nicht gelesen werden: %1").arg(sqliteMessage(m_db));
        return false;
    }
    return true;
}

void Checker::replayEntry(const history::Entry& entry)
{
    const std::optional<history::Action> action = history::actionFromWord(entry.aktion);
    const std::optional<Table> table = entry.tabelle == "fahrt" ? std::optional(Table::Fahrt)
        : entry.tabelle == "verbrauch"                          ? std::optional(Table::Verbrauch)
                                                                : std::nullopt;
    const bool needsBefore = action == history::Action::Geaendert || action == history::Action::Geloescht;
    const bool needsAfter = action && action != history::Action::Geloescht;
    // The record texts themselves are decoded only where a difference is to be named.
    if (!action || !table || entry.vorher.has_value() != needsBefore
        || entry.nachher.has_value() != needsAfter) {
        add(QStringLiteral("Änderungshistorie: Eintrag Nr. %1 ist nicht lesbar.").arg(entry.nr));
        return;
    }
    RecordState& state = m_replay.of(*table);
    if (needsBefore) {
        // The values the change started from must be the ones the history last recorded.
        const auto known = state.constFind(entry.datensatz);
        if (known != state.constEnd() && *known != *entry.vorher) {
            addDifferences(*table, *entry.vorher, *known,
                QStringLiteral("%1: vor Eintrag Nr. %2 außerhalb von Odomira geändert: ")
                    .arg(nameOf(*table, *known))
                    .arg(entry.nr));
        }
    }
    if (entry.nachher)
        state.insert(entry.datensatz, *entry.nachher);
    else
        state.remove(entry.datensatz);
}

void Checker::addDifferences(
    Table table, const QByteArray& stored, const QByteArray& logged, const QString& prefix)
{
    const std::optional<Record> storedRecord = decoded(table, stored);
    const std::optional<Record> loggedRecord = decoded(table, logged);
    if (!storedRecord || !loggedRecord) {
        add(prefix + QStringLiteral("die Werte in der Änderungshistorie sind nicht lesbar."));
        return;
    }
    for (const QString& difference : fieldDifferences(table, *storedRecord, *loggedRecord))
        add(prefix + difference + u'.');
}

void Checker::compareTable(Table table, const std::vector<CheckedRow>& rows)
{
    // Taken: the replayed state is not needed after this.
    RecordState remaining = std::move(m_replay.of(table));
    for (const CheckedRow& row : rows) {
        const auto logged = remaining.constFind(row.id);
        if (logged == remaining.constEnd()) {
            add(QStringLiteral("%1 steht nicht in der Änderungshistorie: außerhalb von Odomira angelegt.")
                    .arg(nameOf(table, row.text)));
            continue;
        }
        if (row.text != *logged)
            addDifferences(table, row.text, *logged,
                QStringLiteral("%1: außerhalb von Odomira geändert: ").arg(nameOf(table, *logged)));
        remaining.erase(logged);
    }
    // Reported in key order, as the records were added.
    QList<qint64> missing = remaining.keys();
    std::sort(missing.begin(), missing.end());
    for (const qint64 id : missing) {
        add(QStringLiteral("%1 fehlt, laut Änderungshistorie nie gelöscht: außerhalb von Odomira gelöscht.")
                .arg(nameOf(table, remaining.value(id))));
    }
}

void Checker::checkOdometer(std::vector<CheckedRow> trips)
{
    struct Trip {
        int date;
        std::optional<Decimal> start;
        std::optional<Decimal> end;
        const CheckedRow* row;
    };
    std::vector<Trip> sorted;
    sorted.reserve(trips.size());
    for (const CheckedRow& row : trips)
        sorted.push_back({ dateKey(row.datum), storedNumber(row.start), storedNumber(row.end), &row });
    // Date order, ties by start reading (none first), then by key.
    std::sort(sorted.begin(), sorted.end(), [](const Trip& a, const Trip& b) {
        return tripPrecedes(a.date, a.start, a.row->id, b.date, b.start, b.row->id);
    });

    const int startColumn = columnIndex(Table::Fahrt, "anfangsstand");
    const int endColumn = columnIndex(Table::Fahrt, "endstand");
    const Trip* previous = nullptr;
    for (const Trip& trip : sorted) {
        const auto name = [&trip] { return nameOf(Table::Fahrt, trip.row->text); };
        const Value& startValue = trip.row->start;
        const Value& endValue = trip.row->end;
        if (isEmptyValue(startValue) && isEmptyValue(endValue))
            add(QStringLiteral("%1 hat keine Kilometerstände.").arg(name()));
        else if (isEmptyValue(startValue))
            add(QStringLiteral("%1 hat keinen Anfangsstand (Start km).").arg(name()));
        else if (isEmptyValue(endValue))
            add(QStringLiteral("%1 hat keinen Endstand (Ende km).").arg(name()));
        for (const auto& [value, number, column] : { std::tuple(&startValue, &trip.start, startColumn),
                 std::tuple(&endValue, &trip.end, endColumn) }) {
            if (!isEmptyValue(*value) && !*number)
                add(QStringLiteral("%1: %2 %3 ist keine Zahl.")
                        .arg(name(), fieldLabel(Table::Fahrt, column),
                            displayValue(Table::Fahrt, column, *value)));
        }

        if (trip.start && trip.end && *trip.end < *trip.start) {
            add(QStringLiteral("%1 endet bei %2, unter ihrem Anfangsstand von %3.")
                    .arg(name(), kmText(*trip.end), kmText(*trip.start)));
        }
        if (trip.start && previous) {
            const std::optional<Decimal> difference = trip.start->subtract(*previous->end);
            if (difference && !difference->isZero()) {
                const QString before = nameOf(Table::Fahrt, previous->row->text);
                if (difference->isNegative())
                    add(QStringLiteral("Überschneidung von %1: %2 endet bei %3, %4 beginnt schon bei %5.")
                            .arg(kmText(difference->negated()), before, kmText(*previous->end), name(),
                                kmText(*trip.start)));
                else
                    add(QStringLiteral("Lücke von %1: %2 endet bei %3, %4 beginnt erst bei %5.")
                            .arg(kmText(*difference), before, kmText(*previous->end), name(),
                                kmText(*trip.start)));
            }
        }
        // A trip without an end breaks the sequence; it is a finding of its own.
        previous = trip.end ? &trip : nullptr;
    }
}

} // namespace

bool checkLogbook(sqlite3* db, CheckResult* result, QString* error)
{
    *result = CheckResult();
    std::vector<CheckedRow> trips;
    std::vector<CheckedRow> vehicles;
    if (!readRows(db, Table::Fahrt, &trips, error) || !readRows(db, Table::Verbrauch, &vehicles, error))
        return false;
    result->trips = qsizetype(trips.size());

    Checker checker(db, result);
    bool has = false;
    if (!history::hasHistory(db, &has, error) || !checker.checkHistory(error))
        return false;
    if (has) {
        checker.compareTable(Table::Verbrauch, vehicles);
        checker.compareTable(Table::Fahrt, trips);
    }
    checker.checkOdometer(std::move(trips));
    return true;
}

QString checkSummary(const CheckResult& result)
{
    const QString trips
        = result.trips == 1 ? QStringLiteral("1 Fahrt") : QStringLiteral("%1 Fahrten").arg(result.trips);
    const QString entries = result.entries == 1 ? QStringLiteral("1 Eintrag")
                                                : QStringLiteral("%1 Einträge").arg(result.entries);
    const qsizetype count = result.findings.size();
    const QString findings = count == 0 ? QStringLiteral("keine Befunde")
        : count == 1                    ? QStringLiteral("1 Befund")
                                        : QStringLiteral("%1 Befunde").arg(count);
    return QStringLiteral("Geprüft: %1, %2 der Änderungshistorie; %3.").arg(trips, entries, findings);
}

} // namespace odomira::audit
