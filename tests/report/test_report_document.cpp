#include "report/report_document.h"
#include "report/trip_page.h"

#include <QBuffer>
#include <QTest>

using namespace odomira;

class TestReportDocument : public QObject
{
    Q_OBJECT
private slots:
    void monthWithThreeTripsIsByteExact();
    void headingForEachTitle_data();
    void headingForEachTitle();
    void monthWithoutTripsHas46Lines();
    void tripPage_data();
    void tripPage();
};

namespace {

QByteArray crlfJoined(const QList<QByteArray>& lines)
{
    QByteArray bytes;
    for (const QByteArray& line : lines)
        bytes += line + "\r\n";
    return bytes;
}

const char* const L = "<td width=486 height=9 align=left><font face=MS Sans Serif size=2>";
const char* const R = "<td width=486 height=9 align=right><font face=MS Sans Serif size=2>";

QByteArray left(const QByteArray& text)
{
    return L + text + "</td>";
}

QByteArray right(const QByteArray& text)
{
    return R + text + "</td>";
}

QList<QByteArray> tripRow(const QByteArray& datum, const QByteArray& von, const QByteArray& bis,
                          const QByteArray& ziel, const QByteArray& start, const QByteArray& ende,
                          const QByteArray& gesamt)
{
    return {"<tr>",
            L + QByteArray("<a href =") + datum + ".html target=_blank>" + datum + "</a></td>",
            left(von), left(bis), right(ziel), right(start), right(ende), right(gesamt),
            "</tr>"};
}

} // namespace

void TestReportDocument::monthWithThreeTripsIsByteExact()
{
    QBuffer buffer;
    QVERIFY(buffer.open(QIODevice::WriteOnly));
    ReportWriter writer(&buffer);
    QVERIFY(writer.writeHead(reportHeading("Komplette Übersicht aller Fahrten", "HH-OM 42", "März", "2006")));
    QVERIFY(writer.writeTrip({"03.03.2006", "Hamburg", "Lübeck", "Kunde <b>Müller</b>", "190888", "190890", "2"}));
    QVERIFY(writer.writeTrip({"15.03.2006", "Lübeck", "Łódź", "Messe 😀 für 5 €", "190890", "191500", "610"}));
    QVERIFY(writer.writeTrip({"31.03.2006", "Bremen", "Hamburg", "", "191500", "191620", ""}));
    QVERIFY(writer.writeTail("612", "85,3012"));
    QVERIFY(writer.ok());

    QList<QByteArray> expected = {
        "<html>",
        "<body>",
        "<center>",
        "Komplette \xDC" "bersicht aller Fahrten mit HH-OM 42 f\xFCr Monat M\xE4rz 2006",
        "<div align=left>",
        "<table border=0 width=893 height=9>",
        "<tr>",
        "<td width=486 height=22 align=left><b><font face=MS Sans Serif size=2>Datum</font></b></td>",
        "<td width=486 height=22 align=left><b><font face=MS Sans Serif size=2>von</font></b></td>",
        "<td width=486 height=22 align=left><b><font face=MS Sans Serif size=2>bis</font></b></td>",
        "<td width=486 height=22 align=left>",
        "<p align=right><b><font face=MS Sans Serif size=2>Reisziel</font></b></p>",
        "</td>",
        "<td width=486 height=22 align=right><b><font face=MS Sans Serif size=2 color=#0000FF>KM Start</font></b></td>",
        "<td width=486 height=22 align=right><b><font face=MS Sans Serif size=2 color=#FF0000>KM Ziel</font></b></td>",
        "<td width=486 height=22 align=right><b><font face=MS Sans Serif size=2 color=#FF0000>KM Gesamt</font></b></td>",
        "</td>",
        "</tr>",
        "<tr>",
        "<td width=486 height=22 align=left></td>",
        "<td width=486 height=22 align=left></td>",
        "<td width=486 height=22 align=left></td>",
        "<td width=486 height=22 align=right></td>",
        "<td width=486 height=22 align=right></td>",
        "<td width=486 height=22 align=right></td>",
        "</tr>",
    };
    expected += tripRow("03.03.2006", "Hamburg", "L\xFC" "beck", "Kunde <b>M\xFCller</b>", "190888", "190890", "2");
    expected += tripRow("15.03.2006", "L\xFC" "beck", "?\xF3" "d?", "Messe ? f\xFCr 5 \x80", "190890", "191500", "610");
    expected += tripRow("31.03.2006", "Bremen", "Hamburg", "", "191500", "191620", "");
    expected += {
        "</table>",
        "<hr>",
        "<div align=left>",
        "<table border=0 width=893 height=9>",
        "<tr>",
        left("Kilometer Gesamt:"),
        left("612"),
        left(""),
        right(""),
        right("Kosten KM "),
        right("85,3012"),
        "<td width=1560 height=9 align=center><font face=MS Sans Serif size=2></td>",
        "</tr>",
        "</table>",
        "<hr>",
        "<hr>",
        "</div>",
        "</body>",
        "</center>",
        "</html>",
    };
    QCOMPARE(expected.size(), 73);

    const QByteArray bytes = buffer.data();
    QCOMPARE(bytes.count("\r\n"), 73);
    QCOMPARE(bytes.count('\n'), 73);
    QVERIFY(bytes.endsWith("</html>\r\n"));
    const QList<QByteArray> actualLines = bytes.split('\n');
    const QByteArray expectedBytes = crlfJoined(expected);
    const QList<QByteArray> expectedLines = expectedBytes.split('\n');
    for (qsizetype i = 0; i < qMin(actualLines.size(), expectedLines.size()); ++i)
        QCOMPARE(actualLines.at(i), expectedLines.at(i)); // names the first differing line
    QCOMPARE(bytes, expectedBytes);
}

void TestReportDocument::headingForEachTitle_data()
{
    QTest::addColumn<QString>("titel");
    QTest::addColumn<QString>("month");
    QTest::addColumn<QString>("year");
    QTest::addColumn<QString>("heading");

    QTest::newRow("month export") << "Komplette Übersicht aller Fahrten" << "März" << "2006"
                                  << "Komplette Übersicht aller Fahrten mit HH-OM 42 für Monat März 2006";
    QTest::newRow("kind export") << "Geschäftliche Fahrten" << "Dezember" << "2007"
                                 << "Geschäftliche Fahrten mit HH-OM 42 für Monat Dezember 2007";
    QTest::newRow("no title since start-up") << "" << "Mai" << "2006"
                                             << " mit HH-OM 42 für Monat Mai 2006";
    QTest::newRow("unchosen month") << "Private Fahrten" << ".. Monat Wählen" << "2006"
                                    << "Private Fahrten mit HH-OM 42 für Monat .. Monat Wählen 2006";
}

void TestReportDocument::headingForEachTitle()
{
    QFETCH(QString, titel);
    QFETCH(QString, month);
    QFETCH(QString, year);
    QFETCH(QString, heading);

    QCOMPARE(reportHeading(titel, "HH-OM 42", month, year), heading);
    QCOMPARE(reportHeadLines(heading).at(3), heading); // the fourth line, no markup around it
}

void TestReportDocument::monthWithoutTripsHas46Lines()
{
    QBuffer buffer;
    QVERIFY(buffer.open(QIODevice::WriteOnly));
    ReportWriter writer(&buffer);
    QVERIFY(writer.writeHead(" mit X für Monat Mai 2006"));
    QVERIFY(writer.writeTail("", ""));
    QCOMPARE(buffer.data().count("\r\n"), 46);
    QVERIFY(buffer.data().startsWith("<html>\r\n<body>\r\n<center>\r\n mit X f\xFCr Monat Mai 2006\r\n"));
}

void TestReportDocument::tripPage_data()
{
    QTest::addColumn<QString>("bemerkung");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("remark") << "Kundenbesuch Müller"
                            << QByteArray("<html>\r\n<body>\r\nKundenbesuch M\xFCller\r\n</body>\r\n</html>\r\n");
    QTest::newRow("empty remark") << ""
                                  << QByteArray("<html>\r\n<body>\r\n\r\n</body>\r\n</html>\r\n");
    QTest::newRow("remark without value") << QString()
                                          << QByteArray("<html>\r\n<body>\r\n\r\n</body>\r\n</html>\r\n");
    QTest::newRow("markup unescaped") << "<b>Messe</b> & \"Vertrag\" 5 €"
        << QByteArray("<html>\r\n<body>\r\n<b>Messe</b> & \"Vertrag\" 5 \x80\r\n</body>\r\n</html>\r\n");
    QTest::newRow("line breaks kept") << "Zeile 1\nZeile 2\r\nZeile 3"
        << QByteArray("<html>\r\n<body>\r\nZeile 1\nZeile 2\r\nZeile 3\r\n</body>\r\n</html>\r\n");
}

void TestReportDocument::tripPage()
{
    QFETCH(QString, bemerkung);
    QFETCH(QByteArray, bytes);

    QBuffer buffer;
    QVERIFY(buffer.open(QIODevice::WriteOnly));
    QVERIFY(writeTripPage(&buffer, bemerkung));
    QCOMPARE(buffer.data(), bytes);
}

QTEST_GUILESS_MAIN(TestReportDocument)
#include "test_report_document.moc"
