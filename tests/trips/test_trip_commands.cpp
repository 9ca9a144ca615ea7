// The trip entry through its real buttons and keys: the five trip commands, the figures
// stored on save, the date picker, refused saves and the grid held while a trip is open.
#include "window/window_fixture.h"

#include "store/data_source.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QGroupBox>
#include <QTabWidget>

using namespace odomira::test;
using odomira::frm_odomira;

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
    void editThenDeleteOrVanished();
    void emptyListEditDeleteAndSave();
    void datePicker();
    void refusedSaveKeepsEntryOpen_data();
    void refusedSaveKeepsEntryOpen();
    void gridKeepsOpenTrip_data();
    void gridKeepsOpenTrip();
};

void TestTripCommands::workedExamplesAreStored_data()
{
    QTest::addColumn<QString>("verbrauch"); // as stored
    QTest::addColumn<QString>("shown"); // typed into the open vehicle record, not saved; null: none
    QTest::addColumn<QStringList>("typed"); // start, end, price
    QTest::addColumn<QStringList>("stored"); // anfangsstand, endstand, gesamt, preisliter, kosten

    QTest::newRow("0,21014") << "7.9" << QString() << QStringList { "190888", "190890", "1,33" }
                             << QStringList { "190888", "190890", "2", "1.33", "0.2101" };
    QTest::newRow("25,990575") << "6.5" << QString() << QStringList { "12000", "12345", "1,159" }
                               << QStringList { "12000", "12345", "345", "1.159", "25.9906" };
    QTest::newRow("half-way") << "5" << QString() << QStringList { "100", "101", "1,001" }
                              << QStringList { "100", "101", "1", "1.001", "0.05" };
    QTest::newRow("end below start") << "8" << QString() << QStringList { "60", "50", "1,20" }
                                     << QStringList { "60", "50", "-10", "1.2", "-0.96" };
    QTest::newRow("no price, no figures") << "7.9" << QString() << QStringList { "100", "150", "" }
                                          << QStringList { "100", "150", "<null>", "<null>", "<null>" };
    QTest::newRow("consumption shown") << "7.9" << "5" << QStringList { "100", "101", "1,001" }
                                       << QStringList { "100", "101", "1", "1.001", "0.05" };
}

void TestTripCommands::workedExamplesAreStored()
{
    QFETCH(QString, verbrauch);
    QFETCH(QString, shown);
    QFETCH(QStringList, typed);
    QFETCH(QStringList, stored);
    WindowFixture f;
    VehicleRow vehicle;
    vehicle.verbrauch = verbrauch;
    QVERIFY(f.open(threeTrips(), vehicle));
    frm_odomira& w = f.w();
    if (!shown.isNull()) {
        w.SSTab1->setCurrentIndex(1);
        f.click(w.cmd_sbearbeiten);
        f.type(w.txt_verbrauch, shown);
        w.SSTab1->setCurrentIndex(0);
    }
    QVERIFY(w.chk_gesch->isChecked()); // the first trip is a business trip
    f.click(w.cmd_neu);
    // A blank entry, its kinds set on the record itself rather than left to the table's defaults.
    QCOMPARE(f.tripButtons(), NewTrip);
    QCOMPARE(w.DataGrid1->model()->rowCount(), 4);
    for (QLineEdit* field : f.tripFields() + QList<QLineEdit*> { w.txt_summe, w.txt_kosten })
        QVERIFY2(field->text().isEmpty(), qPrintable(field->objectName()));
    for (QCheckBox* box : { w.chk_gesch, w.chk_priv, w.chk_weg })
        QVERIFY(!box->isChecked() && box->isEnabled());
    QCOMPARE(w.buch->field(QStringLiteral("geschaeftl")), QStringLiteral("0"));
    QVERIFY(w.txt_datum->hasFocus() && w.MonthView1->isHidden());

    typeTrip(f, QStringList { "5.3.2007" } + typed);
    f.click(w.chk_priv);
    QVERIFY(w.MonthView1->isVisible());
    w.SSTab1->setCurrentIndex(2);
    w.cmb_speichern->click();

    QVERIFY(f.messages.isEmpty());
    QCOMPARE(f.logbook().query(QStringLiteral("select datum, von, bis, ziel, bemerkung, anfangsstand, "
                                              "endstand, gesamt, preisliter, kosten, geschaeftl, privat, "
                                              "zurarbeit from fahrt where id > 3")),
        QList<QStringList>({ QStringList({ "05.03.2007", "Hamburg", "Lübeck", "Messe", "Vortrag" }) + stored
            + QStringList({ "0", "-1", "0" }) }));
    QCOMPARE(f.logbook().scalar(QStringLiteral("select verbrauch from verbrauch")), verbrauch);
    QCOMPARE(w.cmd_sspeichern->isEnabled(), !shown.isNull());

    // The entry closes on the first trip of the re-read lists; a calendar in view stays, disabled.
    QCOMPARE(w.SSTab1->currentIndex(), 0);
    QCOMPARE(f.tripButtons(), Browsing);
    for (QLineEdit* field : f.tripFields())
        QVERIFY(field->isReadOnly());
    QVERIFY(w.MonthView1->isVisible() && !w.MonthView1->isEnabled());
    QCOMPARE(w.txt_ziel->text(), QStringLiteral("Bremen"));
    QCOMPARE(f.gridColumn(w.DataGrid1),
        QStringList({ "02.01.2006", "31.12.2006", "01.01.2007", "05.03.2007" }));
    QCOMPARE(f.gridColumn(w.DataGrid2), f.gridColumn(w.DataGrid1));
    f.clickGridRow(w.DataGrid1, 1); // the grid chooses trips again
    QCOMPARE(w.txt_ziel->text(), QStringLiteral("Kiel"));
}

void TestTripCommands::cancelChangesNothing()
{
    WindowFixture f;
    QVERIFY(f.open(threeTrips()));
    frm_odomira& w = f.w();
    const QList<QStringList> before = f.logbook().query(AllTrips);
    // BEARBEITEN, changes, ABBRECHEN: the trip shows as stored.
    f.click(w.cmd_bearbeiten);
    f.type(w.txt_ziel, QStringLiteral("Anderswo"));
    f.click(w.chk_priv);
    f.click(w.cmd_abbrechen);
    QCOMPARE(w.txt_ziel->text(), QStringLiteral("Bremen"));
    QVERIFY(!w.chk_priv->isChecked());

    // NEU, a whole trip typed, ABBRECHEN: no row, back on the first trip, calendar gone.
    f.clickGridRow(w.DataGrid1, 1);
    f.click(w.cmd_neu);
    typeTrip(f, { "05.03.2007", "1", "2", "1" });
    f.click(w.cmd_abbrechen);
    QCOMPARE(f.logbook().query(AllTrips), before);
    QCOMPARE(f.tripButtons(), Browsing);
    QVERIFY(w.MonthView1->isHidden());
    QCOMPARE(w.DataGrid1->model()->rowCount(), 3);
    QCOMPARE(w.txt_ziel->text(), QStringLiteral("Bremen"));

    // A later save of the same trip writes nothing cancelled.
    f.click(w.cmd_bearbeiten);
    f.click(w.cmb_speichern);
    QCOMPARE(f.logbook().query(AllTrips), before);
}

void TestTripCommands::editThenDeleteOrVanished()
{
    WindowFixture f;
    QVERIFY(f.open(threeTrips()));
    frm_odomira& w = f.w();
    // LÖSCHEN on an open trip deletes it at once and closes the entry on the first trip.
    f.clickGridRow(w.DataGrid1, 1);
    f.click(w.cmd_bearbeiten);
    f.type(w.txt_ziel, QStringLiteral("getippt"));
    f.click(w.txt_datum);
    f.click(w.cmd_löschen);
    QVERIFY(f.messages.isEmpty());
    QCOMPARE(f.logbook().query(QStringLiteral("select ziel from fahrt order by id")),
        QList<QStringList>({ { "Bremen" }, { "Stade" } }));
    QCOMPARE(f.tripButtons(), Browsing);
    QVERIFY(w.MonthView1->isHidden());
    QCOMPARE(w.txt_ziel->text(), QStringLiteral("Bremen"));
    QCOMPARE(w.DataGrid2->model()->rowCount(), 2);

    // A trip gone from the file meanwhile: the store refuses, the entry stays open as typed.
    f.click(w.cmd_bearbeiten);
    f.type(w.txt_ziel, QStringLiteral("Geändert"));
    QVERIFY(f.logbook().exec(QStringLiteral("delete from fahrt where id = 2")));
    f.click(w.cmb_speichern);
    QCOMPARE(f.messages.size(), 1);
    QVERIFY2(f.messages[0].text.contains(u"nicht mehr vorhanden"), qPrintable(f.messages[0].text));
    QCOMPARE(f.tripButtons(), Editing);
    QVERIFY(w.txt_ziel->text() == QStringLiteral("Geändert") && !w.txt_ziel->isReadOnly());
    QCOMPARE(f.logbook().scalar(QStringLiteral("select count(*) from fahrt")), QStringLiteral("1"));
}

void TestTripCommands::emptyListEditDeleteAndSave()
{
    WindowFixture f;
    QVERIFY(f.open());
    frm_odomira& w = f.w();
    // Delete on an empty list deletes nothing and still closes the entry.
    f.click(w.cmd_bearbeiten);
    f.click(w.txt_datum);
    f.click(w.cmd_löschen);
    QVERIFY(f.messages.isEmpty());
    QCOMPARE(f.tripButtons(), Browsing);
    QVERIFY(w.txt_datum->isReadOnly() && w.MonthView1->isHidden());

    // Saving with no trip open says so and keeps the entry as it is.
    f.click(w.cmd_bearbeiten);
    f.type(w.txt_datum, QStringLiteral("05.03.2007"));
    f.click(w.cmb_speichern);
    QCOMPARE(f.messages.size(), 1);
    QVERIFY(f.messages[0].text.contains(QStringLiteral("keine Fahrt geöffnet")));
    QCOMPARE(f.tripButtons(), Editing);
    QCOMPARE(f.logbook().scalar(QStringLiteral("select count(*) from fahrt")), QStringLiteral("0"));
    f.click(w.cmd_abbrechen);
    QCOMPARE(f.tripButtons(), Browsing);
    QCOMPARE(w.txt_datum->text(), QString());
}

void TestTripCommands::datePicker()
{
    WindowFixture f;
    QVERIFY(f.open(threeTrips()));
    frm_odomira& w = f.w();
    // The closed field takes no typing and offers no calendar.
    f.click(w.txt_datum);
    QTest::keyClick(w.txt_datum, Qt::Key_1);
    QVERIFY(w.MonthView1->isHidden());
    QCOMPARE(w.txt_datum->text(), QStringLiteral("02.01.2006"));

    f.click(w.cmd_neu);
    QVERIFY(w.MonthView1->isHidden());
    QTest::keyClick(w.txt_datum, Qt::Key_0);
    QVERIFY(w.MonthView1->isVisible());
    QCOMPARE(w.buch->field(QStringLiteral("datum")), QStringLiteral("0"));
    // Shown on top of the date field it covers.
    QVERIFY(w.MonthView1->isAncestorOf(w.Frame1->childAt(w.txt_datum->geometry().center())));

    // Click the day 1 of March 2007 in the calendar's own grid.
    w.MonthView1->setSelectedDate(QDate(2007, 3, 1));
    auto* days = w.MonthView1->findChild<QTableView*>(QStringLiteral("qt_calendar_calendarview"));
    QVERIFY(days);
    const QAbstractItemModel* model = days->model();
    QModelIndex first; // below the day names
    for (int cell = model->columnCount(); cell < model->columnCount() * model->rowCount(); ++cell) {
        first = model->index(cell / model->columnCount(), cell % model->columnCount());
        if (first.data().toString() == u"1")
            break;
    }
    QTest::mouseClick(days->viewport(), Qt::LeftButton, {}, days->visualRect(first).center());
    QCOMPARE(w.txt_datum->text(), QStringLiteral("01.03.2007"));
    QCOMPARE(w.buch->field(QStringLiteral("datum")), QStringLiteral("01.03.2007"));
    QVERIFY(w.MonthView1->isHidden());
    f.click(w.txt_datum); // a click into the open field shows it again
    QVERIFY(w.MonthView1->isVisible());
}

void TestTripCommands::refusedSaveKeepsEntryOpen_data()
{
    QTest::addColumn<bool>("editing");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("label"); // part of the message

    QTest::newRow("new, no calendar date") << false << "txt_datum" << "31.02.2007" << "„Datum“";
    QTest::newRow("edit, no date") << true << "txt_datum" << "" << "Bitte ein Datum eingeben";
    QTest::newRow("new, start") << false << "txt_start" << "abc" << "„Start km“";
    QTest::newRow("edit, end") << true << "txt_ende" << "12a" << "„Ende km“";
    QTest::newRow("new, price") << false << "txt_preis" << "1,2,3" << "„€/Liter“";
    QTest::newRow("edit, start without price") << true << "txt_start" << "x" << "„Start km“";
    QTest::newRow("new, consumption") << false << "txt_verbrauch" << "sieben" << "„Verbrauch 100km“";
    QTest::newRow("edit, no consumption") << true << "txt_verbrauch" << "" << "„Verbrauch 100km“";
}

void TestTripCommands::refusedSaveKeepsEntryOpen()
{
    QFETCH(bool, editing);
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, label);
    WindowFixture f;
    QVERIFY(f.open(threeTrips()));
    frm_odomira& w = f.w();
    const QList<QStringList> before = f.logbook().query(AllTrips);
    auto* edit = w.findChild<QLineEdit*>(field);
    QVERIFY(edit);
    if (edit == w.txt_verbrauch) {
        w.SSTab1->setCurrentIndex(1);
        f.click(w.cmd_sbearbeiten);
        f.type(edit, text);
        w.SSTab1->setCurrentIndex(0);
    }
    if (editing) {
        f.click(w.cmd_bearbeiten);
        f.type(w.txt_ziel, QStringLiteral("Geändert"));
    } else {
        f.click(w.cmd_neu);
        typeTrip(f, { "05.03.2007", "100", "150", "1,5" });
    }
    if (text == u"x")
        f.type(w.txt_preis, QString());
    if (edit != w.txt_verbrauch)
        f.type(edit, text);
    QStringList typed;
    for (QLineEdit* entry : f.tripFields())
        typed << entry->text();

    f.click(w.cmb_speichern);
    QCOMPARE(f.messages.size(), 1);
    QVERIFY2(f.messages[0].text.contains(label), qPrintable(f.messages[0].text));
    QCOMPARE(f.messages[0].icon, QMessageBox::Critical);
    QCOMPARE(f.logbook().query(AllTrips), before);
    QCOMPARE(f.tripButtons(), editing ? Editing : NewTrip);
    QCOMPARE(w.buch->isAdding(), !editing);
    for (int i = 0; i < typed.size(); ++i)
        QVERIFY(f.tripFields()[i]->text() == typed[i] && !f.tripFields()[i]->isReadOnly());

    // Corrected, the same entry saves.
    w.SSTab1->setCurrentIndex(edit == w.txt_verbrauch ? 1 : 0);
    f.type(edit, edit == w.txt_datum ? QStringLiteral("05.03.2007") : QStringLiteral("7,9"));
    f.click(w.cmb_speichern);
    QCOMPARE(f.messages.size(), 1);
    QCOMPARE(f.tripButtons(), Browsing);
    QCOMPARE(f.logbook().query(AllTrips).size(), editing ? 3 : 4);
}

void TestTripCommands::gridKeepsOpenTrip_data()
{
    QTest::addColumn<bool>("editing");
    QTest::newRow("new") << false;
    QTest::newRow("edit") << true;
}

void TestTripCommands::gridKeepsOpenTrip()
{
    QFETCH(bool, editing);
    WindowFixture f;
    QVERIFY(f.open(threeTrips()));
    frm_odomira& w = f.w();
    const QList<QStringList> before = f.logbook().query(AllTrips);
    f.click(editing ? w.cmd_bearbeiten : w.cmd_neu);
    if (!editing)
        typeTrip(f, { "05.03.2007", "1", "2", "1" });
    f.type(w.txt_ziel, QStringLiteral("Offen"));
    const int row = w.buch->currentRow();

    f.clickGridRow(w.DataGrid1, 2);
    QTest::mouseDClick(w.DataGrid1->viewport(), Qt::LeftButton, {},
        w.DataGrid1->visualRect(w.DataGrid1->model()->index(1, 0)).center());
    QTest::keyClick(w.DataGrid1, Qt::Key_Up);
    QCOMPARE(w.buch->currentRow(), row);
    QCOMPARE(w.DataGrid1->currentIndex().row(), row);
    QCOMPARE(w.buch->field(QStringLiteral("ziel")), QStringLiteral("Offen"));

    // Saved, only the open trip (Bremen, id 2, or the new one) holds the typed text.
    f.click(w.cmb_speichern);
    QVERIFY(f.messages.isEmpty());
    QList<QStringList> after = f.logbook().query(AllTrips);
    QCOMPARE(after.size(), editing ? 3 : 4);
    QCOMPARE(after[editing ? 1 : 3][4], QStringLiteral("Offen"));
    after[1][4] = before[1][4];
    QCOMPARE(after.mid(0, 3), before);
    f.clickGridRow(w.DataGrid1, 2); // the grid works again, keys included
    QCOMPARE(w.buch->currentRow(), 2);
    QVERIFY(w.DataGrid1->focusPolicy() != Qt::NoFocus);
}

QTEST_MAIN(TestTripCommands)
#include "test_trip_commands.moc"
