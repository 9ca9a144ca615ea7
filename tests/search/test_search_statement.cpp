#include "search/search_statement.h"

#include <QTest>

using namespace odomira;

class TestSearchStatement : public QObject
{
    Q_OBJECT
private slots:
    void statement_data();
    void statement();
    void unsortedListHasNoOrder();
    void noHitMessageQuotesTheTermBare();
};

void TestSearchStatement::statement_data()
{
    QTest::addColumn<QString>("term");
    QTest::addColumn<QString>("expected");

    QTest::newRow("Hamburg") << "Hamburg"
        << "select *  from [fahrt] where datum like  '%Hamburg%' or ziel like  '%Hamburg%' order by datum asc";
    QTest::newRow("empty") << ""
        << "select *  from [fahrt] where datum like  '%%' or ziel like  '%%' order by datum asc";
    QTest::newRow("part of a date") << "03.2006"
        << "select *  from [fahrt] where datum like  '%03.2006%' or ziel like  '%03.2006%' order by datum asc";
    QTest::newRow("blanks kept") << " Bad "
        << "select *  from [fahrt] where datum like  '% Bad %' or ziel like  '% Bad %' order by datum asc";
    QTest::newRow("apostrophe doubled") << "O'Neill"
        << "select *  from [fahrt] where datum like  '%O''Neill%' or ziel like  '%O''Neill%' order by datum asc";
    QTest::newRow("injection stays text") << "x' or 1=1 --"
        << "select *  from [fahrt] where datum like  '%x'' or 1=1 --%' or ziel like  '%x'' or 1=1 --%' order by datum asc";
    QTest::newRow("wildcards kept") << "5_%"
        << "select *  from [fahrt] where datum like  '%5_%%' or ziel like  '%5_%%' order by datum asc";
}

void TestSearchStatement::statement()
{
    QFETCH(QString, term);
    QFETCH(QString, expected);
    QCOMPARE(searchStatement(term), expected);
}

void TestSearchStatement::unsortedListHasNoOrder()
{
    QCOMPARE(unsortedTripListStatement(), QStringLiteral("select *  from [fahrt]"));
}

void TestSearchStatement::noHitMessageQuotesTheTermBare()
{
    QCOMPARE(noHitMessage("Xyz"), QStringLiteral("Es wurden keine Datensätze mit dem Suchbegriff Xyz gefunden"));
    QCOMPARE(noHitMessage(""), QStringLiteral("Es wurden keine Datensätze mit dem Suchbegriff  gefunden"));
}

QTEST_GUILESS_MAIN(TestSearchStatement)
#include "test_search_statement.moc"
