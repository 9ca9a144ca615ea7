// The window when another program uses the logbook, and texts longer than Qt's default
// limit of a line edit: nothing typed is lost, nothing is cut, the entry stays open.
#include "window/window_fixture.h"

#include "support/other_program.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QTabWidget>

using namespace odomira::test;

namespace {

const QString Busy
    = QStringLiteral("Ein anderes Programm verwendet das Fahrtenbuch gerade; es ging nichts verloren.");

QList<TripRow> trips()
{
    return { { .datum = "02.03.2006",
                 .von = "Hamburg",
                 .bis = "Kiel",
                 .ziel = "Kiel",
                 .anfangsstand = "1000",
                 .endstand = "1095",
                 .gesamt = "95",
                 .preisliter = "1.189",
                 .kosten = "8.9235" },
        { .datum = "05.03.2006", .ziel = "Lübeck", .gesamt = "68" } };
}

QString storedZiele(WindowFixture& f)
{
    QStringList ziele;
    for (const QStringList& row : f.logbook().query("select ziel from fahrt order by id"))
        ziele << row.join(u'|');
    return ziele.join(u',');
}

// Pastes text into a field as Ctrl+V does: through the edit's own insert, which honours its limit.
void paste(QLineEdit* field, const QString& text)
{
    field->setFocus();
    field->selectAll();
    field->insert(text);
}

} // namespace

class TestConcurrentUse : public QObject {
    Q_OBJECT

private slots:
    void commandWhileLocked_data();
    void commandWhileLocked();
    void startupWhileLocked();
    void saveOverAChangedTripRefused();
    void longTextsKeptWhole();
};

void TestConcurrentUse::commandWhileLocked_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("what");
    QTest::addColumn<QString>("buttons"); // NEU, BEARBEITEN, SPEICHERN, ABBRECHEN, LÖSCHEN afterwards
    QTest::newRow("new trip saved") << "neu"
                                    << "Der Datensatz wurde nicht gespeichert."
                                    << "00110";
    QTest::newRow("edited trip saved") << "bearbeiten"
                                       << "Der Datensatz wurde nicht gespeichert."
                                       << "00111";
    QTest::newRow("deleted") << "loeschen"
                             << "Der Datensatz wurde nicht gelöscht."
                             << "00111";
    QTest::newRow("searched") << "suche"
                              << "Die Abfrage wurde nicht ausgeführt."
                              << "11000";
}

// One German message after a bounded wait; the open entry stays open with what was typed, and
// the same command works once the other program lets go.
void TestConcurrentUse::commandWhileLocked()
{
    QFETCH(QString, command);
    QFETCH(QString, what);
    QFETCH(QString, buttons);
    WindowFixture f;
    QVERIFY(f.open(trips()));
    auto* ziel = f.control<QLineEdit>("txt_ziel");
    if (command == u"neu") {
        WindowFixture::click(f.control<QPushButton>("cmd_neu"));
        WindowFixture::type(f.control<QLineEdit>("txt_datum"), "07.03.2006");
        WindowFixture::type(ziel, "Sylt");
    } else if (command != u"suche") {
        WindowFixture::click(f.control<QPushButton>("cmd_bearbeiten"));
        WindowFixture::type(ziel, "Sylt");
    } else {
        WindowFixture::click(f.control<QLineEdit>("txt_suche"));
        QTest::keyClicks(f.control<QLineEdit>("txt_suche"), "Kiel");
    }
    const QString button = command == u"loeschen" ? "cmd_löschen"
        : command == u"suche"                     ? "cmd_suche"
                                                  : "cmb_speichern";
    const QString before = storedZiele(f);

    OtherProgram other(f.logbook().path());
    QVERIFY(other.lock());
    QElapsedTimer clock;
    clock.start();
    WindowFixture::click(f.control<QPushButton>(button));
    QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));

    QCOMPARE(f.messages.size(), 1);
    QVERIFY2(f.messages[0].text.startsWith(what + ' ' + Busy), qPrintable(f.messages[0].text));
    QCOMPARE(f.messages[0].icon, QMessageBox::Critical);
    QCOMPARE(f.tripButtons(), buttons);
    if (command != u"suche")
        QCOMPARE(ziel->text(), QStringLiteral("Sylt"));
    QVERIFY(other.release());
    QCOMPARE(storedZiele(f), before);

    f.messages.clear();
    WindowFixture::click(f.control<QPushButton>(button));
    QCOMPARE(f.messages.size(), 0);
    if (command == u"neu")
        QCOMPARE(storedZiele(f), "Kiel,Lübeck,Sylt");
    else if (command == u"bearbeiten")
        QCOMPARE(storedZiele(f), "Sylt,Lübeck");
    else if (command == u"loeschen")
        QCOMPARE(storedZiele(f), "Lübeck");
    else
        QCOMPARE(WindowFixture::gridColumn(f.control<QTableView>("DataGrid1"), 3), QStringList { "Kiel" });
}

// Start-up gives up after one bounded wait, not one per data source, and says why in German.
void TestConcurrentUse::startupWhileLocked()
{
    WindowFixture f;
    QVERIFY(f.logbook().createWithVehicle({}, trips()));
    OtherProgram other(f.logbook().path());
    QVERIFY(other.lock());
    QElapsedTimer clock;
    clock.start();
    QString error;
    QVERIFY(!f.start(&error));
    QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
    QVERIFY2(error.startsWith(
                 QStringLiteral("Das Fahrtenbuch „%1“ kann nicht geöffnet werden. ").arg(f.logbook().path())
                 + Busy),
        qPrintable(error));
    QVERIFY(other.release());
}

// Another program changed the trip after the window read it: the save is refused, the entry
// stays open with what was typed, and the other program's change stays.
void TestConcurrentUse::saveOverAChangedTripRefused()
{
    WindowFixture f;
    QVERIFY(f.open(trips()));
    WindowFixture::click(f.control<QPushButton>("cmd_bearbeiten"));
    WindowFixture::type(f.control<QLineEdit>("txt_bemerkung"), "Kundenbesuch");
    OtherProgram other(f.logbook().path());
    QVERIFY(other.exec("update fahrt set ziel = 'Flensburg' where id = 1"));

    WindowFixture::click(f.control<QPushButton>("cmb_speichern"));
    QCOMPARE(f.messages.size(), 1);
    QVERIFY2(f.messages[0].text.startsWith(
                 "Der Datensatz wurde nicht gespeichert: er wurde in der Tabelle „fahrt“ "
                 "geändert, seit er gelesen wurde"),
        qPrintable(f.messages[0].text));
    QCOMPARE(f.tripButtons(), QStringLiteral("00111"));
    QCOMPARE(f.control<QLineEdit>("txt_bemerkung")->text(), QStringLiteral("Kundenbesuch"));
    QCOMPARE(storedZiele(f), "Flensburg,Lübeck");
    QCOMPARE(f.logbook().scalar("select count(*) from fahrt where bemerkung is not null"), "0");
}

// Past Qt's default of 32,767 characters a line edit cut texts silently: a pasted destination
// and a stored remark both stay whole, in the field and in the file.
void TestConcurrentUse::longTextsKeptWhole()
{
    const QString remark = QString(40000, u'b') + QStringLiteral("Ende");
    QList<TripRow> rows = trips();
    rows[1].bemerkung = remark;
    WindowFixture f;
    QVERIFY(f.open(rows));
    WindowFixture::clickGridRow(f.control<QTableView>("DataGrid1"), 1);
    QCOMPARE(f.control<QLineEdit>("txt_bemerkung")->text(), remark);

    const QString ziel = QStringLiteral("Ziel ") + QString(39000, u'z') + QStringLiteral("Ende");
    WindowFixture::click(f.control<QPushButton>("cmd_bearbeiten"));
    paste(f.control<QLineEdit>("txt_ziel"), ziel);
    WindowFixture::click(f.control<QPushButton>("cmb_speichern"));
    QCOMPARE(f.messages.size(), 0);
    QCOMPARE(f.logbook().scalar("select ziel from fahrt where id = 2"), ziel);
    QCOMPARE(f.logbook().scalar("select bemerkung from fahrt where id = 2"), remark);

    // A search term is not cut either.
    auto* suche = f.control<QLineEdit>("txt_suche");
    paste(suche, ziel);
    QCOMPARE(suche->text(), ziel);
}

QTEST_MAIN(TestConcurrentUse)
#include "test_concurrent_use.moc"
