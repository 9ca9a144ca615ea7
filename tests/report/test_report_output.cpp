// The bytes a report is written in and the names its files may take.
#include "report/ansi_line_writer.h"
#include "report/report_paths.h"

#include <QTest>

using namespace odomira;

class TestReportOutput : public QObject {
    Q_OBJECT
private slots:
    void encodes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");

        QTest::newRow("umlauts, euro") << "für ß 1,33 €" << QByteArray("f\xFCr \xDF 1,33 \x80");
        QTest::newRow("0x84..0x9F") << "„x“ – ŠŒŽšœžŸ™"
                                    << QByteArray("\x84x\x93 \x96 \x8A\x8C\x8E\x9A\x9C\x9E\x9F\x99");
        QTest::newRow("C1 controls") << QStringLiteral("\u0081\u008D\u0080") << QByteArray("???");
        QTest::newRow("outside the code page") << "Łódź" << QByteArray("?\xF3") + "d?";
        QTest::newRow("surrogates") << "a😀b" + QString(QChar(0xD83D)) << QByteArray("a?b?");
    }

    void encodes()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(toWindows1252(text), bytes);
    }

    void safeName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("safe");

        QTest::newRow("plate") << "Ü-AB 1" << true;
        QTest::newRow("date") << "05.03.2006" << true;
        QTest::newRow("three dots") << "..." << true;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("dot") << "." << false;
        QTest::newRow("dot dot") << ".." << false;
        QTest::newRow("leaves the folder") << "../x" << false;
        QTest::newRow("absolute") << "/etc" << false;
        QTest::newRow("backslash") << "HH\\OM" << false;
        QTest::newRow("NUL") << QString("HH") + QChar(u'\0') + QString("OM") << false;
    }

    // The plate names the report folder and a trip date names its page: both paths exist
    // exactly for the safe names, and an unsafe one is named in the reason.
    void safeName()
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
};

QTEST_GUILESS_MAIN(TestReportOutput)
#include "test_report_output.moc"
