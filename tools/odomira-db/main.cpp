// odomira-db: creates a new logbook file with both tables and the vehicle row,
// optionally filled with demo trips. The window program never creates the file.

#include "common/decimal.h"
#include "common/number_text.h"
#include "demo/demo_trips.h"
#include "demo/logbook_writer.h"
#include "report/report_paths.h"
#include "store/schema.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>
#include <optional>

using namespace odomira;

namespace {

enum ExitCode { ExitOk = 0, ExitUsage = 1, ExitExists = 2, ExitWriteFailed = 3 };

constexpr int MaxTrips = 1000000;

const char* const HelpDe = R"(Aufruf: odomira-db [Optionen] [Datei]

Legt ein neues Fahrtenbuch für Odomira an: die Datei (ohne Angabe „odomira.mdb“ im
aktuellen Verzeichnis) mit den Tabellen „fahrt“ und „verbrauch“ und dem Datensatz des
Fahrzeugs. Eine vorhandene Datei wird nie überschrieben.

Optionen:
  --kennzeichen TEXT   Kennzeichen des Fahrzeugs (Vorgabe: HH-OM 42)
  --verbrauch ZAHL     Verbrauch in Litern je 100 km (Vorgabe: 7,9)
  --steuer ZAHL        Kfz-Steuer im Jahr in Euro (Vorgabe: 250,00)
  --versicherung ZAHL  Versicherung im Jahr in Euro (Vorgabe: 1201,45)
  --demo               mit Beispielfahrten der Jahre 2006 und 2007 füllen
  --fahrten N          mit N erzeugten Fahrten über 2006 und 2007 füllen (für Messungen)
  -h, --help           diese Hilfe zeigen
  --help-en            die Hilfe auf Englisch zeigen

Zahlen werden deutsch geschrieben: Komma vor den Nachkommastellen, ein Punkt trennt
nur Tausender (7,9 ist sieben Komma neun, 7.9 ist neunundsiebzig).
Optionen mit Wert gehen auch als --option=WERT.

Rückgabewerte: 0 angelegt, 1 falscher Aufruf, 2 Datei gibt es schon,
3 Datei konnte nicht geschrieben werden.

Beispiel: odomira-db --kennzeichen "B-AB 123" --verbrauch 6,5 --demo odomira.mdb
)";

const char* const HelpEn = R"(Usage: odomira-db [options] [file]

Creates a new Odomira logbook: the file (by default "odomira.mdb" in the current
directory) with the tables "fahrt" and "verbrauch" and the vehicle record.
An existing file is never overwritten.

Options:
  --kennzeichen TEXT   licence plate (default: HH-OM 42)
  --verbrauch NUMBER   consumption in litres per 100 km (default: 7,9)
  --steuer NUMBER      vehicle tax per year in euro (default: 250,00)
  --versicherung NUMBER  insurance per year in euro (default: 1201,45)
  --demo               fill with demo trips of the years 2006 and 2007
  --fahrten N, --trips N  fill with N generated trips over 2006 and 2007 (for benchmarks)
  -h, --help           show the help in German
  --help-en            show this help

Numbers are written the German way: a comma before the decimals, a period only groups
thousands (7,9 is seven point nine, 7.9 is seventy-nine).
Options with a value also take the form --option=VALUE.

Exit codes: 0 created, 1 usage error, 2 file exists, 3 file could not be written.
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

struct Options
{
    QString path = QString::fromLatin1(LogbookFileName);
    QString kennzeichen = QStringLiteral("HH-OM 42");
    QString verbrauch = QStringLiteral("7,9");
    QString steuer = QStringLiteral("250,00");
    QString versicherung = QStringLiteral("1201,45");
    bool demo = false;
    int trips = -1; // none
    bool help = false;
    bool helpEn = false;
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
        if (argument == u"--demo") {
            options.demo = true;
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
        if (name == u"--kennzeichen")
            target = &options.kennzeichen;
        else if (name == u"--verbrauch")
            target = &options.verbrauch;
        else if (name == u"--steuer")
            target = &options.steuer;
        else if (name == u"--versicherung")
            target = &options.versicherung;
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

        if (target == &tripsText) {
            bool ok = false;
            const int count = tripsText.trimmed().toInt(&ok);
            if (!ok || count < 0 || count > MaxTrips)
                return QStringLiteral("%1 erwartet eine ganze Zahl von 0 bis %2, nicht „%3“.")
                    .arg(name).arg(MaxTrips).arg(tripsText);
            options.trips = count;
        }
    }
    if (options.demo && options.trips >= 0)
        return QStringLiteral("--demo und --fahrten schließen einander aus.");
    return std::nullopt;
}

// A vehicle number option as German number text; refuses what is no number or negative.
std::optional<Decimal> readNumber(const QString& option, const QString& text, QString* error)
{
    QString problem;
    const std::optional<Decimal> value = parseNumber(text, &problem);
    if (!value) {
        *error = QStringLiteral("%1: %2").arg(option, problem);
        return std::nullopt;
    }
    if (value->isNegative() && !value->isZero()) {
        *error = QStringLiteral("%1 darf nicht negativ sein („%2“).").arg(option, text);
        return std::nullopt;
    }
    return value;
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

    const QString kennzeichen = options.kennzeichen.trimmed();
    if (kennzeichen.isEmpty())
        return usageError(QStringLiteral("Das Kennzeichen darf nicht leer sein."));
    // The plate names the report folder, so it must be a single folder name.
    if (!isSafeName(kennzeichen))
        return usageError(QStringLiteral("Das Kennzeichen „%1“ taugt nicht als Ordnername "
                                         "(kein „/“ oder „\\“).").arg(kennzeichen));

    QString problem;
    const auto verbrauch = readNumber(QStringLiteral("--verbrauch"), options.verbrauch, &problem);
    if (!verbrauch)
        return usageError(problem);
    const auto steuer = readNumber(QStringLiteral("--steuer"), options.steuer, &problem);
    if (!steuer)
        return usageError(problem);
    const auto versicherung = readNumber(QStringLiteral("--versicherung"), options.versicherung, &problem);
    if (!versicherung)
        return usageError(problem);

    const demo::DemoVehicle vehicle{kennzeichen, verbrauch->toCanonical(), steuer->toCanonical(),
                                    versicherung->toCanonical()};
    std::vector<demo::DemoTrip> trips;
    if (options.demo)
        trips = demo::demoTrips(*verbrauch);
    else if (options.trips > 0)
        trips = demo::demoTrips(*verbrauch, options.trips);

    switch (demo::writeLogbook(options.path, vehicle, trips, &problem)) {
    case demo::WriteResult::Ok:
        break;
    case demo::WriteResult::Exists:
        printError(problem);
        return ExitExists;
    case demo::WriteResult::Failed:
        printError(QStringLiteral("Das Fahrtenbuch „%1“ konnte nicht angelegt werden: %2").arg(options.path, problem));
        return ExitWriteFailed;
    }
    const QString tripCount = trips.size() == 1 ? QStringLiteral("1 Fahrt")
                                                : QStringLiteral("%1 Fahrten").arg(trips.size());
    printOut(QStringLiteral("Fahrtenbuch „%1“ angelegt: Fahrzeug %2, %3.\n").arg(options.path, kennzeichen, tripCount));
    return ExitOk;
}
