#include "vehicle/day_cost.h"

#include "common/currency.h"
#include "common/field_check.h"
#include "common/number_text.h"

namespace odomira {

namespace {

// One annual amount divided by 365; `label` names the field in messages.
std::optional<Decimal> perDay(const QString& text, const QString& label, QString* error)
{
    const FieldRule rule { label, FieldContent::AnnualAmount, QStringLiteral("250,00") };
    if (const std::optional<QString> message = checkField(rule, text)) {
        if (error)
            *error = *message;
        return std::nullopt;
    }
    const std::optional<Decimal> annual = parseNumber(text);
    const std::optional<Decimal> daily = annual->divide(Decimal::fromInt(365));
    if (!daily && error)
        *error = QStringLiteral("Das Feld „%1“ lässt sich nicht durch 365 teilen.").arg(label);
    return daily;
}

} // namespace

std::optional<Decimal> dayCost(const QString& steuerText, const QString& versicherungText, QString* error)
{
    const std::optional<Decimal> steuer = perDay(steuerText, QStringLiteral("Steuer"), error);
    if (!steuer)
        return std::nullopt;
    const std::optional<Decimal> versicherung
        = perDay(versicherungText, QStringLiteral("Versicherung"), error);
    if (!versicherung)
        return std::nullopt;
    const std::optional<Decimal> sum = steuer->add(*versicherung);
    if (!sum && error)
        *error = QStringLiteral(
            "Steuer und Versicherung sind zusammen zu groß, um die Kosten pro Tag zu berechnen.");
    return sum;
}

QString dayCostLabel(const Decimal& tageskosten)
{
    // A cost per day beyond the currency range still gets the same four-decimal form.
    const std::optional<Currency> amount = Currency::fromDecimal(tageskosten);
    const QString number = amount ? currencyText(*amount) : numberText(tageskosten.rounded(4).normalized());
    return number + QStringLiteral(" \u20AC");
}

} // namespace odomira
