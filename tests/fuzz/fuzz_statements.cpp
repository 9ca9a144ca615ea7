// Search terms and year texts go into statements as typed: whatever they hold, the statement
// reads rows or is refused, and the logbook never changes.
#include "evaluation/period.h"
#include "evaluation/statements.h"
#include "fuzz_support.h"
#include "search/search_statement.h"
#include "store/connection.h"
#include "store/data_source.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

using namespace odomira;

namespace {

struct Logbook {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("odomira.mdb"));
    DataSource source { QStringLiteral("buch") };

    Logbook()
    {
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
    }

    // Any write committed to the file changes its bytes (its change counter at least).
    QByteArray state() const
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
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
    static const QByteArray before = book.state();
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
