// Both "Export" buttons on a temporary logbook: the report byte for byte, the trip pages,
// the empty month, and the refusals and failures that must not pass silently.
#include "window/window_fixture.h"

#include "report/ansi_line_writer.h"
#include "store/data_source.h"

#include <QDirIterator>
#include <QRadioButton>
#include <QTabWidget>

#include <array>

using namespace odomira::test;

namespace {

const QString Plate = QStringLiteral("HH-OM 42");

// Flags in the order business, private, way to work.
TripRow trip(const QString& datum, const QString& von, const QString& bis, const QString& ziel,
    const QString& start, const QString& ende, const QString& gesamt, const QString& kosten,
    const QString& bemerkung, const char* flags = "000")
{
    auto flag = [flags](int i) { return QString::fromLatin1(flags[i] == '1' ? "-1" : "0"); };
    return { datum, von, bis, ziel, bemerkung, start, ende, gesamt, "1.189", kosten, flag(0), flag(1),
        flag(2) };
}

// March 2006: one trip of each kind out of date order, with markup, characters outside the
// code page, empty fields and remarks with markup or line breaks. April 2006: two unflagged
// trips on one date and a business trip. December and another year complete the logbook.
QList<TripRow> logbookTrips()
{
    return {
        trip("28.03.2006", "Bremen", "Hamburg", "", "1178", "1198.5", "", "1.9243",
            "Zeile 1\nZeile 2\r\nZeile 3", "001"),
        trip("05.03.2006", "Hamburg", "Lübeck", "Kunde <b>Müller</b> & Söhne", "1000", "1068", "68", "6.3803",
            "<b>Messe</b> & <i>Stand</i> 5 €", "100"),
        trip("17.03.2006", "Lübeck", "Łódź", "Messe 😀 für 5 €", "1068", "1178", "110", "10.3216", QString(),
            "010"),
        trip("02.04.2006", "K", "K", "Hin", "1", "2", "1", "9", "Hinfahrt"),
        trip("02.04.2006", "K", "K", "Rück", "2", "3", "1", "9", "Rückfahrt über Lübeck"),
        trip("20.04.2006", "K", "S", "S", "3", "4", "1", "9", "Kunde", "100"),
        trip("31.12.2006", "K", "K", "K", "4", "5", "1", "9", "Kunde"),
        trip("10.03.2007", "K", "S", "S", "5", "6", "1", "9", "Kunde"),
    };
}

QString folder(WindowFixture& f)
{
    return f.programDir() + u'/' + Plate;
}

QString reportPath(WindowFixture& f, const QString& month = QStringLiteral("März"))
{
    return folder(f) + QStringLiteral("/HH-OM 42 ") + month + QStringLiteral("_2006.html");
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Every folder and file below `root` with the files' contents, to show what changed.
QStringList treeState(const QString& root)
{
    QStringList state;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
        QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        state << QDir(root).relativeFilePath(path)
                + (it.fileInfo().isDir() ? QStringLiteral("/") : " " + QString::fromLatin1(readAll(path)));
    }
    state.sort();
    return state;
}

// Month (unless null) and year chosen or typed on the tab "Auswertung", then the button clicked.
void exportWith(WindowFixture& f, bool byKind, const QString& month = QStringLiteral("März"),
    const QString& year = QStringLiteral("2006"))
{
    f.w().SSTab1->setCurrentIndex(1);
    if (!month.isNull())
        WindowFixture::choose(f.w().cmb_monat, month);
    WindowFixture::choose(f.w().cmb_jahr, year);
    WindowFixture::click(byKind ? f.w().cmd_kridruck : f.w().cmd_drucken);
}

// A trip page: the remark between the two opening and the two closing lines.
QByteArray page(const QByteArray& remark)
{
    return "<html>\r\n<body>\r\n" + remark + "\r\n</body>\r\n</html>\r\n";
}

QByteArray cell(const char* align, const QByteArray& text)
{
    return "<td width=486 height=9 align=" + QByteArray(align) + "><font face=MS Sans Serif size=2>" + text
        + "</td>";
}

// Date, from, to, destination, start, end, kilometres.
QList<QByteArray> tripRow(const QList<QByteArray>& c)
{
    QList<QByteArray> lines { "<tr>",
        cell("left", "<a href =" + c[0] + ".html target=_blank>" + c[0] + "</a>") };
    for (int i = 1; i < 7; ++i)
        lines << cell(i < 3 ? "left" : "right", c[i]);
    return lines << "</tr>";
}

} // namespace

class TestExport : public QObject {
    Q_OBJECT

private slots:
    void monthReportAndPagesAreByteExact()
    {
        WindowFixture f;
        QVERIFY(f.open(logbookTrips()));
        // An older, longer page of a date is replaced; a page of another month stays.
        QVERIFY(QDir().mkdir(folder(f)));
        QVERIFY(writeFile(folder(f) + "/05.03.2006.html", QByteArray(4000, 'x')));
        QVERIFY(writeFile(folder(f) + "/01.02.2006.html", "alte Seite"));
        exportWith(f, false);

        QCOMPARE(f.messages.size(), 0);
        const QByteArray h = "<td width=486 height=22 align=";
        const QByteArray b = "><b><font face=MS Sans Serif size=2";
        QByteArrayList expected = { "<html>", "<body>", "<center>",
            QByteArray("Komplette \xDC") + "bersicht aller Fahrten mit HH-OM 42 f\xFCr Monat M\xE4rz 2006",
            "<div align=left>", "<table border=0 width=893 height=9>", "<tr>",
            h + "left" + b + ">Datum</font></b></td>", h + "left" + b + ">von</font></b></td>",
            h + "left" + b + ">bis</font></b></td>", h + "left>",
            "<p align=right><b><font face=MS Sans Serif size=2>Reisziel</font></b></p>", "</td>",
            h + "right" + b + " color=#0000FF>KM Start</font></b></td>",
            h + "right" + b + " color=#FF0000>KM Ziel</font></b></td>",
            h + "right" + b + " color=#FF0000>KM Gesamt</font></b></td>", "</td>", "</tr>", "<tr>",
            h + "left></td>", h + "left></td>", h + "left></td>", h + "right></td>", h + "right></td>",
            h + "right></td>", "</tr>" };
        expected += tripRow({ "05.03.2006", "Hamburg", QByteArray("L\xFC") + "beck",
            "Kunde <b>M\xFCller</b> & S\xF6hne", "1000", "1068", "68" });
        expected += tripRow({ "17.03.2006", QByteArray("L\xFC") + "beck", QByteArray("?\xF3") + "d?",
            "Messe ? f\xFCr 5 \x80", "1068", "1178", "110" });
        expected += tripRow({ "28.03.2006", "Bremen", "Hamburg", "", "1178", "1198,5", "" });
        expected += { "</table>", "<hr>", "<div align=left>", "<table border=0 width=893 height=9>", "<tr>",
            cell("left", "Kilometer Gesamt:"), cell("left", "178"), cell("left", ""), cell("right", ""),
            cell("right", "Kosten KM "), cell("right", "18,6262"),
            "<td width=1560 height=9 align=center><font face=MS Sans Serif size=2></td>", "</tr>", "</table>",
            "<hr>", "<hr>", "</div>", "</body>", "</center>", "</html>" };
        QCOMPARE(expected.size(), 73);
        // Split at LF so that a difference names its line; the CR stays with each line.
        QCOMPARE(readAll(reportPath(f)).split('\n'), (expected.join("\r\n") + "\r\n").split('\n'));

        // One page per trip: the remark unescaped, its line breaks as they are, none as an empty line.
        QCOMPARE(readAll(folder(f) + "/05.03.2006.html"), page("<b>Messe</b> & <i>Stand</i> 5 \x80"));
        QCOMPARE(readAll(folder(f) + "/17.03.2006.html"), page(""));
        QCOMPARE(readAll(folder(f) + "/28.03.2006.html"), page("Zeile 1\nZeile 2\r\nZeile 3"));
        QCOMPARE(readAll(folder(f) + "/01.02.2006.html"), QByteArray("alte Seite"));
        QCOMPARE(QDir(folder(f)).entryList(QDir::Files).size(), 5);

        QCOMPARE(f.openedUrls, QList<QUrl> { QUrl::fromLocalFile(reportPath(f)) });
        QCOMPARE(f.w().SSTab1->currentIndex(), 2);
    }

    void heading_data()
    {
        QTest::addColumn<bool>("monthFirst");
        QTest::addColumn<QString>("option");
        QTest::addColumn<bool>("byKind");
        QTest::addColumn<QString>("month"); // null: left unchosen
        QTest::addColumn<QString>("heading");
        QTest::addColumn<int>("trips");

        // No option chosen since start-up: the trips without a kind, under an empty title.
        QTest::newRow("kind, no option after start-up") << false << "" << true << "April"
                                                        << " mit HH-OM 42 für Monat April 2006" << 2;
        QTest::newRow("kind replaces the month's report")
            << true << "aus_gesch" << true << "März"
            << "Geschäftliche Fahrten mit HH-OM 42 für Monat März 2006" << 1;
        // The month box still shows its prompt: the whole year, in a file named with that text.
        QTest::newRow("unchosen month")
            << false << "" << false << QString()
            << "Komplette Übersicht aller Fahrten mit HH-OM 42 für Monat .. Monat Wählen 2006" << 7;
    }

    void heading()
    {
        QFETCH(bool, monthFirst);
        QFETCH(QString, option);
        QFETCH(bool, byKind);
        QFETCH(QString, month);
        QFETCH(QString, heading);
        QFETCH(int, trips);
        WindowFixture f;
        QVERIFY(f.open(logbookTrips()));
        if (monthFirst)
            exportWith(f, false, month);
        if (!option.isEmpty())
            WindowFixture::click(f.w().findChild<QRadioButton*>(option));
        exportWith(f, byKind, month);

        QCOMPARE(f.messages.size(), 0);
        const QString path = reportPath(f, f.w().cmb_monat->currentText());
        const QByteArray bytes = readAll(path);
        QCOMPARE(bytes.split('\n').value(3), odomira::toWindows1252(heading) + '\r');
        QCOMPARE(bytes.count("\r\n"), 46 + 9 * trips); // none of another month, kind or year
        QCOMPARE(f.openedUrls, QList<QUrl>(monthFirst ? 2 : 1, QUrl::fromLocalFile(path)));

        // A page for each listed trip; trips sharing a date share a page, the later one in the
        // list writing it last (the two unflagged trips of April).
        QMap<QString, QString> remarks;
        odomira::DataSource* list = f.w().Auswertung;
        QVERIFY(list->refresh());
        for (; !list->atEnd(); list->moveNext())
            remarks[list->field(QStringLiteral("datum"))] = list->field(QStringLiteral("bemerkung"));
        QVERIFY(!remarks.isEmpty());
        for (auto it = remarks.cbegin(); it != remarks.cend(); ++it)
            QCOMPARE(readAll(folder(f) + '/' + it.key() + ".html"), page(odomira::toWindows1252(it.value())));
    }

    // The old report of the month goes; nothing is written and no browser opens.
    void emptyPeriod()
    {
        WindowFixture f;
        QVERIFY(f.open(logbookTrips()));
        QVERIFY(QDir().mkdir(folder(f)));
        QVERIFY(writeFile(reportPath(f, QStringLiteral("Mai")), "alter Bericht"));
        QVERIFY(writeFile(reportPath(f), "Bericht eines anderen Monats"));
        exportWith(f, false, QStringLiteral("Mai"));

        QCOMPARE(f.messages.size(), 1);
        QCOMPARE(f.messages[0].text, QStringLiteral("Für diesen Zeitraum sind keine Daten vorhanden !"));
        QCOMPARE(f.messages[0].icon, QMessageBox::Critical);
        QVERIFY(f.openedUrls.isEmpty());
        QCOMPARE(f.w().SSTab1->currentIndex(), 1);
        const QStringList left { "HH-OM 42/",
            "HH-OM 42/HH-OM 42 März_2006.html Bericht eines anderen Monats" };
        QCOMPARE(treeState(f.programDir()), left);
    }

    // A plate or typed year that leaves the folder is refused before anything is deleted or
    // written, anywhere, and before the evaluation runs.
    void unsafeNamesRefused()
    {
        for (const auto& [plate, year, named] : { std::array<QString, 3> { "../x", "2006", "„../x“" },
                 std::array<QString, 3> { Plate, "2006/..", "„2006/..“" } }) {
            VehicleRow vehicle;
            vehicle.kennzeichen = plate;
            WindowFixture f;
            QVERIFY(f.open(logbookTrips(), vehicle));
            // Bait where an unchecked plate would delete and write its report and pages.
            const QString root = QFileInfo(f.programDir()).path();
            QVERIFY(QDir().mkpath(root + "/x") && writeFile(root + "/x März_2006.html", "fremde Datei"));
            const QStringList before = treeState(root);
            exportWith(f, year != "2006", QStringLiteral("März"), year);

            QCOMPARE(f.messages.size(), 1);
            QVERIFY2(f.messages[0].text.contains(named), qPrintable(f.messages[0].text));
            QVERIFY2(f.messages[0].text.contains("nichts geschrieben"), qPrintable(f.messages[0].text));
            QVERIFY(f.openedUrls.isEmpty());
            QCOMPARE(treeState(root), before);
            QCOMPARE(f.w().SSTab1->currentIndex(), 1);
        }
    }

    void unwritableOutput_data()
    {
        QTest::addColumn<QString>("blocked"); // a file where the folder goes, or a folder where a file goes
        QTest::addColumn<int>("pages");
        QTest::newRow("report folder") << "HH-OM 42" << 0;
        QTest::newRow("report file") << "HH-OM 42/HH-OM 42 März_2006.html" << 3;
        QTest::newRow("one trip page alone") << "" << 3;
    }

    // What could not be written is named, a date that is no file name too; without a report no
    // browser opens.
    void unwritableOutput()
    {
        QFETCH(QString, blocked);
        QFETCH(int, pages);
        WindowFixture f;
        // A date no window writes, but the file may hold it.
        QVERIFY(f.open(logbookTrips() << trip("../.03.2006", "A", "B", "C", "1", "2", "1", "1", "fremd")));
        const QString path = f.programDir() + '/' + blocked;
        if (!blocked.isEmpty())
            QVERIFY(pages == 0 ? writeFile(path, "kein Ordner") : QDir().mkpath(path));
        exportWith(f, false);

        QCOMPARE(f.messages.size(), 1);
        const QString text = f.messages[0].text;
        QVERIFY2(
            blocked.isEmpty() || text.contains("„" + QDir::toNativeSeparators(path) + "“"), qPrintable(text));
        QCOMPARE(text.contains("„../.03.2006“"), pages > 0); // pages are tried once the folder stands
        QCOMPARE(QDir(folder(f)).entryList({ "??.03.2006.html" }, QDir::Files).size(), pages);
        QVERIFY(!QFile::exists(f.programDir() + "/.03.2006.html"));
        QCOMPARE(f.openedUrls.size(), blocked.isEmpty() ? 1 : 0);
        QCOMPARE(f.w().SSTab1->currentIndex(), 2); // the evaluation itself is shown
    }
};

QTEST_MAIN(TestExport)
#include "test_export.moc"
