#include "common/decimal.h"

#include "common/decimal_builder.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace odomira {

namespace {

using U128 = Decimal::Coefficient;
constexpr U128 Max = Decimal::MaxCoefficient;

constexpr std::array<U128, 39> makePowersOfTen()
{
    std::array<U128, 39> powers {};
    U128 power = 1;
    for (U128& p : powers) {
        p = power;
        power *= 10;
    }
    return powers;
}

// 10^0 .. 10^38, all that 128 bits hold.
constexpr std::array<U128, 39> PowerOfTen = makePowersOfTen();

// An unsigned 256-bit integer, enough for a product of two coefficients or a coefficient
// scaled by 10^28, with only the operations the decimal arithmetic needs.
struct Wide {
    std::uint64_t limb[4] = { 0, 0, 0, 0 }; // least significant first

    static Wide from(U128 value)
    {
        Wide w;
        w.limb[0] = std::uint64_t(value);
        w.limb[1] = std::uint64_t(value >> 64);
        return w;
    }

    static Wide product(U128 a, U128 b)
    {
        const U128 a0 = std::uint64_t(a), a1 = std::uint64_t(a >> 64);
        const U128 b0 = std::uint64_t(b), b1 = std::uint64_t(b >> 64);
        const U128 p00 = a0 * b0, p01 = a0 * b1, p10 = a1 * b0, p11 = a1 * b1;
        Wide w;
        w.limb[0] = std::uint64_t(p00);
        const U128 mid = (p00 >> 64) + std::uint64_t(p01) + std::uint64_t(p10);
        w.limb[1] = std::uint64_t(mid);
        const U128 high = (mid >> 64) + (p01 >> 64) + (p10 >> 64) + std::uint64_t(p11);
        w.limb[2] = std::uint64_t(high);
        w.limb[3] = std::uint64_t(high >> 64) + std::uint64_t(p11 >> 64);
        return w;
    }

    bool fits128() const { return limb[2] == 0 && limb[3] == 0; }
    U128 low128() const { return (U128(limb[1]) << 64) | limb[0]; }

    void add(const Wide& other)
    {
        U128 carry = 0;
        for (int i = 0; i < 4; ++i) {
            const U128 sum = U128(limb[i]) + other.limb[i] + carry;
            limb[i] = std::uint64_t(sum);
            carry = sum >> 64;
        }
    }

    // Requires *this >= other.
    void subtract(const Wide& other)
    {
        std::uint64_t borrow = 0;
        for (int i = 0; i < 4; ++i) {
            const std::uint64_t a = limb[i];
            const std::uint64_t b = other.limb[i];
            limb[i] = a - b - borrow;
            borrow = (a < b || (a == b && borrow)) ? 1 : 0;
        }
    }

    int compare(const Wide& other) const
    {
        for (int i = 3; i >= 0; --i) {
            if (limb[i] != other.limb[i])
                return limb[i] < other.limb[i] ? -1 : 1;
        }
        return 0;
    }

    // Divides in place and returns the remainder.
    int divideBy10()
    {
        U128 remainder = 0;
        for (int i = 3; i >= 0; --i) {
            const U128 current = (remainder << 64) | limb[i];
            limb[i] = std::uint64_t(current / 10);
            remainder = current % 10;
        }
        return int(remainder);
    }
};

// The digits dropped so far: the most significant one, and whether any after it is non-zero.
struct Dropped {
    int digit = 0;
    bool sticky = false;
};

bool roundsUp(const Dropped& dropped, bool odd)
{
    return dropped.digit > 5 || (dropped.digit == 5 && (dropped.sticky || odd));
}

Decimal make(bool negative, U128 coefficient, int scale)
{
    // Callers guarantee the range; a zero result carries no sign.
    return *Decimal::fromParts(negative && coefficient != 0, coefficient, scale);
}

// An exact magnitude at any scale >= 0 brought into the type: digits are dropped while the
// scale exceeds 28 or the rounded value does not fit 96 bits, rounding half to even once
// from the original digits. Empty when even the integer part does not fit.
std::optional<Decimal> fitted(bool negative, Wide magnitude, std::int64_t scale, Dropped dropped = {})
{
    for (;;) {
        if (scale <= Decimal::MaxScale && magnitude.fits128() && magnitude.low128() <= Max) {
            U128 c = magnitude.low128();
            if (roundsUp(dropped, (c & 1) != 0))
                ++c;
            if (c <= Max)
                return make(negative, c, int(scale));
        }
        if (scale == 0)
            return std::nullopt;
        dropped.sticky = dropped.sticky || dropped.digit != 0;
        dropped.digit = magnitude.divideBy10();
        --scale;
    }
}

// The coefficient expressed at a larger scale, in 128 bits when it fits.
bool scaledNative(U128 coefficient, int extraDigits, U128* out)
{
    return !__builtin_mul_overflow(coefficient, PowerOfTen[extraDigits], out);
}

int compareMagnitude(const Decimal& a, const Decimal& b)
{
    if (a.scale() == b.scale()) {
        if (a.coefficient() == b.coefficient())
            return 0;
        return a.coefficient() < b.coefficient() ? -1 : 1;
    }
    if (a.scale() < b.scale())
        return Wide::product(a.coefficient(), PowerOfTen[b.scale() - a.scale()])
            .compare(Wide::from(b.coefficient()));
    return Wide::from(a.coefficient())
        .compare(Wide::product(b.coefficient(), PowerOfTen[a.scale() - b.scale()]));
}

// Writes the decimal digits of `value` (at most 39) ending just before `end`; returns the start.
char* writeDigits(U128 value, char* end)
{
    char* p = end;
    // Two 64-bit halves keep the per-digit work out of 128-bit division.
    constexpr std::uint64_t Chunk = 10000000000000000000ULL; // 10^19
    while (value > U128(~std::uint64_t(0))) {
        std::uint64_t low = std::uint64_t(value % Chunk);
        value /= Chunk;
        for (int i = 0; i < 19; ++i) {
            *--p = char('0' + low % 10);
            low /= 10;
        }
    }
    std::uint64_t rest = std::uint64_t(value);
    do {
        *--p = char('0' + rest % 10);
        rest /= 10;
    } while (rest != 0);
    return p;
}

} // namespace

std::optional<Decimal> Decimal::fromParts(bool negative, Coefficient coefficient, int scale)
{
    if (coefficient > MaxCoefficient || scale < 0 || scale > MaxScale)
        return std::nullopt;
    Decimal d;
    d.m_negative = negative;
    d.m_coefficient = coefficient;
    d.m_scale = scale;
    return d;
}

Decimal Decimal::fromInt(qint64 value)
{
    const bool negative = value < 0;
    // Unsigned negation keeps the smallest qint64 defined.
    const std::uint64_t magnitude = negative ? 0 - std::uint64_t(value) : std::uint64_t(value);
    return make(negative, magnitude, 0);
}

Decimal Decimal::negated() const
{
    Decimal d = *this;
    d.m_negative = !m_negative;
    return d;
}

std::optional<Decimal> Decimal::add(const Decimal& other) const
{
    const int scale = std::max(m_scale, other.m_scale);
    U128 a = 0;
    U128 b = 0;
    if (scaledNative(m_coefficient, scale - m_scale, &a)
        && scaledNative(other.m_coefficient, scale - other.m_scale, &b)) {
        U128 magnitude = 0;
        bool negative = m_negative;
        if (m_negative == other.m_negative) {
            if (!__builtin_add_overflow(a, b, &magnitude)) {
                if (magnitude <= Max)
                    return make(negative, magnitude, scale);
                return fitted(negative, Wide::from(magnitude), scale);
            }
        } else {
            if (a >= b) {
                magnitude = a - b;
            } else {
                magnitude = b - a;
                negative = other.m_negative;
            }
            if (magnitude <= Max)
                return make(negative, magnitude, scale);
            return fitted(negative, Wide::from(magnitude), scale);
        }
    }

    Wide wa = Wide::product(m_coefficient, PowerOfTen[scale - m_scale]);
    Wide wb = Wide::product(other.m_coefficient, PowerOfTen[scale - other.m_scale]);
    if (m_negative == other.m_negative) {
        wa.add(wb);
        return fitted(m_negative, wa, scale);
    }
    if (wa.compare(wb) >= 0) {
        wa.subtract(wb);
        return fitted(m_negative, wa, scale);
    }
    wb.subtract(wa);
    return fitted(other.m_negative, wb, scale);
}

std::optional<Decimal> Decimal::subtract(const Decimal& other) const
{
    return add(other.negated());
}

std::optional<Decimal> Decimal::multiply(const Decimal& other) const
{
    const bool negative = m_negative != other.m_negative;
    const int scale = m_scale + other.m_scale;
    U128 product = 0;
    if (!__builtin_mul_overflow(m_coefficient, other.m_coefficient, &product) && product <= Max
        && scale <= MaxScale)
        return make(negative, product, scale);
    return fitted(negative, Wide::product(m_coefficient, other.m_coefficient), scale);
}

std::optional<Decimal> Decimal::divide(const Decimal& other) const
{
    if (other.m_coefficient == 0)
        return std::nullopt;
    const bool negative = m_negative != other.m_negative;
    const U128 divisor = other.m_coefficient;

    // The quotient at scale s is (a / b) * 10^(s + shift). Its digits come one at a time
    // by long division of the coefficients: after `digits` fraction digits of a / b the
    // scale is digits - shift. Both coefficients are below 2^96, so every step stays in
    // 128 bits.
    const int shift = other.m_scale - m_scale;
    const int fewestDigits = std::max(0, shift); // scale 0
    const int mostDigits = MaxScale + shift; // scale 28

    U128 truncated = m_coefficient / divisor;
    U128 remainder = m_coefficient % divisor;
    std::optional<Decimal> best;
    for (int digits = 0;; ++digits) {
        if (digits >= fewestDigits) {
            U128 rounded = truncated;
            const U128 twice = remainder << 1;
            if (twice > divisor || (twice == divisor && (truncated & 1) != 0))
                ++rounded;
            if (rounded > Max)
                break;
            best = make(negative, rounded, digits - shift);
            if (remainder == 0 || digits == mostDigits)
                break;
        }
        const U128 next = truncated * 10 + remainder * 10 / divisor;
        if (next > Max)
            break;
        remainder = remainder * 10 % divisor;
        truncated = next;
    }
    return best;
}

int Decimal::compare(const Decimal& other) const
{
    const int sign = isZero() ? 0 : (m_negative ? -1 : 1);
    const int otherSign = other.isZero() ? 0 : (other.m_negative ? -1 : 1);
    if (sign != otherSign)
        return sign < otherSign ? -1 : 1;
    if (sign == 0)
        return 0;
    const int magnitude = compareMagnitude(*this, other);
    return sign < 0 ? -magnitude : magnitude;
}

Decimal Decimal::normalized() const
{
    U128 c = m_coefficient;
    int scale = m_scale;
    while (scale > 0 && c % 10 == 0) {
        c /= 10;
        --scale;
    }
    return make(m_negative, c, c == 0 ? 0 : scale);
}

Decimal Decimal::rounded(int scale) const
{
    scale = std::clamp(scale, 0, MaxScale);
    if (scale >= m_scale)
        return *this;
    const U128 unit = PowerOfTen[m_scale - scale];
    U128 q = m_coefficient / unit;
    const U128 r = m_coefficient % unit;
    const U128 half = unit / 2;
    if (r > half || (r == half && (q & 1) != 0))
        ++q;
    return make(m_negative, q, scale);
}

QString Decimal::toCanonical() const
{
    return toString('.');
}

QString Decimal::toString(char separator) const
{
    U128 c = m_coefficient;
    int scale = m_scale;
    while (scale > 0 && c % 10 == 0) {
        c /= 10;
        --scale;
    }
    // Sign, 29 digits, separator and the leading zeros of a value below one all fit.
    char buffer[64];
    char* const end = buffer + sizeof buffer;
    char* p = writeDigits(c, end);
    if (scale > 0) {
        while (end - p <= scale)
            *--p = '0';
        char* const point = end - scale;
        std::copy(p, point, p - 1);
        --p;
        *(point - 1) = separator;
    }
    if (m_negative && c != 0)
        *--p = '-';
    return QString::fromLatin1(p, end - p);
}

std::optional<Decimal> Decimal::fromCanonical(std::string_view text)
{
    const char* p = text.data();
    const char* const end = p + text.size();
    bool negative = false;
    if (p != end && (*p == '-' || *p == '+')) {
        negative = *p == '-';
        ++p;
    }
    DecimalBuilder builder;
    bool fraction = false;
    for (; p != end; ++p) {
        const char ch = *p;
        if (ch >= '0' && ch <= '9') {
            builder.pushDigit(ch - '0', fraction);
        } else if (ch == '.' && !fraction) {
            fraction = true;
        } else {
            break;
        }
    }
    if (!builder.sawDigit())
        return std::nullopt;

    std::int64_t exponent = 0;
    if (p != end && (*p == 'e' || *p == 'E')) {
        ++p;
        bool negativeExponent = false;
        if (p != end && (*p == '-' || *p == '+')) {
            negativeExponent = *p == '-';
            ++p;
        }
        if (p == end)
            return std::nullopt;
        for (; p != end && *p >= '0' && *p <= '9'; ++p) {
            // Beyond this every non-zero value is far out of range either way.
            if (exponent < 100000)
                exponent = exponent * 10 + (*p - '0');
        }
        if (negativeExponent)
            exponent = -exponent;
    }
    if (p != end)
        return std::nullopt;
    return builder.finish(negative, exponent);
}

std::optional<Decimal> DecimalBuilder::finish(bool negative, std::int64_t exponent) const
{
    if (m_coefficient == 0) // every digit was zero
        return Decimal();
    const std::int64_t scale = m_fractionDigits - m_dropped - exponent;
    if (scale < 0) {
        // A dropped digit here would be a digit of the integer part.
        if (m_dropped > 0 || scale < -Decimal::MaxScale)
            return std::nullopt;
        U128 value = 0;
        if (!scaledNative(m_coefficient, int(-scale), &value) || value > Max)
            return std::nullopt;
        return make(negative, value, 0);
    }
    if (m_dropped == 0 && scale <= Decimal::MaxScale)
        return make(negative, m_coefficient, int(scale));
    // The coefficient has at most 29 digits: dropping 30 or more leaves a rounded zero.
    if (scale - Decimal::MaxScale >= 30)
        return Decimal();
    return fitted(negative, Wide::from(m_coefficient), scale, Dropped { m_roundDigit, m_sticky });
}

} // namespace odomira
