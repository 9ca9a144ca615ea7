#include "common/currency.h"
#include "common/decimal.h"
#include "support/temp_logbook.h"

#include <QTest>

#include <limits>

using namespace odomira;
using odomira::test::addRow;

namespace {

const QString Max = QStringLiteral("79228162514264337593543950335");
const QString MaxAtScale28 = QStringLiteral("7.9228162514264337593543950335");
const QString Tiny = QStringLiteral("0.0000000000000000000000000001");

std::optional<Decimal> fromText(const QString& text)
{
    return Decimal::fromCanonical(text.toStdString());
}

Decimal dec(const QString& text)
{
    return fromText(text).value();
}

} // namespace

class TestDecimal : public QObject {
    Q_OBJECT
private slots:
    void calculate_data();
    void calculate();
    void compare_data();
    void compare();
    void construction();
};

// `a op b`, written in machine form; "" for an empty result. Besides + - * /: "round" to b
// decimals, "read" a itself from its machine form, "currency" a as a currency amount.
void TestDecimal::calculate_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("op");
    QTest::addColumn<QString>("b");
    QTest::addColumn<QString>("expected");
    const auto read = [](const char* name, const QString& text, const QString& expected) {
        addRow(name, text, "read", "", expected);
    };
    const auto currency = [](const char* name, const QString& value, const QString& expected) {
        addRow(name, value, "currency", "", expected);
    };

    // Cost per day at full precision, then five days of it.
    addRow("250 / 365", "250", "/", "365", "0.6849315068493150684931506849");
    addRow("tageskosten", "0.6849315068493150684931506849", "+", "3.2916438356164383561643835616",
        "3.9765753424657534246575342465");
    // 30 digits exactly; the coefficient holds 29, so the scale drops to 27 (…2325 goes to the even …232).
    addRow("5 x tageskosten", "5", "*", "3.9765753424657534246575342465", "19.882876712328767123287671232");
    // Fuel cost: consumption / 100 x kilometres x price, exact at every step.
    addRow("7,9 / 100", "7.9", "/", "100", "0.079");
    addRow("0,158 x 1,33", "0.158", "*", "1.33", "0.21014");
    addRow("22,425 x 1,159", "22.425", "*", "1.159", "25.990575");
    addRow("negative x negative", "-0.08", "*", "-10", "0.8");

    addRow("-2 / 3 rounds away", "-2", "/", "3", "-0.6666666666666666666666666667");
    addRow("tiny / 3 rounds to zero", "-" + Tiny, "/", "3", "0");
    // Half way at scale 28: to the even digit, down from 0,5 and up from 1,5 units.
    addRow("tiny / 2 half to even zero", Tiny, "/", "2", "0");
    addRow("-3 tiny / 2 half to even", "-0.0000000000000000000000000003", "/", "2",
        "-0.0000000000000000000000000002");
    addRow("max / 2 to even", Max, "/", "2", "39614081257132168796771975168");
    addRow("max / 0,1", Max, "/", "0.1", "");
    addRow("divide by zero", "1", "/", "0.00", "");

    addRow("difference to zero", "-1.1", "-", "-1.10", "0");
    addRow("max + 10^-28", Max, "+", Tiny, Max);
    addRow("max + 0,5 rounds past max", Max, "+", "0.5", "");
    addRow("max - 0,5 to even", Max, "-", "0.5", "79228162514264337593543950334");
    addRow("-max - 1", "-" + Max, "-", "1", "");
    addRow("scale 28 doubled", MaxAtScale28, "+", MaxAtScale28, "15.845632502852867518708790067");

    addRow("max x 10", Max, "*", "10", "");
    addRow("192-bit product", MaxAtScale28, "*", MaxAtScale28, "62.77101735386680763835789423");
    addRow(
        "scale 29 rounds up", "0.0000000000000000000000000015", "*", "0.1", "0.0000000000000000000000000002");
    addRow("scale 29 half to even zero", "-0.0000000000000000000000000005", "*", "0.1", "0");

    // Half to even at both signs.
    addRow("2,5 to even", "2.5", "round", "0", "2");
    addRow("3,5 to even", "3.5", "round", "0", "4");
    addRow("-2,5 to even", "-2.5", "round", "0", "-2");
    addRow("-0,00005 to 4 is zero", "-0.00005", "round", "4", "0");
    addRow("fewer decimals already", "1.2345", "round", "10", "1.2345");
    addRow("max at scale 28 to 0", MaxAtScale28, "round", "0", "8");

    read("plus", "+12", "12");
    read("exponent", "1.5e3", "1500");
    read("SQLite large real", "1.0e+20", "100000000000000000000");
    read("max + 1", "79228162514264337593543950336", "");
    // 30 digits: the dropped 5 rounds the odd coefficient past the maximum, so one more digit goes.
    read("rounding past max", "7.92281625142643375935439503355", "7.922816251426433759354395034");
    read("29 decimals half to even", "0.00000000000000000000000000005", "0");
    read("many decimals", "0.1234567890123456789012345678912", "0.1234567890123456789012345679");
    read("digits into the exponent", "123456789012345678901234567890e-2", "1234567890123456789012345678.9");
    read("huge exponent", "1.5e99999999999999999999", "");
    read("zero with huge exponent", "0e99999999999", "0");
    for (const char* refused : { "", "-", ".", "abc", "1e", "1.2.3", "1,5", " 1", "1e5x", "Inf", "NaN" })
        read(qPrintable(QStringLiteral("refused \"%1\"").arg(refused)), refused, "");

    // Four decimals, half to even; 64 bits of ten-thousandths.
    currency("0,05005 half down to even", "0.05005", "0.05");
    currency("25,990575 half up", "25.990575", "25.9906");
    currency("0,00015 half up to even", "0.00015", "0.0002");
    currency("-0,00005 to zero", "-0.00005", "0");
    currency("tageskosten", "3.9765753424657534246575342465", "3.9766");
    currency("largest + 1", "922337203685477.5808", "");
    currency("rounds past largest", "922337203685477.58075", "");
    currency("rounds to smallest", "-922337203685477.58085", "-922337203685477.5808");
    currency("smallest - 1", "-922337203685477.5809", "");
}

void TestDecimal::calculate()
{
    QFETCH(QString, a);
    QFETCH(QString, op);
    QFETCH(QString, b);
    QFETCH(QString, expected);

    std::optional<Decimal> result = fromText(a);
    if (op == u"currency") {
        const std::optional<Currency> amount = Currency::fromDecimal(result.value());
        result = amount ? std::optional(amount->toDecimal()) : std::nullopt;
    } else if (op != u"read") {
        const Decimal x = result.value();
        const Decimal y = dec(b);
        result = op == u"+" ? x.add(y)
            : op == u"-"    ? x.subtract(y)
            : op == u"*"    ? x.multiply(y)
            : op == u"/"    ? x.divide(y)
                            : std::optional(x.rounded(b.toInt()));
    }
    QCOMPARE(result ? result->toCanonical() : QString(), expected);
    if (!result)
        return;
    QVERIFY(result->coefficient() <= Decimal::MaxCoefficient);
    QVERIFY(result->scale() >= 0 && result->scale() <= (op == u"round" ? b.toInt() : Decimal::MaxScale));
    QVERIFY(!(result->isZero() && result->isNegative()));
}

void TestDecimal::compare_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<int>("expected");

    addRow("trailing zeros", "1.50", "1.5", 0);
    addRow("negative zero", "-0.00", "0", 0);
    addRow("smaller scale bigger", "2", "1.9999999999999999999999999999", 1);
    addRow("negatives", "-2", "-10", 1);
    addRow("tiny negative vs zero", "-" + Tiny, "0", -1);
    addRow("signs", "-1", "0.5", -1);
    addRow("wide alignment", "7922816251426433759354395033.5", Max, -1);
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

void TestDecimal::construction()
{
    QCOMPARE(Decimal::fromParts(false, Decimal::MaxCoefficient, 0)->toCanonical(), Max);
    QVERIFY(Decimal::fromParts(false, Decimal::MaxCoefficient, 28));
    QVERIFY(!Decimal::fromParts(false, Decimal::MaxCoefficient + 1, 0) && !Decimal::fromParts(false, 1, 29)
        && !Decimal::fromParts(false, 1, -1));

    const Decimal negativeZero = *Decimal::fromParts(true, 0, 3);
    QVERIFY(negativeZero == Decimal() && negativeZero.toCanonical() == "0"
        && negativeZero.normalized().scale() == 0);
    const Decimal trailing = Decimal::fromParts(true, 150000, 5)->normalized();
    QVERIFY(trailing.coefficient() == 15 && trailing.scale() == 1 && trailing.isNegative());
    constexpr qint64 Min64 = std::numeric_limits<qint64>::min();
    QCOMPARE(Decimal::fromInt(Min64).toCanonical(), "-9223372036854775808");
    QCOMPARE(Decimal::fromInt(std::numeric_limits<qint64>::max()).toCanonical(), "9223372036854775807");
    QCOMPARE(Currency::fromDecimal(dec("-922337203685477.5808"))->units(), Min64);
    QCOMPARE(Currency::fromUnits(Min64).toDecimal().toCanonical(), "-922337203685477.5808");
}

QTEST_GUILESS_MAIN(TestDecimal)
#include "test_decimal.moc"
