#include "common/number_text.h"

#include "common/decimal_builder.h"
#include "common/input_text.h"

#include <cstdint>

namespace odomira {

using input::quotedInput;

std::optional<Decimal> parseNumber(const QString& text, QString* error)
{
    const QStringView trimmed = input::trimmed(text);
    const QChar* begin = trimmed.data();
    const QChar* end = begin + trimmed.size();
    if (begin == end) {
        setError(error, QStringLiteral("Keine Zahl angegeben."));
        return std::nullopt;
    }

    const QChar* p = begin;
    bool negative = false;
    // A leading plus is what some users type for a positive value; it changes nothing.
    if (*p == u'-' || *p == u'+') {
        negative = *p == u'-';
        ++p;
    }
    DecimalBuilder builder;
    bool fraction = false;
    for (; p != end; ++p) {
        const char16_t ch = p->unicode();
        if (ch >= u'0' && ch <= u'9') {
            builder.pushDigit(ch - u'0', fraction);
        } else if (ch == u'.' && !fraction) {
            // Digit grouping of the integer part: skipped wherever it stands.
        } else if (ch == u',') {
            if (fraction) {
                setError(error, quotedInput(trimmed) + QStringLiteral(" hat mehr als ein Komma."));
                return std::nullopt;
            }
            fraction = true;
        } else if (input::isBlank(*p)) {
            setError(error, quotedInput(trimmed) + QStringLiteral(" enthält ein Leerzeichen."));
            return std::nullopt;
        } else {
            setError(error, quotedInput(trimmed) + QStringLiteral(" ist keine Zahl."));
            return std::nullopt;
        }
    }
    if (!builder.sawDigit()) {
        setError(error, quotedInput(trimmed) + QStringLiteral(" ist keine Zahl."));
        return std::nullopt;
    }
    std::optional<Decimal> value = builder.finish(negative);
    if (!value)
        setError(error, quotedInput(trimmed) + QStringLiteral(" ist zu groß."));
    return value;
}

QString numberText(const Decimal& value)
{
    return value.toString(',');
}

QString currencyText(const Currency& amount)
{
    const qint64 units = amount.units();
    const bool negative = units < 0;
    std::uint64_t magnitude = negative ? 0 - std::uint64_t(units) : std::uint64_t(units);
    std::uint64_t fraction = magnitude % 10000;
    std::uint64_t whole = magnitude / 10000;

    // Sign, 15 integer digits, comma and four decimals.
    char buffer[32];
    char* const end = buffer + sizeof buffer;
    char* p = end;
    if (fraction != 0) {
        int digits = 4;
        while (fraction % 10 == 0) {
            fraction /= 10;
            --digits;
        }
        for (int i = 0; i < digits; ++i) {
            *--p = char('0' + fraction % 10);
            fraction /= 10;
        }
        *--p = ',';
    }
    do {
        *--p = char('0' + whole % 10);
        whole /= 10;
    } while (whole != 0);
    if (negative)
        *--p = '-';
    return QString::fromLatin1(p, end - p);
}

} // namespace odomira
