// The trip entry through its real buttons and keys on a temporary logbook: the five trip
// commands, the figures stored on save, the date picker, refused saves and the trip
// grid held while a trip is open.
#include "store/data_source.h"
#include "support/temp_logbook.h"
#include "window/frm_odomira.h"

#include <QAbstractItemModel>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QtTest>

#include <memory>

using odomira::frm_odomira;
using odomira::test::TempLogbook;
using odomira::test::TripRow;
using odomira::test::VehicleRow;

namespace {

struct Message {
    QString text;
    QMessageBox::Icon icon;
};

// Figures as a save computes them, at 7,9 l/100 km and 1,2 €/l.
TripRow trip(const char* datum, const char* ziel, const char* start, const char* ende, const char* kosten)
{
    TripRow row;
    row.datum = QString::fromLatin1(datum);
    row.von = QStringLiteral("Hamburg");
    row.bis = QStringLiteral("Bremen");
    row.ziel = QString::fromUtf8(ziel);
    row.bemerkung = QStringLiteral("Kundentermin");
    row.anfangsstand = QString::fromLatin1(start);
    row.endstand = QString::fromLatin1(ende);
    row.gesamt = QString::number(QString::fromLatin1(ende).toInt() - QString::fromLatin1(start).toInt());
    row.preisliter = QStringLiteral("1.2");
    row.kosten = QString::fromLatin1(kosten);
    row.geschaeftl = QStringLiteral("-1");
    return row;
}

// In date order: Bremen, Kiel, Stade.
QList<TripRow> threeTrips()
{
    return { trip("31.12.2006", "Kiel", "500", "600", "9.48"),
        trip("02.01.2006", "Bremen", "100", "120", "1.896"),
        trip("01.01.2007", "Stade", "600", "650", "4.74") };
}

const QString AllTrips = QStringLiteral("select * from fahrt order by id");

// Replaces a field's text by typing, as a user selecting it all and typing over it.
void type(QLineEdit* field, const QString& text)
{
    field->setFocus();
    field->selectAll();
    if (text.isEmpty())
        QTest::keyClick(field, Qt::Key_Delete);
    for (const QChar c : text) {
        if (c.unicode() < 0x80) {
            QTest::keyClick(field, char(c.unicode()));
        } else { // a key of a German keyboard that only brings its character
            QTest::sendKeyEvent(QTest::Press, field, Qt::Key_unknown, QString(c), Qt::NoModifier);
            QTest::sendKeyEvent(QTest::Release, field, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
    }
}

void click(QWidget* widget)
{
    QTest::mouseClick(widget, Qt::LeftButton);
}

void clickGridRow(QTableView* grid, int row)
{
    const QRect cell = grid->visualRect(grid->model()->index(row, 3));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
}

QList<QLineEdit*> typedFields(const frm_odomira* w)
{
    return { w->txt_datum, w->txt_von, w->txt_bis, w->txt_ziel, w->txt_bemerkung, w->txt_start, w->txt_ende,
        w->txt_preis };
}

// Enabled state of NEU, BEARBEITEN, SPEICHERN, ABBRECHEN, LÖSCHEN as a string of 0/1.
QString buttons(const frm_odomira* w)
{
    QString state;
    for (const QPushButton* button :
        { w->cmd_neu, w->cmd_bearbeiten, w->cmb_speichern, w->cmd_abbrechen, w->cmd_löschen })
        state += button->isEnabled() ? u'1' : u'0';
    return state;
}

const QString Browsing = QStringLiteral("11000");
const QString NewTrip = QStringLiteral("00110");
const QString Editing = QStringLiteral("00111");

} // namespace

class TestTripCommands : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void workedExamplesAreStored_data();
    void workedExamplesAreStored();
    void newTripStartsBlankAndStoresNoFigureWithoutPrice();
    void saveClosesEntryOnFirstTrip();
    void newThenCancelAddsNothing();
    void editThenCancelRestores();
    void editThenDeleteRemovesAtOnce();
    void emptyListEditDeleteAndSave();
    void datePicker();
    void tripUsesConsumptionShown();
    void refusedSaveKeepsEntryOpen_data();
    void refusedSaveKeepsEntryOpen();
    void storeRefusalKeepsEntryOpen();
    void gridKeepsOpenTrip_data();
    void gridKeepsOpenTrip();

private:
    frm_odomira* open(const QList<TripRow>& trips, const VehicleRow& vehicle = VehicleRow());
    // NEU, then the given texts typed into date, start, end and price.
    void enterTrip(const QString& datum, const QString& start, const QString& ende, const QString& preis);

    std::unique_ptr<TempLogbook> m_logbook;
    std::unique_ptr<frm_odomira> m_window;
    QList<Message> m_messages;
};

void TestTripCommands::init()
{
    m_messages.clear();
    m_logbook = std::make_unique<TempLogbook>();
    QVERIFY(m_logbook->isValid());
}

void TestTripCommands::cleanup()
{
    m_window.reset();
    m_logbook.reset();
}

frm_odomira* TestTripCommands::open(const QList<TripRow>& trips, const VehicleRow& vehicle)
{
    if (!m_logbook->createWithVehicle(vehicle, trips))
        return nullptr;
    m_window = std::make_unique<frm_odomira>(m_logbook->path());
    m_window->setMessageHook([this](const QString& text, QMessageBox::Icon icon) {
        m_messages.append({ text, icon });
    });
    QString error;
    if (!m_window->Form_Load(&error)) {
        qWarning("Start-up failed: %s", qPrintable(error));
        return nullptr;
    }
    m_window->show();
    if (!QTest::qWaitForWindowActive(m_window.get()))
        return nullptr;
    return m_window.get();
}

void TestTripCommands::enterTrip(
    const QString& datum, const QString& start, const QString& ende, const QString& preis)
{
    frm_odomira* w = m_window.get();
    click(w->cmd_neu);
    type(w->txt_datum, datum);
    type(w->txt_von, QStringLiteral("Hamburg"));
    type(w->txt_bis, QStringLiteral("Lübeck"));
    type(w->txt_ziel, QStringLiteral("Messe"));
    type(w->txt_bemerkung, QStringLiteral("Vortrag"));
    type(w->txt_start, start);
    type(w->txt_ende, ende);
    type(w->txt_preis, preis);
}

void TestTripCommands::workedExamplesAreStored_data()
{
    QTest::addColumn<QString>("verbrauch"); // as stored
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("ende");
    QTest::addColumn<QString>("preis");
    QTest::addColumn<QStringList>("stored"); // anfangsstand, endstand, gesamt, preisliter, kosten

    QTest::newRow("0,21014") << "7.9"
                             << "190888"
                             << "190890"
                             << "1,33" << QStringList { "190888", "190890", "2", "1.33", "0.2101" };
    QTest::newRow("25,990575") << "6.5"
                               << "12000"
                               << "12345"
                               << "1,159" << QStringList { "12000", "12345", "345", "1.159", "25.9906" };
    QTest::newRow("half-way") << "5"
                              << "100"
                              << "101"
                              << "1,001" << QStringList { "100", "101", "1", "1.001", "0.05" };
    QTest::newRow("end below start") << "8"
                                     << "60"
                                     << "50"
                                     << "1,20" << QStringList { "60", "50", "-10", "1.2", "-0.96" };
}

void TestTripCommands::workedExamplesAreStored()
{
    QFETCH(QString, verbrauch);
    QFETCH(QString, start);
    QFETCH(QString, ende);
    QFETCH(QString, preis);
    QFETCH(QStringList, stored);

    VehicleRow vehicle;
    vehicle.verbrauch = verbrauch;
    frm_odomira* w = open(threeTrips(), vehicle);
    QVERIFY(w);
    enterTrip(QStringLiteral("5.3.2007"), start, ende, preis);
    click(w->chk_priv);
    click(w->cmb_speichern);

    QVERIFY(m_messages.isEmpty());
    const QList<QStringList> rows = m_logbook->query(
        QStringLiteral("select datum, von, bis, ziel, bemerkung, anfangsstand, endstand, gesamt, preisliter, "
                       "kosten, geschaeftl, privat, zurarbeit from fahrt where id > 3"));
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0],
        QStringList({ "05.03.2007", "Hamburg", "Lübeck", "Messe", "Vortrag" }) + stored
            + QStringList({ "0", "-1", "0" }));
}

void TestTripCommands::newTripStartsBlankAndStoresNoFigureWithoutPrice()
{
    frm_odomira* w = open(threeTrips());
    QVERIFY(w);
    QVERIFY(w->chk_gesch->isChecked()); // the first trip is a business trip
    click(w->cmd_neu);

    QCOMPARE(buttons(w), NewTrip);
    QCOMPARE(w->DataGrid1->model()->rowCount(), 4);
    for (QLineEdit* field : typedFields(w) + QList<QLineEdit*> { w->txt_summe, w->txt_kosten })
        QVERIFY2(field->text().isEmpty(), qPrintable(field->objectName()));
    for (QCheckBox* box : { w->chk_gesch, w->chk_priv, w->chk_weg })
        QVERIFY(!box->isChecked() && box->isEnabled());
    // The kinds are set on the record itself, not left to the table's defaults.
    QCOMPARE(w->buch->field(QStringLiteral("geschaeftl")), QStringLiteral("0"));
    QVERIFY(w->txt_datum->hasFocus());
    QVERIFY(w->MonthView1->isHidden());

    type(w->txt_datum, QStringLiteral("05.03.2007"));
    type(w->txt_start, QStringLiteral("100"));
    type(w->txt_ende, QStringLiteral("150"));
    click(w->cmb_speichern);
    QVERIFY(m_messages.isEmpty());
    QCOMPARE(m_logbook->query(QStringLiteral("select anfangsstand, endstand, gesamt, kosten, geschaeftl, "
                                             "privat, zurarbeit from fahrt where id > 3")),
        QList<QStringList>({ { "100", "150", "<null>", "<null>", "0", "0", "0" } }));
}

void TestTripCommands::saveClosesEntryOnFirstTrip()
{
    frm_odomira* w = open(threeTrips());
    QVERIFY(w);
    clickGridRow(w->DataGrid1, 2);
    QCOMPARE(w->txt_ziel->text(), QStringLiteral("Stade"));
    click(w->cmd_bearbeiten);
    QCOMPARE(buttons(w), Editing);
    type(w->txt_ziel, QStringLiteral("Stade Hafen"));
    click(w->txt_datum); // the calendar stays in view, disabled, after the save
    QVERIFY(w->MonthView1->isVisible());
    w->SSTab1->setCurrentIndex(2);
    w->cmb_speichern->click();

    QCOMPARE(w->SSTab1->currentIndex(), 0);
    QCOMPARE(buttons(w), Browsing);
    for (QLineEdit* field : typedFields(w))
        QVERIFY(field->isReadOnly());
    QVERIFY(w->MonthView1->isVisible() && !w->MonthView1->isEnabled());
    QCOMPARE(w->buch->currentRow(), 0);
    QCOMPARE(w->txt_ziel->text(), QStringLiteral("Bremen"));
    QCOMPARE(w->txt_summe->text(), QStringLiteral("20"));
    QCOMPARE(m_logbook->scalar(QStringLiteral("select ziel from fahrt where id = 3")),
        QStringLiteral("Stade Hafen"));
    // Saved again with figures computed afresh: 50 km at 7,9 l and 1,2 €/l.
    QCOMPARE(m_logbook->query(QStringLiteral("select gesamt, kosten from fahrt where id = 3")),
        QList<QStringList>({ { "50", "4.74" } }));
    QCOMPARE(w->DataGrid2->model()->index(2, 3).data().toString(), QStringLiteral("Stade Hafen"));
    // The grid chooses trips again.
    clickGridRow(w->DataGrid1, 1);
    QCOMPARE(w->txt_ziel->text(), QStringLiteral("Kiel"));
}

void TestTripCommands::newThenCancelAddsNothing()
{
    frm_odomira* w = open(threeTrips());
    QVERIFY(w);
    const QList<QStringList> before = m_logbook->query(AllTrips);
    clickGridRow(w->DataGrid1, 1);
    enterTrip(QStringLiteral("05.03.2007"), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("1"));
    QVERIFY(w->MonthView1->isVisible());
    click(w->cmd_abbrechen);

    QCOMPARE(m_logbook->query(AllTrips), before);
    QCOMPARE(buttons(w), Browsing);
    QVERIFY(w->MonthView1->isHidden());
    QCOMPARE(w->DataGrid1->model()->rowCount(), 3);
    QCOMPARE(w->buch->currentRow(), 0);
    QCOMPARE(w->txt_ziel->text(), QStringLiteral("Bremen"));
}

void TestTripCommands::editThenCancelRestores()
{
    frm_odomira* w = open(threeTrips());
    QVERIFY(w);
    const QList<QStringList> before = m_logbook->query(AllTrips);
    click(w->cmd_bearbeiten);
    type(w->txt_ziel, QStringLiteral("Anderswo"));
    click(w->chk_priv);
    click(w->cmd_abbrechen);

    QCOMPARE(w->txt_ziel->text(), QStringLiteral("Bremen"));
    QVERIFY(!w->chk_priv->isChecked());
    QVERIFY(!w->buch->hasPendingChanges());
    QCOMPARE(m_logbook->query(AllTrips), before);
    // A later save of the same trip writes nothing cancelled.
    click(w->cmd_bearbeiten);
    click(w->cmb_speichern);
    QCOMPARE(m_logbook->query(AllTrips), before);
}

void TestTripCommands::editThenDeleteRemovesAtOnce()
{
    frm_odomira* w = open(threeTrips());
    QVERIFY(w);
    clickGridRow(w->DataGrid1, 1);
    click(w->cmd_bearbeiten);
    type(w->txt_ziel, QStringLiteral("getippt"));
    click(w->txt_datum);
    click(w->cmd_löschen);

    QVERIFY(m_messages.isEmpty());
    QCOMPARE(m_logbook->query(QStringLiteral("select ziel from fahrt order by id")),
        QList<QStringList>({ { "Bremen" }, { "Stade" } }));
    QCOMPARE(buttons(w), Browsing);
    QVERIFY(w->MonthView1->isHidden());
    QCOMPARE(w->buch->currentRow(), 0);
    QCOMPARE(w->DataGrid2->model()->rowCount(), 2);
}

void TestTripCommands::emptyListEditDeleteAndSave()
{
    frm_odomira* w = open({});
    QVERIFY(w);
    // Delete on an empty list deletes nothing and still closes the entry.
    click(w->cmd_bearbeiten);
    click(w->txt_datum);
    click(w->cmd_löschen);
    QVERIFY(m_messages.isEmpty());
    QCOMPARE(buttons(w), Browsing);
    QVERIFY(w->txt_datum->isReadOnly());
    QVERIFY(w->MonthView1->isHidden());

    // Saving with no trip open says so and keeps the entry as it is.
    click(w->cmd_bearbeiten);
    type(w->txt_datum, QStringLiteral("05.03.2007"));
    click(w->cmb_speichern);
    QCOMPARE(m_messages.size(), 1);
    QVERIFY(m_messages[0].text.contains(QStringLiteral("keine Fahrt geöffnet")));
    QCOMPARE(buttons(w), Editing);
    QCOMPARE(m_logbook->scalar(QStringLiteral("select count(*) from fahrt")), QStringLiteral("0"));
    click(w->cmd_abbrechen);
    QCOMPARE(buttons(w), Browsing);
    QCOMPARE(w->txt_datum->text(), QString());
}

void TestTripCommands::datePicker()
{
    frm_odomira* w = open(threeTrips());
    QVERIFY(w);
    // The closed field offers no calendar.
    click(w->txt_datum);
    QTest::keyClick(w->txt_datum, Qt::Key_1);
    QVERIFY(w->MonthView1->isHidden());

    click(w->cmd_neu);
    QVERIFY(w->MonthView1->isHidden());
    QTest::keyClick(w->txt_datum, Qt::Key_0);
    QVERIFY(w->MonthView1->isVisible());
    QCOMPARE(w->txt_datum->text(), QStringLiteral("0"));
    QCOMPARE(w->buch->field(QStringLiteral("datum")), QStringLiteral("0"));
    // Shown on top of the date field it covers.
    QVERIFY(w->MonthView1->isAncestorOf(w->Frame1->childAt(w->txt_datum->geometry().center())));

    // Click the day 1 of March 2007 in the calendar's own grid.
    w->MonthView1->setSelectedDate(QDate(2007, 3, 1));
    auto* days = w->MonthView1->findChild<QTableView*>(QStringLiteral("qt_calendar_calendarview"));
    QVERIFY(days);
    QModelIndex first;
    for (int row = 1; row < days->model()->rowCount() && !first.isValid(); ++row)
        for (int column = 0; column < days->model()->columnCount() && !first.isValid(); ++column)
            if (days->model()->index(row, column).data().toString() == u"1")
                first = days->model()->index(row, column);
    QVERIFY(first.isValid());
    QTest::mouseClick(days->viewport(), Qt::LeftButton, {}, days->visualRect(first).center());
    QCOMPARE(w->txt_datum->text(), QStringLiteral("01.03.2007"));
    QCOMPARE(w->buch->field(QStringLiteral("datum")), QStringLiteral("01.03.2007"));
    QVERIFY(w->MonthView1->isHidden());

    // A click into the open field shows it again.
    click(w->txt_datum);
    QVERIFY(w->MonthView1->isVisible());
}

void TestTripCommands::tripUsesConsumptionShown()
{
    frm_odomira* w = open(threeTrips());
    QVERIFY(w);
    w->SSTab1->setCurrentIndex(1);
    click(w->cmd_sbearbeiten);
    type(w->txt_verbrauch, QStringLiteral("5"));
    w->SSTab1->setCurrentIndex(0);
    enterTrip(
        QStringLiteral("05.03.2007"), QStringLiteral("100"), QStringLiteral("101"), QStringLiteral("1,001"));
    click(w->cmb_speichern);

    QVERIFY(m_messages.isEmpty());
    QCOMPARE(
        m_logbook->scalar(QStringLiteral("select kosten from fahrt where id > 3")), QStringLiteral("0.05"));
    QCOMPARE(m_logbook->scalar(QStringLiteral("select verbrauch from verbrauch")), QStringLiteral("7.9"));
    QVERIFY(w->cmd_sspeichern->isEnabled());
}

void TestTripCommands::refusedSaveKeepsEntryOpen_data()
{
    QTest::addColumn<bool>("editing");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("label");

    const struct {
        const char* name;
        const char* field;
        const char* text;
        const char* label;
    } cases[] = {
        { "no calendar date", "txt_datum", "31.02.2007", "„Datum“" },
        { "no date", "txt_datum", "", "Bitte ein Datum eingeben" },
        { "start", "txt_start", "abc", "„Start km“" },
        { "end", "txt_ende", "12a", "„Ende km“" },
        { "price", "txt_preis", "1,2,3", "„€/Liter“" },
        { "start without price", "txt_start", "x", "„Start km“" },
        { "consumption", "txt_verbrauch", "sieben", "„Verbrauch 100km“" },
        { "no consumption", "txt_verbrauch", "", "„Verbrauch 100km“" },
    };
    for (const bool editing : { false, true })
        for (const auto& c : cases)
            QTest::addRow("%s %s", editing ? "edit" : "new", c.name)
                << editing << QString::fromLatin1(c.field) << QString::fromUtf8(c.text)
                << QString::fromUtf8(c.label);
}

void TestTripCommands::refusedSaveKeepsEntryOpen()
{
    QFETCH(bool, editing);
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, label);

    frm_odomira* w = open(threeTrips());
    QVERIFY(w);
    const QList<QStringList> before = m_logbook->query(AllTrips);
    auto* edit = w->findChild<QLineEdit*>(field);
    QVERIFY(edit);
    if (edit == w->txt_verbrauch) {
        w->SSTab1->setCurrentIndex(1);
        click(w->cmd_sbearbeiten);
        type(edit, text);
        w->SSTab1->setCurrentIndex(0);
    }
    if (editing) {
        click(w->cmd_bearbeiten);
        type(w->txt_ziel, QStringLiteral("Geändert"));
    } else {
        enterTrip(QStringLiteral("05.03.2007"), QStringLiteral("100"), QStringLiteral("150"),
            QStringLiteral("1,5"));
    }
    if (field == u"txt_start" && text == u"x")
        type(w->txt_preis, QString());
    if (edit != w->txt_verbrauch)
        type(edit, text);
    QStringList typed;
    for (QLineEdit* entry : typedFields(w))
        typed << entry->text();
    const QString state = buttons(w);

    click(w->cmb_speichern);
    QCOMPARE(m_messages.size(), 1);
    QVERIFY2(m_messages[0].text.contains(label), qPrintable(m_messages[0].text));
    QCOMPARE(m_messages[0].icon, QMessageBox::Critical);
    QCOMPARE(m_logbook->query(AllTrips), before);
    QCOMPARE(buttons(w), state);
    QCOMPARE(state, editing ? Editing : NewTrip);
    QCOMPARE(w->buch->isAdding(), !editing);
    for (int i = 0; i < typedFields(w).size(); ++i) {
        QCOMPARE(typedFields(w)[i]->text(), typed[i]);
        QVERIFY(!typedFields(w)[i]->isReadOnly());
    }

    // Corrected, the same entry saves.
    if (edit == w->txt_verbrauch)
        w->SSTab1->setCurrentIndex(1);
    type(edit, edit == w->txt_datum ? QStringLiteral("05.03.2007") : QStringLiteral("7,9"));
    click(w->cmb_speichern);
    QCOMPARE(m_messages.size(), 1);
    QCOMPARE(buttons(w), Browsing);
    QCOMPARE(m_logbook->query(AllTrips).size(), editing ? 3 : 4);
}

void TestTripCommands::storeRefusalKeepsEntryOpen()
{
    frm_odomira* w = open(threeTrips());
    QVERIFY(w);
    click(w->cmd_bearbeiten);
    type(w->txt_ziel, QStringLiteral("Geändert"));
    QVERIFY(m_logbook->exec(QStringLiteral("delete from fahrt where id = 2")));
    click(w->cmb_speichern);

    QCOMPARE(m_messages.size(), 1);
    QVERIFY2(
        m_messages[0].text.contains(QStringLiteral("nicht mehr vorhanden")), qPrintable(m_messages[0].text));
    QCOMPARE(buttons(w), Editing);
    QCOMPARE(w->txt_ziel->text(), QStringLiteral("Geändert"));
    QVERIFY(!w->txt_ziel->isReadOnly());
    QCOMPARE(m_logbook->scalar(QStringLiteral("select count(*) from fahrt")), QStringLiteral("2"));
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
    frm_odomira* w = open(threeTrips());
    QVERIFY(w);
    const QList<QStringList> before = m_logbook->query(AllTrips);
    if (editing) {
        click(w->cmd_bearbeiten);
        type(w->txt_ziel, QStringLiteral("Offen"));
    } else {
        enterTrip(
            QStringLiteral("05.03.2007"), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("1"));
        type(w->txt_ziel, QStringLiteral("Offen"));
    }
    const int row = w->buch->currentRow();

    clickGridRow(w->DataGrid1, 2);
    QTest::mouseDClick(w->DataGrid1->viewport(), Qt::LeftButton, {},
        w->DataGrid1->visualRect(w->DataGrid1->model()->index(1, 0)).center());
    QTest::keyClick(w->DataGrid1, Qt::Key_Up);
    QCOMPARE(w->buch->currentRow(), row);
    QCOMPARE(w->DataGrid1->currentIndex().row(), row);
    QCOMPARE(w->txt_ziel->text(), QStringLiteral("Offen"));
    QCOMPARE(w->buch->field(QStringLiteral("ziel")), QStringLiteral("Offen"));

    click(w->cmb_speichern);
    QVERIFY(m_messages.isEmpty());
    QList<QStringList> after = m_logbook->query(AllTrips);
    if (editing) {
        // Only the opened trip (Bremen, id 2) changed.
        QCOMPARE(after[1][4], QStringLiteral("Offen"));
        after[1][4] = before[1][4];
        QCOMPARE(after, before);
    } else {
        QCOMPARE(after.size(), 4);
        QCOMPARE(after[3][4], QStringLiteral("Offen"));
        QCOMPARE(after.mid(0, 3), before);
    }
    clickGridRow(w->DataGrid1, 2);
    QCOMPARE(w->buch->currentRow(), 2);
    QVERIFY(w->DataGrid1->focusPolicy() != Qt::NoFocus);
}

QTEST_MAIN(TestTripCommands)
#include "test_trip_commands.moc"
