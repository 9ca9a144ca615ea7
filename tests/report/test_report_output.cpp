// The bytes a report is written in, the names its files may take, and stored texts as HTML.
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
        QTest::addColumn<bool>("pageSafe"); // as the name of a trip page, ".html" added

        QTest::newRow("plate") << "Ü-AB 1" << true << true;
        QTest::newRow("date") << "05.03.2006" << true << true;
        QTest::newRow("three dots") << "..." << true << true;
        QTest::newRow("empty") << "" << false << false;
        QTest::newRow("dot") << "." << false << false;
        QTest::newRow("dot dot") << ".." << false << false;
        QTest::newRow("leaves the folder") << "../x" << false << false;
        QTest::newRow("absolute") << "/etc" << false << false;
        QTest::newRow("backslash") << "HH\\OM" << false << false;
        QTest::newRow("NUL") << QString("HH") + QChar(u'\0') + QString("OM") << false << false;
        QTest::newRow("line break") << "HH\nOM" << false << false;
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
        if (!safe)
            QVERIFY2(folderError.contains(shown), qPrintable(folderError));
        if (!pageSafe)
            QVERIFY2(pageError.contains(shown), qPrintable(pageError));
    }

    void pageNames_data()
    {
        QTest::addColumn<QStringList>("datums");
        QTest::addColumn<QStringList>("names");

        QTest::newRow("one trip per date")
            << QStringList { "05.03.2006", "17.03.2006" } << QStringList { "05.03.2006", "17.03.2006" };
        // Counted per date, wherever a date comes again in the list.
        QTest::newRow("three and two")
            << QStringList { "01.03.2006", "02.03.2006", "01.03.2006", "02.03.2006", "01.03.2006" }
            << QStringList { "01.03.2006", "02.03.2006", "01.03.2006_2", "02.03.2006_2", "01.03.2006_3" };
        QTest::newRow("none") << QStringList() << QStringList();
    }

    void pageNames()
    {
        QFETCH(QStringList, datums);
        QFETCH(QStringList, names);
        QCOMPARE(tripPageNames(datums), names);
    }

    void htmlText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("html");

        const auto row = [](const char* name, const char* text, const char* html) {
            QTest::newRow(name) << QString(text) << QString(html);
        };
        row("plain", "Kunde Müller, 5 € 'bar'", "Kunde Müller, 5 € 'bar'");
        row("markup", "<i>Schulung</i>", "&lt;i&gt;Schulung&lt;/i&gt;");
        row("script", "<script>alert(\"x\")</script>", "&lt;script&gt;alert(&quot;x&quot;)&lt;/script&gt;");
        row("ampersand, entity", "Müller & Söhne &amp;", "Müller &amp; Söhne &amp;amp;");
        row("line breaks", "a\r\nb\nc", "a\r\nb\nc");
    }

    // Every stored text of the report and the trip page goes in as HTML text; the page's own
    // markup stays as it is.
    void htmlText()
    {
        QFETCH(QString, text);
        QFETCH(QString, html);
        QCOMPARE(odomira::htmlText(text), html);
        QCOMPARE(tripPageLines(text), QStringList({ "<html>", "<body>", html, "</body>", "</html>" }));

        const QString left = "<td width=486 height=9 align=left><font face=MS Sans Serif size=2>";
        const QString right = "<td width=486 height=9 align=right><font face=MS Sans Serif size=2>";
        const QStringList row = reportTripLines({ text, text, text, text, text, text, text, text });
        QCOMPARE(row.value(1), left + "<a href =" + html + ".html target=_blank>" + html + "</a></td>");
        QCOMPARE(row.mid(2, 6),
            QStringList({ left + html + "</td>", left + html + "</td>", right + html + "</td>",
                right + html + "</td>", right + html + "</td>", right + html + "</td>" }));
        QCOMPARE(reportHeadLines(text).value(3), html);
        const QStringList tail = reportTailLines(text, text);
        QCOMPARE(tail.value(6) + tail.value(10), left + html + "</td>" + right + html + "</td>");
    }
};

QTEST_GUILESS_MAIN(TestReportOutput)
#include "test_report_output.moc"
