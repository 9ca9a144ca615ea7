// The trip entry through its real buttons and keys: the five trip commands, the figures
// stored on save, the date picker, refused saves and the grid held while a trip is open.
#include "window/window_fixture.h"

#include "store/data_source.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QTabWidget>

using namespace odomira::test;

namespace {

// Figures as a save computes them, at 7,9 l/100 km and 1,2 €/l.
TripRow trip(const char* datum, const char* ziel, int start, int ende, const char* kosten)
{
    TripRow row { QString::fromLatin1(datum), "Hamburg", "Bremen", QString::fromLatin1(ziel), "Kundentermin",
        QString::number(start), QString::number(ende), QString::number(ende - start), "1.2",
        QString::fromLatin1(kosten) };
    row.geschaeftl = QStringLiteral("-1");
    return row;
}

// In date order: Bremen (id 2), Kiel (id 1), Stade (id 3).
QList<TripRow> threeTrips()
{
    return { trip("31.12.2006", "Kiel", 500, 600, "9.48"), trip("02.01.2006", "Bremen", 100, 120, "1.896"),
        trip("01.01.2007", "Stade", 600, 650, "4.74") };
}

const QString AllTrips = QStringLiteral("select * from fahrt order by id");
const QString Browsing = QStringLiteral("11000");
const QString NewTrip = QStringLiteral("00110");
const QString Editing = QStringLiteral("00111");

// Every field of the open entry typed: date, start, end and price as given, the rest fixed.
void typeTrip(WindowFixture& f, const QStringList& given)
{
    const QStringList texts
        = { given[0], "Hamburg", "Lübeck", "Messe", "Vortrag", given[1], given[2], given[3] };
    for (int i = 0; i < texts.size(); ++i)
        f.type(f.tripFields()[i], texts[i]);
}

} // namespace

class TestTripCommands : public QObject {
    Q_OBJECT

private slots:
    void workedExamplesAreStored_data();
    void workedExamplesAreStored();
    void cancelChangesNothing();
    void deleteOnEmptyList();
    void datePicker();
    void refusedSaveKeepsEntryOpen_data();
    void refusedSaveKeepsEntryOpen();
    void refusedCommandKeepsWindowUsable_data();
    void refusedCommandKeepsWindowUsable();
};

void TestTripCommands::workedExamplesAreStored_data()
{
    QTest::addColumn<QString>("verbrauch"); // as stored
    QTest::addColumn<QString>("shown"); // typed into the open vehicle record, not saved; null: none
    QTest::addColumn<QString>("typed"); // start, end, price
    QTest::addColumn<QString>("stored"); // anfangsstand, endstand, gesamt, preisliter, kosten

    const QString none;
    addRow("0,21014", QString("7.9"), none, QString("190888 190890 1,33"),
        QString("190888 190890 2 1.33 0.2101"));
    addRow("25,990575", QString("6.5"), none, QString("12000 12345 1,159"),
        QString("12000 12345 345 1.159 25.9906"));
    addRow("half-way", QString("5"), none, QString("100 101 1,001"), QString("100 101 1 1.001 0.05"));
    addRow("end below start", QString("8"), none, QString("60 50 1,20"), QString("60 50 -10 1.2 -0.96"));
    addRow("no price, no figures", QString("7.9"), none, QString("100 150 "),
        QString("100 150 <null> <null> <null>"));
    addRow("consumption shown", QString("7.9"), QString("5"), QString("100 101 1,001"),
        QString("100 101 1 1.001 0.05"));
}

void TestTripCommands::workedExamplesAreStored()
{
    QFETCH(QString, verbrauch);
    QFETCH(QString, shown);
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    WindowFixture f;
    VehicleRow vehicle;
    vehicle.verbrauch = verbrauch;
    QList<TripRow> trips = threeTrips();
    trips[1].privat = trips[1].zurarbeit = QStringLiteral("-1"); // Bremen, shown first: every kind
    QVERIFY(f.open(trips, vehicle));
    if (!shown.isNull()) {
        f.control<QTabWidget>("SSTab1")->setCurrentIndex(1);
        f.click(f.control<QPushButton>("cmd_sbearbeiten"));
        f.type(f.control<QLineEdit>("txt_verbrauch"), shown);
        f.control<QTabWidget>("SSTab1")->setCurrentIndex(0);
    }
    const QList<QCheckBox*> kinds = { f.control<QCheckBox>("chk_gesch"), f.control<QCheckBox>("chk_priv"),
        f.control<QCheckBox>("chk_weg") };
    for (const QCheckBox* kind : kinds)
        QVERIFY(kind->isChecked());
    f.click(f.control<QPushButton>("cmd_neu"));
    // A blank entry, its kinds set on the record itself rather than left to the table's defaults,
    // the cursor in the date field.
    QCOMPARE(f.tripButtons(), NewTrip);
    QVERIFY(f.control<QLineEdit>("txt_ziel")->text().isEmpty());
    for (const QCheckBox* kind : kinds)
        QVERIFY2(!kind->isChecked(), qPrintable(kind->objectName()));
    QVERIFY(QTest::qWaitFor([&f] { return f.control("txt_datum")->hasFocus(); }));
    QCOMPARE(WindowAccess::buch(f.w())->field(QStringLiteral("geschaeftl")), QStringLiteral("0"));

    typeTrip(f, QStringList { "5.3.2007" } + typed.split(u' '));
    f.click(f.control<QCheckBox>("chk_priv"));
    f.control<QPushButton>("cmb_speichern")->click();

    QVERIFY(f.messages.isEmpty());
    QCOMPARE(f.logbook().query(QStringLiteral("select datum, von, bis, ziel, bemerkung, anfangsstand, "
                                              "endstand, gesamt, preisliter, kosten, geschaeftl, privat, "
                                              "zurarbeit from fahrt where id > 3")),
        QList<QStringList>({ QStringList({ "05.03.2007", "Hamburg", "Lübeck", "Messe", "Vortrag" })
            + stored.split(u' ') + QStringList({ "0", "-1", "0" }) }));
    QCOMPARE(f.logbook().scalar(QStringLiteral("select verbrauch from verbrauch")), verbrauch);

    // The entry closes on the saved trip in the re-read list.
    QCOMPARE(f.tripButtons(), Browsing);
    QCOMPARE(f.gridColumn(f.control<QTableView>("DataGrid1")),
        QStringList({ "02.01.2006", "31.12.2006", "01.01.2007", "05.03.2007" }));
    QCOMPARE(f.control<QLineEdit>("txt_ziel")->text(), QStringLiteral("Messe"));
}

void TestTripCommands::cancelChangesNothing()
{
    WindowFixture f;
    QVERIFY(f.open(threeTrips()));
    const QList<QStringList> before = f.logbook().query(AllTrips);
    // BEARBEITEN, changes, ABBRECHEN: the trip shows as stored.
    f.click(f.control<QPushButton>("cmd_bearbeiten"));
    f.type(f.control<QLineEdit>("txt_ziel"), QStringLiteral("Anderswo"));
    f.click(f.control<QCheckBox>("chk_priv"));
    f.click(f.control<QPushButton>("cmd_abbrechen"));
    QCOMPARE(f.control<QLineEdit>("txt_ziel")->text(), QStringLiteral("Bremen"));
    QVERIFY(!f.control<QCheckBox>("chk_priv")->isChecked());

    // NEU, a whole trip typed, ABBRECHEN: no row, back on the first trip.
    f.clickGridRow(f.control<QTableView>("DataGrid1"), 1);
    f.click(f.control<QPushButton>("cmd_neu"));
    typeTrip(f, { "05.03.2007", "1", "2", "1" });
    f.click(f.control<QPushButton>("cmd_abbrechen"));
    QCOMPARE(f.logbook().query(AllTrips), before);
    QCOMPARE(f.tripButtons(), Browsing);
    QCOMPARE(f.control<QTableView>("DataGrid1")->model()->rowCount(), 3);
    QCOMPARE(f.control<QLineEdit>("txt_ziel")->text(), QStringLiteral("Bremen"));
}

void TestTripCommands::deleteOnEmptyList()
{
    WindowFixture f;
    QVERIFY(f.open());
    f.click(f.control<QPushButton>("cmd_bearbeiten"));
    // Nothing to save: said so, the entry stays open.
    f.click(f.control<QPushButton>(QStringLiteral("cmb_speichern")));
    QCOMPARE(f.messages.size(), 1);
    QVERIFY2(f.messages[0].text.contains("keine Fahrt geöffnet"), qPrintable(f.messages[0].text));
    QCOMPARE(f.tripButtons(), Editing);
    f.messages.clear();
    // Nothing to delete: no message.
    f.click(f.control<QPushButton>("cmd_löschen"));
    QVERIFY(f.messages.isEmpty());
    QCOMPARE(f.tripButtons(), Browsing);
    QVERIFY(f.control<QLineEdit>("txt_datum")->isReadOnly());
}

void TestTripCommands::datePicker()
{
    WindowFixture f;
    QVERIFY(f.open(threeTrips()));
    f.click(f.control<QLineEdit>("txt_datum"));
    QTest::keyClick(f.control<QLineEdit>("txt_datum"), Qt::Key_0);
    QVERIFY(f.control<QCalendarWidget>("MonthView1")->isHidden());
    f.click(f.control<QPushButton>("cmd_neu"));
    QTest::keyClick(f.control<QLineEdit>("txt_datum"), Qt::Key_0);
    QVERIFY(f.control<QCalendarWidget>("MonthView1")->isVisible());
    QCOMPARE(WindowAccess::buch(f.w())->field(QStringLiteral("datum")), QStringLiteral("0"));

    // Click the day 1 of March 2007 in the calendar's own grid.
    f.control<QCalendarWidget>("MonthView1")->setSelectedDate(QDate(2007, 3, 1));
    auto* days = f.control<QCalendarWidget>("MonthView1")
                     ->findChild<QTableView*>(QStringLiteral("qt_calendar_calendarview"));
    QVERIFY(days);
    QTest::mouseClick(days->viewport(), Qt::LeftButton, {}, days->visualRect(days->currentIndex()).center());
    QCOMPARE(f.control<QLineEdit>("txt_datum")->text(), QStringLiteral("01.03.2007"));
    QCOMPARE(WindowAccess::buch(f.w())->field(QStringLiteral("datum")), QStringLiteral("01.03.2007"));
    QVERIFY(f.control<QCalendarWidget>("MonthView1")->isHidden());
}

void TestTripCommands::refusedSaveKeepsEntryOpen_data()
{
    QTest::addColumn<bool>("editing");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("label"); // part of the message

    addRow("new, no calendar date", false, QString("txt_datum"), QString("31.02.2007"), QString("„Datum“"));
    addRow("edit, end", true, QString("txt_ende"), QString("12a"), QString("„Ende km“"));
    addRow("new, price", false, QString("txt_preis"), QString("1,2,3"), QString("„€/Liter“"));
    // The file itself refuses the destination (a trigger stands for any write the store refuses).
    addRow("new, refused by the file", false, QString("txt_ziel"), QString("gesperrt"),
        QString("Ziel gesperrt"));
    addRow("edit, refused by the file", true, QString("txt_ziel"), QString("gesperrt"),
        QString("Ziel gesperrt"));
}

// A refused save keeps the entry open as typed, the grid holds the open trip meanwhile, and
// the corrected save writes that trip alone.
void TestTripCommands::refusedSaveKeepsEntryOpen()
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
    const QList<QStringList> before = f.logbook().query(AllTrips);
    auto* edit = f.control<QLineEdit>(field);
    f.click(f.control<QPushButton>(editing ? "cmd_bearbeiten" : "cmd_neu"));
    typeTrip(f, { "05.03.2007", "100", "150", "1,5" });
    const QString good = edit->text();
    f.type(edit, text);
    QStringList typed;
    for (QLineEdit* entry : f.tripFields())
        typed << entry->text();

    f.click(f.control<QPushButton>("cmb_speichern"));
    QCOMPARE(f.messages.size(), 1);
    QVERIFY2(f.messages[0].text.contains(label), qPrintable(f.messages[0].text));
    QCOMPARE(f.messages[0].icon, QMessageBox::Critical);
    if (field != u"txt_ziel") // the file's refusal names no field to correct
        QVERIFY(QTest::qWaitFor([edit] { return edit->hasFocus(); }));
    QCOMPARE(f.logbook().query(AllTrips), before);
    QCOMPARE(f.tripButtons(), editing ? Editing : NewTrip);
    for (int i = 0; i < typed.size(); ++i)
        QVERIFY(f.tripFields()[i]->text() == typed[i] && !f.tripFields()[i]->isReadOnly());

    auto* grid = f.control<QTableView>(QStringLiteral("DataGrid1"));
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
    f.click(f.control<QPushButton>("cmb_speichern"));
    QCOMPARE(f.tripButtons(), Browsing);
    QCOMPARE(f.logbook().query(QStringLiteral("select id from fahrt where ziel = 'Messe'")),
        QList<QStringList>({ { editing ? "2" : "4" } }));

    // The saved trip no longer holds the grid: a click and a key choose another trip.
    f.clickGridRow(grid, 0);
    QVERIFY(grid->hasFocus());
    QTest::keyClick(grid, Qt::Key_Down);
    QCOMPARE(f.control<QLineEdit>(QStringLiteral("txt_ziel"))->text(), editing ? "Stade" : "Kiel");
}

// LÖSCHEN refused by the store says so and leaves the window usable: the file refuses the
// delete (the trip stays open), or the list cannot be read again after it (the entry closes,
// the fields locked).
void TestTripCommands::refusedCommandKeepsWindowUsable_data()
{
    QTest::addColumn<bool>("listGone");
    QTest::addColumn<QString>("message"); // part of it
    QTest::addColumn<QString>("stored"); // ziel of the stored trips afterwards
    addRow("delete refused", false, QString("Fahrt bleibt"), QString("Kiel Bremen Stade"));
    addRow("list gone after the delete", true, QString("fahrt"), QString("Kiel Stade"));
}

void TestTripCommands::refusedCommandKeepsWindowUsable()
{
    QFETCH(bool, listGone);
    QFETCH(QString, message);
    QFETCH(QString, stored);
    WindowFixture f;
    QVERIFY(f.open(threeTrips()));
    f.click(f.control<QPushButton>("cmd_bearbeiten"));
    if (listGone) {
        // Another program takes the table away between the delete and the re-read.
        odomira::DataSource* buch = WindowAccess::buch(f.w());
        QObject::connect(buch, &odomira::DataSource::rowsRemoved, buch, [&f, buch] {
            QObject::disconnect(buch, &odomira::DataSource::rowsRemoved, nullptr, nullptr);
            QVERIFY(f.logbook().exec(QStringLiteral("alter table fahrt rename to fahrt_alt")));
        });
    } else {
        QVERIFY(f.logbook().exec(
            "create trigger keep before delete on fahrt begin select raise(abort, 'Fahrt bleibt'); end"));
    }
    f.click(f.control<QPushButton>("cmd_löschen"));

    QCOMPARE(f.messages.size(), 1);
    QVERIFY2(f.messages[0].text.contains(message), qPrintable(f.messages[0].text));
    QCOMPARE(f.messages[0].icon, QMessageBox::Critical);
    QCOMPARE(f.logbook().scalar(
                 QStringLiteral("select group_concat(ziel, ' ') from (select ziel from %1 order by id)")
                     .arg(listGone ? "fahrt_alt" : "fahrt")),
        stored);
    QCOMPARE(f.tripButtons(), listGone ? Browsing : Editing);
    for (QLineEdit* entry : f.tripFields())
        QCOMPARE(entry->isReadOnly(), listGone);
}

QTEST_MAIN(TestTripCommands)
#include "test_trip_commands.moc"
