#include "search/search_statement.h"

#include <QTest>

using namespace odomira;

class TestSearchStatement : public QObject
{
    Q_OBJECT
private slots:
    void statement_data();
    void statement();
};

void TestSearchStatement::statement_data()
{
    QTest::addColumn<QString>("term");
    QTest::addColumn<QString>("condition"); // the LIKE text, used for date and destination

    QTest::newRow("Hamburg") << "Hamburg" << "'%Hamburg%'";
    QTest::newRow("blanks kept") << " Bad " << "'% Bad %'";
    QTest::newRow("apostrophe doubled") << "O'Neill" << "'%O''Neill%'";
    QTest::newRow("injection stays text") << "x' or 1=1 --" << "'%x'' or 1=1 --%'";
    QTest::newRow("wildcards kept") << "5_%" << "'%5_%%'";
}

void TestSearchStatement::statement()
{
    QFETCH(QString, term);
    QFETCH(QString, condition);
    QCOMPARE(searchStatement(term), "select *  from [fahrt] where datum like  " + condition
                                        + " or ziel like  " + condition + " order by datum asc");
}

QTEST_GUILESS_MAIN(TestSearchStatement)
#include "test_search_statement.moc"
