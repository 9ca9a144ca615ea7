#include "evaluation/period.h"

#include <QTest>

using namespace odomira;

class TestPeriod : public QObject
{
    Q_OBJECT
private slots:
    void listsTheTwelveMonthsInOrder();
    void monthPart_data();
    void monthPart();
    void patternJoinsBothParts();
};

void TestPeriod::listsTheTwelveMonthsInOrder()
{
    const QStringList expected = {"Januar", "Februar", "März", "April", "Mai", "Juni", "Juli",
                                  "August", "September", "Oktober", "November", "Dezember"};
    QCOMPARE(monthNames(), expected);
    QCOMPARE(monthNames().at(2).size(), 4); // "ä" is one character
}

void TestPeriod::monthPart_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("part"); // null: names no month

    QTest::newRow("Januar") << "Januar" << ".01.";
    QTest::newRow("März") << "März" << ".03.";
    QTest::newRow("Mai") << "Mai" << ".05.";
    QTest::newRow("September") << "September" << ".09.";
    QTest::newRow("Dezember") << "Dezember" << ".12.";
    QTest::newRow("lower case") << "mai" << QString();
    QTest::newRow("trailing blank") << "Mai " << QString();
    QTest::newRow("leading blank") << " Mai" << QString();
    QTest::newRow("decomposed ä") << QStringLiteral("Ma\u0308rz") << QString();
    QTest::newRow("Maerz") << "Maerz" << QString();
    QTest::newRow("prompt") << ".. Monat Wählen" << QString();
    QTest::newRow("empty") << "" << QString();
}

void TestPeriod::monthPart()
{
    QFETCH(QString, text);
    QFETCH(QString, part);

    const std::optional<QString> result = odomira::monthPart(text);
    QCOMPARE(result.has_value(), !part.isNull());
    if (result)
        QCOMPARE(*result, part);
}

void TestPeriod::patternJoinsBothParts()
{
    QCOMPARE(periodPattern(".03.", "2006"), QStringLiteral("%.03.2006%"));
    QCOMPARE(periodPattern(".12.", "2007"), QStringLiteral("%.12.2007%"));
    QCOMPARE(periodPattern("", "2006"), QStringLiteral("%2006%"));
    QCOMPARE(periodPattern(".03.", "... Jahr wählen"), QStringLiteral("%.03.... Jahr wählen%"));
    QCOMPARE(periodPattern(".03.", "06"), QStringLiteral("%.03.06%"));
}

QTEST_GUILESS_MAIN(TestPeriod)
#include "test_period.moc"
