// The window through its real controls: start-up, entry states, focus order, period selection,
// the trip grid and the start-up failures, on a temporary logbook.
#include "window/window_access.h"
#include "window/window_fixture.h"

#include "store/data_source.h"

#include <QAccessible>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>
#include <QTabWidget>

using namespace odomira::test;
using odomira::frm_odomira;

namespace {

TripRow trip(const char* datum, const char* ziel, const char* start, const char* ende, const char* gesamt,
    const char* geschaeftl = "0")
{
    TripRow row { QString::fromLatin1(datum), "Hamburg", "Hamburg", QString::fromUtf8(ziel), "Kundentermin",
        QString::fromLatin1(start), QString::fromLatin1(ende), QString::fromLatin1(gesamt), "1.189",
        "4.9783" };
    row.geschaeftl = QString::fromLatin1(geschaeftl);
    return row;
}

// Neither the text of the dates nor the insertion follows calendar order (year, month, day).
QList<TripRow> mixedTrips()
{
    return { trip("15.03.2007", "Lübeck", "1000", "1100", "100"),
        trip("05.03.2006", "Bremen", "200", "330", "130"),
        trip("31.12.2006", "Kiel", "500", "600", "100", "-1"),
        trip("01.01.2007", "Stade", "600", "650", "50"),
        trip("02.01.2006", "Ärztehaus Altona", "100", "120", "20", "-1") };
}

// Every file of a folder with its time and content, to show nothing was created or changed.
QStringList folderState(const QString& path)
{
    QStringList state;
    for (const QFileInfo& info : QDir(path).entryInfoList(QDir::Files | QDir::Hidden, QDir::Name)) {
        QFile file(info.filePath());
        state << info.fileName() + ' ' + QString::number(info.lastModified().toMSecsSinceEpoch()) + ' '
                + (file.open(QIODevice::ReadOnly) ? file.readAll().toHex() : "?");
    }
    return state;
}

} // namespace

class TestFrmOdomira : public QObject {
    Q_OBJECT

private slots:
    void startUpStateAndGridSelection();
    void startUpFailure_data();
    void startUpFailure();
    void entryRoutines();
    void periodSelection_data();
    void periodSelection();
    void tabOrderFollowsLayout_data();
    void tabOrderFollowsLayout();
    void costPerDayReadByScreenReader();
};

void TestFrmOdomira::startUpStateAndGridSelection()
{
    WindowFixture f;
    QVERIFY(f.open(mixedTrips()));

    QCOMPARE(f.control<QTabWidget>("SSTab1")->currentIndex(), 0);
    for (QLineEdit* field : f.tripFields()
            + QList<QLineEdit*> { f.control<QLineEdit>("txt_kennzeichen"),
                f.control<QLineEdit>("txt_verbrauch"), f.control<QLineEdit>("txt_steuer"),
                f.control<QLineEdit>("txt_versicherung"), f.control<QLineEdit>("txt_sauto"),
                f.control<QLineEdit>("txt_summekm"), f.control<QLineEdit>("Text1") })
        QVERIFY2(field->isReadOnly() && field->isEnabled(), qPrintable(field->objectName()));
    for (QWidget* closed : std::initializer_list<QWidget*> { f.control<QLineEdit>("txt_summe"),
             f.control<QLineEdit>("txt_kosten"), f.control<QCalendarWidget>("MonthView1"),
             f.control<QCheckBox>("chk_gesch"), f.control<QCheckBox>("chk_priv"),
             f.control<QCheckBox>("chk_weg"), f.control<QPushButton>("cmd_sabbrechen"),
             f.control<QPushButton>("cmd_sspeichern") })
        QVERIFY2(!closed->isEnabled(), qPrintable(closed->objectName()));
    QCOMPARE(f.tripButtons(), QStringLiteral("11000"));
    QCOMPARE(f.control<QLabel>("lbl_tag")->text(), QStringLiteral("3,9766 €"));

    // The month box takes only its twelve months and prompts until one is picked; the year
    // box lists 2006 to this year and keeps its own text over the list.
    auto* monat = f.control<QComboBox>("cmb_monat");
    auto* jahr = f.control<QComboBox>("cmb_jahr");
    QVERIFY(!monat->isEditable() && jahr->isEditable());
    QCOMPARE(monat->currentIndex(), -1);
    QCOMPARE(monat->placeholderText(), QStringLiteral(".. Monat Wählen"));
    QCOMPARE(monat->count(), 12);
    QCOMPARE(jahr->currentText(), QStringLiteral("... Jahr wählen"));
    QCOMPARE(jahr->count(), QDate::currentDate().year() - 2005);
    QCOMPARE(jahr->itemText(0) + ".." + jahr->itemText(jahr->count() - 1),
        "2006.." + QString::number(QDate::currentDate().year()));

    // The trips in calendar order across years, the first in the fields.
    QCOMPARE(f.gridColumn(f.control<QTableView>("DataGrid1")),
        QStringList({ "02.01.2006", "05.03.2006", "31.12.2006", "01.01.2007", "15.03.2007" }));
    QCOMPARE(f.control<QTableView>("DataGrid1")->currentIndex().row(), 0);
    const QStringList shown
        = { f.control<QLineEdit>("txt_datum")->text(), f.control<QLineEdit>("txt_ziel")->text(),
              f.control<QLineEdit>("txt_summe")->text(), f.control<QLineEdit>("txt_kosten")->text() };
    QCOMPARE(shown, QStringList({ "02.01.2006", "Ärztehaus Altona", "20", "4,9783" }));
    QVERIFY(f.control<QCheckBox>("chk_gesch")->isChecked() && !f.control<QCheckBox>("chk_priv")->isChecked());

    // A row chosen in the grid shows its trip.
    f.clickGridRow(f.control<QTableView>("DataGrid1"), 2);
    QCOMPARE(WindowAccess::buch(f.w())->currentRow(), 2);
    QCOMPARE(f.control<QLineEdit>("txt_datum")->text() + " " + f.control<QLineEdit>("txt_ziel")->text(),
        QStringLiteral("31.12.2006 Kiel"));
    QVERIFY(f.control<QCheckBox>("chk_gesch")->isChecked());

    // The grid follows the record when it moves by other means, past the end to no row.
    WindowAccess::buch(f.w())->moveNext();
    QCOMPARE(f.control<QTableView>("DataGrid1")->currentIndex().row(), 3);
    WindowAccess::buch(f.w())->moveNext();
    WindowAccess::buch(f.w())->moveNext();
    QVERIFY(!f.control<QTableView>("DataGrid1")->selectionModel()->hasSelection());
    QCOMPARE(f.control<QLineEdit>("txt_datum")->text(), QString());
}

void TestFrmOdomira::startUpFailure_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("expected"); // part of the message

    QTest::newRow("missing file") << "missing"
                                  << "";
    QTest::newRow("empty verbrauch") << "novehicle"
                                     << "keinen Datensatz";
    QTest::newRow("tax abc") << "abc"
                             << "„abc“";
}

void TestFrmOdomira::startUpFailure()
{
    QFETCH(QString, setup);
    QFETCH(QString, expected);
    WindowFixture f;
    VehicleRow vehicle;
    vehicle.steuer = QStringLiteral("abc");
    if (setup == u"novehicle")
        QVERIFY(f.logbook().create(nullptr, mixedTrips()));
    else if (setup == u"abc")
        QVERIFY(f.logbook().createWithVehicle(vehicle, mixedTrips()));
    const QStringList before = folderState(f.logbook().dirPath());
    QTest::qWait(20); // a write would now show in the modification time

    QString error;
    QVERIFY(!f.start(&error));
    QVERIFY2(!error.isEmpty() && error.contains(expected), qPrintable(error));
    QCOMPARE(folderState(f.logbook().dirPath()), before);
    QVERIFY(f.messages.isEmpty()); // the program shows it, once, as it ends
}

void TestFrmOdomira::entryRoutines()
{
    WindowFixture f;
    QVERIFY(f.open(mixedTrips()));
    frm_odomira& w = f.w();
    // Each button routine, started from the opposite state so every button must change.
    const std::pair<void (*)(frm_odomira&), QString> routines[] = { { &WindowAccess::modus_neu, "00110" },
        { &WindowAccess::modus_speichern, "11000" }, { &WindowAccess::modus_abbrechen, "11000" },
        { &WindowAccess::modus_loeschen, "11000" }, { &WindowAccess::modus_bearbeiten, "00111" } };
    const QList<QPushButton*> buttons = { f.control<QPushButton>("cmd_neu"),
        f.control<QPushButton>("cmd_bearbeiten"), f.control<QPushButton>("cmb_speichern"),
        f.control<QPushButton>("cmd_abbrechen"), f.control<QPushButton>("cmd_löschen") };
    for (const auto& [routine, expected] : routines) {
        for (int i = 0; i < buttons.size(); ++i)
            buttons[i]->setEnabled(expected[i] == u'0');
        routine(w);
        QCOMPARE(f.tripButtons(), expected);
    }

    // Opening hides a calendar left in view and opens fields, calendar and check boxes,
    // never the computed fields; closing disables the calendar and takes it out of view.
    const QList<QWidget*> kinds = { f.control<QCheckBox>("chk_gesch"), f.control<QCheckBox>("chk_priv"),
        f.control<QCheckBox>("chk_weg"), f.control<QCalendarWidget>("MonthView1") };
    for (const bool open : { true, false }) {
        f.control<QCalendarWidget>("MonthView1")->setVisible(true);
        (open ? WindowAccess::felder_freigeben : WindowAccess::felder_sperren)(w);
        for (QLineEdit* field : f.tripFields())
            QVERIFY2(field->isReadOnly() != open, qPrintable(field->objectName()));
        for (QWidget* control : kinds)
            QVERIFY2(control->isEnabled() == open, qPrintable(control->objectName()));
        QVERIFY(f.control("MonthView1")->isHidden());
        QVERIFY(!f.control<QLineEdit>("txt_summe")->isEnabled()
            && !f.control<QLineEdit>("txt_kosten")->isEnabled());
    }

    // The focus order of the open trip entry.
    WindowAccess::modus_neu(w);
    WindowAccess::felder_freigeben(w);
    f.control<QLineEdit>("txt_datum")->setFocus();
    QVERIFY(QTest::qWaitFor([&] { return f.control<QLineEdit>("txt_datum")->hasFocus(); }));
    QStringList order;
    for (int i = 0; i < 11; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        order << (QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString());
    }
    QCOMPARE(order,
        QStringList({ "txt_von", "txt_bis", "txt_ziel", "txt_bemerkung", "txt_preis", "txt_start", "txt_ende",
            "chk_gesch", "chk_priv", "chk_weg", "cmb_speichern" }));
}

void TestFrmOdomira::periodSelection_data()
{
    QTest::addColumn<QString>("firstMonth"); // keys typed into the month box first; empty: none
    QTest::addColumn<QString>("typedMonth"); // then typed into it; empty: nothing
    QTest::addColumn<QString>("year"); // typed into the year box; null: left as it is
    QTest::addColumn<QString>("shown"); // the month box afterwards
    QTest::addColumn<QString>("monatTeil");
    QTest::addColumn<QString>("jahrTeil");

    QTest::newRow("März 2006") << "mä"
                               << ""
                               << "2006"
                               << "März"
                               << ".03."
                               << "2006";
    QTest::newRow("initial texts") << ""
                                   << "" << QString() << ""
                                   << ""
                                   << "... Jahr wählen";
    // Typing picks the month whose name begins so; the box never holds a text of its own.
    QTest::newRow("lower-case month picks May") << "mä"
                                                << "mai"
                                                << "2006"
                                                << "Mai"
                                                << ".05."
                                                << "2006";
    QTest::newRow("no month begins so: unchanged") << "mä"
                                                   << "x"
                                                   << "2006"
                                                   << "März"
                                                   << ".03."
                                                   << "2006";
    QTest::newRow("year not in the list") << "j"
                                          << ""
                                          << " 2008"
                                          << "Januar"
                                          << ".01."
                                          << " 2008";
}

void TestFrmOdomira::periodSelection()
{
    QFETCH(QString, firstMonth);
    QFETCH(QString, typedMonth);
    QFETCH(QString, year);
    QFETCH(QString, shown);
    QFETCH(QString, monatTeil);
    QFETCH(QString, jahrTeil);
    WindowFixture f;
    QVERIFY(f.open(mixedTrips()));
    frm_odomira& w = f.w();
    f.control<QTabWidget>("SSTab1")->setCurrentIndex(1);
    auto* monat = f.control<QComboBox>("cmb_monat");

    // Keys typed within a moment search the list as one word; a pause starts a new search.
    const auto typeInto = [](QComboBox* box, const QString& keys) {
        box->setFocus();
        for (const QChar c : keys)
            QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(c), Qt::NoModifier);
        QTest::qWait(QApplication::keyboardInputInterval() + 50);
    };
    if (!firstMonth.isEmpty()) {
        typeInto(monat, firstMonth);
        WindowAccess::zeitraum_bilden(w);
    }
    if (!typedMonth.isEmpty())
        typeInto(monat, typedMonth);
    QCOMPARE(monat->currentText(), shown);
    if (!year.isNull())
        f.type(f.control<QComboBox>("cmb_jahr")->lineEdit(), year);
    WindowAccess::zeitraum_bilden(w);
    QCOMPARE(WindowAccess::monat_teil(f.w()), monatTeil);
    QCOMPARE(WindowAccess::jahr_teil(f.w()), jahrTeil);
}

void TestFrmOdomira::tabOrderFollowsLayout_data()
{
    QTest::addColumn<int>("tab");
    QTest::addColumn<QString>("opened"); // button pressed first, "" for none
    QTest::addColumn<QString>("order"); // from the first control on, Tab after Tab

    // Left to right, top to bottom; a column of labelled fields top to bottom before the column
    // to its right. Disabled controls are passed over; the option buttons are one stop, the
    // arrow keys choose among them.
    QTest::newRow("Übersicht")
        << 0 << ""
        << "cmd_about DataGrid1 txt_suche cmd_suche cmd_alle txt_datum txt_von txt_bis "
           "txt_ziel txt_bemerkung txt_preis txt_start txt_ende cmd_neu cmd_bearbeiten";
    QTest::newRow("Übersicht, trip open")
        << 0 << "cmd_bearbeiten"
        << "cmd_about txt_suche cmd_suche cmd_alle txt_datum txt_von txt_bis "
           "txt_ziel txt_bemerkung txt_preis txt_start txt_ende chk_gesch "
           "chk_priv chk_weg cmb_speichern cmd_abbrechen cmd_löschen";
    QTest::newRow("Auswertung")
        << 1 << "cmd_sbearbeiten"
        << "txt_kennzeichen txt_verbrauch txt_steuer txt_versicherung cmd_sabbrechen "
           "cmd_sspeichern cmb_monat cmb_jahr cmd_drucken cmd_ausohne aus_gesch cmd_kridruck "
           "cmd_auswerten";
    QTest::newRow("Ergebnis") << 2 << ""
                              << "DataGrid2 txt_sauto txt_summekm Text1";
}

void TestFrmOdomira::tabOrderFollowsLayout()
{
    QFETCH(int, tab);
    QFETCH(QString, opened);
    QFETCH(QString, order);
    WindowFixture f;
    QVERIFY(f.open(mixedTrips()));
    f.control<QTabWidget>("SSTab1")->setCurrentIndex(tab);
    if (!opened.isEmpty())
        f.click(f.control(opened));
    const QStringList expected = order.split(u' ');
    QWidget* first = f.control(expected.first());
    first->setFocus(Qt::TabFocusReason);
    QVERIFY(QTest::qWaitFor([&] { return first->hasFocus(); }));
    QStringList seen { expected.first() };
    for (qsizetype i = 1; i < expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        seen << (QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString());
    }
    QCOMPARE(seen, expected);
    // And back again with Shift+Tab.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget()->objectName(), expected.value(expected.size() - 2));
}

// The cost per day is read out as its value; its frame names it.
void TestFrmOdomira::costPerDayReadByScreenReader()
{
    WindowFixture f;
    QVERIFY(f.open(mixedTrips()));
    auto* label = f.control<QLabel>("lbl_tag");
    QAccessibleInterface* cost = QAccessible::queryAccessibleInterface(label);
    QVERIFY(cost);
    QCOMPARE(cost->text(QAccessible::Name), QStringLiteral("3,9766 €"));
    QCOMPARE(QAccessible::queryAccessibleInterface(f.control("Frame10"))->text(QAccessible::Name),
        QStringLiteral("Kosten pro Tag"));

    // A new value is what is read next.
    f.control<QTabWidget>("SSTab1")->setCurrentIndex(1);
    f.click(f.control("cmd_sbearbeiten"));
    f.type(f.control<QLineEdit>("txt_steuer"), QStringLiteral("365"));
    f.type(f.control<QLineEdit>("txt_versicherung"), QStringLiteral("0"));
    f.click(f.control("cmd_sspeichern"));
    QCOMPARE(cost->text(QAccessible::Name), QStringLiteral("1 €"));
}

QTEST_MAIN(TestFrmOdomira)
#include "test_frm_odomira.moc"
