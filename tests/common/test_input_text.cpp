// Number and date texts as the user types them and as the program writes them, and the
// checks of typed fields with the one message that names the field and what it expects.
#include "common/date_text.h"
#include "common/field_check.h"
#include "common/number_text.h"
#include "support/temp_logbook.h"

#include <QTest>

using namespace odomira;
using odomira::test::addRow;

Q_DECLARE_METATYPE(odomira::FieldContent)

class TestInputText : public QObject {
    Q_OBJECT
private slots:
    void reads_data();
    void reads();
    void writesNumbers_data();
    void writesNumbers();
    void writesDates();
    void fieldCheck_data();
    void fieldCheck();
};

// A number reads as its machine form, a date as it is written back; "" when refused with `error`.
void TestInputText::reads_data()
{
    QTest::addColumn<bool>("isDate");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("read");
    QTest::addColumn<QString>("error");
    const auto number = [](const char* name, const QString& text, const QString& read, QString error = {}) {
        QTest::newRow(name) << false << text << read << error;
    };
    const auto date = [](const char* name, const char* text, const char* read, const char* error = "") {
        QTest::newRow(name) << true << QString::fromUtf8(text) << QString::fromUtf8(read)
                            << QString::fromUtf8(error).replace("%1", QString::fromUtf8(text));
    };

    number("comma", "2,5", "2.5");
    number("plus", "+5", "5");
    number("period is grouping", "7.9", "79");
    number("grouping and comma", "1.234,5", "1234.5");
    number("blanks around", "  12,5\t", "12.5");
    number("no integer digits", ",5", "0.5");
    number("negative decimals", "-0,96", "-0.96");
    number("max grouped", "79.228.162.514.264.337.593.543.950.335", "79228162514264337593543950335");
    number("30 digits rounded", "7,92281625142643375935439503355", "7.922816251426433759354395034");

    number("blanks", " \t ", "", "Keine Zahl angegeben.");
    number("letters quoted trimmed", " 12a ", "", "„12a“ ist keine Zahl.");
    number("two commas", "1,2,3", "", "„1,2,3“ hat mehr als ein Komma.");
    number("minus alone", "-", "", "„-“ ist keine Zahl.");
    number("inner blank", "1 000", "", "„1 000“ enthält ein Leerzeichen.");
    number("period among decimals", "1,5.3", "", "„1,5.3“ ist keine Zahl.");
    number("exponent", "1e3", "", "„1e3“ ist keine Zahl.");
    number("other digits", QStringLiteral("\u0663"), "", QStringLiteral("„\u0663“ ist keine Zahl."));
    number("too large", "79228162514264337593543950336", "", "„79228162514264337593543950336“ ist zu groß.");
    number("long text cut", QString(50, u'x'), "", "„" + QString(40, u'x') + "…“ ist keine Zahl.");

    date("short", "5.3.2007", "05.03.2007");
    date("blanks around", " \t31.12.2006 ", "31.12.2006");
    date("leap day", "29.02.2008", "29.02.2008");
    date("empty", "", "", "Kein Datum angegeben.");
    date("no such day", "31.02.2007", "", "Den Tag „%1“ gibt es nicht.");
    date("no leap day", "29.2.2007", "", "Den Tag „%1“ gibt es nicht.");
    date("year missing", "5.3.", "", "„%1“ ist kein Datum: das Jahr fehlt.");
    date("two-digit year", "5.3.07", "", "„%1“ ist kein Datum: das Jahr muss vierstellig sein.");
    for (const char* text : { "5.3", "005.3.2007", "5. 3.2007", "2007-03-05", "5.3.2007x" })
        date(text, text, "", "„%1“ ist kein Datum der Form TT.MM.JJJJ.");
}

void TestInputText::reads()
{
    QFETCH(bool, isDate);
    QFETCH(QString, text);
    QFETCH(QString, read);
    QFETCH(QString, error);

    QString message;
    if (isDate) {
        const std::optional<QDate> value = parseDate(text, &message);
        QCOMPARE(value ? dateText(*value) : QString(), read);
        QCOMPARE(parseDate(text), value); // without a place for the message
    } else {
        const std::optional<Decimal> value = parseNumber(text, &message);
        QCOMPARE(value ? value->toCanonical() : QString(), read);
        QCOMPARE(parseNumber(text).has_value(), value.has_value());
    }
    QCOMPARE(message, error);
}

void TestInputText::writesNumbers_data()
{
    QTest::addColumn<QString>("canonical");
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("currency"); // "" = does not fit a currency amount
    const auto row = [](const char* name, const char* canonical, const char* number, const char* currency) {
        QTest::newRow(name) << QString::fromLatin1(canonical) << QString::fromLatin1(number)
                            << QString::fromLatin1(currency);
    };

    row("trailing zeros dropped", "2.500", "2,5", "2,5");
    row("no grouping", "1234567.5", "1234567,5", "1234567,5");
    row("cost rounded half to even", "0.05005", "0,05005", "0,05");
    row("negative zero", "-0.00", "0", "0");
    row("scale 28", "7.9228162514264337593543950335", "7,9228162514264337593543950335", "7,9228");
    row("smallest", "-0.0000000000000000000000000001", "-0,0000000000000000000000000001", "0");
    row("smallest amount", "-922337203685477.5808", "-922337203685477,5808", "-922337203685477,5808");
    row("max", "79228162514264337593543950335", "79228162514264337593543950335", "");
}

void TestInputText::writesNumbers()
{
    QFETCH(QString, canonical);
    QFETCH(QString, number);
    QFETCH(QString, currency);

    const Decimal value = Decimal::fromCanonical(canonical.toStdString()).value();
    QCOMPARE(numberText(value), number);
    QCOMPARE(*parseNumber(number), value); // written and read back, nothing is lost
    const std::optional<Currency> amount = Currency::fromDecimal(value);
    QCOMPARE(amount ? currencyText(*amount) : QString(), currency);
    if (amount)
        QCOMPARE(Currency::fromDecimal(*parseNumber(currency)), amount);
}

void TestInputText::writesDates()
{
    QCOMPARE(parseDate(dateText(QDate(999, 1, 1))), std::optional(QDate(999, 1, 1)));
    QVERIFY(dateText(QDate()).isEmpty() && dateText(QDate(-5, 1, 1)).isEmpty());
}

// Each kind of field as the window labels it, with its example.
void TestInputText::fieldCheck_data()
{
    QTest::addColumn<FieldContent>("content");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message"); // null: accepted
    const QString number = "Erwartet wird eine Zahl, zum Beispiel 12345.";
    const QString date
        = "Bitte ein Datum eingeben. Das Feld „Datum“ ist leer; erwartet wird ein Datum wie 05.03.2007.";
    const QString amount = "Erwartet wird ein Jahresbetrag in Euro als Zahl, zum Beispiel 250,00.";
    const auto row = [](const char* name, FieldContent content, const char* text, const QString& message) {
        addRow(name, content, QString::fromUtf8(text), message);
    };

    row("number", FieldContent::Number, " 1.234,5 ", QString());
    row("number empty", FieldContent::Number, "", "Das Feld „Ende km“ ist leer. " + number);
    // Blanks are no empty field here, and a typed placeholder stays as typed.
    row("number blank", FieldContent::Number, " ",
        "Im Feld „Ende km“ steht „ “, das ist keine Zahl. " + number);
    row("number placeholder", FieldContent::Number, "%2",
        "Im Feld „Ende km“ steht „%2“, das ist keine Zahl. " + number);
    row("date", FieldContent::Date, "5.3.2007", QString());
    row("date empty", FieldContent::Date, "", date);
    row("date blank", FieldContent::Date, "  ", date);
    row("date not in calendar", FieldContent::Date, "31.02.2007",
        "Im Feld „Datum“ steht „31.02.2007“, das ist kein gültiges Datum. Erwartet wird ein Datum wie "
        "05.03.2007.");
    row("amount", FieldContent::AnnualAmount, "250,00", QString());
    row("amount empty", FieldContent::AnnualAmount, "", "Das Feld „Steuer“ ist leer. " + amount);
    row("amount with euro", FieldContent::AnnualAmount, "250 €",
        "Das Feld „Steuer“ enthält „250 €“, das ist keine Zahl. " + amount);
}

void TestInputText::fieldCheck()
{
    QFETCH(FieldContent, content);
    QFETCH(QString, text);
    QFETCH(QString, message);
    const bool isNumber = content == FieldContent::Number, isDate = content == FieldContent::Date;
    const FieldRule field { isNumber ? "Ende km"
            : isDate                 ? "Datum"
                                     : "Steuer",
        content,
        isNumber     ? "12345"
            : isDate ? "05.03.2007"
                     : "250,00" };
    const std::optional<QString> refused = checkField(field, text);
    QCOMPARE(refused.value_or(QString()), message);
    QCOMPARE(refused.has_value(), !message.isNull());
}

QTEST_GUILESS_MAIN(TestInputText)
#include "test_input_text.moc"
