#pragma once

#include "store/schema.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <vector>

struct sqlite3_stmt;

// How a value passes between its text form, which a data source shows and takes, and the
// form its column stores. Internal to the store.
namespace odomira {

// Appends the text form of a number the store holds in machine form: "-1234.50" gives
// "-1234,5". Anything else that is a number (an exponent, as SQLite writes a large real)
// goes the long way; a text that is no number at all is appended as it stands.
void appendNumberForm(std::vector<char>& out, const char* p, std::size_t n);

// A typed value converted to what its column stores.
struct StoredValue {
    enum Type { Null, Text, Integer } type = Null;
    QByteArray text;
    qint64 integer = 0;
};

// Converts the typed text of the named column; "" is no value. A text that does not fit the
// column's kind (a date that is no date, a number text that is no number, a flag other than
// -1 or 0) gives a message naming the column.
bool toStoredValue(
    ColumnKind kind, const QString& column, const QString& text, StoredValue* out, QString* error);

// Binds a stored value to parameter `index` of a statement.
void bindStored(sqlite3_stmt* stmt, int index, const StoredValue& value);

} // namespace odomira
