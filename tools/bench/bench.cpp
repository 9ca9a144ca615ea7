// odomira-bench [N]: measures Odomira on a logbook of N trips (default 100000) against
// SQLite alone and a minimal table view, and checks the goals it prints. Every figure is
// min/median/max over repeats; the factor compares the medians.
//  - re-reading a data source against SQLite alone stepping the same statement;
//  - what all data sources of the window keep per trip;
//  - the window's start-up to the painted trip list and its peak memory against a minimal
//    lazy table view on the same sorted statement (each in a process of its own);
//  - NEU, BEARBEITEN, SPEICHERN, ABBRECHEN and LÖSCHEN through the real window, offscreen,
//    at N trips against 1000 trips, and the saves and the delete against SQLite alone;
//  - the month export against SQLite alone and writing the same files raw, at the same paths.

#include "bench_common.h"
#include "history_like.h"
#include "window_paths.h"

#include "common/decimal.h"
#include "demo/demo_trips.h"
#include "search/search_statement.h"
#include "store/connection.h"
#include "store/data_source.h"
#include "store/logbook_writer.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

using namespace odomira;
using namespace odomira::bench;

namespace {

constexpr int Runs = 7;
constexpr int WindowRuns = 5;
// Start-up takes tens of milliseconds, its baseline under 30 at times: more repeats.
constexpr int StartRuns = 11;
// The trip commands take milliseconds and vary with the disk's syncs: more repeats.
constexpr int CommandRuns = 21;
constexpr int ReferenceTrips = 1000;

// Keeps the column reads of SQLite alone from being optimised away.
volatile std::size_t textBytesSink = 0;

struct Case {
    const char* label;
    QString sql;
    double limit; // goal for the factor
    // Every row read after the re-read, as a grid scrolled through the whole list reads it
    // (a long list reads only its first piece on the re-read itself).
    bool everyRow = false;
};

// Reaches every row of the data source, so each piece of a long list is read into its copy.
void readEveryRow(const DataSource& source)
{
    for (int row = 0; row < source.recordCount(); ++row)
        source.value(row, 0);
}

struct Figures {
    int rows = 0;
    Spread store;
    Spread sqlite;
    qsizetype resultBytes = 0;
    qint64 heapBytes = -1; // -1: not measurable here
};

// Bytes the program holds on the heap, SQLite's own allocations included.
qint64 heapInUse()
{
#if defined(__GLIBC__)
    const struct mallinfo2 info = mallinfo2();
    return qint64(info.uordblks + info.hblkhd);
#else
    return -1;
#endif
}

// What SQLite alone does: prepare, step through every row and read each column's text.
int stepThrough(sqlite3* db, const QString& sql)
{
    const QByteArray utf8 = sql.toUtf8();
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, utf8.constData(), int(utf8.size()), &stmt, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "odomira-bench: %s\n", sqlite3_errmsg(db));
        std::exit(1);
    }
    const int columns = sqlite3_column_count(stmt);
    int rows = 0;
    std::size_t bytes = 0;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        ++rows;
        for (int column = 0; column < columns; ++column) {
            const unsigned char* text = sqlite3_column_text(stmt, column);
            bytes += text ? std::size_t(sqlite3_column_bytes(stmt, column)) : 0;
        }
    }
    sqlite3_finalize(stmt);
    textBytesSink = bytes;
    return rows;
}

bool measure(const QString& path, sqlite3* plain, const Case& item, Figures& figures)
{
    QString error;
    DataSource source(QStringLiteral("bench"));
    if (!source.open(path, &error)) {
        print(QStringLiteral("Datenquelle lässt sich nicht öffnen: %1\n").arg(error));
        return false;
    }
    source.setStatement(item.sql);

    // Memory: a fresh data source's first re-read, less what SQLite keeps for itself
    // (its page cache grows during the same read).
    const qint64 heapBefore = heapInUse();
    const qint64 sqliteBefore = sqlite3_memory_used();
    if (!source.refresh(&error)) {
        print(QStringLiteral("Erneutes Lesen scheitert: %1\n").arg(error));
        return false;
    }
    if (heapBefore >= 0)
        figures.heapBytes = (heapInUse() - heapBefore) - (sqlite3_memory_used() - sqliteBefore);
    figures.resultBytes = source.resultBytes();
    figures.rows = source.recordCount();
    if (stepThrough(plain, item.sql) != figures.rows) {
        print(QStringLiteral("SQLite allein liefert eine andere Zeilenzahl für %1.\n")
                  .arg(QString::fromLatin1(item.label)));
        return false;
    }

    // Alternating runs, so both see the same state of caches and the machine.
    std::vector<double> store, alone;
    for (int run = 0; run < Runs; ++run) {
        bool ok = true;
        store.push_back(timeMs([&] {
            ok = source.refresh(&error);
            if (item.everyRow)
                readEveryRow(source);
        }));
        alone.push_back(timeMs([&] { stepThrough(plain, item.sql); }));
        if (!ok) {
            print(QStringLiteral("Erneutes Lesen scheitert: %1\n").arg(error));
            return false;
        }
    }
    figures.store = spread(store);
    figures.sqlite = spread(alone);
    return true;
}

bool createLogbook(const QString& path, int count)
{
    QElapsedTimer created;
    created.start();
    const Decimal consumption = *Decimal::fromParts(false, 79, 1);
    const demo::DemoVehicle vehicle { QStringLiteral("HH-OM 42"), consumption.toCanonical(),
        QStringLiteral("250.00"), QStringLiteral("1201.45") };
    QString error;
    if (writeLogbook(path, vehicle, demo::demoTrips(consumption, count), &error) != WriteResult::Ok) {
        std::fprintf(stderr, "odomira-bench: %s\n", error.toUtf8().constData());
        return false;
    }
    print(QStringLiteral("Fahrtenbuch mit %1 Fahrten (%2 MB) in %3 s angelegt.\n")
              .arg(count)
              .arg(decimals(double(QFileInfo(path).size()) / 1e6, 1),
                  decimals(double(created.elapsed()) / 1000, 2)));
    return true;
}

bool measureReads(const QString& path, int count, Goals& goals)
{
    sqlite3* plain = nullptr;
    if (sqlite3_open_v2(path.toUtf8().constData(), &plain, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "odomira-bench: %s\n", sqlite3_errmsg(plain));
        sqlite3_close(plain);
        return false;
    }
    registerStoreExtensions(plain);

    const QString period = QStringLiteral("'%.03.2007%'");
    const std::vector<Case> cases {
        { "L", QStringLiteral("select * from [fahrt] order by datum asc"), 1.2 },
        { "L*", QStringLiteral("select * from [fahrt] order by datum asc"), 1.2, true },
        { "S", searchStatement(QStringLiteral("03.2007")), 1.3 },
        { "M1",
            QStringLiteral("select *  from [fahrt] where datum like  ") + period
                + QStringLiteral(" order by datum asc"),
            1.3 },
        { "M2", QStringLiteral("select sum(gesamt)as expr1000 from [fahrt] where datum like  ") + period,
            1.3 },
        { "M3", QStringLiteral("select sum(kosten)as expr1001 from [fahrt] where datum like  ") + period,
            1.3 },
    };
    print(
        QStringLiteral("\nErneutes Lesen einer Datenquelle gegen SQLite allein (%1 Läufe, min/Median/max):\n")
            .arg(Runs));
    for (const Case& item : cases) {
        Figures figures;
        if (!measure(path, plain, item, figures)) {
            sqlite3_close(plain);
            return false;
        }
        QString bytes;
        if (figures.rows > 1) {
            bytes
                = QStringLiteral(", %1 B/Zeile").arg(decimals(double(figures.resultBytes) / figures.rows, 0));
            if (figures.heapBytes >= 0)
                bytes += QStringLiteral(" (Heap %1)")
                             .arg(decimals(double(figures.heapBytes) / figures.rows, 0));
        }
        goals.ratioLine(QStringLiteral("%1 (%2 Zeilen%3):")
                            .arg(QString::fromLatin1(item.label))
                            .arg(figures.rows)
                            .arg(bytes),
            figures.store, figures.sqlite, 2, QStringLiteral("ms"), item.limit);
    }
    for (const Case& item : cases) {
        if (!item.everyRow)
            print(QStringLiteral("  %1 = %2\n").arg(QString::fromLatin1(item.label), item.sql));
    }
    print(QStringLiteral("  L* = L, danach jede Zeile gelesen wie beim Blättern durch die ganze Liste\n"));
    print(QStringLiteral("  (%1 Fahrten)\n").arg(count));
    sqlite3_close(plain);
    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc == 3 && (qstrcmp(argv[1], WindowStartMode) == 0 || qstrcmp(argv[1], MinimalStartMode) == 0))
        return runStartChild(argc, argv, QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]));

    QApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();

    int count = 100000;
    if (arguments.size() > 2 || (arguments.size() == 2 && arguments[1].startsWith(u'-'))) {
        std::fputs("Aufruf: odomira-bench [Anzahl der Fahrten, Vorgabe 100000]\n", stderr);
        return arguments.size() == 2 && (arguments[1] == u"--help" || arguments[1] == u"-h") ? 0 : 1;
    }
    if (arguments.size() == 2) {
        bool ok = false;
        count = arguments[1].toInt(&ok);
        if (!ok || count < 1 || count > 1000000) {
            std::fputs("odomira-bench: die Anzahl muss eine ganze Zahl von 1 bis 1000000 sein.\n", stderr);
            return 1;
        }
    }

    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fputs("odomira-bench: kein temporäres Verzeichnis.\n", stderr);
        return 1;
    }
    const QString path = dir.filePath(QStringLiteral("odomira.mdb"));
    const QString reference = dir.filePath(QStringLiteral("referenz.mdb"));
    const QString plainCopy = dir.filePath(QStringLiteral("sqlite.mdb"));
    if (!createLogbook(path, count) || !createLogbook(reference, ReferenceTrips)
        || !QFile::copy(path, plainCopy))
        return 1;

    Goals goals;
    if (!measureReads(path, count, goals))
        return 1;

    print(
        QStringLiteral("\nFenster, offscreen (Start: %1 Läufe je Seite, min/Median/max):\n").arg(StartRuns));
    measureStartUp(QCoreApplication::applicationFilePath(), path, count, StartRuns, goals);

    print(QStringLiteral("Fahrtbefehle: %1 Läufe je Seite, min/Median/max.\n").arg(CommandRuns));
    const CommandFigures small = measureCommands(reference, ReferenceTrips, CommandRuns);
    const CommandFigures large = measureCommands(path, count, CommandRuns);
    const PlainWrites plain = measurePlainWrites(plainCopy, CommandRuns);
    if (!small.ok || !large.ok || !plain.ok) {
        print(QStringLiteral("Die Fahrtbefehle ließen sich nicht messen.\n"));
        return 1;
    }
    const QString vs = QStringLiteral("bei %1 gegen %2 Fahrten:").arg(count).arg(ReferenceTrips);
    const QString ms = QStringLiteral("ms");
    goals.ratioLine(QStringLiteral("NEU ") + vs, large.neu, small.neu, 2, ms, 2.0);
    goals.ratioLine(QStringLiteral("BEARBEITEN ") + vs, large.bearbeiten, small.bearbeiten, 2, ms, 2.0);
    goals.ratioLine(QStringLiteral("SPEICHERN (neue Fahrt) ") + vs, large.saveNew, small.saveNew, 2, ms, 2.0);
    goals.ratioLine(
        QStringLiteral("SPEICHERN (geänderte Fahrt) ") + vs, large.saveEdit, small.saveEdit, 2, ms, 2.0);
    goals.ratioLine(QStringLiteral("ABBRECHEN ") + vs, large.cancel, small.cancel, 2, ms, 2.0);
    goals.ratioLine(QStringLiteral("LÖSCHEN ") + vs, large.remove, small.remove, 2, ms, 2.0);
    const QString against = QStringLiteral("(%1 Fahrten) gegen SQLite allein ").arg(count);
    goals.ratioLine(QStringLiteral("SPEICHERN (neue Fahrt) ") + against + QStringLiteral("INSERT:"),
        large.saveNew, plain.insert, 2, ms, 3.0);
    goals.ratioLine(QStringLiteral("SPEICHERN (geänderte Fahrt) ") + against + QStringLiteral("UPDATE:"),
        large.saveEdit, plain.update, 2, ms, 3.0);
    goals.ratioLine(QStringLiteral("LÖSCHEN ") + against + QStringLiteral("DELETE:"), large.remove,
        plain.remove, 2, ms, 3.0);
    // The same without the window's repaint after the command, which costs the same at any size.
    const QString work = QStringLiteral("ohne Neuzeichnen ");
    goals.ratioLine(QStringLiteral("SPEICHERN (neue Fahrt) ") + work + against + QStringLiteral("INSERT:"),
        large.saveNewWork, plain.insert, 2, ms, 3.0);
    goals.ratioLine(
        QStringLiteral("SPEICHERN (geänderte Fahrt) ") + work + against + QStringLiteral("UPDATE:"),
        large.saveEditWork, plain.update, 2, ms, 3.0);
    goals.ratioLine(QStringLiteral("LÖSCHEN ") + work + against + QStringLiteral("DELETE:"), large.removeWork,
        plain.remove, 2, ms, 3.0);
    goals.boundLine(
        QStringLiteral("Alle Datenquellen des Fensters zusammen (%1 Fahrten), Bytes je Fahrt:").arg(count),
        large.bytesPerTrip, QStringLiteral("B"), 150);

    measureExport(path, WindowRuns, goals);

    if (!measureHistoryFigures(dir.path(), path, count))
        return 1;
    printLikeFigures();

    print(QStringLiteral("\nZiele: %1 erreicht, %2 verfehlt.\n").arg(goals.met()).arg(goals.missed()));
    return 0;
}
