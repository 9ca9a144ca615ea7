// odomira-db: creates a new logbook file with both tables, the vehicle row and the change
// history, optionally filled with demo trips. The window program never creates the file.
// It also checks a logbook, lists its change history and writes a year's trips as CSV.

#include "audit/history_protocol.h"
#include "audit/logbook_check.h"
#include "audit/logbook_reading.h"
#include "audit/trip_csv.h"
#include "common/decimal.h"
#include "common/program_info.h"
#include "demo/demo_trips.h"
#include "store/logbook_writer.h"
#include "store/new_vehicle.h"
#include "store/schema.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>
#include <optional>

using namespace odomira;

namespace {

enum ExitCode { ExitOk = 0, ExitUsage = 1, ExitExists = 2, ExitWriteFailed = 3, ExitFindings = 4 };

// What a call does: create a logbook (the default) or read one.
enum class Mode { Create, Check, Protocol, Csv };

constexpr int MaxTrips = 1000000;

const char* const HelpDe = R"(Aufruf: odomira-db [Optionen] [Datei]

Legt ein neues Fahrtenbuch für Odomira an: die Datei (ohne Angabe „odomira.mdb“ im
aktuellen Verzeichnis) mit den Tabellen „fahrt“ und „verbrauch“ und dem Datensatz des
Fahrzeugs. Eine vorhandene Datei wird nie überschrieben.

Mit --pruefen, --protokoll oder --csv liest es ein vorhandenes Fahrtenbuch, ohne es
zu ändern.

Optionen zum Anlegen:
  --kennzeichen TEXT   Kennzeichen des Fahrzeugs (Vorgabe: HH-OM 42)
  --verbrauch ZAHL     Verbrauch in Litern je 100 km (Vorgabe: 7,9)
  --steuer ZAHL        Kfz-Steuer im Jahr in Euro (Vorgabe: 250,00)
  --versicherung ZAHL  Versicherung im Jahr in Euro (Vorgabe: 1201,45)
  --demo               mit Beispielfahrten der Jahre 2006 und 2007 füllen
  --fahrten N          mit N erzeugten Fahrten über 2006 und 2007 füllen (für Messungen)

Prüfen und Auswerten:
  --pruefen            das Fahrtenbuch prüfen: die Kette der Änderungshistorie, ob Fahrten
                       und Fahrzeugdaten außerhalb von Odomira geändert wurden, und die
                       Kilometerstände in Datumsfolge (Lücken, Überschneidungen); eine Zeile
                       je Befund und eine Zusammenfassung
  --protokoll          die Änderungshistorie lesbar ausgeben
  --csv JAHR           die Fahrten des Jahres als CSV für eine Tabellenkalkulation auf die
                       Standardausgabe schreiben (UTF-8, Semikolon, CR LF)

Sonstiges:
  -h, --help           diese Hilfe zeigen
  --help-en            die Hilfe auf Englisch zeigen
  --version            Version und Lizenz zeigen

Zahlen werden deutsch geschrieben: Komma vor den Nachkommastellen, ein Punkt trennt
nur Tausender (7,9 ist sieben Komma neun, 7.9 ist neunundsiebzig).
Optionen mit Wert gehen auch als --option=WERT.

Rückgabewerte: 0 angelegt (geprüft ohne Befund, ausgegeben), 1 falscher Aufruf,
2 Datei gibt es schon, 3 Datei konnte nicht geschrieben oder gelesen werden,
4 Befunde beim Prüfen (oder keine Änderungshistorie).

Beispiele: odomira-db --kennzeichen "B-AB 123" --verbrauch 6,5 --demo odomira.mdb
           odomira-db --pruefen odomira.mdb
           odomira-db --csv 2007 odomira.mdb > fahrten-2007.csv
)";

const char* const HelpEn = R"(Usage: odomira-db [options] [file]

Creates a new Odomira logbook: the file (by default "odomira.mdb" in the current
directory) with the tables "fahrt" and "verbrauch", the vehicle record and the change
history. An existing file is never overwritten. With --pruefen, --protokoll or --csv
it reads an existing logbook without changing it.

Options for creating:
  --kennzeichen TEXT   licence plate (default: HH-OM 42)
  --verbrauch NUMBER   consumption in litres per 100 km (default: 7,9)
  --steuer NUMBER      vehicle tax per year in euro (default: 250,00)
  --versicherung NUMBER  insurance per year in euro (default: 1201,45)
  --demo               fill with demo trips of the years 2006 and 2007
  --fahrten N, --trips N  fill with N generated trips over 2006 and 2007 (for benchmarks)

Checking and reading:
  --pruefen            check the logbook: the change history's chain, whether trips or the
                       vehicle record were changed outside Odomira, and the odometer in date
                       order (gaps, overlaps); one line per finding and a summary
  --protokoll          list the change history readably
  --csv YEAR           write the trips of YEAR as CSV for a spreadsheet to standard output
                       (UTF-8, semicolons, CR LF)

Other:
  -h, --help           show the help in German
  --help-en            show this help
  --version            show the version and the licence

Numbers are written the German way: a comma before the decimals, a period only groups
thousands (7,9 is seven point nine, 7.9 is seventy-nine).
Options with a value also take the form --option=VALUE.

Exit codes: 0 created (checked without findings, listed), 1 usage error, 2 file exists,
3 file could not be written or read, 4 findings when checking (or no change history).
)";

void printOut(const QString& text)
{
    std::fputs(text.toUtf8().constData(), stdout);
}

void printError(const QString& text)
{
    std::fputs(QStringLiteral("odomira-db: %1\n").arg(text).toUtf8().constData(), stderr);
}

int usageError(const QString& text)
{
    printError(text);
    std::fputs("Hilfe: odomira-db --help\n", stderr);
    return ExitUsage;
}

struct Options {
    QString path = QString::fromLatin1(LogbookFileName);
    VehicleInput vehicle; // starts with the defaults every new logbook shares
    bool demo = false;
    int trips = -1; // none
    bool creating = false; // an option only creating takes was given
    Mode mode = Mode::Create;
    int year = 0;
    bool help = false;
    bool helpEn = false;
    bool version = false;
};

// Fills `options` from the arguments; on a usage error returns its message.
std::optional<QString> parseArguments(const QStringList& arguments, Options& options)
{
    bool pathGiven = false;
    bool onlyPaths = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (onlyPaths || !argument.startsWith(u'-') || argument == u"-") {
            if (pathGiven)
                return QStringLiteral("Mehr als eine Datei angegeben („%1“).").arg(argument);
            options.path = argument;
            pathGiven = true;
            continue;
        }
        if (argument == u"--") {
            onlyPaths = true;
            continue;
        }
        if (argument == u"-h" || argument == u"--help") {
            options.help = true;
            continue;
        }
        if (argument == u"--help-en") {
            options.helpEn = true;
            continue;
        }
        if (argument == u"--version") {
            options.version = true;
            continue;
        }
        if (argument == u"--demo") {
            options.demo = true;
            options.creating = true;
            continue;
        }
        if (argument == u"--pruefen" || argument == u"--protokoll") {
            if (options.mode != Mode::Create)
                return QStringLiteral("Nur eine von --pruefen, --protokoll und --csv ist möglich.");
            options.mode = argument == u"--pruefen" ? Mode::Check : Mode::Protocol;
            continue;
        }

        QString name = argument;
        std::optional<QString> value;
        if (const qsizetype equals = argument.indexOf(u'='); equals > 0) {
            name = argument.left(equals);
            value = argument.mid(equals + 1);
        }
        QString* target = nullptr;
        QString tripsText;
        QString yearText;
        if (name == u"--csv")
            target = &yearText;
        else if (name == u"--kennzeichen")
            target = &options.vehicle.kennzeichen;
        else if (name == u"--verbrauch")
            target = &options.vehicle.verbrauch;
        else if (name == u"--steuer")
            target = &options.vehicle.steuer;
        else if (name == u"--versicherung")
            target = &options.vehicle.versicherung;
        else if (name == u"--fahrten" || name == u"--trips")
            target = &tripsText;
        else
            return QStringLiteral("Unbekannte Option „%1“.").arg(name);

        if (!value) {
            if (i + 1 >= arguments.size())
                return QStringLiteral("Der Option %1 fehlt ihr Wert.").arg(name);
            value = arguments[++i];
        }
        *target = *value;
        if (target != &yearText)
            options.creating = true;

        if (target == &yearText) {
            if (options.mode != Mode::Create)
                return QStringLiteral("Nur eine von --pruefen, --protokoll und --csv ist möglich.");
            options.mode = Mode::Csv;
            bool ok = false;
            options.year = yearText.trimmed().toInt(&ok);
            if (!ok || yearText.trimmed().size() != 4 || options.year < 1000)
                return QStringLiteral("--csv erwartet ein Jahr mit vier Ziffern, nicht „%1“.").arg(yearText);
        }

        if (target == &tripsText) {
            bool ok = false;
            const int count = tripsText.trimmed().toInt(&ok);
            if (!ok || count < 0 || count > MaxTrips)
                return QStringLiteral("%1 erwartet eine ganze Zahl von 0 bis %2, nicht „%3“.")
                    .arg(name)
                    .arg(MaxTrips)
                    .arg(tripsText);
            options.trips = count;
        }
    }
    if (options.demo && options.trips >= 0)
        return QStringLiteral("--demo und --fahrten schließen einander aus.");
    if (options.mode != Mode::Create && options.creating)
        return QStringLiteral(
            "--pruefen, --protokoll und --csv lesen ein Fahrtenbuch und nehmen keine Optionen "
            "zum Anlegen.");
    return std::nullopt;
}

int readLogbook(const Options& options)
{
    audit::ReadOnlyLogbook logbook;
    QString problem;
    if (!logbook.open(options.path, &problem)) {
        printError(problem);
        return ExitWriteFailed;
    }
    switch (options.mode) {
    case Mode::Check: {
        audit::CheckResult result;
        if (!audit::checkLogbook(logbook.handle(), &result, &problem))
            break;
        QString out;
        for (const QString& finding : result.findings)
            out += finding + u'\n';
        printOut(out + audit::checkSummary(result) + u'\n');
        return result.findings.isEmpty() ? ExitOk : ExitFindings;
    }
    case Mode::Protocol: {
        bool hasHistory = false;
        QString out;
        const auto line = [&out](const QString& text) {
            out += text;
            out += u'\n';
            if (out.size() > 1 << 16) {
                printOut(out);
                out.clear();
            }
        };
        if (!audit::writeProtocol(logbook.handle(), line, &hasHistory, &problem))
            break;
        if (!hasHistory) {
            printOut(QStringLiteral("Das Fahrtenbuch „%1“ hat keine Änderungshistorie.\n").arg(options.path));
            return ExitFindings;
        }
        printOut(out);
        return ExitOk;
    }
    case Mode::Csv: {
        QByteArray csv;
        if (!audit::tripsCsv(logbook.handle(), options.year, &csv, &problem))
            break;
        std::fwrite(csv.constData(), 1, std::size_t(csv.size()), stdout);
        return std::fflush(stdout) == 0 ? ExitOk : ExitWriteFailed;
    }
    case Mode::Create:
        break;
    }
    printError(problem);
    return ExitWriteFailed;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);

    Options options;
    if (const auto problem = parseArguments(QCoreApplication::arguments(), options))
        return usageError(*problem);
    if (options.help || options.helpEn) {
        printOut(QString::fromUtf8(options.help ? HelpDe : HelpEn));
        return ExitOk;
    }
    if (options.version) {
        printOut(versionText(QStringLiteral("odomira-db")));
        return ExitOk;
    }
    if (options.mode != Mode::Create)
        return readLogbook(options);

    // The same checks as a logbook made at the program's first start; messages name the options.
    QString problem;
    const VehicleFieldNames optionNames { QStringLiteral("--verbrauch"), QStringLiteral("--steuer"),
        QStringLiteral("--versicherung") };
    const std::optional<LogbookVehicle> vehicle = checkVehicle(options.vehicle, optionNames, &problem);
    if (!vehicle)
        return usageError(problem);
    const std::optional<Decimal> verbrauch = Decimal::fromCanonical(vehicle->verbrauch.toStdString());

    std::vector<demo::DemoTrip> trips;
    if (options.demo)
        trips = demo::demoTrips(*verbrauch);
    else if (options.trips > 0)
        trips = demo::demoTrips(*verbrauch, options.trips);

    switch (writeLogbook(options.path, *vehicle, trips, &problem)) {
    case WriteResult::Ok:
        break;
    case WriteResult::Exists:
        printError(problem);
        return ExitExists;
    case WriteResult::Failed:
        printError(QStringLiteral("Das Fahrtenbuch „%1“ konnte nicht angelegt werden: %2")
                       .arg(options.path, problem));
        return ExitWriteFailed;
    }
    const QString tripCount
        = trips.size() == 1 ? QStringLiteral("1 Fahrt") : QStringLiteral("%1 Fahrten").arg(trips.size());
    printOut(QStringLiteral("Fahrtenbuch „%1“ angelegt: Fahrzeug %2, %3.\n")
                 .arg(options.path, vehicle->kennzeichen, tripCount));
    return ExitOk;
}
