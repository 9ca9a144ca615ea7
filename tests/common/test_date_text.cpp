#include "common/date_text.h"

#include <QTest>

using namespace odomira;

class TestDateText : public QObject
{
    Q_OBJECT
private slots:
    void reads_data();
    void reads();
    void refuses_data();
    void refuses();
    void writes_data();
    void writes();
};

void TestDateText::reads_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDate>("date");

    QTest::newRow("short") << "5.3.2007" << QDate(2007, 3, 5);
    QTest::newRow("two digits") << "05.03.2007" << QDate(2007, 3, 5);
    QTest::newRow("mixed") << "5.03.2007" << QDate(2007, 3, 5);
    QTest::newRow("blanks around") << " \t31.12.2006 " << QDate(2006, 12, 31);
    QTest::newRow("leap day") << "29.02.2008" << QDate(2008, 2, 29);
    QTest::newRow("last year") << "31.12.9999" << QDate(9999, 12, 31);
}

void TestDateText::reads()
{
    QFETCH(QString, text);
    QFETCH(QDate, date);

    QString error;
    const std::optional<QDate> read = parseDate(text, &error);
    QVERIFY2(read, qPrintable(error));
    QCOMPARE(*read, date);
}

void TestDateText::refuses_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("error");
    const auto row = [](const char* name, const QString& text, const QString& error) {
        QTest::newRow(name) << text << error;
    };

    row("empty", "", "Kein Datum angegeben.");
    row("blanks", "  ", "Kein Datum angegeben.");
    row("no such day", "31.02.2007", "Den Tag „31.02.2007“ gibt es nicht.");
    row("no leap day", "29.2.2007", "Den Tag „29.2.2007“ gibt es nicht.");
    row("month 13", "5.13.2007", "Den Tag „5.13.2007“ gibt es nicht.");
    row("day 0", "0.1.2007", "Den Tag „0.1.2007“ gibt es nicht.");
    row("year missing", "5.3.", "„5.3.“ ist kein Datum: das Jahr fehlt.");
    row("two-digit year", "5.3.07", "„5.3.07“ ist kein Datum: das Jahr muss vierstellig sein.");
    row("five-digit year", "5.3.20071", "„5.3.20071“ ist kein Datum: das Jahr muss vierstellig sein.");
    row("letters", "abc", "„abc“ ist kein Datum der Form TT.MM.JJJJ.");
    row("no second period", "5.3", "„5.3“ ist kein Datum der Form TT.MM.JJJJ.");
    row("three-digit day", "005.3.2007", "„005.3.2007“ ist kein Datum der Form TT.MM.JJJJ.");
    row("inner blank", "5. 3.2007", "„5. 3.2007“ ist kein Datum der Form TT.MM.JJJJ.");
    row("slashes", "5/3/2007", "„5/3/2007“ ist kein Datum der Form TT.MM.JJJJ.");
    row("ISO", "2007-03-05", "„2007-03-05“ ist kein Datum der Form TT.MM.JJJJ.");
    row("trailing text", "5.3.2007x", "„5.3.2007x“ ist kein Datum der Form TT.MM.JJJJ.");
}

void TestDateText::refuses()
{
    QFETCH(QString, text);
    QFETCH(QString, error);

    QString message;
    QVERIFY(!parseDate(text, &message));
    QCOMPARE(message, error);
    QVERIFY(!parseDate(text));
}

void TestDateText::writes_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("text");

    QTest::newRow("padded") << QDate(2007, 3, 5) << "05.03.2007";
    QTest::newRow("two digits") << QDate(2006, 12, 31) << "31.12.2006";
    QTest::newRow("short year") << QDate(999, 1, 1) << "01.01.0999";
    QTest::newRow("invalid") << QDate() << "";
    QTest::newRow("year before 1") << QDate(-5, 1, 1) << "";
}

void TestDateText::writes()
{
    QFETCH(QDate, date);
    QFETCH(QString, text);

    QCOMPARE(dateText(date), text);
    if (!text.isEmpty())
        QCOMPARE(parseDate(text), std::optional<QDate>(date));
}

QTEST_GUILESS_MAIN(TestDateText)
#include "test_date_text.moc"
