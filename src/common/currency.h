#pragma once

#include "common/decimal.h"

#include <QtGlobal>

#include <optional>

namespace odomira {

// A currency amount: a signed 64-bit count of ten-thousandths.
class Currency {
public:
    Currency() = default;
    static Currency fromUnits(qint64 tenThousandths);

    // Rounded to four decimals, a value exactly half-way going to the even last digit
    // (0,05005 -> 0,05; 25,990575 -> 25,9906). Empty when the amount does not fit 64 bits.
    static std::optional<Currency> fromDecimal(const Decimal& value);

    qint64 units() const { return m_units; }
    Decimal toDecimal() const;

    bool operator==(const Currency& other) const = default;

private:
    qint64 m_units = 0;
};

} // namespace odomira
