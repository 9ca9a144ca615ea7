// What a save of a trip checks and computes beyond the worked examples the trip commands test,
// and the reading NEU proposes.
#include "store/connection.h"
#include "support/temp_logbook.h"
#include "trips/last_reading.h"
#include "trips/trip_figures.h"

#include <QTest>

using namespace odomira;
using namespace odomira::test;

class TestTripFigures : public QObject {
    Q_OBJECT

private slots:
    // What a save refuses, in the order it checks (the date, start, end and price as numbers,
    // then the figures), and the figures of what it accepts.
    void entry_data()
    {
        QTest::addColumn<QString>("texts"); // datum, start, ende, preis, verbrauch, separated by "|"
        QTest::addColumn<int>("field"); // -1: accepted
        QTest::addColumn<QString>("expected"); // "summe kosten", or the message (part of it for Kosten)
        const QString noNumber = QStringLiteral("Im Feld „%1“ steht „%2“, das ist keine Zahl. Erwartet wird "
                                                "eine Zahl, zum Beispiel %3.");
        using F = TripField;
        QTest::newRow("number forms") << "5.3.2007| 1.000,5 |1.100 |1 | 8" << -1 << "99,5 7,96";
        QTest::newRow("half-way up to even") << "5.3.2007|0|3|1,001|5" << -1 << "3 0,1502";
        QTest::newRow("no figures, no consumption") << "05.03.2007||||" << -1 << " ";
        QTest::newRow("date before numbers") << " |x|y|z|" << int(F::Datum)
                                             << "Bitte ein Datum eingeben. Das Feld „Datum“ ist leer; "
                                                "erwartet wird ein Datum wie 05.03.2007.";
        QTest::newRow("end before price")
            << "5.3.2007|1|x|y|7,9" << int(F::Ende) << noNumber.arg("Ende km", "x", "12345");
        QTest::newRow("price alone") << "5.3.2007|||1,2,3|" << int(F::Preis)
                                     << noNumber.arg("€/Liter", "1,2,3", "1,159");
        QTest::newRow("consumption") << "5.3.2007|1|2|1|" << int(F::Verbrauch)
                                     << "Das Feld „Verbrauch 100km“ ist leer. Erwartet wird eine Zahl, zum "
                                        "Beispiel 7,9.";
        QTest::newRow("cost beyond currency")
            << "5.3.2007|0|100000000000000|1000000|100" << int(F::Kosten) << "„Kosten €“";
    }

    void entry()
    {
        QFETCH(QString, texts);
        QFETCH(QString, expected);
        const QStringList t = texts.split(u'|');
        const std::optional<TripEntryProblem> problem = checkTripEntry({ t[0], t[1], t[2], t[3], t[4] });
        QTEST(problem ? int(problem->field) : -1, "field");
        if (problem) {
            QVERIFY2(problem->message.contains(expected), qPrintable(problem->message));
        } else {
            const TripFigures figures = computeTripFigures({ t[1], t[2], t[3], t[4] });
            QCOMPARE(figures.summeText + ' ' + figures.kostenText, expected);
        }
    }

    // The end of the latest trip with one, the highest of its date as a number. Calendar order
    // rather than the text of the dates: TestTripEntry::workedExamplesAreStored.
    void lastEndReading()
    {
        TempLogbook logbook;
        QVERIFY(logbook.createWithVehicle({},
            tripsWithReadings({ "05.03.2007 A 9 99", "05.03.2007 B 99 100,5", "04.03.2007 C 0 900",
                "06.03.2007 D 200 -" })));
        Connection connection;
        QVERIFY(connection.open(logbook.path(), nullptr));
        QCOMPARE(odomira::lastEndReading(connection.handle()), QStringLiteral("100,5"));
    }
};

QTEST_GUILESS_MAIN(TestTripFigures)
#include "test_trip_figures.moc"
