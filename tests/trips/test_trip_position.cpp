// Which trip is current after a delete, found by its key in a re-read list, and the reading NEU
// proposes.
#include "store/connection.h"
#include "store/data_source.h"
#include "support/temp_logbook.h"
#include "trips/last_reading.h"
#include "trips/trip_position.h"

#include <QtTest>

using namespace odomira;
using namespace odomira::test;

namespace {

// Written in the order of their keys 1..4; by date: 2 (Bremen), 4 (Hafen), 1 (Kiel), 3 (Stade).
QList<TripRow> fourTrips()
{
    return { { .datum = "31.12.2006", .ziel = "Kiel" }, { .datum = "02.01.2006", .ziel = "Bremen" },
        { .datum = "01.01.2007", .ziel = "Stade" }, { .datum = "05.06.2006", .ziel = "Hafen" } };
}

} // namespace

class TestTripPosition : public QObject {
    Q_OBJECT

private slots:
    void afterDelete_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<int>("row"); // current before the delete
        QTest::addColumn<QString>("next"); // ziel of the trip that takes its place, "" for none

        // The list the user saw (a search), though the lists are re-read in date order afterwards.
        // TestTripEntry::deleteMakesNeighbourCurrent deletes in the date-ordered list.
        QTest::newRow("list in another order")
            << "select * from fahrt where ziel like '%e%' order by id" << 1 << "Stade";
        QTest::newRow("past the end") << "select * from fahrt" << 4 << "";
        QTest::newRow("no key column") << "select datum, ziel from fahrt order by datum" << 0 << "";
    }

    // The key found before the delete names the same trip in the re-read, date-ordered list.
    void afterDelete()
    {
        QFETCH(QString, statement);
        QFETCH(int, row);
        QFETCH(QString, next);
        TempLogbook logbook;
        QVERIFY(logbook.create(nullptr, fourTrips()));
        DataSource list(QStringLiteral("buch"));
        QVERIFY(logbook.load(list, statement));
        list.setCurrentRow(row);

        const QString key = keyAfterDelete(list);
        QCOMPARE(key.isEmpty(), next.isEmpty());
        list.setStatement(QStringLiteral("select * from [fahrt] order by datum asc"));
        QVERIFY(list.refresh());
        const int found = rowOfKey(list, key);
        QCOMPARE(found >= 0, !next.isEmpty());
        if (found >= 0) {
            list.setCurrentRow(found);
            QCOMPARE(list.field(QStringLiteral("ziel")), next);
            QCOMPARE(currentTripKey(list), key);
        }
    }

    // The end of the latest trip; trips as "datum ziel start end".
    void lastEndReading_data()
    {
        QTest::addColumn<QStringList>("trips");
        QTest::addColumn<QString>("expected");
        // Calendar order rather than the text of the dates: TestTripEntry::workedExamplesAreStored.
        addRow("empty logbook", QStringList(), QString());
        addRow("same date: highest end as a number",
            QStringList { "05.03.2007 A 9 99", "05.03.2007 B 99 100,5", "04.03.2007 C 0 900" },
            QString("100,5"));
        addRow("latest without end", QStringList { "05.03.2007 A 100 200", "06.03.2007 B 200 -" },
            QString("200"));
    }

    void lastEndReading()
    {
        QFETCH(QStringList, trips);
        TempLogbook logbook;
        QVERIFY(logbook.createWithVehicle({}, tripsWithReadings(trips)));
        Connection connection;
        QVERIFY(connection.open(logbook.path(), nullptr));
        QTEST(odomira::lastEndReading(connection.handle()), "expected");
    }
};

QTEST_GUILESS_MAIN(TestTripPosition)
#include "test_trip_position.moc"
