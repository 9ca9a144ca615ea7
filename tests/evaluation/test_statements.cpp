#include "evaluation/period.h"
#include "evaluation/statements.h"
#include "vehicle/day_cost.h"

#include <QTest>

using namespace odomira;

class TestStatements : public QObject
{
    Q_OBJECT
private slots:
    void monthPart_data();
    void monthPart();
    void statement_data();
    void statement();
    void carCost_data();
    void carCost();
};

void TestStatements::monthPart_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("part"); // null: names no month

    const QStringList names = {"Januar", "Februar", "März", "April", "Mai", "Juni", "Juli",
                               "August", "September", "Oktober", "November", "Dezember"};
    for (int i = 0; i < 12; ++i)
        QTest::newRow(qPrintable(names[i])) << names[i] << QString::asprintf(".%02d.", i + 1);
    QTest::newRow("lower case") << "mai" << QString();
    QTest::newRow("trailing blank") << "Mai " << QString();
    QTest::newRow("leading blank") << " Mai" << QString();
    QTest::newRow("decomposed ä") << QStringLiteral("Ma\u0308rz") << QString();
    QTest::newRow("Maerz") << "Maerz" << QString();
    QTest::newRow("prompt") << ".. Monat Wählen" << QString();
    QTest::newRow("empty") << "" << QString();
}

void TestStatements::monthPart()
{
    QFETCH(QString, text);
    QFETCH(QString, part);
    const std::optional<QString> result = odomira::monthPart(text);
    QCOMPARE(result.value_or(QString()), part);
    QCOMPARE(result.has_value(), !part.isNull());
    if (result) // the month box lists the names in calendar order
        QCOMPARE(monthNames().value(part.mid(1, 2).toInt() - 1), text);
}

void TestStatements::statement_data()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QString>("expected");

    // The worked example: March 2006, business trips.
    const QString p = periodPattern(*odomira::monthPart("März"), "2006");
    const KindCriteria business{-1, 0, 0};
    const QString kind = " and geschaeftl like  '-1' and privat like  '0' and zurarbeit like  '0'";
    QTest::newRow("M1") << monthListStatement(p)
        << "select *  from [fahrt] where datum like  '%.03.2006%' order by datum asc";
    QTest::newRow("M2") << monthKmSumStatement(p)
        << "select sum(gesamt)as expr1000 from [fahrt] where datum like  '%.03.2006%'";
    QTest::newRow("M3") << monthCostSumStatement(p)
        << "select sum(kosten)as expr1001 from [fahrt] where datum like  '%.03.2006%'";
    QTest::newRow("K1") << kindListStatement(p, business)
        << "select *  from [fahrt] where datum like  '%.03.2006%'" + kind + " order by datum asc";
    QTest::newRow("K2") << kindKmSumStatement(p, business)
        << "select sum(gesamt)as expr1000 from [fahrt] where datum like  '%.03.2006%'" + kind;
    QTest::newRow("K3") << kindCostSumStatement(p, business)
        << "select sum(kosten)as expr1001 from [fahrt] where datum like  '%.03.2006%'" + kind;
    QTest::newRow("K1 way to work, year only")
        << kindListStatement(periodPattern("", "2007"), KindCriteria{0, 0, -1})
        << "select *  from [fahrt] where datum like  '%2007%' and geschaeftl like  '0' and "
           "privat like  '0' and zurarbeit like  '-1' order by datum asc";
    // A typed year with apostrophes keeps the statement whole.
    QTest::newRow("M1 apostrophe") << monthListStatement(periodPattern(".03.", "20'06"))
        << "select *  from [fahrt] where datum like  '%.03.20''06%' order by datum asc";
    QTest::newRow("K3 two apostrophes") << kindCostSumStatement(periodPattern("", "''"), business)
        << "select sum(kosten)as expr1001 from [fahrt] where datum like  '%''''%'" + kind;
}

void TestStatements::statement()
{
    QFETCH(QString, statement);
    QFETCH(QString, expected);
    QCOMPARE(statement, expected);
}

void TestStatements::carCost_data()
{
    QTest::addColumn<int>("trips");
    QTest::addColumn<QString>("steuer");
    QTest::addColumn<QString>("versicherung");
    QTest::addColumn<QString>("expected");

    QTest::newRow("5 trips") << 5 << "250,00" << "1201,45" << "19,8829";
    QTest::newRow("1 trip") << 1 << "250,00" << "1201,45" << "3,9766";
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
    QCOMPARE(carCostText(trips, *tageskosten).value_or("<none>"), expected);
}

QTEST_GUILESS_MAIN(TestStatements)
#include "test_statements.moc"
