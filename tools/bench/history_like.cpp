// The change history's costs and the store's LIKE on very long texts, for odomira-bench: a
// save, a delete and a vehicle save with the history against a copy without it, the check of
// the whole logbook, adding the history to an older file, and one LIKE over a long row.
#include "history_like.h"

#include "bench_common.h"

#include "audit/logbook_check.h"
#include "audit/logbook_reading.h"
#include "store/connection.h"
#include "store/data_source.h"
#include "store/history.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include <sqlite3.h>

#include <algorithm>
#include <ctime>
#include <functional>
#include <vector>

using namespace odomira;
using namespace odomira::bench;

namespace {

constexpr int Runs = 7;
const QLocale German(QLocale::German, QLocale::Germany);

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

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

void printLongLike()
{
    sqlite3* db = nullptr;
    sqlite3_open(":memory:", &db);
    registerStoreExtensions(db);
    sqlite3_limit(db, SQLITE_LIMIT_LIKE_PATTERN_LENGTH, 1 << 20);
    print(QStringLiteral(
        "\nLIKE auf einer Zeile, Suchbegriff \"%Begriff%\" gegen ein Ziel (Median aus %1 Läufen):\n")
              .arg(Runs));
    const struct {
        int text, term;
        bool underscore;
    } sizes[] = { { 32000, 16000, false }, { 64000, 16000, false }, { 32000, 32000, false },
        { 32000, 16000, true }, { 64000, 16000, true } };
    for (const auto& size : sizes) {
        print(QStringLiteral("  Begriff %1 Zeichen%2, Ziel %3 Zeichen: %4 ms\n")
                  .arg(German.toString(size.term), size.underscore ? QStringLiteral(" mit \"_\"") : QString())
                  .arg(German.toString(size.text),
                      decimals(likeMs(db, size.text, size.term, size.underscore), 2)));
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
struct Writers {
    DataSource buch { QStringLiteral("buch") };
    DataSource stamm { QStringLiteral("stamm") };

    bool open(const QString& path, QString* error)
    {
        buch.setStatement(QStringLiteral("select * from fahrt order by id"));
        stamm.setStatement(QStringLiteral("select * from verbrauch"));
        return buch.open(path, error) && stamm.open(path, error) && buch.refresh(error)
            && stamm.refresh(error);
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
    struct Action {
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
              .arg(padLeft(QStringLiteral("ohne"), 10), padLeft(QStringLiteral("mit"), 10),
                  padLeft(QStringLiteral("Faktor"), 7)));
    bool goalMet = true;
    for (const Action& action : actions) {
        std::vector<double> withMs, withoutMs;
        for (int run = 0; run < HistoryRuns; ++run) {
            bool ok = true;
            // Each starts first in every other run, so neither always meets a warmer cache.
            const auto timeWith
                = [&] { withMs.push_back(timeMs([&] { ok = ok && action.run(with, run, &error); })); };
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
                      padLeft(decimals(median(withMs), 2) + QStringLiteral(" ms"), 10),
                      padLeft(decimals(ratio, 2), 7)));
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
    print(QStringLiteral(
        "\nPrüfen (odomira-db --pruefen) von %1 Fahrten, %2 Befunde: %3 s, davon Prozessorzeit %4 s "
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

namespace odomira::bench {

void printLikeFigures()
{
    printLongLike();
}

bool measureHistoryFigures(const QString& folder, const QString& path, int count)
{
    if (!measureCheck(path, count))
        return false;
    const QString withoutPath = folder + QStringLiteral("/ohne-historie.mdb");
    const QString olderPath = folder + QStringLiteral("/aeltere-datei.mdb");
    if (!copyWithoutHistory(path, withoutPath) || !copyWithoutHistory(path, olderPath))
        return false;
    return measureUpgrade(olderPath, count) && measureHistory(path, withoutPath);
}

} // namespace odomira::bench
