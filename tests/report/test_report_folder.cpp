// Where an export writes when nothing overrides it: the plate's folder beside the logbook,
// however the logbook was named, and never the program's folder, which on an installed
// system no user can write.
#include "support/temp_logbook.h"
#include "window/frm_odomira.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QPushButton>
#include <QtTest>

using namespace odomira;
using odomira::test::TempLogbook;

class TestReportFolder : public QObject {
    Q_OBJECT

private slots:
    void besideTheLogbook_data()
    {
        QTest::addColumn<QString>("workingDirectory"); // "logbook", "parent" or "elsewhere"
        QTest::addColumn<QString>("logbookName"); // as given to the window; %1 is the logbook's folder name
        QTest::newRow("absolute path") << "elsewhere"
                                       << "";
        QTest::newRow("relative path") << "parent"
                                       << "%1/odomira.mdb";
        QTest::newRow("working directory, as a start without arguments") << "logbook"
                                                                         << "odomira.mdb";
    }

    void besideTheLogbook()
    {
        QFETCH(QString, workingDirectory);
        QFETCH(QString, logbookName);
        TempLogbook logbook;
        QVERIFY(logbook.createWithVehicle({}, { { .datum = "05.03.2006", .ziel = "Kunde" } }));
        const QDir folder(logbook.dirPath());
        QTemporaryDir elsewhere;
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(workingDirectory == u"logbook" ? folder.path()
                : workingDirectory == u"parent"                 ? QFileInfo(folder.path()).path()
                                                                : elsewhere.path()));
        const QString programFolder = QCoreApplication::applicationDirPath() + QStringLiteral("/HH-OM 42");
        const bool programFolderHadOne = QFileInfo::exists(programFolder);
        QList<QUrl> opened;
        QStringList messages;
        {
            frm_odomira window(logbookName.isEmpty() ? logbook.path() : logbookName.arg(folder.dirName()));
            window.setMessageHook([&](const QString& text, QMessageBox::Icon) { messages << text; });
            window.setUrlOpener([&](const QUrl& url) { opened << url; });
            QString error;
            QVERIFY2(window.Form_Load(&error), qPrintable(error));
            // The working directory may change while the program runs; the folder stays.
            QVERIFY(QDir::setCurrent(elsewhere.path()));
            window.findChild<QComboBox*>(QStringLiteral("cmb_monat"))->setCurrentText(QStringLiteral("März"));
            window.findChild<QComboBox*>(QStringLiteral("cmb_jahr"))->setCurrentText(QStringLiteral("2006"));
            window.findChild<QPushButton*>(QStringLiteral("cmd_drucken"))->click();
        }
        QDir::setCurrent(previous);

        QCOMPARE(messages, QStringList {});
        const QString report = folder.filePath(QStringLiteral("HH-OM 42/HH-OM 42 März_2006.html"));
        QCOMPARE(opened, QList<QUrl> { QUrl::fromLocalFile(report) });
        QVERIFY(QFileInfo(report).isFile());
        // Checked by the folder chosen rather than by permissions: run as root, a read-only
        // program folder would not have stopped a write into it.
        QVERIFY(programFolderHadOne || !QFileInfo::exists(programFolder));
        QVERIFY(QDir(elsewhere.path()).isEmpty());
    }
};

QTEST_MAIN(TestReportFolder)
#include "test_report_folder.moc"
