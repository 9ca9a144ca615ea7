// Opening a logbook file, and the collations and functions every connection carries.
#include "store/connection.h"
#include "support/temp_logbook.h"

#include <QDir>
#include <QtTest>

#include <string>

using namespace odomira;
using namespace odomira::test;

class TestConnection : public QObject {
    Q_OBJECT

private slots:
    void openFails_data();
    void openFails();
    void createNeverOverwrites();
    void olderLogbookGetsTheDateIndex();
    void functions_data();
    void functions();
};

// `setup`: statements run on a fresh logbook, or what to put there instead of one.
void TestConnection::openFails_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("message");
    const QString noLogbook = QStringLiteral("Die Datenbank „%1“ ist kein Fahrtenbuch: ");
    const QString noTables = noLogbook + "die Tabellen „fahrt“ und „verbrauch“ fehlen.";

    addRow("text file", "text", "Die Datei „%1“ ist keine Datenbank.");
    addRow("empty file", "empty", noTables);
    addRow("folder", "folder", "„%1“ ist keine Datei, sondern ein Ordner.");
    addRow("read-only", "read-only",
        "Die Datenbankdatei „%1“ ist schreibgeschützt; Fahrten könnten nicht gespeichert werden.");
    addRow("no verbrauch", "drop table fahrt; drop table verbrauch; create table FAHRT (datum text)",
        noLogbook + "die Tabelle „verbrauch“ fehlt.");
    // A column the program writes but the file lacks would lose its value on every save.
    addRow("no column", "alter table fahrt drop column kosten",
        "Die Datenbank „%1“ ist kein vollständiges Fahrtenbuch: in der Tabelle „fahrt“ fehlt die Spalte "
        "„kosten“. Bitte verwenden Sie ein mit Odomira angelegtes Fahrtenbuch.");
}

void TestConnection::openFails()
{
    QFETCH(QString, setup);
    QFETCH(QString, message);

    TempLogbook logbook;
    const QString path = logbook.path();
    QFile file(path);
    if (setup == u"text" || setup == u"empty") {
        QVERIFY(file.open(QIODevice::WriteOnly));
        if (setup == u"text")
            file.write(QByteArray("Fahrtenbuch 2007\nHamburg - Kiel 95 km\n").repeated(40));
        file.close();
    } else if (setup == u"folder") {
        QVERIFY(QDir(logbook.dirPath()).mkdir(QStringLiteral("odomira.mdb")));
    } else {
        QVERIFY(logbook.create());
        if (setup == u"read-only") {
            QVERIFY(file.setPermissions(QFileDevice::ReadOwner));
            if (QFileInfo(path).isWritable())
                QSKIP("running with rights that ignore file permissions");
        } else {
            QVERIFY(logbook.exec(setup));
        }
    }
    const QString before = logbook.snapshot();

    Connection connection;
    QString error;
    QVERIFY(!connection.open(path, &error));
    QCOMPARE(error, message.arg(path));
    QVERIFY(!connection.isOpen());
    QCOMPARE(logbook.snapshot(), before);
}

// A logbook is made only where none stands.
void TestConnection::createNeverOverwrites()
{
    TempLogbook logbook;
    QVERIFY(logbook.create());
    const QString before = logbook.snapshot();
    Connection connection;
    QString error;
    QVERIFY(!connection.create(logbook.path(), &error));
    QCOMPARE(error, "Die Datei „" + logbook.path() + "“ gibt es bereits; sie wird nicht überschrieben.");
    QCOMPARE(logbook.snapshot(), before);
}

void TestConnection::olderLogbookGetsTheDateIndex()
{
    const QString index = "select count(*) from sqlite_master where type = 'index' and name = 'fahrt_datum'";
    TempLogbook logbook;
    QVERIFY(logbook.create());
    QCOMPARE(logbook.scalar(index), "1");
    QVERIFY(logbook.exec("drop index fahrt_datum"));
    QString error;
    Connection connection;
    QVERIFY2(connection.open(logbook.path(), &error), qPrintable(error));
    QCOMPARE(logbook.scalar(index), "1");
    const QList<QStringList> plan
        = logbook.query("explain query plan select * from [fahrt] order by datum asc");
    QVERIFY(!plan.isEmpty() && plan.back().back().contains("fahrt_datum"));
}

// Each value becomes a trip with it as its datum, ziel and kosten ("" for none).
void TestConnection::functions_data()
{
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<QString>("expression");
    QTest::addColumn<QString>("result");
    const auto like = [](const char* name, const char* expression, const char* result) {
        addRow(name, QStringList(), QString::fromUtf8(expression), result);
    };
    const auto sum = [](const char* name, const QStringList& kosten, const char* result) {
        addRow(name, kosten, "sum(kosten)as expr1001 from [fahrt]", result);
    };
    const QStringList dates = { "05.03.2007", "31.12.2006", "kein Datum", "01.01.2007", "15.03.2006",
        "05.03.2006", "Anfang", "01.02.2007" };
    const QStringList ziele = { "Zeppelin", "Ärztehaus", "apfel", "äpfel", "Bahnhof" };

    // Dates by year, month, day; texts that are no date after them, without regard to case.
    addRow("caldate", dates, "group_concat(datum, ' ') from (select datum from fahrt order by datum asc)",
        "05.03.2006 15.03.2006 31.12.2006 01.01.2007 01.02.2007 05.03.2007 Anfang kein Datum");
    // Case plays no part; an umlaut orders by its code after the plain letters.
    addRow("unicase", ziele, "group_concat(ziel, ' ') from (select ziel from fahrt order by ziel)",
        "apfel Bahnhof Zeppelin äpfel Ärztehaus");

    like("umlaut folded", "'Ärztehaus' like '%ärzte%'", "1");
    like("underscore is one character", "'Köln' like 'K_ln'", "1");
    like("backtracking", "'abcabcabd' like '%abc%abd'", "1");
    like("escape", "'100% Kiel' like '100\\%%' escape '\\'", "1");
    // Pieces between "%" are found in order without overlapping; the last one ends the text.
    like("pieces in order", "'abXcd' like '%ab%bX%'", "0");
    like("anchored end", "'abcab' like '%ab'", "1");
    like("ends overlap", "'aba' like 'ab%ba'", "0");
    like("wide character", "'Straße 😀 Ost' like '%E 😀 o%'", "1");
    // A piece with "_" longer than one machine word.
    static const std::string text
        = std::string(1, '\'') + std::string(100, 'x') + "ab" + std::string(70, 'Y') + "' like '%";
    static const std::string longHit = text + std::string(69, 'X') + "_b" + std::string(70, 'y') + "'";
    static const std::string longMiss = text + std::string(69, 'x') + "_c" + std::string(70, 'y') + "'";
    like("long underscore piece", longHit.c_str(), "1");
    like("long underscore miss", longMiss.c_str(), "0");

    // Exact decimal sums, written as German number text (the evaluations' sums show the plain
    // cases: exact, without the trips that have no cost, and empty for no trip).
    sum("negative", { "-0.96", "0.5" }, "-0,46");
    sum("word counts as zero", { "viel", "2" }, "2");
}

void TestConnection::functions()
{
    QFETCH(QStringList, values);
    QFETCH(QString, expression);
    QFETCH(QString, result);

    QList<TripRow> trips;
    for (const QString& value : values)
        trips.append({ .datum = value, .ziel = value, .kosten = value });
    TempLogbook logbook;
    QVERIFY(logbook.create(nullptr, trips));
    QCOMPARE(logbook.scalar("select " + expression), result);
}

QTEST_GUILESS_MAIN(TestConnection)
#include "test_connection.moc"
