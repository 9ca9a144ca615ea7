#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class QIODevice;

namespace odomira {

// The page names (without ".html") of a month's trips, in the order of the list: the first
// trip of a date gets the date text itself ("15.07.2006"), later trips of that date "_2",
// "_3", ... after it ("15.07.2006_2"), so no trip's page replaces another's.
QStringList tripPageNames(const QStringList& datums);

// The five lines of a trip page: "<html>", "<body>", the remark as HTML text (see htmlText;
// a remark without a value gives an empty line), "</body>", "</html>".
QStringList tripPageLines(const QString& bemerkung);

// Writes the page in Windows-1252 with CR LF after every line. A remark holding line
// breaks keeps them as they are and so spans several lines of the file.
// False when a line could not be written.
bool writeTripPage(QIODevice* device, const QString& bemerkung);

// The bytes writeTripPage() writes, composed in memory.
QByteArray tripPageBytes(const QString& bemerkung);

} // namespace odomira
