// Runs the logbook creator as a user would and checks the file it leaves.

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

struct Run
{
    int exitCode = -1;
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
    void refusesExistingFile();
    void usageErrors_data();
    void usageErrors();
};

void TestOdomiraDb::vehicleRow_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QStringList>("row"); // kennzeichen, verbrauch, steuer, versicherung

    QTest::newRow("defaults") << QStringList{} << QStringList{"HH-OM 42", "7.9", "250", "1201.45"};
    QTest::newRow("german numbers")
        << QStringList{"--kennzeichen", "M-ÄÖ 77", "--verbrauch", " 6,5 ", "--steuer", "1.180,50",
                       "--versicherung=980"}
        << QStringList{"M-ÄÖ 77", "6.5", "1180.5", "980"};
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
    QCOMPARE(runCreator({QStringLiteral("--demo"), QStringLiteral("--verbrauch"), QStringLiteral("6,5"),
                         logbook.path()}).exitCode, 0);

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
    QCOMPARE(runCreator({QStringLiteral("--demo"), QStringLiteral("--verbrauch=6,5"), again.path()}).exitCode,
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
    QTest::newRow("negative") << QStringList{"--versicherung", "-5"} << "negativ";
    QTest::newRow("missing value") << QStringList{"--demo", "--kennzeichen"} << "Wert";
    QTest::newRow("unknown option") << QStringList{"--force"} << "--force";
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

QTEST_GUILESS_MAIN(TestOdomiraDb)
#include "test_odomira_db.moc"
