// The trip entry through its real buttons and keys: the five trip commands and their shortcuts,
// the figures stored on save, refused saves and deletes, the trip current after LÖSCHEN, the
// grid held while a trip is open, and the date picker by mouse and keyboard.
#include "window/window_fixture.h"

#include "common/date_text.h"
#include "store/data_source.h"

#include <QCalendarWidget>
#include <QCheckBox>

using namespace odomira::test;

namespace {

// Figures as a save computes them, at 7,9 l/100 km and 1,2 €/l; a business trip.
TripRow trip(const char* datum, const char* ziel, int start, int ende, const char* kosten)
{
    return withKinds({ datum, "Hamburg", "Bremen", ziel, "Kundentermin", QString::number(start),
                         QString::number(ende), QString::number(ende - start), "1.2", kosten },
        "100");
}

// In date order: Bremen (id 2), Kiel (id 1), Stade (id 3).
QList<TripRow> threeTrips()
{
    return { trip("31.12.2006", "Kiel", 500, 600, "9.48"), trip("02.01.2006", "Bremen", 100, 120, "1.896"),
        trip("01.01.2007", "Stade", 600, 650, "4.74") };
}

// Trips of March 2006 from the 1st on, stored 60 to 50 km at 1,2 €/l, to the destinations given.
QList<TripRow> marchTrips(const QStringList& ziele)
{
    QList<TripRow> trips;
    for (const QString& ziel : ziele)
        trips << TripRow { QStringLiteral("0%1.03.2006").arg(trips.size() + 1), "Hamburg", "Hamburg", ziel,
            "Termin", "60", "50", "-10", "1.2", "-0.96" };
    return trips;
}

const QString AllTrips = QStringLiteral("select * from fahrt order by id");

// Every field of the open entry typed: date, start, end and price as given, the rest fixed.
void typeTrip(WindowFixture& f, const QStringList& given)
{
    const QStringList texts
        = { given[0], "Hamburg", "Lübeck", "Messe", "Vortrag", given[1], given[2], given[3] };
    for (int i = 0; i < texts.size(); ++i)
        f.type(f.tripFields()[i], texts[i]);
}

// The trip grid's selected row shows the current trip, wholly in view.
bool rowInView(QTableView* grid, int row)
{
    return grid->currentIndex().row() == row && grid->selectionModel()->isRowSelected(row)
        && grid->viewport()->rect().contains(grid->visualRect(grid->model()->index(row, 3)));
}

} // namespace

class TestTripEntry : public QObject {
    Q_OBJECT

private slots:
    void workedExamplesAreStored_data();
    void workedExamplesAreStored();
    void keysRunTheTripCommands();
    void emptyLogbook();
    void deleteMakesNeighbourCurrent_data();
    void deleteMakesNeighbourCurrent();
    void figuresNeverContradictReadings_data();
    void figuresNeverContradictReadings();
    void refusedSaveKeepsEntryOpen_data();
    void refusedSaveKeepsEntryOpen();
    void calendarOpensOnFieldDate_data();
    void calendarOpensOnFieldDate();
    void calendarByKeyboard();
};

void TestTripEntry::workedExamplesAreStored_data()
{
    QTest::addColumn<QString>("verbrauch"); // as stored
    QTest::addColumn<QString>("shown"); // typed into the open vehicle record, not saved; null: none
    QTest::addColumn<QString>("typed"); // start, end, price
    QTest::addColumn<QString>("stored"); // anfangsstand, endstand, gesamt, preisliter, kosten

    const QString none;
    addRow("25,990575", QString("6.5"), none, QString("12000 12345 1,159"),
        QString("12000 12345 345 1.159 25.9906"));
    addRow("end below start", QString("8"), none, QString("60 50 1,20"), QString("60 50 -10 1.2 -0.96"));
    addRow("no price, no figures", QString("7.9"), none, QString("100 150 "),
        QString("100 150 <null> <null> <null>"));
    addRow("consumption shown, half-way", QString("7.9"), QString("5"), QString("100 101 1,001"),
        QString("100 101 1 1.001 0.05"));
}

void TestTripEntry::workedExamplesAreStored()
{
    QFETCH(QString, verbrauch);
    QFETCH(QString, shown);
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    WindowFixture f;
    QList<TripRow> trips = threeTrips();
    trips[1] = withKinds(trips[1], "111"); // Bremen, shown first: every kind
    QVERIFY(f.open(trips, { .verbrauch = verbrauch }));
    if (!shown.isNull()) {
        f.showTab(1);
        f.click("cmd_sbearbeiten");
        f.type("txt_verbrauch", shown);
        f.showTab(0);
    }
    const QList<QCheckBox*> kinds = { f.control<QCheckBox>("chk_gesch"), f.control<QCheckBox>("chk_priv"),
        f.control<QCheckBox>("chk_weg") };
    for (const QCheckBox* kind : kinds)
        QVERIFY(kind->isChecked());
    f.click("cmd_neu");
    // Its kinds set on the record itself rather than left to the table's defaults; the odometer
    // going on from the latest trip by the calendar (Stade), not by the text of its date.
    for (const QCheckBox* kind : kinds)
        QVERIFY2(!kind->isChecked(), qPrintable(kind->objectName()));
    QCOMPARE(WindowAccess::buch(f.w())->field(QStringLiteral("geschaeftl")), QStringLiteral("0"));
    QCOMPARE(f.text("txt_start"), QStringLiteral("650"));

    typeTrip(f, QStringList { "5.3.2007" } + typed.split(u' '));
    f.click("chk_priv");
    f.control<QPushButton>("cmb_speichern")->click();

    QVERIFY(f.messages.isEmpty());
    QCOMPARE(f.logbook().query("select datum, von, bis, ziel, bemerkung, anfangsstand, endstand, gesamt, "
                               "preisliter, kosten, geschaeftl, privat, zurarbeit from fahrt where id > 3"),
        QList<QStringList>({ QStringList({ "05.03.2007", "Hamburg", "Lübeck", "Messe", "Vortrag" })
            + stored.split(u' ') + QStringList({ "0", "-1", "0" }) }));
    QCOMPARE(f.logbook().scalar("select verbrauch from verbrauch"), verbrauch);
    QCOMPARE(f.tripButtons(), Browsing);
}

// Each trip command by its keys, Enter on a focused button and in the search box; ABBRECHEN
// (Escape) leaves the file and the trip shown as stored.
void TestTripEntry::keysRunTheTripCommands()
{
    WindowFixture f;
    QVERIFY(f.open(marchTrips({ "A", "B", "C", "D", "E" })));
    const QList<QStringList> before = f.logbook().query(AllTrips);
    f.press(Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(f.tripButtons(), NewTrip);
    QCOMPARE(f.focused(), QStringLiteral("txt_datum"));
    typeTrip(f, { "05.03.2007", "1", "2", "1" });
    f.press(Qt::Key_Escape);
    QCOMPARE(f.tripButtons(), Browsing);

    f.clickGridRow(f.control<QTableView>("DataGrid1"), 1);
    for (const bool save : { false, true }) {
        f.press(Qt::Key_B, Qt::ControlModifier);
        QCOMPARE(f.tripButtons(), Editing);
        f.type("txt_ziel", QStringLiteral("Bx"));
        f.click("chk_priv");
        f.press(save ? Qt::Key_S : Qt::Key_Escape, save ? Qt::ControlModifier : Qt::NoModifier);
        QCOMPARE(f.tripButtons(), Browsing);
        QCOMPARE(f.text("txt_ziel"), save ? "Bx" : "B");
        QCOMPARE(f.control<QCheckBox>("chk_priv")->isChecked(), save);
        if (!save)
            QCOMPARE(f.logbook().query(AllTrips), before);
    }
    QCOMPARE(f.logbook().query("select ziel, privat from fahrt where datum = '02.03.2006'"),
        QList<QStringList>({ { "Bx", "-1" } }));

    f.press(Qt::Key_L, Qt::ControlModifier); // not while browsing
    QCOMPARE(f.logbook().scalar("select count(*) from fahrt"), QStringLiteral("5"));

    f.control<QPushButton>("cmd_neu")->setFocus();
    f.press(Qt::Key_Return);
    QCOMPARE(f.tripButtons(), NewTrip);
    f.control<QPushButton>("cmd_abbrechen")->setFocus();
    f.press(Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(f.tripButtons(), Browsing);

    // The search box from another tab, Enter in it searches.
    f.showTab(1);
    f.press(Qt::Key_F, Qt::ControlModifier);
    QCOMPARE(f.currentTab(), 0);
    QCOMPARE(f.focused(), QStringLiteral("txt_suche"));
    QTest::keyClicks(f.control("txt_suche"), "04.03");
    f.press(Qt::Key_Return);
    QCOMPARE(f.gridColumn(f.control<QTableView>("DataGrid1"), 3), QStringList { "D" });
    QVERIFY(f.messages.isEmpty());
}

// An empty logbook: nothing to save, said so; nothing to delete, silently.
void TestTripEntry::emptyLogbook()
{
    WindowFixture f;
    QVERIFY(f.open());
    f.click("cmd_bearbeiten");
    f.click("cmb_speichern");
    QCOMPARE(f.messages.size(), 1);
    QVERIFY2(f.messages[0].text.contains("keine Fahrt geöffnet"), qPrintable(f.messages[0].text));
    QCOMPARE(f.tripButtons(), Editing);
    f.click("cmd_löschen");
    QCOMPARE(f.messages.size(), 1);
    QCOMPARE(f.tripButtons(), Browsing);
}

void TestTripEntry::deleteMakesNeighbourCurrent_data()
{
    QTest::addColumn<int>("trips"); // the first n of A to E
    QTest::addColumn<int>("row"); // deleted
    QTest::addColumn<QString>("current"); // ziel of the current trip afterwards, "" for none

    addRow("middle: the following", 5, 2, QString("D"));
    addRow("last: the one before", 5, 4, QString("D"));
    addRow("only trip: none", 1, 0, QString());
}

// LÖSCHEN (Ctrl+L) on an open trip deletes it as stored, whatever was typed, closes the calendar
// and makes its neighbour current, in view.
void TestTripEntry::deleteMakesNeighbourCurrent()
{
    QFETCH(int, trips);
    QFETCH(int, row);
    QFETCH(QString, current);
    WindowFixture f;
    QVERIFY(f.open(marchTrips(QStringList { "A", "B", "C", "D", "E" }.mid(0, trips))));
    auto* grid = f.control<QTableView>("DataGrid1");
    f.clickGridRow(grid, row);
    const QString deleted = f.text("txt_ziel");
    f.press(Qt::Key_B, Qt::ControlModifier);
    f.type("txt_ziel", QStringLiteral("getippt"));
    f.click("txt_datum");
    QVERIFY(f.control("MonthView1")->isVisible());
    f.press(Qt::Key_L, Qt::ControlModifier);

    QVERIFY(f.control("MonthView1")->isHidden() && f.messages.isEmpty());
    QCOMPARE(f.logbook().scalar("select count(*) from fahrt"), QString::number(trips - 1));
    QCOMPARE(
        f.logbook().scalar("select count(*) from fahrt where ziel in ('getippt', '" + deleted + "')"), "0");
    QCOMPARE(f.text("txt_ziel"), current);
    if (!current.isEmpty())
        QTRY_VERIFY(rowInView(grid, f.gridColumn(grid, 3).indexOf(current)));
}

void TestTripEntry::figuresNeverContradictReadings_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("stored"); // anfangsstand endstand gesamt preisliter kosten

    addRow("price emptied", QString("txt_preis"), QString(""), QString("60 50 <null> <null> <null>"));
    addRow("start emptied", QString("txt_start"), QString(""), QString("<null> 50 <null> 1.2 <null>"));
    addRow("end changed: computed", QString("txt_ende"), QString("70"), QString("60 70 10 1.2 0.948"));
}

// A trip stored with figures (60 to 50, -10 km, -0,96 €) and edited: figures that cannot be
// computed from the new readings are emptied rather than kept.
void TestTripEntry::figuresNeverContradictReadings()
{
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, stored);
    WindowFixture f;
    QVERIFY(f.open(marchTrips({ "A" })));
    f.press(Qt::Key_B, Qt::ControlModifier);
    f.type(field, text);
    f.press(Qt::Key_S, Qt::ControlModifier);

    QVERIFY(f.messages.isEmpty());
    const QStringList figures = stored.split(u' ');
    QCOMPARE(f.logbook().query("select anfangsstand, endstand, gesamt, preisliter, kosten from fahrt"),
        QList<QStringList> { figures });
    QCOMPARE(f.text("txt_summe").isEmpty(), figures[2] == "<null>");
    QCOMPARE(f.text("txt_kosten").isEmpty(), figures[4] == "<null>");
}

void TestTripEntry::refusedSaveKeepsEntryOpen_data()
{
    QTest::addColumn<bool>("editing");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("label"); // part of the message

    const QString save = QStringLiteral("cmb_speichern");
    addRow("new, no calendar date", false, QString("txt_datum"), QString("31.02.2007"), save,
        QString("„Datum“"));
    addRow("edit, end", true, QString("txt_ende"), QString("12a"), save, QString("„Ende km“"));
    // The file itself refuses (triggers stand for any write the store refuses).
    addRow("new, refused by the file", false, QString("txt_ziel"), QString("gesperrt"), save,
        QString("Ziel gesperrt"));
    addRow("edit, refused by the file", true, QString("txt_ziel"), QString("gesperrt"), save,
        QString("Ziel gesperrt"));
    addRow("delete refused by the file", true, QString("txt_ziel"), QString("getippt"),
        QString("cmd_löschen"), QString("Fahrt bleibt"));
}

// A refused save or delete keeps the entry open as typed, the grid holds the open trip
// meanwhile, and the corrected save writes that trip alone.
void TestTripEntry::refusedSaveKeepsEntryOpen()
{
    QFETCH(bool, editing);
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, label);
    WindowFixture f;
    QVERIFY(f.open(threeTrips()));
    for (const char* event : { "insert", "update" })
        QVERIFY(f.logbook().exec(QStringLiteral("create trigger refuse_%1 before %1 on fahrt when new.ziel = "
                                                "'gesperrt' begin select raise(abort, 'Ziel gesperrt'); end")
                                     .arg(QLatin1String(event))));
    QVERIFY(f.logbook().exec(
        "create trigger keep before delete on fahrt begin select raise(abort, 'Fahrt bleibt'); end"));
    const QList<QStringList> before = f.logbook().query(AllTrips);
    auto* edit = f.control<QLineEdit>(field);
    f.click(editing ? "cmd_bearbeiten" : "cmd_neu");
    typeTrip(f, { "05.03.2007", "100", "150", "1,5" });
    const QString good = edit->text();
    f.type(edit, text);
    const auto entry = [&f] {
        QStringList texts;
        for (const QLineEdit* shown : f.tripFields())
            texts << shown->text() + (shown->isReadOnly() ? " (gesperrt)" : "");
        return texts;
    };
    const QStringList typed = entry();

    QFETCH(QString, button);
    f.click(button);
    QCOMPARE(f.messages.size(), 1);
    QVERIFY2(f.messages[0].text.contains(label), qPrintable(f.messages[0].text));
    QCOMPARE(f.messages[0].icon, QMessageBox::Critical);
    if (field != u"txt_ziel") // the file's refusal names no field to correct
        QVERIFY(QTest::qWaitFor([edit] { return edit->hasFocus(); }));
    QCOMPARE(f.logbook().query(AllTrips), before);
    QCOMPARE(f.tripButtons(), editing ? Editing : NewTrip);
    QCOMPARE(entry(), typed);

    auto* grid = f.control<QTableView>("DataGrid1");
    const int row = WindowAccess::buch(f.w())->currentRow();
    f.clickGridRow(grid, 2);
    QVERIFY(!grid->hasFocus());
    QTest::keyClick(grid, Qt::Key_Up);
    QCOMPARE(WindowAccess::buch(f.w())->currentRow(), row);
    QCOMPARE(grid->currentIndex().row(), row);
    QCOMPARE(WindowAccess::buch(f.w())->field(QStringLiteral("ziel")),
        field == u"txt_ziel" ? text : QStringLiteral("Messe"));

    // Only the open trip (Bremen, id 2, or the new one) takes the typed trip.
    f.type(edit, good);
    f.click("cmb_speichern");
    QCOMPARE(f.tripButtons(), Browsing);
    QCOMPARE(f.logbook().query("select id from fahrt where ziel = 'Messe'"),
        QList<QStringList>({ { editing ? "2" : "4" } }));

    // The saved trip no longer holds the grid: a click and a key choose another trip.
    f.clickGridRow(grid, 0);
    QVERIFY(grid->hasFocus());
    QTest::keyClick(grid, Qt::Key_Down);
    QCOMPARE(f.text("txt_ziel"), editing ? "Stade" : "Kiel");
}

void TestTripEntry::calendarOpensOnFieldDate_data()
{
    QTest::addColumn<bool>("edit"); // BEARBEITEN on the trip of 31.12.2006, else NEU
    QTest::addColumn<QString>("typed"); // into the date field first; null: nothing
    QTest::addColumn<QDate>("shown"); // null: today

    addRow("trip's date", true, QString(), QDate(2006, 12, 31));
    addRow("new trip: today", false, QString(), QDate());
    addRow("outside the range: its end", true, QString("1.1.2051"), QDate(2050, 12, 31));
}

// A click into the open date field shows the calendar on the field's date, wholly in the window
// and over no field of the entry; a click on a day takes it into the field and the record.
void TestTripEntry::calendarOpensOnFieldDate()
{
    QFETCH(bool, edit);
    QFETCH(QString, typed);
    QFETCH(QDate, shown);
    WindowFixture f;
    QVERIFY(f.open({ trip("31.12.2006", "K", 1, 2, "1") }));
    auto* calendar = f.control<QCalendarWidget>("MonthView1");
    f.click(edit ? "cmd_bearbeiten" : "cmd_neu");
    if (!typed.isNull()) {
        f.type("txt_datum", typed);
        f.press(Qt::Key_Escape);
    }
    QVERIFY(calendar->isHidden());
    f.click("txt_datum");
    QVERIFY(calendar->isVisible());
    const QDate expected = shown.isValid() ? shown : QDate::currentDate();
    QCOMPARE(calendar->selectedDate(), expected);
    QCOMPARE(calendar->yearShown() * 100 + calendar->monthShown(), expected.year() * 100 + expected.month());

    const auto inWindow
        = [&f](const QWidget* widget) { return QRect(widget->mapTo(&f.w(), QPoint(0, 0)), widget->size()); };
    QVERIFY(f.w().rect().contains(inWindow(calendar)));
    for (const char* name : { "txt_datum", "txt_von", "txt_bis", "txt_ziel", "txt_bemerkung", "txt_preis",
             "txt_start", "txt_ende", "txt_summe", "txt_kosten", "chk_gesch", "chk_priv", "chk_weg" })
        QVERIFY2(!inWindow(calendar).intersects(inWindow(f.control(name))), name);

    auto* days = calendar->findChild<QTableView*>(QStringLiteral("qt_calendar_calendarview"));
    QVERIFY(days);
    QTest::mouseClick(days->viewport(), Qt::LeftButton, {}, days->visualRect(days->currentIndex()).center());
    QCOMPARE(f.text("txt_datum"), odomira::dateText(expected));
    QCOMPARE(WindowAccess::buch(f.w())->field(QStringLiteral("datum")), odomira::dateText(expected));
    QVERIFY(calendar->isHidden());
}

// Down moves into the calendar, arrows move the day, Enter takes it, Escape and Tab close it;
// Escape never reaches ABBRECHEN while the calendar is shown. Browsing, the field opens none.
void TestTripEntry::calendarByKeyboard()
{
    WindowFixture f;
    QVERIFY(f.open(marchTrips({ "A" })));
    auto* calendar = f.control<QCalendarWidget>("MonthView1");
    auto* datum = f.control<QLineEdit>("txt_datum");
    f.click("txt_datum");
    f.press(Qt::Key_Down);
    QVERIFY(calendar->isHidden());

    f.press(Qt::Key_N, Qt::ControlModifier);
    f.press(Qt::Key_Down);
    QVERIFY(calendar->isVisible() && (calendar->hasFocus() || calendar->isAncestorOf(QApplication::focusWidget())));
    const QDate today = QDate::currentDate();
    QCOMPARE(calendar->selectedDate(), today);
    for (const Qt::Key key : { Qt::Key_Right, Qt::Key_Right, Qt::Key_Down, Qt::Key_Return })
        f.press(key);
    QCOMPARE(datum->text(), odomira::dateText(today.addDays(9)));
    QVERIFY(calendar->isHidden());
    QCOMPARE(f.focused(), QStringLiteral("txt_datum"));

    // Typing opens it; Escape closes it, from the field and from the calendar, where the arrows
    // start at the typed date.
    f.type(datum, QStringLiteral("5.3.2007"));
    QVERIFY(calendar->isVisible());
    f.press(Qt::Key_Escape);
    QVERIFY(calendar->isHidden());
    f.press(Qt::Key_Down);
    QCOMPARE(calendar->selectedDate(), QDate(2007, 3, 5));
    f.press(Qt::Key_Up);
    f.press(Qt::Key_Escape);
    QVERIFY(calendar->isHidden());
    QCOMPARE(f.focused(), QStringLiteral("txt_datum"));
    QCOMPARE(datum->text(), QStringLiteral("5.3.2007"));
    QCOMPARE(f.tripButtons(), NewTrip);

    f.press(Qt::Key_Down);
    f.press(Qt::Key_Tab);
    QCOMPARE(f.focused(), QStringLiteral("txt_von"));
    QVERIFY(calendar->isHidden());
}

QTEST_MAIN(TestTripEntry)
#include "test_trip_entry.moc"
