#include "common/date_text.h"

#include "common/input_text.h"

namespace odomira {

using input::quotedInput;

namespace {

bool isDigit(QChar ch)
{
    return ch.unicode() >= u'0' && ch.unicode() <= u'9';
}

// Reads one to `most` digits at `p`; returns the number of digits read.
int readNumber(const QChar*& p, const QChar* end, int most, int* value)
{
    int count = 0;
    *value = 0;
    while (p != end && count < most + 1 && isDigit(*p)) {
        *value = *value * 10 + (p->unicode() - u'0');
        ++count;
        ++p;
    }
    return count;
}

} // namespace

std::optional<QDate> parseDate(const QString& text, QString* error)
{
    const QStringView trimmed = input::trimmed(text);
    const QChar* begin = trimmed.data();
    const QChar* end = begin + trimmed.size();
    if (begin == end) {
        setError(error, QStringLiteral("Kein Datum angegeben."));
        return std::nullopt;
    }

    // Day and month of one or two digits, the year of exactly four ("5.3.07" is refused:
    // its century would be a guess).
    const QChar* p = begin;
    int day = 0;
    int month = 0;
    int year = 0;
    const int dayDigits = readNumber(p, end, 2, &day);
    const bool dayDot = dayDigits >= 1 && dayDigits <= 2 && p != end && *p == u'.';
    if (dayDot)
        ++p;
    const int monthDigits = dayDot ? readNumber(p, end, 2, &month) : 0;
    const bool monthDot = monthDigits >= 1 && monthDigits <= 2 && p != end && *p == u'.';
    if (monthDot)
        ++p;
    const int yearDigits = monthDot ? readNumber(p, end, 4, &year) : 0;
    if (!monthDot || p != end) {
        setError(error, quotedInput(trimmed) + QStringLiteral(" ist kein Datum der Form TT.MM.JJJJ."));
        return std::nullopt;
    }
    if (yearDigits == 0) {
        setError(error, quotedInput(trimmed) + QStringLiteral(" ist kein Datum: das Jahr fehlt."));
        return std::nullopt;
    }
    if (yearDigits != 4) {
        setError(
            error, quotedInput(trimmed) + QStringLiteral(" ist kein Datum: das Jahr muss vierstellig sein."));
        return std::nullopt;
    }
    const QDate date(year, month, day);
    if (!date.isValid()) {
        setError(
            error, QStringLiteral("Den Tag ") + quotedInput(trimmed) + QStringLiteral(" gibt es nicht."));
        return std::nullopt;
    }
    return date;
}

QString dateText(const QDate& date)
{
    // Years outside 1..9999 have no four-digit form.
    if (!date.isValid() || date.year() < 1 || date.year() > 9999)
        return QString();
    const int parts[3] = { date.day(), date.month(), date.year() };
    QChar buffer[10];
    QChar* p = buffer;
    for (int i = 0; i < 3; ++i) {
        const int digits = i == 2 ? 4 : 2;
        int value = parts[i];
        for (int k = digits - 1; k >= 0; --k) {
            p[k] = QChar(u'0' + value % 10);
            value /= 10;
        }
        p += digits;
        if (i < 2)
            *p++ = u'.';
    }
    return QString(buffer, 10);
}

} // namespace odomira
