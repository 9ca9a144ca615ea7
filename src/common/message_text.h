#pragma once

#include <QString>
#include <QStringView>

// Pieces the German messages of the core share.
namespace odomira {

// Sets `*error` to `message` when the caller asked for a message.
inline void setError(QString* error, const QString& message)
{
    if (error)
        *error = message;
}

// A name or text in German quotation marks („…“), as a message shows it. With `longest` at
// 0 or more, a longer text is cut after that many characters and ends in "…".
inline QString quoted(QStringView text, qsizetype longest = -1)
{
    if (longest >= 0 && text.size() > longest)
        return QStringLiteral("„") + text.first(longest).toString() + QStringLiteral("…“");
    return QStringLiteral("„") + text.toString() + QStringLiteral("“");
}

} // namespace odomira
