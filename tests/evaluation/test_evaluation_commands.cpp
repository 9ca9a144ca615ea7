// The month and kind evaluations in the window, clicked on a temporary logbook.
#include "store/data_source.h"
#include "support/temp_logbook.h"
#include "window/frm_odomira.h"

#include <QAbstractItemModel>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
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

const QString EmptyPeriod = QStringLiteral("Für diesen Zeitraum sind keine Daten vorhanden !");
const QString MonthHeading = QStringLiteral("Komplette Übersicht aller Fahrten");

// Flags in the order business, private, way to work.
TripRow trip(const char* datum, const char* gesamt, const char* kosten, const char* flags = "000")
{
    auto flag = [flags](int i) { return flags[i] == '1' ? QStringLiteral("-1") : QStringLiteral("0"); };
    TripRow row;
    row.datum = QString::fromLatin1(datum);
    row.gesamt = QString::fromLatin1(gesamt);
    row.kosten = QString::fromLatin1(kosten);
    row.geschaeftl = flag(0);
    row.privat = flag(1);
    row.zurarbeit = flag(2);
    return row;
}

// March 2006 holds five trips, written out of calendar order: one flagged business and
// private, one without kilometres, one without cost, and one without any flag.
QList<TripRow> trips()
{
    return {
        trip("22.03.2006", "44", "4.1247", "100"),
        trip("01.03.2006", "120", "11.2513", "100"),
        trip("31.03.2006", "10", "", "001"),
        trip("28.02.2006", "999", "99", "100"),
        trip("09.03.2006", "35.5", "3.3281", "110"),
        trip("03.03.2007", "70", "7", "100"),
        trip("15.03.2006", "", "3.1", "000"),
        trip("01.04.2006", "5", "1", "000"),
    };
}

const QStringList March2006 = { "01.03.2006", "09.03.2006", "15.03.2006", "22.03.2006", "31.03.2006" };

QStringList gridDates(const QTableView* grid)
{
    QStringList dates;
    const QAbstractItemModel* model = grid->model();
    for (int row = 0; row < model->rowCount(); ++row)
        dates << model->index(row, 0).data().toString();
    return dates;
}

// Picks a listed month or year as from the drop-down list; types any other text.
void choose(QComboBox* box, const QString& text)
{
    const int index = box->findText(text, Qt::MatchExactly);
    if (index >= 0) {
        box->setCurrentIndex(index);
        return;
    }
    box->lineEdit()->clear();
    for (const QChar c : text) // keyClicks takes Latin-1 letters only
        QTest::sendKeyEvent(QTest::Click, box->lineEdit(), Qt::Key_unknown, QString(c), Qt::NoModifier);
    QCOMPARE(box->currentText(), text);
}

} // namespace

class TestEvaluationCommands : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void monthInCalendarOrderWithSumsAndCarCost();
    void emptyPeriodKeepsTabAndResults_data();
    void emptyPeriodKeepsTabAndResults();
    void noMonthNamedCoversTheYear();
    void kind_data();
    void kind();
    void storeFailureIsReported();

private:
    frm_odomira* open();
    // Month and year chosen or typed (a null text leaves a box as it is), then the button clicked,
    // from the tab "Auswertung".
    void evaluate(frm_odomira* w, QPushButton* button, const QString& month, const QString& year);

    std::unique_ptr<TempLogbook> m_logbook;
    std::unique_ptr<frm_odomira> m_window;
    QList<Message> m_messages;
};

void TestEvaluationCommands::init()
{
    m_messages.clear();
    m_logbook = std::make_unique<TempLogbook>();
    QVERIFY(m_logbook->isValid());
    QVERIFY(m_logbook->createWithVehicle(VehicleRow(), trips())); // 250,00 and 1201,45
}

void TestEvaluationCommands::cleanup()
{
    m_window.reset();
    m_logbook.reset();
}

frm_odomira* TestEvaluationCommands::open()
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

void TestEvaluationCommands::evaluate(
    frm_odomira* w, QPushButton* button, const QString& month, const QString& year)
{
    w->SSTab1->setCurrentIndex(1);
    if (!month.isNull())
        choose(w->cmb_monat, month);
    if (!year.isNull())
        choose(w->cmb_jahr, year);
    QTest::mouseClick(button, Qt::LeftButton);
}

void TestEvaluationCommands::monthInCalendarOrderWithSumsAndCarCost()
{
    frm_odomira* w = open();
    QVERIFY(w);

    evaluate(w, w->cmd_ausohne, QStringLiteral("März"), QStringLiteral("2006"));

    QVERIFY(m_messages.isEmpty());
    QCOMPARE(w->SSTab1->currentIndex(), 2);
    // Every trip of the month, the doubly flagged one included, day 01 to 31.
    QCOMPARE(gridDates(w->DataGrid2), March2006);
    QCOMPARE(w->auswertung_titel, MonthHeading);
    QCOMPARE(w->fahrten_anzahl, 5);
    // A trip without kilometres or cost counts in the list and the car cost, not in the sums.
    QCOMPARE(w->txt_summekm->text(), QStringLiteral("209,5"));
    QCOMPARE(w->Text1->text(), QStringLiteral("21,8041"));
    QCOMPARE(w->txt_sauto->text(), QStringLiteral("19,8829"));

    // A sum field changed by code leaves nothing pending that could be saved or shown.
    w->Text1->setText(QStringLiteral("1"));
    QVERIFY(!w->Auswertung1->hasPendingChanges());

    // One trip: the car cost of one day.
    evaluate(w, w->cmd_ausohne, QStringLiteral("April"), QStringLiteral("2006"));
    QCOMPARE(gridDates(w->DataGrid2), QStringList { "01.04.2006" });
    QCOMPARE(w->txt_summekm->text(), QStringLiteral("5"));
    QCOMPARE(w->Text1->text(), QStringLiteral("1"));
    QCOMPARE(w->txt_sauto->text(), QStringLiteral("3,9766"));
}

void TestEvaluationCommands::emptyPeriodKeepsTabAndResults_data()
{
    QTest::addColumn<QString>("month");
    QTest::addColumn<QString>("year");
    QTest::addColumn<bool>("byKind");

    QTest::newRow("month without trips") << "Mai" << "2006" << false;
    QTest::newRow("kind without trips") << "Mai" << "2006" << true;
    QTest::newRow("year box showing its prompt") << "März" << "... Jahr wählen" << false;
    // The doubled apostrophe keeps the statement whole; the year simply matches nothing.
    QTest::newRow("apostrophe in the year") << "März" << "20'06" << false;
    QTest::newRow("apostrophe in the year, by kind") << "März" << "20'06" << true;
}

void TestEvaluationCommands::emptyPeriodKeepsTabAndResults()
{
    QFETCH(QString, month);
    QFETCH(QString, year);
    QFETCH(bool, byKind);
    frm_odomira* w = open();
    QVERIFY(w);
    evaluate(w, w->cmd_ausohne, QStringLiteral("März"), QStringLiteral("2006"));
    QCOMPARE(w->fahrten_anzahl, 5);

    evaluate(w, byKind ? w->cmd_auswerten : w->cmd_ausohne, month, year);

    QCOMPARE(m_messages.size(), 1);
    QCOMPARE(m_messages[0].text, EmptyPeriod);
    QCOMPARE(m_messages[0].icon, QMessageBox::Critical);
    QCOMPARE(w->SSTab1->currentIndex(), 1);
    // Count and car cost are those of the last evaluation that found trips ...
    QCOMPARE(w->fahrten_anzahl, 5);
    QCOMPARE(w->txt_sauto->text(), QStringLiteral("19,8829"));
    // ... while list and sums are the new, empty ones.
    QCOMPARE(w->DataGrid2->model()->rowCount(), 0);
    QCOMPARE(w->txt_summekm->text(), QString());
    QCOMPARE(w->Text1->text(), QString());
    QCOMPARE(m_logbook->scalar(QStringLiteral("select count(*) from fahrt")), QStringLiteral("8"));
}

void TestEvaluationCommands::noMonthNamedCoversTheYear()
{
    frm_odomira* w = open();
    QVERIFY(w);

    // The month box still shows its prompt: the period is the year alone.
    evaluate(w, w->cmd_ausohne, QString(), QStringLiteral("2006"));

    QVERIFY(m_messages.isEmpty());
    QCOMPARE(w->monat_teil, QString());
    QCOMPARE(gridDates(w->DataGrid2), QStringList { "28.02.2006" } + March2006 + QStringList { "01.04.2006" });
    QCOMPARE(w->txt_summekm->text(), QStringLiteral("1213,5"));
    QCOMPARE(w->fahrten_anzahl, 7);
}

void TestEvaluationCommands::kind_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QStringList>("dates");
    QTest::addColumn<QString>("heading");
    QTest::addColumn<QList<qint16>>("criteria");
    QTest::addColumn<QString>("km");
    QTest::addColumn<QString>("cost");

    // The trip flagged business and private belongs to no kind.
    QTest::newRow("business") << "aus_gesch" << QStringList { "01.03.2006", "22.03.2006" }
                              << "Geschäftliche Fahrten" << QList<qint16> { -1, 0, 0 } << "164"
                              << "15,376";
    QTest::newRow("private") << "aus_priv" << QStringList() << "Private Fahrten"
                             << QList<qint16> { 0, -1, 0 } << "" << "";
    QTest::newRow("way to work") << "aus_weg" << QStringList { "31.03.2006" }
                                 << "Fahrten zur Arbeitsstelle" << QList<qint16> { 0, 0, -1 } << "10" << "";
    // No option: exactly the trips without any flag, under the previous heading.
    QTest::newRow("none") << "" << QStringList { "15.03.2006" } << MonthHeading << QList<qint16> { 0, 0, 0 }
                          << "" << "3,1";
}

void TestEvaluationCommands::kind()
{
    QFETCH(QString, option);
    QFETCH(QStringList, dates);
    QFETCH(QString, heading);
    QFETCH(QList<qint16>, criteria);
    QFETCH(QString, km);
    QFETCH(QString, cost);
    frm_odomira* w = open();
    QVERIFY(w);
    evaluate(w, w->cmd_ausohne, QStringLiteral("März"), QStringLiteral("2006"));
    QVERIFY(m_messages.isEmpty());

    w->SSTab1->setCurrentIndex(1);
    if (!option.isEmpty())
        QTest::mouseClick(w->findChild<QRadioButton*>(option), Qt::LeftButton);
    QTest::mouseClick(w->cmd_auswerten, Qt::LeftButton);

    QCOMPARE(w->auswertung_titel, heading);
    QCOMPARE((QList<qint16> { w->krit_geschaeftl, w->krit_privat, w->krit_zurarbeit }), criteria);
    QCOMPARE(gridDates(w->DataGrid2), dates);
    QCOMPARE(w->txt_summekm->text(), km);
    QCOMPARE(w->Text1->text(), cost);
    if (dates.isEmpty()) {
        QCOMPARE(m_messages.size(), 1);
        QCOMPARE(m_messages[0].text, EmptyPeriod);
        QCOMPARE(w->SSTab1->currentIndex(), 1);
    } else {
        QVERIFY(m_messages.isEmpty());
        QCOMPARE(w->SSTab1->currentIndex(), 2);
        QCOMPARE(w->fahrten_anzahl, dates.size());
    }
}

void TestEvaluationCommands::storeFailureIsReported()
{
    frm_odomira* w = open();
    QVERIFY(w);
    evaluate(w, w->cmd_ausohne, QStringLiteral("März"), QStringLiteral("2006"));
    QVERIFY(m_messages.isEmpty());
    QVERIFY(m_logbook->exec(QStringLiteral("alter table fahrt rename to fahrt_weg")));

    evaluate(w, w->cmd_auswerten, QString(), QString());

    QCOMPARE(m_messages.size(), 1);
    QVERIFY(!m_messages[0].text.isEmpty());
    QVERIFY(m_messages[0].text != EmptyPeriod);
    QCOMPARE(m_messages[0].icon, QMessageBox::Critical);
    QCOMPARE(w->SSTab1->currentIndex(), 1);
    QCOMPARE(gridDates(w->DataGrid2), March2006);
}

QTEST_MAIN(TestEvaluationCommands)
#include "test_evaluation_commands.moc"
