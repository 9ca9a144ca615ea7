// Decimal arithmetic against exact integers: a sum, difference or product that fits is exact;
// one that does not is rounded by at most half a unit of its last place and is empty only when
// its integer part passes 96 bits; a quotient lies within half a unit of its last place.
#include "common/decimal.h"
#include "fuzz_support.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <array>
#include <vector>

using namespace odomira;

namespace {

// A signed integer of 640 bits in two's complement: the reference needs at most about 480 (a
// product of two 96-bit coefficients times 10^56, doubled and scaled once more).
struct Big {
    std::array<std::uint32_t, 20> limbs {};

    static Big from(unsigned __int128 value, bool negative = false)
    {
        Big b;
        for (std::uint32_t& limb : b.limbs) {
            limb = std::uint32_t(value);
            value >>= 32;
        }
        return negative ? -b : b;
    }
    bool isNegative() const { return limbs.back() >> 31; }
    bool isZero() const { return limbs == Big().limbs; }
    Big abs() const { return isNegative() ? -*this : *this; }
    Big operator-() const
    {
        Big r;
        for (std::size_t i = 0; i < limbs.size(); ++i)
            r.limbs[i] = ~limbs[i];
        return r + from(1);
    }
    friend Big operator+(const Big& a, const Big& b)
    {
        Big r;
        std::uint64_t carry = 0;
        for (std::size_t i = 0; i < r.limbs.size(); ++i) {
            carry += std::uint64_t(a.limbs[i]) + b.limbs[i];
            r.limbs[i] = std::uint32_t(carry);
            carry >>= 32;
        }
        return r;
    }
    friend Big operator-(const Big& a, const Big& b) { return a + -b; }
    // Modulo 2^640, which is the signed product while that fits.
    friend Big operator*(const Big& a, const Big& b)
    {
        Big r;
        for (std::size_t i = 0; i < r.limbs.size(); ++i) {
            std::uint64_t carry = 0;
            for (std::size_t j = 0; i + j < r.limbs.size(); ++j) {
                carry += r.limbs[i + j] + std::uint64_t(a.limbs[i]) * b.limbs[j];
                r.limbs[i + j] = std::uint32_t(carry);
                carry >>= 32;
            }
        }
        return r;
    }
    friend int compare(const Big& a, const Big& b)
    {
        const Big d = a - b;
        return d.isZero() ? 0 : (d.isNegative() ? -1 : 1);
    }
    static int compareMagnitude(const Big& a, const Big& b) { return compare(a.abs(), b.abs()); }
};

const Big& pow10(int n)
{
    static const std::vector<Big> powers = [] {
        std::vector<Big> table { Big::from(1) };
        for (int i = 1; i <= 4 * Decimal::MaxScale; ++i)
            table.push_back(table.back() * Big::from(10));
        return table;
    }();
    return powers.at(std::size_t(n));
}

// value * 10^scale as an integer.
Big scaled(const Decimal& d, int scale)
{
    return Big::from(d.coefficient(), d.isNegative()) * pow10(scale - d.scale());
}

Decimal decimalFrom(FuzzedDataProvider& in)
{
    const bool negative = in.ConsumeBool();
    const int scale = in.ConsumeIntegralInRange(0, Decimal::MaxScale);
    const auto high = in.ConsumeIntegral<std::uint32_t>();
    const auto low = in.ConsumeIntegral<std::uint64_t>();
    const unsigned __int128 coefficient = (static_cast<unsigned __int128>(high) << 64) | low;
    return *Decimal::fromParts(negative, coefficient, scale);
}

// Checks `result` against the exact value exact / 10^exactScale.
void checkRounded(const std::optional<Decimal>& result, const Big& exact, int exactScale, const char* what,
    const QString& detail)
{
    if (!result) {
        // Empty only when the integer part needs more than 96 bits.
        const Big limit = Big::from(Decimal::MaxCoefficient) * pow10(exactScale);
        fuzz::check(Big::compareMagnitude(exact, limit) > 0, what, QStringLiteral("empty: ") + detail);
        return;
    }
    const int s = std::max(result->scale(), exactScale);
    const Big difference = (scaled(*result, s) - exact * pow10(s - exactScale)).abs();
    if (result->scale() >= exactScale) {
        fuzz::check(difference.isZero(), what,
            QStringLiteral("not exact: ") + detail + " = " + result->toCanonical());
        return;
    }
    // Rounded: off by at most half a unit of its last place, only where the exact value has more
    // digits than 96 bits hold at the exact scale, and to no fewer places than fit.
    const Big twice = difference * Big::from(2);
    fuzz::check(Big::compareMagnitude(twice, pow10(s - result->scale())) <= 0, what,
        QStringLiteral("off by more than half a unit: ") + detail + " = " + result->toCanonical());
    fuzz::check(Big::compareMagnitude(exact, Big::from(Decimal::MaxCoefficient)) > 0
            || exactScale > Decimal::MaxScale || difference.isZero(),
        what, QStringLiteral("rounded although it fits: ") + detail + " = " + result->toCanonical());
    if (!difference.isZero() && result->scale() < std::min(exactScale, int(Decimal::MaxScale))) {
        const Big finer = exact.abs() * pow10(result->scale() + 1);
        const Big limit = Big::from(Decimal::MaxCoefficient) * pow10(exactScale);
        fuzz::check(Big::compareMagnitude(finer, limit) >= 0, what,
            QStringLiteral("rounded coarser than needed: ") + detail + " = " + result->toCanonical());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider in(data, size);
    const Decimal a = decimalFrom(in);
    const Decimal b = decimalFrom(in);
    const QString pair = a.toCanonical() + QStringLiteral(" ; ") + b.toCanonical();
    const int common = std::max(a.scale(), b.scale());

    checkRounded(a.add(b), scaled(a, common) + scaled(b, common), common, "add", pair);
    checkRounded(a.subtract(b), scaled(a, common) - scaled(b, common), common, "subtract", pair);
    checkRounded(a.multiply(b),
        Big::from(a.coefficient(), a.isNegative()) * Big::from(b.coefficient(), b.isNegative()),
        a.scale() + b.scale(), "multiply", pair);

    const int order = a.compare(b);
    fuzz::check((order > 0) - (order < 0) == compare(scaled(a, common), scaled(b, common)), "compare", pair);

    const std::optional<Decimal> q = a.divide(b);
    if (b.isZero()) {
        fuzz::check(!q, "division by zero gave a value", pair);
    } else if (q) {
        // |q * b - a| <= |b| / 2 * 10^-scale(q)
        const int s = std::max({ q->scale() + b.scale(), a.scale() });
        const Big product = Big::from(q->coefficient(), q->isNegative())
            * Big::from(b.coefficient(), b.isNegative()) * pow10(s - q->scale() - b.scale());
        const Big off = (product - scaled(a, s)).abs() * Big::from(2) * pow10(q->scale());
        const Big allowed = Big::from(b.coefficient()) * pow10(s - b.scale());
        fuzz::check(Big::compareMagnitude(off, allowed) <= 0, "divide", pair + " = " + q->toCanonical());
    }

    // The machine form reads back as the same value.
    const std::optional<Decimal> again = Decimal::fromCanonical(a.toCanonical().toStdString());
    fuzz::check(again && *again == a, "machine form", a.toCanonical());
    return 0;
}
