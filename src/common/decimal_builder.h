#pragma once

#include "common/decimal.h"

#include <cstdint>
#include <optional>

namespace odomira {

// Collects the digits of a number text one at a time, most significant first, without
// allocating. Digits beyond what the coefficient holds are remembered only for rounding.
// Shared by the machine form and the German number text.
class DecimalBuilder {
public:
    void pushDigit(int digit, bool fraction)
    {
        m_sawDigit = true;
        if (fraction)
            ++m_fractionDigits;
        // Constant bounds: a 128-bit division per digit would dominate the parsing time.
        constexpr Decimal::Coefficient Tenth = Decimal::MaxCoefficient / 10;
        constexpr int LastDigit = int(Decimal::MaxCoefficient % 10);
        if (m_dropped == 0 && (m_coefficient < Tenth || (m_coefficient == Tenth && digit <= LastDigit))) {
            m_coefficient = m_coefficient * 10 + Decimal::Coefficient(digit);
            return;
        }
        if (m_dropped == 0)
            m_roundDigit = digit;
        else if (digit != 0)
            m_sticky = true;
        ++m_dropped;
    }

    bool sawDigit() const { return m_sawDigit; }

    // The value of the digits times 10^exponent. Decimals beyond 28 places or beyond the
    // coefficient are rounded half to even; empty when the integer part does not fit.
    std::optional<Decimal> finish(bool negative, std::int64_t exponent = 0) const;

private:
    Decimal::Coefficient m_coefficient = 0;
    std::int64_t m_fractionDigits = 0;
    std::int64_t m_dropped = 0; // digits after the coefficient's last one
    int m_roundDigit = 0; // the first dropped digit
    bool m_sticky = false; // any later dropped digit is non-zero
    bool m_sawDigit = false;
};

} // namespace odomira
