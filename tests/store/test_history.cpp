// The change history in the file: its record text and hash chain, the history an older file
// gets, and the data source writing each change with its entry.
#include "store/connection.h"
#include "store/data_source.h"
#include "store/history.h"
#include "support/temp_logbook.h"

#include <QtTest>

#include <sqlite3.h>

using namespace odomira;
using namespace odomira::history;
using namespace odomira::test;

namespace {

Value text(const char* utf8)
{
    return { Value::Text, QByteArray(utf8) };
}

const Record Vehicle = { text("HH-OM 42"), text("7.9"), text("250"), text("1201.45") };
const Record EveryType = { text("Köln \\ 1\n2\r"), Value {}, Value { Value::Integer, "-3" },
    Value { Value::Blob, QByteArray("\x00\xff", 2) } };

// The history entries as "nr aktion tabelle datensatz".
QStringList entries(const TempLogbook& logbook)
{
    QStringList lines;
    for (const QStringList& row :
        logbook.query("select nr, aktion, tabelle, datensatz from historie order by nr"))
        lines << row.join(u' ');
    return lines;
}

} // namespace

Q_DECLARE_METATYPE(odomira::history::Record)

class TestHistory : public QObject {
    Q_OBJECT

private slots:
    void recordText_data();
    void recordText();
    void refusedRecordText_data();
    void refusedRecordText();
    void canonicalHash();
    void olderFileUpgrade();
    void upgradeRefused();
    void changesWithEntries();
};

void TestHistory::recordText_data()
{
    QTest::addColumn<Record>("record");
    QTest::addColumn<QByteArray>("encoded");
    addRow("plain", Vehicle,
        QByteArray("kennzeichen=THH-OM 42\nverbrauch=T7.9\nsteuer=T250\nversicherung=T1201.45"));
    addRow("every type and escape", EveryType,
        QByteArray("kennzeichen=TK\xc3\xb6ln \\\\ 1\\n2\\r\nverbrauch=N\nsteuer=I-3\nversicherung=B00ff"));
    addRow("empty text and real", Record { text(""), Value { Value::Real, "1.5" }, text("="), text("a=b") },
        QByteArray("kennzeichen=T\nverbrauch=R1.5\nsteuer=T=\nversicherung=Ta=b"));
}

void TestHistory::recordText()
{
    QFETCH(Record, record);
    QFETCH(QByteArray, encoded);
    QCOMPARE(encodeRecord(Table::Verbrauch, record), encoded);
    QCOMPARE(decodeRecord(Table::Verbrauch, encoded), std::optional<Record>(record));
}

void TestHistory::refusedRecordText_data()
{
    QTest::addColumn<QByteArray>("encoded");
    const std::pair<const char*, const char*> rows[] = { { "column missing", "TA\nverbrauch=N\nsteuer=N" },
        { "column extra", "TA\nverbrauch=N\nsteuer=N\nversicherung=N\nx=N" },
        { "other name", "TA\nverbrauch=N\nsteuer=N\nversicherun=N" },
        { "unknown type", "XA\nverbrauch=N\nsteuer=N\nversicherung=N" },
        { "bad escape", "TA\\t\nverbrauch=N\nsteuer=N\nversicherung=N" },
        { "value after null", "NA\nverbrauch=N\nsteuer=N\nversicherung=N" },
        { "no integer", "I1x\nverbrauch=N\nsteuer=N\nversicherung=N" } };
    for (const auto& [name, rest] : rows)
        addRow(name, "kennzeichen=" + QByteArray(rest));
}

void TestHistory::refusedRecordText()
{
    QFETCH(QByteArray, encoded);
    QVERIFY(!decodeRecord(Table::Verbrauch, encoded));
}

// The hashes stored files carry, worked out from the documented canonical text by another
// program; a change to the canonical text would make every stored history fail its check.
void TestHistory::canonicalHash()
{
    Entry first { 1, "2007-03-05T14:30:00Z", actionWord(Action::Neu), "verbrauch", 1, std::nullopt,
        encodeRecord(Table::Verbrauch, Vehicle), {} };
    QCOMPARE(entryHash(first, firstPreviousHash()),
        QByteArray("b9c0bb1c78cf9b447cab4c1f36f737b684a373b7dd86310140a33c7a6a3c6923"));
    Entry second { 2, "2007-03-06T08:00:00Z", actionWord(Action::Geaendert), "verbrauch", 1, first.nachher,
        encodeRecord(Table::Verbrauch,
            { text("Köln \\ 1\n2"), Value {}, Value { Value::Integer, "-3" },
                Value { Value::Blob, QByteArray("\x00\xff", 2) } }),
        {} };
    QCOMPARE(entryHash(second, entryHash(first, firstPreviousHash())),
        QByteArray("f1aed9e3a8d7ae8a2597e843f337e190c9b1baa7503981ee35eb4c356f54d948"));
}

void TestHistory::olderFileUpgrade()
{
    TempLogbook logbook;
    QVERIFY(logbook.createWithVehicle(
        {}, tripsWithReadings({ "05.03.2007 Kiel 100 200", "06.03.2007 Stade 200 250" })));
    Connection connection;
    QVERIFY(connection.open(logbook.path(), nullptr));
    bool added = false;
    QString reason;
    QVERIFY2(ensureHistory(connection.handle(), &added, &reason) && added, qPrintable(reason));
    QCOMPARE(
        entries(logbook), QStringList({ "1 Bestand verbrauch 1", "2 Bestand fahrt 1", "3 Bestand fahrt 2" }));
    QCOMPARE(logbook.scalar("select nachher from historie where nr = 3").split(u'\n').mid(0, 2),
        QStringList({ "datum=T06.03.2007", "von=N" }));

    // Once only; and the triggers refuse to change or remove an entry.
    QVERIFY(ensureHistory(connection.handle(), &added, &reason) && !added);
    QString error;
    QVERIFY(!connection.exec("update historie set aktion = 'Neu' where nr = 2", &error));
    QVERIFY2(error.contains("kann nicht geändert werden"), qPrintable(error));
    QVERIFY(!connection.exec("delete from historie where nr = 3", &error));
    QVERIFY2(error.contains("können nicht gelöscht werden"), qPrintable(error));
    QCOMPARE(entries(logbook).size(), 3);
}

// A file that cannot be written now keeps working without history; the reason is told. (A file
// another program holds is the history window's case.)
void TestHistory::upgradeRefused()
{
    TempLogbook logbook;
    QVERIFY(logbook.createWithVehicle({}, tripsWithReadings({ "05.03.2007 Kiel 100 200" })));
    sqlite3* db = nullptr;
    QCOMPARE(sqlite3_open_v2(logbook.path().toUtf8(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    bool added = true;
    QString told;
    const bool ok = ensureHistory(db, &added, &told);
    sqlite3_close_v2(db);
    QVERIFY(!ok && !added);
    QVERIFY2(told.contains("schreibgeschützt"), qPrintable(told));
    QCOMPARE(logbook.scalar("select count(*) from sqlite_master where name = 'historie'"), "0");
}

// Each save and delete of a data source adds its entry; a save that changes nothing adds none.
void TestHistory::changesWithEntries()
{
    TempLogbook logbook;
    QVERIFY(logbook.createWithVehicle({}, tripsWithReadings({ "05.03.2007 Kiel 100 200" }))
        && logbook.addHistory());
    DataSource buch("buch");
    QVERIFY(logbook.load(buch, "select * from fahrt"));
    QString error;
    QVERIFY(buch.addNew() && buch.setField("datum", "7.3.2007") && buch.setField("ziel", "Stade"));
    QVERIFY2(buch.update(&error), qPrintable(error));
    for (int unchanged = 0; unchanged < 2; ++unchanged) {
        QVERIFY(buch.setField("ziel", "Stade-Nord"));
        QVERIFY2(buch.update(&error), qPrintable(error));
    }
    buch.setCurrentRow(0);
    QVERIFY2(buch.deleteCurrent(&error), qPrintable(error));

    QCOMPARE(entries(logbook),
        QStringList({ "1 Bestand verbrauch 1", "2 Bestand fahrt 1", "3 Neu fahrt 2", "4 Geändert fahrt 2",
            "5 Gelöscht fahrt 1" }));
    const QList<QStringList> changed = logbook.query("select vorher, nachher from historie where nr = 4");
    QVERIFY(changed[0][0].contains("\nziel=TStade\n") && changed[0][1].contains("\nziel=TStade-Nord\n"));
    QCOMPARE(logbook.scalar("select nachher from historie where nr = 5"), "<null>");
    QVERIFY(logbook.scalar("select vorher from historie where nr = 5").startsWith("datum=T05.03.2007\n"));
    // Each hash continues the chain from the one before.
    QByteArray previous = firstPreviousHash();
    const auto optional
        = [](const QString& cell) { return cell == "<null>" ? std::nullopt : std::optional(cell.toUtf8()); };
    for (const QStringList& row :
        logbook.query(
            "select nr, zeit, aktion, tabelle, datensatz, vorher, nachher, hash from historie order by nr")) {
        const Entry entry { row[0].toLongLong(), row[1].toUtf8(), row[2].toUtf8(), row[3].toUtf8(),
            row[4].toLongLong(), optional(row[5]), optional(row[6]), row[7].toUtf8() };
        QCOMPARE(entryHash(entry, previous), entry.hash);
        QVERIFY(QDateTime::fromString(row[1], Qt::ISODate).timeSpec() == Qt::UTC);
        previous = entry.hash;
    }
}

QTEST_GUILESS_MAIN(TestHistory)
#include "test_history.moc"
