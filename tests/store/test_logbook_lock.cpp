// Two programs on one logbook: the lock file beside it and the refusal of a second program.
// A lock left by a program that was killed is taken over in every round of test_crash_saves.
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

// "--hold PATH": takes the lock and keeps it until stdin closes or the process is killed.
int hold(const QString& logbook)
{
    LogbookLock lock(logbook);
    QString error;
    std::cout << (lock.acquire(&error) ? "held" : "refused " + error.toStdString()) << std::endl;
    for (std::string line; std::getline(std::cin, line);) { }
    return lock.isHeld() ? 0 : 1;
}

} // namespace

class TestLogbookLock : public QObject {
    Q_OBJECT

private slots:
    void secondProgramRefused();
    void noLockWithoutLogbook();
};

void TestLogbookLock::secondProgramRefused()
{
    TempLogbook logbook;
    QVERIFY(logbook.create());
    QProcess holder; // this test program again, holding the logbook
    holder.start(QCoreApplication::applicationFilePath(), { QStringLiteral("--hold"), logbook.path() });
    QVERIFY(holder.waitForStarted() && holder.waitForReadyRead(10000));
    QVERIFY(holder.readAllStandardOutput().startsWith("held"));
    const QString before = logbook.snapshot();

    LogbookLock second(logbook.path());
    QString error;
    QVERIFY(!second.acquire(&error));
    QVERIFY(!second.isHeld());
    // Who holds it, in German: the computer and the process.
    QVERIFY2(error.startsWith(QStringLiteral("Das Fahrtenbuch „%1“ ist bereits geöffnet").arg(logbook.path()))
            && error.contains(QStringLiteral("(Prozess %1)").arg(holder.processId()))
            && error.contains(QStringLiteral("Rechner „%1“").arg(QSysInfo::machineHostName())),
        qPrintable(error));
    QCOMPARE(logbook.snapshot(), before);

    // Once the first program ends normally, the logbook is free and its lock file gone.
    holder.closeWriteChannel();
    QVERIFY(holder.waitForFinished());
    QVERIFY(!QFile::exists(second.lockFilePath()));
    QVERIFY(second.acquire(&error));
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
