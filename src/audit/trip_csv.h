#pragma once

#include <QByteArray>
#include <QString>

struct sqlite3;

namespace odomira::audit {

// The trips of one year as CSV for a German spreadsheet: UTF-8 with byte order mark,
// semicolons between fields, CR LF after every line, a header line, then one line per trip
// in date order (ties by start reading). One column per trip field, the three kinds as one
// column of words ("Geschäftlich", "Privat", "Weg zur Arbeit"). Dates DD.MM.YYYY, numbers
// with a decimal comma and no grouping. A field holding a semicolon, a double quote or a
// line break is quoted as RFC 4180 requires (quotes doubled); a text starting with "=",
// "+", "-" or "@" gets a leading apostrophe, so a spreadsheet shows it rather than running
// it as a formula. False with a German message when the trips cannot be read.
bool tripsCsv(sqlite3* db, int year, QByteArray* csv, QString* error);

// One field as it goes into a line: guarded when it is a text, quoted where needed.
QByteArray csvField(const QString& text, bool isText);

} // namespace odomira::audit
