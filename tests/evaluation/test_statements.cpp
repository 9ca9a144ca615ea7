// The period's parts and the car cost, where the window's evaluations leave a case untried.
#include "evaluation/period.h"
#include "evaluation/statements.h"
#include "vehicle/day_cost.h"

#include <QTest>

using namespace odomira;

class TestStatements : public QObject {
    Q_OBJECT
private slots:
    void monthPart_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("part"); // null: names no month
        for (int i = 0; i < 12; ++i)
            QTest::newRow(qPrintable(monthNames()[i]))
                << monthNames()[i] << QString::asprintf(".%02d.", i + 1);
        QTest::newRow("lower case") << "mai" << QString();
        QTest::newRow("decomposed ä") << QStringLiteral("Ma\u0308rz") << QString();
    }

    void monthPart()
    {
        QFETCH(QString, text);
        QTEST(odomira::monthPart(text).value_or(QString()), "part");
    }

    // The list runs without gaps from 2006 to the clock's year, and to 2007 at least.
    void yearNames()
    {
        QCOMPARE(odomira::yearNames(2026).join(u' '),
            "2006 2007 2008 2009 2010 2011 2012 2013 2014 2015 2016 2017 2018 2019 2020 2021 2022 2023 2024 "
            "2025 2026");
        QCOMPARE(odomira::yearNames(1970), QStringList({ "2006", "2007" }));
    }

    // 2 x 0,00005 = 0,0001 exactly: the product is rounded, not the rounded day cost doubled.
    void carCost() { QCOMPARE(carCostText(2, dayCost("0,01825", "0").value()).value_or("<none>"), "0,0001"); }
};

QTEST_GUILESS_MAIN(TestStatements)
#include "test_statements.moc"
