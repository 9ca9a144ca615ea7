#include "common/number_text.h"

#include <QTest>

#include <limits>

using namespace odomira;

namespace {

Decimal dec(const char* canonical)
{
    const std::optional<Decimal> value = Decimal::fromCanonical(canonical);
    if (!value)
        qFatal("test value %s is no decimal", canonical);
    return *value;
}

} // namespace

class TestNumberText : public QObject
{
    Q_OBJECT
private slots:
    void reads_data();
    void reads();
    void refuses_data();
    void refuses();
    void writesNumbers_data();
    void writesNumbers();
    void writesCurrency_data();
    void writesCurrency();
};

void TestNumberText::reads_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("canonical");
    const auto row = [](const char* name, const QString& text, const QString& canonical) {
        QTest::newRow(name) << text << canonical;
    };

    row("integer", "2", "2");
    row("comma", "2,5", "2.5");
    row("minus", "-10", "-10");
    row("plus", "+5", "5");
    row("period is grouping", "7.9", "79");
    row("grouping and comma", "1.234,5", "1234.5");
    row("thousand", "1.000", "1000");
    row("odd grouping", "1.2.3", "123");
    row("blanks around", "  12,5\t", "12.5");
    row("no integer digits", ",5", "0.5");
    row("no decimals", "5,", "5");
    row("negative decimals", "-0,96", "-0.96");
    row("zero decimals", "250,00", "250");
    row("negative zero", "-0", "0");
    row("half-way cost", "0,05005", "0.05005");
    row("max grouped", "79.228.162.514.264.337.593.543.950.335", "79228162514264337593543950335");
    row("28 decimals", "0,0000000000000000000000000001", "0.0000000000000000000000000001");
    row("30 decimals rounded", "0,123456789012345678901234567891", "0.1234567890123456789012345679");
    row("30 digits rounded", "7,92281625142643375935439503355", "7.922816251426433759354395034");
}

void TestNumberText::reads()
{
    QFETCH(QString, text);
    QFETCH(QString, canonical);

    QString error = QStringLiteral("untouched");
    const std::optional<Decimal> value = parseNumber(text, &error);
    QVERIFY2(value, qPrintable(error));
    QCOMPARE(value->toCanonical(), canonical);
    QCOMPARE(error, QStringLiteral("untouched"));
}

void TestNumberText::refuses_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("error");
    const auto row = [](const char* name, const QString& text, const QString& error) {
        QTest::newRow(name) << text << error;
    };

    row("empty", "", "Keine Zahl angegeben.");
    row("blanks", " \t ", "Keine Zahl angegeben.");
    row("letters", "abc", "„abc“ ist keine Zahl.");
    row("letters quoted trimmed", " 12a ", "„12a“ ist keine Zahl.");
    row("two commas", "1,2,3", "„1,2,3“ hat mehr als ein Komma.");
    row("minus alone", "-", "„-“ ist keine Zahl.");
    row("grouping alone", ".", "„.“ ist keine Zahl.");
    row("inner blank", "1 000", "„1 000“ enthält ein Leerzeichen.");
    row("blank after minus", "- 5", "„- 5“ enthält ein Leerzeichen.");
    row("two signs", "--5", "„--5“ ist keine Zahl.");
    row("trailing minus", "5-", "„5-“ ist keine Zahl.");
    row("period among decimals", "1,5.3", "„1,5.3“ ist keine Zahl.");
    row("exponent", "1e3", "„1e3“ ist keine Zahl.");
    row("other digits", QStringLiteral("\u0663"), QStringLiteral("„\u0663“ ist keine Zahl."));
    row("too large", "79228162514264337593543950336", "„79228162514264337593543950336“ ist zu groß.");
    row("too large with decimals", "79228162514264337593543950335,5",
        "„79228162514264337593543950335,5“ ist zu groß.");
    row("long text cut", QString(50, QChar('x')), "„" + QString(40, QChar('x')) + "…“ ist keine Zahl.");
}

void TestNumberText::refuses()
{
    QFETCH(QString, text);
    QFETCH(QString, error);

    QString message;
    QVERIFY(!parseNumber(text, &message));
    QCOMPARE(message, error);
    QVERIFY(!parseNumber(text)); // without a place for the message
}

void TestNumberText::writesNumbers_data()
{
    QTest::addColumn<QString>("canonical");
    QTest::addColumn<QString>("text");
    const auto row = [](const char* name, const QString& canonical, const QString& text) {
        QTest::newRow(name) << canonical << text;
    };

    row("integer", "2", "2");
    row("decimals", "2.5", "2,5");
    row("trailing zeros dropped", "2.500", "2,5");
    row("negative", "-10", "-10");
    row("no grouping", "1234567.5", "1234567,5");
    row("below one", "-0.079", "-0,079");
    row("negative zero", "-0.00", "0");
    row("scale 28", "7.9228162514264337593543950335", "7,9228162514264337593543950335");
    row("smallest", "-0.0000000000000000000000000001", "-0,0000000000000000000000000001");
}

void TestNumberText::writesNumbers()
{
    QFETCH(QString, canonical);
    QFETCH(QString, text);

    const Decimal value = dec(qPrintable(canonical));
    QCOMPARE(numberText(value), text);
    // The kilometres are written and read back: nothing may be lost.
    QCOMPARE(*parseNumber(numberText(value)), value);
}

void TestNumberText::writesCurrency_data()
{
    QTest::addColumn<qint64>("units");
    QTest::addColumn<QString>("text");

    QTest::newRow("four decimals") << qint64(2101) << "0,2101";
    QTest::newRow("one decimal") << qint64(125000) << "12,5";
    QTest::newRow("whole") << qint64(30000) << "3";
    QTest::newRow("zero") << qint64(0) << "0";
    QTest::newRow("negative") << qint64(-9600) << "-0,96";
    QTest::newRow("smallest unit") << qint64(-5) << "-0,0005";
    QTest::newRow("cost per day") << qint64(2740) << "0,274";
    QTest::newRow("largest") << std::numeric_limits<qint64>::max() << "922337203685477,5807";
    QTest::newRow("smallest") << std::numeric_limits<qint64>::min() << "-922337203685477,5808";
}

void TestNumberText::writesCurrency()
{
    QFETCH(qint64, units);
    QFETCH(QString, text);

    QCOMPARE(currencyText(Currency::fromUnits(units)), text);
    QCOMPARE(Currency::fromDecimal(*parseNumber(text))->units(), units);
}

QTEST_GUILESS_MAIN(TestNumberText)
#include "test_number_text.moc"
