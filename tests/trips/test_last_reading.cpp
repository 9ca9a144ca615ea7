// The reading NEU proposes for "Start km": the end of the latest trip.
#include "store/connection.h"
#include "support/temp_logbook.h"
#include "trips/last_reading.h"

#include <QtTest>

using namespace odomira;
using odomira::test::TempLogbook;
using odomira::test::TripRow;

class TestLastReading : public QObject {
    Q_OBJECT

private slots:
    void lastEndReading_data();
    void lastEndReading();
};

// Trips as "datum start end" ("-" for no reading, decimals with a comma).
void TestLastReading::lastEndReading_data()
{
    QTest::addColumn<QStringList>("trips");
    QTest::addColumn<QString>("expected");

    QTest::newRow("empty logbook") << QStringList() << QString();
    QTest::newRow("calendar order, not text order")
        << QStringList { "02.01.2007 600 650", "31.12.2006 500 600" } << "650";
    QTest::newRow("same date: highest end")
        << QStringList { "05.03.2007 200 250", "05.03.2007 100 200", "04.03.2007 0 900" } << "250";
    QTest::newRow("ends as numbers") << QStringList { "05.03.2007 9 99", "05.03.2007 99 100,5" } << "100,5";
    QTest::newRow("latest without end") << QStringList { "05.03.2007 100 200", "06.03.2007 200 -" } << "200";
}

void TestLastReading::lastEndReading()
{
    QFETCH(QStringList, trips);
    QFETCH(QString, expected);
    QList<TripRow> rows;
    for (const QString& line : trips) {
        const QStringList parts = line.split(u' ');
        rows.append({ .datum = parts[0],
            .anfangsstand = parts[1] == u"-" ? QString() : QString(parts[1]).replace(u',', u'.'),
            .endstand = parts[2] == u"-" ? QString() : QString(parts[2]).replace(u',', u'.') });
    }
    TempLogbook logbook;
    QVERIFY(logbook.createWithVehicle({}, rows));
    QCOMPARE(odomira::lastEndReading(logbook.path()), expected);
}

QTEST_GUILESS_MAIN(TestLastReading)
#include "test_last_reading.moc"
