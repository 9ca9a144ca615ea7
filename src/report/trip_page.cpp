#include "report/trip_page.h"

#include "report/ansi_line_writer.h"
#include "report/report_document.h"

#include <QBuffer>
#include <QHash>

namespace odomira {

QStringList tripPageNames(const QStringList& datums)
{
    QHash<QString, int> seen;
    QStringList names;
    names.reserve(datums.size());
    for (const QString& datum : datums) {
        const int occurrence = ++seen[datum];
        names << (occurrence == 1 ? datum : datum + QLatin1Char('_') + QString::number(occurrence));
    }
    return names;
}

QStringList tripPageLines(const QString& bemerkung)
{
    return {
        QStringLiteral("<html>"),
        QStringLiteral("<body>"),
        htmlText(bemerkung),
        QStringLiteral("</body>"),
        QStringLiteral("</html>"),
    };
}

bool writeTripPage(QIODevice* device, const QString& bemerkung)
{
    AnsiLineWriter writer(device);
    for (const QString& line : tripPageLines(bemerkung)) {
        if (!writer.writeLine(line))
            return false;
    }
    return true;
}

QByteArray tripPageBytes(const QString& bemerkung)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    writeTripPage(&buffer, bemerkung); // memory takes every line
    return bytes;
}

} // namespace odomira
