#include "report/report_paths.h"

#include <QTest>

using namespace odomira;

class TestReportPaths : public QObject
{
    Q_OBJECT
private slots:
    void safeName_data();
    void safeName();
    void buildsThePaths();
    void refusesUnsafeTexts_data();
    void refusesUnsafeTexts();
};

void TestReportPaths::safeName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("safe");

    QTest::newRow("plate") << "HH-OM 42" << true;
    QTest::newRow("umlaut") << "Ü-AB 1" << true;
    QTest::newRow("date") << "05.03.2006" << true;
    QTest::newRow("three dots") << "..." << true;
    QTest::newRow("dots inside") << "a..b" << true;
    QTest::newRow("blank") << " " << true;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("dot") << "." << false;
    QTest::newRow("dot dot") << ".." << false;
    QTest::newRow("leaves the folder") << "../x" << false;
    QTest::newRow("slash") << "HH/OM" << false;
    QTest::newRow("absolute") << "/etc" << false;
    QTest::newRow("backslash") << "HH\\OM" << false;
    QTest::newRow("NUL") << QString("HH") + QChar(u'\0') + QString("OM") << false;
}

void TestReportPaths::safeName()
{
    QFETCH(QString, name);
    QFETCH(bool, safe);
    QCOMPARE(isSafeName(name), safe);
}

void TestReportPaths::buildsThePaths()
{
    const QString dir = "/opt/odomira";
    QString error;
    QCOMPARE(reportFolderPath(dir, "HH-OM 42", &error).value_or(error), QStringLiteral("/opt/odomira/HH-OM 42"));
    QCOMPARE(reportFilePath(dir, "HH-OM 42", "März", "2006", &error).value_or(error),
             QStringLiteral("/opt/odomira/HH-OM 42/HH-OM 42 März_2006.html"));
    QCOMPARE(reportFilePath(dir, "HH-OM 42", ".. Monat Wählen", "2006", &error).value_or(error),
             QStringLiteral("/opt/odomira/HH-OM 42/HH-OM 42 .. Monat Wählen_2006.html"));
    QCOMPARE(tripPagePath(dir, "HH-OM 42", "05.03.2006", &error).value_or(error),
             QStringLiteral("/opt/odomira/HH-OM 42/05.03.2006.html"));
}

void TestReportPaths::refusesUnsafeTexts_data()
{
    QTest::addColumn<QString>("plate");
    QTest::addColumn<QString>("month");
    QTest::addColumn<QString>("year");
    QTest::addColumn<QString>("datum");
    QTest::addColumn<QString>("error"); // of the first path that is refused

    QTest::newRow("plate leaves the folder") << "../x" << "März" << "2006" << "05.03.2006"
        << "Das Kennzeichen „../x“ kann nicht als Ordnername verwendet werden.";
    QTest::newRow("plate empty") << "" << "März" << "2006" << "05.03.2006"
        << "Das Kennzeichen „“ kann nicht als Ordnername verwendet werden.";
    QTest::newRow("plate dot dot") << ".." << "März" << "2006" << "05.03.2006"
        << "Das Kennzeichen „..“ kann nicht als Ordnername verwendet werden.";
    QTest::newRow("month with slash") << "HH-OM 42" << "../../M" << "2006" << "05.03.2006"
        << "Monat „../../M“ und Jahr „2006“ ergeben keinen gültigen Dateinamen für den Bericht "
           "(„HH-OM 42 ../../M_2006.html“).";
    QTest::newRow("year with backslash") << "HH-OM 42" << "März" << "20\\06" << "05.03.2006"
        << "Monat „März“ und Jahr „20\\06“ ergeben keinen gültigen Dateinamen für den Bericht "
           "(„HH-OM 42 März_20\\06.html“).";
    QTest::newRow("date leaves the folder") << "HH-OM 42" << "März" << "2006" << "../../05"
        << "Das Datum „../../05“ kann nicht als Name einer Fahrtseite verwendet werden.";
    QTest::newRow("date empty") << "HH-OM 42" << "März" << "2006" << ""
        << "Das Datum „“ kann nicht als Name einer Fahrtseite verwendet werden.";
}

void TestReportPaths::refusesUnsafeTexts()
{
    QFETCH(QString, plate);
    QFETCH(QString, month);
    QFETCH(QString, year);
    QFETCH(QString, datum);
    QFETCH(QString, error);

    const QString dir = "/opt/odomira";
    QString folderError, fileError, pageError;
    const auto folder = reportFolderPath(dir, plate, &folderError);
    const auto file = reportFilePath(dir, plate, month, year, &fileError);
    const auto page = tripPagePath(dir, plate, datum, &pageError);
    QVERIFY(!folder || !file || !page);
    const QString first = !folder ? folderError : !file ? fileError : pageError;
    QCOMPARE(first, error);
    // Whatever the texts, a path that is built stays inside the plate's folder.
    for (const auto& path : {file, page}) {
        if (path)
            QCOMPARE(path->section(QLatin1Char('/'), 0, -2), dir + QLatin1Char('/') + plate);
    }
}

QTEST_GUILESS_MAIN(TestReportPaths)
#include "test_report_paths.moc"
