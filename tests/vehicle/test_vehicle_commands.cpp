// The vehicle data through their real buttons: editing, a refused save, cancelling and saving
// the vehicle record, and the cost per day after each (the car cost's use of it at full
// precision is test_evaluation_commands').
#include "window/window_fixture.h"

#include <QAccessible>
#include <QLabel>
#include <QTabWidget>

using namespace odomira::test;
using odomira::frm_odomira;

namespace {

const QString Stored = QStringLiteral("select kennzeichen, verbrauch, steuer, versicherung from verbrauch");
const QList<QStringList> AsCreated = { { "HH-OM 42", "7.9", "250.00", "1201.45" } };

// "open" (fields take input, only SPEICHERN and ABBRECHEN usable), "locked" (the reverse)
// or the mix found, followed by the texts shown.
QStringList state(const WindowFixture& f)
{
    QStringList shown;
    QString access;
    for (const QLineEdit* field :
        { f.control<QLineEdit>("txt_kennzeichen"), f.control<QLineEdit>("txt_verbrauch"),
            f.control<QLineEdit>("txt_steuer"), f.control<QLineEdit>("txt_versicherung") }) {
        shown << field->text();
        access += field->isReadOnly() ? u'0' : u'1';
    }
    for (const QPushButton* button : { f.control<QPushButton>("cmd_sbearbeiten"),
             f.control<QPushButton>("cmd_sspeichern"), f.control<QPushButton>("cmd_sabbrechen") })
        access += button->isEnabled() ? u'1' : u'0';
    return QStringList(access == u"1111011" ? "open" : access == u"0000100" ? "locked" : access) + shown;
}

} // namespace

class TestVehicleCommands : public QObject {
    Q_OBJECT

private slots:
    void editCancelAndSave_data();
    void editCancelAndSave();
    void refusedSaveKeepsFieldsOpen_data();
    void refusedSaveKeepsFieldsOpen();
};

void TestVehicleCommands::editCancelAndSave_data()
{
    QTest::addColumn<QString>("steuer");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("label");
    addRow("whole euros", "365", "365", "1 €");
    addRow("grouped, blanks", " 1.095 ", "1095", "3 €");
    addRow("half-way to even", "0,01825", "0.01825", "0 €");
}

// Cancelled, the stored record and its cost per day show again and nothing is written; saved
// (insurance 0), the record is written in stored form and the cost per day recomputed.
void TestVehicleCommands::editCancelAndSave()
{
    QFETCH(QString, steuer);
    QFETCH(QString, stored);
    QFETCH(QString, label);
    WindowFixture f;
    QVERIFY(f.open());
    f.showTab(1);
    const QStringList shown = state(f);
    QCOMPARE(shown, QStringList({ "locked", "HH-OM 42", "7,9", "250", "1201,45" }));
    f.click("cmd_sbearbeiten");
    f.type("txt_verbrauch", QStringLiteral("5"));
    f.type("txt_steuer", QStringLiteral("100"));
    QCOMPARE(state(f), QStringList({ "open", "HH-OM 42", "5", "100", "1201,45" }));
    f.click("cmd_sabbrechen");
    QCOMPARE(state(f), shown);
    QCOMPARE(f.control<QLabel>("lbl_tag")->text(), QStringLiteral("3,9766 €"));
    QCOMPARE(f.logbook().query(Stored), AsCreated);

    f.click("cmd_sbearbeiten");
    for (const auto& [field, text] : { std::pair<QString, QString>("txt_kennzeichen", "HB-X 1"),
             { "txt_verbrauch", "6,5" }, { "txt_steuer", steuer }, { "txt_versicherung", "0" } })
        f.type(field, text);
    f.click("cmd_sspeichern");
    QVERIFY(f.messages.isEmpty());
    QCOMPARE(state(f).first(), QStringLiteral("locked"));
    QCOMPARE(f.logbook().query(Stored), QList<QStringList>({ { "HB-X 1", "6.5", stored, "0" } }));
    QCOMPARE(f.control<QLabel>("lbl_tag")->text(), label);
    // A screen reader reads the new value, not the one it found at start-up.
    QCOMPARE(QAccessible::queryAccessibleInterface(f.control("lbl_tag"))->text(QAccessible::Name), label);
}

void TestVehicleCommands::refusedSaveKeepsFieldsOpen_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("label"); // part of the message

    addRow("consumption empty", QString("txt_verbrauch"), QString(""), QString("„Verbrauch 100km“"));
    addRow("insurance", QString("txt_versicherung"), QString("1,2,3"), QString("„Versicherung“"));
    // The file itself refuses the plate (a trigger stands for any write the store refuses).
    addRow("refused by the file", QString("txt_kennzeichen"), QString("gesperrt"),
        QString("Kennzeichen gesperrt"));
}

// A refused save names the field, puts the cursor into it (the store's refusal names none),
// writes nothing and keeps the fields open as typed; ABBRECHEN then shows the stored record.
void TestVehicleCommands::refusedSaveKeepsFieldsOpen()
{
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, label);
    WindowFixture f;
    QVERIFY(f.open());
    QVERIFY(f.logbook().exec(QStringLiteral("create trigger refuse before update on verbrauch when "
                                            "new.kennzeichen = 'gesperrt' begin select raise(abort, "
                                            "'Kennzeichen gesperrt'); end")));
    f.showTab(1);
    f.click("cmd_sbearbeiten");
    auto* edit = f.control<QLineEdit>(field);
    f.type(edit, text);
    const QStringList typed = state(f);
    f.click("cmd_sspeichern");

    QCOMPARE(f.messages.size(), 1);
    QVERIFY2(f.messages[0].text.contains(label), qPrintable(f.messages[0].text));
    if (field != u"txt_kennzeichen")
        QVERIFY(QTest::qWaitFor([edit] { return edit->hasFocus(); }));
    QCOMPARE(state(f), typed);
    QCOMPARE(f.logbook().query(Stored), AsCreated);
    f.click("cmd_sabbrechen");
    QCOMPARE(state(f), QStringList({ "locked", "HH-OM 42", "7,9", "250", "1201,45" }));
}

QTEST_MAIN(TestVehicleCommands)
#include "test_vehicle_commands.moc"
