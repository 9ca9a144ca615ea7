#include "common/field_check.h"

#include "common/date_text.h"
#include "common/input_text.h"
#include "common/number_text.h"

namespace odomira {

QString fieldMessage(const FieldRule& rule, const QString& text)
{
    switch (rule.content) {
    case FieldContent::Date:
        if (text.trimmed().isEmpty())
            return QStringLiteral("Bitte ein Datum eingeben. Das Feld „%1“ ist leer; erwartet wird ein Datum "
                                  "wie %2.")
                .arg(rule.label, rule.example);
        return QStringLiteral("Im Feld „%1“ steht „%2“, das ist kein gültiges Datum. Erwartet wird ein Datum "
                              "wie %3.")
            .arg(rule.label, input::excerpt(text), rule.example);
    case FieldContent::AnnualAmount:
        if (text.isEmpty())
            return QStringLiteral("Das Feld „%1“ ist leer. Erwartet wird ein Jahresbetrag in Euro als Zahl, "
                                  "zum Beispiel %2.")
                .arg(rule.label, rule.example);
        return QStringLiteral("Das Feld „%1“ enthält „%2“, das ist keine Zahl. Erwartet wird ein "
                              "Jahresbetrag in Euro als Zahl, zum Beispiel %3.")
            .arg(rule.label, input::excerpt(text), rule.example);
    case FieldContent::Number:
        break;
    }
    if (text.isEmpty())
        return QStringLiteral("Das Feld „%1“ ist leer. Erwartet wird eine Zahl, zum Beispiel %2.")
            .arg(rule.label, rule.example);
    return QStringLiteral("Im Feld „%1“ steht „%2“, das ist keine Zahl. Erwartet wird eine Zahl, zum "
                          "Beispiel %3.")
        .arg(rule.label, input::excerpt(text), rule.example);
}

std::optional<QString> checkField(const FieldRule& rule, const QString& text)
{
    const bool valid
        = rule.content == FieldContent::Date ? parseDate(text).has_value() : parseNumber(text).has_value();
    if (valid)
        return std::nullopt;
    return fieldMessage(rule, text);
}

} // namespace odomira
