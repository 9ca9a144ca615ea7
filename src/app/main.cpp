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

    odomira::frm_odomira window(QString::fromLatin1(odomira::LogbookFileName));
    QString error;
    if (!window.Form_Load(&error)) {
        QMessageBox box(QMessageBox::Critical, QStringLiteral("Odomira"), error, QMessageBox::Ok);
        box.exec();
        return 1;
    }
    window.show();
    return application.exec();
}
