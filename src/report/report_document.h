#pragma once

#include "report/ansi_line_writer.h"

#include <QString>
#include <QStringList>

class QIODevice;

namespace odomira {

// One row of the report table: the trip's cell texts as the list gives them, and the name of
// its trip page without ".html" (see tripPageNames), which its date links to.
struct ReportTrip {
    QString seite;
    QString datum;
    QString von;
    QString bis;
    QString ziel;
    QString anfangsstand;
    QString endstand;
    QString gesamt;
};

// The heading line: titel + " mit " + plate + " für Monat " + month text + " " + year text.
QString reportHeading(const QString& auswertungTitel, const QString& kennzeichen, const QString& monthText,
    const QString& yearText);

// A stored or typed text as HTML text: "&", "<", ">" and '"' become entities, everything
// else stays as it is (line breaks included), so a text without them gives the same bytes.
QString htmlText(const QString& text);

// The lines of the report page: 26 head lines, 9 per trip, 20 tail lines (46 + 9n for n
// trips). Every text that is not the page's own markup goes in through htmlText. The head's table and its
// first "<div align=left>" stay open and "</center>" follows "</body>": browsers accept the page so.
QStringList reportHeadLines(const QString& heading);
QStringList reportTripLines(const ReportTrip& trip);
// `summeKm` and `kosten`: the texts of the two sum fields.
QStringList reportTailLines(const QString& summeKm, const QString& kosten);

// Writes the report page to a device in Windows-1252 with CR LF line ends.
class ReportWriter {
public:
    explicit ReportWriter(QIODevice* device);

    bool writeHead(const QString& heading);
    bool writeTrip(const ReportTrip& trip);
    bool writeTail(const QString& summeKm, const QString& kosten);
    // False once a line could not be written.
    bool ok() const { return m_lines.ok(); }

private:
    bool writeLines(const QStringList& lines);

    AnsiLineWriter m_lines;
};

} // namespace odomira
