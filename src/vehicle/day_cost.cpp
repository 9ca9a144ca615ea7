#include "vehicle/day_cost.h"

#include "common/currency.h"
#include "common/input_text.h"
#include "common/number_text.h"

namespace odomira {

namespace {

// One annual amount divided by 365; `label` names the field in messages.
std::optional<Decimal> perDay(const QString& text, const QString& label, QString* error)
{
    if (text.isEmpty()) {
        if (error)
            *error = QStringLiteral("Das Feld „%1“ ist leer. Erwartet wird ein Jahresbetrag in Euro als Zahl, "
                                    "zum Beispiel 250,00.").arg(label);
        return std::nullopt;
    }
    const std::optional<Decimal> annual = parseNumber(text);
    if (!annual) {
        if (error)
            *error = QStringLiteral("Das Feld „%1“ enthält „%2“, das ist keine Zahl. Erwartet wird ein "
                                    "Jahresbetrag in Euro als Zahl, zum Beispiel 250,00.").arg(label, input::excerpt(text));
        return std::nullopt;
    }
    const std::optional<Decimal> daily = annual->divide(Decimal::fromInt(365));
    if (!daily && error)
        *error = QStringLiteral("Das Feld „%1“ lässt sich nicht durch 365 teilen.").arg(label);
    return daily;
}

} // namespace

std::optional<Decimal> dayCost(const QString& steuerText, const QString& versicherungText,
                               QString* error)
{
    const std::optional<Decimal> steuer = perDay(steuerText, QStringLiteral("Steuer"), error);
    if (!steuer)
        return std::nullopt;
    const std::optional<Decimal> versicherung = perDay(versicherungText, QStringLiteral("Versicherung"), error);
    if (!versicherung)
        return std::nullopt;
    const std::optional<Decimal> sum = steuer->add(*versicherung);
    if (!sum && error)
        *error = QStringLiteral("Steuer und Versicherung sind zusammen zu groß, um die Kosten pro Tag zu berechnen.");
    return sum;
}

QString dayCostLabel(const Decimal& tageskosten)
{
    // A cost per day beyond the currency range still gets the same four-decimal form.
    const std::optional<Currency> amount = Currency::fromDecimal(tageskosten);
    const QString number = amount ? currencyText(*amount)
                                  : numberText(tageskosten.rounded(4).normalized());
    return number + QStringLiteral(" \u20AC");
}

} // namespace odomira
