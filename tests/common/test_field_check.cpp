// The checks of typed fields and the one message that names the field and what it expects.
#include "common/field_check.h"

#include <QTest>

using namespace odomira;

Q_DECLARE_METATYPE(odomira::FieldContent)

class TestFieldCheck : public QObject {
    Q_OBJECT
private slots:
    void check_data();
    void check();
};

void TestFieldCheck::check_data()
{
    QTest::addColumn<FieldContent>("content");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("example");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message"); // null: accepted

    const auto number = [](const char* name, const char* text, const QString& message) {
        QTest::newRow(name) << FieldContent::Number << "Ende km"
                            << "12345" << text << message;
    };
    const auto date = [](const char* name, const char* text, const QString& message) {
        QTest::newRow(name) << FieldContent::Date << "Datum"
                            << "05.03.2007" << text << message;
    };
    const auto amount = [](const char* name, const char* text, const QString& message) {
        QTest::newRow(name) << FieldContent::AnnualAmount << "Steuer"
                            << "250,00" << text << message;
    };

    number("number", " 1.234,5 ", QString());
    number("number empty", "", "Das Feld „Ende km“ ist leer. Erwartet wird eine Zahl, zum Beispiel 12345.");
    // Blanks are no empty field here: they are named as typed.
    number("number blank", " ",
        "Im Feld „Ende km“ steht „ “, das ist keine Zahl. Erwartet wird eine Zahl, zum Beispiel 12345.");
    // A typed placeholder stays as typed.
    number("number placeholder", "%2",
        "Im Feld „Ende km“ steht „%2“, das ist keine Zahl. Erwartet wird eine Zahl, zum Beispiel 12345.");

    date("date", "5.3.2007", QString());
    date("date empty", "",
        "Bitte ein Datum eingeben. Das Feld „Datum“ ist leer; erwartet wird ein Datum wie 05.03.2007.");
    date("date blank", "  ",
        "Bitte ein Datum eingeben. Das Feld „Datum“ ist leer; erwartet wird ein Datum wie 05.03.2007.");
    date("date not in calendar", "31.02.2007",
        "Im Feld „Datum“ steht „31.02.2007“, das ist kein gültiges Datum. Erwartet wird ein Datum wie "
        "05.03.2007.");

    amount("amount", "250,00", QString());
    amount("amount empty", "",
        "Das Feld „Steuer“ ist leer. Erwartet wird ein Jahresbetrag in Euro als Zahl, zum Beispiel 250,00.");
    amount("amount with euro", "250 €",
        "Das Feld „Steuer“ enthält „250 €“, das ist keine Zahl. Erwartet wird ein Jahresbetrag in Euro als "
        "Zahl, zum Beispiel 250,00.");
}

void TestFieldCheck::check()
{
    QFETCH(FieldContent, content);
    QFETCH(QString, label);
    QFETCH(QString, example);
    QFETCH(QString, text);
    QFETCH(QString, message);

    const std::optional<QString> refused = checkField({ label, content, example }, text);
    QCOMPARE(refused.value_or(QString()), message);
    QCOMPARE(refused.has_value(), !message.isNull());
}

QTEST_GUILESS_MAIN(TestFieldCheck)
#include "test_field_check.moc"
