#include "app/command_line.h"
#include "app/logbook_location.h"
#include "common/program_info.h"
#include "store/logbook_lock.h"
#include "window/first_start_dialog.h"
#include "window/frm_odomira.h"
#include "window/window_icon.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>

#include <cstdio>
#include <optional>

namespace {

void printOut(const QString& text)
{
    std::fputs(text.toUtf8().constData(), stdout);
}

void printError(const QString& text)
{
    std::fputs(QStringLiteral("odomira: %1\n").arg(text).toUtf8().constData(), stderr);
}

int usageError(const QString& text)
{
    printError(text);
    std::fputs("Hilfe: odomira --help\n", stderr);
    return 1;
}

// Answers help and version, which need no window system. Empty when the line asks for neither.
std::optional<int> answerWithoutWindow(const odomira::CommandLine& line)
{
    using Action = odomira::CommandLine::Action;
    switch (line.action) {
    case Action::Help:
        printOut(odomira::helpText());
        return 0;
    case Action::HelpEn:
        printOut(odomira::helpTextEn());
        return 0;
    case Action::Version:
        printOut(odomira::versionText(QStringLiteral("odomira")));
        return 0;
    case Action::Error:
    case Action::Run:
        break;
    }
    return std::nullopt;
}

void showError(const QString& text)
{
    printError(text);
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Odomira"), text, QMessageBox::Ok);
    box.exec();
}

} // namespace

int main(int argc, char* argv[])
{
    // Read before the window system is touched, so help, version and a wrong call work
    // without a display. Options of the window system itself ("-platform") are left to it.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    odomira::CommandLine line = odomira::parseCommandLine(arguments);
    if (const std::optional<int> answered = answerWithoutWindow(line))
        return *answered;
    if (line.action == odomira::CommandLine::Action::Error && !odomira::hasToolkitOptions(arguments))
        return usageError(line.error);

    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Odomira"));
    QApplication::setApplicationVersion(odomira::programVersion());
    QApplication::setDesktopFileName(QStringLiteral("org.example.odomira"));
    QApplication::setWindowIcon(odomira::windowIcon());
    line = odomira::parseCommandLine(QApplication::arguments());
    if (line.action == odomira::CommandLine::Action::Error)
        return usageError(line.error);

    const QString logbook = odomira::logbookToOpen(line, QDir::currentPath(), odomira::userLogbookPath());
    if (!QFileInfo::exists(logbook)) {
        // Only the start on the user's own logbook ever makes one.
        if (!line.userLogbook) {
            showError(odomira::missingLogbookMessage(logbook));
            return 1;
        }
        odomira::FirstStartDialog dialog(logbook);
        if (dialog.exec() != QDialog::Accepted)
            return 0;
    }

    // Held until the program ends; a second program on the same logbook ends here.
    odomira::LogbookLock lock(logbook);
    QString error;
    if (!lock.acquire(&error)) {
        showError(error);
        return 1;
    }
    odomira::frm_odomira window(logbook);
    if (!window.Form_Load(&error)) {
        showError(error);
        return 1;
    }
    window.show();
    return application.exec();
}
