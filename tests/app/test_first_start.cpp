// The first start on the user's own logbook: the dialog makes the very logbook the creator
// tool makes from the same entries, refuses what the tool refuses, and a cancel leaves nothing.
#include "support/temp_logbook.h"
#include "window/first_start_dialog.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using odomira::FirstStartDialog;
using odomira::test::TempLogbook;

namespace {

const char* const FieldNames[] = { "txt_kennzeichen", "txt_verbrauch", "txt_steuer", "txt_versicherung" };

// Types the entries that are not null into the dialog's fields and clicks one of its buttons.
void fillAndClick(FirstStartDialog& dialog, const QStringList& entries, const char* button)
{
    for (int i = 0; i < entries.size(); ++i) {
        if (entries[i].isNull())
            continue;
        auto* field = dialog.findChild<QLineEdit*>(FieldNames[i]);
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Delete);
        QTest::keyClicks(field, entries[i]);
    }
    QTest::mouseClick(dialog.findChild<QPushButton*>(button), Qt::LeftButton);
}

// Everything a logbook holds that a program can see: schema, both tables, header values.
QList<QStringList> contents(const TempLogbook& logbook)
{
    return logbook.query(
        QStringLiteral("select type, name, sql from sqlite_master order by name; "
                       "select * from verbrauch order by id; select * from fahrt order by id; "
                       "pragma user_version; pragma application_id"));
}

} // namespace

class TestFirstStart : public QObject {
    Q_OBJECT

private slots:
    // A null entry keeps the field's preset value; the creator gets the same as options.
    void createsWhatTheCreatorCreates_data()
    {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QStringList>("options");
        QTest::newRow("presets") << QStringList { QString(), QString(), QString(), QString() }
                                 << QStringList {};
        QTest::newRow("typed") << QStringList { " M-ÄÖ 77 ", "6,5", "1.180,50", "980" }
                               << QStringList { "--kennzeichen", " M-ÄÖ 77 ", "--verbrauch", "6,5",
                                      "--steuer", "1.180,50", "--versicherung", "980" };
    }

    void createsWhatTheCreatorCreates()
    {
        QFETCH(QStringList, entries);
        QFETCH(QStringList, options);
        TempLogbook byDialog, byTool;
        FirstStartDialog dialog(byDialog.path());
        fillAndClick(dialog, entries, "cmd_anlegen");
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(QProcess::execute(QStringLiteral(ODOMIRA_DB_PROGRAM), options << byTool.path()), 0);

        QCOMPARE(contents(byDialog), contents(byTool));
    }

    // What a start leaves in the folder of the user's data: the logbook in folders made as
    // needed; nothing after a cancel, a logbook that cannot be written, or entries the creator
    // refuses too. A refusal is told in the dialog, which stays open with the cursor in the field
    // at fault.
    void whatIsLeft_data()
    {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<bool>("blocked"); // a file named "share" where a folder must go
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("message"); // part of it, "" for none
        QTest::addColumn<QString>("field"); // the one at fault
        const QStringList plate = { "B-AB 123" };
        QTest::newRow("folders made") << plate << false << "cmd_anlegen"
                                      << ""
                                      << "";
        QTest::newRow("cancel") << plate << false << "cmd_abbrechen"
                                << ""
                                << "";
        QTest::newRow("file where a folder must go") << plate << true << "cmd_anlegen"
                                                     << "nicht angelegt"
                                                     << "";
        QTest::newRow("no plate") << QStringList { "  " } << false << "cmd_anlegen"
                                  << "Kennzeichen darf nicht leer"
                                  << "txt_kennzeichen";
        QTest::newRow("negative insurance")
            << QStringList { QString(), QString(), QString(), "-5" } << false << "cmd_anlegen"
            << "Versicherung darf nicht negativ"
            << "txt_versicherung";
    }

    void whatIsLeft()
    {
        QFETCH(QStringList, entries);
        QFETCH(bool, blocked);
        QFETCH(QString, button);
        QFETCH(QString, message);
        QFETCH(QString, field);
        QTemporaryDir root;
        QFile blocker(root.filePath(QStringLiteral("share")));
        QVERIFY(!blocked || blocker.open(QIODevice::WriteOnly));
        const QString logbook = root.filePath(QStringLiteral("share/odomira/odomira.mdb"));
        FirstStartDialog dialog(logbook);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        fillAndClick(dialog, entries, qPrintable(button));
        const bool created = button == u"cmd_anlegen" && message.isEmpty();
        QCOMPARE(dialog.result(), int(created ? QDialog::Accepted : QDialog::Rejected));
        QCOMPARE(QFileInfo(logbook).isFile(), created);
        QCOMPARE(dialog.isVisible(), !message.isEmpty());
        const QString shown = dialog.findChild<QLabel*>("lbl_fehler")->text();
        QVERIFY2(message.isEmpty() ? shown.isEmpty() : shown.contains(message), qPrintable(shown));
        if (!field.isEmpty())
            QCOMPARE(QApplication::focusWidget(), dialog.findChild<QLineEdit*>(field));
        const QStringList left
            = QDir(root.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        QCOMPARE(left, created || blocked ? QStringList { "share" } : QStringList {});
    }
};

QTEST_MAIN(TestFirstStart)
#include "test_first_start.moc"
