// The check of a logbook (each kind of tampering, the odometer) and the year's trips as CSV.
#include "audit/logbook_check.h"
#include "audit/logbook_reading.h"
#include "audit/trip_csv.h"
#include "store/data_source.h"
#include "support/temp_logbook.h"

#include <QtTest>

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
            { "01.01.2007 A 100 150", "02.01.2007 B - -", "03.01.2007 C 170 180", "04.01.2007 D - 200",
                "05.01.2007 E 200 -" },
            { "Fahrt vom 02.01.2007 (B) hat keine Kilometerstände.",
                "Fahrt vom 04.01.2007 (D) hat keinen Anfangsstand (Start km).",
                "Fahrt vom 05.01.2007 (E) hat keinen Endstand (Ende km)." });
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

        QVERIFY(audit::tripsCsv(file.handle(), 2005, &csv, &error));
        QVERIFY(csv.endsWith("Kosten \xe2\x82\xac;Art\r\n") && csv.count("\r\n") == 1);
    }
};

QTEST_GUILESS_MAIN(TestAudit)
#include "test_audit.moc"
