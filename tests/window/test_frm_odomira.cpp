// The window through its real controls: start-up, entry states, focus order, period selection,
// the trip grid and the start-up failures, on a temporary logbook.
#include "window/window_access.h"
#include "window/window_fixture.h"

#include "store/data_source.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QLabel>
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
};

void TestFrmOdomira::startUpStateAndGridSelection()
{
    WindowFixture f;
    QVERIFY(f.open(mixedTrips()));

    QCOMPARE(f.control<QTabWidget>("SSTab1")->currentIndex(), 0);
    for (QLineEdit* field : f.tripFields() + QList<QLineEdit*> { f.control<QLineEdit>("txt_kennzeichen"), f.control<QLineEdit>("txt_verbrauch"),
             f.control<QLineEdit>("txt_steuer"), f.control<QLineEdit>("txt_versicherung"), f.control<QLineEdit>("txt_sauto"), f.control<QLineEdit>("txt_summekm"), f.control<QLineEdit>("Text1") })
        QVERIFY2(field->isReadOnly() && field->isEnabled(), qPrintable(field->objectName()));
    for (QWidget* closed : std::initializer_list<QWidget*> { f.control<QLineEdit>("txt_summe"), f.control<QLineEdit>("txt_kosten"), f.control<QCalendarWidget>("MonthView1"),
             f.control<QCheckBox>("chk_gesch"), f.control<QCheckBox>("chk_priv"), f.control<QCheckBox>("chk_weg"), f.control<QPushButton>("cmd_sabbrechen"), f.control<QPushButton>("cmd_sspeichern") })
        QVERIFY2(!closed->isEnabled(), qPrintable(closed->objectName()));
    QCOMPARE(f.tripButtons(), QStringLiteral("11000"));
    QCOMPARE(f.control<QLabel>("lbl_tag")->text(), QStringLiteral("3,9766 €"));

    // Month and year boxes keep their own texts over the filled lists.
    QCOMPARE(f.control<QComboBox>("cmb_monat")->currentText(), QStringLiteral(".. Monat Wählen"));
    QCOMPARE(f.control<QComboBox>("cmb_jahr")->currentText(), QStringLiteral("... Jahr wählen"));
    QCOMPARE(f.control<QComboBox>("cmb_monat")->count(), 12);
    QCOMPARE(f.control<QComboBox>("cmb_jahr")->count(), 2);

    // The trips in calendar order across years, the first in the fields.
    QCOMPARE(f.gridColumn(f.control<QTableView>("DataGrid1")),
        QStringList({ "02.01.2006", "05.03.2006", "31.12.2006", "01.01.2007", "15.03.2007" }));
    QCOMPARE(f.control<QTableView>("DataGrid1")->currentIndex().row(), 0);
    const QStringList shown
        = { f.control<QLineEdit>("txt_datum")->text(), f.control<QLineEdit>("txt_ziel")->text(), f.control<QLineEdit>("txt_summe")->text(), f.control<QLineEdit>("txt_kosten")->text() };
    QCOMPARE(shown, QStringList({ "02.01.2006", "Ärztehaus Altona", "20", "4,9783" }));
    QVERIFY(f.control<QCheckBox>("chk_gesch")->isChecked() && !f.control<QCheckBox>("chk_priv")->isChecked());

    // A row chosen in the grid shows its trip.
    f.clickGridRow(f.control<QTableView>("DataGrid1"), 2);
    QCOMPARE(WindowAccess::buch(f.w())->currentRow(), 2);
    QCOMPARE(f.control<QLineEdit>("txt_datum")->text() + " " + f.control<QLineEdit>("txt_ziel")->text(), QStringLiteral("31.12.2006 Kiel"));
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

    QTest::newRow("missing file") << "missing" << "";
    QTest::newRow("empty verbrauch") << "novehicle" << "keinen Datensatz";
    QTest::newRow("tax abc") << "abc" << "„abc“";
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
    const QList<QPushButton*> buttons
        = { f.control<QPushButton>("cmd_neu"), f.control<QPushButton>("cmd_bearbeiten"), f.control<QPushButton>("cmb_speichern"), f.control<QPushButton>("cmd_abbrechen"), f.control<QPushButton>("cmd_löschen") };
    for (const auto& [routine, expected] : routines) {
        for (int i = 0; i < buttons.size(); ++i)
            buttons[i]->setEnabled(expected[i] == u'0');
        routine(w);
        QCOMPARE(f.tripButtons(), expected);
    }

    // Opening hides a calendar left in view and opens fields, calendar and check boxes,
    // never the computed fields; closing leaves the calendar where it is, only disabled.
    const QList<QWidget*> kinds = { f.control<QCheckBox>("chk_gesch"), f.control<QCheckBox>("chk_priv"), f.control<QCheckBox>("chk_weg"), f.control<QCalendarWidget>("MonthView1") };
    for (const bool open : { true, false }) {
        f.control<QCalendarWidget>("MonthView1")->setVisible(true);
        (open ? WindowAccess::felder_freigeben : WindowAccess::felder_sperren)(w);
        for (QLineEdit* field : f.tripFields())
            QVERIFY2(field->isReadOnly() != open, qPrintable(field->objectName()));
        for (QWidget* control : kinds)
            QVERIFY2(control->isEnabled() == open, qPrintable(control->objectName()));
        QCOMPARE(f.control<QCalendarWidget>("MonthView1")->isHidden(), open);
        QVERIFY(!f.control<QLineEdit>("txt_summe")->isEnabled() && !f.control<QLineEdit>("txt_kosten")->isEnabled());
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
    QTest::addColumn<int>("firstMonth"); // list entry picked before, -1: none
    QTest::addColumn<QString>("typedMonth"); // then typed into the month box; null: nothing typed
    QTest::addColumn<QString>("year"); // typed into the year box; null: left as it is
    QTest::addColumn<QString>("monatTeil");
    QTest::addColumn<QString>("jahrTeil");

    QTest::newRow("März 2006") << 2 << QString() << "2006" << ".03." << "2006";
    QTest::newRow("initial texts") << -1 << QString() << QString() << "" << "... Jahr wählen";
    QTest::newRow("lower-case month keeps March") << 2 << "mai" << "2006" << ".03." << "2006";
    QTest::newRow("typed month") << 2 << "Mai" << "2006" << ".05." << "2006";
    QTest::newRow("year not in the list") << 0 << QString() << " 2008" << ".01." << " 2008";
}

void TestFrmOdomira::periodSelection()
{
    QFETCH(int, firstMonth);
    QFETCH(QString, typedMonth);
    QFETCH(QString, year);
    QFETCH(QString, monatTeil);
    QFETCH(QString, jahrTeil);
    WindowFixture f;
    QVERIFY(f.open(mixedTrips()));
    frm_odomira& w = f.w();

    if (firstMonth >= 0) {
        f.control<QComboBox>("cmb_monat")->setCurrentIndex(firstMonth);
        WindowAccess::zeitraum_bilden(w);
    }
    if (!typedMonth.isNull()) {
        f.type(f.control<QComboBox>("cmb_monat")->lineEdit(), typedMonth);
        QCOMPARE(f.control<QComboBox>("cmb_monat")->currentText(), typedMonth); // neither completed nor changed
    }
    if (!year.isNull())
        f.type(f.control<QComboBox>("cmb_jahr")->lineEdit(), year);
    WindowAccess::zeitraum_bilden(w);
    QCOMPARE(WindowAccess::monat_teil(f.w()), monatTeil);
    QCOMPARE(WindowAccess::jahr_teil(f.w()), jahrTeil);
}

QTEST_MAIN(TestFrmOdomira)
#include "test_frm_odomira.moc"
