// The change history through the real window: the chain over NEU, BEARBEITEN, LÖSCHEN and the
// vehicle's SPEICHERN and the protocol showing them, and a history that cannot be written.
#include "window/window_fixture.h"

#include "audit/history_protocol.h"
#include "audit/logbook_check.h"
#include "audit/logbook_reading.h"

#include <QRegularExpression>

using namespace odomira;
using namespace odomira::test;

namespace {

const TripRow Kiel = withKinds(
    { "05.03.2007", "Hamburg", "Kiel", "Kiel", "Kundentermin", "100", "200", "100", "1.2", "9.48" }, "100");

// Types into the fields named by "field text" pairs.
void type(WindowFixture& f, const QStringList& fieldsAndTexts)
{
    for (qsizetype i = 0; i + 1 < fieldsAndTexts.size(); i += 2)
        f.type(f.control<QLineEdit>(fieldsAndTexts[i]), fieldsAndTexts[i + 1]);
}

// The protocol with each entry's time written "ZEIT".
QStringList protocol(const TempLogbook& logbook)
{
    audit::ReadOnlyLogbook file;
    QString error;
    QStringList lines;
    bool hasHistory = false;
    if (!file.open(logbook.path(), &error)
        || !audit::writeProtocol(
            file.handle(), [&](const QString& line) { lines << line; }, &hasHistory, &error))
        return { error };
    static const QRegularExpression time(QStringLiteral("\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\dZ"));
    return lines.replaceInStrings(time, QStringLiteral("ZEIT"));
}

QStringList values(const QStringList& shown)
{
    const QStringList labels = { "Datum", "Von", "Bis", "Ziel", "Reisegrund", "Start km", "Ende km",
        "Summe km", "€/Liter", "Kosten €", "Geschäftlich", "Privat", "Weg zur Arbeit" };
    QStringList lines;
    for (int i = 0; i < labels.size(); ++i)
        lines << "    " + labels[i] + ": " + shown[i];
    return lines;
}

} // namespace

class TestHistoryWindow : public QObject {
    Q_OBJECT

private slots:
    void chainOverWindowActions()
    {
        WindowFixture f;
        QVERIFY(f.open({ Kiel }));
        auto* grid = f.control<QTableView>("DataGrid1");
        f.click("cmd_neu");
        type(f, { "txt_datum", "6.3.2007", "txt_ziel", "Stade", "txt_ende", "250", "txt_preis", "1,2" });
        f.click("cmb_speichern");
        f.clickGridRow(grid, 1);
        f.click("cmd_bearbeiten");
        type(f, { "txt_ziel", "Stade-Nord" });
        f.click("cmb_speichern");
        f.clickGridRow(grid, 0);
        f.click("cmd_bearbeiten");
        f.click("cmd_löschen");
        f.click("cmd_sbearbeiten");
        type(f, { "txt_steuer", "300" });
        f.click("cmd_sspeichern");
        QVERIFY2(f.messages.isEmpty(), qPrintable(f.messages.value(0).text));

        const QStringList expected = QStringList { "Nr. 1  ZEIT  Bestand  Fahrzeug „HH-OM 42“",
            "Nr. 2  ZEIT  Bestand  Fahrt vom 05.03.2007 (Kiel)",
            "Nr. 3  ZEIT  Neu  Fahrt vom 06.03.2007 (Stade)" }
            + values({ "06.03.2007", "(leer)", "(leer)", "„Stade“", "(leer)", "200", "250", "50", "1,2",
                "4,74", "nein", "nein", "nein" })
            + QStringList { "Nr. 4  ZEIT  Geändert  Fahrt vom 06.03.2007 (Stade-Nord)",
                  "    Ziel: „Stade“ → „Stade-Nord“", "Nr. 5  ZEIT  Gelöscht  Fahrt vom 05.03.2007 (Kiel)" }
            + values({ "05.03.2007", "„Hamburg“", "„Kiel“", "„Kiel“", "„Kundentermin“", "100", "200", "100",
                "1,2", "9,48", "ja", "nein", "nein" })
            + QStringList { "Nr. 6  ZEIT  Geändert  Fahrzeug „HH-OM 42“", "    Steuer: 250 → 300" };
        QCOMPARE(protocol(f.logbook()), expected);

        audit::ReadOnlyLogbook file;
        audit::CheckResult result;
        QString error;
        QVERIFY(file.open(f.logbook().path(), &error) && audit::checkLogbook(file.handle(), &result, &error));
        QCOMPARE(result.findings, QStringList());
        QCOMPARE(audit::checkSummary(result),
            "Geprüft: 1 Fahrt, 6 Einträge der Änderungshistorie; keine Befunde.");
    }

    void historyThatCannotBeWritten_data()
    {
        QTest::addColumn<QString>("command"); // opening the entry; then SPEICHERN, or LÖSCHEN
        QTest::addColumn<QString>("message"); // its beginning
        const QString notSaved
            = "Der Datensatz wurde nicht gespeichert: der Eintrag in die Änderungshistorie";
        addRow("new trip", QString("cmd_neu"), notSaved);
        addRow("edited trip", QString("cmd_bearbeiten"), notSaved);
        addRow("deleted trip", QString("cmd_löschen"),
            QString("Der Datensatz wurde nicht gelöscht: der Eintrag in die Änderungshistorie"));
    }

    // The history table made unwritable behind the window's back: neither a save nor a delete
    // writes anything, the message says so, and the entry stays open with what was typed.
    void historyThatCannotBeWritten()
    {
        QFETCH(QString, command);
        QFETCH(QString, message);
        WindowFixture f;
        QVERIFY(f.open({ Kiel }));
        QVERIFY(f.logbook().exec(
            "create trigger voll before insert on historie begin select raise(abort, 'voll'); end"));
        const auto state = [&] {
            return f.logbook().query("select * from fahrt") + f.logbook().query("select nr from historie");
        };
        const QList<QStringList> before = state();

        f.click(command == u"cmd_neu" ? command : QStringLiteral("cmd_bearbeiten"));
        type(f, { "txt_datum", "6.3.2007", "txt_ziel", "Lübeck" });
        f.click(command == u"cmd_löschen" ? command : QStringLiteral("cmb_speichern"));
        QCOMPARE(f.messages.size(), 1);
        QVERIFY2(f.messages[0].text.startsWith(message) && f.messages[0].text.contains("voll"),
            qPrintable(f.messages[0].text));
        QCOMPARE(f.messages[0].icon, QMessageBox::Critical);
        QCOMPARE(f.control<QLineEdit>("txt_ziel")->text(), "Lübeck");
        QVERIFY(!f.control<QLineEdit>("txt_ziel")->isReadOnly());
        QCOMPARE(state(), before);
    }
};

QTEST_MAIN(TestHistoryWindow)
#include "test_history_window.moc"
