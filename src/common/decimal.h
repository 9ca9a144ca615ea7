#pragma once

#include <QString>

#include <optional>
#include <string_view>

namespace odomira {

// An exact decimal number: sign, 96-bit unsigned coefficient, scale 0..28.
// value = coefficient / 10^scale. Every arithmetic result that cannot be held
// is reported as an empty optional, never as undefined behaviour.
class Decimal {
public:
    __extension__ typedef unsigned __int128 Coefficient;

    static constexpr int MaxScale = 28;
    static constexpr Coefficient MaxCoefficient = (Coefficient(1) << 96) - 1;

    Decimal() = default; // zero

    // Empty when the coefficient exceeds 96 bits or the scale lies outside 0..28.
    static std::optional<Decimal> fromParts(bool negative, Coefficient coefficient, int scale);
    static Decimal fromInt(qint64 value);

    bool isNegative() const { return m_negative; }
    bool isZero() const { return m_coefficient == 0; }
    Coefficient coefficient() const { return m_coefficient; }
    int scale() const { return m_scale; }

    // The same magnitude with the other sign.
    Decimal negated() const;

    // Exact where the result fits; a result with more digits than the coefficient holds
    // is rounded (half to even) at a smaller scale; only an integer part too large for
    // 96 bits makes the result empty.
    std::optional<Decimal> add(const Decimal& other) const;
    std::optional<Decimal> subtract(const Decimal& other) const;
    std::optional<Decimal> multiply(const Decimal& other) const;
    // Carried to the full precision of the type (as many decimals as fit, at most 28),
    // rounded half to even. Division by zero gives an empty result.
    std::optional<Decimal> divide(const Decimal& other) const;

    // By value: 1,50 equals 1,5 and -0 equals 0. Returns <0, 0 or >0.
    int compare(const Decimal& other) const;
    bool operator==(const Decimal& other) const { return compare(other) == 0; }
    bool operator<(const Decimal& other) const { return compare(other) < 0; }

    // The same value with trailing zeros of the decimals removed (1,500 -> 1,5).
    Decimal normalized() const;

    // Rounded half to even to at most `scale` decimals.
    Decimal rounded(int scale) const;

    // Machine form used inside the store: "-1234.5", digits only as needed, no grouping.
    QString toCanonical() const;
    // The same form with `separator` before the decimals; negative zero writes "0".
    QString toString(char separator) const;
    // Accepts the machine form: optional '-', digits, optional '.' and digits, and an
    // optional exponent ("1.5e3") as SQLite writes large reals. Decimals beyond what the
    // type holds are rounded half to even; an integer part too large gives an empty result.
    static std::optional<Decimal> fromCanonical(std::string_view text);

private:
    bool m_negative = false;
    Coefficient m_coefficient = 0;
    int m_scale = 0;
};

} // namespace odomira
