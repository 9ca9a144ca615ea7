#include "report/report_document.h"

namespace odomira {

namespace {

QString leftCell(const QString& text)
{
    return QStringLiteral("<td width=486 height=9 align=left><font face=MS Sans Serif size=2>")
        + htmlText(text) + QStringLiteral("</td>");
}

QString rightCell(const QString& text)
{
    return QStringLiteral("<td width=486 height=9 align=right><font face=MS Sans Serif size=2>")
        + htmlText(text) + QStringLiteral("</td>");
}

QString centreCell(const QString& text)
{
    return QStringLiteral("<td width=1560 height=9 align=center><font face=MS Sans Serif size=2>")
        + htmlText(text) + QStringLiteral("</td>");
}

} // namespace

QString htmlText(const QString& text)
{
    // Exactly the four characters that could open markup, end it or close an attribute.
    return text.toHtmlEscaped();
}

QString reportHeading(const QString& auswertungTitel, const QString& kennzeichen, const QString& monthText,
    const QString& yearText)
{
    return auswertungTitel + QStringLiteral(" mit ") + kennzeichen + QStringLiteral(" für Monat ") + monthText
        + QLatin1Char(' ') + yearText;
}

QStringList reportHeadLines(const QString& heading)
{
    return {
        QStringLiteral("<html>"),
        QStringLiteral("<body>"),
        QStringLiteral("<center>"),
        htmlText(heading),
        QStringLiteral("<div align=left>"),
        QStringLiteral("<table border=0 width=893 height=9>"),
        QStringLiteral("<tr>"),
        QStringLiteral(
            "<td width=486 height=22 align=left><b><font face=MS Sans Serif size=2>Datum</font></b></td>"),
        QStringLiteral(
            "<td width=486 height=22 align=left><b><font face=MS Sans Serif size=2>von</font></b></td>"),
        QStringLiteral(
            "<td width=486 height=22 align=left><b><font face=MS Sans Serif size=2>bis</font></b></td>"),
        QStringLiteral("<td width=486 height=22 align=left>"),
        QStringLiteral("<p align=right><b><font face=MS Sans Serif size=2>Reisziel</font></b></p>"),
        QStringLiteral("</td>"),
        QStringLiteral("<td width=486 height=22 align=right><b><font face=MS Sans Serif size=2 "
                       "color=#0000FF>KM Start</font></b></td>"),
        QStringLiteral("<td width=486 height=22 align=right><b><font face=MS Sans Serif size=2 "
                       "color=#FF0000>KM Ziel</font></b></td>"),
        QStringLiteral("<td width=486 height=22 align=right><b><font face=MS Sans Serif size=2 "
                       "color=#FF0000>KM Gesamt</font></b></td>"),
        QStringLiteral("</td>"),
        QStringLiteral("</tr>"),
        QStringLiteral("<tr>"),
        QStringLiteral("<td width=486 height=22 align=left></td>"),
        QStringLiteral("<td width=486 height=22 align=left></td>"),
        QStringLiteral("<td width=486 height=22 align=left></td>"),
        QStringLiteral("<td width=486 height=22 align=right></td>"),
        QStringLiteral("<td width=486 height=22 align=right></td>"),
        QStringLiteral("<td width=486 height=22 align=right></td>"),
        QStringLiteral("</tr>"),
    };
}

QStringList reportTripLines(const ReportTrip& trip)
{
    // The link points at the trip's own page, relative to the report folder.
    return {
        QStringLiteral("<tr>"),
        QStringLiteral("<td width=486 height=9 align=left><font face=MS Sans Serif size=2><a href =")
            + htmlText(trip.seite) + QStringLiteral(".html target=_blank>") + htmlText(trip.datum)
            + QStringLiteral("</a></td>"),
        leftCell(trip.von),
        leftCell(trip.bis),
        rightCell(trip.ziel),
        rightCell(trip.anfangsstand),
        rightCell(trip.endstand),
        rightCell(trip.gesamt),
        QStringLiteral("</tr>"),
    };
}

QStringList reportTailLines(const QString& summeKm, const QString& kosten)
{
    return {
        QStringLiteral("</table>"),
        QStringLiteral("<hr>"),
        QStringLiteral("<div align=left>"),
        QStringLiteral("<table border=0 width=893 height=9>"),
        QStringLiteral("<tr>"),
        leftCell(QStringLiteral("Kilometer Gesamt:")),
        leftCell(summeKm),
        leftCell(QString()),
        rightCell(QString()),
        rightCell(QStringLiteral("Kosten KM ")),
        rightCell(kosten),
        centreCell(QString()),
        QStringLiteral("</tr>"),
        QStringLiteral("</table>"),
        QStringLiteral("<hr>"),
        QStringLiteral("<hr>"),
        QStringLiteral("</div>"),
        QStringLiteral("</body>"),
        QStringLiteral("</center>"),
        QStringLiteral("</html>"),
    };
}

ReportWriter::ReportWriter(QIODevice* device)
    : m_lines(device)
{
}

bool ReportWriter::writeHead(const QString& heading)
{
    return writeLines(reportHeadLines(heading));
}

bool ReportWriter::writeTrip(const ReportTrip& trip)
{
    return writeLines(reportTripLines(trip));
}

bool ReportWriter::writeTail(const QString& summeKm, const QString& kosten)
{
    return writeLines(reportTailLines(summeKm, kosten));
}

bool ReportWriter::writeLines(const QStringList& lines)
{
    for (const QString& line : lines) {
        if (!m_lines.writeLine(line))
            return false;
    }
    return true;
}

} // namespace odomira
