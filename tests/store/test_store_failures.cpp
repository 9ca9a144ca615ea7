// What the store says when it cannot do its work: another program holding the logbook,
// a trip changed behind the program's back, a logbook deleted while in use, a logbook
// that lacks a column. Each message says in German first what failed and what to do.
#include "store/connection.h"
#include "store/data_source.h"
#include "store/store_messages.h"
#include "support/other_program.h"
#include "support/temp_logbook.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTimer>
#include <QtTest>

#include <sqlite3.h>

using namespace odomira;
using odomira::test::OtherProgram;
using odomira::test::TempLogbook;
using odomira::test::TripRow;

namespace {

const QString Busy
    = QStringLiteral("Ein anderes Programm verwendet das Fahrtenbuch gerade; es ging nichts verloren.");

bool load(DataSource& source, const QString& path)
{
    QString error;
    source.setStatement(QStringLiteral("select * from [fahrt] order by datum asc"));
    const bool ok = source.open(path, &error) && source.refresh(&error);
    if (!ok)
        qWarning("%s", qPrintable(error));
    return ok;
}

} // namespace

class TestStoreFailures : public QObject {
    Q_OBJECT

private slots:
    void init();
    void lockedByAnotherProgram_data();
    void lockedByAnotherProgram();
    void changedByAnotherProgram_data();
    void changedByAnotherProgram();
    void logbookDeletedWhileOpen();
    void missingColumnRefused_data();
    void missingColumnRefused();
    void messages_data();
    void messages();

private:
    QString dump() const
    {
        QStringList lines;
        for (const QStringList& row : m_logbook->query("select * from fahrt order by id"))
            lines << row.join(u'|');
        return lines.join(u'\n');
    }

    std::unique_ptr<TempLogbook> m_logbook;
};

void TestStoreFailures::init()
{
    m_logbook = std::make_unique<TempLogbook>();
    QVERIFY(m_logbook->createWithVehicle({},
        { { .datum = "02.03.2006", .ziel = "Kiel", .gesamt = "95" },
            { .datum = "05.03.2006", .ziel = "Lübeck", .gesamt = "68" } }));
}

void TestStoreFailures::lockedByAnotherProgram_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("what");
    QTest::newRow("save") << "save"
                          << "Der Datensatz wurde nicht gespeichert.";
    QTest::newRow("add") << "add"
                         << "Der Datensatz wurde nicht gespeichert.";
    QTest::newRow("search") << "search"
                            << "Die Abfrage wurde nicht ausgeführt.";
    QTest::newRow("delete") << "delete"
                            << "Der Datensatz wurde nicht gelöscht.";
    QTest::newRow("start-up") << "open"
                              << "Das Fahrtenbuch „%1“ kann nicht geöffnet werden.";
}

// The operation waits a bounded time with events still processed, then says in German that
// another program holds the logbook; nothing is written and the typed value stays pending.
// Once the other program lets go, the same operation succeeds.
void TestStoreFailures::lockedByAnotherProgram()
{
    QFETCH(QString, operation);
    QFETCH(QString, what);

    DataSource buch(QStringLiteral("buch"));
    if (operation != u"open") {
        QVERIFY(load(buch, m_logbook->path()));
        if (operation == u"add")
            QVERIFY(buch.addNew());
        QVERIFY(buch.setField(QStringLiteral("ziel"), QStringLiteral("Sylt")));
    }
    const QString before = dump();
    OtherProgram other(m_logbook->path());
    QVERIFY(other.lock());

    int ticks = 0;
    QTimer painter;
    connect(&painter, &QTimer::timeout, this, [&ticks] { ++ticks; });
    painter.start(50);
    auto attempt = [&](QString* error) {
        if (operation == u"open") {
            Connection connection;
            return connection.open(m_logbook->path(), error);
        }
        if (operation == u"search") {
            buch.setStatement(QStringLiteral("select *  from [fahrt] where ziel like  '%l%'"));
            return buch.refresh(error);
        }
        return operation == u"delete" ? buch.deleteCurrent(error) : buch.update(error);
    };
    QElapsedTimer clock;
    clock.start();
    QString error;
    QVERIFY(!attempt(&error));
    const qint64 waited = clock.elapsed();
    painter.stop();

    QVERIFY2(error.startsWith(what.arg(m_logbook->path()) + ' ' + Busy), qPrintable(error));
    QVERIFY2(waited >= 1500 && waited < 5000, qPrintable(QString::number(waited)));
    QVERIFY2(ticks >= 5, "events were not processed while waiting");
    if (operation != u"open" && operation != u"search")
        QCOMPARE(buch.field(QStringLiteral("ziel")), QStringLiteral("Sylt"));

    QVERIFY(other.release());
    QCOMPARE(dump(), before);
    QVERIFY2(attempt(&error), qPrintable(error));
}

void TestStoreFailures::changedByAnotherProgram_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("message");
    QTest::newRow("same column") << "update fahrt set ziel = 'Flensburg' where id = 1"
                                 << "Der Datensatz wurde nicht gespeichert: er wurde in der Tabelle „fahrt“ "
                                    "geändert, seit er gelesen wurde, wohl von einem anderen Programm.";
    QTest::newRow("other column") << "update fahrt set gesamt = '96' where id = 1"
                                  << "Der Datensatz wurde nicht gespeichert: er wurde in der Tabelle „fahrt“ "
                                     "geändert, seit er gelesen wurde, wohl von einem anderen Programm.";
    QTest::newRow("deleted") << "delete from fahrt where id = 1"
                             << "Der Datensatz wurde nicht gespeichert: er ist in der Tabelle „fahrt“ nicht "
                                "mehr vorhanden, er wurde gelöscht, seit er gelesen wurde.";
}

// A save never overwrites unseen what another program stored after the record was read.
void TestStoreFailures::changedByAnotherProgram()
{
    QFETCH(QString, change);
    QFETCH(QString, message);
    DataSource buch(QStringLiteral("buch"));
    QVERIFY(load(buch, m_logbook->path()));
    QCOMPARE(buch.field(QStringLiteral("ziel")), QStringLiteral("Kiel"));
    OtherProgram other(m_logbook->path());
    QVERIFY(other.exec(change.toUtf8().constData()));
    const QString stored = dump();

    QVERIFY(buch.setField(QStringLiteral("bemerkung"), QStringLiteral("Kundenbesuch")));
    QString error;
    QVERIFY(!buch.update(&error));
    QVERIFY2(error.startsWith(message), qPrintable(error));
    QCOMPARE(buch.field(QStringLiteral("bemerkung")), QStringLiteral("Kundenbesuch"));
    QCOMPARE(dump(), stored);
}

// A write into a logbook that was deleted must not pass for a save.
void TestStoreFailures::logbookDeletedWhileOpen()
{
    DataSource buch(QStringLiteral("buch"));
    QVERIFY(load(buch, m_logbook->path()));
    QVERIFY(QFile::remove(m_logbook->path()));
    QVERIFY(buch.setField(QStringLiteral("ziel"), QStringLiteral("Sylt")));
    QString error;
    QVERIFY(!buch.update(&error));
    QVERIFY2(error.startsWith(QStringLiteral("Der Datensatz wurde nicht gespeichert. Die Datenbankdatei „")),
        qPrintable(error));
    QVERIFY2(error.contains(QStringLiteral("ist nicht mehr vorhanden; sie wurde gelöscht oder verschoben")),
        qPrintable(error));
    QVERIFY(!error.contains(QStringLiteral("readonly database"), Qt::CaseInsensitive)
        || error.contains(QStringLiteral("(attempt to write a readonly database)")));
    QVERIFY(!QFile::exists(m_logbook->path()));

    // Reading would still find the rows of the deleted file: refused, saying why.
    QVERIFY(!buch.refresh(&error));
    QVERIFY2(error.startsWith(QStringLiteral("Die Abfrage wurde nicht ausgeführt. Die Datenbankdatei „")),
        qPrintable(error));
    QVERIFY2(error.contains(QStringLiteral("ist nicht mehr vorhanden")), qPrintable(error));
    QCOMPARE(buch.field(QStringLiteral("ziel")), QStringLiteral("Sylt"));
}

void TestStoreFailures::missingColumnRefused_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("column");
    QTest::newRow("kosten") << "fahrt"
                            << "kosten";
    QTest::newRow("zurarbeit") << "fahrt"
                               << "zurarbeit";
    QTest::newRow("steuer") << "verbrauch"
                            << "steuer";
}

// A logbook without a column the program writes would lose that value on every save.
void TestStoreFailures::missingColumnRefused()
{
    QFETCH(QString, table);
    QFETCH(QString, column);
    QVERIFY(m_logbook->exec(QStringLiteral("alter table %1 drop column %2").arg(table, column)));
    QFile file(m_logbook->path());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();

    Connection connection;
    QString error;
    QVERIFY(!connection.open(m_logbook->path(), &error));
    QCOMPARE(error,
        QStringLiteral("Die Datenbank „%1“ ist kein vollständiges Fahrtenbuch: in der Tabelle „%2“ fehlt die "
                       "Spalte „%3“. Bitte verwenden Sie ein mit Odomira angelegtes Fahrtenbuch.")
            .arg(m_logbook->path(), table, column));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), before);
}

void TestStoreFailures::messages_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QString>("cause");
    QTest::newRow("busy") << SQLITE_BUSY << true << Busy;
    QTest::newRow("locked table") << SQLITE_LOCKED << true << Busy;
    QTest::newRow("moved") << SQLITE_READONLY_DBMOVED << true
                           << "Die Datenbankdatei „/x/odomira.mdb“ ist nicht "
                              "mehr vorhanden";
    QTest::newRow("gone") << SQLITE_IOERR_WRITE << false
                          << "Die Datenbankdatei „/x/odomira.mdb“ ist nicht mehr "
                             "vorhanden";
    QTest::newRow("read-only") << SQLITE_READONLY << true
                               << "Die Datenbankdatei „/x/odomira.mdb“ oder ihr Ordner "
                                  "ist schreibgeschützt.";
    QTest::newRow("full") << SQLITE_FULL << true << "Der Datenträger ist voll.";
    QTest::newRow("damaged") << SQLITE_CORRUPT << true
                             << "Die Datenbankdatei „/x/odomira.mdb“ ist beschädigt.";
    QTest::newRow("disk") << SQLITE_IOERR_READ << true
                          << "Die Datenbankdatei „/x/odomira.mdb“ konnte nicht "
                             "gelesen oder geschrieben werden.";
    QTest::newRow("statement") << SQLITE_ERROR << true << "Die Datenbank nimmt die Anweisung nicht an.";
}

// What failed, then the cause with what to do, then SQLite's own words in parentheses.
void TestStoreFailures::messages()
{
    QFETCH(int, code);
    QFETCH(bool, exists);
    QFETCH(QString, cause);
    const QString message = storeFailureMessage(QStringLiteral("Die Fahrt wurde nicht gespeichert."),
        classifyStoreFailure(code, exists), QStringLiteral("/x/odomira.mdb"),
        QString::fromUtf8(sqlite3_errstr(code)));
    QVERIFY2(message.startsWith(QStringLiteral("Die Fahrt wurde nicht gespeichert. ") + cause),
        qPrintable(message));
    QVERIFY2(message.endsWith(QStringLiteral(" (%1)").arg(QString::fromUtf8(sqlite3_errstr(code)))),
        qPrintable(message));
}

QTEST_GUILESS_MAIN(TestStoreFailures)
#include "test_store_failures.moc"
