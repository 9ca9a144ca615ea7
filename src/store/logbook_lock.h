#pragma once

#include <QLockFile>
#include <QString>

namespace odomira {

// Holds a logbook for one running program: a lock file beside it (logbook path + ".lock"),
// so a second program started on the same logbook cannot overwrite what the first one saves.
// Released when the object goes; a lock file left by a program that crashed is taken over.
class LogbookLock {
public:
    explicit LogbookLock(const QString& logbookPath);
    LogbookLock(const LogbookLock&) = delete;
    LogbookLock& operator=(const LogbookLock&) = delete;

    // Takes the lock. False with a German message when another running program holds it
    // (naming its computer and process) or when the lock file cannot be made; nothing is
    // created or changed then. A logbook that is no file is not locked and gives true: opening
    // it reports why it cannot be used, and the folder keeps no lock file.
    bool acquire(QString* error);
    bool isHeld() const { return m_lock.isLocked(); }
    QString lockFilePath() const { return m_path; }

private:
    QString m_logbookPath;
    QString m_path;
    QLockFile m_lock;
};

// The message for a logbook another running program holds: who holds it (program, process,
// computer) and what the user can do.
QString logbookHeldMessage(
    const QString& logbookPath, qint64 pid, const QString& hostName, const QString& application);

} // namespace odomira
