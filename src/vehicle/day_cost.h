#pragma once

#include "common/decimal.h"

#include <QString>

#include <optional>

namespace odomira {

// The vehicle's cost per day: tax / 365 + insurance / 365, each quotient carried to the
// full precision of the decimal type, never rounded (365 in leap years too).
// `steuerText` and `versicherungText` are German number texts as the fields show them.
// An empty or non-numeric text gives no value and, when `error` is given, a German
// sentence naming the field ("Steuer" or "Versicherung") and what is expected.
std::optional<Decimal> dayCost(
    const QString& steuerText, const QString& versicherungText, QString* error = nullptr);

// Caption of the cost per day: rounded half to even to four decimals, German number
// text without trailing zeros, then " €" ("3,9766 €", "0,274 €", "1 €").
QString dayCostLabel(const Decimal& tageskosten);

} // namespace odomira
