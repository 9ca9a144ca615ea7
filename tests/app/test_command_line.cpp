// The program's command line and the logbook a start opens.
#include "app/command_line.h"
#include "app/logbook_location.h"
#include "support/temp_logbook.h"

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
        // --help, --help-en, --version and an unknown option as TestPrograms runs them.
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

    // Options of the window system are left to it; everything else is the program's own.
    void toolkitOptions_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("toolkit");
        QTest::newRow("platform") << QStringList { "-platform", "offscreen", "a.mdb" } << true;
        QTest::newRow("own options") << QStringList { "--mein-fahrtenbuch", "-h", "-", "a.mdb" } << false;
        QTest::newRow("after --") << QStringList { "--", "-style" } << false;
    }

    void toolkitOptions()
    {
        QFETCH(QStringList, arguments);
        QTEST(odomira::hasToolkitOptions(QStringList { "odomira" } + arguments), "toolkit");
    }

    void userLogbookPath_data()
    {
        QTest::addColumn<QString>("xdgDataHome");
        QTest::addColumn<QString>("path");
        const QString standard = QStringLiteral("/home/anna/.local/share/odomira/odomira.mdb");
        addRow("set", QString("/daten/anna/"), QString("/daten/anna/odomira/odomira.mdb"));
        addRow("relative counts as unset", QString("daten"), standard);
    }

    void userLogbookPath()
    {
        QFETCH(QString, xdgDataHome);
        QTEST(odomira::userLogbookPath(xdgDataHome, QStringLiteral("/home/anna")), "path");
    }

    void logbookToOpen_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("path");
        QTest::newRow("working directory") << QStringList {} << "/arbeit/odomira.mdb";
        QTest::newRow("relative") << QStringList { "../fahrten/b.mdb" } << "/fahrten/b.mdb";
        QTest::newRow("user logbook") << QStringList { "--mein-fahrtenbuch" } << "/home/anna/eigen.mdb";
    }

    void logbookToOpen()
    {
        QFETCH(QStringList, arguments);
        const CommandLine line = odomira::parseCommandLine(QStringList { "odomira" } + arguments);
        QTEST(odomira::logbookToOpen(line, QStringLiteral("/arbeit"), QStringLiteral("/home/anna/eigen.mdb")),
            "path");
    }

    // Names the folder looked in and the ways to a new logbook.
    void missingLogbookMessage()
    {
        const QString text = odomira::missingLogbookMessage(QStringLiteral("/home/anna/fahrten/odomira.mdb"));
        QVERIFY2(text.contains(QStringLiteral("Im Ordner „/home/anna/fahrten“"))
                && text.contains("\"/home/anna/fahrten/odomira.mdb\"") && text.contains("--mein-fahrtenbuch"),
            qPrintable(text));
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "test_command_line.moc"
