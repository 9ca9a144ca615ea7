// Figures of a trip beyond the worked examples the trip commands test: number forms,
// skipped trips and refusals naming the field.
#include "trips/trip_figures.h"

#include <QTest>

using namespace odomira;

class TestTripFigures : public QObject
{
    Q_OBJECT
private slots:
    void figures_data();
    void figures();
};

void TestTripFigures::figures_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("ende");
    QTest::addColumn<QString>("verbrauch");
    QTest::addColumn<QString>("preis");
    QTest::addColumn<QString>("expected"); // "summe kosten", " " when skipped, or the label refused
    QTest::addColumn<int>("field"); // the field refused, -1: none
    using F = TripField;

    QTest::newRow("fractional reading") << "100,5" << "110" << "8" << "1" << "9,5 0,76" << -1;
    QTest::newRow("period groups digits") << "1.000" << "1.100" << "10" << "1" << "100 10" << -1;
    QTest::newRow("blanks around") << " 100 " << "200 " << " 5" << "1,5 " << "100 7,5" << -1;
    QTest::newRow("half-way up to even") << "0" << "3" << "5" << "1,001" << "3 0,1502" << -1;
    QTest::newRow("start empty, rest bad") << "" << "abc" << "" << "x" << " " << -1;
    QTest::newRow("start letters") << "abc" << "200" << "7,9" << "1,33" << "„Start km“" << int(F::Start);
    QTest::newRow("end two commas") << "100" << "1,2,3" << "7,9" << "1,33" << "„Ende km“" << int(F::Ende);
    QTest::newRow("price with euro") << "100" << "200" << "7,9" << "1,33 €" << "„€/Liter“" << int(F::Preis);
    QTest::newRow("consumption empty") << "100" << "200" << "" << "1,33" << "„Verbrauch 100km“"
                                       << int(F::Verbrauch);
    QTest::newRow("cost beyond currency") << "0" << "100000000000000" << "100" << "1000000" << "„Kosten €“"
                                          << int(F::Kosten);
}

void TestTripFigures::figures()
{
    QFETCH(QString, start);
    QFETCH(QString, ende);
    QFETCH(QString, verbrauch);
    QFETCH(QString, preis);
    QFETCH(QString, expected);
    QFETCH(int, field);

    const TripFigures result = computeTripFigures({ start, ende, preis, verbrauch });
    using Outcome = TripFigures::Outcome;
    if (field >= 0) {
        QVERIFY(result.outcome == Outcome::Failed);
        QCOMPARE(int(result.failedField), field);
        QVERIFY2(result.error.contains(expected), qPrintable(result.error));
        QVERIFY(result.summeText.isEmpty() && result.kostenText.isEmpty());
        return;
    }
    const Outcome outcome = expected == u" " ? Outcome::Skipped : Outcome::Computed;
    QVERIFY2(result.outcome == outcome, qPrintable(result.error));
    QCOMPARE(result.summeText + ' ' + result.kostenText, expected);
}

QTEST_GUILESS_MAIN(TestTripFigures)
#include "test_trip_figures.moc"
