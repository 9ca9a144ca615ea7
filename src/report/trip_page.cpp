#include "report/trip_page.h"

#include "report/ansi_line_writer.h"

namespace odomira {

QStringList tripPageLines(const QString& bemerkung)
{
    return {
        QStringLiteral("<html>"),
        QStringLiteral("<body>"),
        bemerkung,
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

} // namespace odomira
