#include "search/search_statement.h"

#include "common/sql_text.h"

namespace odomira {

QString searchStatement(const QString& term)
{
    const QString like = QLatin1Char('%') + quotedLikeText(term) + QLatin1Char('%');
    return QStringLiteral("select *  from [fahrt] where datum like  '") + like
        + QStringLiteral("' or ziel like  '") + like + QStringLiteral("' order by datum asc");
}

QString unsortedTripListStatement()
{
    return QStringLiteral("select *  from [fahrt]");
}

QString noHitMessage(const QString& term)
{
    return QStringLiteral("Es wurden keine Datensätze mit dem Suchbegriff ") + term
        + QStringLiteral(" gefunden");
}

} // namespace odomira
