// Two programs on one logbook: the lock file beside it, the refusal of a second program,
// and a lock left by a program that was killed taken over.
#include "store/logbook_lock.h"
#include "support/temp_logbook.h"

#include <QDir>
#include <QProcess>
#include <QtTest>

#include <cstring>
#include <iostream>

using namespace odomira;
using odomira::test::TempLogbook;

namespace {

// Another program holding the logbook: this test program started again with "--hold".
struct Holder {
    QProcess process;

    bool start(const QString& logbook)
    {
        process.start(QCoreApplication::applicationFilePath(), { QStringLiteral("--hold"), logbook });
        if (!process.waitForStarted() || !process.waitForReadyRead(10000))
            return false;
        return process.readAllStandardOutput().startsWith("held");
    }

    ~Holder()
    {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished();
        }
    }
};

// "--hold PATH": takes the lock and keeps it until stdin closes or the process is killed.
int hold(const QString& logbook)
{
    LogbookLock lock(logbook);
    QString error;
    if (!lock.acquire(&error)) {
        std::cout << "refused " << error.toStdString() << std::endl;
        return 1;
    }
    std::cout << "held" << std::endl;
    std::string line;
    while (std::getline(std::cin, line)) { }
    return 0;
}

} // namespace

class TestLogbookLock : public QObject {
    Q_OBJECT

private slots:
    void secondProgramRefused();
    void lockOfKilledProgramTakenOver();
    void noLockWithoutLogbook();
};

void TestLogbookLock::secondProgramRefused()
{
    TempLogbook logbook;
    QVERIFY(logbook.create());
    Holder holder;
    QVERIFY(holder.start(logbook.path()));
    const QString before = logbook.snapshot();

    LogbookLock second(logbook.path());
    QString error;
    QVERIFY(!second.acquire(&error));
    QVERIFY(!second.isHeld());
    // Who holds it, in German: the computer and the process.
    QVERIFY2(error.startsWith(QStringLiteral("Das Fahrtenbuch „%1“ ist bereits geöffnet").arg(logbook.path()))
            && error.contains(QStringLiteral("(Prozess %1)").arg(holder.process.processId()))
            && error.contains(QStringLiteral("Rechner „%1“").arg(QSysInfo::machineHostName())),
        qPrintable(error));
    QCOMPARE(logbook.snapshot(), before);

    // Once the first program ends normally, the logbook is free and its lock file gone.
    holder.process.closeWriteChannel();
    QVERIFY(holder.process.waitForFinished());
    QVERIFY(!QFile::exists(second.lockFilePath()));
    QVERIFY(second.acquire(&error));
}

void TestLogbookLock::lockOfKilledProgramTakenOver()
{
    TempLogbook logbook;
    QVERIFY(logbook.create());
    Holder holder;
    QVERIFY(holder.start(logbook.path()));
    holder.process.kill(); // SIGKILL: the lock file stays behind
    QVERIFY(holder.process.waitForFinished());
    LogbookLock next(logbook.path());
    QVERIFY(QFile::exists(next.lockFilePath()));

    QString error;
    QVERIFY2(next.acquire(&error), qPrintable(error));
    qint64 pid = 0;
    QLockFile probe(next.lockFilePath());
    QVERIFY(probe.getLockInfo(&pid, nullptr, nullptr));
    QCOMPARE(pid, QCoreApplication::applicationPid());
}

// A missing logbook is reported by opening it; the folder gets no lock file meanwhile.
void TestLogbookLock::noLockWithoutLogbook()
{
    TempLogbook logbook;
    LogbookLock lock(logbook.path());
    QString error;
    QVERIFY(lock.acquire(&error));
    QVERIFY(!lock.isHeld());
    QVERIFY(QDir(logbook.dirPath()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
}

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    if (argc == 3 && std::strcmp(argv[1], "--hold") == 0)
        return hold(QString::fromLocal8Bit(argv[2]));
    TestLogbookLock test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_logbook_lock.moc"
