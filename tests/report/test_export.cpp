// Both "Export" buttons on a temporary logbook: the report byte for byte, the trip pages,
// the empty month, the refusals and failures that must not pass silently, and the folder
// written into when nothing overrides it.
#include "window/window_fixture.h"

#include "report/ansi_line_writer.h"

#include <QDirIterator>

using namespace odomira;
using namespace odomira::test;

namespace {

const QString Plate = QStringLiteral("HH-OM 42");

// Flags in the order business, private, way to work.
TripRow trip(const QString& datum, const QString& von, const QString& bis, const QString& ziel,
    const QString& start, const QString& ende, const QString& gesamt, const QString& kosten,
    const QString& bemerkung, const char* flags = "000")
{
    return withKinds({ datum, von, bis, ziel, bemerkung, start, ende, gesamt, "1.189", kosten }, flags);
}

// March 2006: one trip of each kind out of date order, with markup, characters outside the
// code page, empty fields and remarks with markup or line breaks, and an unflagged trip on a
// date taken, with "&", "<" and '"'. April, December and another year complete the logbook.
QList<TripRow> logbookTrips()
{
    return {
        trip("28.03.2006", "Bremen", "Hamburg", "", "1178", "1198.5", "", "1.9243",
            "Zeile 1\nZeile 2\r\nZeile 3", "001"),
        trip("05.03.2006", "Hamburg", "Lübeck", "Kunde <b>Müller</b> & Söhne", "1000", "1068", "68", "6.3803",
            "<b>Messe</b> & <i>Stand</i> 5 €", "100"),
        trip("17.03.2006", "Lübeck", "Łódź", "Messe 😀 für 5 €", "1068", "1178", "110", "10.3216", QString(),
            "010"),
        trip("05.03.2006", "K&M", "K", "Hin & zurück", "1", "2", "1", "9", "Termin <vorläufig> & \"fest\""),
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

// Date, from, to, destination, start, end, kilometres; the date links to `page`, by default
// the page named after it.
QList<QByteArray> tripRow(const QList<QByteArray>& c, const QByteArray& page = QByteArray())
{
    QList<QByteArray> lines { "<tr>",
        cell("left", "<a href =" + (page.isEmpty() ? c[0] : page) + ".html target=_blank>" + c[0] + "</a>") };
    for (int i = 1; i < 7; ++i)
        lines << cell(i < 3 ? "left" : "right", c[i]);
    return lines << "</tr>";
}

// The 26 lines before the trips, the heading in Windows-1252.
QByteArrayList reportHead(const QByteArray& heading)
{
    const QByteArray h = "<td width=486 height=22 align=";
    const QByteArray b = "><b><font face=MS Sans Serif size=2";
    return { "<html>", "<body>", "<center>", heading, "<div align=left>",
        "<table border=0 width=893 height=9>", "<tr>", h + "left" + b + ">Datum</font></b></td>",
        h + "left" + b + ">von</font></b></td>", h + "left" + b + ">bis</font></b></td>", h + "left>",
        "<p align=right><b><font face=MS Sans Serif size=2>Reisziel</font></b></p>", "</td>",
        h + "right" + b + " color=#0000FF>KM Start</font></b></td>",
        h + "right" + b + " color=#FF0000>KM Ziel</font></b></td>",
        h + "right" + b + " color=#FF0000>KM Gesamt</font></b></td>", "</td>", "</tr>", "<tr>",
        h + "left></td>", h + "left></td>", h + "left></td>", h + "right></td>", h + "right></td>",
        h + "right></td>", "</tr>" };
}

// The 20 lines after the trips.
QByteArrayList reportTail(const QByteArray& km, const QByteArray& cost)
{
    return { "</table>", "<hr>", "<div align=left>", "<table border=0 width=893 height=9>", "<tr>",
        cell("left", "Kilometer Gesamt:"), cell("left", km), cell("left", ""), cell("right", ""),
        cell("right", "Kosten KM "), cell("right", cost),
        "<td width=1560 height=9 align=center><font face=MS Sans Serif size=2></td>", "</tr>", "</table>",
        "<hr>", "<hr>", "</div>", "</body>", "</center>", "</html>" };
}

QByteArray ansi(const QString& text)
{
    return odomira::toWindows1252(text);
}

// The file's lines split at LF, so that a difference names its line; the CR stays with each line.
QList<QByteArray> fileLines(const QByteArrayList& lines)
{
    return (lines.join("\r\n") + "\r\n").split('\n');
}

} // namespace

class TestExport : public QObject {
    Q_OBJECT

private slots:
    // Both trips of 05.03.2006 get pages of their own, each report line links to its trip's
    // page; "&", "<", ">" and '"' go in as entities.
    void reportsAndPagesAreByteExact()
    {
        WindowFixture f;
        QVERIFY(f.open(logbookTrips()));
        // An older, longer page of a date is replaced; a page of another month stays.
        QVERIFY(QDir().mkdir(folder(f)));
        QVERIFY(writeFile(folder(f) + "/05.03.2006.html", QByteArray(4000, 'x')));
        QVERIFY(writeFile(folder(f) + "/01.02.2006.html", "alte Seite"));
        f.runPeriod("cmd_drucken");

        QCOMPARE(f.messages.size(), 0);
        QByteArrayList expected
            = reportHead(ansi("Komplette Übersicht aller Fahrten mit HH-OM 42 für Monat März 2006"));
        expected += tripRow({ "05.03.2006", "Hamburg", ansi("Lübeck"),
            ansi("Kunde &lt;b&gt;Müller&lt;/b&gt; &amp; Söhne"), "1000", "1068", "68" });
        expected += tripRow(
            { "05.03.2006", "K&amp;M", "K", ansi("Hin &amp; zurück"), "1", "2", "1" }, "05.03.2006_2");
        expected += tripRow(
            { "17.03.2006", ansi("Lübeck"), ansi("Łódź"), ansi("Messe 😀 für 5 €"), "1068", "1178", "110" });
        expected += tripRow({ "28.03.2006", "Bremen", "Hamburg", "", "1178", "1198,5", "" });
        expected += reportTail("179", "27,6262");
        QCOMPARE(expected.size(), 82);
        QCOMPARE(readAll(reportPath(f)).split('\n'), fileLines(expected));

        // One page per trip: the remark as HTML text, its line breaks as they are, none as an empty line.
        QCOMPARE(readAll(folder(f) + "/05.03.2006.html"),
            page(ansi("&lt;b&gt;Messe&lt;/b&gt; &amp; &lt;i&gt;Stand&lt;/i&gt; 5 €")));
        QCOMPARE(readAll(folder(f) + "/05.03.2006_2.html"),
            page(ansi("Termin &lt;vorläufig&gt; &amp; &quot;fest&quot;")));
        QCOMPARE(readAll(folder(f) + "/17.03.2006.html"), page(""));
        QCOMPARE(readAll(folder(f) + "/28.03.2006.html"), page("Zeile 1\nZeile 2\r\nZeile 3"));
        QCOMPARE(readAll(folder(f) + "/01.02.2006.html"), QByteArray("alte Seite"));
        QCOMPARE(QDir(folder(f)).entryList(QDir::Files).size(), 6);
        QCOMPARE(f.openedUrls, QList<QUrl> { QUrl::fromLocalFile(reportPath(f)) });
        QCOMPARE(f.currentTab(), 2);
    }

    // The old report of the month goes; nothing is written and no browser opens.
    void emptyPeriod()
    {
        WindowFixture f;
        QVERIFY(f.open(logbookTrips()));
        QVERIFY(QDir().mkdir(folder(f)));
        QVERIFY(writeFile(reportPath(f, QStringLiteral("Mai")), "alter Bericht"));
        QVERIFY(writeFile(reportPath(f), "Bericht eines anderen Monats"));
        f.runPeriod("cmd_drucken", QStringLiteral("Mai"));

        QCOMPARE(f.messages.size(), 1);
        QCOMPARE(f.messages[0].text, QStringLiteral("Für diesen Zeitraum sind keine Daten vorhanden !"));
        QCOMPARE(f.messages[0].icon, QMessageBox::Critical);
        QVERIFY(f.openedUrls.isEmpty());
        QCOMPARE(f.currentTab(), 1);
        const QStringList left { "HH-OM 42/",
            "HH-OM 42/HH-OM 42 März_2006.html Bericht eines anderen Monats" };
        QCOMPARE(treeState(f.programDir()), left);
    }

    void unsafeNamesRefused_data()
    {
        QTest::addColumn<QString>("plate");
        QTest::addColumn<QString>("year");
        QTest::addColumn<bool>("byKind");
        QTest::addColumn<QString>("named");
        addRow("plate leaves the folder", QString("../x"), QString("2006"), false, QString("„../x“"));
        addRow("typed year leaves the folder", Plate, QString("2006/.."), true, QString("„2006/..“"));
        addRow("escape in year", Plate, QString("2006\x1b"), false, QString("„2006\x1b“"));
    }

    // A plate or typed year that is no safe file name is refused before anything is deleted or
    // written, anywhere, and before the evaluation runs.
    void unsafeNamesRefused()
    {
        QFETCH(QString, plate);
        QFETCH(QString, year);
        QFETCH(bool, byKind);
        QFETCH(QString, named);
        VehicleRow vehicle;
        vehicle.kennzeichen = plate;
        WindowFixture f;
        QVERIFY(f.open(logbookTrips(), vehicle));
        // Bait where an unchecked plate would delete and write its report and pages.
        const QString root = QFileInfo(f.programDir()).path();
        QVERIFY(QDir().mkpath(root + "/x") && writeFile(root + "/x März_2006.html", "fremde Datei"));
        const QStringList before = treeState(root);
        f.showTab(1);
        WindowFixture::choose(f.control<QComboBox>("cmb_monat"), QStringLiteral("März"));
        f.control<QComboBox>("cmb_jahr")->setEditText(year); // typed, whatever the keyboard brings
        f.click(byKind ? "cmd_kridruck" : "cmd_drucken");

        QCOMPARE(f.messages.size(), 1);
        const QString text = f.messages[0].text;
        QVERIFY2(text.contains(named) && text.contains("nichts geschrieben"), qPrintable(text));
        QVERIFY(f.openedUrls.isEmpty());
        QCOMPARE(treeState(root), before);
        QCOMPARE(f.currentTab(), 1);
    }

    void blockedOutput_data()
    {
        QTest::addColumn<QString>("at"); // a symbolic link below the program folder, if any
        QTest::addColumn<bool>("toFolder"); // the link points to a folder, else to a file
        QTest::addColumn<int>("pages"); // March pages written
        QTest::addColumn<bool>("report"); // report written and shown
        addRow("link as report folder", Plate, true, 0, false);
        addRow("link as trip page", QString("HH-OM 42/05.03.2006.html"), false, 2, true);
        addRow("one trip page alone", QString(), false, 3, true);
    }

    // What could not be written is named, a date that is no file name too; a symbolic link where
    // the export writes is named and not followed, and what it points to stays as it was.
    void blockedOutput()
    {
        QFETCH(QString, at);
        QFETCH(bool, toFolder);
        QFETCH(int, pages);
        QFETCH(bool, report);
        WindowFixture f;
        // A date no window writes, but the file may hold it.
        QVERIFY(f.open(logbookTrips() << trip("../.03.2006", "A", "B", "C", "1", "2", "1", "1", "fremd")));
        QTemporaryDir outside;
        const QString path = f.programDir() + '/' + at;
        const QString target = outside.filePath("ziel");
        if (!at.isEmpty()) {
            QVERIFY(toFolder ? QDir().mkdir(target) : writeFile(target, "fremde Datei"));
            QVERIFY(QDir().mkpath(QFileInfo(path).path()) && QFile::link(target, path));
        }
        const QStringList outsideBefore = treeState(outside.path());
        f.runPeriod("cmd_drucken");

        QCOMPARE(treeState(outside.path()), outsideBefore);
        QCOMPARE(QFileInfo(path).isSymLink(), !at.isEmpty());
        QCOMPARE(f.messages.size(), 1);
        const QString text = f.messages[0].text;
        const QString quoted = "„" + QDir::toNativeSeparators(path) + "“ steht ein symbolischer Verweis";
        QVERIFY2(at.isEmpty() || text.contains(quoted), qPrintable(text));
        QCOMPARE(text.contains("„../.03.2006“"), pages > 0); // pages are tried once the folder stands
        QCOMPARE(
            QDir(folder(f)).entryList({ "??.03.2006.html" }, QDir::Files | QDir::NoSymLinks).size(), pages);
        QVERIFY(!QFile::exists(f.programDir() + "/.03.2006.html"));
        QCOMPARE(f.openedUrls.size(), report ? 1 : 0);
        QCOMPARE(QFileInfo(reportPath(f)).isFile() && !QFileInfo(reportPath(f)).isSymLink(), report);
        QCOMPARE(f.currentTab(), 2); // the evaluation itself is shown
    }

    // Where an export writes when nothing overrides it: the plate's folder beside the logbook,
    // however the logbook was named, and never the program's folder, which on an installed
    // system no user can write.
    void besideTheLogbook_data()
    {
        QTest::addColumn<QString>("workingDirectory"); // "logbook", "parent" or "elsewhere"
        QTest::addColumn<QString>("logbookName"); // as given to the window; %1 is the logbook's folder name
        QTest::newRow("absolute path") << "elsewhere"
                                       << "";
        QTest::newRow("relative path") << "parent"
                                       << "%1/odomira.mdb";
        QTest::newRow("working directory, as a start without arguments") << "logbook"
                                                                         << "odomira.mdb";
    }

    void besideTheLogbook()
    {
        QFETCH(QString, workingDirectory);
        QFETCH(QString, logbookName);
        TempLogbook logbook;
        QVERIFY(logbook.createWithVehicle({}, { { .datum = "05.03.2006", .ziel = "Kunde" } }));
        const QDir folder(logbook.dirPath());
        QTemporaryDir elsewhere;
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(workingDirectory == u"logbook" ? folder.path()
                : workingDirectory == u"parent"                 ? QFileInfo(folder.path()).path()
                                                                : elsewhere.path()));
        const QString programFolder = QCoreApplication::applicationDirPath() + QStringLiteral("/HH-OM 42");
        const bool programFolderHadOne = QFileInfo::exists(programFolder);
        QList<QUrl> opened;
        QStringList messages;
        {
            frm_odomira window(logbookName.isEmpty() ? logbook.path() : logbookName.arg(folder.dirName()));
            window.setMessageHook([&](const QString& text, QMessageBox::Icon) { messages << text; });
            window.setUrlOpener([&](const QUrl& url) { opened << url; });
            QString error;
            QVERIFY2(window.Form_Load(&error), qPrintable(error));
            // The working directory may change while the program runs; the folder stays.
            QVERIFY(QDir::setCurrent(elsewhere.path()));
            window.findChild<QComboBox*>(QStringLiteral("cmb_monat"))->setCurrentText(QStringLiteral("März"));
            window.findChild<QComboBox*>(QStringLiteral("cmb_jahr"))->setCurrentText(QStringLiteral("2006"));
            window.findChild<QPushButton*>(QStringLiteral("cmd_drucken"))->click();
        }
        QDir::setCurrent(previous);

        QCOMPARE(messages, QStringList {});
        const QString report = folder.filePath(QStringLiteral("HH-OM 42/HH-OM 42 März_2006.html"));
        QCOMPARE(opened, QList<QUrl> { QUrl::fromLocalFile(report) });
        QVERIFY(QFileInfo(report).isFile());
        // Checked by the folder chosen rather than by permissions: run as root, a read-only
        // program folder would not have stopped a write into it.
        QVERIFY(programFolderHadOne || !QFileInfo::exists(programFolder));
        QVERIFY(QDir(elsewhere.path()).isEmpty());
    }
};

QTEST_MAIN(TestExport)
#include "test_export.moc"
