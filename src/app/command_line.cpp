#include "app/command_line.h"

namespace odomira {

CommandLine parseCommandLine(const QStringList& arguments)
{
    CommandLine line;
    QString error;
    bool onlyPaths = false;
    bool logbookGiven = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (onlyPaths || !argument.startsWith(u'-') || argument == u"-") {
            if (logbookGiven) {
                if (error.isEmpty())
                    error = QStringLiteral("Mehr als ein Fahrtenbuch angegeben („%1“).").arg(argument);
                continue;
            }
            line.logbook = argument;
            logbookGiven = true;
        } else if (argument == u"--") {
            onlyPaths = true;
        } else if (argument == u"-h" || argument == u"--help") {
            line.action = CommandLine::Action::Help;
            return line;
        } else if (argument == u"--help-en") {
            line.action = CommandLine::Action::HelpEn;
            return line;
        } else if (argument == u"--version") {
            line.action = CommandLine::Action::Version;
            return line;
        } else if (argument == u"--mein-fahrtenbuch" || argument == u"--user-logbook") {
            line.userLogbook = true;
        } else if (error.isEmpty()) {
            error = QStringLiteral("Unbekannte Option „%1“.").arg(argument);
        }
    }
    if (error.isEmpty() && line.userLogbook && logbookGiven)
        error
            = QStringLiteral("--mein-fahrtenbuch und die Angabe eines Fahrtenbuchs schließen einander aus.");
    if (error.isEmpty() && logbookGiven && line.logbook.isEmpty())
        error = QStringLiteral("Der Name des Fahrtenbuchs ist leer.");
    if (!error.isEmpty()) {
        line.action = CommandLine::Action::Error;
        line.error = error;
    }
    return line;
}

bool hasToolkitOptions(const QStringList& arguments)
{
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == u"--")
            return false;
        if (argument.size() > 1 && argument.startsWith(u'-') && !argument.startsWith(QStringLiteral("--"))
            && argument != u"-h")
            return true;
    }
    return false;
}

QString helpText()
{
    return QStringLiteral(R"(Aufruf: odomira [Optionen] [Fahrtenbuch]

Odomira, das Fahrtenbuch für ein Fahrzeug, öffnet das Fahrtenbuch im Fenster: die
angegebene Datei oder, ohne Angabe, „odomira.mdb“ im aktuellen Verzeichnis. Gibt es
die Datei nicht, meldet Odomira das und endet, ohne etwas anzulegen.

Optionen:
  --mein-fahrtenbuch   das eigene Fahrtenbuch öffnen:
                       $XDG_DATA_HOME/odomira/odomira.mdb (Vorgabe:
                       ~/.local/share/odomira/odomira.mdb). Gibt es es noch nicht,
                       fragt Odomira nach den Fahrzeugdaten und legt es an.
                       So startet der Eintrag im Anwendungsmenü.
  -h, --help           diese Hilfe zeigen
  --help-en            die Hilfe auf Englisch zeigen
  --version            Version und Lizenz zeigen

Ein neues Fahrtenbuch legt „odomira-db“ an (odomira-db --help).
Der Export schreibt die Berichte in den Ordner mit dem Namen des Kennzeichens neben
dem Fahrtenbuch.

Rückgabewerte: 0 beendet, 1 falscher Aufruf oder das Fahrtenbuch ließ sich nicht öffnen.
)");
}

QString helpTextEn()
{
    return QStringLiteral(R"(Usage: odomira [options] [logbook]

Odomira, the logbook for one vehicle, opens the logbook in its window: the file given
or, without one, "odomira.mdb" in the current directory. When the file does not exist,
Odomira says so and ends without creating anything.

Options:
  --mein-fahrtenbuch, --user-logbook
                       open the user's own logbook:
                       $XDG_DATA_HOME/odomira/odomira.mdb (default:
                       ~/.local/share/odomira/odomira.mdb). When it does not exist
                       yet, Odomira asks for the vehicle data and creates it.
                       This is how the application menu entry starts the program.
  -h, --help           show the help in German
  --help-en            show this help
  --version            show the version and the licence

"odomira-db" creates a new logbook (odomira-db --help-en).
The export writes its reports into the folder named after the licence plate, beside
the logbook.

Exit codes: 0 ended, 1 usage error or the logbook could not be opened.
)");
}

} // namespace odomira
