// The window when another program uses the logbook, and texts longer than Qt's default
// limit of a line edit: nothing typed is lost, nothing is cut, the entry stays open.
#include "window/window_fixture.h"

#include "support/other_program.h"

#include <QElapsedTimer>

using namespace odomira::test;

namespace {

const QString Busy
    = QStringLiteral("Ein anderes Programm verwendet das Fahrtenbuch gerade; es ging nichts verloren.");
const QList<TripRow> Trips = { { .datum = "02.03.2006", .ziel = "Kiel", .gesamt = "95" },
    { .datum = "05.03.2006", .ziel = "Lübeck", .gesamt = "68" } };

QString storedZiele(WindowFixture& f)
{
    return f.logbook().scalar("select group_concat(ziel, ',') from (select ziel from fahrt order by id)");
}

} // namespace

class TestConcurrentUse : public QObject {
    Q_OBJECT

private slots:
    void commandWhileLocked_data()
    {
        QTest::addColumn<QString>("opened"); // the button opening the entry, "" for none
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("what");
        QTest::addColumn<QString>("after"); // the destinations stored once the other program lets go
        const QString notSaved = QStringLiteral("Der Datensatz wurde nicht gespeichert.");
        addRow("new trip saved", QString("cmd_neu"), QString("cmb_speichern"), notSaved,
            QString("Kiel,Lübeck,Sylt"));
        addRow("edited trip saved", QString("cmd_bearbeiten"), QString("cmb_speichern"), notSaved,
            QString("Sylt,Lübeck"));
        addRow("deleted", QString("cmd_bearbeiten"), QString("cmd_löschen"),
            QString("Der Datensatz wurde nicht gelöscht."), QString("Lübeck"));
        addRow("searched", QString(), QString("cmd_suche"), QString("Die Abfrage wurde nicht ausgeführt."),
            QString("Kiel,Lübeck"));
    }

    // One German message after a bounded wait; the open entry stays open with what was typed, and
    // the same command works once the other program lets go.
    void commandWhileLocked()
    {
        QFETCH(QString, opened);
        QFETCH(QString, button);
        QFETCH(QString, what);
        QFETCH(QString, after);
        WindowFixture f;
        QVERIFY(f.open(Trips));
        auto* ziel = f.control<QLineEdit>("txt_ziel");
        if (opened.isEmpty()) {
            f.click("txt_suche");
            QTest::keyClicks(f.control<QLineEdit>("txt_suche"), "Kiel");
        } else {
            f.click(f.control<QPushButton>(opened));
            f.type("txt_datum", "07.03.2006");
            f.type(ziel, "Sylt");
        }
        const QString before = storedZiele(f);
        OtherProgram other(f.logbook().path());
        QVERIFY(other.lock());
        QElapsedTimer clock;
        clock.start();
        f.click(f.control<QPushButton>(button));
        QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));

        QCOMPARE(f.messages.size(), 1);
        QVERIFY2(f.messages[0].text.startsWith(what + ' ' + Busy), qPrintable(f.messages[0].text));
        QCOMPARE(f.messages[0].icon, QMessageBox::Critical);
        QCOMPARE(f.tripButtons(), opened.isEmpty() ? Browsing : opened == u"cmd_neu" ? NewTrip : Editing);
        if (!opened.isEmpty())
            QCOMPARE(ziel->text(), QStringLiteral("Sylt"));
        QVERIFY(other.release());
        QCOMPARE(storedZiele(f), before);

        f.click(f.control<QPushButton>(button));
        QCOMPARE(f.messages.size(), 1);
        QCOMPARE(storedZiele(f), after);
        if (opened.isEmpty())
            QCOMPARE(f.gridColumn(f.control<QTableView>("DataGrid1"), 3), QStringList { "Kiel" });
    }

    // Past Qt's default of 32,767 characters a line edit cut texts silently: a stored remark and
    // a destination pasted (through the edit's own insert, as Ctrl+V) stay whole.
    void longTextsKeptWhole()
    {
        QList<TripRow> rows = Trips;
        rows[0].bemerkung = QString(40000, u'b');
        WindowFixture f;
        QVERIFY(f.open(rows));
        const QString ziel = QString(39000, u'z');
        f.click("cmd_bearbeiten");
        f.control<QLineEdit>("txt_ziel")->selectAll();
        f.control<QLineEdit>("txt_ziel")->insert(ziel);
        f.click("cmb_speichern");
        QCOMPARE(f.logbook().query("select ziel, bemerkung from fahrt where id = 1"),
            QList<QStringList>({ { ziel, rows[0].bemerkung } }));
    }
};

QTEST_MAIN(TestConcurrentUse)
#include "test_concurrent_use.moc"
