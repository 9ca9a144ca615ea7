// The program as a user runs it from a terminal: help, version and licence, and a wrong call,
// all without a display.
#include "support/temp_logbook.h"

#include <QProcess>
#include <QtTest>

using odomira::test::addRow;

class TestPrograms : public QObject {
    Q_OBJECT

private slots:
    void answersWithoutDisplay_data()
    {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("out"); // each part ("|" between them) is printed
        QTest::addColumn<QString>("err");
        const QString none;
        addRow("help", QString("--help"), 0, QString("Aufruf: odomira [Optionen] [Fahrtenbuch]"), none);
        addRow("help in English", QString("--help-en"), 0, QString("Usage: odomira [options] [logbook]"), none);
        addRow("version", QString("--version"), 0,
            QString("odomira (Odomira) " ODOMIRA_VERSION "\n|Lizenz GPL-3.0-or-later"), none);
        addRow("unknown option", QString("--drucken"), 1, none,
            QString("odomira: Unbekannte Option „--drucken“."));
    }

    // The window system is X11 and no X server is named.
    void answersWithoutDisplay()
    {
        QFETCH(QString, argument);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("DISPLAY"));
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(ODOMIRA_PROGRAM), { argument });
        QVERIFY(process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit);
        QTEST(process.exitCode(), "exitCode");
        const QString printed = QString::fromUtf8(process.readAllStandardOutput());
        const QString warned = QString::fromUtf8(process.readAllStandardError());
        QFETCH(QString, out);
        QFETCH(QString, err);
        QVERIFY2(out.isEmpty() == printed.isEmpty(), qPrintable(printed));
        for (const QString& part : out.split(u'|', Qt::SkipEmptyParts))
            QVERIFY2(printed.contains(part), qPrintable(printed));
        QVERIFY2(err.isEmpty() ? warned.isEmpty() : warned.contains(err), qPrintable(warned));
    }
};

QTEST_GUILESS_MAIN(TestPrograms)
#include "test_programs.moc"
