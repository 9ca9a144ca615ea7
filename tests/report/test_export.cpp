// Both "Export" buttons through the window on a temporary logbook: the report file, the
// trip pages, the empty month, the browser seam, and the refusals and failures that must
// not pass silently.
#include "window/window_access.h"

#include "evaluation/period.h"
#include "evaluation/statements.h"
#include "report/ansi_line_writer.h"
#include "report/report_document.h"
#include "report/trip_page.h"
#include "store/data_source.h"
#include "support/temp_logbook.h"
#include "window/frm_odomira.h"

#include <QComboBox>
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using odomira::frm_odomira;
using odomira::ReportTrip;
using odomira::test::TempLogbook;
using odomira::test::TripRow;
using odomira::test::VehicleRow;

namespace {

struct Message
{
    QString text;
    QMessageBox::Icon icon;
};

enum class Button { Month, Kind };

const QString Plate = QStringLiteral("HH-OM 42");
const QString EmptyPeriod = QStringLiteral("Für diesen Zeitraum sind keine Daten vorhanden !");

TripRow trip(const QString& datum, const QString& ziel, const QString& start, const QString& ende,
    const QString& gesamt, const QString& kosten, const QString& bemerkung = QStringLiteral("Kundentermin"))
{
    TripRow row;
    row.datum = datum;
    row.von = QStringLiteral("Hamburg");
    row.bis = QStringLiteral("Lübeck");
    row.ziel = ziel;
    row.bemerkung = bemerkung;
    row.anfangsstand = start;
    row.endstand = ende;
    row.gesamt = gesamt;
    row.preisliter = QStringLiteral("1.189");
    row.kosten = kosten;
    return row;
}

TripRow flagged(TripRow row, const char* kind)
{
    if (qstrcmp(kind, "gesch") == 0)
        row.geschaeftl = QStringLiteral("-1");
    else if (qstrcmp(kind, "priv") == 0)
        row.privat = QStringLiteral("-1");
    else if (qstrcmp(kind, "weg") == 0)
        row.zurarbeit = QStringLiteral("-1");
    return row;
}

// Three trips of March 2006, written out of date order, one of each kind; and trips of
// other months and years that a March export must leave out.
QList<TripRow> marchTrips()
{
    return {
        flagged(trip("28.03.2006", "Büro", "1178", "1198.5", "20.5", "1.9243"), "weg"),
        flagged(trip("05.03.2006", "Brandt & Söhne, Lübeck", "1000", "1068", "68", "6.3803"), "gesch"),
        flagged(trip("17.03.2006", "Eltern in Lüneburg", "1068", "1178", "110", "10.3216", "Familienbesuch"), "priv"),
        trip("02.04.2006", "Kiel", "1198.5", "1300", "101.5", "9.5307"),
        trip("10.03.2007", "Stade", "5000", "5050", "50", "4.6950"),
    };
}

QByteArray lines(const QStringList& texts)
{
    QByteArray bytes;
    for (const QString& text : texts)
        bytes += odomira::toWindows1252(text) + "\r\n";
    return bytes;
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

QByteArray lineOf(const QByteArray& bytes, int index)
{
    return bytes.split('\n').value(index).chopped(1); // drop the CR
}

// Every folder and file below `root` with the files' contents, to show nothing changed.
QStringList treeState(const QString& root)
{
    QStringList state;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
        QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info = it.fileInfo();
        state << QDir(root).relativeFilePath(path)
                + (info.isDir() ? QStringLiteral("/")
                                : QStringLiteral(" ")
                          + QString::fromLatin1(QCryptographicHash::hash(readAll(path), QCryptographicHash::Sha256).toHex()));
    }
    state.sort();
    return state;
}

void choose(QComboBox* box, const QString& text)
{
    const int index = box->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index >= 0)
        box->setCurrentIndex(index);
    else
        box->setEditText(text);
}

} // namespace

Q_DECLARE_METATYPE(Button)

class TestExport : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void monthReportIsByteExact();
    void heading_data();
    void heading();
    void tripPages();
    void emptyPeriod_data();
    void emptyPeriod();
    void kindExportReplacesMonthReport();
    void unchosenMonthExportsWholeYear();
    void unsafeNamesRefused_data();
    void unsafeNamesRefused();
    void unwritableOutput_data();
    void unwritableOutput();
    void missingPagesAreNamed();

private:
    // A window after start-up on a logbook with `trips`, its messages and browser launches
    // recorded, exporting into m_program; the tab "Auswertung" is in front.
    frm_odomira* open(const QList<TripRow>& trips, const VehicleRow& vehicle = VehicleRow());
    void exportWith(Button button, const QString& month = QStringLiteral("März"),
        const QString& year = QStringLiteral("2006"));
    QString folder() const { return m_program + QLatin1Char('/') + Plate; }
    QString reportPath(const QString& month = QStringLiteral("März"), const QString& year = QStringLiteral("2006")) const
    {
        return folder() + QLatin1Char('/') + Plate + QLatin1Char(' ') + month + QLatin1Char('_') + year
            + QStringLiteral(".html");
    }

    std::unique_ptr<QTemporaryDir> m_root;
    QString m_program;
    std::unique_ptr<TempLogbook> m_logbook;
    std::unique_ptr<frm_odomira> m_window;
    QList<Message> m_messages;
    QList<QUrl> m_opened;
};

void TestExport::init()
{
    m_messages.clear();
    m_opened.clear();
    m_root = std::make_unique<QTemporaryDir>();
    QVERIFY(m_root->isValid());
    m_program = m_root->filePath(QStringLiteral("programm"));
    QVERIFY(QDir().mkdir(m_program));
    m_logbook = std::make_unique<TempLogbook>();
    QVERIFY(m_logbook->isValid());
}

void TestExport::cleanup()
{
    m_window.reset();
    m_logbook.reset();
    m_root.reset();
}

frm_odomira* TestExport::open(const QList<TripRow>& trips, const VehicleRow& vehicle)
{
    if (!m_logbook->createWithVehicle(vehicle, trips))
        return nullptr;
    m_window = std::make_unique<frm_odomira>(m_logbook->path());
    m_window->setMessageHook([this](const QString& text, QMessageBox::Icon icon) { m_messages.append({ text, icon }); });
    m_window->setUrlOpener([this](const QUrl& url) { m_opened.append(url); });
    m_window->setProgramDirectory(m_program);
    QString error;
    if (!m_window->Form_Load(&error)) {
        qWarning("Start-up failed: %s", qPrintable(error));
        return nullptr;
    }
    m_window->show();
    if (!QTest::qWaitForWindowExposed(m_window.get()))
        return nullptr;
    m_window->SSTab1->setCurrentIndex(1);
    return m_window.get();
}

void TestExport::exportWith(Button button, const QString& month, const QString& year)
{
    choose(m_window->cmb_monat, month);
    choose(m_window->cmb_jahr, year);
    QTest::mouseClick(button == Button::Month ? m_window->cmd_drucken : m_window->cmd_kridruck, Qt::LeftButton);
}

void TestExport::monthReportIsByteExact()
{
    frm_odomira* w = open(marchTrips());
    QVERIFY(w);
    exportWith(Button::Month);

    QCOMPARE(m_messages.size(), 0);
    const QByteArray bytes = readAll(reportPath());
    const QString heading = QStringLiteral("Komplette Übersicht aller Fahrten mit HH-OM 42 für Monat März 2006");
    const QByteArray expected = lines(odomira::reportHeadLines(heading))
        + lines(odomira::reportTripLines({ "05.03.2006", "Hamburg", "Lübeck", "Brandt & Söhne, Lübeck", "1000", "1068", "68" }))
        + lines(odomira::reportTripLines({ "17.03.2006", "Hamburg", "Lübeck", "Eltern in Lüneburg", "1068", "1178", "110" }))
        + lines(odomira::reportTripLines({ "28.03.2006", "Hamburg", "Lübeck", "Büro", "1178", "1198,5", "20,5" }))
        + lines(odomira::reportTailLines("198,5", "18,6262"));
    QCOMPARE(bytes.count("\r\n"), 73);
    QCOMPARE(bytes.count('\n'), 73);
    QCOMPARE(lineOf(bytes, 3), QByteArray("Komplette \xDC" "bersicht aller Fahrten mit HH-OM 42 f\xFC" "r Monat M\xE4" "rz 2006"));
    QCOMPARE(lineOf(bytes, 30), QByteArray("<td width=486 height=9 align=right><font face=MS Sans Serif size=2>Brandt & S\xF6" "hne, L\xFC" "beck</td>"));
    QCOMPARE(bytes, expected);

    QCOMPARE(m_opened, QList<QUrl> { QUrl::fromLocalFile(reportPath()) });
    QCOMPARE(w->SSTab1->currentIndex(), 2);
    QCOMPARE(w->fahrten_anzahl, 3);
    QVERIFY(w->Auswertung->atEnd());
    QCOMPARE(QDir(folder()).entryList(QDir::Files, QDir::Name),
        QStringList({ "05.03.2006.html", "17.03.2006.html", "28.03.2006.html", "HH-OM 42 März_2006.html" }));
}

void TestExport::heading_data()
{
    QTest::addColumn<bool>("monthExportFirst");
    QTest::addColumn<Button>("button");
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("heading");
    QTest::addColumn<int>("trips");

    const QString tail = QStringLiteral(" mit HH-OM 42 für Monat März 2006");
    QTest::newRow("month") << false << Button::Month << QString() << "Komplette Übersicht aller Fahrten" + tail << 4;
    QTest::newRow("Geschäftlich") << false << Button::Kind << "aus_gesch" << "Geschäftliche Fahrten" + tail << 1;
    QTest::newRow("Privat") << false << Button::Kind << "aus_priv" << "Private Fahrten" + tail << 1;
    QTest::newRow("Weg zur Arbeit") << false << Button::Kind << "aus_weg" << "Fahrten zur Arbeitsstelle" + tail << 1;
    // No option: only the trips without a kind, under the title the window held before.
    QTest::newRow("no option after start-up") << false << Button::Kind << QString() << tail << 1;
    QTest::newRow("no option after month export") << true << Button::Kind << QString()
                                                  << "Komplette Übersicht aller Fahrten" + tail << 1;
}

void TestExport::heading()
{
    QFETCH(bool, monthExportFirst);
    QFETCH(Button, button);
    QFETCH(QString, option);
    QFETCH(QString, heading);
    QFETCH(int, trips);
    QList<TripRow> logbook = marchTrips();
    logbook << trip("20.03.2006", "Ohne Art", "2000", "2010", "10", "0.9394");
    frm_odomira* w = open(logbook);
    QVERIFY(w);
    if (monthExportFirst)
        exportWith(Button::Month);
    if (!option.isEmpty())
        QTest::mouseClick(w->findChild<QRadioButton*>(option), Qt::LeftButton);
    exportWith(button);

    QCOMPARE(m_messages.size(), 0);
    const QByteArray bytes = readAll(reportPath());
    QCOMPARE(lineOf(bytes, 3), odomira::toWindows1252(heading));
    QCOMPARE(bytes.count("\r\n"), 46 + 9 * trips);
}

void TestExport::tripPages()
{
    QList<TripRow> logbook = {
        trip("05.03.2006", "Messe", "100", "200", "100", "9", "Hinfahrt nach Lübeck"),
        trip("07.03.2006", "Messe", "200", "300", "100", "9", "<b>Messe</b> & <i>Stand</i>\nAufbau\r\nAbbau"),
        trip("05.03.2006", "Messe", "300", "400", "100", "9", "Rückfahrt über Lübeck"),
        trip("09.03.2006", "Messe", "400", "500", "100", "9", QString()), // remark without a value
    };
    frm_odomira* w = open(logbook);
    QVERIFY(w);
    QVERIFY(QDir().mkdir(folder()));
    QVERIFY(writeFile(folder() + "/07.03.2006.html", QByteArray(4000, 'x'))); // longer than its successor
    QVERIFY(writeFile(folder() + "/01.02.2006.html", "alte Seite eines anderen Monats"));
    exportWith(Button::Month);
    QCOMPARE(m_messages.size(), 0);

    // Two trips on one date share a page: the one later in the list wins.
    w->Auswertung->setStatement(odomira::monthListStatement(QStringLiteral("%.03.2006%")));
    QVERIFY(w->Auswertung->refresh());
    QString laterOn5th;
    for (; !w->Auswertung->atEnd(); w->Auswertung->moveNext()) {
        if (w->Auswertung->field("datum") == "05.03.2006")
            laterOn5th = w->Auswertung->field("bemerkung");
    }
    QVERIFY(!laterOn5th.isEmpty());
    QCOMPARE(readAll(folder() + "/05.03.2006.html"), lines(odomira::tripPageLines(laterOn5th)));
    QVERIFY(readAll(folder() + "/05.03.2006.html").contains("L\xFC" "beck")); // one byte per umlaut
    QCOMPARE(readAll(folder() + "/07.03.2006.html"),
        QByteArray("<html>\r\n<body>\r\n<b>Messe</b> & <i>Stand</i>\nAufbau\r\nAbbau\r\n</body>\r\n</html>\r\n"));
    QCOMPARE(readAll(folder() + "/09.03.2006.html"), QByteArray("<html>\r\n<body>\r\n\r\n</body>\r\n</html>\r\n"));
    QCOMPARE(readAll(folder() + "/01.02.2006.html"), QByteArray("alte Seite eines anderen Monats"));
    QCOMPARE(QDir(folder()).entryList(QDir::Files).size(), 5); // three pages, the old one, the report
}

void TestExport::emptyPeriod_data()
{
    QTest::addColumn<Button>("button");
    QTest::addColumn<bool>("oldReport");

    QTest::newRow("month, old report") << Button::Month << true;
    QTest::newRow("kind, old report") << Button::Kind << true;
    QTest::newRow("month, no folder yet") << Button::Month << false;
}

void TestExport::emptyPeriod()
{
    QFETCH(Button, button);
    QFETCH(bool, oldReport);
    frm_odomira* w = open(marchTrips());
    QVERIFY(w);
    if (oldReport) {
        QVERIFY(QDir().mkdir(folder()));
        QVERIFY(writeFile(reportPath("Mai"), "alter Bericht"));
        QVERIFY(writeFile(reportPath("März"), "Bericht eines anderen Monats"));
    }
    exportWith(button, QStringLiteral("Mai"));

    QCOMPARE(m_messages.size(), 1);
    QCOMPARE(m_messages.at(0).text, EmptyPeriod);
    QCOMPARE(m_messages.at(0).icon, QMessageBox::Critical);
    QVERIFY(m_opened.isEmpty());
    QCOMPARE(w->SSTab1->currentIndex(), 1);
    if (oldReport)
        QCOMPARE(treeState(m_program), QStringList({ "HH-OM 42/", "HH-OM 42/HH-OM 42 März_2006.html " + QString::fromLatin1(QCryptographicHash::hash("Bericht eines anderen Monats", QCryptographicHash::Sha256).toHex()) }));
    else
        QCOMPARE(treeState(m_program), QStringList());
}

void TestExport::kindExportReplacesMonthReport()
{
    frm_odomira* w = open(marchTrips());
    QVERIFY(w);
    exportWith(Button::Month);
    QCOMPARE(readAll(reportPath()).count("\r\n"), 73);
    const QByteArray privatePage = readAll(folder() + "/17.03.2006.html");

    QTest::mouseClick(w->aus_gesch, Qt::LeftButton);
    exportWith(Button::Kind);

    QCOMPARE(m_messages.size(), 0);
    const QByteArray bytes = readAll(reportPath());
    QCOMPARE(bytes.count("\r\n"), 55);
    QCOMPARE(lineOf(bytes, 3), odomira::toWindows1252("Geschäftliche Fahrten mit HH-OM 42 für Monat März 2006"));
    QVERIFY(bytes.contains("<a href =05.03.2006.html target=_blank>05.03.2006</a>"));
    QVERIFY(!bytes.contains("17.03.2006"));
    QCOMPARE(readAll(folder() + "/17.03.2006.html"), privatePage); // outside the kind: left as it was
    QCOMPARE(m_opened, QList<QUrl>({ QUrl::fromLocalFile(reportPath()), QUrl::fromLocalFile(reportPath()) }));
}

void TestExport::unchosenMonthExportsWholeYear()
{
    QList<TripRow> logbook = marchTrips();
    logbook << trip("31.12.2006", "Kiel", "3000", "3100", "100", "9");
    frm_odomira* w = open(logbook);
    QVERIFY(w);
    choose(w->cmb_jahr, QStringLiteral("2006"));
    QTest::mouseClick(w->cmd_drucken, Qt::LeftButton);

    QCOMPARE(m_messages.size(), 0);
    const QString path = reportPath(QStringLiteral(".. Monat Wählen"));
    const QByteArray bytes = readAll(path);
    QCOMPARE(bytes.count("\r\n"), 46 + 9 * 5); // every trip of 2006, none of 2007
    QCOMPARE(lineOf(bytes, 3), odomira::toWindows1252("Komplette Übersicht aller Fahrten mit HH-OM 42 für Monat .. Monat Wählen 2006"));
    QCOMPARE(m_opened, QList<QUrl> { QUrl::fromLocalFile(path) });
}

void TestExport::unsafeNamesRefused_data()
{
    QTest::addColumn<QString>("plate");
    QTest::addColumn<QString>("month");
    QTest::addColumn<QString>("year");
    QTest::addColumn<Button>("button");
    QTest::addColumn<QString>("named");

    QTest::newRow("plate leaves the folder") << "../x" << "März" << "2006" << Button::Month << "„../x“";
    QTest::newRow("plate with slash, kind") << "a/b" << "März" << "2006" << Button::Kind << "„a/b“";
    QTest::newRow("plate with backslash") << "a\\b" << "März" << "2006" << Button::Month << "„a\\b“";
    QTest::newRow("plate dot dot") << ".." << "März" << "2006" << Button::Month << "„..“";
    QTest::newRow("plate without value") << "" << "März" << "2006" << Button::Kind << "„“";
    QTest::newRow("typed month leaves the folder") << "HH-OM 42" << "../../M" << "2006" << Button::Month << "„../../M“";
    QTest::newRow("typed year with slash, kind") << "HH-OM 42" << "März" << "2006/.." << Button::Kind << "„2006/..“";
}

void TestExport::unsafeNamesRefused()
{
    QFETCH(QString, plate);
    QFETCH(QString, month);
    QFETCH(QString, year);
    QFETCH(Button, button);
    QFETCH(QString, named);
    VehicleRow vehicle;
    vehicle.kennzeichen = plate;
    frm_odomira* w = open(marchTrips(), vehicle);
    QVERIFY(w);
    QCOMPARE(w->txt_kennzeichen->text(), plate);
    // Bait where an unchecked "../x" would delete and write its report and pages.
    QVERIFY(QDir().mkpath(m_root->filePath("x")));
    QVERIFY(writeFile(m_root->filePath("x März_2006.html"), "fremde Datei"));
    QVERIFY(QDir().mkpath(m_program + "/a/b/a"));
    QVERIFY(writeFile(m_program + "/a/b/a/b März_2006.html", "fremde Datei"));
    const QStringList before = treeState(m_root->path());

    exportWith(button, month, year);

    QCOMPARE(m_messages.size(), 1);
    QVERIFY2(m_messages.at(0).text.contains(named), qPrintable(m_messages.at(0).text));
    QVERIFY2(m_messages.at(0).text.contains("nichts geschrieben"), qPrintable(m_messages.at(0).text));
    QCOMPARE(m_messages.at(0).icon, QMessageBox::Warning);
    QVERIFY(m_opened.isEmpty());
    QCOMPARE(treeState(m_root->path()), before);
    QCOMPARE(w->SSTab1->currentIndex(), 1); // the evaluation did not run either
}

void TestExport::unwritableOutput_data()
{
    QTest::addColumn<QString>("blocked"); // what stands in the way
    QTest::addColumn<int>("pages");

    QTest::newRow("file in place of the report folder") << "folder" << 0;
    QTest::newRow("program directory inside a file") << "program" << 0;
    QTest::newRow("folder in place of the report file") << "report" << 3;
}

void TestExport::unwritableOutput()
{
    QFETCH(QString, blocked);
    QFETCH(int, pages);
    frm_odomira* w = open(marchTrips());
    QVERIFY(w);
    QString named;
    if (blocked == "folder") {
        QVERIFY(writeFile(folder(), "kein Ordner"));
        named = folder();
    } else if (blocked == "program") {
        QVERIFY(writeFile(m_root->filePath("datei"), "kein Ordner"));
        m_program = m_root->filePath("datei/programm");
        w->setProgramDirectory(m_program);
        named = folder();
    } else {
        QVERIFY(QDir().mkpath(reportPath()));
        named = reportPath();
    }
    exportWith(Button::Month);

    QCOMPARE(m_messages.size(), 1);
    QVERIFY2(m_messages.at(0).text.contains("„" + QDir::toNativeSeparators(named) + "“"), qPrintable(m_messages.at(0).text));
    QCOMPARE(m_messages.at(0).icon, QMessageBox::Warning);
    QVERIFY(m_opened.isEmpty());
    QCOMPARE(QDir(folder()).entryList({ "??.03.2006.html" }, QDir::Files).size(), pages);
    QCOMPARE(w->SSTab1->currentIndex(), 2); // the evaluation itself is shown
}

void TestExport::missingPagesAreNamed()
{
    QList<TripRow> logbook = marchTrips();
    logbook << trip("../.03.2006", "Fremd", "1", "2", "1", "1"); // no date a window writes, but in the file
    frm_odomira* w = open(logbook);
    QVERIFY(w);
    QVERIFY(QDir().mkpath(folder() + "/17.03.2006.html")); // this page cannot be written
    exportWith(Button::Month);

    QCOMPARE(m_messages.size(), 1);
    const QString text = m_messages.at(0).text;
    QVERIFY2(text.contains("„" + QDir::toNativeSeparators(folder() + "/17.03.2006.html") + "“"), qPrintable(text));
    QVERIFY2(text.contains("„../.03.2006“"), qPrintable(text));
    QCOMPARE(m_messages.at(0).icon, QMessageBox::Warning);
    // The other pages and the report are written, and the report opens.
    QCOMPARE(readAll(folder() + "/05.03.2006.html"), lines(odomira::tripPageLines("Kundentermin")));
    QCOMPARE(readAll(folder() + "/28.03.2006.html"), lines(odomira::tripPageLines("Kundentermin")));
    QVERIFY(!QFile::exists(m_program + "/.03.2006.html"));
    QCOMPARE(readAll(reportPath()).count("\r\n"), 46 + 9 * 4);
    QCOMPARE(m_opened, QList<QUrl> { QUrl::fromLocalFile(reportPath()) });
}

QTEST_MAIN(TestExport)
#include "test_export.moc"
