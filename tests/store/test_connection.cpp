// Opening a logbook file, and the collations and functions every connection carries.
#include "store/connection.h"
#include "support/temp_logbook.h"

#include <QDir>
#include <QFile>
#include <QtTest>

#include <sqlite3.h>

using namespace odomira;
using odomira::test::TempLogbook;
using odomira::test::TripRow;

namespace {

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList listing(const QString& dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

// Writes a database that SQLite accepts but that holds only the given statement's tables.
bool writeForeignDatabase(const QString& path, const char* sql)
{
    sqlite3* db = nullptr;
    bool ok = sqlite3_open_v2(QFile::encodeName(path).constData(), &db,
                  SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr)
        == SQLITE_OK;
    ok = ok && sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close_v2(db);
    return ok;
}

} // namespace

class TestConnection : public QObject
{
    Q_OBJECT

private slots:
    void openFails_data();
    void openFails();
    void openReadOnlyFileFails();
    void opensLogbook();
    void createRefusesExistingFile();

    void caldateOrdersByCalendar();
    void unicaseOrdersWithoutCase();
    void like_data();
    void like();
    void sum_data();
    void sum();
};

void TestConnection::openFails_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("message");

    QTest::newRow("missing") << "missing"
                             << "Die Datenbankdatei „%1“ wurde nicht gefunden.";
    QTest::newRow("text file") << "text"
                               << "Die Datei „%1“ ist keine Datenbank.";
    QTest::newRow("no tables")
        << "foreign"
        << "Die Datenbank „%1“ ist kein Fahrtenbuch: die Tabellen „fahrt“ und „verbrauch“ fehlen.";
    QTest::newRow("no verbrauch")
        << "only fahrt"
        << "Die Datenbank „%1“ ist kein Fahrtenbuch: die Tabelle „verbrauch“ fehlt.";
    QTest::newRow("empty file")
        << "empty"
        << "Die Datenbank „%1“ ist kein Fahrtenbuch: die Tabellen „fahrt“ und „verbrauch“ "
           "fehlen.";
    QTest::newRow("folder") << "folder"
                            << "„%1“ ist keine Datei, sondern ein Ordner.";
}

void TestConnection::openFails()
{
    QFETCH(QString, kind);
    QFETCH(QString, message);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("odomira.mdb"));
    if (kind == u"text") {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray("Fahrtenbuch 2007\nHamburg - Kiel 95 km\n").repeated(40));
    } else if (kind == u"foreign") {
        QVERIFY(writeForeignDatabase(path, "create table kunden (name text)"));
    } else if (kind == u"only fahrt") {
        QVERIFY(writeForeignDatabase(path, "create table FAHRT (id integer primary key, datum text)"));
    } else if (kind == u"empty") {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
    } else if (kind == u"folder") {
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("odomira.mdb")));
    }
    const QByteArray before = fileBytes(path);
    const QStringList filesBefore = listing(dir.path());

    Connection connection;
    QString error;
    QVERIFY(!connection.open(path, &error));
    QCOMPARE(error, message.arg(path));
    QVERIFY(!connection.isOpen());
    QCOMPARE(listing(dir.path()), filesBefore);
    QCOMPARE(fileBytes(path), before);
}

void TestConnection::openReadOnlyFileFails()
{
    TempLogbook logbook;
    QVERIFY(logbook.create());
    QFile::setPermissions(logbook.path(), QFileDevice::ReadOwner);
    if (QFileInfo(logbook.path()).isWritable())
        QSKIP("running with rights that ignore file permissions");
    Connection connection;
    QString error;
    QVERIFY(!connection.open(logbook.path(), &error));
    QCOMPARE(error,
        QStringLiteral(
            "Die Datenbankdatei „%1“ ist schreibgeschützt; Fahrten könnten nicht gespeichert werden.")
            .arg(logbook.path()));
}

void TestConnection::opensLogbook()
{
    TempLogbook logbook;
    QVERIFY(logbook.create());
    const QStringList filesBefore = listing(logbook.dirPath());
    {
        Connection connection;
        QString error;
        QVERIFY2(connection.open(logbook.path(), &error), qPrintable(error));
        QVERIFY(connection.exec(QStringLiteral("insert into fahrt (ziel) values ('Kiel')"), &error));
        QVERIFY(!connection.exec(QStringLiteral("insert into nirgends values (1)"), &error));
        QVERIFY(error.startsWith(QStringLiteral("Die Anweisung wurde nicht ausgeführt: no such table")));
    }
    QCOMPARE(logbook.scalar(QStringLiteral("select ziel from fahrt")), QStringLiteral("Kiel"));
    QCOMPARE(listing(logbook.dirPath()), filesBefore);
}

void TestConnection::createRefusesExistingFile()
{
    TempLogbook logbook;
    QVERIFY(logbook.create());
    QVERIFY(logbook.exec(QStringLiteral("insert into fahrt (ziel) values ('Kiel')")));
    const QByteArray before = fileBytes(logbook.path());
    Connection connection;
    QString error;
    QVERIFY(!connection.create(logbook.path(), &error));
    QCOMPARE(error,
        QStringLiteral("Die Datei „%1“ gibt es bereits; sie wird nicht überschrieben.").arg(logbook.path()));
    QCOMPARE(fileBytes(logbook.path()), before);
}

void TestConnection::caldateOrdersByCalendar()
{
    TempLogbook logbook;
    QList<TripRow> trips;
    for (const char* datum : { "05.03.2007", "31.12.2006", "kein Datum", "01.01.2007", "15.03.2006",
             "05.03.2006", "Anfang", "01.02.2007" }) {
        TripRow trip;
        trip.datum = QString::fromLatin1(datum);
        trips.append(trip);
    }
    QVERIFY(logbook.create(nullptr, trips));
    QStringList dates;
    for (const QStringList& row : logbook.query(QStringLiteral("select datum from fahrt order by datum asc")))
        dates.append(row.front());
    // Dates by year, month, day; texts that are no date after them, without regard to case.
    QCOMPARE(dates,
        QStringList({ "05.03.2006", "15.03.2006", "31.12.2006", "01.01.2007", "01.02.2007", "05.03.2007",
            "Anfang", "kein Datum" }));
}

void TestConnection::unicaseOrdersWithoutCase()
{
    TempLogbook logbook;
    QList<TripRow> trips;
    for (const char* ziel : { "Zeppelin", "Ärztehaus", "apfel", "äpfel", "Bahnhof" }) {
        TripRow trip;
        trip.ziel = QString::fromUtf8(ziel);
        trips.append(trip);
    }
    QVERIFY(logbook.create(nullptr, trips));
    QStringList order;
    for (const QStringList& row : logbook.query(QStringLiteral("select ziel from fahrt order by ziel")))
        order.append(row.front());
    // Case plays no part; an umlaut orders by its code after the plain letters.
    QCOMPARE(order, QStringList({ "apfel", "Bahnhof", "Zeppelin", "äpfel", "Ärztehaus" }));
    QCOMPARE(logbook.scalar(QStringLiteral("select count(*) from fahrt where ziel = 'ÄPFEL'")),
        QStringLiteral("1"));
}

void TestConnection::like_data()
{
    QTest::addColumn<QString>("expression");
    QTest::addColumn<QString>("result");

    QTest::newRow("umlaut folded") << "'Ärztehaus' like '%ärzte%'"
                                   << "1";
    QTest::newRow("upper umlaut in pattern") << "'ärztehaus' like 'ÄRZTE%'"
                                             << "1";
    QTest::newRow("ascii case") << "'nach Hamburg' like  '%HAMBURG%'"
                                << "1";
    QTest::newRow("no match") << "'Kiel' like '%Hamburg%'"
                              << "0";
    QTest::newRow("anchored start") << "'Hamburg' like 'amburg%'"
                                    << "0";
    QTest::newRow("period pattern") << "'05.03.2006' like '%.03.2006%'"
                                    << "1";
    QTest::newRow("period of another year") << "'05.03.2007' like '%.03.2006%'"
                                            << "0";
    QTest::newRow("empty term") << "'x' like '%%'"
                                << "1";
    QTest::newRow("empty text") << "'' like '%%'"
                                << "1";
    QTest::newRow("underscore is one character") << "'Köln' like 'K_ln'"
                                                 << "1";
    QTest::newRow("underscore needs a character") << "'Kln' like 'K_ln'"
                                                  << "0";
    QTest::newRow("backtracking") << "'abcabcabd' like '%abc%abd'"
                                  << "1";
    QTest::newRow("flag yes") << "-1 like '-1'"
                              << "1";
    QTest::newRow("flag no against yes") << "0 like '-1'"
                                         << "0";
    QTest::newRow("flag no") << "0 like '0'"
                             << "1";
    QTest::newRow("null text") << "null like '%'"
                               << "<null>";
    QTest::newRow("not like") << "'Kiel' not like '%kiel%'"
                              << "0";
    QTest::newRow("escape") << "'100% Kiel' like '100\\%%' escape '\\'"
                            << "1";
    QTest::newRow("escaped percent is literal") << "'100 Kiel' like '100\\%%' escape '\\'"
                                                << "0";
}

void TestConnection::like()
{
    QFETCH(QString, expression);
    QFETCH(QString, result);

    TempLogbook logbook;
    QVERIFY(logbook.create());
    QCOMPARE(logbook.scalar(QStringLiteral("select ") + expression), result);
}

void TestConnection::sum_data()
{
    QTest::addColumn<QStringList>("kosten");
    QTest::addColumn<QString>("sum");

    QTest::newRow("exact decimals") << QStringList { "0.2101", "25.9906" } << "26,2007";
    QTest::newRow("tenths") << QStringList { "0.1", "0.2" } << "0,3";
    QTest::newRow("trailing zeros dropped") << QStringList { "1.20", "2.30" } << "3,5";
    QTest::newRow("negative") << QStringList { "-0.96", "0.5" } << "-0,46";
    QTest::newRow("nulls skipped") << QStringList { "", "12.5", "" } << "12,5";
    QTest::newRow("no rows") << QStringList {} << "<null>";
    QTest::newRow("only nulls") << QStringList { "", "" } << "<null>";
    QTest::newRow("word counts as zero") << QStringList { "viel", "2" } << "2";
    QTest::newRow("large") << QStringList { "99999999999.9999", "0.0001" } << "100000000000";
}

void TestConnection::sum()
{
    QFETCH(QStringList, kosten);
    QFETCH(QString, sum);

    QList<TripRow> trips;
    for (const QString& value : kosten) {
        TripRow trip;
        trip.kosten = value;
        trips.append(trip);
    }
    TempLogbook logbook;
    QVERIFY(logbook.create(nullptr, trips));
    QCOMPARE(logbook.scalar(QStringLiteral("select sum(kosten)as expr1001 from [fahrt]")), sum);
}

QTEST_GUILESS_MAIN(TestConnection)
#include "test_connection.moc"
