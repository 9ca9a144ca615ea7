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
using odomira::test::addRow;
using odomira::test::TempLogbook;

namespace {

const char* const FieldNames[] = { "txt_kennzeichen", "txt_verbrauch", "txt_steuer", "txt_versicherung" };

template <class T> T* child(const QDialog& dialog, const char* name)
{
    T* found = dialog.findChild<T*>(QString::fromLatin1(name));
    if (!found)
        qWarning("No control named %s", name);
    return found;
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

int runCreator(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral(ODOMIRA_DB_PROGRAM), arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return -1;
    return process.exitCode();
}

// Everything a logbook holds that a program can see: schema, both tables, header values.
QList<QStringList> contents(const TempLogbook& logbook)
{
    QList<QStringList> all
        = logbook.query(QStringLiteral("select type, name, sql from sqlite_master order by name"));
    all += logbook.query(QStringLiteral("select * from verbrauch order by id"));
    all += logbook.query(QStringLiteral("select * from fahrt order by id"));
    all += logbook.query(QStringLiteral("pragma user_version"));
    all += logbook.query(QStringLiteral("pragma application_id"));
    return all;
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
        QCOMPARE(runCreator(options << byTool.path()), 0);

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
        QTest::newRow("consumption no number") << QStringList { QString(), "sieben" } << "Verbrauch:"
                                               << "txt_verbrauch";
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
        QTest::addColumn<QString>("blocker"); // a file put in the way, or none
        QTest::addColumn<QString>("logbook");
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("created");
        const QString nested = QStringLiteral("share/odomira/odomira.mdb");
        addRow("folders made", QString(), nested, QString("cmd_anlegen"), true);
        addRow("cancel", QString(), nested, QString("cmd_abbrechen"), false);
        addRow("file where a folder must go", QString("share"), nested, QString("cmd_anlegen"), false);
        addRow("name too long", QString(), "share/odomira/" + QString(300, u'x') + ".mdb",
            QString("cmd_anlegen"), false);
    }

    void whatIsLeft()
    {
        QFETCH(QString, blocker);
        QFETCH(QString, logbook);
        QFETCH(QString, button);
        QFETCH(bool, created);
        QTemporaryDir root;
        if (!blocker.isEmpty()) {
            QFile file(root.filePath(blocker));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        FirstStartDialog dialog(root.filePath(logbook));
        fillAndClick(dialog, { "B-AB 123" }, qPrintable(button));
        QCOMPARE(dialog.result(), int(created ? QDialog::Accepted : QDialog::Rejected));
        QCOMPARE(QFileInfo(root.filePath(logbook)).isFile(), created);
        const QString shown = child<QLabel>(dialog, "lbl_fehler")->text();
        QVERIFY2(shown.contains(QStringLiteral("nicht angelegt")) == (!created && button == u"cmd_anlegen"),
            qPrintable(shown));
        const QStringList left
            = QDir(root.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        QCOMPARE(left, created || !blocker.isEmpty() ? QStringList { "share" } : QStringList {});
    }
};

QTEST_MAIN(TestFirstStart)
#include "test_first_start.moc"
