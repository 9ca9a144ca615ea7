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

    // Each statement run on a real file: which trips it lists and what it sums. The kinds
    // are told apart by their flags alone, the period by the date text alone.
    void selection_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<QString>("selected"); // ids in list order, or the sum

        const QString march = periodPattern(*odomira::monthPart("März"), "2006");
        const KindCriteria business { -1, 0, 0 };
        const KindCriteria privat { 0, -1, 0 };
        const KindCriteria way { 0, 0, -1 };
        const KindCriteria none { 0, 0, 0 };
        QTest::newRow("month list") << monthListStatement(march) << "4 1 2 3 5 8";
        QTest::newRow("month km") << monthKmSumStatement(march) << "311";
        QTest::newRow("month cost") << monthCostSumStatement(march) << "31,5";
        QTest::newRow("year list") << monthListStatement(periodPattern(".", "2006")) << "4 1 2 3 5 8 6";
        QTest::newRow("business list") << kindListStatement(march, business) << "1";
        QTest::newRow("business km") << kindKmSumStatement(march, business) << "10";
        QTest::newRow("business cost") << kindCostSumStatement(march, business) << "1";
        QTest::newRow("private list") << kindListStatement(march, privat) << "2";
        QTest::newRow("private km") << kindKmSumStatement(march, privat) << "20";
        QTest::newRow("private cost") << kindCostSumStatement(march, privat) << "2";
        QTest::newRow("way to work list") << kindListStatement(march, way) << "3 8";
        QTest::newRow("way to work km") << kindKmSumStatement(march, way) << "41";
        QTest::newRow("way to work cost") << kindCostSumStatement(march, way) << "4,5";
        QTest::newRow("no kind list") << kindListStatement(march, none) << "4";
        // A typed year with an apostrophe keeps the statement whole; it matches nothing.
        QTest::newRow("apostrophe") << monthListStatement(periodPattern(".03.", "20'06")) << "";
        QTest::newRow("apostrophe by kind")
            << kindListStatement(periodPattern(".03.", "20'06"), business) << "";
    }

    void selection()
    {
        QFETCH(QString, statement);
        QFETCH(QString, selected);
        // Flags in the order business, private, way to work; id 5 is both private and way to work.
        const auto trip = [](const char* datum, const char* gesamt, const char* kosten, const char* flags) {
            const auto flag = [flags](int i) { return QString::fromLatin1(flags[i] == '1' ? "-1" : "0"); };
            return test::TripRow { .datum = datum,
                .gesamt = gesamt,
                .kosten = kosten,
                .geschaeftl = flag(0),
                .privat = flag(1),
                .zurarbeit = flag(2) };
        };
        test::TempLogbook logbook;
        QVERIFY(logbook.create(nullptr,
            { trip("05.03.2006", "10", "1", "100"), trip("06.03.2006", "20", "2", "010"),
                trip("07.03.2006", "40", "4", "001"), trip("01.03.2006", "80", "8", "000"),
                trip("08.03.2006", "160", "16", "011"), trip("05.04.2006", "320", "32", "100"),
                trip("05.03.2007", "640", "64", "010"), trip("31.03.2006", "1", "0.5", "001") }));
        DataSource source(QStringLiteral("Auswertung"));
        QString error;
        source.setStatement(statement);
        QVERIFY2(source.open(logbook.path(), &error) && source.refresh(&error), qPrintable(error));

        QStringList found;
        const int id = source.columnIndex(QStringLiteral("id"));
        for (int row = 0; row < source.recordCount(); ++row)
            found << source.value(row, id < 0 ? 0 : id);
        QCOMPARE(found.join(u' '), selected);
    }

    // 250,00 and 1201,45 a year over five trips; then 2 x 0,00005 = 0,0001 exactly, as the
    // product is rounded, not the rounded day cost doubled.
    // The search term is matched in date and destination; an apostrophe in it stays text.
    void searchStatement()
    {
        QCOMPARE(odomira::searchStatement("x' or 1=1 --"),
            "select *  from [fahrt] where datum like  '%x'' or 1=1 --%' "
            "or ziel like  '%x'' or 1=1 --%' order by datum asc");
    }

    void carCost()
    {
        QCOMPARE(carCostText(5, dayCost("250,00", "1201,45").value()).value_or("<none>"), "19,8829");
        QCOMPARE(carCostText(2, dayCost("0,01825", "0").value()).value_or("<none>"), "0,0001");
    }
};

QTEST_GUILESS_MAIN(TestStatements)
#include "test_statements.moc"
