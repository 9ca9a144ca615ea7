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

        const QStringList names = { "Januar", "Februar", "März", "April", "Mai", "Juni", "Juli", "August",
            "September", "Oktober", "November", "Dezember" };
        for (int i = 0; i < 12; ++i)
            QTest::newRow(qPrintable(names[i])) << names[i] << QString::asprintf(".%02d.", i + 1);
        QTest::newRow("lower case") << "mai" << QString();
        QTest::newRow("trailing blank") << "Mai " << QString();
        QTest::newRow("decomposed ä") << QStringLiteral("Ma\u0308rz") << QString();
        QTest::newRow("prompt") << ".. Monat Wählen" << QString();
        QTest::newRow("empty") << "" << QString();
    }

    void monthPart()
    {
        QFETCH(QString, text);
        QFETCH(QString, part);
        const std::optional<QString> result = odomira::monthPart(text);
        QCOMPARE(result.value_or(QString()), part);
        QCOMPARE(result.has_value(), !part.isNull());
        if (result) // the month box lists the names in calendar order
            QCOMPARE(monthNames().value(part.mid(1, 2).toInt() - 1), text);
    }

    void yearNames_data()
    {
        QTest::addColumn<int>("currentYear");
        QTest::addColumn<QString>("years"); // first .. last, and how many

        QTest::newRow("2026") << 2026 << "2006..2026 21";
        QTest::newRow("the logbook's second year") << 2007 << "2006..2007 2";
        QTest::newRow("clock before 2007") << 2006 << "2006..2007 2";
        QTest::newRow("clock far behind") << 1970 << "2006..2007 2";
    }

    // The list runs without gaps from 2006, each entry a four-digit year as typed into the box.
    void yearNames()
    {
        QFETCH(int, currentYear);
        QFETCH(QString, years);
        const QStringList names = odomira::yearNames(currentYear);
        QCOMPARE(names.first() + ".." + names.last() + ' ' + QString::number(names.size()), years);
        for (int i = 0; i < names.size(); ++i)
            QCOMPARE(names[i], QString::number(2006 + i));
    }

    // The worked example, March 2006 and business trips, and a typed year with an apostrophe.
    void statements()
    {
        const QString p = periodPattern(*odomira::monthPart("März"), "2006");
        const KindCriteria business { -1, 0, 0 };
        const QString where = " from [fahrt] where datum like  '%.03.2006%'";
        const QString kind = " and geschaeftl like  '-1' and privat like  '0' and zurarbeit like  '0'";
        QCOMPARE(monthListStatement(p), "select * " + where + " order by datum asc");
        QCOMPARE(monthKmSumStatement(p), "select sum(gesamt)as expr1000" + where);
        QCOMPARE(monthCostSumStatement(p), "select sum(kosten)as expr1001" + where);
        QCOMPARE(kindListStatement(p, business), "select * " + where + kind + " order by datum asc");
        QCOMPARE(kindKmSumStatement(p, business), "select sum(gesamt)as expr1000" + where + kind);
        QCOMPARE(kindCostSumStatement(p, business), "select sum(kosten)as expr1001" + where + kind);
        QCOMPARE(monthListStatement(periodPattern(".03.", "20'06")),
            "select *  from [fahrt] where datum like  '%.03.20''06%' order by datum asc");
    }

    // 250,00 and 1201,45 a year over five trips; then 2 x 0,00005 = 0,0001 exactly, as the
    // product is rounded, not the rounded day cost doubled.
    void carCost()
    {
        QCOMPARE(carCostText(5, dayCost("250,00", "1201,45").value()).value_or("<none>"), "19,8829");
        QCOMPARE(carCostText(2, dayCost("0,01825", "0").value()).value_or("<none>"), "0,0001");
    }
};

QTEST_GUILESS_MAIN(TestStatements)
#include "test_statements.moc"
