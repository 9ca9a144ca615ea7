#pragma once

#include "common/message_text.h"

#include <QString>
#include <QStringView>

// Small pieces shared by the readers of typed number and date texts.
namespace odomira::input {

inline bool isBlank(QChar ch)
{
    return ch == u' ' || ch == u'\t' || ch.isSpace();
}

// The text without the blanks around it.
inline QStringView trimmed(const QString& text)
{
    const QChar* begin = text.constData();
    const QChar* end = begin + text.size();
    while (begin != end && isBlank(*begin))
        ++begin;
    while (end != begin && isBlank(*(end - 1)))
        --end;
    return QStringView(begin, end);
}

// At most the first 40 characters of a typed text, for a message that quotes it; a cut text
// ends in "…" and never in half a character.
inline QString excerpt(QStringView text)
{
    constexpr qsizetype Longest = 40;
    if (text.size() <= Longest)
        return text.toString();
    const qsizetype kept = text[Longest - 1].isHighSurrogate() ? Longest - 1 : Longest;
    return text.first(kept).toString() + QStringLiteral("…");
}

// A typed text as a message shows it: quoted, cut short when it is long.
inline QString quotedInput(QStringView text)
{
    return quoted(excerpt(text));
}

} // namespace odomira::input
