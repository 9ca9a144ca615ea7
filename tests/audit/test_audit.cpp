// The check of a logbook (each kind of tampering, the odometer), the year's trips as CSV, and
// the change history through the real window: the chain over NEU, BEARBEITEN, LÖSCHEN and the
// vehicle's SPEICHERN, and the protocol showing them.
#include "window/window_fixture.h"

#include "audit/history_protocol.h"
#include "audit/logbook_check.h"
#include "audit/logbook_reading.h"
#include "audit/trip_csv.h"
#include "store/data_source.h"

#include <QRegularExpression>

using namespace odomira;
using namespace odomira::test;

namespace {

QStringList findingsOf(const TempLogbook& logbook)
{
    audit::ReadOnlyLogbook file;
    QString error;
    audit::CheckResult result;
    if (!file.open(logbook.path(), &error) || !audit::checkLogbook(file.handle(), &result, &error))
        return { "Fehler: " + error };
    return result.findings;
}

const TripRow Kiel = withKinds(
    { "05.03.2007", "Hamburg", "Kiel", "Kiel", "Kundentermin", "100", "200", "100", "1.2", "9.48" }, "100");

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

class TestAudit : public QObject {
    Q_OBJECT

private slots:
    // Tampering: `setup` is plain SQL on a logbook of three trips (ids 1-3) with a clean history
    // (entries 1-4: the vehicle, then the trips); "edit" then saves a trip through a data source.
    // The odometer: trips in insertion order as "datum ziel start end" ("-" for no reading).
    void findings_data()
    {
        QTest::addColumn<QStringList>("trips");
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QStringList>("expected");
        const QString stade = "Fahrt vom 06.03.2007 (Stade)";
        const QString changed = ": außerhalb von Odomira geändert: ";
        const QString added = " steht nicht in der Änderungshistorie: außerhalb von Odomira angelegt.";
        const QStringList three
            = { "05.03.2007 Kiel 100 200", "06.03.2007 Stade 200 250", "07.03.2007 Lübeck 250 300" };
        const auto row = [three](const char* name, const QString& setup, const QStringList& expected) {
            addRow(name, three, setup, expected);
        };
        const auto odometer = [](const char* name, const QStringList& trips, const QStringList& expected) {
            addRow(name, trips, QString(), expected);
        };

        row("value changed", "update fahrt set ziel = 'Bremen' where id = 2",
            { stade + changed + "„Ziel“ ist „Bremen“, laut Änderungshistorie „Stade“." });
        row("reading changed", "update fahrt set endstand = '260' where id = 2",
            { stade + changed + "„Ende km“ ist 260, laut Änderungshistorie 250.",
                "Überschneidung von 10 km: " + stade
                    + " endet bei 260 km, Fahrt vom 07.03.2007 (Lübeck) beginnt schon bei 250 km." });
        row("trip deleted", "delete from fahrt where id = 2",
            { stade + " fehlt, laut Änderungshistorie nie gelöscht: außerhalb von Odomira gelöscht.",
                "Lücke von 50 km: Fahrt vom 05.03.2007 (Kiel) endet bei 200 km, Fahrt vom 07.03.2007 "
                "(Lübeck) "
                "beginnt erst bei 250 km." });
        row("trip added",
            "insert into fahrt (datum, ziel, anfangsstand, endstand) values ('08.03.2007', 'Celle', '300', "
            "'400')",
            { "Fahrt vom 08.03.2007 (Celle)" + added });
        row("vehicle changed", "update verbrauch set steuer = '99'",
            { "Fahrzeug „HH-OM 42“" + changed + "„Steuer“ ist 99, laut Änderungshistorie 250." });
        row("history row changed",
            "drop trigger historie_nicht_aendern; "
            "update historie set nachher = replace(nachher, 'Stade', 'Bremen') where nr = 3",
            { "Änderungshistorie: Eintrag Nr. 3 passt nicht zu seiner Prüfsumme; er oder der Eintrag vor ihm "
              "wurde nachträglich verändert.",
                "Fahrt vom 06.03.2007 (Bremen)" + changed
                    + "„Ziel“ ist „Stade“, laut Änderungshistorie „Bremen“." });
        row("history row removed", "drop trigger historie_nicht_loeschen; delete from historie where nr = 3",
            { "Änderungshistorie: Eintrag Nr. 3 fehlt.", stade + added });
        row("changed, then edited in Odomira", "update fahrt set ziel = 'Bremen' where id = 2; edit",
            { stade
                + ": vor Eintrag Nr. 5 außerhalb von Odomira geändert: „Ziel“ ist „Bremen“, laut "
                  "Änderungshistorie "
                  "„Stade“." });
        row("history dropped", "drop table historie",
            { "Das Fahrtenbuch hat keine Änderungshistorie: Änderungen an Fahrten lassen sich nicht "
              "nachweisen." });
        // Gaps and overlaps between trips inserted out of date order are among the tampering rows.
        odometer("date order, ties by start reading",
            { "01.01.2007 A 100 150", "03.01.2007 C 170 180", "02.01.2007 B 150 170", "04.01.2007 E 190 200",
                "04.01.2007 D 180 190", "05.01.2007 F 200,5 210" },
            { "Lücke von 0,5 km: Fahrt vom 04.01.2007 (E) endet bei 200 km, Fahrt vom 05.01.2007 (F) beginnt "
              "erst "
              "bei 200,5 km." });
        odometer("end below start", { "01.01.2007 A 100 150", "02.01.2007 B 150 120" },
            { "Fahrt vom 02.01.2007 (B) endet bei 120 km, unter ihrem Anfangsstand von 150 km." });
        odometer("without readings",
            { "01.01.2007 A 100 150", "02.01.2007 B - -", "03.01.2007 C - 200", "04.01.2007 D 200 -" },
            { "Fahrt vom 02.01.2007 (B) hat keine Kilometerstände.",
                "Fahrt vom 03.01.2007 (C) hat keinen Anfangsstand (Start km).",
                "Fahrt vom 04.01.2007 (D) hat keinen Endstand (Ende km)." });
        odometer("reading no number", { "01.01.2007 A 100 150", "02.01.2007 B 150 1x0" },
            { "Fahrt vom 02.01.2007 (B): Ende km „1x0“ ist keine Zahl." });
    }

    void findings()
    {
        QFETCH(QStringList, trips);
        QFETCH(QString, setup);
        QFETCH(QStringList, expected);
        TempLogbook logbook;
        QVERIFY(logbook.createWithVehicle({}, tripsWithReadings(trips)) && logbook.addHistory());
        QString sql = setup;
        const bool edit = sql.endsWith("; edit");
        sql.remove("; edit");
        if (!sql.isEmpty())
            QVERIFY(logbook.exec(sql));
        if (edit) {
            DataSource buch("buch");
            QVERIFY(logbook.load(buch, "select * from fahrt where id = 2"));
            QVERIFY(buch.setField("bemerkung", "Kundentermin") && buch.update());
        }
        QCOMPARE(findingsOf(logbook), expected);
    }

    void csvBytes()
    {
        // Texts a spreadsheet would take for formulas, separators, quotes and line breaks; trips of
        // another year; two on one day.
        const QList<TripRow> trips = {
            withKinds({ "05.03.2007", "Hamburg-Eimsbüttel", "Köln; Innenstadt", "Büro \"Nord\"", "=SUMME(A1)",
                          "100", "200.5", "100.5", "1.339", "10.6315" },
                "100"),
            withKinds({ "01.02.2007", "-Start", "+Ziel", "@home", "Zeile 1\nZeile 2" }, "011"),
            { "05.03.2007", "Hamburg", "Kiel", "Ärztehaus", "=1+1; \"a\"", "50", "60" },
            { .datum = "31.12.2006", .ziel = "Silvester", .anfangsstand = "40", .endstand = "50" },
        };
        TempLogbook logbook;
        QVERIFY(logbook.createWithVehicle({}, trips));
        audit::ReadOnlyLogbook file;
        QString error;
        QByteArray csv;
        QVERIFY2(file.open(logbook.path(), &error) && audit::tripsCsv(file.handle(), 2007, &csv, &error),
            qPrintable(error));
        const QByteArray expected
            = "\xef\xbb\xbf"
              "Datum;Von;Bis;Ziel;Reisegrund;Start km;Ende km;Summe km;\xe2\x82\xac/Liter;"
              "Kosten \xe2\x82\xac;Art\r\n"
              "01.02.2007;'-Start;'+Ziel;'@home;\"Zeile 1\nZeile 2\";;;;;;Privat, Weg zur Arbeit\r\n"
              "05.03.2007;Hamburg;Kiel;\xc3\x84rztehaus;\"'=1+1; \"\"a\"\"\";50;60;;;;\r\n"
              "05.03.2007;Hamburg-Eimsb\xc3\xbcttel;\"K\xc3\xb6ln; Innenstadt\";\"B\xc3\xbcro "
              "\"\"Nord\"\"\";'=SUMME(A1);100;200,5;100,5;1,339;10,6315;Gesch\xc3\xa4"
              "ftlich\r\n";
        QCOMPARE(csv, expected);
    }

    void chainOverWindowActions()
    {
        WindowFixture f;
        QVERIFY(f.open({ Kiel }));
        auto* grid = f.control<QTableView>("DataGrid1");
        f.click("cmd_neu");
        f.type("txt_datum", "6.3.2007");
        f.type("txt_ziel", "Stade");
        f.type("txt_ende", "250");
        f.type("txt_preis", "1,2");
        f.click("cmb_speichern");
        f.clickGridRow(grid, 1);
        f.click("cmd_bearbeiten");
        f.type("txt_ziel", "Stade-Nord");
        f.click("cmb_speichern");
        // Saved again unchanged: no entry.
        f.click("cmd_bearbeiten");
        f.click("cmb_speichern");
        f.clickGridRow(grid, 0);
        f.click("cmd_bearbeiten");
        f.click("cmd_löschen");
        f.click("cmd_sbearbeiten");
        f.type("txt_steuer", "300");
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
};

QTEST_MAIN(TestAudit)
#include "test_audit.moc"
