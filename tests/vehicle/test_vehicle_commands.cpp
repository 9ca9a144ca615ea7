// The vehicle data through their real buttons on a temporary logbook: editing, saving
// and cancelling the vehicle record, the cost per day after each, and refused saves.
#include "support/temp_logbook.h"
#include "vehicle/day_cost.h"
#include "window/frm_odomira.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>

#include <memory>

using odomira::frm_odomira;
using odomira::test::TempLogbook;
using odomira::test::VehicleRow;

namespace {

struct Message {
    QString text;
    QMessageBox::Icon icon;
};

void type(QLineEdit* field, const QString& text)
{
    field->setFocus();
    field->selectAll();
    if (text.isEmpty())
        QTest::keyClick(field, Qt::Key_Delete);
    else
        QTest::keyClicks(field, text);
}

void click(QWidget* widget)
{
    QTest::mouseClick(widget, Qt::LeftButton);
}

QList<QLineEdit*> vehicleFields(const frm_odomira* w)
{
    return { w->txt_kennzeichen, w->txt_verbrauch, w->txt_steuer, w->txt_versicherung };
}

QStringList texts(const frm_odomira* w)
{
    QStringList shown;
    for (const QLineEdit* field : vehicleFields(w))
        shown << field->text();
    return shown;
}

// "open" (fields take input, only SPEICHERN and ABBRECHEN), "locked" (the reverse) or "mixed".
QString state(const frm_odomira* w)
{
    int open = 0;
    for (const QLineEdit* field : vehicleFields(w))
        open += field->isReadOnly() ? 0 : 1;
    const bool buttonsOpen = !w->cmd_sbearbeiten->isEnabled() && w->cmd_sspeichern->isEnabled()
        && w->cmd_sabbrechen->isEnabled();
    const bool buttonsLocked = w->cmd_sbearbeiten->isEnabled() && !w->cmd_sspeichern->isEnabled()
        && !w->cmd_sabbrechen->isEnabled();
    if (open == 4 && buttonsOpen)
        return QStringLiteral("open");
    return open == 0 && buttonsLocked ? QStringLiteral("locked") : QStringLiteral("mixed");
}

const QString Stored = QStringLiteral("select kennzeichen, verbrauch, steuer, versicherung from verbrauch");

} // namespace

class TestVehicleCommands : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void editAndSave();
    void cancelRestoresStoredRecord();
    void refusedSaveKeepsFieldsOpen_data();
    void refusedSaveKeepsFieldsOpen();

private:
    frm_odomira* open();

    std::unique_ptr<TempLogbook> m_logbook;
    std::unique_ptr<frm_odomira> m_window;
    QList<Message> m_messages;
};

void TestVehicleCommands::init()
{
    m_messages.clear();
    m_logbook = std::make_unique<TempLogbook>();
    QVERIFY(m_logbook->isValid());
}

void TestVehicleCommands::cleanup()
{
    m_window.reset();
    m_logbook.reset();
}

frm_odomira* TestVehicleCommands::open()
{
    if (!m_logbook->createWithVehicle(VehicleRow()))
        return nullptr;
    m_window = std::make_unique<frm_odomira>(m_logbook->path());
    m_window->setMessageHook([this](const QString& text, QMessageBox::Icon icon) {
        m_messages.append({ text, icon });
    });
    QString error;
    if (!m_window->Form_Load(&error))
        return nullptr;
    m_window->show();
    if (!QTest::qWaitForWindowActive(m_window.get()))
        return nullptr;
    m_window->SSTab1->setCurrentIndex(1);
    return m_window.get();
}

void TestVehicleCommands::editAndSave()
{
    frm_odomira* w = open();
    QVERIFY(w);
    QCOMPARE(state(w), QStringLiteral("locked"));

    // Unchanged: the record stays as stored, the label is computed again.
    click(w->cmd_sbearbeiten);
    QCOMPARE(state(w), QStringLiteral("open"));
    w->lbl_tag->clear();
    click(w->cmd_sspeichern);
    QCOMPARE(state(w), QStringLiteral("locked"));
    QCOMPARE(w->lbl_tag->text(), QStringLiteral("3,9766 €"));
    QCOMPARE(m_logbook->query(Stored), QList<QStringList>({ { "HH-OM 42", "7.9", "250.00", "1201.45" } }));

    click(w->cmd_sbearbeiten);
    type(w->txt_kennzeichen, QStringLiteral("HB-X 1"));
    type(w->txt_verbrauch, QStringLiteral("6,5"));
    type(w->txt_steuer, QStringLiteral("365"));
    type(w->txt_versicherung, QStringLiteral("0"));
    click(w->cmd_sspeichern);

    QVERIFY(m_messages.isEmpty());
    QCOMPARE(state(w), QStringLiteral("locked"));
    QCOMPARE(m_logbook->query(Stored), QList<QStringList>({ { "HB-X 1", "6.5", "365", "0" } }));
    QCOMPARE(w->lbl_tag->text(), QStringLiteral("1 €"));
    QCOMPARE(w->tageskosten, *odomira::dayCost(QStringLiteral("365"), QStringLiteral("0")));
}

void TestVehicleCommands::cancelRestoresStoredRecord()
{
    frm_odomira* w = open();
    QVERIFY(w);
    const QStringList shown = texts(w);
    click(w->cmd_sbearbeiten);
    type(w->txt_verbrauch, QStringLiteral("5"));
    type(w->txt_steuer, QStringLiteral("100"));
    type(w->txt_versicherung, QStringLiteral("0"));
    click(w->cmd_sabbrechen);

    QCOMPARE(state(w), QStringLiteral("locked"));
    QCOMPARE(texts(w), shown);
    QCOMPARE(w->lbl_tag->text(), QStringLiteral("3,9766 €"));
    QCOMPARE(w->tageskosten, *odomira::dayCost(QStringLiteral("250,00"), QStringLiteral("1201,45")));

    // The cancelled values are never written later.
    click(w->cmd_sbearbeiten);
    click(w->cmd_sspeichern);
    QCOMPARE(m_logbook->query(Stored), QList<QStringList>({ { "HH-OM 42", "7.9", "250.00", "1201.45" } }));
    QVERIFY(m_messages.isEmpty());
}

void TestVehicleCommands::refusedSaveKeepsFieldsOpen_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("label");

    QTest::newRow("consumption") << "txt_verbrauch"
                                 << "sieben"
                                 << "„Verbrauch 100km“";
    QTest::newRow("no consumption") << "txt_verbrauch"
                                    << ""
                                    << "„Verbrauch 100km“";
    QTest::newRow("tax") << "txt_steuer"
                         << "250 EUR"
                         << "„Steuer“";
    QTest::newRow("no tax") << "txt_steuer"
                            << ""
                            << "„Steuer“";
    QTest::newRow("insurance") << "txt_versicherung"
                               << "1,2,3"
                               << "„Versicherung“";
}

void TestVehicleCommands::refusedSaveKeepsFieldsOpen()
{
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, label);

    frm_odomira* w = open();
    QVERIFY(w);
    click(w->cmd_sbearbeiten);
    type(w->txt_kennzeichen, QStringLiteral("HB-X 1"));
    type(w->findChild<QLineEdit*>(field), text);
    const QStringList typed = texts(w);
    click(w->cmd_sspeichern);

    QCOMPARE(m_messages.size(), 1);
    QVERIFY2(m_messages[0].text.contains(label), qPrintable(m_messages[0].text));
    QCOMPARE(m_logbook->query(Stored), QList<QStringList>({ { "HH-OM 42", "7.9", "250.00", "1201.45" } }));
    QCOMPARE(state(w), QStringLiteral("open"));
    QCOMPARE(texts(w), typed);
    QCOMPARE(w->lbl_tag->text(), QStringLiteral("3,9766 €"));
}

QTEST_MAIN(TestVehicleCommands)
#include "test_vehicle_commands.moc"
