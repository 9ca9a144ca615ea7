#pragma once

#include <QString>
#include <QStringList>

class QIODevice;

namespace odomira {

// The five lines of a trip page: "<html>", "<body>", the remark as it stands (unescaped;
// a remark without a value gives an empty line), "</body>", "</html>".
QStringList tripPageLines(const QString& bemerkung);

// Writes the page in Windows-1252 with CR LF after every line. A remark holding line
// breaks keeps them as they are and so spans several lines of the file.
// False when a line could not be written.
bool writeTripPage(QIODevice* device, const QString& bemerkung);

} // namespace odomira
