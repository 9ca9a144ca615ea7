// The change history in the file: its record text and hash chain, and the history an older
// file gets. Each change written with its entry, the whole chain over the window's commands
// and its check, is test_history_window's; tampering found is test_audit's.
#include "store/connection.h"
#include "store/history.h"
#include "support/temp_logbook.h"

#include <QtTest>

using namespace odomira;
using namespace odomira::history;
using namespace odomira::test;

namespace {

Value text(const char* utf8)
{
    return { Value::Text, QByteArray(utf8) };
}

const Record Vehicle = { text("HH-OM 42"), text("7.9"), text("250"), text("1201.45") };
const Record EveryType = { text("Köln \\ 1\n2"), Value {}, Value { Value::Integer, "-3" },
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

class TestHistory : public QObject {
    Q_OBJECT

private slots:
    void refusedRecordText();
    void canonicalHash();
    void olderFileUpgrade();
};

// Texts no record was written as: a column missing or misnamed, an unknown escape, no integer.
void TestHistory::refusedRecordText()
{
    for (const char* rest : { "TA\nverbrauch=N\nsteuer=N", "TA\nverbrauch=N\nsteuer=N\nversicherun=N",
             "TA\\t\nverbrauch=N\nsteuer=N\nversicherung=N", "I1x\nverbrauch=N\nsteuer=N\nversicherung=N" })
        QVERIFY2(!decodeRecord(Table::Verbrauch, "kennzeichen=" + QByteArray(rest)), rest);
}

// The hashes stored files carry, worked out from the documented canonical text by another
// program; a change to the record text or the canonical text would make every stored history
// fail its check.
void TestHistory::canonicalHash()
{
    Entry first { 1, "2007-03-05T14:30:00Z", actionWord(Action::Neu), "verbrauch", 1, std::nullopt,
        encodeRecord(Table::Verbrauch, Vehicle), {} };
    QCOMPARE(entryHash(first, firstPreviousHash()),
        QByteArray("b9c0bb1c78cf9b447cab4c1f36f737b684a373b7dd86310140a33c7a6a3c6923"));
    Entry second { 2, "2007-03-06T08:00:00Z", actionWord(Action::Geaendert), "verbrauch", 1, first.nachher,
        encodeRecord(Table::Verbrauch, EveryType), {} };
    QCOMPARE(entryHash(second, entryHash(first, firstPreviousHash())),
        QByteArray("f1aed9e3a8d7ae8a2597e843f337e190c9b1baa7503981ee35eb4c356f54d948"));
    // And the texts read back as the records they were made of.
    QCOMPARE(decodeRecord(Table::Verbrauch, first.nachher.value()), std::optional(Vehicle));
    QCOMPARE(decodeRecord(Table::Verbrauch, second.nachher.value()), std::optional(EveryType));
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
    // Once only; and the triggers refuse to change or remove an entry.
    QVERIFY(ensureHistory(connection.handle(), &added, &reason) && !added);
    QString error;
    QVERIFY(!connection.exec("update historie set aktion = 'Neu' where nr = 2", &error));
    QVERIFY2(error.contains("kann nicht geändert werden"), qPrintable(error));
    QVERIFY(!connection.exec("delete from historie where nr = 3", &error));
    QVERIFY2(error.contains("können nicht gelöscht werden"), qPrintable(error));
    QCOMPARE(entries(logbook).size(), 3);
}

QTEST_GUILESS_MAIN(TestHistory)
#include "test_history.moc"
