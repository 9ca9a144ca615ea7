#include "store/logbook_lock.h"

#include "store/store_text.h"

#include <QFileInfo>

namespace odomira {

using store::quoted;
using store::setError;

LogbookLock::LogbookLock(const QString& logbookPath)
    : m_logbookPath(logbookPath)
    , m_path(logbookPath + QStringLiteral(".lock"))
    , m_lock(m_path)
{
    // Held for as long as the program runs: only a holder that no longer runs makes a lock
    // stale, never its age.
    m_lock.setStaleLockTime(0);
}

bool LogbookLock::acquire(QString* error)
{
    if (m_lock.isLocked())
        return true;
    if (!QFileInfo(m_logbookPath).isFile())
        return true;
    // A stale lock (its process gone) is removed by tryLock itself. A second try covers a lock
    // released meanwhile and a lock file left unreadable by a crash while it was written.
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (m_lock.tryLock(0))
            return true;
        if (m_lock.error() != QLockFile::LockFailedError)
            break;
        qint64 pid = 0;
        QString host;
        QString application;
        if (m_lock.getLockInfo(&pid, &host, &application)) {
            setError(error, logbookHeldMessage(m_logbookPath, pid, host, application));
            return false;
        }
        // Removes the file only when no running process keeps it locked.
        m_lock.removeStaleLockFile();
    }
    if (m_lock.error() == QLockFile::LockFailedError) {
        setError(error,
            QStringLiteral("Das Fahrtenbuch %1 wird gerade von einem anderen Programm geöffnet. Bitte "
                           "versuchen Sie es in einem Augenblick noch einmal.")
                .arg(quoted(m_logbookPath)));
        return false;
    }
    setError(error,
        QStringLiteral("Das Fahrtenbuch %1 kann nicht für Odomira reserviert werden: die Sperrdatei %2 lässt "
                       "sich nicht anlegen. Bitte geben Sie Schreibrechte für den Ordner des Fahrtenbuchs.")
            .arg(quoted(m_logbookPath), quoted(m_path)));
    return false;
}

QString logbookHeldMessage(
    const QString& logbookPath, qint64 pid, const QString& hostName, const QString& application)
{
    const QString program = application.isEmpty()
        ? QStringLiteral("ein anderes Programm")
        : QStringLiteral("das Programm %1").arg(quoted(application));
    const QString host = hostName.isEmpty() ? QStringLiteral("einem unbekannten Rechner")
                                            : QStringLiteral("dem Rechner %1").arg(quoted(hostName));
    return QStringLiteral("Das Fahrtenbuch %1 ist bereits geöffnet: %2 (Prozess %3) auf %4 verwendet es. "
                          "Odomira wird beendet, ohne etwas zu ändern. Bitte arbeiten Sie in dem anderen "
                          "Fenster weiter oder schließen Sie es und starten Sie Odomira dann neu.")
        .arg(quoted(logbookPath), program, QString::number(pid), host);
}

} // namespace odomira
