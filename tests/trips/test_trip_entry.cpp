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
    void workedExamplesAreStored_data()
    {
        QTest::addColumn<QString>("verbrauch"); // as stored
        QTest::addColumn<QString>("shown"); // typed into the open vehicle record, not saved; null: none
        QTest::addColumn<QString>("typed"); // start, end, price
        QTest::addColumn<QString>("stored"); // anfangsstand, endstand, gesamt, preisliter, kosten

        const auto row = [](const char* name, const char* verbrauch, const char* shown, const char* typed,
                             const char* stored) {
            addRow(name, QString(verbrauch), shown ? QString(shown) : QString(), QString(typed),
                QString(stored));
        };
        row("25,990575", "6.5", nullptr, "12000 12345 1,159", "12000 12345 345 1.159 25.9906");
        row("end below start", "8", nullptr, "60 50 1,20", "60 50 -10 1.2 -0.96");
        row("no price, no figures", "7.9", nullptr, "100 150 ", "100 150 <null> <null> <null>");
        row("consumption shown, half-way", "7.9", "5", "100 101 1,001", "100 101 1 1.001 0.05");
    }

    void workedExamplesAreStored()
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
        QCOMPARE(
            f.logbook().query("select datum, von, bis, ziel, bemerkung, anfangsstand, endstand, gesamt, "
                              "preisliter, kosten, geschaeftl, privat, zurarbeit from fahrt where id > 3"),
            QList<QStringList>({ QStringList({ "05.03.2007", "Hamburg", "Lübeck", "Messe", "Vortrag" })
                + stored.split(u' ') + QStringList({ "0", "-1", "0" }) }));
        QCOMPARE(f.logbook().scalar("select verbrauch from verbrauch"), verbrauch);
    }

    // Each trip command by its keys, Enter on a focused button and in the search box. ABBRECHEN
    // (Escape) leaves the file and the trip shown as stored; a save of a trip whose price was
    // emptied empties its stored figures rather than keep figures of other readings.
    void keysRunTheTripCommands()
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

        // ABBRECHEN goes back to the first trip.
        for (const bool save : { false, true }) {
            f.press(Qt::Key_B, Qt::ControlModifier);
            QCOMPARE(f.tripButtons(), Editing);
            f.type("txt_ziel", QStringLiteral("Ax"));
            f.type("txt_preis", QString());
            f.click("chk_priv");
            f.press(save ? Qt::Key_S : Qt::Key_Escape, save ? Qt::ControlModifier : Qt::NoModifier);
            QCOMPARE(f.tripButtons(), Browsing);
            QCOMPARE(f.text("txt_ziel") + f.text("txt_summe"), save ? "Ax" : "A-10");
            QCOMPARE(f.control<QCheckBox>("chk_priv")->isChecked(), save);
            if (!save)
                QCOMPARE(f.logbook().query(AllTrips), before);
        }
        QCOMPARE(f.logbook().query("select ziel, privat, gesamt, preisliter, kosten from fahrt where id = 1"),
            QList<QStringList>({ { "Ax", "-1", "<null>", "<null>", "<null>" } }));

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

    void deleteMakesNeighbourCurrent_data()
    {
        QTest::addColumn<QString>("ziele");
        QTest::addColumn<QString>("search"); // the term searched first, "" for none
        QTest::addColumn<int>("row"); // deleted
        QTest::addColumn<QString>("current"); // ziel of the current trip afterwards, "" for none

        addRow("last: the one before", QString("A B C D E"), QString(), 4, QString("D"));
        addRow("only trip: none", QString("A"), QString(), 0, QString());
        addRow("found trip: the next one found", QString("Ax B Cx D Ex"), QString("x"), 1, QString("Ex"));
    }

    // LÖSCHEN (Ctrl+L) on an open trip deletes it as stored, whatever was typed, closes the calendar
    // and makes its neighbour current, in view.
    void deleteMakesNeighbourCurrent()
    {
        QFETCH(QString, ziele);
        QFETCH(QString, search);
        QFETCH(int, row);
        QFETCH(QString, current);
        WindowFixture f;
        const QStringList trips = ziele.split(u' ');
        QVERIFY(f.open(marchTrips(trips)));
        if (!search.isEmpty()) {
            f.type("txt_suche", search);
            f.click("cmd_suche");
        }
        auto* grid = f.control<QTableView>("DataGrid1");
        f.clickGridRow(grid, row);
        const QString deleted = f.text("txt_ziel");
        f.press(Qt::Key_B, Qt::ControlModifier);
        f.type("txt_ziel", QStringLiteral("getippt"));
        f.click("txt_datum");
        QVERIFY(f.control("MonthView1")->isVisible());
        f.press(Qt::Key_L, Qt::ControlModifier);

        QVERIFY(f.control("MonthView1")->isHidden() && f.messages.isEmpty());
        QStringList rest = trips;
        rest.removeOne(deleted);
        QCOMPARE(
            f.logbook().scalar("select ifnull(group_concat(ziel, ' '), '') from fahrt"), rest.join(u' '));
        QCOMPARE(f.text("txt_ziel"), current);
        if (!current.isEmpty())
            QTRY_VERIFY(rowInView(grid, f.gridColumn(grid, 3).indexOf(current)));
        if (!rest.isEmpty())
            return;
        // The list empty: nothing to save, said so; nothing to delete, silently.
        f.press(Qt::Key_B, Qt::ControlModifier);
        f.press(Qt::Key_S, Qt::ControlModifier);
        QVERIFY2(
            f.messages.value(0).text.contains("keine Fahrt geöffnet"), qPrintable(f.messages.value(0).text));
        QCOMPARE(f.tripButtons(), Editing);
        f.press(Qt::Key_L, Qt::ControlModifier);
        QCOMPARE(f.messages.size(), 1);
        QCOMPARE(f.tripButtons(), Browsing);
    }

    void refusedSaveKeepsEntryOpen_data()
    {
        QTest::addColumn<bool>("editing");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("label"); // part of the message

        const auto row = [](const char* name, bool editing, const char* field, const char* text,
                             const char* button, const char* label) {
            addRow(name, editing, QString(field), QString(text), QString(button), QString(label));
        };
        row("new, no calendar date", false, "txt_datum", "31.02.2007", "cmb_speichern", "„Datum“");
        row("edit, end", true, "txt_ende", "12a", "cmb_speichern", "„Ende km“");
        // The file refuses the trip, or its entry in the change history (triggers stand for any
        // write the store refuses).
        row("new, refused by the file", false, "txt_ziel", "gesperrt", "cmb_speichern", "Ziel gesperrt");
        row("edit, no history entry", true, "txt_ziel", "voll", "cmb_speichern",
            "Der Datensatz wurde nicht gespeichert: der Eintrag in die Änderungshistorie");
        row("delete, no history entry", true, "txt_ziel", "getippt", "cmd_löschen",
            "Der Datensatz wurde nicht gelöscht: der Eintrag in die Änderungshistorie");
    }

    // A refused save or delete keeps the entry open as typed, the grid holds the open trip
    // meanwhile, and the corrected save writes that trip alone.
    void refusedSaveKeepsEntryOpen()
    {
        QFETCH(bool, editing);
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(QString, label);
        WindowFixture f;
        QVERIFY(f.open(threeTrips()));
        QVERIFY(f.logbook().exec(
            "create trigger a before insert on fahrt when new.ziel = 'gesperrt' begin select raise(abort, "
            "'Ziel gesperrt'); end; create trigger b before insert on historie when new.nachher like "
            "'%voll%' "
            "or new.nachher is null begin select raise(abort, 'voll'); end"));
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

    // The date picker. Browsing, the date field opens none. In the open entry a click into the field,
    // typing or Down shows the calendar on the field's date (today without one, the end of its
    // range beyond it), wholly in the window and over no field of the entry. A click on a day or
    // Enter takes the day into the field and the record; arrows move the day; Escape closes it,
    // never reaching ABBRECHEN.
    void datePicker()
    {
        WindowFixture f;
        QVERIFY(f.open({ trip("31.12.2006", "K", 1, 2, "1") }));
        auto* calendar = f.control<QCalendarWidget>("MonthView1");
        auto* datum = f.control<QLineEdit>("txt_datum");
        f.click("txt_datum");
        f.press(Qt::Key_Down);
        QVERIFY(calendar->isHidden());

        f.press(Qt::Key_B, Qt::ControlModifier);
        f.click("txt_datum");
        QVERIFY(calendar->isVisible());
        QCOMPARE(calendar->selectedDate(), QDate(2006, 12, 31));
        QCOMPARE(calendar->yearShown() * 100 + calendar->monthShown(), 200612);
        const auto inWindow = [&f](const QWidget* widget) {
            return QRect(widget->mapTo(&f.w(), QPoint(0, 0)), widget->size());
        };
        QVERIFY(f.w().rect().contains(inWindow(calendar)));
        for (const char* name : { "txt_datum", "txt_von", "txt_bis", "txt_ziel", "txt_bemerkung", "txt_preis",
                 "txt_start", "txt_ende", "txt_summe", "txt_kosten", "chk_gesch", "chk_priv", "chk_weg" })
            QVERIFY2(!inWindow(calendar).intersects(inWindow(f.control(name))), name);
        f.press(Qt::Key_Escape);
        QVERIFY(calendar->isHidden());
        QCOMPARE(f.tripButtons(), Editing);

        f.type(datum, QStringLiteral("1.1.2051"));
        QVERIFY(calendar->isVisible());
        f.press(Qt::Key_Escape);
        f.click("txt_datum");
        QCOMPARE(calendar->selectedDate(), QDate(2050, 12, 31));
        auto* days = calendar->findChild<QTableView*>(QStringLiteral("qt_calendar_calendarview"));
        QVERIFY(days);
        QTest::mouseClick(
            days->viewport(), Qt::LeftButton, {}, days->visualRect(days->currentIndex()).center());
        QCOMPARE(datum->text(), QStringLiteral("31.12.2050"));
        QCOMPARE(WindowAccess::buch(f.w())->field(QStringLiteral("datum")), QStringLiteral("31.12.2050"));
        QVERIFY(calendar->isHidden());
        f.press(Qt::Key_Escape);
        QCOMPARE(f.tripButtons(), Browsing);

        f.press(Qt::Key_N, Qt::ControlModifier);
        f.press(Qt::Key_Down);
        QVERIFY(calendar->isVisible()
            && (calendar->hasFocus() || calendar->isAncestorOf(QApplication::focusWidget())));
        const QDate today = QDate::currentDate();
        QCOMPARE(calendar->selectedDate(), today);
        for (const Qt::Key key : { Qt::Key_Right, Qt::Key_Right, Qt::Key_Down, Qt::Key_Return })
            f.press(key);
        QCOMPARE(datum->text(), odomira::dateText(today.addDays(9)));
        QVERIFY(calendar->isHidden());
        QCOMPARE(f.focused(), QStringLiteral("txt_datum"));
        f.press(Qt::Key_Down);
        QCOMPARE(calendar->selectedDate(), today.addDays(9));
        f.press(Qt::Key_Up);
        f.press(Qt::Key_Escape);
        QVERIFY(calendar->isHidden());
        QCOMPARE(f.focused(), QStringLiteral("txt_datum"));
        QCOMPARE(datum->text(), odomira::dateText(today.addDays(9)));
        QCOMPARE(f.tripButtons(), NewTrip);
    }
};

QTEST_MAIN(TestTripEntry)
#include "test_trip_entry.moc"
