// The bytes a report is written in (test_export's expected bytes are made with the same
// encoder), the names its files may take, and stored texts as HTML where test_export leaves a
// case untried.
#include "report/ansi_line_writer.h"
#include "report/report_document.h"
#include "report/report_paths.h"
#include "report/trip_page.h"

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
        QTest::newRow("outside the code page, surrogates") << "Łódź 😀" + QString(QChar(0xD83D))
                                                           << QByteArray("?\xF3"
                                                                         "d? ??");
    }

    void encodes()
    {
        QFETCH(QString, text);
        QTEST(toWindows1252(text), "bytes");
    }

    void safeName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("safe");
        QTest::addColumn<bool>("pageSafe"); // as the name of a trip page, ".html" added

        QTest::newRow("plate") << "Ü-AB 1" << true << true;
        QTest::newRow("three dots") << "..." << true << true;
        QTest::newRow("empty") << "" << false << false;
        QTest::newRow("dot dot") << ".." << false << false;
        QTest::newRow("leaves the folder") << "../x" << false << false;
        QTest::newRow("backslash") << "HH\\OM" << false << false;
        QTest::newRow("NUL") << QString("HH") + QChar(u'\0') + QString("OM") << false << false;
        QTest::newRow("delete character") << "HH\x7fOM" << false << false;
        QTest::newRow("C1 control") << QString("HH") + QChar(0x85) + QString("OM") << false << false;
        QTest::newRow("longest name") << QString(250, u'x') << true << true;
        QTest::newRow("page name too long") << QString(251, u'x') << true << false;
        QTest::newRow("too long in bytes") << QString(128, u'Ü') << false << false;
    }

    // The plate names the report folder and a trip date names its page: both paths exist
    // exactly for the safe names, and an unsafe one is named in the reason, cut to 40 characters.
    void safeName()
    {
        QFETCH(QString, name);
        QFETCH(bool, safe);
        QFETCH(bool, pageSafe);
        QCOMPARE(isSafeName(name), safe);
        QString folderError, pageError;
        QCOMPARE(reportFolderPath("/opt/odomira", name, &folderError).has_value(), safe);
        QCOMPARE(tripPagePath("/opt/odomira", "HH-OM 42", name, &pageError).has_value(), pageSafe);
        const QString shown = name.size() > 40 ? "„" + name.left(40) + "…“" : "„" + name + "“";
        QVERIFY2(safe || folderError.contains(shown), qPrintable(folderError));
        QVERIFY2(pageSafe || pageError.contains(shown), qPrintable(pageError));
    }

    // Counted per date, wherever a date comes again in the list.
    void pageNames()
    {
        QCOMPARE(tripPageNames({ "01.03.2006", "02.03.2006", "01.03.2006", "02.03.2006", "01.03.2006" }),
            QStringList({ "01.03.2006", "02.03.2006", "01.03.2006_2", "02.03.2006_2", "01.03.2006_3" }));
    }

    // An entity already in the text is text too.
    void htmlText()
    {
        QCOMPARE(odomira::htmlText("<script>alert(\"x\")</script> &amp;"),
            "&lt;script&gt;alert(&quot;x&quot;)&lt;/script&gt; &amp;amp;");
    }
};

QTEST_GUILESS_MAIN(TestReportOutput)
#include "test_report_output.moc"
