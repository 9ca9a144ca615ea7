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

struct Replay
{
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

class Checker
{
public:
    Checker(sqlite3* db, CheckResult* result)
        : m_db(db)
        , m_result(result)
    { }

    bool checkHistory(QString* error);
    void compareTable(Table table, const std::vector<StoredRecord>& records);
    void checkOdometer(std::vector<StoredRecord> trips);

private:
    void add(const QString& finding) { m_result->findings.append(finding); }
    void replayEntry(const history::Entry& entry);

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
    if (!query.prepare(m_db,
            "select nr, zeit, aktion, tabelle, datensatz, vorher, nachher, hash from historie order by nr")) {
        *error = QStringLiteral("Die Änderungshistorie kann nicht gelesen werden: %1").arg(sqliteMessage(m_db));
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
            add(QStringLiteral("Änderungshistorie: Eintrag Nr. %1 passt nicht zu seiner Prüfsumme; er oder der "
                               "Eintrag vor ihm wurde nachträglich verändert.")
                    .arg(entry.nr));
        }
        previousHash = entry.hash;
        expected = entry.nr + 1;
        replayEntry(entry);
    }
    if (rc != SQLITE_DONE) {
        *error = QStringLiteral("Die Änderungshistorie kann nicht gelesen werden: %1").arg(sqliteMessage(m_db));
        return false;
    }
    return true;
}

void Checker::replayEntry(const history::Entry& entry)
{
    const std::optional<history::Action> action = history::actionFromWord(entry.aktion);
    const std::optional<Table> table = history::tableFromName(QString::fromUtf8(entry.tabelle));
    const bool needsBefore = action == history::Action::Geaendert || action == history::Action::Geloescht;
    const bool needsAfter = action && !needsBefore ? true : action == history::Action::Geaendert;
    const bool readable = action && table && entry.vorher.has_value() == needsBefore
        && entry.nachher.has_value() == needsAfter && (!entry.vorher || decoded(*table, *entry.vorher))
        && (!entry.nachher || decoded(*table, *entry.nachher));
    if (!readable) {
        add(QStringLiteral("Änderungshistorie: Eintrag Nr. %1 ist nicht lesbar.").arg(entry.nr));
        return;
    }
    RecordState& state = m_replay.of(*table);
    if (needsBefore) {
        // The values the change started from must be the ones the history last recorded.
        const auto known = state.constFind(entry.datensatz);
        if (known != state.constEnd() && *known != *entry.vorher) {
            const Record before = *decoded(*table, *entry.vorher);
            const Record logged = *decoded(*table, *known);
            for (const QString& difference : fieldDifferences(*table, before, logged))
                add(QStringLiteral("%1: vor Eintrag Nr. %2 außerhalb von Odomira geändert: %3.")
                        .arg(recordName(*table, logged))
                        .arg(entry.nr)
                        .arg(difference));
        }
    }
    if (entry.nachher)
        state.insert(entry.datensatz, *entry.nachher);
    else
        state.remove(entry.datensatz);
}

void Checker::compareTable(Table table, const std::vector<StoredRecord>& records)
{
    RecordState remaining = m_replay.of(table);
    for (const StoredRecord& row : records) {
        const auto logged = remaining.constFind(row.id);
        if (logged == remaining.constEnd()) {
            add(QStringLiteral("%1 steht nicht in der Änderungshistorie: außerhalb von Odomira angelegt.")
                    .arg(recordName(table, row.record)));
            continue;
        }
        const QByteArray text = history::encodeRecord(table, row.record);
        if (text != *logged) {
            const Record loggedRecord = *decoded(table, *logged);
            for (const QString& difference : fieldDifferences(table, row.record, loggedRecord))
                add(QStringLiteral("%1: außerhalb von Odomira geändert: %2.")
                        .arg(recordName(table, loggedRecord), difference));
        }
        remaining.erase(logged);
    }
    // Reported in key order, as the records were added.
    QList<qint64> missing = remaining.keys();
    std::sort(missing.begin(), missing.end());
    for (const qint64 id : missing) {
        add(QStringLiteral("%1 fehlt, laut Änderungshistorie nie gelöscht: außerhalb von Odomira gelöscht.")
                .arg(recordName(table, *decoded(table, remaining.value(id)))));
    }
}

void Checker::checkOdometer(std::vector<StoredRecord> trips)
{
    sortByDate(trips);
    const int startColumn = columnIndex(Table::Fahrt, "anfangsstand");
    const int endColumn = columnIndex(Table::Fahrt, "endstand");
    struct Previous
    {
        QString name;
        Decimal end;
    };
    std::optional<Previous> previous;
    for (const StoredRecord& trip : trips) {
        const QString name = recordName(Table::Fahrt, trip.record);
        const Value& startValue = trip.record[std::size_t(startColumn)];
        const Value& endValue = trip.record[std::size_t(endColumn)];
        const auto reading = [&](const Value& value, int column) -> std::optional<Decimal> {
            if (value.type == Value::Null || (value.type == Value::Text && value.data.isEmpty()))
                return std::nullopt;
            std::optional<Decimal> number;
            if (value.type != Value::Blob)
                number = Decimal::fromCanonical(std::string_view(value.data.constData(), std::size_t(value.data.size())));
            if (!number)
                add(QStringLiteral("%1: %2 %3 ist keine Zahl.")
                        .arg(name, fieldLabel(Table::Fahrt, column), displayValue(Table::Fahrt, column, value)));
            return number;
        };
        const std::optional<Decimal> start = reading(startValue, startColumn);
        const std::optional<Decimal> end = reading(endValue, endColumn);
        const bool noStart = startValue.type == Value::Null || (startValue.type == Value::Text && startValue.data.isEmpty());
        const bool noEnd = endValue.type == Value::Null || (endValue.type == Value::Text && endValue.data.isEmpty());
        if (noStart && noEnd)
            add(QStringLiteral("%1 hat keine Kilometerstände.").arg(name));
        else if (noStart)
            add(QStringLiteral("%1 hat keinen Anfangsstand (Start km).").arg(name));
        else if (noEnd)
            add(QStringLiteral("%1 hat keinen Endstand (Ende km).").arg(name));

        if (start && end && *end < *start) {
            add(QStringLiteral("%1 endet bei %2, unter ihrem Anfangsstand von %3.")
                    .arg(name, kmText(*end), kmText(*start)));
        }
        if (start && previous) {
            if (const std::optional<Decimal> difference = start->subtract(previous->end); difference && !difference->isZero()) {
                if (difference->isNegative())
                    add(QStringLiteral("Überschneidung von %1: %2 endet bei %3, %4 beginnt schon bei %5.")
                            .arg(kmText(difference->negated()), previous->name, kmText(previous->end), name,
                                kmText(*start)));
                else
                    add(QStringLiteral("Lücke von %1: %2 endet bei %3, %4 beginnt erst bei %5.")
                            .arg(kmText(*difference), previous->name, kmText(previous->end), name, kmText(*start)));
            }
        }
        // A trip without an end breaks the sequence; it is a finding of its own.
        if (end)
            previous = Previous { name, *end };
        else
            previous.reset();
    }
}

} // namespace

bool checkLogbook(sqlite3* db, CheckResult* result, QString* error)
{
    *result = CheckResult();
    std::vector<StoredRecord> trips;
    std::vector<StoredRecord> vehicles;
    if (!readRecords(db, Table::Fahrt, &trips, error) || !readRecords(db, Table::Verbrauch, &vehicles, error))
        return false;
    result->trips = qsizetype(trips.size());

    Checker checker(db, result);
    bool has = false;
    if (!history::hasHistory(db, &has, error))
        return false;
    if (!checker.checkHistory(error))
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
    const QString trips = result.trips == 1 ? QStringLiteral("1 Fahrt") : QStringLiteral("%1 Fahrten").arg(result.trips);
    const QString entries = result.entries == 1 ? QStringLiteral("1 Eintrag")
                                                : QStringLiteral("%1 Einträge").arg(result.entries);
    const qsizetype count = result.findings.size();
    const QString findings = count == 0 ? QStringLiteral("keine Befunde")
        : count == 1                    ? QStringLiteral("1 Befund")
                                        : QStringLiteral("%1 Befunde").arg(count);
    return QStringLiteral("Geprüft: %1, %2 der Änderungshistorie; %3.").arg(trips, entries, findings);
}

} // namespace odomira::audit
