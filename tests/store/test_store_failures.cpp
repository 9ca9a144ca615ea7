// What the store says when it cannot do its work: another program holding the logbook,
// a trip changed behind the program's back, a logbook deleted while in use. Each message
// says in German first what failed and what to do.
#include "store/data_source.h"
#include "store/store_messages.h"
#include "support/other_program.h"
#include "support/temp_logbook.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QtTest>

#include <sqlite3.h>

using namespace odomira;
using namespace odomira::test;

namespace {

const QString Busy
    = QStringLiteral("Ein anderes Programm verwendet das Fahrtenbuch gerade; es ging nichts verloren.");
const QString DateOrdered = QStringLiteral("select * from [fahrt] order by datum asc");

} // namespace

class TestStoreFailures : public QObject {
    Q_OBJECT

private slots:
    void init();
    void lockedByAnotherProgram_data();
    void lockedByAnotherProgram();
    void changedBehindItsBack_data();
    void changedBehindItsBack();
    void messages_data();
    void messages();

private:
    QList<QStringList> dump() const { return m_logbook->query("select * from fahrt order by id"); }

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
    addRow("save", QString("save"), QString("Der Datensatz wurde nicht gespeichert."));
    addRow("search", QString("search"), QString("Die Abfrage wurde nicht ausgeführt."));
}

// The operation waits a bounded time with events still processed, then says in German that
// another program holds the logbook; nothing is written and the typed value stays pending.
// Once the other program lets go, the same operation succeeds. Each trip command and the
// start-up meet this in test_concurrent_use.
void TestStoreFailures::lockedByAnotherProgram()
{
    QFETCH(QString, operation);
    QFETCH(QString, what);
    DataSource buch(QStringLiteral("buch"));
    QVERIFY(m_logbook->load(buch, DateOrdered));
    QVERIFY(buch.setField(QStringLiteral("ziel"), QStringLiteral("Sylt")));
    const QList<QStringList> before = dump();
    OtherProgram other(m_logbook->path());
    QVERIFY(other.lock());

    int ticks = 0;
    QTimer painter;
    connect(&painter, &QTimer::timeout, this, [&ticks] { ++ticks; });
    painter.start(50);
    auto attempt = [&](QString* error) {
        if (operation == u"save")
            return buch.update(error);
        buch.setStatement(QStringLiteral("select *  from [fahrt] where ziel like  '%l%'"));
        return buch.refresh(error);
    };
    QElapsedTimer clock;
    clock.start();
    QString error;
    QVERIFY(!attempt(&error));
    const qint64 waited = clock.elapsed();
    painter.stop();

    QVERIFY2(error.startsWith(what + ' ' + Busy), qPrintable(error));
    QVERIFY2(waited >= 1500 && waited < 5000, qPrintable(QString::number(waited)));
    QVERIFY2(ticks >= 5, "events were not processed while waiting");
    QCOMPARE(buch.field(QStringLiteral("ziel")), QStringLiteral("Sylt"));
    QVERIFY(other.release());
    QCOMPARE(dump(), before);
    QVERIFY2(attempt(&error), qPrintable(error));
}

void TestStoreFailures::changedBehindItsBack_data()
{
    QTest::addColumn<QString>("change"); // by another program; "remove" removes the file
    QTest::addColumn<QString>("message"); // its beginning, then a part of it
    const QString notSaved = QStringLiteral("Der Datensatz wurde nicht gespeichert");
    addRow("row changed", QString("update fahrt set gesamt = '96' where id = 1"),
        notSaved + ": |geändert, seit er gelesen wurde");
    addRow("row deleted", QString("delete from fahrt where id = 1"),
        notSaved + ": |nicht mehr vorhanden, er wurde gelöscht");
    addRow("logbook deleted", QString("remove"),
        notSaved + ". Die Datenbankdatei „|ist nicht mehr vorhanden; sie wurde gelöscht oder verschoben");
}

// A save never overwrites unseen what another program stored after the record was read, nor
// passes for a save when the logbook was deleted; nor does a read of a deleted logbook pass
// for a list. The typed value stays.
void TestStoreFailures::changedBehindItsBack()
{
    QFETCH(QString, change);
    QFETCH(QString, message);
    DataSource buch(QStringLiteral("buch"));
    QVERIFY(m_logbook->load(buch, DateOrdered));
    if (change == u"remove")
        QVERIFY(QFile::remove(m_logbook->path()));
    else
        QVERIFY(OtherProgram(m_logbook->path()).exec(change.toUtf8().constData()));
    const auto state = [this] { return QFile::exists(m_logbook->path()) ? dump() : QList<QStringList>(); };
    const QList<QStringList> stored = state();

    QVERIFY(buch.setField(QStringLiteral("bemerkung"), QStringLiteral("Kundenbesuch")));
    QString error;
    QVERIFY(!buch.update(&error));
    QVERIFY2(error.startsWith(message.section(u'|', 0, 0)) && error.contains(message.section(u'|', 1)),
        qPrintable(error));
    QCOMPARE(buch.field(QStringLiteral("bemerkung")), QStringLiteral("Kundenbesuch"));
    QCOMPARE(state(), stored);
    if (change == u"remove") {
        QVERIFY(!QFile::exists(m_logbook->path()) && !buch.refresh(&error));
        QVERIFY2(error.startsWith("Die Abfrage wurde nicht ausgeführt. Die Datenbankdatei „")
                && error.contains("ist nicht mehr vorhanden"),
            qPrintable(error));
    }
}

void TestStoreFailures::messages_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QString>("cause"); // its beginning
    const QString file = QStringLiteral("Die Datenbankdatei „/x/odomira.mdb“ ");
    addRow("read-only", SQLITE_READONLY, true, file + "oder ihr Ordner ist schreibgeschützt.");
    addRow("full", SQLITE_FULL, true, QString("Der Datenträger ist voll."));
    addRow("damaged", SQLITE_CORRUPT, true, file + "ist beschädigt.");
}

// What failed, then the cause with what to do, then SQLite's own words in parentheses.
void TestStoreFailures::messages()
{
    QFETCH(int, code);
    QFETCH(bool, exists);
    QFETCH(QString, cause);
    const QString sqlite = QString::fromUtf8(sqlite3_errstr(code));
    const QString message = storeFailureMessage(QStringLiteral("Die Fahrt wurde nicht gespeichert."),
        classifyStoreFailure(code, exists), QStringLiteral("/x/odomira.mdb"), sqlite);
    QVERIFY2(message.startsWith("Die Fahrt wurde nicht gespeichert. " + cause)
            && message.endsWith(" (" + sqlite + ")"),
        qPrintable(message));
}

QTEST_GUILESS_MAIN(TestStoreFailures)
#include "test_store_failures.moc"
