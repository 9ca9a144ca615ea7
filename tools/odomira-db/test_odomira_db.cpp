// Runs the logbook creator as a user would and checks the file it leaves; runs the check,
// the protocol and the CSV export on such files.

#include "audit/logbook_reading.h"
#include "audit/trip_csv.h"
#include "common/currency.h"
#include "common/date_text.h"
#include "common/decimal.h"
#include "support/temp_logbook.h"

#include <QFile>
#include <QHash>
#include <QProcess>
#include <QSet>
#include <QTest>

using odomira::Currency;
using odomira::Decimal;
using odomira::test::TempLogbook;

namespace {

struct Run {
    int exitCode = -1;
    QString err;
    QByteArray out;
};

Run runCreator(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral(ODOMIRA_DB_PROGRAM), arguments);
    Run run;
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.exitCode = process.exitCode();
    run.err = QString::fromUtf8(process.readAllStandardError());
    run.out = process.readAllStandardOutput();
    return run;
}

Decimal number(const QString& machine)
{
    const auto value = Decimal::fromCanonical(machine.toStdString());
    return value ? *value : Decimal::fromInt(-999999);
}

} // namespace

class TestOdomiraDb : public QObject {
    Q_OBJECT
private slots:
    void vehicleRow_data();
    void vehicleRow();
    void demoTrips();
    void refusesExistingFile();
    void usageErrors_data();
    void usageErrors();
    void checkDemoAndTampered();
    void protocolOfNewLogbook();
    void csvOfDemo();
    void readingModes_data();
    void readingModes();
};

void TestOdomiraDb::vehicleRow_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QStringList>("row"); // kennzeichen, verbrauch, steuer, versicherung

    QTest::newRow("defaults") << QStringList {} << QStringList { "HH-OM 42", "7.9", "250", "1201.45" };
    QTest::newRow("german numbers") << QStringList { "--kennzeichen", "M-ÄÖ 77", "--verbrauch", " 6,5 ",
        "--steuer", "1.180,50", "--versicherung=980" }
                                    << QStringList { "M-ÄÖ 77", "6.5", "1180.5", "980" };
}

void TestOdomiraDb::vehicleRow()
{
    QFETCH(QStringList, options);
    TempLogbook logbook;
    const Run run = runCreator(options << logbook.path());
    QCOMPARE(run.exitCode, 0);

    const auto rows
        = logbook.query(QStringLiteral("select kennzeichen, verbrauch, steuer, versicherung from verbrauch"));
    QCOMPARE(rows.size(), 1);
    QFETCH(QStringList, row);
    QCOMPARE(rows[0][0], row[0]);
    // Stored in machine form; compared by value so 250.00 and 250 both pass.
    for (int i = 1; i < 4; ++i)
        QCOMPARE(number(rows[0][i]), number(row[i]));
    QCOMPARE(logbook.scalar(QStringLiteral("select count(*) from fahrt")), QStringLiteral("0"));
}

void TestOdomiraDb::demoTrips()
{
    TempLogbook logbook;
    QCOMPARE(runCreator({ QStringLiteral("--demo"), QStringLiteral("--verbrauch"), QStringLiteral("6,5"),
                            logbook.path() })
                 .exitCode,
        0);

    const auto rows = logbook.query(QStringLiteral(
        "select datum, anfangsstand, endstand, gesamt, preisliter, kosten, geschaeftl, privat, zurarbeit"
        " from fahrt order by id"));
    QVERIFY(rows.size() >= 100);

    const Decimal consumption = number(QStringLiteral("0.065"));
    QSet<QString> months;
    QHash<QString, int> kinds; // geschaeftl, privat, zurarbeit
    Decimal lastEnd;
    for (const QStringList& row : rows) {
        const auto date = odomira::parseDate(row[0]);
        QVERIFY2(date && odomira::dateText(*date) == row[0], qPrintable(row[0]));
        months.insert(row[0].mid(3));

        // Odometer climbs; kilometres and cost are what saving the trip would compute.
        const Decimal start = number(row[1]), end = number(row[2]), km = number(row[3]);
        QVERIFY(!(start < lastEnd));
        QVERIFY(lastEnd < end);
        lastEnd = end;
        QCOMPARE(*end.subtract(start), km);
        const auto cost = Currency::fromDecimal(*consumption.multiply(km)->multiply(number(row[4])));
        QCOMPARE(number(row[5]), cost->toDecimal());

        ++kinds[row.mid(6, 3).join(u' ')];
    }
    QCOMPARE(months.size(), 24);
    QCOMPARE(kinds.size(), 4); // one kind each, or none
    QVERIFY(kinds["-1 0 0"] > 10 && kinds["0 -1 0"] > 10 && kinds["0 0 -1"] > 10);
    QVERIFY(kinds["0 0 0"] >= 2 && kinds["0 0 0"] < int(rows.size()) / 8);

    // Fixed start value: a second logbook is the same.
    TempLogbook again;
    QCOMPARE(
        runCreator({ QStringLiteral("--demo"), QStringLiteral("--verbrauch=6,5"), again.path() }).exitCode,
        0);
    QCOMPARE(again.query(QStringLiteral("select * from fahrt order by id")),
        logbook.query(QStringLiteral("select * from fahrt order by id")));
}

void TestOdomiraDb::refusesExistingFile()
{
    TempLogbook logbook;
    QFile file(logbook.path());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("not a logbook");
    file.close();

    const Run run = runCreator({ QStringLiteral("--demo"), logbook.path() });
    QCOMPARE(run.exitCode, 2);
    QVERIFY(run.err.contains(QStringLiteral("nicht überschrieben")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("not a logbook"));
}

void TestOdomiraDb::usageErrors_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("message");

    QTest::newRow("not a number") << QStringList { "--verbrauch", "sieben" } << "--verbrauch";
    QTest::newRow("negative") << QStringList { "--versicherung", "-5" } << "negativ";
    QTest::newRow("missing value") << QStringList { "--demo", "--kennzeichen" } << "Wert";
    QTest::newRow("unknown option") << QStringList { "--force" } << "--force";
    QTest::newRow("two files") << QStringList { "other.mdb" } << "Mehr als eine Datei";
}

void TestOdomiraDb::usageErrors()
{
    QFETCH(QStringList, options);
    QFETCH(QString, message);
    TempLogbook logbook;
    // The file first, so an option at the end lacks its value.
    const Run run = runCreator(QStringList { logbook.path() } + options);
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains(message), qPrintable(run.err));
    QVERIFY(!QFile::exists(logbook.path()));
    QVERIFY(!QFile::exists(QStringLiteral("other.mdb")));
}

// A demo logbook checks clean; a trip changed with plain SQL is found. The check changes nothing.
void TestOdomiraDb::checkDemoAndTampered()
{
    TempLogbook logbook;
    QCOMPARE(runCreator({ "--demo", logbook.path() }).exitCode, 0);
    const QString trips = logbook.scalar("select count(*) from fahrt");
    QCOMPARE(logbook.scalar("select count(*) from historie where aktion = 'Neu'").toInt(), trips.toInt() + 1);

    Run run = runCreator({ "--pruefen", logbook.path() });
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(QString::fromUtf8(run.out),
        "Geprüft: " + trips + " Fahrten, " + QString::number(trips.toInt() + 1)
            + " Einträge der Änderungshistorie; keine Befunde.\n");

    QVERIFY(logbook.exec("update fahrt set ziel = 'Sylt' where id = 3"));
    QFile file(logbook.path());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();
    run = runCreator({ "--pruefen", logbook.path() });
    QCOMPARE(run.exitCode, 4);
    const QStringList lines = QString::fromUtf8(run.out).split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 2);
    QVERIFY2(lines[0].contains("außerhalb von Odomira geändert: „Ziel“ ist „Sylt“"), qPrintable(lines[0]));
    QVERIFY(lines[1].endsWith("; 1 Befund."));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), before);
}

void TestOdomiraDb::protocolOfNewLogbook()
{
    TempLogbook logbook;
    QCOMPARE(runCreator({ "--kennzeichen", "M-ÄÖ 77", logbook.path() }).exitCode, 0);
    const Run run = runCreator({ "--protokoll", logbook.path() });
    QCOMPARE(run.exitCode, 0);
    QStringList lines = QString::fromUtf8(run.out).split(u'\n');
    QVERIFY2(
        lines.size() == 6 && lines[0].startsWith("Nr. 1  ") && lines[0].endsWith("  Neu  Fahrzeug „M-ÄÖ 77“"),
        qPrintable(lines.join(u'|')));
    QVERIFY(QDateTime::fromString(lines[0].section(u' ', 3, 3), Qt::ISODate).isValid());
    QCOMPARE(lines.mid(1),
        QStringList({ "    Kennzeichen: „M-ÄÖ 77“", "    Verbrauch 100km: 7,9", "    Steuer: 250",
            "    Versicherung: 1201,45", "" }));
}

// The program writes the export's bytes as they are (no newline translation, byte order mark first).
void TestOdomiraDb::csvOfDemo()
{
    TempLogbook logbook;
    QCOMPARE(runCreator({ "--demo", logbook.path() }).exitCode, 0);
    const Run run = runCreator({ "--csv", "2007", logbook.path() });
    QCOMPARE(run.exitCode, 0);
    odomira::audit::ReadOnlyLogbook file;
    QByteArray expected;
    QVERIFY(file.open(logbook.path(), nullptr)
        && odomira::audit::tripsCsv(file.handle(), 2007, &expected, nullptr));
    QCOMPARE(run.out, expected);
    QCOMPARE(run.out.count("\r\n"),
        logbook.scalar("select count(*) from fahrt where datum like '%.2007'").toInt() + 1);
}

void TestOdomiraDb::readingModes_data()
{
    QTest::addColumn<QString>("file"); // "older": a logbook without history; "none": no file
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message"); // part of the output or the error

    QTest::newRow("older file checked")
        << "older" << QStringList { "--pruefen" } << 4 << "keine Änderungshistorie";
    QTest::newRow("older file listed")
        << "older" << QStringList { "--protokoll" } << 4 << "keine Änderungshistorie";
    QTest::newRow("missing file") << "none" << QStringList { "--pruefen" } << 3 << "nicht gefunden";
    QTest::newRow("year not a year") << "older" << QStringList { "--csv", "07" } << 1 << "vier Ziffern";
    QTest::newRow("two modes") << "older" << QStringList { "--pruefen", "--csv=2007" } << 1 << "Nur eine";
    QTest::newRow("mode and creating")
        << "older" << QStringList { "--protokoll", "--demo" } << 1 << "keine Optionen";
}

void TestOdomiraDb::readingModes()
{
    QFETCH(QString, file);
    QFETCH(QStringList, options);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    TempLogbook logbook;
    if (file == u"older")
        QVERIFY(logbook.createWithVehicle({}));
    const Run run = runCreator(options << logbook.path());
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2((run.err + QString::fromUtf8(run.out)).contains(message), qPrintable(run.err));
    if (file == u"none")
        QVERIFY(!QFile::exists(logbook.path()));
    else
        QCOMPARE(logbook.scalar("select count(*) from sqlite_master where name = 'historie'"), "0");
}

QTEST_GUILESS_MAIN(TestOdomiraDb)
#include "test_odomira_db.moc"
