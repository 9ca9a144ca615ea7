#include "trips/trip_figures.h"

#include <QTest>

using namespace odomira;

Q_DECLARE_METATYPE(odomira::TripField)

class TestTripFigures : public QObject
{
    Q_OBJECT
private slots:
    void computesOrSkips_data();
    void computesOrSkips();
    void failsNamingTheField_data();
    void failsNamingTheField();
};

void TestTripFigures::computesOrSkips_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("ende");
    QTest::addColumn<QString>("verbrauch");
    QTest::addColumn<QString>("preis");
    QTest::addColumn<QString>("summe"); // empty: nothing computed, nothing refused
    QTest::addColumn<QString>("kosten");

    QTest::newRow("0,21014") << "190888" << "190890" << "7,9" << "1,33" << "2" << "0,2101";
    QTest::newRow("25,990575") << "12000" << "12345" << "6,5" << "1,159" << "345" << "25,9906";
    QTest::newRow("half-way to even") << "100" << "101" << "5" << "1,001" << "1" << "0,05";
    QTest::newRow("end below start") << "60" << "50" << "8" << "1,20" << "-10" << "-0,96";
    QTest::newRow("fractional reading") << "100,5" << "110" << "8" << "1" << "9,5" << "0,76";
    QTest::newRow("period groups digits") << "1.000" << "1.100" << "10" << "1" << "100" << "10";
    QTest::newRow("blanks around") << " 100 " << "200 " << " 5" << "1,5 " << "100" << "7,5";
    QTest::newRow("half-way up to even") << "0" << "3" << "5" << "1,001" << "3" << "0,1502";
    QTest::newRow("price empty") << "100" << "200" << "7,9" << "" << "" << "";
    QTest::newRow("start empty, rest bad") << "" << "abc" << "" << "x" << "" << "";
    QTest::newRow("end empty") << "100" << "" << "7,9" << "1,33" << "" << "";
}

void TestTripFigures::computesOrSkips()
{
    QFETCH(QString, start);
    QFETCH(QString, ende);
    QFETCH(QString, verbrauch);
    QFETCH(QString, preis);
    QFETCH(QString, summe);
    QFETCH(QString, kosten);

    const TripFigures result = computeTripFigures({start, ende, preis, verbrauch});
    using Outcome = TripFigures::Outcome;
    const Outcome expected = summe.isEmpty() ? Outcome::Skipped : Outcome::Computed;
    QVERIFY2(result.outcome == expected, qPrintable(result.error));
    QCOMPARE(result.summeText, summe);
    QCOMPARE(result.kostenText, kosten);
    QCOMPARE(result.error, QString());
}

void TestTripFigures::failsNamingTheField_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("ende");
    QTest::addColumn<QString>("preis");
    QTest::addColumn<QString>("verbrauch");
    QTest::addColumn<TripField>("field");
    QTest::addColumn<QString>("label");

    QTest::newRow("start letters") << "abc" << "200" << "1,33" << "7,9" << TripField::Start << "Start km";
    QTest::newRow("start blank") << " " << "200" << "1,33" << "7,9" << TripField::Start << "Start km";
    QTest::newRow("end two commas") << "100" << "1,2,3" << "1,33" << "7,9" << TripField::Ende << "Ende km";
    QTest::newRow("price with euro") << "100" << "200" << "1,33 €" << "7,9" << TripField::Preis << "€/Liter";
    QTest::newRow("consumption empty") << "100" << "200" << "1,33" << "" << TripField::Verbrauch
                                       << "Verbrauch 100km";
    QTest::newRow("start before end") << "x" << "y" << "1,33" << "7,9" << TripField::Start << "Start km";
    QTest::newRow("cost beyond currency") << "0" << "100000000000000" << "1000000" << "100"
                                          << TripField::Kosten << "Kosten €";
}

void TestTripFigures::failsNamingTheField()
{
    QFETCH(QString, start);
    QFETCH(QString, ende);
    QFETCH(QString, preis);
    QFETCH(QString, verbrauch);
    QFETCH(TripField, field);
    QFETCH(QString, label);

    const TripFigures result = computeTripFigures({start, ende, preis, verbrauch});
    QVERIFY(result.outcome == TripFigures::Outcome::Failed);
    QCOMPARE(result.failedField, field);
    QVERIFY2(result.error.contains(QStringLiteral("„%1“").arg(label)), qPrintable(result.error));
    QVERIFY(result.summeText.isEmpty() && result.kostenText.isEmpty());
}

QTEST_GUILESS_MAIN(TestTripFigures)
#include "test_trip_figures.moc"
