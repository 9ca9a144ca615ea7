#pragma once

#include <QString>

namespace odomira {

// The full trip lists in date order, as start-up and the list refresh set them. The two
// differ only in the blanks after the asterisk; each goes to the store as it stands.

// Statement of `buch`: "select * from [fahrt] order by datum asc" (one blank).
inline QString buchByDateStatement()
{
    return QStringLiteral("select * from [fahrt] order by datum asc");
}

// Statement of `Auswertung`: "select *  from [fahrt] order by datum asc" (two blanks).
inline QString auswertungByDateStatement()
{
    return QStringLiteral("select *  from [fahrt] order by datum asc");
}

} // namespace odomira
