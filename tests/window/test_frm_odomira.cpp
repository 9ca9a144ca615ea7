// The window through its real controls: start-up, the trip grid, focus order, period
// selection, the start-up failures and the window icon, on a temporary logbook.
#include "window/window_access.h"
#include "window/window_fixture.h"

#include "store/data_source.h"
#include "window/window_icon.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QTabWidget>

using namespace odomira::test;

namespace {

TripRow trip(const char* datum, const char* ziel, const char* gesamt, const char* geschaeftl = "0")
{
    return { .datum = datum,
        .ziel = QString::fromUtf8(ziel),
        .gesamt = gesamt,
        .kosten = "4.9783",
        .geschaeftl = geschaeftl };
}

// Neither the text of the dates nor the insertion follows calendar order (year, month, day).
const QList<TripRow> MixedTrips = { trip("15.03.2007", "Lübeck", "100"), trip("05.03.2006", "Bremen", "130"),
    trip("31.12.2006", "Kiel", "100", "-1"), trip("01.01.2007", "Stade", "50"),
    trip("02.01.2006", "Ärztehaus Altona", "20", "-1") };

} // namespace

class TestFrmOdomira : public QObject {
    Q_OBJECT

private slots:
    void startUpStateAndGridSelection();
    void startUpFailure_data();
    void startUpFailure();
    void periodSelection_data();
    void periodSelection();
    void tabOrderFollowsLayout_data();
    void tabOrderFollowsLayout();
    void iconFromTheSvg();
};

void TestFrmOdomira::startUpStateAndGridSelection()
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
    const QStringList entry = { "chk_gesch", "chk_priv", "chk_weg", "MonthView1" };
    for (const QString& name :
        entry + QStringList { "txt_summe", "txt_kosten", "cmd_sabbrechen", "cmd_sspeichern" })
        QVERIFY2(!f.control(name)->isEnabled(), qPrintable(name));
    QCOMPARE(f.tripButtons(), Browsing);

    // The trips in calendar order across years, the first in the fields.
    auto* grid = f.control<QTableView>("DataGrid1");
    QCOMPARE(f.gridColumn(grid),
        QStringList({ "02.01.2006", "05.03.2006", "31.12.2006", "01.01.2007", "15.03.2007" }));
    QCOMPARE(grid->currentIndex().row(), 0);
    const QStringList shown
        = { f.text("txt_datum"), f.text("txt_ziel"), f.text("txt_summe"), f.text("txt_kosten") };
    QCOMPARE(shown, QStringList({ "02.01.2006", "Ärztehaus Altona", "20", "4,9783" }));
    QVERIFY(f.control<QCheckBox>("chk_gesch")->isChecked() && !f.control<QCheckBox>("chk_priv")->isChecked());

    // A row chosen in the grid shows its trip.
    f.clickGridRow(grid, 3);
    QCOMPARE(WindowAccess::buch(f.w())->currentRow(), 3);
    QCOMPARE(f.text("txt_datum") + " " + f.text("txt_ziel"), QStringLiteral("01.01.2007 Stade"));
    QVERIFY(!f.control<QCheckBox>("chk_gesch")->isChecked());

    // The grid follows the record when it moves by other means, past the end to no row.
    WindowAccess::buch(f.w())->moveNext();
    QCOMPARE(grid->currentIndex().row(), 4);
    WindowAccess::buch(f.w())->moveNext();
    QVERIFY(!grid->selectionModel()->hasSelection());
    QCOMPARE(f.text("txt_datum"), QString());

    // An open trip opens the check boxes and the calendar, never the computed fields.
    f.clickGridRow(grid, 0);
    f.click("cmd_bearbeiten");
    for (const QString& name : entry)
        QVERIFY2(f.control(name)->isEnabled(), qPrintable(name));
    QVERIFY(!f.control("txt_summe")->isEnabled() && !f.control("txt_kosten")->isEnabled());
}

void TestFrmOdomira::startUpFailure_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("expected"); // part of the message
    addRow("missing file", QString("missing"), QString());
    addRow("empty verbrauch", QString("novehicle"), QString("keinen Datensatz"));
    addRow("tax abc", QString("abc"), QString("„abc“"));
}

// The start refuses, says why, and leaves the folder as it was.
void TestFrmOdomira::startUpFailure()
{
    QFETCH(QString, setup);
    QFETCH(QString, expected);
    WindowFixture f;
    VehicleRow vehicle;
    vehicle.steuer = QStringLiteral("abc");
    if (setup == u"novehicle")
        QVERIFY(f.logbook().create(nullptr, MixedTrips));
    else if (setup == u"abc")
        QVERIFY(f.logbook().createWithVehicle(vehicle, MixedTrips));
    const QString before = f.logbook().snapshot();
    QString error;
    QVERIFY(!f.start(&error));
    QVERIFY2(!error.isEmpty() && error.contains(expected), qPrintable(error));
    QCOMPARE(f.logbook().snapshot(), before);
    QVERIFY(f.messages.isEmpty()); // the program shows it, once, as it ends
}

void TestFrmOdomira::periodSelection_data()
{
    QTest::addColumn<QString>("firstMonth"); // keys typed into the month box first; empty: none
    QTest::addColumn<QString>("typedMonth"); // then typed into it; empty: nothing
    QTest::addColumn<QString>("year"); // typed into the year box; null: left as it is
    QTest::addColumn<QString>("shown"); // the month box afterwards
    QTest::addColumn<QString>("monatTeil");
    QTest::addColumn<QString>("jahrTeil");
    const QString none;
    addRow(
        "März 2006", QString("mä"), none, QString("2006"), QString("März"), QString(".03."), QString("2006"));
    // Typing picks the month whose name begins so; the box never holds a text of its own.
    addRow("lower-case month picks May", QString("mä"), QString("mai"), QString("2006"), QString("Mai"),
        QString(".05."), QString("2006"));
    addRow("no month begins so: unchanged", QString("mä"), QString("x"), QString("2006"), QString("März"),
        QString(".03."), QString("2006"));
    addRow("year not in the list", QString("j"), none, QString(" 2008"), QString("Januar"), QString(".01."),
        QString(" 2008"));
}

void TestFrmOdomira::periodSelection()
{
    QFETCH(QString, firstMonth);
    QFETCH(QString, typedMonth);
    QFETCH(QString, year);
    QFETCH(QString, shown);
    WindowFixture f;
    QVERIFY(f.open(MixedTrips));
    f.showTab(1);
    auto* monat = f.control<QComboBox>("cmb_monat");

    // Keys typed within a moment search the list as one word; a pause starts a new search.
    const auto typeInto = [monat](const QString& keys) {
        monat->setFocus();
        for (const QChar c : keys)
            QTest::sendKeyEvent(QTest::Click, monat, Qt::Key_unknown, QString(c), Qt::NoModifier);
        QTest::qWait(QApplication::keyboardInputInterval() + 50);
    };
    if (!firstMonth.isEmpty()) {
        typeInto(firstMonth);
        WindowAccess::zeitraum_bilden(f.w());
    }
    if (!typedMonth.isEmpty())
        typeInto(typedMonth);
    QCOMPARE(monat->currentText(), shown);
    if (!year.isNull())
        f.type(f.control<QComboBox>("cmb_jahr")->lineEdit(), year);
    WindowAccess::zeitraum_bilden(f.w());
    QTEST(WindowAccess::monat_teil(f.w()), "monatTeil");
    QTEST(WindowAccess::jahr_teil(f.w()), "jahrTeil");
}

void TestFrmOdomira::tabOrderFollowsLayout_data()
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

void TestFrmOdomira::tabOrderFollowsLayout()
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
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        seen << (QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString());
    }
    QCOMPARE(seen, expected);
    // And back again with Shift+Tab.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget()->objectName(), expected.value(expected.size() - 2));
}

// The window icon comes from the icon's SVG, rendered at build time into the program: every
// size, with the navy ground and the red needle of the drawing.
void TestFrmOdomira::iconFromTheSvg()
{
    const QIcon icon = odomira::windowIcon();
    for (const int size : { 16, 32, 48, 256 })
        QVERIFY2(icon.availableSizes().contains(QSize(size, size)), qPrintable(QString::number(size)));
    const QImage image = icon.pixmap(QSize(32, 32)).toImage();
    QCOMPARE(image.size(), QSize(32, 32));
    QCOMPARE(image.pixelColor(1, 1), QColor(0, 0, 128));
    QCOMPARE(image.pixelColor(19, 14), QColor(255, 0, 0));
}

QTEST_MAIN(TestFrmOdomira)
#include "test_frm_odomira.moc"
