#include "common/currency.h"

#include <cstdint>
#include <limits>

namespace odomira {

Currency Currency::fromUnits(qint64 tenThousandths)
{
    Currency c;
    c.m_units = tenThousandths;
    return c;
}

std::optional<Currency> Currency::fromDecimal(const Decimal& value)
{
    const Decimal four = value.rounded(4);
    Decimal::Coefficient units = four.coefficient();
    for (int scale = four.scale(); scale < 4; ++scale)
        units *= 10; // at most 2^96 * 10^4, far inside 128 bits
    // The negative range reaches one unit further than the positive one.
    const Decimal::Coefficient limit
        = Decimal::Coefficient(std::numeric_limits<qint64>::max()) + (four.isNegative() ? 1 : 0);
    if (units > limit)
        return std::nullopt;
    const std::uint64_t magnitude = std::uint64_t(units);
    // Unsigned negation, then the two's complement conversion, keeps the smallest qint64 defined.
    return fromUnits(four.isNegative() ? qint64(0 - magnitude) : qint64(magnitude));
}

Decimal Currency::toDecimal() const
{
    const bool negative = m_units < 0;
    const std::uint64_t magnitude = negative ? 0 - std::uint64_t(m_units) : std::uint64_t(m_units);
    return *Decimal::fromParts(negative, magnitude, 4);
}

} // namespace odomira
