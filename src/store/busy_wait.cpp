#include "store/busy_wait.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>

#include <sqlite3.h>

namespace odomira {

namespace {

constexpr int PauseMs = 10;

// SQLite starts a wait with count 0; only one wait runs at a time on a thread.
thread_local QElapsedTimer waitStarted;

int busyHandler(void*, int count)
{
    if (count == 0)
        waitStarted.start();
    if (waitStarted.elapsed() >= BusyWaitMs)
        return 0;
    QCoreApplication* application = QCoreApplication::instance();
    if (application && QThread::currentThread() == application->thread())
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, PauseMs);
    sqlite3_sleep(PauseMs);
    return 1;
}

} // namespace

void installBusyWait(sqlite3* db)
{
    sqlite3_busy_handler(db, busyHandler, nullptr);
}

} // namespace odomira
