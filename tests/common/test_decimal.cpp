#include "common/currency.h"
#include "common/decimal.h"
#include "support/temp_logbook.h"

#include <QTest>

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

    // 30 digits exactly; the coefficient holds 29, so the scale drops to 27 (…2325 goes to the even …232).
    addRow("5 x tageskosten", "5", "*", "3.9765753424657534246575342465", "19.882876712328767123287671232");
    addRow("-2 / 3 rounds away", "-2", "/", "3", "-0.6666666666666666666666666667");
    // Half way at scale 28: to the even digit.
    addRow("tiny / 2 half to even zero", Tiny, "/", "2", "0");
    addRow("max / 2 to even", Max, "/", "2", "39614081257132168796771975168");
    addRow("max + 0,5 rounds past max", Max, "+", "0.5", "");
    addRow("192-bit product", MaxAtScale28, "*", MaxAtScale28, "62.77101735386680763835789423");
    addRow(
        "scale 29 rounds up", "0.0000000000000000000000000015", "*", "0.1", "0.0000000000000000000000000002");
    addRow("2,5 to even", "2.5", "round", "0", "2");
    addRow("-3,5 to even", "-3.5", "round", "0", "-4");

    read("SQLite large real", "1.0e+20", "100000000000000000000");
    read("many decimals", "0.1234567890123456789012345678912", "0.1234567890123456789012345679");
    read("huge exponent", "1.5e99999999999999999999", "");
    read("zero with huge exponent", "0e99999999999", "0");
    for (const char* refused : { "", "-", ".", "1e", "1.2.3", "1,5", " 1", "Inf" })
        read(qPrintable(QStringLiteral("refused \"%1\"").arg(refused)), refused, "");

    // Four decimals, half to even; 64 bits of ten-thousandths.
    currency("0,05005 half down to even", "0.05005", "0.05");
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
    if (result)
        QVERIFY(!(result->isZero() && result->isNegative()));
}

QTEST_GUILESS_MAIN(TestDecimal)
#include "test_decimal.moc"
