#include "store/logbook_lock.h"
#include "store/schema.h"
#include "window/frm_odomira.h"
#include "window/window_icon.h"

#include <QApplication>
#include <QMessageBox>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Odomira"));
    QApplication::setWindowIcon(odomira::windowIcon());

    const QString logbook = QString::fromLatin1(odomira::LogbookFileName);
    // Held until the program ends; a second program on the same logbook ends here.
    odomira::LogbookLock lock(logbook);
    QString error;
    if (!lock.acquire(&error)) {
        QMessageBox box(QMessageBox::Critical, QStringLiteral("Odomira"), error, QMessageBox::Ok);
        box.exec();
        return 1;
    }
    odomira::frm_odomira window(logbook);
    if (!window.Form_Load(&error)) {
        QMessageBox box(QMessageBox::Critical, QStringLiteral("Odomira"), error, QMessageBox::Ok);
        box.exec();
        return 1;
    }
    window.show();
    return application.exec();
}
