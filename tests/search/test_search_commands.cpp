// The trip search in the window: SUCHEN, RESET and the search box, clicked and typed on a
// temporary logbook.
#include "window/window_access.h"

#include "store/data_source.h"
#include "support/temp_logbook.h"
#include "window/frm_odomira.h"

#include <QAbstractItemModel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QtTest>

#include <memory>

using odomira::frm_odomira;
using odomira::test::TempLogbook;
using odomira::test::TripRow;
using odomira::test::VehicleRow;
using odomira::test::WindowAccess;

namespace {

struct Message {
    QString text;
    QMessageBox::Icon icon;
};

TripRow trip(const char* datum, const char* ziel)
{
    TripRow row;
    row.datum = QString::fromLatin1(datum);
    row.ziel = QString::fromUtf8(ziel);
    return row;
}

// Neither in date order nor in text order, so the store's own order shows.
QList<TripRow> trips()
{
    return {
        trip("15.03.2006", "Rheinbach"),
        trip("02.01.2006", "Messe 03.2006 Köln"),
        trip("31.03.2006", "Bacharach"),
        trip("05.03.2007", "Pub O'Neill"),
        trip("10.11.2006", "Kiel"),
        trip("01.03.2006", "Bremen"),
    };
}

QStringList gridDates(const QTableView* grid)
{
    QStringList dates;
    const QAbstractItemModel* model = grid->model();
    for (int row = 0; row < model->rowCount(); ++row)
        dates << model->index(row, 0).data().toString();
    return dates;
}

} // namespace

class TestSearchCommands : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void search_data();
    void search();
    void resetListsAllAndEmptiesTheBox();
    void boxEmptiedOnEntry();
    void openTripIsLeftAlone_data();
    void openTripIsLeftAlone();
    void storeFailureIsReported();

private:
    frm_odomira* open();
    void typeTerm(frm_odomira* w, const QString& term);
    // The trips as the store gives them without an ordering clause.
    QStringList storeOrder() const;

    std::unique_ptr<TempLogbook> m_logbook;
    std::unique_ptr<frm_odomira> m_window;
    QList<Message> m_messages;
};

void TestSearchCommands::init()
{
    m_messages.clear();
    m_logbook = std::make_unique<TempLogbook>();
    QVERIFY(m_logbook->isValid());
    QVERIFY(m_logbook->createWithVehicle(VehicleRow(), trips()));
}

void TestSearchCommands::cleanup()
{
    m_window.reset();
    m_logbook.reset();
}

frm_odomira* TestSearchCommands::open()
{
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
    if (!QTest::qWaitForWindowExposed(m_window.get()))
        return nullptr;
    return m_window.get();
}

void TestSearchCommands::typeTerm(frm_odomira* w, const QString& term)
{
    // Entering the box empties it; the term is typed after that.
    QTest::mouseClick(w->txt_suche, Qt::LeftButton);
    QTest::keyClicks(w->txt_suche, term);
    QCOMPARE(w->txt_suche->text(), term);
}

QStringList TestSearchCommands::storeOrder() const
{
    QStringList dates;
    for (const QStringList& row : m_logbook->query(QStringLiteral("select datum from fahrt")))
        dates << row.value(0);
    return dates;
}

void TestSearchCommands::search_data()
{
    QTest::addColumn<QString>("term");
    QTest::addColumn<QStringList>("hits"); // none: the no-hit message and the whole list

    QTest::newRow("anywhere in the destination, any case")
        << "bach" << QStringList { "15.03.2006", "31.03.2006" };
    QTest::newRow("part of a date, and a destination holding it")
        << "03.2006" << QStringList { "02.01.2006", "01.03.2006", "15.03.2006", "31.03.2006" };
    QTest::newRow("empty term lists every trip in date order") << ""
        << QStringList { "02.01.2006", "01.03.2006", "15.03.2006", "31.03.2006", "10.11.2006", "05.03.2007" };
    QTest::newRow("apostrophe") << "O'Neill" << QStringList { "05.03.2007" };
    QTest::newRow("underscore is any one character") << "K_el" << QStringList { "10.11.2006" };
    QTest::newRow("percent is any run") << "Br%en" << QStringList { "01.03.2006" };
    QTest::newRow("no hit") << "Xyz" << QStringList();
    // An attempt to widen the statement stays part of the term.
    QTest::newRow("no hit, quote and condition") << "x' or ziel like '%" << QStringList();
}

void TestSearchCommands::search()
{
    QFETCH(QString, term);
    QFETCH(QStringList, hits);
    frm_odomira* w = open();
    QVERIFY(w);

    typeTerm(w, term);
    QTest::mouseClick(w->cmd_suche, Qt::LeftButton);

    QCOMPARE(w->txt_suche->text(), term);
    if (hits.isEmpty()) {
        QCOMPARE(m_messages.size(), 1);
        QCOMPARE(m_messages[0].text, "Es wurden keine Datensätze mit dem Suchbegriff " + term + " gefunden");
        QCOMPARE(m_messages[0].icon, QMessageBox::Critical);
        // Then the whole list, unsorted.
        QCOMPARE(w->buch->statement(), QStringLiteral("select *  from [fahrt]"));
        hits = storeOrder();
        QCOMPARE(m_logbook->scalar(QStringLiteral("select count(*) from fahrt")), QStringLiteral("6"));
    } else {
        QVERIFY(m_messages.isEmpty());
    }
    QCOMPARE(gridDates(w->DataGrid1), hits);
    QCOMPARE(w->txt_datum->text(), hits.first()); // the fields follow the first row
}

void TestSearchCommands::resetListsAllAndEmptiesTheBox()
{
    frm_odomira* w = open();
    QVERIFY(w);
    // Start-up lists by date; RESET gives the store's own order, which differs here.
    QVERIFY(gridDates(w->DataGrid1) != storeOrder());

    typeTerm(w, QStringLiteral("Kiel"));
    QTest::mouseClick(w->cmd_suche, Qt::LeftButton);
    QCOMPARE(gridDates(w->DataGrid1), QStringList { "10.11.2006" });

    QTest::mouseClick(w->cmd_alle, Qt::LeftButton);
    QCOMPARE(gridDates(w->DataGrid1), storeOrder());
    QCOMPARE(w->txt_datum->text(), storeOrder().first());
    QCOMPARE(w->txt_suche->text(), QString());
    QVERIFY(m_messages.isEmpty());
}

void TestSearchCommands::boxEmptiedOnEntry()
{
    frm_odomira* w = open();
    QVERIFY(w);

    // Clicking inside a term being typed erases it.
    typeTerm(w, QStringLiteral("Bre"));
    QTest::mouseClick(w->txt_suche, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(w->txt_suche->text(), QString());

    // Leaving the box keeps the term; coming back by keyboard empties it.
    QTest::keyClicks(w->txt_suche, QStringLiteral("Kiel"));
    w->cmd_suche->setFocus(Qt::TabFocusReason);
    QCOMPARE(w->txt_suche->text(), QStringLiteral("Kiel"));
    QTest::keyClick(w->cmd_suche, Qt::Key_Backtab, Qt::ShiftModifier);
    QVERIFY(w->txt_suche->hasFocus());
    QCOMPARE(w->txt_suche->text(), QString());
}

void TestSearchCommands::openTripIsLeftAlone_data()
{
    QTest::addColumn<bool>("newTrip");
    QTest::newRow("new trip") << true;
    QTest::newRow("editing") << false;
}

void TestSearchCommands::openTripIsLeftAlone()
{
    QFETCH(bool, newTrip);
    frm_odomira* w = open();
    QVERIFY(w);
    const QList<QStringList> before = m_logbook->query(QStringLiteral("select * from fahrt order by id"));

    // The trip entry open as NEU or BEARBEITEN leave it, half typed.
    if (newTrip) {
        WindowAccess::modus_neu(*w);
        QVERIFY(w->buch->addNew());
    } else {
        WindowAccess::modus_bearbeiten(*w);
    }
    WindowAccess::felder_freigeben(*w);
    const int row = w->buch->currentRow();
    w->txt_ziel->selectAll();
    QTest::keyClicks(w->txt_ziel, QStringLiteral("Halb getipp"));
    const QStringList listBefore = gridDates(w->DataGrid1);

    typeTerm(w, QStringLiteral("Kiel"));
    QTest::mouseClick(w->cmd_suche, Qt::LeftButton);
    QTest::mouseClick(w->cmd_alle, Qt::LeftButton);

    QCOMPARE(m_messages.size(), 2);
    for (const Message& message : m_messages) {
        QCOMPARE(message.text,
            QStringLiteral("Bitte schließen Sie zuerst die geöffnete Fahrt mit SPEICHERN oder ABBRECHEN."));
        QCOMPARE(message.icon, QMessageBox::Information);
    }
    // Nothing re-read, nothing written: the typed value is still pending on the same record.
    QCOMPARE(w->buch->statement(), QStringLiteral("select * from [fahrt] order by datum asc"));
    QCOMPARE(gridDates(w->DataGrid1), listBefore);
    QCOMPARE(w->buch->currentRow(), row);
    QCOMPARE(w->buch->isAdding(), newTrip);
    QCOMPARE(w->txt_ziel->text(), QStringLiteral("Halb getipp"));
    QCOMPARE(w->buch->field(QStringLiteral("ziel")), QStringLiteral("Halb getipp"));
    QCOMPARE(m_logbook->query(QStringLiteral("select * from fahrt order by id")), before);
    // RESET refused, so the term stays.
    QCOMPARE(w->txt_suche->text(), QStringLiteral("Kiel"));
}

void TestSearchCommands::storeFailureIsReported()
{
    frm_odomira* w = open();
    QVERIFY(w);
    const QStringList listBefore = gridDates(w->DataGrid1);
    QVERIFY(m_logbook->exec(QStringLiteral("alter table fahrt rename to fahrt_weg")));

    typeTerm(w, QStringLiteral("Kiel"));
    QTest::mouseClick(w->cmd_suche, Qt::LeftButton);
    QTest::mouseClick(w->cmd_alle, Qt::LeftButton);

    QCOMPARE(m_messages.size(), 2);
    for (const Message& message : m_messages) {
        QVERIFY(!message.text.isEmpty());
        QCOMPARE(message.icon, QMessageBox::Critical);
    }
    QCOMPARE(gridDates(w->DataGrid1), listBefore);
}

QTEST_MAIN(TestSearchCommands)
#include "test_search_commands.moc"
