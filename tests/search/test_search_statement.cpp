#include "search/search_statement.h"

#include <QTest>

using namespace odomira;

class TestSearchStatement : public QObject {
    Q_OBJECT
private slots:
    // The term is matched in date and destination; an apostrophe in it stays text.
    void statement()
    {
        QCOMPARE(searchStatement("Hamburg"),
            "select *  from [fahrt] where datum like  '%Hamburg%' "
            "or ziel like  '%Hamburg%' order by datum asc");
        QCOMPARE(searchStatement("x' or 1=1 --"),
            "select *  from [fahrt] where datum like  '%x'' or 1=1 --%' "
            "or ziel like  '%x'' or 1=1 --%' order by datum asc");
    }
};

QTEST_GUILESS_MAIN(TestSearchStatement)
#include "test_search_statement.moc"
