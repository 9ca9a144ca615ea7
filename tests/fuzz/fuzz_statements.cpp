// Search terms and year texts go into statements as typed: whatever they hold, the statement
// reads rows or is refused, and the logbook never changes.
#include "evaluation/period.h"
#include "evaluation/statements.h"
#include "fuzz_support.h"
#include "search/search_statement.h"
#include "store/connection.h"
#include "store/data_source.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <sqlite3.h>

using namespace odomira;

namespace {

struct Logbook {
    QTemporaryDir dir;
    QString path;
    DataSource source { QStringLiteral("buch") };
    sqlite3* watcher = nullptr;

    Logbook()
    {
        path = dir.filePath(QStringLiteral("odomira.mdb"));
        Connection created;
        QString error;
        if (!created.create(path, &error)
            || !created.exec(
                QStringLiteral("insert into fahrt (datum, ziel, gesamt, geschaeftl) values "
                               "('05.03.2007', 'Kiel', '95', -1), ('17.03.2006', 'Lübeck', '68', 0); "
                               "insert into verbrauch (kennzeichen) values ('HH-OM 42')"),
                &error))
            fuzz::fail("setup", error);
        created.close();
        if (!source.open(path, &error))
            fuzz::fail("setup", error);
        sqlite3_open_v2(QFile::encodeName(path).constData(), &watcher, SQLITE_OPEN_READONLY, nullptr);
    }

    // Changes whenever another connection commits to the file.
    QString state()
    {
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(watcher,
            "select (select count(*) from fahrt) || '/' || (select count(*) from verbrauch) || '/' || "
            "(select group_concat(name) from sqlite_master)",
            -1, &stmt, nullptr);
        sqlite3_step(stmt);
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
        const QString result = QString::fromUtf8(text ? text : "");
        sqlite3_finalize(stmt);
        return result;
    }
};

Logbook& logbook()
{
    static Logbook instance;
    return instance;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    static QCoreApplication application(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Logbook& book = logbook();
    static const QString before = book.state();
    const auto [first, second] = fuzz::twoTexts(data, size);

    const QString pattern = periodPattern(monthPart(first).value_or(QString()), second);
    const KindCriteria criteria { -1, 0, 0 };
    for (const QString& sql :
        { searchStatement(first), monthListStatement(pattern), monthKmSumStatement(pattern),
            kindListStatement(pattern, criteria), kindCostSumStatement(pattern, criteria) }) {
        book.source.setStatement(sql);
        QString error;
        if (!book.source.refresh(&error))
            fuzz::check(!error.isEmpty(), "refusal without a message", sql);
    }
    fuzz::check(book.state() == before, "a typed text changed the logbook", first + " | " + second);
    return 0;
}
