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

    number("period is grouping", "7.9", "79");
    number("grouping and comma", "1.234,5", "1234.5");
    number("blanks around", "  12,5\t", "12.5");
    number("no integer digits", "-,96", "-0.96");
    number("30 digits rounded", "7,92281625142643375935439503355", "7.922816251426433759354395034");
    number("letters quoted trimmed", " 12a ", "", "„12a“ ist keine Zahl.");
    number("two commas", "1,2,3", "", "„1,2,3“ hat mehr als ein Komma.");
    number("inner blank", "1 000", "", "„1 000“ enthält ein Leerzeichen.");
    number("period among decimals", "1,5.3", "", "„1,5.3“ ist keine Zahl.");
    number("other digits", QStringLiteral("\u0663"), "", QStringLiteral("„\u0663“ ist keine Zahl."));
    number("too large", "79228162514264337593543950336", "", "„79228162514264337593543950336“ ist zu groß.");
    number("long text cut", QString(50, u'x'), "", "„" + QString(40, u'x') + "…“ ist keine Zahl.");

    date("short", " 5.3.2007 ", "05.03.2007");
    date("leap day", "29.02.2008", "29.02.2008");
    date("no leap day", "29.2.2007", "", "Den Tag „%1“ gibt es nicht.");
    date("year missing", "5.3.", "", "„%1“ ist kein Datum: das Jahr fehlt.");
    date("two-digit year", "5.3.07", "", "„%1“ ist kein Datum: das Jahr muss vierstellig sein.");
    for (const char* text : { "005.3.2007", "5.3.2007x" })
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
    } else {
        const std::optional<Decimal> value = parseNumber(text, &message);
        QCOMPARE(value ? value->toCanonical() : QString(), read);
    }
    QCOMPARE(message, error);
}

// Written and read back, nothing is lost; "" = does not fit a currency amount.
void TestInputText::writesNumbers_data()
{
    QTest::addColumn<QString>("canonical");
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("currency");
    addRow("no grouping", "1234567.500", "1234567,5", "1234567,5");
    addRow("cost rounded half to even", "0.05005", "0,05005", "0,05");
    addRow("smallest", "-0.0000000000000000000000000001", "-0,0000000000000000000000000001", "0");
    addRow("max", "79228162514264337593543950335", "79228162514264337593543950335", "");
}

void TestInputText::writesNumbers()
{
    QFETCH(QString, canonical);
    QFETCH(QString, number);
    QFETCH(QString, currency);

    const Decimal value = Decimal::fromCanonical(canonical.toStdString()).value();
    QCOMPARE(numberText(value), number);
    QCOMPARE(*parseNumber(number), value);
    const std::optional<Currency> amount = Currency::fromDecimal(value);
    QCOMPARE(amount ? currencyText(*amount) : QString(), currency);
}

// The messages the trip entry does not show already: blanks are no empty field, a typed
// placeholder stays as typed, and the annual amounts have their own wording.
void TestInputText::fieldCheck_data()
{
    QTest::addColumn<FieldContent>("content");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message"); // null: accepted
    const QString number = "Erwartet wird eine Zahl, zum Beispiel 12345.";
    const QString amount = "Erwartet wird ein Jahresbetrag in Euro als Zahl, zum Beispiel 250,00.";
    const FieldContent n = FieldContent::Number, a = FieldContent::AnnualAmount;
    addRow("number blank", n, " ", "Im Feld „Ende km“ steht „ “, das ist keine Zahl. " + number);
    addRow("number placeholder", n, "%2", "Im Feld „Ende km“ steht „%2“, das ist keine Zahl. " + number);
    addRow("date blank", FieldContent::Date, "  ",
        "Bitte ein Datum eingeben. Das Feld „Datum“ ist leer; erwartet wird ein Datum wie 05.03.2007.");
    addRow(
        "amount with euro", a, "250 €", "Das Feld „Steuer“ enthält „250 €“, das ist keine Zahl. " + amount);
}

void TestInputText::fieldCheck()
{
    QFETCH(FieldContent, content);
    QFETCH(QString, text);
    QFETCH(QString, message);
    const FieldRule field = content == FieldContent::Number ? FieldRule { "Ende km", content, "12345" }
        : content == FieldContent::Date                     ? FieldRule { "Datum", content, "05.03.2007" }
                                                            : FieldRule { "Steuer", content, "250,00" };
    const std::optional<QString> refused = checkField(field, text);
    QCOMPARE(refused.value_or(QString()), message);
    QCOMPARE(refused.has_value(), !message.isNull());
}

QTEST_GUILESS_MAIN(TestInputText)
#include "test_input_text.moc"
