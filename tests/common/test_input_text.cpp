// Number and date texts as the user types them (the program's own texts are shown in every
// window test), and the checks of typed fields with the one message that names the field and
// what it expects.
#include "common/date_text.h"
#include "common/field_check.h"
#include "common/number_text.h"

#include <QTest>

using namespace odomira;

class TestInputText : public QObject {
    Q_OBJECT
private slots:
    void reads_data();
    void reads();
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

// The messages the trip entry does not show already: a typed placeholder stays as typed, a
// blank date is an empty one, and the annual amounts have their own wording.
void TestInputText::fieldCheck()
{
    const auto message
        = [](const char* label, FieldContent content, const char* example, const QString& text) {
              return checkField({ label, content, example }, text).value_or(QString());
          };
    QCOMPARE(message("Ende km", FieldContent::Number, "12345", "%2"),
        "Im Feld „Ende km“ steht „%2“, das ist keine Zahl. Erwartet wird eine Zahl, zum Beispiel 12345.");
    QCOMPARE(message("Datum", FieldContent::Date, "05.03.2007", "  "),
        "Bitte ein Datum eingeben. Das Feld „Datum“ ist leer; erwartet wird ein Datum wie 05.03.2007.");
    QCOMPARE(message("Steuer", FieldContent::AnnualAmount, "250,00", "250 €"),
        "Das Feld „Steuer“ enthält „250 €“, das ist keine Zahl. Erwartet wird ein Jahresbetrag in Euro als "
        "Zahl, zum Beispiel 250,00.");
}

QTEST_GUILESS_MAIN(TestInputText)
#include "test_input_text.moc"
