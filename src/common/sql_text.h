#pragma once

#include <QString>

namespace odomira {

// Text inside a quoted SQL literal: each apostrophe doubled, nothing else touched (in a
// LIKE pattern "%" and "_" keep their wildcard meaning).
inline QString quotedLikeText(const QString& text)
{
    QString quoted = text;
    quoted.replace(QLatin1Char('\''), QStringLiteral("''"));
    return quoted;
}

} // namespace odomira
