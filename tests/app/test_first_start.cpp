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

template <class T> T* child(const QDialog& dialog, const char* name)
{
    return dialog.findChild<T*>(QString::fromLatin1(name));
}

// Types the entries that are not null into the dialog's fields and clicks one of its buttons.
void fillAndClick(FirstStartDialog& dialog, const QStringList& entries, const char* button)
{
    for (int i = 0; i < entries.size(); ++i) {
        if (entries[i].isNull())
            continue;
        auto* field = child<QLineEdit>(dialog, FieldNames[i]);
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Delete);
        QTest::keyClicks(field, entries[i]);
    }
    QTest::mouseClick(child<QPushButton>(dialog, button), Qt::LeftButton);
}

// Everything a logbook holds that a program can see: schema, both tables, header values.
QList<QStringList> contents(const TempLogbook& logbook)
{
    return logbook.query(QStringLiteral("select type, name, sql from sqlite_master order by name; "
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

        const QList<QStringList> made = contents(byDialog);
        QVERIFY(made.size() >= 5); // both tables, the vehicle row and the two header values
        QCOMPARE(made, contents(byTool));
    }

    // What the creator refuses, the dialog refuses too: it stays open with the reason,
    // puts the cursor into the field at fault and creates nothing, not even a folder.
    void refusesWhatTheCreatorRefuses_data()
    {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("field");
        QTest::newRow("no plate") << QStringList { "  " } << "Kennzeichen darf nicht leer"
                                  << "txt_kennzeichen";
        QTest::newRow("plate no folder name") << QStringList { "HH/OM" } << "Ordnername"
                                              << "txt_kennzeichen";
        QTest::newRow("negative insurance")
            << QStringList { QString(), QString(), QString(), "-5" } << "Versicherung darf nicht negativ"
            << "txt_versicherung";
    }

    void refusesWhatTheCreatorRefuses()
    {
        QFETCH(QStringList, entries);
        QTemporaryDir root;
        const QString path = root.filePath(QStringLiteral("odomira/odomira.mdb"));
        FirstStartDialog dialog(path);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        fillAndClick(dialog, entries, "cmd_anlegen");

        QVERIFY(dialog.isVisible());
        QFETCH(QString, message);
        const QString shown = child<QLabel>(dialog, "lbl_fehler")->text();
        QVERIFY2(shown.contains(message), qPrintable(shown));
        QFETCH(QString, field);
        QCOMPARE(QApplication::focusWidget(), child<QLineEdit>(dialog, qPrintable(field)));
        QVERIFY(!QFileInfo::exists(root.filePath(QStringLiteral("odomira"))));
    }

    // What a start leaves in the folder of the user's data: the logbook in folders made as
    // needed; after a cancel, or a logbook that cannot be written (told in the dialog), nothing.
    void whatIsLeft_data()
    {
        QTest::addColumn<bool>("blocked"); // a file named "share" where a folder must go
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("created");
        QTest::newRow("folders made") << false << "cmd_anlegen" << true;
        QTest::newRow("cancel") << false << "cmd_abbrechen" << false;
        QTest::newRow("file where a folder must go") << true << "cmd_anlegen" << false;
    }

    void whatIsLeft()
    {
        QFETCH(bool, blocked);
        QFETCH(QString, button);
        QFETCH(bool, created);
        QTemporaryDir root;
        QFile blocker(root.filePath(QStringLiteral("share")));
        QVERIFY(!blocked || blocker.open(QIODevice::WriteOnly));
        const QString logbook = root.filePath(QStringLiteral("share/odomira/odomira.mdb"));
        FirstStartDialog dialog(logbook);
        fillAndClick(dialog, { "B-AB 123" }, qPrintable(button));
        QCOMPARE(dialog.result(), int(created ? QDialog::Accepted : QDialog::Rejected));
        QCOMPARE(QFileInfo(logbook).isFile(), created);
        const QString shown = child<QLabel>(dialog, "lbl_fehler")->text();
        QVERIFY2(shown.contains(QStringLiteral("nicht angelegt")) == blocked, qPrintable(shown));
        const QStringList left
            = QDir(root.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        QCOMPARE(left, created || blocked ? QStringList { "share" } : QStringList {});
    }
};

QTEST_MAIN(TestFirstStart)
#include "test_first_start.moc"
