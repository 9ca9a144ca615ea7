#include "support/temp_logbook.h"
#include "vehicle/day_cost.h"

#include <QTest>

using namespace odomira;
using odomira::test::addRow;

class TestDayCost : public QObject {
    Q_OBJECT
private slots:
    void dayCost_data();
    void dayCost();
};

void TestDayCost::dayCost_data()
{
    QTest::addColumn<QString>("steuer");
    QTest::addColumn<QString>("versicherung");
    QTest::addColumn<QString>("canonical"); // full precision; empty: refused
    QTest::addColumn<QString>("label"); // or the field the refusal names
    addRow("grouped, blanks", " 1.095 ", "0", "3", "3 €");
    addRow("half-way to even", "0,01825", "0", "0.00005", "0 €");
    addRow("insurance letters", "250", "12x", "", "„Versicherung“");
    addRow("both bad names tax first", "x", "y", "", "„Steuer“");
}

void TestDayCost::dayCost()
{
    QFETCH(QString, steuer);
    QFETCH(QString, versicherung);
    QFETCH(QString, canonical);
    QFETCH(QString, label);

    QString error;
    const std::optional<Decimal> cost = odomira::dayCost(steuer, versicherung, &error);
    if (canonical.isEmpty()) {
        QVERIFY(!cost.has_value());
        QVERIFY2(error.contains(label) && error.contains(QStringLiteral("Zahl")), qPrintable(error));
        return;
    }
    QVERIFY2(cost.has_value(), qPrintable(error));
    QCOMPARE(cost->normalized().toCanonical(), canonical);
    QCOMPARE(dayCostLabel(*cost), label);
}

QTEST_GUILESS_MAIN(TestDayCost)
#include "test_day_cost.moc"
