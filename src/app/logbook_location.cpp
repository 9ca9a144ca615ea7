#include "app/logbook_location.h"

#include "store/schema.h"

#include <QDir>
#include <QFileInfo>

namespace odomira {

QString userLogbookPath(const QString& xdgDataHome, const QString& home)
{
    const QString dataHome = !xdgDataHome.isEmpty() && QDir::isAbsolutePath(xdgDataHome)
        ? xdgDataHome
        : home + QStringLiteral("/.local/share");
    return QDir::cleanPath(dataHome + QStringLiteral("/odomira/") + QString::fromLatin1(LogbookFileName));
}

QString userLogbookPath()
{
    return userLogbookPath(qEnvironmentVariable("XDG_DATA_HOME"), QDir::homePath());
}

QString logbookToOpen(const CommandLine& line, const QString& workingDirectory, const QString& userLogbook)
{
    if (line.userLogbook)
        return userLogbook;
    const QString file = line.logbook.isEmpty() ? QString::fromLatin1(LogbookFileName) : line.logbook;
    return QDir::cleanPath(QDir(workingDirectory).absoluteFilePath(file));
}

QString missingLogbookMessage(const QString& path)
{
    const QFileInfo info(path);
    return QStringLiteral("Im Ordner „%1“ gibt es kein Fahrtenbuch „%2“.\n\n"
                          "Ein neues Fahrtenbuch legt das Programm odomira-db an, zum Beispiel:\n"
                          "odomira-db --kennzeichen \"B-AB 123\" \"%3\"\n\n"
                          "Über das Anwendungsmenü gestartet (odomira --mein-fahrtenbuch) legt Odomira "
                          "beim ersten Start Ihr eigenes Fahrtenbuch an.")
        .arg(QDir::toNativeSeparators(info.absolutePath()), info.fileName(),
            QDir::toNativeSeparators(info.absoluteFilePath()));
}

} // namespace odomira
