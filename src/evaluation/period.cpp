#include "evaluation/period.h"

#include <algorithm>

namespace odomira {

const QStringList& monthNames()
{
    static const QStringList names = {
        QStringLiteral("Januar"),
        QStringLiteral("Februar"),
        QStringLiteral("März"),
        QStringLiteral("April"),
        QStringLiteral("Mai"),
        QStringLiteral("Juni"),
        QStringLiteral("Juli"),
        QStringLiteral("August"),
        QStringLiteral("September"),
        QStringLiteral("Oktober"),
        QStringLiteral("November"),
        QStringLiteral("Dezember"),
    };
    return names;
}

QStringList yearNames(int currentYear)
{
    // The logbook starts in 2006; both of its first years stay listed whatever the clock says.
    QStringList years;
    for (int year = 2006; year <= std::max(currentYear, 2007); ++year)
        years << QString::number(year);
    return years;
}

std::optional<QString> monthPart(const QString& monthText)
{
    const qsizetype index = monthNames().indexOf(monthText);
    if (index < 0)
        return std::nullopt;
    return QStringLiteral(".%1.").arg(index + 1, 2, 10, QLatin1Char('0'));
}

QString periodPattern(const QString& monatTeil, const QString& jahrTeil)
{
    return QLatin1Char('%') + monatTeil + jahrTeil + QLatin1Char('%');
}

} // namespace odomira
