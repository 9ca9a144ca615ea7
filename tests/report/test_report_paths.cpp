#include "report/report_paths.h"

#include <QTest>

using namespace odomira;

class TestReportPaths : public QObject
{
    Q_OBJECT
private slots:
    void safeName_data();
    void safeName();
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

// The plate names the report folder and a trip date names its page: both paths exist
// exactly for the safe names, and an unsafe one is named in the reason.
void TestReportPaths::safeName()
{
    QFETCH(QString, name);
    QFETCH(bool, safe);
    QCOMPARE(isSafeName(name), safe);

    QString folderError, pageError;
    QCOMPARE(reportFolderPath("/opt/odomira", name, &folderError).has_value(), safe);
    QCOMPARE(tripPagePath("/opt/odomira", "HH-OM 42", name, &pageError).has_value(), safe);
    if (!safe) {
        QVERIFY2(folderError.contains("„" + name + "“"), qPrintable(folderError));
        QVERIFY2(pageError.contains("„" + name + "“"), qPrintable(pageError));
    }
}

QTEST_GUILESS_MAIN(TestReportPaths)
#include "test_report_paths.moc"
