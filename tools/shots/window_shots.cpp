// Pictures of the window for the documentation: one PNG per tab of the window opened on a
// logbook. Usage: odomira-window-shots <logbook> <folder> [--kalender]
#include "window/frm_odomira.h"
#include "window/window_icon.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QComboBox>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTextStream>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setWindowIcon(odomira::windowIcon());
    const QStringList arguments = QApplication::arguments();
    QTextStream err(stderr);
    if (arguments.size() < 3) {
        err << "Aufruf: odomira-window-shots <Fahrtenbuch> <Ordner> [--kalender]\n";
        return 2;
    }
    odomira::frm_odomira window(arguments.at(1));
    QString error;
    if (!window.Form_Load(&error)) {
        err << error << '\n';
        return 1;
    }
    window.show();
    QApplication::processEvents();

    // The result tab shows an evaluation of March 2006, as a user would see it.
    window.findChild<QComboBox*>(QStringLiteral("cmb_monat"))->setCurrentText(QStringLiteral("März"));
    window.findChild<QComboBox*>(QStringLiteral("cmb_jahr"))->setCurrentText(QStringLiteral("2006"));
    window.findChild<QPushButton*>(QStringLiteral("cmd_ausohne"))->click();

    const QDir folder(arguments.at(2));
    const char* const names[] = { "uebersicht.png", "auswertung.png", "ergebnis.png" };
    for (int tab = 0; tab < 3; ++tab) {
        window.findChild<QTabWidget*>(QStringLiteral("SSTab1"))->setCurrentIndex(tab);
        QApplication::processEvents();
        if (!window.grab().save(folder.filePath(QString::fromLatin1(names[tab])))) {
            err << "Kann " << names[tab] << " nicht schreiben.\n";
            return 1;
        }
    }
    if (arguments.contains(QStringLiteral("--kalender"))) {
        // Opened as a user opens it: NEU, then Down in the date field.
        window.findChild<QTabWidget*>(QStringLiteral("SSTab1"))->setCurrentIndex(0);
        window.findChild<QPushButton*>(QStringLiteral("cmd_neu"))->click();
        QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
        QApplication::sendEvent(window.findChild<QLineEdit*>(QStringLiteral("txt_datum")), &down);
        QApplication::processEvents();
        window.grab().save(folder.filePath(QStringLiteral("kalender.png")));
    }
    return 0;
}
