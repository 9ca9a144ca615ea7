#pragma once

#include "common/message_text.h"

#include <QByteArray>
#include <QString>

#include <sqlite3.h>

// Texts the store's files share: names written into SQL and the pieces of its messages.
namespace odomira::store {

using odomira::quoted;
using odomira::setError;

// A table or column name as SQL takes it, whatever characters it holds.
inline QByteArray sqlName(const QString& name)
{
    QByteArray text = name.toUtf8();
    text.replace('"', "\"\"");
    return '"' + text + '"';
}

// A text as an SQL string literal.
inline QByteArray sqlLiteral(const QString& text)
{
    QByteArray bytes = text.toUtf8();
    bytes.replace('\'', "''");
    return '\'' + bytes + '\'';
}

// A connection that could not be made has no handle, only the lack of memory to blame.
inline QString sqliteMessage(sqlite3* db)
{
    return db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("kein Speicher");
}

} // namespace odomira::store
