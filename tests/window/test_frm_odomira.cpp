// The window through its real controls on a temporary logbook: start-up, the trip grid, focus
// order, the start-up failures, another program using the logbook meanwhile, and texts longer
// than Qt's default limit of a line edit: nothing typed is lost, nothing is cut.
#include "window/window_fixture.h"

#include "support/other_program.h"
#include "window/window_icon.h"

#include <QCheckBox>
#include <QElapsedTimer>

#include <optional>

using namespace odomira::test;

namespace {

// Neither the text of the dates nor the insertion follows calendar order (year, month, day).
const QList<TripRow> MixedTrips = { { "15.03.2007", {}, {}, "Lübeck", {}, {}, {}, "100", {}, "4.9783" },
    { "05.03.2006", {}, {}, "Bremen", {}, {}, {}, "130", {}, "4.9783" },
    { "31.12.2006", {}, {}, "Kiel", {}, {}, {}, "100", {}, "4.9783", "-1" },
    { "01.01.2007", {}, {}, "Stade", {}, {}, {}, "50", {}, "4.9783" },
    { "02.01.2006", {}, {}, "Ärztehaus Altona", {}, {}, {}, "20", {}, "4.9783", "-1" } };

const QString Busy
    = QStringLiteral("Ein anderes Programm verwendet das Fahrtenbuch gerade; es ging nichts verloren.");
const QList<TripRow> Trips = { { .datum = "02.03.2006", .ziel = "Kiel", .gesamt = "95" },
    { .datum = "05.03.2006", .ziel = "Lübeck", .gesamt = "68" } };

QString storedZiele(WindowFixture& f)
{
    return f.logbook().scalar("select group_concat(ziel, ',') from (select ziel from fahrt order by id)");
}

} // namespace

class TestFrmOdomira : public QObject {
    Q_OBJECT

private slots:
    void startUpStateAndGridSelection()
    {
        WindowFixture f;
        QVERIFY(f.open(MixedTrips));
        QCOMPARE(f.currentTab(), 0);
        // Fields read-only but readable; the entry's other controls disabled.
        QList<QLineEdit*> fields = f.tripFields();
        for (const char* name : { "txt_kennzeichen", "txt_verbrauch", "txt_steuer", "txt_versicherung",
                 "txt_sauto", "txt_summekm", "Text1" })
            fields << f.control<QLineEdit>(name);
        for (const QLineEdit* field : fields)
            QVERIFY2(field->isReadOnly() && field->isEnabled(), qPrintable(field->objectName()));
        for (const char* name : { "chk_gesch", "chk_priv", "chk_weg", "MonthView1", "txt_summe", "txt_kosten",
                 "cmd_sabbrechen", "cmd_sspeichern" })
            QVERIFY2(!f.control(name)->isEnabled(), name);
        QCOMPARE(f.tripButtons(), Browsing);
        QVERIFY(!odomira::windowIcon().pixmap(32).isNull()); // rendered into the program at build time

        // The trips in calendar order across years, the first in the fields.
        auto* grid = f.control<QTableView>("DataGrid1");
        QCOMPARE(f.gridColumn(grid),
            QStringList({ "02.01.2006", "05.03.2006", "31.12.2006", "01.01.2007", "15.03.2007" }));
        QCOMPARE(grid->currentIndex().row(), 0);
        const QStringList shown
            = { f.text("txt_datum"), f.text("txt_ziel"), f.text("txt_summe"), f.text("txt_kosten") };
        QCOMPARE(shown, QStringList({ "02.01.2006", "Ärztehaus Altona", "20", "4,9783" }));
        QVERIFY(
            f.control<QCheckBox>("chk_gesch")->isChecked() && !f.control<QCheckBox>("chk_priv")->isChecked());
    }

    void startUpFailure_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("expected"); // part of the message
        addRow("missing file", QString("missing"), QString());
        addRow("empty verbrauch", QString("novehicle"), QString("keinen Datensatz"));
        addRow("tax abc", QString("abc"), QString("„abc“"));
        addRow("locked by another program", QString("locked"), "kann nicht geöffnet werden. " + Busy);
    }

    // The start refuses after one bounded wait at most (not one per data source), says why, and
    // leaves the folder as it was.
    void startUpFailure()
    {
        QFETCH(QString, setup);
        QFETCH(QString, expected);
        WindowFixture f;
        std::optional<OtherProgram> other;
        if (setup == u"novehicle")
            QVERIFY(f.logbook().create(nullptr, MixedTrips));
        else if (setup != u"missing")
            QVERIFY(f.logbook().createWithVehicle({ .steuer = setup == u"abc" ? "abc" : "250" }, MixedTrips));
        if (setup == u"locked")
            QVERIFY(other.emplace(f.logbook().path()).lock());
        const QString before = f.logbook().snapshot();
        QString error;
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!f.start(&error));
        QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
        QVERIFY2(!error.isEmpty() && error.contains(expected), qPrintable(error));
        QCOMPARE(f.logbook().snapshot(), before);
        QVERIFY(f.messages.isEmpty()); // the program shows it, once, as it ends
    }

    void tabOrderFollowsLayout_data()
    {
        QTest::addColumn<int>("tab");
        QTest::addColumn<QString>("opened"); // button pressed first, "" for none
        QTest::addColumn<QString>("order"); // from the first control on, Tab after Tab

        // Left to right, top to bottom; a column of labelled fields top to bottom before the column
        // to its right. Disabled controls are passed over; the option buttons are one stop, the
        // arrow keys choose among them.
        addRow("Übersicht", 0, QString(),
            QString("cmd_about DataGrid1 txt_suche cmd_suche cmd_alle txt_datum txt_von txt_bis txt_ziel "
                    "txt_bemerkung txt_preis txt_start txt_ende cmd_neu cmd_bearbeiten"));
        addRow("Übersicht, trip open", 0, QString("cmd_bearbeiten"),
            QString("cmd_about txt_suche cmd_suche cmd_alle txt_datum txt_von txt_bis txt_ziel txt_bemerkung "
                    "txt_preis txt_start txt_ende chk_gesch chk_priv chk_weg cmb_speichern cmd_abbrechen "
                    "cmd_löschen"));
        addRow("Auswertung", 1, QString("cmd_sbearbeiten"),
            QString("txt_kennzeichen txt_verbrauch txt_steuer txt_versicherung cmd_sabbrechen cmd_sspeichern "
                    "cmb_monat cmb_jahr cmd_drucken cmd_ausohne aus_gesch cmd_kridruck cmd_auswerten"));
        addRow("Ergebnis", 2, QString(), QString("DataGrid2 txt_sauto txt_summekm Text1"));
    }

    void tabOrderFollowsLayout()
    {
        QFETCH(int, tab);
        QFETCH(QString, opened);
        QFETCH(QString, order);
        WindowFixture f;
        QVERIFY(f.open(MixedTrips));
        f.showTab(tab);
        if (!opened.isEmpty())
            f.click(f.control(opened));
        const QStringList expected = order.split(u' ');
        QWidget* first = f.control(expected.first());
        first->setFocus(Qt::TabFocusReason);
        QVERIFY(QTest::qWaitFor([&] { return first->hasFocus(); }));
        QStringList seen { expected.first() };
        for (qsizetype i = 1; i < expected.size(); ++i) {
            f.press(Qt::Key_Tab);
            seen << f.focused();
        }
        QCOMPARE(seen, expected);
    }

    void commandWhileLocked_data()
    {
        QTest::addColumn<QString>("opened"); // the button opening the entry
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
        f.click(opened);
        f.type("txt_datum", "07.03.2006");
        f.type("txt_ziel", "Sylt");
        const QString before = storedZiele(f);
        OtherProgram other(f.logbook().path());
        QVERIFY(other.lock());
        QElapsedTimer clock;
        clock.start();
        f.click(button);
        QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));

        QCOMPARE(f.messages.size(), 1);
        QVERIFY2(f.messages[0].text.startsWith(what + ' ' + Busy), qPrintable(f.messages[0].text));
        QCOMPARE(f.messages[0].icon, QMessageBox::Critical);
        QCOMPARE(f.tripButtons(), opened == u"cmd_neu" ? NewTrip : Editing);
        QCOMPARE(f.text("txt_ziel"), QStringLiteral("Sylt"));
        QVERIFY(other.release());
        QCOMPARE(storedZiele(f), before);

        f.click(button);
        QCOMPARE(f.messages.size(), 1);
        QCOMPARE(storedZiele(f), after);
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

QTEST_MAIN(TestFrmOdomira)
#include "test_frm_odomira.moc"
