#include "store/list_shape.h"

#include <QRegularExpression>

namespace odomira {

namespace {

// A name bare, in brackets, in double quotes or in back quotes.
QString unquoted(const QString& name)
{
    if (name.size() >= 2
        && ((name.front() == u'[' && name.back() == u']') || (name.front() == u'"' && name.back() == u'"')
            || (name.front() == u'`' && name.back() == u'`'))) {
        QString inner = name.mid(1, name.size() - 2);
        if (name.front() != u'[')
            inner.replace(QString(2, name.front()), QString(name.front()));
        return inner;
    }
    return name;
}

} // namespace

QString normalizedStatement(const QString& sql)
{
    QString text;
    text.reserve(sql.size());
    QChar quote; // the quote open at this point, if any
    bool blank = false;
    for (const QChar c : sql) {
        if (quote.isNull() && c.isSpace()) {
            blank = true;
            continue;
        }
        if (blank && !text.isEmpty())
            text += u' ';
        blank = false;
        text += c;
        if (quote.isNull()) {
            if (c == u'\'' || c == u'"' || c == u'`')
                quote = c;
            else if (c == u'[')
                quote = u']';
        } else if (c == quote) {
            quote = QChar(); // a doubled quote closes and opens again: the same in the end
        }
    }
    return text;
}

std::optional<WholeTableList> wholeTableList(const QString& sql)
{
    static const QRegularExpression shape(
        QStringLiteral(
            R"(^\s*select\s+\*\s+from\s+(\[[^\]]+\]|"(?:[^"]|"")+"|`(?:[^`]|``)+`|[A-Za-z_][A-Za-z0-9_]*))"
            R"((?:\s+order\s+by\s+(\[[^\]]+\]|"(?:[^"]|"")+"|`(?:[^`]|``)+`|[A-Za-z_][A-Za-z0-9_]*)(?:\s+asc)?)?\s*;?\s*$)"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = shape.match(sql);
    if (!match.hasMatch())
        return std::nullopt;
    return WholeTableList { unquoted(match.captured(1)), unquoted(match.captured(2)) };
}

} // namespace odomira
