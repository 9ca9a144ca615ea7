// The program's command line, the logbook a start opens, and the program run from a terminal.
#include "app/command_line.h"
#include "app/logbook_location.h"
#include "support/temp_logbook.h"

#include <QProcess>
#include <QtTest>

using odomira::CommandLine;
using odomira::test::addRow;
using Action = odomira::CommandLine::Action;

Q_DECLARE_METATYPE(Action)

class TestCommandLine : public QObject {
    Q_OBJECT

private slots:
    void parse_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<Action>("action");
        QTest::addColumn<QString>("logbook");
        QTest::addColumn<bool>("userLogbook");
        QTest::addColumn<QString>("error"); // a part of the message

        const auto row = [](const char* name, const QStringList& arguments, Action action,
                             const char* logbook, bool userLogbook, const char* error) {
            addRow(
                name, arguments, action, QString::fromUtf8(logbook), userLogbook, QString::fromUtf8(error));
        };
        // --help, --help-en, --version and an unknown option: answersWithoutDisplay.
        row("file named like an option after --", { "--", "--version" }, Action::Run, "--version", false, "");
        row("user logbook, English", { "--user-logbook" }, Action::Run, "", true, "");
        row("short help", { "-h" }, Action::Help, "", false, "");
        row("version beside a mistake", { "a.mdb", "b.mdb", "--version" }, Action::Version, "a.mdb", false,
            "");
        row("two logbooks", { "a.mdb", "b.mdb" }, Action::Error, "a.mdb", false, "Mehr als ein Fahrtenbuch");
        row("user logbook and a file", { "--mein-fahrtenbuch", "a.mdb" }, Action::Error, "a.mdb", true,
            "schließen einander aus");
        row("empty name", { "" }, Action::Error, "", false, "leer");
    }

    void parse()
    {
        QFETCH(QStringList, arguments);
        const CommandLine line = odomira::parseCommandLine(QStringList { "odomira" } + arguments);
        QTEST(line.action, "action");
        QTEST(line.logbook, "logbook");
        QTEST(line.userLogbook, "userLogbook");
        QFETCH(QString, error);
        QVERIFY2(error.isEmpty() ? line.error.isEmpty() : line.error.contains(error), qPrintable(line.error));
    }

    // The logbook a start opens, from the working directory "/arbeit" and the home "/home/anna".
    void logbookToOpen_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("xdgDataHome");
        QTest::addColumn<QString>("path");
        const QStringList user = { "--mein-fahrtenbuch" };
        QTest::newRow("working directory") << QStringList {} << ""
                                           << "/arbeit/odomira.mdb";
        QTest::newRow("relative") << QStringList { "../fahrten/b.mdb" } << ""
                                  << "/fahrten/b.mdb";
        QTest::newRow("user's, XDG_DATA_HOME set") << user << "/daten/anna/"
                                                   << "/daten/anna/odomira/odomira.mdb";
        QTest::newRow("user's, relative XDG_DATA_HOME counts as unset")
            << user << "daten"
            << "/home/anna/.local/share/odomira/odomira.mdb";
    }

    void logbookToOpen()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, xdgDataHome);
        const CommandLine line = odomira::parseCommandLine(QStringList { "odomira" } + arguments);
        QTEST(odomira::logbookToOpen(line, QStringLiteral("/arbeit"),
                  odomira::userLogbookPath(xdgDataHome, QStringLiteral("/home/anna"))),
            "path");
    }

    // The program as a user runs it from a terminal: help, version and licence, and a wrong
    // call, all without a display.
    void answersWithoutDisplay_data()
    {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("out"); // each part ("|" between them) is printed
        QTest::addColumn<QString>("err");
        const QString none;
        addRow("help", QString("--help"), 0, QString("Aufruf: odomira [Optionen] [Fahrtenbuch]"), none);
        addRow(
            "help in English", QString("--help-en"), 0, QString("Usage: odomira [options] [logbook]"), none);
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

QTEST_GUILESS_MAIN(TestCommandLine)
#include "test_command_line.moc"
