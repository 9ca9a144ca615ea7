// Both programs as a user runs them from a terminal: help, version and licence, and a wrong
// call, all without a display.
#include "support/temp_logbook.h"

#include <QProcess>
#include <QtTest>

using odomira::test::addRow;

namespace {

struct Run {
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs `program` with no display at all: the window system is X11 and no X server is named.
Run runWithoutDisplay(const char* program, const QStringList& arguments)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QString::fromLocal8Bit(program), arguments);
    Run run;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.exitCode = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

} // namespace

class TestPrograms : public QObject {
    Q_OBJECT

private slots:
    void answersWithoutDisplay_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");

        const QString program = QStringLiteral(ODOMIRA_PROGRAM);
        const QString creator = QStringLiteral(ODOMIRA_DB_PROGRAM);
        const QString licence = QStringLiteral("|Lizenz GPL-3.0-or-later");
        const QString none;
        addRow("help", program, QStringList { "--help" }, 0,
            QString("Aufruf: odomira [Optionen] [Fahrtenbuch]"), none);
        addRow("help in English", program, QStringList { "--help-en" }, 0,
            QString("Usage: odomira [options] [logbook]"), none);
        addRow("version", program, QStringList { "--version" }, 0,
            "odomira (Odomira) " ODOMIRA_VERSION "\n" + licence, none);
        addRow("unknown option", program, QStringList { "--drucken" }, 1, none,
            QString("odomira: Unbekannte Option „--drucken“."));
        addRow("creator version", creator, QStringList { "--version" }, 0,
            "odomira-db (Odomira) " ODOMIRA_VERSION "\n" + licence, none);
    }

    void answersWithoutDisplay()
    {
        QFETCH(QString, program);
        QFETCH(QStringList, arguments);
        const Run run = runWithoutDisplay(qPrintable(program), arguments);
        QTEST(run.exitCode, "exitCode");
        QFETCH(QString, out);
        QFETCH(QString, err);
        // Each part of `out` ("|" between them) is printed; nothing when there is none.
        QVERIFY2(out.isEmpty() == run.out.isEmpty(), qPrintable(run.out));
        for (const QString& part : out.split(u'|', Qt::SkipEmptyParts))
            QVERIFY2(run.out.contains(part), qPrintable(run.out));
        QVERIFY2(err.isEmpty() ? run.err.isEmpty() : run.err.contains(err), qPrintable(run.err));
    }
};

QTEST_GUILESS_MAIN(TestPrograms)
#include "test_programs.moc"
