#include "evaluation/period.h"
#include "evaluation/statements.h"
#include "search/search_statement.h"
#include "store/data_source.h"
#include "support/temp_logbook.h"
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

    // Statements run on a real file, where the window's evaluations leave a case untried: the
    // kinds told apart by their own flag alone (id 5 is private and way to work), and a typed
    // year with an apostrophe, which keeps the statement whole and matches nothing.
    void selection_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<QString>("selected"); // ids in list order

        const QString march = periodPattern(*odomira::monthPart("März"), "2006");
        QTest::newRow("private") << kindListStatement(march, { 0, -1, 0 }) << "2";
        QTest::newRow("way to work") << kindListStatement(march, { 0, 0, -1 }) << "3 8";
        QTest::newRow("apostrophe") << monthListStatement(periodPattern(".03.", "20'06")) << "";
    }

    void selection()
    {
        QFETCH(QString, statement);
        QFETCH(QString, selected);
        QList<test::TripRow> trips;
        for (const char* flags : { "100", "010", "001", "000", "011", "100", "010", "001" })
            trips << test::withKinds({ .datum = "05.03.2006" }, flags);
        trips[5].datum = "05.04.2006";
        trips[6].datum = "05.03.2007";
        trips[7].datum = "31.03.2006";
        test::TempLogbook logbook;
        QVERIFY(logbook.create(nullptr, trips));
        DataSource source(QStringLiteral("Auswertung"));
        QVERIFY(logbook.load(source, statement));
        QStringList found;
        for (int row = 0; row < source.recordCount(); ++row)
            found << source.value(row, source.columnIndex(QStringLiteral("id")));
        QCOMPARE(found.join(u' '), selected);
    }

    // The search term is matched in date and destination; an apostrophe in it stays text.
    void searchStatement()
    {
        QCOMPARE(odomira::searchStatement("x' or 1=1 --"),
            "select *  from [fahrt] where datum like  '%x'' or 1=1 --%' "
            "or ziel like  '%x'' or 1=1 --%' order by datum asc");
    }

    // 2 x 0,00005 = 0,0001 exactly: the product is rounded, not the rounded day cost doubled.
    void carCost() { QCOMPARE(carCostText(2, dayCost("0,01825", "0").value()).value_or("<none>"), "0,0001"); }
};

QTEST_GUILESS_MAIN(TestStatements)
#include "test_statements.moc"
