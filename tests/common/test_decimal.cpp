#include "common/currency.h"
#include "common/decimal.h"

#include <QTest>

#include <limits>

using namespace odomira;

namespace {

const QString Max = QStringLiteral("79228162514264337593543950335");
const QString MaxAtScale28 = QStringLiteral("7.9228162514264337593543950335");

std::optional<Decimal> fromText(const QString& text)
{
    const QByteArray bytes = text.toLatin1();
    return Decimal::fromCanonical(std::string_view(bytes.constData(), size_t(bytes.size())));
}

Decimal dec(const QString& text)
{
    const std::optional<Decimal> value = fromText(text);
    if (!value)
        qFatal("test value %s is no decimal", qPrintable(text));
    return *value;
}

// "" stands for an empty result.
QString canonical(const std::optional<Decimal>& value)
{
    return value ? value->toCanonical() : QString();
}

} // namespace

class TestDecimal : public QObject
{
    Q_OBJECT
private slots:
    void arithmetic_data();
    void arithmetic();
    void costChains_data();
    void costChains();
    void compare_data();
    void compare();
    void rounded_data();
    void rounded();
    void fromParts();
    void fromInt();
    void fromCanonical_data();
    void fromCanonical();
    void currencyFromDecimal_data();
    void currencyFromDecimal();
    void currencyToDecimal();
};

void TestDecimal::arithmetic_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QChar>("op");
    QTest::addColumn<QString>("b");
    QTest::addColumn<QString>("expected"); // "" = no result
    const auto row = [](const char* name, const QString& a, char op, const QString& b,
                         const QString& expected) { QTest::newRow(name) << a << QChar(op) << b << expected; };
    const QString tiny = QStringLiteral("0.0000000000000000000000000001");

    // Cost per day at full precision.
    row("250 / 365", "250", '/', "365", "0.6849315068493150684931506849");
    row("1201,45 / 365", "1201.45", '/', "365", "3.2916438356164383561643835616");
    row("tageskosten", "0.6849315068493150684931506849", '+', "3.2916438356164383561643835616",
        "3.9765753424657534246575342465");
    // 30 digits exactly; the coefficient holds 29, so the scale drops to 27 (…2325 goes to the even …232).
    row("5 x tageskosten", "5", '*', "3.9765753424657534246575342465", "19.882876712328767123287671232");

    row("exact division", "7.9", '/', "100", "0.079");
    row("1 / 8", "1", '/', "8", "0.125");
    row("1 / 3", "1", '/', "3", "0.3333333333333333333333333333");
    row("2 / 3 rounds up", "2", '/', "3", "0.6666666666666666666666666667");
    row("-1 / 3", "-1", '/', "3", "-0.3333333333333333333333333333");
    row("10 / 3: 29 digits fit", "10", '/', "3", "3.3333333333333333333333333333");
    row("100 / 3: scale 27", "100", '/', "3", "33.333333333333333333333333333");
    row("tiny / 3 rounds to zero", tiny, '/', "3", "0");
    row("max / 2 to even", Max, '/', "2", "39614081257132168796771975168");
    row("max / 0,1", Max, '/', "0.1", "");
    row("divide by zero", "1", '/', "0.00", "");
    row("zero / 5", "-0.0", '/', "5", "0");

    row("fractional readings", "110", '-', "100.5", "9.5");
    row("end below start", "50", '-', "60", "-10");
    row("difference to zero", "1.1", '-', "1.10", "0");
    row("1 + 10^-28", "1", '+', tiny, "1.0000000000000000000000000001");
    row("max + 10^-28", Max, '+', tiny, Max);
    row("max + 0,4", Max, '+', "0.4", Max);
    row("max + 0,5 rounds past max", Max, '+', "0.5", "");
    row("max - 0,5 to even", Max, '-', "0.5", "79228162514264337593543950334");
    row("max + 1", Max, '+', "1", "");
    row("-max - 1", "-" + Max, '-', "1", "");
    row("scale 28 doubled", MaxAtScale28, '+', MaxAtScale28, "15.845632502852867518708790067");

    row("max x 1", Max, '*', "1", Max);
    row("max x 0,1", Max, '*', "0.1", "7922816251426433759354395033.5");
    row("max x 10", Max, '*', "10", "");
    row("max x -max", Max, '*', "-" + Max, "");
    row("192-bit product", MaxAtScale28, '*', MaxAtScale28, "62.77101735386680763835789423");
    row("18 x 18 digits", "123456789.123456789", '*', "987654321.987654321",
        "121932631356500531.34720316911");
    row("scale 29 rounds up", "0.0000000000000000000000000015", '*', "0.1", "0.0000000000000000000000000002");
    row("scale 29 half to even zero", "0.0000000000000000000000000005", '*', "0.1", "0");
    row("negative x negative", "-0.08", '*', "-10", "0.8");
}

void TestDecimal::arithmetic()
{
    QFETCH(QString, a);
    QFETCH(QChar, op);
    QFETCH(QString, b);
    QFETCH(QString, expected);

    const Decimal x = dec(a);
    const Decimal y = dec(b);
    std::optional<Decimal> result;
    switch (op.unicode()) {
    case u'+':
        result = x.add(y);
        break;
    case u'-':
        result = x.subtract(y);
        break;
    case u'*':
        result = x.multiply(y);
        break;
    default:
        result = x.divide(y);
        break;
    }
    QCOMPARE(canonical(result), expected);
    if (result) {
        QVERIFY(result->coefficient() <= Decimal::MaxCoefficient);
        QVERIFY(result->scale() >= 0 && result->scale() <= Decimal::MaxScale);
        QVERIFY(!(result->isZero() && result->isNegative()));
    }
}

void TestDecimal::costChains_data()
{
    QTest::addColumn<QString>("verbrauch");
    QTest::addColumn<QString>("km");
    QTest::addColumn<QString>("preis");
    QTest::addColumn<QString>("cost");

    QTest::newRow("7,9 x 2 x 1,33") << "7.9"
                                    << "2"
                                    << "1.33"
                                    << "0.21014";
    QTest::newRow("6,5 x 345 x 1,159") << "6.5"
                                       << "345"
                                       << "1.159"
                                       << "25.990575";
    QTest::newRow("5 x 1 x 1,001") << "5"
                                   << "1"
                                   << "1.001"
                                   << "0.05005";
    QTest::newRow("8 x -10 x 1,20") << "8"
                                    << "-10"
                                    << "1.20"
                                    << "-0.96";
}

void TestDecimal::costChains()
{
    QFETCH(QString, verbrauch);
    QFETCH(QString, km);
    QFETCH(QString, preis);
    QFETCH(QString, cost);

    // Consumption / 100, times kilometres, times price: exact at every step.
    const auto perKm = dec(verbrauch).divide(Decimal::fromInt(100));
    QVERIFY(perKm);
    const auto forKm = perKm->multiply(dec(km));
    QVERIFY(forKm);
    const auto result = forKm->multiply(dec(preis));
    QCOMPARE(canonical(result), cost);
}

void TestDecimal::compare_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<int>("expected");

    QTest::newRow("trailing zeros") << "1.50"
                                    << "1.5" << 0;
    QTest::newRow("negative zero") << "-0.00"
                                   << "0" << 0;
    QTest::newRow("smaller scale bigger") << "2"
                                          << "1.9999999999999999999999999999" << 1;
    QTest::newRow("negatives") << "-2"
                               << "-10" << 1;
    QTest::newRow("signs") << "-1"
                           << "0.5" << -1;
    QTest::newRow("tiny vs zero") << "0.0000000000000000000000000001"
                                  << "0" << 1;
    QTest::newRow("tiny negative vs zero") << "-0.0000000000000000000000000001"
                                           << "0" << -1;
    QTest::newRow("max vs max at scale 28") << Max << MaxAtScale28 << 1;
    QTest::newRow("wide alignment") << "7922816251426433759354395033.5" << Max << -1;
}

void TestDecimal::compare()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(int, expected);

    QCOMPARE(dec(a).compare(dec(b)), expected);
    QCOMPARE(dec(b).compare(dec(a)), -expected);
    QCOMPARE(dec(a) == dec(b), expected == 0);
    QCOMPARE(dec(a) < dec(b), expected < 0);
}

void TestDecimal::rounded_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("scale");
    QTest::addColumn<QString>("expected");

    QTest::newRow("2,5") << "2.5" << 0 << "2";
    QTest::newRow("3,5") << "3.5" << 0 << "4";
    QTest::newRow("-2,5") << "-2.5" << 0 << "-2";
    QTest::newRow("-3,5") << "-3.5" << 0 << "-4";
    QTest::newRow("2,51") << "2.51" << 0 << "3";
    QTest::newRow("0,05005") << "0.05005" << 4 << "0.05";
    QTest::newRow("25,990575") << "25.990575" << 4 << "25.9906";
    QTest::newRow("-0,00005 to zero") << "-0.00005" << 4 << "0";
    QTest::newRow("-0,00015") << "-0.00015" << 4 << "-0.0002";
    QTest::newRow("fewer decimals already") << "1.2345" << 10 << "1.2345";
    QTest::newRow("max at scale 28 to 0") << MaxAtScale28 << 0 << "8";
    QTest::newRow("max at scale 28 to 27 half to even")
        << MaxAtScale28 << 27 << "7.922816251426433759354395034";
}

void TestDecimal::rounded()
{
    QFETCH(QString, value);
    QFETCH(int, scale);
    QFETCH(QString, expected);

    const Decimal result = dec(value).rounded(scale);
    QCOMPARE(result.toCanonical(), expected);
    QVERIFY(result.scale() <= scale);
    QVERIFY(!(result.isZero() && result.isNegative()));
}

void TestDecimal::fromParts()
{
    QVERIFY(Decimal::fromParts(false, Decimal::MaxCoefficient, 28));
    QVERIFY(!Decimal::fromParts(false, Decimal::MaxCoefficient + 1, 0));
    QVERIFY(!Decimal::fromParts(false, 1, 29));
    QVERIFY(!Decimal::fromParts(false, 1, -1));
    QCOMPARE(Decimal::fromParts(false, Decimal::MaxCoefficient, 0)->toCanonical(), Max);

    const Decimal negativeZero = *Decimal::fromParts(true, 0, 3);
    QCOMPARE(negativeZero, Decimal());
    QCOMPARE(negativeZero.toCanonical(), QStringLiteral("0"));
    QCOMPARE(negativeZero.normalized().scale(), 0);

    const Decimal trailing = *Decimal::fromParts(true, 150000, 5);
    QCOMPARE(trailing.normalized().coefficient(), Decimal::Coefficient(15));
    QCOMPARE(trailing.normalized().scale(), 1);
    QVERIFY(trailing.normalized().isNegative());
}

void TestDecimal::fromInt()
{
    QCOMPARE(Decimal::fromInt(std::numeric_limits<qint64>::min()).toCanonical(),
        QStringLiteral("-9223372036854775808"));
    QCOMPARE(Decimal::fromInt(std::numeric_limits<qint64>::max()).toCanonical(),
        QStringLiteral("9223372036854775807"));
    QCOMPARE(Decimal::fromInt(0).toCanonical(), QStringLiteral("0"));
}

void TestDecimal::fromCanonical_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected"); // "" = refused
    const auto row = [](const char* name, const QString& text, const QString& expected) {
        QTest::newRow(name) << text << expected;
    };

    row("negative", "-12.5", "-12.5");
    row("integer", "12", "12");
    row("plus", "+12", "12");
    row("exponent", "1.5e3", "1500");
    row("negative exponent", "1.0E-2", "0.01");
    row("SQLite large real", "1.0e+20", "100000000000000000000");
    row("negative zero", "-0", "0");
    row("zeros", "0.000", "0");
    row("no integer digits", ".5", "0.5");
    row("max", Max, Max);
    row("max + 1", "79228162514264337593543950336", "");
    row("max at scale 28", MaxAtScale28, MaxAtScale28);
    // 30 digits: the dropped 5 rounds the odd coefficient past the maximum, so one more digit goes.
    row("rounding past max", "7.92281625142643375935439503355", "7.922816251426433759354395034");
    row("29 decimals half to even", "0.00000000000000000000000000005", "0");
    row("29 decimals rounds up", "0.00000000000000000000000000015", "0.0000000000000000000000000002");
    row("many decimals", "0.1234567890123456789012345678912", "0.1234567890123456789012345679");
    row("digits into the exponent", "123456789012345678901234567890e-2", "1234567890123456789012345678.9");
    row("far below", "1e-40", "0");
    row("1e28", "1e28", "10000000000000000000000000000");
    row("1e29", "1e29", "");
    row("huge exponent", "1.5e99999999999999999999", "");
    row("zero with huge exponent", "0e99999999999", "0");
    row("tiny with huge exponent", "1e-99999999999999999999", "0");
    for (const char* refused : { "", "-", ".", "abc", "1e", "1.2.3", "1,5", " 1", "1e5x", "Inf", "NaN" })
        QTest::addRow("refused \"%s\"", refused) << QString::fromLatin1(refused) << QString();
}

void TestDecimal::fromCanonical()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);

    QCOMPARE(canonical(fromText(text)), expected);
}

void TestDecimal::currencyFromDecimal_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<qint64>("units");
    QTest::addColumn<bool>("fits");

    const qint64 maxUnits = std::numeric_limits<qint64>::max();
    const qint64 minUnits = std::numeric_limits<qint64>::min();
    QTest::newRow("0,05005 half down to even") << "0.05005" << qint64(500) << true;
    QTest::newRow("25,990575") << "25.990575" << qint64(259906) << true;
    QTest::newRow("0,21014") << "0.21014" << qint64(2101) << true;
    QTest::newRow("0,00015 half up to even") << "0.00015" << qint64(2) << true;
    QTest::newRow("0,00025 half down to even") << "0.00025" << qint64(2) << true;
    QTest::newRow("-0,00005 to zero") << "-0.00005" << qint64(0) << true;
    QTest::newRow("-0,00015") << "-0.00015" << qint64(-2) << true;
    QTest::newRow("-0,96") << "-0.96" << qint64(-9600) << true;
    QTest::newRow("whole") << "3" << qint64(30000) << true;
    QTest::newRow("tageskosten") << "3.9765753424657534246575342465" << qint64(39766) << true;
    QTest::newRow("largest") << "922337203685477.5807" << maxUnits << true;
    QTest::newRow("largest + 1") << "922337203685477.5808" << qint64(0) << false;
    QTest::newRow("rounds past largest") << "922337203685477.58075" << qint64(0) << false;
    QTest::newRow("smallest") << "-922337203685477.5808" << minUnits << true;
    QTest::newRow("rounds to smallest") << "-922337203685477.58085" << minUnits << true;
    QTest::newRow("smallest - 1") << "-922337203685477.5809" << qint64(0) << false;
    QTest::newRow("max decimal") << Max << qint64(0) << false;
}

void TestDecimal::currencyFromDecimal()
{
    QFETCH(QString, value);
    QFETCH(qint64, units);
    QFETCH(bool, fits);

    const std::optional<Currency> amount = Currency::fromDecimal(dec(value));
    QCOMPARE(amount.has_value(), fits);
    if (fits)
        QCOMPARE(amount->units(), units);
}

void TestDecimal::currencyToDecimal()
{
    QCOMPARE(Currency::fromUnits(-9600).toDecimal().toCanonical(), QStringLiteral("-0.96"));
    const Currency smallest = Currency::fromUnits(std::numeric_limits<qint64>::min());
    QCOMPARE(smallest.toDecimal().toCanonical(), QStringLiteral("-922337203685477.5808"));
    QCOMPARE(Currency::fromDecimal(smallest.toDecimal()), smallest);
}

QTEST_GUILESS_MAIN(TestDecimal)
#include "test_decimal.moc"
