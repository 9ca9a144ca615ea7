// Kills a program that saves trips at random moments (SIGKILL, no chance to clean up) and checks
// after each kill that the logbook is intact and holds every trip the program had confirmed.
// ODOMIRA_CRASH_ROUNDS sets the number of kills (100 by default).
#include "store/data_source.h"
#include "store/logbook_lock.h"
#include "support/temp_logbook.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QThread>
#include <QtTest>

#include <cstring>
#include <iostream>

using namespace odomira;
using odomira::test::TempLogbook;

namespace {

// "--write PATH ROUND": saves new trips and edits of the first trip without end, confirming on
// stdout each save the store reported done.
int write(const QString& path, const QString& round)
{
    QString error;
    LogbookLock lock(path);
    DataSource trips("buch"), first("erste");
    trips.setStatement("select * from [fahrt] order by datum asc");
    first.setStatement("select * from fahrt where id = 1");
    bool ok = lock.acquire(&error) && trips.open(path, &error) && trips.refresh(&error)
        && first.open(path, &error) && first.refresh(&error);
    // Long remarks make a save span several pages of the file.
    const QString remark = QString(3000, u'r');
    std::cout << (ok ? "ready" : "failed") << std::endl;
    for (int i = 0; ok; ++i) {
        const QString token = round + u'-' + QString::number(i);
        ok = trips.addNew(&error) && trips.setField("datum", "05.03.2007")
            && trips.setField("ziel", "Fahrt " + token) && trips.setField("bemerkung", remark)
            && trips.update(&error);
        if (ok)
            std::cout << "add " << token.toStdString() << std::endl;
        const int next = first.field("bemerkung").toInt() + 1;
        ok = ok && first.setField("bemerkung", QString::number(next)) && first.update(&error);
        if (ok)
            std::cout << "edit " << next << std::endl;
    }
    std::cout << "failed " << error.toStdString() << std::endl;
    return 3;
}

} // namespace

class TestCrashSaves : public QObject {
    Q_OBJECT

private slots:
    void killedWhileSaving();
};

void TestCrashSaves::killedWhileSaving()
{
    const int rounds = qEnvironmentVariableIsSet("ODOMIRA_CRASH_ROUNDS")
        ? qEnvironmentVariableIntValue("ODOMIRA_CRASH_ROUNDS")
        : 100;
    TempLogbook logbook;
    QVERIFY(logbook.createWithVehicle({}, { { .datum = "01.01.2007", .ziel = "Dauer", .bemerkung = "0" } }));
    QStringList confirmed;
    int edited = 0;
    QRandomGenerator random(QRandomGenerator::global()->generate());

    for (int round = 0; round < rounds; ++round) {
        QProcess writer;
        writer.start(QCoreApplication::applicationFilePath(),
            { QStringLiteral("--write"), logbook.path(), QString::number(round) });
        QVERIFY(writer.waitForStarted());
        QByteArray output;
        while (!output.contains('\n') && writer.waitForReadyRead(10000))
            output += writer.readAllStandardOutput();
        QVERIFY2(output.startsWith("ready\n"), output.constData());
        // Somewhere in the middle of a save, most of the time.
        QThread::usleep(random.bounded(60000));
        writer.kill();
        QVERIFY(writer.waitForFinished());
        output += writer.readAllStandardOutput();

        for (const QByteArray& line : output.split('\n')) {
            QVERIFY2(!line.startsWith("failed"), line.constData());
            if (line.startsWith("add "))
                confirmed << QString::fromUtf8(line.mid(4));
            else if (line.startsWith("edit "))
                edited = line.mid(5).toInt();
        }

        QCOMPARE(logbook.scalar("pragma integrity_check"), "ok");
        const QStringList stored
            = logbook.scalar("select group_concat(substr(ziel, 7), ' ') from fahrt where id > 1").split(u' ');
        for (const QString& token : std::as_const(confirmed))
            QVERIFY2(
                stored.contains(token), qPrintable(QString("round %1: trip %2 lost").arg(round).arg(token)));
        // The last confirmed edit is there, or the one after it that was written but not confirmed.
        const int kept = logbook.scalar("select bemerkung from fahrt where id = 1").toInt();
        QVERIFY2(kept == edited || kept == edited + 1,
            qPrintable(QString("round %1: edit %2 stored, %3 confirmed").arg(round).arg(kept).arg(edited)));
        edited = kept;
    }
    qInfo("%d kills, %lld trips confirmed", rounds, qlonglong(confirmed.size()));
}

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    if (argc == 4 && std::strcmp(argv[1], "--write") == 0)
        return write(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    TestCrashSaves test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_crash_saves.moc"
