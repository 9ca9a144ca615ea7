// odomira-bench [N]: measures the store on a logbook of N trips (default 100000).
// For each statement it compares re-reading a data source with SQLite alone stepping
// through the same statement on the same file, and shows what the result keeps in memory.
// It then times a save, a delete and a vehicle save with the change history against the same
// actions on a copy without it, the check of the whole logbook, and adding the history to an
// older file.

#include "audit/logbook_check.h"
#include "audit/logbook_reading.h"
#include "common/decimal.h"
#include "demo/demo_trips.h"
#include "store/connection.h"
#include "store/data_source.h"
#include "store/logbook_writer.h"
#include "store/history.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <vector>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

using namespace odomira;

namespace {

constexpr int Runs = 7;

// Keeps the column reads of SQLite alone from being optimised away.
volatile std::size_t textBytesSink = 0;

struct Case
{
    const char* label;
    QString sql;
    bool isList;
};

struct Figures
{
    int rows = 0;
    double storeMs = 0;
    double sqliteMs = 0;
    qsizetype resultBytes = 0;
    qint64 heapBytes = -1; // -1: not measurable here
};

const QLocale German(QLocale::German, QLocale::Germany);

void print(const QString& text)
{
    std::fputs(text.toUtf8().constData(), stdout);
    std::fflush(stdout);
}

QString decimals(double value, int places)
{
    return German.toString(value, 'f', places);
}

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

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

double timeMs(const std::function<void()>& work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return double(timer.nsecsElapsed()) / 1e6;
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
        print(QStringLiteral("SQLite allein liefert eine andere Zeilenzahl für %1.\n").arg(QString::fromLatin1(item.label)));
        return false;
    }

    // Alternating runs, so both see the same state of caches and the machine.
    std::vector<double> store, alone;
    for (int run = 0; run < Runs; ++run) {
        bool ok = true;
        store.push_back(timeMs([&] { ok = source.refresh(&error); }));
        alone.push_back(timeMs([&] { stepThrough(plain, item.sql); }));
        if (!ok) {
            print(QStringLiteral("Erneutes Lesen scheitert: %1\n").arg(error));
            return false;
        }
    }
    figures.storeMs = median(store);
    figures.sqliteMs = median(alone);
    return true;
}

// The store's LIKE on one long row: the search statement's "%term%" with a term of `termLength`
// characters against a destination of `textLength`, built so that a backtracking matcher would
// retry at every position. Median milliseconds of one evaluation.
double likeMs(sqlite3* db, int textLength, int termLength, bool underscore)
{
    QString term = QString(termLength - 1, u'ä') + u'b';
    if (underscore)
        term[termLength / 2] = u'_';
    const QString sql = QStringLiteral("select ?1 like ?2");
    const QByteArray utf8 = sql.toUtf8();
    const QByteArray text = QString(textLength, u'Ä').toUtf8();
    const QByteArray pattern = (u'%' + term + u'%').toUtf8();
    std::vector<double> runs;
    for (int run = 0; run < Runs; ++run) {
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(db, utf8.constData(), int(utf8.size()), &stmt, nullptr);
        sqlite3_bind_text(stmt, 1, text.constData(), int(text.size()), SQLITE_STATIC);
        sqlite3_bind_text(stmt, 2, pattern.constData(), int(pattern.size()), SQLITE_STATIC);
        runs.push_back(timeMs([&] { sqlite3_step(stmt); }));
        sqlite3_finalize(stmt);
    }
    return median(runs);
}

void printLikeFigures()
{
    sqlite3* db = nullptr;
    sqlite3_open(":memory:", &db);
    registerStoreExtensions(db);
    sqlite3_limit(db, SQLITE_LIMIT_LIKE_PATTERN_LENGTH, 1 << 20);
    print(QStringLiteral("\nLIKE auf einer Zeile, Suchbegriff \"%Begriff%\" gegen ein Ziel (Median aus %1 Läufen):\n")
              .arg(Runs));
    const struct
    {
        int text, term;
        bool underscore;
    } sizes[] = { { 32000, 16000, false }, { 64000, 16000, false }, { 32000, 32000, false },
        { 32000, 16000, true }, { 64000, 16000, true } };
    for (const auto& size : sizes) {
        print(QStringLiteral("  Begriff %1 Zeichen%2, Ziel %3 Zeichen: %4 ms\n")
                  .arg(German.toString(size.term), size.underscore ? QStringLiteral(" mit \"_\"") : QString())
                  .arg(German.toString(size.text), decimals(likeMs(db, size.text, size.term, size.underscore), 2)));
    }
    print(QStringLiteral("  Ohne \"_\" linear in der Länge des Ziels; mit \"_\" Ziel mal Begriff durch 64 "
                         "(bitparallel).\n"));
    sqlite3_close(db);
}

QString padLeft(const QString& text, int width)
{
    return text.rightJustified(width);
}

constexpr int HistoryRuns = 61;

// One data source on the trips and one on the vehicle record of a logbook file.
struct Writers
{
    DataSource buch { QStringLiteral("buch") };
    DataSource stamm { QStringLiteral("stamm") };

    bool open(const QString& path, QString* error)
    {
        buch.setStatement(QStringLiteral("select * from fahrt order by id"));
        stamm.setStatement(QStringLiteral("select * from verbrauch"));
        return buch.open(path, error) && stamm.open(path, error) && buch.refresh(error) && stamm.refresh(error);
    }
};

// A save, a delete and a vehicle save through the data sources, with the change history
// (`with`) and on a copy of the same file without it (`without`), in alternating runs.
bool measureHistory(const QString& withPath, const QString& withoutPath)
{
    Writers with;
    Writers without;
    QString error;
    if (!with.open(withPath, &error) || !without.open(withoutPath, &error)) {
        print(QStringLiteral("Datenquellen lassen sich nicht öffnen: %1\n").arg(error));
        return false;
    }
    struct Action
    {
        const char* label;
        std::function<bool(Writers&, int run, QString*)> run;
    };
    const std::vector<Action> actions {
        { "Fahrt speichern",
            [](Writers& w, int run, QString* e) {
                w.buch.setCurrentRow(run * 97 % std::max(1, w.buch.recordCount()));
                w.buch.setField(QStringLiteral("ziel"), QStringLiteral("Messlauf %1").arg(run));
                return w.buch.update(e);
            } },
        { "Fahrt löschen",
            [](Writers& w, int run, QString* e) {
                w.buch.setCurrentRow((run * 89 + 1) % std::max(1, w.buch.recordCount()));
                return w.buch.deleteCurrent(e);
            } },
        { "Fahrzeug speichern",
            [](Writers& w, int run, QString* e) {
                w.stamm.setField(QStringLiteral("steuer"), QString::number(250 + run));
                return w.stamm.update(e);
            } },
    };
    print(QStringLiteral("\nÄnderungshistorie, Median aus %1 Läufen im Wechsel:\n%2 %3 %4 %5\n")
              .arg(HistoryRuns)
              .arg(QStringLiteral("Aktion"), -20)
              .arg(padLeft(QStringLiteral("ohne"), 10), padLeft(QStringLiteral("mit"), 10), padLeft(QStringLiteral("Faktor"), 7)));
    bool goalMet = true;
    for (const Action& action : actions) {
        std::vector<double> withMs, withoutMs;
        for (int run = 0; run < HistoryRuns; ++run) {
            bool ok = true;
            // Each starts first in every other run, so neither always meets a warmer cache.
            const auto timeWith = [&] { withMs.push_back(timeMs([&] { ok = ok && action.run(with, run, &error); })); };
            const auto timeWithout
                = [&] { withoutMs.push_back(timeMs([&] { ok = ok && action.run(without, run, &error); })); };
            if (run % 2) {
                timeWith();
                timeWithout();
            } else {
                timeWithout();
                timeWith();
            }
            if (!ok) {
                print(QStringLiteral("%1 scheitert: %2\n").arg(QString::fromUtf8(action.label), error));
                return false;
            }
        }
        const double ratio = median(withMs) / median(withoutMs);
        goalMet = goalMet && ratio <= 1.1;
        print(QStringLiteral("%1 %2 %3 %4\n")
                  .arg(QString::fromUtf8(action.label), -20)
                  .arg(padLeft(decimals(median(withoutMs), 2) + QStringLiteral(" ms"), 10),
                      padLeft(decimals(median(withMs), 2) + QStringLiteral(" ms"), 10), padLeft(decimals(ratio, 2), 7)));
    }
    print(QStringLiteral("Ziel: mit Änderungshistorie höchstens 10 % langsamer (Faktor <= 1,10): %1.\n")
              .arg(goalMet ? QStringLiteral("erreicht") : QStringLiteral("verfehlt")));
    return true;
}

// The check of the whole logbook, as odomira-db --pruefen runs it.
bool measureCheck(const QString& path, int count)
{
    std::vector<double> runs;
    std::vector<double> cpuRuns;
    audit::CheckResult result;
    for (int run = 0; run < 3; ++run) {
        bool ok = false;
        QString error;
        const std::clock_t cpuStart = std::clock();
        runs.push_back(timeMs([&] {
            audit::ReadOnlyLogbook logbook;
            ok = logbook.open(path, &error) && audit::checkLogbook(logbook.handle(), &result, &error);
        }));
        cpuRuns.push_back(double(std::clock() - cpuStart) * 1000.0 / CLOCKS_PER_SEC);
        if (!ok) {
            print(QStringLiteral("Die Prüfung scheitert: %1\n").arg(error));
            return false;
        }
    }
    const double ms = median(runs);
    // The processor time shows what the check itself costs when other programs share the machine.
    print(QStringLiteral("\nPrüfen (odomira-db --pruefen) von %1 Fahrten, %2 Befunde: %3 s, davon Prozessorzeit %4 s "
                         "(Median aus 3); Ziel unter 2 s: %5.\n")
              .arg(count)
              .arg(result.findings.size())
              .arg(decimals(ms / 1000, 2), decimals(median(cpuRuns) / 1000, 2),
                  ms < 2000 ? QStringLiteral("erreicht") : QStringLiteral("verfehlt")));
    return true;
}

// Adding the history to an older file of that size, as the window does at its first start.
bool measureUpgrade(const QString& olderPath, int count)
{
    Connection connection;
    QString error;
    bool added = false;
    double ms = 0;
    if (connection.open(olderPath, &error))
        ms = timeMs([&] { history::ensureHistory(connection.handle(), &added, &error); });
    if (!added) {
        print(QStringLiteral("Die Änderungshistorie lässt sich nicht anlegen: %1\n").arg(error));
        return false;
    }
    print(QStringLiteral("Änderungshistorie für eine ältere Datei mit %1 Fahrten anlegen (einmalig): %2 s.\n")
              .arg(count)
              .arg(decimals(ms / 1000, 2)));
    return true;
}

// A copy of the logbook as an older file: the same trips, no history.
bool copyWithoutHistory(const QString& from, const QString& to)
{
    Connection connection;
    QString error;
    if (!QFile::copy(from, to) || !connection.open(to, &error)
        || !connection.exec(QStringLiteral("drop table historie"), &error)) {
        print(QStringLiteral("Die Kopie ohne Änderungshistorie lässt sich nicht anlegen: %1\n").arg(error));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
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

    QElapsedTimer created;
    created.start();
    const Decimal consumption = *Decimal::fromParts(false, 79, 1);
    const demo::DemoVehicle vehicle{QStringLiteral("HH-OM 42"), consumption.toCanonical(), QStringLiteral("250.00"),
                                    QStringLiteral("1201.45")};
    QString error;
    if (writeLogbook(path, vehicle, demo::demoTrips(consumption, count), &error) != WriteResult::Ok) {
        std::fprintf(stderr, "odomira-bench: %s\n", error.toUtf8().constData());
        return 1;
    }
    print(QStringLiteral("Fahrtenbuch mit %1 Fahrten (%2 MB) in %3 s angelegt; Median aus %4 Läufen.\n\n")
              .arg(count)
              .arg(decimals(double(QFileInfo(path).size()) / 1e6, 1), decimals(double(created.elapsed()) / 1000, 2))
              .arg(Runs));

    sqlite3* plain = nullptr;
    if (sqlite3_open_v2(path.toUtf8().constData(), &plain, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "odomira-bench: %s\n", sqlite3_errmsg(plain));
        sqlite3_close(plain);
        return 1;
    }
    registerStoreExtensions(plain);

    const QString period = QStringLiteral("'%.03.2007%'");
    const std::vector<Case> cases{
        {"L", QStringLiteral("select * from [fahrt] order by datum asc"), true},
        {"M1", QStringLiteral("select *  from [fahrt] where datum like  ") + period + QStringLiteral(" order by datum asc"), true},
        {"M2", QStringLiteral("select sum(gesamt)as expr1000 from [fahrt] where datum like  ") + period, false},
        {"M3", QStringLiteral("select sum(kosten)as expr1001 from [fahrt] where datum like  ") + period, false},
    };

    print(QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8\n")
              .arg(QStringLiteral("Anw."), -4)
              .arg(padLeft(QStringLiteral("Zeilen"), 7), padLeft(QStringLiteral("Datenquelle"), 12),
                   padLeft(QStringLiteral("SQLite allein"), 14), padLeft(QStringLiteral("Faktor"), 7),
                   padLeft(QStringLiteral("resultBytes"), 12), padLeft(QStringLiteral("B/Fahrt"), 8),
                   padLeft(QStringLiteral("Heap B/Fahrt"), 13)));

    bool goalMet = true;
    for (const Case& item : cases) {
        Figures figures;
        if (!measure(path, plain, item, figures)) {
            sqlite3_close(plain);
            return 1;
        }
        const double ratio = figures.sqliteMs > 0 ? figures.storeMs / figures.sqliteMs : 0;
        QString perTrip = QStringLiteral("-");
        QString heapPerTrip = QStringLiteral("-");
        if (item.isList && figures.rows > 0) {
            const double bytes = double(figures.resultBytes) / figures.rows;
            perTrip = decimals(bytes, 0);
            if (figures.heapBytes >= 0)
                heapPerTrip = decimals(double(figures.heapBytes) / figures.rows, 0);
            goalMet = goalMet && ratio <= 2.0 && bytes <= 250;
        }
        print(QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8\n")
                  .arg(QString::fromLatin1(item.label), -4)
                  .arg(padLeft(QString::number(figures.rows), 7),
                       padLeft(decimals(figures.storeMs, 2) + QStringLiteral(" ms"), 12),
                       padLeft(decimals(figures.sqliteMs, 2) + QStringLiteral(" ms"), 14),
                       padLeft(decimals(ratio, 2), 7), padLeft(QString::number(figures.resultBytes), 12),
                       padLeft(perTrip, 8), padLeft(heapPerTrip, 13)));
    }
    sqlite3_close(plain);

    print(QStringLiteral("\n"));
    for (const Case& item : cases)
        print(QStringLiteral("%1 %2\n").arg(QString::fromLatin1(item.label), -4).arg(item.sql));
    print(QStringLiteral("\nFaktor = Datenquelle / SQLite allein; B/Fahrt = resultBytes je Zeile; Heap B/Fahrt = "
                         "gemessener Heap-Zuwachs des ersten Lesens je Zeile (ohne SQLite).\n"
                         "Ziel für L und M1: Faktor <= 2 und <= 250 Bytes je Fahrt: %1.\n")
              .arg(goalMet ? QStringLiteral("erreicht") : QStringLiteral("verfehlt")));

    if (!measureCheck(path, count))
        return 1;
    const QString withoutPath = dir.filePath(QStringLiteral("ohne-historie.mdb"));
    const QString olderPath = dir.filePath(QStringLiteral("aeltere-datei.mdb"));
    if (!copyWithoutHistory(path, withoutPath) || !copyWithoutHistory(path, olderPath))
        return 1;
    if (!measureUpgrade(olderPath, count) || !measureHistory(path, withoutPath))
        return 1;
    printLikeFigures();
    return 0;
}
