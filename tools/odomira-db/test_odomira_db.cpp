// Runs the logbook creator as a user would and checks the file it leaves.

#include "common/currency.h"
#include "common/date_text.h"
#include "common/decimal.h"
#include "support/temp_logbook.h"

#include <QFile>
#include <QProcess>
#include <QSet>
#include <QTest>

using odomira::Currency;
using odomira::Decimal;
using odomira::test::TempLogbook;

namespace {

struct Run
{
    int exitCode = -1;
    QString out;
    QString err;
};

Run runCreator(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral(ODOMIRA_DB_PROGRAM), arguments);
    Run run;
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.exitCode = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

Decimal number(const QString& machine)
{
    const auto value = Decimal::fromCanonical(machine.toStdString());
    return value ? *value : Decimal::fromInt(-999999);
}

} // namespace

class TestOdomiraDb : public QObject
{
    Q_OBJECT
private slots:
    void vehicleRow_data();
    void vehicleRow();
    void demoTrips();
    void generatedTrips();
    void refusesExistingFile();
    void usageErrors_data();
    void usageErrors();
    void writeFailureLeavesNoFile();
};

void TestOdomiraDb::vehicleRow_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("kennzeichen");
    QTest::addColumn<QString>("verbrauch");
    QTest::addColumn<QString>("steuer");
    QTest::addColumn<QString>("versicherung");

    QTest::newRow("defaults") << QStringList{} << "HH-OM 42" << "7.9" << "250" << "1201.45";
    QTest::newRow("german numbers")
        << QStringList{"--kennzeichen", "M-ÄÖ 77", "--verbrauch", " 6,5 ", "--steuer", "1.180,50",
                       "--versicherung=980"}
        << "M-ÄÖ 77" << "6.5" << "1180.5" << "980";
}

void TestOdomiraDb::vehicleRow()
{
    QFETCH(QStringList, options);
    TempLogbook logbook;
    const Run run = runCreator(options << logbook.path());
    QCOMPARE(run.exitCode, 0);
    QVERIFY(run.err.isEmpty());

    const auto rows = logbook.query(QStringLiteral("select kennzeichen, verbrauch, steuer, versicherung from verbrauch"));
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0].size(), 4);
    QTEST(rows[0][0], "kennzeichen");
    // Stored in machine form; compared by value so 250.00 and 250 both pass.
    QFETCH(QString, verbrauch);
    QFETCH(QString, steuer);
    QFETCH(QString, versicherung);
    QCOMPARE(number(rows[0][1]), number(verbrauch));
    QCOMPARE(number(rows[0][2]), number(steuer));
    QCOMPARE(number(rows[0][3]), number(versicherung));
    QCOMPARE(logbook.scalar(QStringLiteral("select count(*) from fahrt")), QStringLiteral("0"));
}

void TestOdomiraDb::demoTrips()
{
    TempLogbook logbook;
    QCOMPARE(runCreator({QStringLiteral("--demo"), QStringLiteral("--verbrauch"), QStringLiteral("6,5"),
                         logbook.path()}).exitCode, 0);

    const auto rows = logbook.query(QStringLiteral(
        "select datum, anfangsstand, endstand, gesamt, preisliter, kosten, geschaeftl, privat, zurarbeit,"
        " ziel, bemerkung from fahrt order by id"));
    QVERIFY(rows.size() >= 100);

    const Decimal consumption = number(QStringLiteral("0.065"));
    QSet<QString> dates, months;
    int business = 0, personal = 0, work = 0, none = 0, sameDay = 0;
    Decimal lastEnd;
    for (const QStringList& row : rows) {
        const auto date = odomira::parseDate(row[0]);
        QVERIFY2(date && odomira::dateText(*date) == row[0], qPrintable(row[0]));
        QVERIFY(date->year() == 2006 || date->year() == 2007);
        months.insert(row[0].mid(3));
        if (dates.contains(row[0]))
            ++sameDay;
        dates.insert(row[0]);

        // Odometer climbs; kilometres and cost are what saving the trip would compute.
        const Decimal start = number(row[1]), end = number(row[2]), km = number(row[3]), price = number(row[4]);
        QVERIFY(!(start < lastEnd));
        QVERIFY(lastEnd < end);
        lastEnd = end;
        QCOMPARE(*end.subtract(start), km);
        QVERIFY(!(price < number(QStringLiteral("1.10"))) && !(number(QStringLiteral("1.45")) < price));
        const auto cost = Currency::fromDecimal(*consumption.multiply(km)->multiply(price));
        QCOMPARE(number(row[5]), cost->toDecimal());
        QVERIFY(!row[9].isEmpty() && !row[10].isEmpty());

        const QStringList flags = row.mid(6, 3);
        if (flags == QStringList{"-1", "0", "0"})
            ++business;
        else if (flags == QStringList{"0", "-1", "0"})
            ++personal;
        else if (flags == QStringList{"0", "0", "-1"})
            ++work;
        else if (flags == QStringList{"0", "0", "0"})
            ++none;
        else
            QFAIL(qPrintable(flags.join(u' ')));
    }
    QCOMPARE(months.size(), 24);
    QVERIFY(business > 10 && personal > 10 && work > 10);
    QVERIFY(none >= 2 && none < int(rows.size()) / 8);
    QVERIFY(sameDay >= 3);

    // Fixed seed: a second logbook is the same.
    TempLogbook again;
    QCOMPARE(runCreator({QStringLiteral("--demo"), QStringLiteral("--verbrauch=6,5"), again.path()}).exitCode, 0);
    QCOMPARE(again.query(QStringLiteral("select * from fahrt order by id")),
             logbook.query(QStringLiteral("select * from fahrt order by id")));
}

void TestOdomiraDb::generatedTrips()
{
    TempLogbook logbook;
    QCOMPARE(runCreator({QStringLiteral("--fahrten"), QStringLiteral("500"), logbook.path()}).exitCode, 0);
    QCOMPARE(logbook.scalar(QStringLiteral("select count(*) from fahrt")), QStringLiteral("500"));
    QCOMPARE(logbook.scalar(QStringLiteral("select count(*) from fahrt where datum like '%.03.2007'")),
             QStringLiteral("21"));
}

void TestOdomiraDb::refusesExistingFile()
{
    TempLogbook logbook;
    QFile file(logbook.path());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("not a logbook");
    file.close();

    const Run run = runCreator({QStringLiteral("--demo"), logbook.path()});
    QCOMPARE(run.exitCode, 2);
    QVERIFY(run.err.contains(QStringLiteral("nicht überschrieben")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("not a logbook"));
}

void TestOdomiraDb::usageErrors_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("message");

    QTest::newRow("not a number") << QStringList{"--verbrauch", "sieben"} << "--verbrauch";
    QTest::newRow("empty number") << QStringList{"--steuer="} << "--steuer";
    QTest::newRow("negative") << QStringList{"--versicherung", "-5"} << "negativ";
    QTest::newRow("missing value") << QStringList{"--demo", "--kennzeichen"} << "Wert";
    QTest::newRow("empty plate") << QStringList{"--kennzeichen", " "} << "leer";
    QTest::newRow("unknown option") << QStringList{"--force"} << "--force";
    QTest::newRow("bad trip count") << QStringList{"--fahrten", "viele"} << "viele";
    QTest::newRow("demo and count") << QStringList{"--demo", "--fahrten", "5"} << "--demo";
    QTest::newRow("two files") << QStringList{"other.mdb"} << "Mehr als eine Datei";
}

void TestOdomiraDb::usageErrors()
{
    QFETCH(QStringList, options);
    QFETCH(QString, message);
    TempLogbook logbook;
    // The file first, so an option at the end lacks its value.
    const Run run = runCreator(QStringList{logbook.path()} + options);
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains(message), qPrintable(run.err));
    QVERIFY(!QFile::exists(logbook.path()));
    QVERIFY(!QFile::exists(QStringLiteral("other.mdb")));
}

void TestOdomiraDb::writeFailureLeavesNoFile()
{
    TempLogbook logbook;
    const QString path = logbook.dirPath() + QStringLiteral("/fehlt/odomira.mdb");
    const Run run = runCreator({path});
    QCOMPARE(run.exitCode, 3);
    QVERIFY(run.err.contains(QStringLiteral("nicht angelegt")));
    QVERIFY(!QFile::exists(path));
}

QTEST_GUILESS_MAIN(TestOdomiraDb)
#include "test_odomira_db.moc"
