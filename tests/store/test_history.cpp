// The change history in the file: its record text and hash chain, the history an older file
// gets, and the data source writing each change with its entry, or nothing.
#include "store/connection.h"
#include "store/data_source.h"
#include "store/history.h"
#include "support/temp_logbook.h"

#include <QtTest>

#include <sqlite3.h>

using namespace odomira;
using namespace odomira::history;
using odomira::test::TempLogbook;
using odomira::test::TripRow;

namespace {

Value text(const char* utf8)
{
    return { Value::Text, QByteArray(utf8) };
}

Record vehicle(const char* plate)
{
    return { text(plate), text("7.9"), text("250"), text("1201.45") };
}

TripRow trip(const char* datum, const char* ziel, const char* start, const char* ende)
{
    return {
        .datum = datum, .von = "Hamburg", .bis = "Kiel", .ziel = ziel, .anfangsstand = start, .endstand = ende
    };
}

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
    void upgradeRefused_data();
    void upgradeRefused();
    void changesWithEntries();
    void failedEntryWritesNothing_data();
    void failedEntryWritesNothing();
};

void TestHistory::recordText_data()
{
    QTest::addColumn<Record>("record");
    QTest::addColumn<QByteArray>("encoded");

    QTest::newRow("plain")
        << vehicle("HH-OM 42")
        << QByteArray("kennzeichen=THH-OM 42\nverbrauch=T7.9\nsteuer=T250\nversicherung=T1201.45");
    QTest::newRow("every type and escape")
        << Record { text("Köln \\ 1\n2\r"), Value {}, Value { Value::Integer, "-3" },
               Value { Value::Blob, QByteArray("\x00\xff", 2) } }
        << QByteArray("kennzeichen=TK\xc3\xb6ln \\\\ 1\\n2\\r\nverbrauch=N\nsteuer=I-3\nversicherung=B00ff");
    QTest::newRow("empty text and real") << Record { text(""), Value { Value::Real, "1.5" }, text("="),
        text("a=b") } << QByteArray("kennzeichen=T\nverbrauch=R1.5\nsteuer=T=\nversicherung=Ta=b");
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
    QTest::newRow("column missing") << QByteArray("kennzeichen=TA\nverbrauch=N\nsteuer=N");
    QTest::newRow("column extra") << QByteArray("kennzeichen=TA\nverbrauch=N\nsteuer=N\nversicherung=N\nx=N");
    QTest::newRow("other name") << QByteArray("kennzeichen=TA\nverbrauch=N\nsteuer=N\nversicherun=N");
    QTest::newRow("unknown type") << QByteArray("kennzeichen=XA\nverbrauch=N\nsteuer=N\nversicherung=N");
    QTest::newRow("bad escape") << QByteArray("kennzeichen=TA\\t\nverbrauch=N\nsteuer=N\nversicherung=N");
    QTest::newRow("value after null") << QByteArray("kennzeichen=NA\nverbrauch=N\nsteuer=N\nversicherung=N");
    QTest::newRow("no integer") << QByteArray("kennzeichen=I1x\nverbrauch=N\nsteuer=N\nversicherung=N");
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
    Entry first;
    first.nr = 1;
    first.zeit = "2007-03-05T14:30:00Z";
    first.aktion = actionWord(Action::Neu);
    first.tabelle = "verbrauch";
    first.datensatz = 1;
    first.nachher = encodeRecord(Table::Verbrauch, vehicle("HH-OM 42"));
    QCOMPARE(entryHash(first, firstPreviousHash()),
        QByteArray("b9c0bb1c78cf9b447cab4c1f36f737b684a373b7dd86310140a33c7a6a3c6923"));

    Entry second = first;
    second.nr = 2;
    second.zeit = "2007-03-06T08:00:00Z";
    second.aktion = actionWord(Action::Geaendert);
    second.vorher = first.nachher;
    second.nachher = encodeRecord(Table::Verbrauch,
        { text("Köln \\ 1\n2"), Value {}, Value { Value::Integer, "-3" },
            Value { Value::Blob, QByteArray("\x00\xff", 2) } });
    QCOMPARE(entryHash(second, entryHash(first, firstPreviousHash())),
        QByteArray("f1aed9e3a8d7ae8a2597e843f337e190c9b1baa7503981ee35eb4c356f54d948"));
}

void TestHistory::olderFileUpgrade()
{
    TempLogbook logbook;
    QVERIFY(logbook.createWithVehicle(
        {}, { trip("05.03.2007", "Kiel", "100", "200"), trip("06.03.2007", "Stade", "200", "250") }));
    Connection connection;
    QVERIFY(connection.open(logbook.path(), nullptr));
    bool added = false;
    QString reason;
    QVERIFY2(ensureHistory(connection.handle(), &added, &reason), qPrintable(reason));
    QVERIFY(added);
    QCOMPARE(
        entries(logbook), QStringList({ "1 Bestand verbrauch 1", "2 Bestand fahrt 1", "3 Bestand fahrt 2" }));
    QCOMPARE(logbook.scalar("select nachher from historie where nr = 3").split(u'\n').mid(0, 2),
        QStringList({ "datum=T06.03.2007", "von=THamburg" }));

    // Once only; and the triggers refuse to change or remove an entry.
    QVERIFY(ensureHistory(connection.handle(), &added, &reason));
    QVERIFY(!added);
    QCOMPARE(entries(logbook).size(), 3);
    QString error;
    QVERIFY(!connection.exec("update historie set aktion = 'Neu' where nr = 2", &error));
    QVERIFY2(error.contains("kann nicht geändert werden"), qPrintable(error));
    QVERIFY(!connection.exec("delete from historie where nr = 3", &error));
    QVERIFY2(error.contains("können nicht gelöscht werden"), qPrintable(error));
    QCOMPARE(entries(logbook).size(), 3);
}

// A file that cannot be written now keeps working without history; the reason is told.
void TestHistory::upgradeRefused_data()
{
    QTest::addColumn<bool>("locked");
    QTest::addColumn<QString>("reason");
    QTest::newRow("read-only") << false << "schreibgeschützt";
    QTest::newRow("locked by another program") << true << "anderen Programm";
}

void TestHistory::upgradeRefused()
{
    QFETCH(bool, locked);
    QFETCH(QString, reason);
    TempLogbook logbook;
    QVERIFY(logbook.createWithVehicle({}, { trip("05.03.2007", "Kiel", "100", "200") }));
    const QByteArray path = logbook.path().toUtf8();

    sqlite3* other = nullptr;
    sqlite3* db = nullptr;
    QCOMPARE(sqlite3_open_v2(path, &other, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
    if (locked)
        QCOMPARE(sqlite3_exec(other, "begin immediate", nullptr, nullptr, nullptr), SQLITE_OK);
    QCOMPARE(sqlite3_open_v2(path, &db, locked ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY, nullptr),
        SQLITE_OK);

    bool added = true;
    QString told;
    const bool ok = ensureHistory(db, &added, &told);
    sqlite3_close_v2(db);
    sqlite3_close_v2(other);
    QVERIFY(!ok && !added);
    QVERIFY2(told.contains(reason), qPrintable(told));
    QCOMPARE(logbook.scalar("select count(*) from sqlite_master where name = 'historie'"), "0");
}

// Each save and delete of a data source adds its entry; a save that changes nothing adds none.
void TestHistory::changesWithEntries()
{
    TempLogbook logbook;
    QVERIFY(logbook.createWithVehicle({}, { trip("05.03.2007", "Kiel", "100", "200") }));
    Connection connection;
    QVERIFY(connection.open(logbook.path(), nullptr));
    bool added = false;
    QVERIFY(ensureHistory(connection.handle(), &added, nullptr));

    DataSource buch("buch");
    QVERIFY(buch.open(logbook.path(), nullptr));
    buch.setStatement("select * from fahrt");
    QVERIFY(buch.refresh());
    QString error;
    QVERIFY(buch.addNew());
    QVERIFY(buch.setField("datum", "7.3.2007") && buch.setField("ziel", "Stade"));
    QVERIFY2(buch.update(&error), qPrintable(error));
    QVERIFY(buch.setField("ziel", "Stade-Nord"));
    QVERIFY2(buch.update(&error), qPrintable(error));
    QVERIFY(buch.setField("ziel", "Stade-Nord"));
    QVERIFY2(buch.update(&error), qPrintable(error)); // unchanged
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
    const QList<QStringList> rows = logbook.query(
        "select nr, zeit, aktion, tabelle, datensatz, vorher, nachher, hash from historie order by nr");
    QByteArray previous = firstPreviousHash();
    for (const QStringList& row : rows) {
        Entry entry { row[0].toLongLong(), row[1].toUtf8(), row[2].toUtf8(), row[3].toUtf8(),
            row[4].toLongLong(), row[5] == "<null>" ? std::nullopt : std::optional(row[5].toUtf8()),
            row[6] == "<null>" ? std::nullopt : std::optional(row[6].toUtf8()), row[7].toUtf8() };
        QCOMPARE(entryHash(entry, previous), entry.hash);
        QVERIFY(QDateTime::fromString(row[1], Qt::ISODate).timeSpec() == Qt::UTC);
        previous = entry.hash;
    }
}

void TestHistory::failedEntryWritesNothing_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("message");
    QTest::newRow("new") << "new"
                         << "Der Datensatz wurde nicht gespeichert: der Eintrag in die Änderungshistorie";
    QTest::newRow("change") << "change"
                            << "Der Datensatz wurde nicht gespeichert: der Eintrag in die Änderungshistorie";
    QTest::newRow("delete") << "delete"
                            << "Der Datensatz wurde nicht gelöscht: der Eintrag in die Änderungshistorie";
}

// The history table made unwritable: the change is not written either, and the message says so.
void TestHistory::failedEntryWritesNothing()
{
    QFETCH(QString, action);
    QFETCH(QString, message);
    TempLogbook logbook;
    QVERIFY(logbook.createWithVehicle({}, { trip("05.03.2007", "Kiel", "100", "200") }));
    Connection connection;
    QVERIFY(connection.open(logbook.path(), nullptr));
    bool added = false;
    QVERIFY(ensureHistory(connection.handle(), &added, nullptr));
    QVERIFY(
        logbook.exec("create trigger voll before insert on historie begin select raise(abort, 'voll'); end"));
    const auto state
        = [&] { return logbook.query("select * from fahrt") + logbook.query("select nr from historie"); };
    const QList<QStringList> before = state();

    DataSource buch("buch");
    QVERIFY(buch.open(logbook.path(), nullptr));
    buch.setStatement("select * from fahrt");
    QVERIFY(buch.refresh());
    QString error;
    bool ok = true;
    if (action == u"new") {
        QVERIFY(buch.addNew() && buch.setField("ziel", "Stade"));
        ok = buch.update(&error);
        QVERIFY(buch.isAdding()); // still open, as typed
    } else if (action == u"change") {
        QVERIFY(buch.setField("ziel", "Lübeck"));
        ok = buch.update(&error);
        QCOMPARE(buch.field("ziel"), "Lübeck");
    } else {
        ok = buch.deleteCurrent(&error);
        QCOMPARE(buch.recordCount(), 1);
    }
    QVERIFY(!ok);
    QVERIFY2(
        error.startsWith(message) && error.contains("voll") && error.endsWith("Es wurde nichts geändert."),
        qPrintable(error));
    QCOMPARE(state(), before);
}

QTEST_GUILESS_MAIN(TestHistory)
#include "test_history.moc"
