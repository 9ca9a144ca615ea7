#include "report/report_paths.h"

#include "common/input_text.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace odomira {

bool isSafeName(const QString& name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    if (name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')))
        return false;
    // Control characters (NUL, line breaks, escapes) have no place in a name a user reads.
    if (std::any_of(name.begin(), name.end(), [](QChar ch) { return ch.category() == QChar::Other_Control; }))
        return false;
    return QFile::encodeName(name).size() <= LongestNameBytes;
}

bool isSymbolicLink(const QString& path)
{
    return QFileInfo(path).isSymLink();
}

std::optional<QString> reportFolderPath(const QString& programDir, const QString& kennzeichen, QString* error)
{
    if (!isSafeName(kennzeichen)) {
        if (error)
            *error = QStringLiteral("Das Kennzeichen „%1“ kann nicht als Ordnername verwendet "
                                    "werden.")
                         .arg(input::excerpt(kennzeichen));
        return std::nullopt;
    }
    return programDir + QLatin1Char('/') + kennzeichen;
}

std::optional<QString> reportFilePath(const QString& programDir, const QString& kennzeichen,
    const QString& monthText, const QString& yearText, QString* error)
{
    const std::optional<QString> folder = reportFolderPath(programDir, kennzeichen, error);
    if (!folder)
        return std::nullopt;
    const QString name
        = kennzeichen + QLatin1Char(' ') + monthText + QLatin1Char('_') + yearText + QStringLiteral(".html");
    if (!isSafeName(name)) {
        if (error)
            *error = QStringLiteral("Monat „%1“ und Jahr „%2“ ergeben keinen gültigen Dateinamen "
                                    "für den Bericht („%3“).")
                         .arg(input::excerpt(monthText), input::excerpt(yearText), input::excerpt(name));
        return std::nullopt;
    }
    return *folder + QLatin1Char('/') + name;
}

std::optional<QString> tripPagePath(
    const QString& programDir, const QString& kennzeichen, const QString& seite, QString* error)
{
    const std::optional<QString> folder = reportFolderPath(programDir, kennzeichen, error);
    if (!folder)
        return std::nullopt;
    // The page's whole name must fit, its ending included.
    if (!isSafeName(seite) || !isSafeName(seite + QStringLiteral(".html"))) {
        if (error)
            *error = QStringLiteral("Das Datum „%1“ kann nicht als Name einer Fahrtseite verwendet "
                                    "werden.")
                         .arg(input::excerpt(seite));
        return std::nullopt;
    }
    return *folder + QLatin1Char('/') + seite + QStringLiteral(".html");
}

} // namespace odomira
