// Figures of a trip beyond the worked examples the trip commands test: number forms,
// skipped trips, and refusals naming the field in the order a save checks them.
#include "support/temp_logbook.h"
#include "trips/trip_figures.h"

#include <QTest>

using namespace odomira;
using odomira::test::addRow;

class TestTripFigures : public QObject {
    Q_OBJECT
private slots:
    void figures_data();
    void figures();
    void entry_data();
    void entry();
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

    const auto row = [](const char* name, const char* start, const char* ende, const char* verbrauch,
                         const char* preis, const char* expected, int field = -1) {
        addRow(name, QString(start), QString(ende), QString(verbrauch), QString(preis), QString(expected),
            field);
    };
    row("number forms", " 1.000,5 ", "1.100 ", " 8", "1 ", "99,5 7,96");
    row("half-way up to even", "0", "3", "5", "1,001", "3 0,1502");
    row("start empty, rest bad", "", "abc", "", "x", " ");
    row("price with euro", "100", "200", "7,9", "1,33 €", "„€/Liter“", int(F::Preis));
    row("consumption empty", "100", "200", "", "1,33", "„Verbrauch 100km“", int(F::Verbrauch));
    row("cost beyond currency", "0", "100000000000000", "100", "1000000", "„Kosten €“", int(F::Kosten));
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

// What a save refuses, in the order it is checked; empty kilometre and price fields are no failure.
void TestTripFigures::entry_data()
{
    QTest::addColumn<QString>("texts"); // datum, start, ende, preis, verbrauch, separated by "|"
    QTest::addColumn<int>("field"); // -1: accepted
    QTest::addColumn<QString>("message"); // the whole message, or part of it for the figures

    const QString noNumber = QStringLiteral("Im Feld „%1“ steht „%2“, das ist keine Zahl. Erwartet wird eine "
                                            "Zahl, zum Beispiel %3.");
    using F = TripField;
    QTest::newRow("no figures, no consumption") << "05.03.2007||||" << -1 << "";
    QTest::newRow("date before numbers") << " |x|y|z|" << int(F::Datum)
                                         << "Bitte ein Datum eingeben. Das Feld „Datum“ ist leer; erwartet "
                                            "wird ein Datum wie 05.03.2007.";
    QTest::newRow("date") << "5.3.|1|2|1|7,9" << int(F::Datum)
                          << "Im Feld „Datum“ steht „5.3.“, das ist kein gültiges Datum. Erwartet wird ein "
                             "Datum wie 05.03.2007.";
    QTest::newRow("end before price")
        << "5.3.2007|1|x|y|7,9" << int(F::Ende) << noNumber.arg("Ende km", "x", "12345");
    QTest::newRow("price alone") << "5.3.2007|||1,2,3|" << int(F::Preis)
                                 << noNumber.arg("€/Liter", "1,2,3", "1,159");
    QTest::newRow("consumption") << "5.3.2007|1|2|1|" << int(F::Verbrauch)
                                 << "Das Feld „Verbrauch 100km“ ist leer. Erwartet wird eine Zahl, zum "
                                    "Beispiel 7,9.";
}

void TestTripFigures::entry()
{
    QFETCH(QString, texts);
    QFETCH(int, field);
    QFETCH(QString, message);
    const QStringList t = texts.split(u'|');
    const std::optional<TripEntryProblem> problem = checkTripEntry({ t[0], t[1], t[2], t[3], t[4] });
    QCOMPARE(problem ? int(problem->field) : -1, field);
    QCOMPARE(problem ? problem->message : QString(), message);
}

QTEST_GUILESS_MAIN(TestTripFigures)
#include "test_trip_figures.moc"
