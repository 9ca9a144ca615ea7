#pragma once

#include <QString>
#include <QStringList>

namespace odomira {

// What the program was asked to do on its command line.
struct CommandLine {
    enum class Action {
        Run, // open the window on `logbook`
        Help, // German help on standard output
        HelpEn, // English help
        Version, // version and licence
        Error, // a usage error, described in `error`
    };
    Action action = Action::Run;
    // The logbook file given, or empty for "odomira.mdb" in the working directory.
    QString logbook;
    // The user's own logbook, as the menu entry starts the program; made at its first start.
    bool userLogbook = false;
    QString error;
};

// Reads the arguments, the program name first. Help and version win over everything
// else, so they answer even beside a mistake; "--" ends the options.
CommandLine parseCommandLine(const QStringList& arguments);

// True when an argument before "--" has a single dash ("-platform"): an option of the
// window system, which only the window system can read off the command line.
bool hasToolkitOptions(const QStringList& arguments);

// The texts of `--help` and `--help-en`.
QString helpText();
QString helpTextEn();

} // namespace odomira
