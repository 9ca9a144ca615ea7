#pragma once

#include "common/currency.h"
#include "common/decimal.h"

#include <QString>

#include <optional>

namespace odomira {

// German number text, reading: comma is the decimal separator, periods are digit
// grouping and skipped ("7.9" reads 79, "1.234,5" reads 1234,5), blanks around the
// number and a leading minus are accepted. A text that is no number gives an empty
// result and, when `error` is given, a German sentence naming the problem.
std::optional<Decimal> parseNumber(const QString& text, QString* error = nullptr);

// Writing: no grouping, comma before the decimals, leading minus, only the digits
// the value needs (2; 2,5; -10).
QString numberText(const Decimal& value);

// A currency amount with at most four decimals and no trailing zeros (0,2101; 12,5; 3).
QString currencyText(const Currency& amount);

} // namespace odomira
