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
    frm_odomira& w = f.w();

    QCOMPARE(w.SSTab1->currentIndex(), 0);
    for (QLineEdit* field : f.tripFields() + QList<QLineEdit*> { w.txt_kennzeichen, w.txt_verbrauch,
             w.txt_steuer, w.txt_versicherung, w.txt_sauto, w.txt_summekm, w.Text1 })
        QVERIFY2(field->isReadOnly() && field->isEnabled(), qPrintable(field->objectName()));
    for (QWidget* closed : std::initializer_list<QWidget*> { w.txt_summe, w.txt_kosten, w.MonthView1,
             w.chk_gesch, w.chk_priv, w.chk_weg, w.cmd_sabbrechen, w.cmd_sspeichern })
        QVERIFY2(!closed->isEnabled(), qPrintable(closed->objectName()));
    QCOMPARE(f.tripButtons(), QStringLiteral("11000"));
    QCOMPARE(w.lbl_tag->text(), QStringLiteral("3,9766 €"));

    // Month and year boxes keep their own texts over the filled lists.
    QCOMPARE(w.cmb_monat->currentText(), QStringLiteral(".. Monat Wählen"));
    QCOMPARE(w.cmb_jahr->currentText(), QStringLiteral("... Jahr wählen"));
    QCOMPARE(w.cmb_monat->count(), 12);
    QCOMPARE(w.cmb_jahr->count(), 2);

    // The trips in calendar order across years, the first in the fields.
    QCOMPARE(f.gridColumn(w.DataGrid1),
        QStringList({ "02.01.2006", "05.03.2006", "31.12.2006", "01.01.2007", "15.03.2007" }));
    QCOMPARE(w.DataGrid1->currentIndex().row(), 0);
    const QStringList shown
        = { w.txt_datum->text(), w.txt_ziel->text(), w.txt_summe->text(), w.txt_kosten->text() };
    QCOMPARE(shown, QStringList({ "02.01.2006", "Ärztehaus Altona", "20", "4,9783" }));
    QVERIFY(w.chk_gesch->isChecked() && !w.chk_priv->isChecked());

    // A row chosen in the grid shows its trip.
    f.clickGridRow(w.DataGrid1, 2);
    QCOMPARE(w.buch->currentRow(), 2);
    QCOMPARE(w.txt_datum->text() + " " + w.txt_ziel->text(), QStringLiteral("31.12.2006 Kiel"));
    QVERIFY(w.chk_gesch->isChecked());

    // The grid follows the record when it moves by other means, past the end to no row.
    w.buch->moveNext();
    QCOMPARE(w.DataGrid1->currentIndex().row(), 3);
    w.buch->moveNext();
    w.buch->moveNext();
    QVERIFY(!w.DataGrid1->selectionModel()->hasSelection());
    QCOMPARE(w.txt_datum->text(), QString());
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
        = { w.cmd_neu, w.cmd_bearbeiten, w.cmb_speichern, w.cmd_abbrechen, w.cmd_löschen };
    for (const auto& [routine, expected] : routines) {
        for (int i = 0; i < buttons.size(); ++i)
            buttons[i]->setEnabled(expected[i] == u'0');
        routine(w);
        QCOMPARE(f.tripButtons(), expected);
    }

    // Opening hides a calendar left in view and opens fields, calendar and check boxes,
    // never the computed fields; closing leaves the calendar where it is, only disabled.
    const QList<QWidget*> kinds = { w.chk_gesch, w.chk_priv, w.chk_weg, w.MonthView1 };
    for (const bool open : { true, false }) {
        w.MonthView1->setVisible(true);
        (open ? WindowAccess::felder_freigeben : WindowAccess::felder_sperren)(w);
        for (QLineEdit* field : f.tripFields())
            QVERIFY2(field->isReadOnly() != open, qPrintable(field->objectName()));
        for (QWidget* control : kinds)
            QVERIFY2(control->isEnabled() == open, qPrintable(control->objectName()));
        QCOMPARE(w.MonthView1->isHidden(), open);
        QVERIFY(!w.txt_summe->isEnabled() && !w.txt_kosten->isEnabled());
    }

    // The focus order of the open trip entry.
    WindowAccess::modus_neu(w);
    WindowAccess::felder_freigeben(w);
    w.txt_datum->setFocus();
    QVERIFY(QTest::qWaitFor([&] { return w.txt_datum->hasFocus(); }));
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
        w.cmb_monat->setCurrentIndex(firstMonth);
        WindowAccess::zeitraum_bilden(w);
    }
    if (!typedMonth.isNull()) {
        f.type(w.cmb_monat->lineEdit(), typedMonth);
        QCOMPARE(w.cmb_monat->currentText(), typedMonth); // neither completed nor changed
    }
    if (!year.isNull())
        f.type(w.cmb_jahr->lineEdit(), year);
    WindowAccess::zeitraum_bilden(w);
    QCOMPARE(w.monat_teil, monatTeil);
    QCOMPARE(w.jahr_teil, jahrTeil);
}

QTEST_MAIN(TestFrmOdomira)
#include "test_frm_odomira.moc"
