#include "evaluation/period.h"
#include "evaluation/statements.h"
#include "common/number_text.h"
#include "trips/trip_lists.h"
#include "vehicle/day_cost.h"

#include <QTest>

using namespace odomira;

class TestStatements : public QObject
{
    Q_OBJECT
private slots:
    void matchesTheMarch2006Example_data();
    void matchesTheMarch2006Example();
    void apostropheInYearIsDoubled_data();
    void apostropheInYearIsDoubled();
    void fullListsKeepTheirBlanks();
    void carCost_data();
    void carCost();
};

namespace {
const KindCriteria Business{-1, 0, 0};
}

void TestStatements::matchesTheMarch2006Example_data()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QString>("expected");

    const QString p = periodPattern(*monthPart("März"), "2006");
    QTest::newRow("M1") << monthListStatement(p)
        << "select *  from [fahrt] where datum like  '%.03.2006%' order by datum asc";
    QTest::newRow("M2") << monthKmSumStatement(p)
        << "select sum(gesamt)as expr1000 from [fahrt] where datum like  '%.03.2006%'";
    QTest::newRow("M3") << monthCostSumStatement(p)
        << "select sum(kosten)as expr1001 from [fahrt] where datum like  '%.03.2006%'";
    QTest::newRow("K1") << kindListStatement(p, Business)
        << "select *  from [fahrt] where datum like  '%.03.2006%' and geschaeftl like  '-1' and "
           "privat like  '0' and zurarbeit like  '0' order by datum asc";
    QTest::newRow("K2") << kindKmSumStatement(p, Business)
        << "select sum(gesamt)as expr1000 from [fahrt] where datum like  '%.03.2006%' and "
           "geschaeftl like  '-1' and privat like  '0' and zurarbeit like  '0'";
    QTest::newRow("K3") << kindCostSumStatement(p, Business)
        << "select sum(kosten)as expr1001 from [fahrt] where datum like  '%.03.2006%' and "
           "geschaeftl like  '-1' and privat like  '0' and zurarbeit like  '0'";
    QTest::newRow("K1 way to work") << kindListStatement("%2007%", KindCriteria{0, 0, -1})
        << "select *  from [fahrt] where datum like  '%2007%' and geschaeftl like  '0' and "
           "privat like  '0' and zurarbeit like  '-1' order by datum asc";
    QTest::newRow("K2 no option") << kindKmSumStatement("%.12.2007%", KindCriteria{})
        << "select sum(gesamt)as expr1000 from [fahrt] where datum like  '%.12.2007%' and "
           "geschaeftl like  '0' and privat like  '0' and zurarbeit like  '0'";
    QTest::newRow("M1 wildcards kept") << monthListStatement("%_0%%")
        << "select *  from [fahrt] where datum like  '%_0%%' order by datum asc";
}

void TestStatements::matchesTheMarch2006Example()
{
    QFETCH(QString, statement);
    QFETCH(QString, expected);
    QCOMPARE(statement, expected);
}

void TestStatements::apostropheInYearIsDoubled_data()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QString>("expected");

    const QString p = periodPattern(".03.", "20'06");
    QTest::newRow("M1") << monthListStatement(p)
        << "select *  from [fahrt] where datum like  '%.03.20''06%' order by datum asc";
    QTest::newRow("M3") << monthCostSumStatement(p)
        << "select sum(kosten)as expr1001 from [fahrt] where datum like  '%.03.20''06%'";
    QTest::newRow("K2 two apostrophes") << kindKmSumStatement(periodPattern("", "''"), Business)
        << "select sum(gesamt)as expr1000 from [fahrt] where datum like  '%''''%' and "
           "geschaeftl like  '-1' and privat like  '0' and zurarbeit like  '0'";
}

void TestStatements::apostropheInYearIsDoubled()
{
    QFETCH(QString, statement);
    QFETCH(QString, expected);
    QCOMPARE(statement, expected);
}

void TestStatements::fullListsKeepTheirBlanks()
{
    QCOMPARE(buchByDateStatement(), QStringLiteral("select * from [fahrt] order by datum asc"));
    QCOMPARE(auswertungByDateStatement(), QStringLiteral("select *  from [fahrt] order by datum asc"));
}

void TestStatements::carCost_data()
{
    QTest::addColumn<int>("trips");
    QTest::addColumn<QString>("steuer");
    QTest::addColumn<QString>("versicherung");
    QTest::addColumn<QString>("expected");

    QTest::newRow("5 trips") << 5 << "250,00" << "1201,45" << "19,8829";
    QTest::newRow("1 trip") << 1 << "250,00" << "1201,45" << "3,9766";
    QTest::newRow("integral") << 3 << "365" << "0" << "3";
    QTest::newRow("trailing zero dropped") << 1 << "100" << "0" << "0,274";
    // 2 x 0,00005 = 0,0001 exactly: the product is rounded, not the rounded day cost doubled.
    QTest::newRow("product rounded once") << 2 << "0,01825" << "0" << "0,0001";
}

void TestStatements::carCost()
{
    QFETCH(int, trips);
    QFETCH(QString, steuer);
    QFETCH(QString, versicherung);
    QFETCH(QString, expected);

    const std::optional<Decimal> tageskosten = dayCost(steuer, versicherung);
    QVERIFY(tageskosten);
    const std::optional<QString> text = carCostText(trips, *tageskosten);
    QVERIFY(text);
    QCOMPARE(*text, expected);
}

QTEST_GUILESS_MAIN(TestStatements)
#include "test_statements.moc"
