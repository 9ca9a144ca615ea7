// Which trip is current after a save or a delete, found by its key in a re-read list, where
// the date picker's calendar stands beside the date field, and the reading NEU proposes.
#include "store/connection.h"
#include "store/data_source.h"
#include "support/temp_logbook.h"
#include "trips/calendar_placement.h"
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

        const QString byDate = "select * from [fahrt] order by datum asc";
        QTest::newRow("first") << byDate << 0 << "Hafen";
        QTest::newRow("middle") << byDate << 2 << "Stade";
        QTest::newRow("last: the one before") << byDate << 3 << "Kiel";
        // The list the user saw, though the lists are re-read in date order afterwards.
        QTest::newRow("list in another order")
            << "select * from fahrt where ziel like '%e%' order by id" << 1 << "Stade";
        QTest::newRow("only trip") << "select * from fahrt where id = 3" << 0 << "";
        QTest::newRow("past the end") << byDate << 4 << "";
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

    void placement_data()
    {
        QTest::addColumn<QRect>("field");
        QTest::addColumn<QRect>("bounds");
        QTest::addColumn<QList<QRect>>("keepClear");
        QTest::addColumn<QRect>("placed");

        const QSize size(166, 158);
        const QRect field(84, 253, 105, 25);
        const QRect bounds(0, 0, 680, 500);
        const QRect below(84, 280, 105, 25); // the next field under the date field
        QTest::newRow("above") << field << bounds << QList<QRect> { field, below }
                               << QRect(QPoint(84, 93), size);
        QTest::newRow("no room above: below")
            << QRect(84, 20, 105, 25) << bounds << QList<QRect> { QRect(84, 20, 105, 25) }
            << QRect(QPoint(84, 47), size);
        QTest::newRow("above and below taken: right")
            << QRect(84, 20, 105, 25) << bounds
            << QList<QRect> { QRect(84, 20, 105, 25), QRect(84, 200, 105, 25) }
            << QRect(QPoint(191, 20), size);
        QTest::newRow("only left is clear")
            << QRect(400, 20, 105, 25) << bounds
            << QList<QRect> { QRect(400, 20, 105, 25), QRect(400, 60, 105, 25), QRect(520, 20, 100, 25) }
            << QRect(QPoint(232, 20), size);
        QTest::newRow("nowhere: above, moved inside") << QRect(-10, 20, 105, 25) << QRect(0, 0, 170, 180)
                                                      << QList<QRect>() << QRect(QPoint(0, 0), size);
    }

    void placement()
    {
        QFETCH(QRect, field);
        QFETCH(QRect, bounds);
        QFETCH(QList<QRect>, keepClear);
        QFETCH(QRect, placed);
        QCOMPARE(calendarPlacement(field, QSize(166, 158), bounds, keepClear), placed);
    }

    // The end of the latest trip; trips as "datum ziel start end".
    void lastEndReading_data()
    {
        QTest::addColumn<QStringList>("trips");
        QTest::addColumn<QString>("expected");
        addRow("empty logbook", QStringList(), QString());
        addRow("calendar order, not text order",
            QStringList { "02.01.2007 A 600 650", "31.12.2006 B 500 600" }, QString("650"));
        addRow("same date: highest end",
            QStringList { "05.03.2007 A 200 250", "05.03.2007 B 100 200", "04.03.2007 C 0 900" },
            QString("250"));
        addRow("ends as numbers", QStringList { "05.03.2007 A 9 99", "05.03.2007 B 99 100,5" },
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
