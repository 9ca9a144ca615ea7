// The trip entry kept without the mouse, and where the user left off: shortcuts, Enter on
// buttons and in the search box, the date picker by keyboard and where its calendar stands,
// the trip current after SPEICHERN and LÖSCHEN, and the figures a save leaves behind.
#include "window/window_fixture.h"

#include "common/date_text.h"

#include <QCalendarWidget>
#include <QTabWidget>

using namespace odomira::test;

namespace {

const QString Browsing = QStringLiteral("11000");
const QString NewTrip = QStringLiteral("00110");
const QString Editing = QStringLiteral("00111");

TripRow trip(const QString& datum, const QString& ziel)
{
    return { .datum = datum,
        .von = "Hamburg",
        .bis = "Hamburg",
        .ziel = ziel,
        .bemerkung = "Termin",
        .anfangsstand = "60",
        .endstand = "50",
        .gesamt = "-10",
        .preisliter = "1.2",
        .kosten = "-0.96" };
}

// In date order A to E, written out of it.
QList<TripRow> fiveTrips()
{
    return { trip("03.03.2006", "C"), trip("01.03.2006", "A"), trip("05.03.2006", "E"),
        trip("02.03.2006", "B"), trip("04.03.2006", "D") };
}

// More trips than the grid shows at once: one a day from 01.01.2006, named T0 to T39.
QList<TripRow> manyTrips()
{
    QList<TripRow> trips;
    for (int day = 0; day < 40; ++day)
        trips << trip(odomira::dateText(QDate(2006, 1, 1).addDays(day)), QStringLiteral("T%1").arg(day));
    return trips;
}

// A key as the user presses it, to whatever has the focus.
void press(WindowFixture& f, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : &f.w();
    QTest::keyClick(target, key, modifiers);
}

QString focused()
{
    return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
}

bool calendarHasFocus(QCalendarWidget* calendar)
{
    QWidget* focus = QApplication::focusWidget();
    return focus && (focus == calendar || calendar->isAncestorOf(focus));
}

// The trip grid's selected row shows the current trip, wholly in view.
bool rowInView(QTableView* grid, int row)
{
    return grid->currentIndex().row() == row && grid->selectionModel()->isRowSelected(row)
        && grid->viewport()->rect().contains(grid->visualRect(grid->model()->index(row, 3)));
}

} // namespace

class TestTripKeyboard : public QObject {
    Q_OBJECT

private slots:
    void shortcutsRunTheTripCommands();
    void enterPressesButtonsAndSearches();
    void savedTripStaysCurrent_data();
    void savedTripStaysCurrent();
    void deleteMakesNeighbourCurrent_data();
    void deleteMakesNeighbourCurrent();
    void figuresNeverContradictReadings_data();
    void figuresNeverContradictReadings();
    void datePickerByKeyboard();
    void calendarOpensOnFieldDate_data();
    void calendarOpensOnFieldDate();
    void calendarStaysClearAndCloses();
};

// Each trip command by its keys.
void TestTripKeyboard::shortcutsRunTheTripCommands()
{
    WindowFixture f;
    QVERIFY(f.open(fiveTrips()));
    press(f, Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(f.tripButtons(), NewTrip);
    QCOMPARE(focused(), QStringLiteral("txt_datum"));
    press(f, Qt::Key_Escape);
    QCOMPARE(f.tripButtons(), Browsing);
    QCOMPARE(f.logbook().scalar("select count(*) from fahrt"), QStringLiteral("5"));

    f.clickGridRow(f.control<QTableView>("DataGrid1"), 1);
    press(f, Qt::Key_B, Qt::ControlModifier);
    QCOMPARE(f.tripButtons(), Editing);
    f.type(f.control<QLineEdit>("txt_ziel"), QStringLiteral("Bx"));
    press(f, Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(f.tripButtons(), Browsing);
    QCOMPARE(f.logbook().scalar("select ziel from fahrt where datum = '02.03.2006'"), QStringLiteral("Bx"));

    press(f, Qt::Key_L, Qt::ControlModifier); // not while browsing
    QCOMPARE(f.logbook().scalar("select count(*) from fahrt"), QStringLiteral("5"));
    press(f, Qt::Key_B, Qt::ControlModifier);
    press(f, Qt::Key_L, Qt::ControlModifier);
    QCOMPARE(f.tripButtons(), Browsing);
    QCOMPARE(
        f.logbook().scalar("select count(*) from fahrt where datum = '02.03.2006'"), QStringLiteral("0"));

    // The search box from another tab.
    f.control<QTabWidget>("SSTab1")->setCurrentIndex(1);
    press(f, Qt::Key_F, Qt::ControlModifier);
    QCOMPARE(f.control<QTabWidget>("SSTab1")->currentIndex(), 0);
    QCOMPARE(focused(), QStringLiteral("txt_suche"));
    QVERIFY(f.messages.isEmpty());
}

void TestTripKeyboard::enterPressesButtonsAndSearches()
{
    WindowFixture f;
    QVERIFY(f.open(fiveTrips()));
    f.control<QPushButton>("cmd_neu")->setFocus();
    press(f, Qt::Key_Return);
    QCOMPARE(f.tripButtons(), NewTrip);
    f.control<QPushButton>("cmd_abbrechen")->setFocus();
    press(f, Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(f.tripButtons(), Browsing);

    f.type(f.control<QLineEdit>("txt_suche"), QStringLiteral("04.03"));
    press(f, Qt::Key_Return);
    QCOMPARE(f.gridColumn(f.control<QTableView>("DataGrid1"), 3), QStringList { "D" });
    QVERIFY(f.messages.isEmpty());
}

void TestTripKeyboard::savedTripStaysCurrent_data()
{
    QTest::addColumn<bool>("added");
    addRow("edited, moved to the end by its date", false);
    addRow("new, dated in the middle", true);
}

// After SPEICHERN the saved trip is current, selected and in view, with its fields shown,
// wherever the date-ordered list puts it.
void TestTripKeyboard::savedTripStaysCurrent()
{
    QFETCH(bool, added);
    WindowFixture f;
    QVERIFY(f.open(manyTrips()));
    auto* grid = f.control<QTableView>("DataGrid1");
    f.clickGridRow(grid, 1);
    press(f, added ? Qt::Key_N : Qt::Key_B, Qt::ControlModifier);
    f.type(f.control<QLineEdit>("txt_datum"),
        added ? QStringLiteral("20.01.2006") : QStringLiteral("31.12.2007"));
    f.type(f.control<QLineEdit>("txt_ziel"), QStringLiteral("Gespeichert"));
    press(f, Qt::Key_S, Qt::ControlModifier);

    QVERIFY(f.messages.isEmpty());
    const int row = added ? 20 : 39; // a new trip of 20.01.2006 follows T19 of the same date
    QCOMPARE(f.gridColumn(grid, 3).value(row), QStringLiteral("Gespeichert"));
    QTRY_VERIFY(rowInView(grid, row));
    QCOMPARE(f.control<QLineEdit>("txt_ziel")->text(), QStringLiteral("Gespeichert"));
    QCOMPARE(f.control<QLineEdit>("txt_datum")->text(),
        added ? QStringLiteral("20.01.2006") : QStringLiteral("31.12.2007"));
}

void TestTripKeyboard::deleteMakesNeighbourCurrent_data()
{
    QTest::addColumn<int>("trips"); // the first n of A to E
    QTest::addColumn<int>("row"); // deleted
    QTest::addColumn<QString>("current"); // ziel of the current trip afterwards, "" for none

    addRow("middle: the following", 5, 2, QString("D"));
    addRow("first: the following", 5, 0, QString("B"));
    addRow("last: the one before", 5, 4, QString("D"));
    addRow("only trip: none", 1, 0, QString());
}

// LÖSCHEN on an open trip deletes it as stored, whatever was typed, closes the calendar and
// makes its neighbour current, in view.

void TestTripKeyboard::deleteMakesNeighbourCurrent()
{
    QFETCH(int, trips);
    QFETCH(int, row);
    QFETCH(QString, current);
    WindowFixture f;
    QList<TripRow> written;
    for (const QString& ziel : QStringList { "A", "B", "C", "D", "E" }.mid(0, trips))
        written << trip(QStringLiteral("0%1.03.2006").arg(written.size() + 1), ziel);
    QVERIFY(f.open(written));
    auto* grid = f.control<QTableView>("DataGrid1");
    f.clickGridRow(grid, row);
    const QString deleted = f.control<QLineEdit>("txt_ziel")->text();
    press(f, Qt::Key_B, Qt::ControlModifier);
    f.type(f.control<QLineEdit>("txt_ziel"), QStringLiteral("getippt"));
    f.click(f.control<QLineEdit>("txt_datum"));
    QVERIFY(f.control("MonthView1")->isVisible());
    press(f, Qt::Key_L, Qt::ControlModifier);

    QVERIFY(f.control("MonthView1")->isHidden() && f.messages.isEmpty());
    QCOMPARE(f.logbook().scalar("select count(*) from fahrt"), QString::number(trips - 1));
    QCOMPARE(
        f.logbook().scalar("select count(*) from fahrt where ziel in ('getippt', '" + deleted + "')"), "0");
    QCOMPARE(f.control<QLineEdit>("txt_ziel")->text(), current);
    if (!current.isEmpty())
        QTRY_VERIFY(rowInView(grid, f.gridColumn(grid, 3).indexOf(current)));
}

void TestTripKeyboard::figuresNeverContradictReadings_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("stored"); // anfangsstand endstand gesamt preisliter kosten

    addRow("price emptied", QString("txt_preis"), QString(""), QString("60 50 <null> <null> <null>"));
    addRow("start emptied", QString("txt_start"), QString(""), QString("<null> 50 <null> 1.2 <null>"));
    addRow("end changed, price emptied", QString("txt_ende txt_preis"), QString("70 "),
        QString("60 70 <null> <null> <null>"));
    addRow("end changed: computed", QString("txt_ende"), QString("70"), QString("60 70 10 1.2 0.948"));
}

// A trip stored with figures (60 to 50, -10 km, -0,96 €) and edited: figures that cannot be
// computed from the new readings are emptied rather than kept.
void TestTripKeyboard::figuresNeverContradictReadings()
{
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, stored);
    WindowFixture f;
    QVERIFY(f.open({ trip("01.03.2006", "A") }));
    press(f, Qt::Key_B, Qt::ControlModifier);
    const QStringList fields = field.split(u' ');
    const QStringList texts = text.split(u' ');
    for (int i = 0; i < fields.size(); ++i)
        f.type(f.control<QLineEdit>(fields[i]), texts[i]);
    press(f, Qt::Key_S, Qt::ControlModifier);

    QVERIFY(f.messages.isEmpty());
    QCOMPARE(f.logbook().query("select anfangsstand, endstand, gesamt, preisliter, kosten from fahrt"),
        QList<QStringList> { stored.split(u' ') });
    const QStringList shown = stored.split(u' ').mid(2, 1) + stored.split(u' ').mid(4, 1);
    QCOMPARE(f.control<QLineEdit>("txt_summe")->text().isEmpty(), shown[0] == "<null>");
    QCOMPARE(f.control<QLineEdit>("txt_kosten")->text().isEmpty(), shown[1] == "<null>");
}

// Down moves into the calendar, arrows move the day, Enter takes it, Escape closes it;
// Escape never reaches ABBRECHEN while the calendar is shown.
void TestTripKeyboard::datePickerByKeyboard()
{
    WindowFixture f;
    QVERIFY(f.open(fiveTrips()));
    auto* calendar = f.control<QCalendarWidget>("MonthView1");
    auto* datum = f.control<QLineEdit>("txt_datum");
    press(f, Qt::Key_N, Qt::ControlModifier);
    press(f, Qt::Key_Down);
    QVERIFY(calendar->isVisible() && calendarHasFocus(calendar));
    const QDate today = QDate::currentDate();
    QCOMPARE(calendar->selectedDate(), today);
    press(f, Qt::Key_Right);
    press(f, Qt::Key_Right);
    press(f, Qt::Key_Down);
    press(f, Qt::Key_Return);
    QCOMPARE(datum->text(), odomira::dateText(today.addDays(9)));
    QVERIFY(calendar->isHidden());
    QCOMPARE(focused(), QStringLiteral("txt_datum"));

    // A typed date is where the arrows start; Escape in the calendar, then in the field, closes
    // it and leaves the date and the open trip as they are.
    f.type(datum, QStringLiteral("5.3.2007"));
    QVERIFY(calendar->isVisible());
    press(f, Qt::Key_Down);
    QCOMPARE(calendar->selectedDate(), QDate(2007, 3, 5));
    press(f, Qt::Key_Up);
    press(f, Qt::Key_Escape);
    QVERIFY(calendar->isHidden());
    QCOMPARE(focused(), QStringLiteral("txt_datum"));
    QTest::keyClick(datum, Qt::Key_Backspace);
    QVERIFY(calendar->isVisible());
    press(f, Qt::Key_Escape);
    QVERIFY(calendar->isHidden());
    QCOMPARE(datum->text(), QStringLiteral("5.3.200"));
    QCOMPARE(f.tripButtons(), NewTrip);

    // Tab leaves the calendar for the next field, Shift+Tab for the date field; it closes.
    press(f, Qt::Key_Down);
    press(f, Qt::Key_Tab);
    QCOMPARE(focused(), QStringLiteral("txt_von"));
    QVERIFY(calendar->isHidden());
    datum->setFocus();
    press(f, Qt::Key_Down);
    press(f, Qt::Key_Backtab);
    QCOMPARE(focused(), QStringLiteral("txt_datum"));
    QVERIFY(calendar->isHidden());
    QCOMPARE(datum->text(), QStringLiteral("5.3.200"));

    // Down in the closed field opens nothing.
    press(f, Qt::Key_Escape);
    QCOMPARE(f.tripButtons(), Browsing);
    datum->setFocus();
    press(f, Qt::Key_Down);
    QVERIFY(calendar->isHidden());
}

void TestTripKeyboard::calendarOpensOnFieldDate_data()
{
    QTest::addColumn<bool>("edit"); // BEARBEITEN on the trip of 31.12.2006, else NEU
    QTest::addColumn<QString>("typed"); // into the date field first; null: nothing
    QTest::addColumn<QDate>("shown"); // null: today

    addRow("trip's date", true, QString(), QDate(2006, 12, 31));
    addRow("new trip: today", false, QString(), QDate());
    addRow("no date: today", true, QString("abc"), QDate());
    addRow("outside the range: its end", true, QString("1.1.2051"), QDate(2050, 12, 31));
}

void TestTripKeyboard::calendarOpensOnFieldDate()
{
    QFETCH(bool, edit);
    QFETCH(QString, typed);
    QFETCH(QDate, shown);
    WindowFixture f;
    QVERIFY(f.open({ trip("31.12.2006", "K") }));
    auto* calendar = f.control<QCalendarWidget>("MonthView1");
    f.click(f.control<QPushButton>(edit ? "cmd_bearbeiten" : "cmd_neu"));
    if (!typed.isNull()) {
        f.type(f.control<QLineEdit>("txt_datum"), typed);
        press(f, Qt::Key_Escape);
    }
    QVERIFY(calendar->isHidden());
    f.click(f.control<QLineEdit>("txt_datum"));
    QVERIFY(calendar->isVisible());
    const QDate expected = shown.isValid() ? shown : QDate::currentDate();
    QCOMPARE(calendar->selectedDate(), expected);
    QCOMPARE(calendar->yearShown() * 100 + calendar->monthShown(), expected.year() * 100 + expected.month());
    QCOMPARE(calendar->minimumDate(), QDate(2006, 1, 1));
    QCOMPARE(calendar->maximumDate(), QDate(2050, 12, 31));
}

// The open calendar lies wholly in the window and covers no field of the trip entry; it
// closes when the focus moves on and whenever the entry closes.
void TestTripKeyboard::calendarStaysClearAndCloses()
{
    WindowFixture f;
    QVERIFY(f.open(fiveTrips()));
    auto* calendar = f.control<QCalendarWidget>("MonthView1");
    press(f, Qt::Key_B, Qt::ControlModifier);
    f.click(f.control<QLineEdit>("txt_datum"));
    QVERIFY(calendar->isVisible());
    const auto inWindow
        = [&f](const QWidget* widget) { return QRect(widget->mapTo(&f.w(), QPoint(0, 0)), widget->size()); };
    QVERIFY(f.w().rect().contains(inWindow(calendar)));
    for (const char* name : { "txt_datum", "txt_von", "txt_bis", "txt_ziel", "txt_bemerkung", "txt_preis",
             "txt_start", "txt_ende", "txt_summe", "txt_kosten", "chk_gesch", "chk_priv", "chk_weg" }) {
        QVERIFY2(!inWindow(calendar).intersects(inWindow(f.control(name))), name);
    }
    // Typing goes on into the date field while the calendar is shown.
    QTest::keyClick(f.control<QLineEdit>("txt_datum"), Qt::Key_End);
    QTest::keyClicks(f.control<QLineEdit>("txt_datum"), "x");
    QVERIFY(f.control<QLineEdit>("txt_datum")->text().endsWith(u'x'));

    press(f, Qt::Key_Tab);
    QCOMPARE(focused(), QStringLiteral("txt_von"));
    QVERIFY(calendar->isHidden());

    f.type(f.control<QLineEdit>("txt_datum"), QStringLiteral("06.03.2006"));
    QVERIFY(calendar->isVisible());
    press(f, Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(f.tripButtons(), Browsing);
    QVERIFY(calendar->isHidden());
}

QTEST_MAIN(TestTripKeyboard)
#include "test_trip_keyboard.moc"
