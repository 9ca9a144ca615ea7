#include "common/number_text.h"

#include "common/decimal_builder.h"

#include <cstdint>

namespace odomira {

namespace {

bool isBlank(QChar ch)
{
    return ch == u' ' || ch == u'\t' || ch.isSpace();
}

// The text as the user sees it in a message, cut short when it is long.
QString quoted(QStringView text)
{
    constexpr qsizetype Longest = 40;
    if (text.size() > Longest)
        return QStringLiteral("„") + text.first(Longest).toString() + QStringLiteral("…“");
    return QStringLiteral("„") + text.toString() + QStringLiteral("“");
}

void setError(QString* error, const QString& message)
{
    if (error)
        *error = message;
}

} // namespace

std::optional<Decimal> parseNumber(const QString& text, QString* error)
{
    const QChar* begin = text.constData();
    const QChar* end = begin + text.size();
    while (begin != end && isBlank(*begin))
        ++begin;
    while (end != begin && isBlank(*(end - 1)))
        --end;
    const QStringView trimmed(begin, end);
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
                setError(error, quoted(trimmed) + QStringLiteral(" hat mehr als ein Komma."));
                return std::nullopt;
            }
            fraction = true;
        } else if (isBlank(*p)) {
            setError(error, quoted(trimmed) + QStringLiteral(" enthält ein Leerzeichen."));
            return std::nullopt;
        } else {
            setError(error, quoted(trimmed) + QStringLiteral(" ist keine Zahl."));
            return std::nullopt;
        }
    }
    if (!builder.sawDigit()) {
        setError(error, quoted(trimmed) + QStringLiteral(" ist keine Zahl."));
        return std::nullopt;
    }
    std::optional<Decimal> value = builder.finish(negative);
    if (!value)
        setError(error, quoted(trimmed) + QStringLiteral(" ist zu groß."));
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
