// The window through its real controls: start-up, layout, entry states, period selection,
// the trip grid and the start-up failures, on a temporary logbook.
#include "window/window_access.h"
#include "window/window_fixture.h"

#include "evaluation/period.h"
#include "store/data_source.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QCryptographicHash>
#include <QGroupBox>
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

const QStringList CalendarOrder = { "02.01.2006", "05.03.2006", "31.12.2006", "01.01.2007", "15.03.2007" };

// Every file of a folder with its time and content, to show nothing was created or changed.
QStringList folderState(const QString& path)
{
    QStringList state;
    for (const QFileInfo& info : QDir(path).entryInfoList(QDir::Files | QDir::Hidden, QDir::Name)) {
        QFile file(info.filePath());
        const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("?");
        state << info.fileName() + ' ' + QString::number(info.lastModified().toMSecsSinceEpoch()) + ' '
                + QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
    }
    return state;
}

} // namespace

class TestFrmOdomira : public QObject {
    Q_OBJECT

private slots:
    void startUpStateAndGridSelection();
    void startUpWithoutTrips();
    void startUpFailure_data();
    void startUpFailure();
    void layoutAndNames();
    void entryRoutines();
    void periodSelection_data();
    void periodSelection();
};

void TestFrmOdomira::startUpStateAndGridSelection()
{
    WindowFixture f;
    QVERIFY(f.open(mixedTrips()));
    frm_odomira& w = f.w();

    QCOMPARE(w.windowTitle(), "Odomira" + QString(53, QLatin1Char(' ')) + "© 2026 Odomira-Team");
    QCOMPARE(w.SSTab1->currentIndex(), 0);
    for (QLineEdit* field : f.tripFields() + QList<QLineEdit*> { w.txt_kennzeichen, w.txt_verbrauch,
             w.txt_steuer, w.txt_versicherung, w.txt_sauto, w.txt_summekm, w.Text1 })
        QVERIFY2(field->isReadOnly() && field->isEnabled(), qPrintable(field->objectName()));
    for (QWidget* closed : std::initializer_list<QWidget*> { w.txt_summe, w.txt_kosten, w.MonthView1,
             w.chk_gesch, w.chk_priv, w.chk_weg, w.cmd_sabbrechen, w.cmd_sspeichern })
        QVERIFY2(!closed->isEnabled(), qPrintable(closed->objectName()));
    QVERIFY(w.MonthView1->isHidden());
    QCOMPARE(f.tripButtons(), QStringLiteral("11000"));
    QCOMPARE(w.lbl_tag->text(), QStringLiteral("3,9766 €"));

    // Month and year boxes keep their own texts over the filled lists.
    QCOMPARE(w.cmb_monat->currentText(), QStringLiteral(".. Monat Wählen"));
    QCOMPARE(w.cmb_jahr->currentText(), QStringLiteral("... Jahr wählen"));
    const auto items = [](const QComboBox* box) {
        QStringList texts;
        for (int i = 0; i < box->count(); ++i)
            texts << box->itemText(i);
        return texts;
    };
    QCOMPARE(items(w.cmb_monat), odomira::monthNames());
    QCOMPARE(items(w.cmb_jahr), QStringList({ "2006", "2007" }));
    for (QRadioButton* option : { w.aus_gesch, w.aus_priv, w.aus_weg })
        QVERIFY(!option->isChecked());

    // The trips in calendar order across years, the first in the fields; the evaluation
    // list holds the whole table, without sums.
    QCOMPARE(f.gridColumn(w.DataGrid1), CalendarOrder);
    QCOMPARE(w.DataGrid1->currentIndex().row(), 0);
    const QStringList shown = { w.txt_datum->text(), w.txt_ziel->text(), w.txt_summe->text(),
        w.txt_preis->text(), w.txt_kosten->text() };
    QCOMPARE(shown, QStringList({ "02.01.2006", "Ärztehaus Altona", "20", "1,189", "4,9783" }));
    QVERIFY(w.chk_gesch->isChecked() && !w.chk_priv->isChecked());
    QCOMPARE(w.DataGrid2->model()->rowCount(), 5);
    QCOMPARE(w.txt_summekm->text(), QString());
    QVERIFY(f.messages.isEmpty());

    // A row chosen in the grid shows its trip.
    f.clickGridRow(w.DataGrid1, 2);
    QCOMPARE(w.buch->currentRow(), 2);
    QCOMPARE(w.txt_datum->text() + " " + w.txt_ziel->text(), QStringLiteral("31.12.2006 Kiel"));
    QVERIFY(w.chk_gesch->isChecked());

    QTest::keyClick(w.DataGrid1, Qt::Key_Down);
    QCOMPARE(w.txt_datum->text(), QStringLiteral("01.01.2007"));
    QVERIFY(!w.chk_gesch->isChecked());

    // The grid follows the record when it moves by other means, past the end to no row.
    w.buch->moveNext();
    QCOMPARE(w.DataGrid1->currentIndex().row(), 4);
    w.buch->moveNext();
    QVERIFY(!w.DataGrid1->selectionModel()->hasSelection());
    QCOMPARE(w.txt_datum->text(), QString());
}

void TestFrmOdomira::startUpWithoutTrips()
{
    WindowFixture f;
    VehicleRow vehicle;
    vehicle.steuer = QStringLiteral("100");
    vehicle.versicherung = QStringLiteral("0");
    QVERIFY(f.open({}, vehicle));
    QCOMPARE(f.w().DataGrid1->model()->rowCount(), 0);
    QCOMPARE(f.w().txt_datum->text(), QString());
    QCOMPARE(f.w().lbl_tag->text(), QStringLiteral("0,274 €")); // rounded, trailing zeros dropped
}

void TestFrmOdomira::startUpFailure_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("expected"); // part of the message

    QTest::newRow("missing file") << "missing" << "";
    QTest::newRow("not a database") << "garbage" << "";
    QTest::newRow("no vehicle row") << "novehicle" << "keinen Datensatz";
    QTest::newRow("tax no number") << "abc" << "„abc“";
    QTest::newRow("insurance empty") << "noinsurance" << "Versicherung";
}

void TestFrmOdomira::startUpFailure()
{
    QFETCH(QString, setup);
    QFETCH(QString, expected);
    WindowFixture f;
    VehicleRow vehicle;
    if (setup == u"garbage") {
        QFile file(f.logbook().path());
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("Kein Fahrtenbuch\n") > 0);
    } else if (setup == u"novehicle") {
        QVERIFY(f.logbook().create(nullptr, mixedTrips()));
    } else if (setup != u"missing") {
        if (setup == u"abc")
            vehicle.steuer = QStringLiteral("abc");
        else
            vehicle.versicherung.clear();
        QVERIFY(f.logbook().createWithVehicle(vehicle, mixedTrips()));
    }
    const QStringList before = folderState(f.logbook().dirPath());
    QTest::qWait(20); // a write would now show in the modification time

    QString error;
    QVERIFY(!f.start(&error));
    QVERIFY2(!error.isEmpty() && error.contains(expected), qPrintable(error));
    QCOMPARE(folderState(f.logbook().dirPath()), before);
    QVERIFY(f.messages.isEmpty()); // the program shows it, once, as it ends
}

void TestFrmOdomira::layoutAndNames()
{
    WindowFixture f;
    QVERIFY(f.open(mixedTrips()));
    frm_odomira& w = f.w();
    QCOMPARE(w.size(), QSize(704, 547));
    QCOMPARE(w.SSTab1->geometry(), QRect(8, 8, 689, 537));

    // Positions in twips relative to the tab control, its strip included; each tab shows
    // only its own controls.
    const struct {
        QWidget* control;
        int tab;
        QRect twips;
    } expected[] = {
        { w.cmd_about, 0, { 240, 120, 375, 345 } },
        { w.DataGrid1, 0, { 240, 600, 9855, 2415 } },
        { w.txt_datum, 0, { 240 + 1080, 3960 + 360, 1575, 375 } },
        { w.cmd_löschen, 0, { 240 + 7920, 7200 + 240, 1695, 375 } },
        { w.lbl_tag, 1, { 1320 + 5520 + 120, 840 + 1680 + 240, 1215, 375 } },
        { w.DataGrid2, 2, { 240, 600, 9855, 5415 } },
        { w.Text1, 2, { 240 + 8040, 6120 + 840, 1575, 405 } },
    };
    for (const auto& e : expected) {
        w.SSTab1->setCurrentIndex(e.tab);
        QVERIFY2(e.control->isVisible() && (e.tab == 0) == w.cmd_about->isVisible(),
            qPrintable(e.control->objectName()));
        const QRect pixels(e.twips.x() / 15, e.twips.y() / 15, e.twips.width() / 15, e.twips.height() / 15);
        QCOMPARE(QRect(e.control->mapTo(w.SSTab1, QPoint()), e.control->size()), pixels);
    }

    // Grid captions; the date column is wide enough for a date.
    for (QTableView* grid : { w.DataGrid1, w.DataGrid2 }) {
        QStringList captions;
        for (int column = 0; column < grid->model()->columnCount(); ++column)
            captions << grid->model()->headerData(column, Qt::Horizontal).toString();
        QCOMPARE(captions.mid(0, 6), QStringList({ "DATUM", "VON", "BIS", "ZIEL", "REISEGRUND", "SUMME KM" }));
        QVERIFY(grid->columnWidth(0) > grid->fontMetrics().horizontalAdvance(QStringLiteral("31.12.2006")));
    }

    // Every control of ours carries an accessible name, and its caption fits.
    int named = 0;
    for (QWidget* control : w.SSTab1->findChildren<QWidget*>()) {
        auto* label = qobject_cast<QLabel*>(control);
        auto* button = qobject_cast<QAbstractButton*>(control);
        const bool designed = label || button || qobject_cast<QLineEdit*>(control)
            || qobject_cast<QComboBox*>(control) || qobject_cast<QGroupBox*>(control)
            || qobject_cast<QTableView*>(control) || qobject_cast<QCalendarWidget*>(control);
        // Parts of composite controls (the calendar's buttons, a combo's field) carry no name of ours.
        if (!designed || control->objectName().isEmpty() || control->objectName().startsWith(u"qt_"))
            continue;
        ++named;
        QVERIFY2(!control->accessibleName().isEmpty(), qPrintable(control->objectName()));
        const QString caption = label ? label->text() : button ? button->text() : QString();
        QVERIFY2(control->fontMetrics().horizontalAdvance(caption) <= control->width(),
            qPrintable(control->objectName()));
    }
    QVERIFY(named >= 70);
    QCOMPARE(w.txt_datum->accessibleName(), QStringLiteral("Datum"));
    QCOMPARE(w.Label1->buddy(), w.txt_datum);
    QCOMPARE(w.txt_preis->accessibleName(), QStringLiteral("€/Liter"));
    QCOMPARE(w.txt_suche->accessibleName(), QStringLiteral("Datum oder Reiseziel eingeben"));
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

    // The about box, as often as asked, changes nothing.
    f.click(w.cmd_about);
    f.click(w.cmd_about);
    QCOMPARE(f.messages.size(), 2);
    QCOMPARE(f.messages[1].text, f.messages[0].text);
    QCOMPARE(f.messages[0].icon, QMessageBox::NoIcon);
    const QStringList lines = f.messages[0].text.split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), 9);
    QCOMPARE(lines.mid(0, 3),
        QStringList({ "Sie möchten Ihren Fuhrpark verwalten?", "Nehmen Sie Kontakt mit mir auf!", "" }));
    for (const QString& line : lines.mid(3))
        QVERIFY(!line.isEmpty() && !line.contains(QLatin1Char('\r')));
    QCOMPARE(f.tripButtons(), QStringLiteral("00111"));

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
        QVERIFY(!w.txt_suche->isReadOnly() && w.DataGrid1->isEnabled());
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
    QTest::newRow("Dezember 2007") << 11 << QString() << "2007" << ".12." << "2007";
    QTest::newRow("initial texts") << -1 << QString() << QString() << "" << "... Jahr wählen";
    QTest::newRow("year alone") << -1 << QString() << "2006" << "" << "2006";
    QTest::newRow("lower-case month keeps March") << 2 << "mai" << "2006" << ".03." << "2006";
    QTest::newRow("trailing blank keeps March") << 2 << "Mai " << "2006" << ".03." << "2006";
    QTest::newRow("typed month") << 2 << "Mai" << "2006" << ".05." << "2006";
    QTest::newRow("year as typed") << 2 << QString() << "06" << ".03." << "06";
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
