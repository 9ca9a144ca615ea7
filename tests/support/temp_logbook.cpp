#include "support/temp_logbook.h"

#include "store/connection.h"
#include "store/history.h"
#include "store/schema.h"

#include <QDir>
#include <QFile>
#include <QtTest>

#include <sqlite3.h>

namespace odomira::test {

namespace {

// " values (null, ...);": a new key, then the texts as SQL literals, an empty one NULL.
QString values(const QStringList& texts)
{
    QStringList literals { QStringLiteral("null") };
    for (const QString& text : texts)
        literals << (text.isEmpty() ? QStringLiteral("null")
                                    : u'\'' + QString(text).replace(u'\'', QStringLiteral("''")) + u'\'');
    return " values (" + literals.join(u',') + ");";
}

} // namespace

QList<TripRow> tripsWithReadings(const QStringList& lines)
{
    QList<TripRow> trips;
    const auto reading
        = [](const QString& text) { return text == u"-" ? QString() : QString(text).replace(u',', u'.'); };
    for (const QString& line : lines) {
        const QStringList parts = line.split(u' ');
        trips.append({ parts[0], {}, {}, parts[1], {}, reading(parts[2]), reading(parts[3]) });
    }
    return trips;
}

bool TempLogbook::addHistory() const
{
    Connection connection;
    bool added = false;
    QString reason;
    const bool ok
        = connection.open(path(), &reason) && history::ensureHistory(connection.handle(), &added, &reason);
    if (!ok)
        qWarning("TempLogbook: %s", qPrintable(reason));
    return ok;
}

QString TempLogbook::snapshot() const
{
    QFile file(path());
    const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    return QDir(dirPath()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).join(u'|')
        + bytes.toHex();
}

bool TempLogbook::load(DataSource& source, const QString& statement) const
{
    QString error;
    source.setStatement(statement);
    const bool ok = source.open(path(), &error) && source.refresh(&error);
    if (!ok)
        qWarning("TempLogbook: %s", qPrintable(error));
    return ok;
}

QString TempLogbook::path() const
{
    return m_dir.filePath(QString::fromLatin1(LogbookFileName));
}

bool TempLogbook::create(const VehicleRow* vehicle, const QList<TripRow>& trips)
{
    QString error;
    if (!Connection().create(path(), &error)) {
        qWarning("TempLogbook: %s", qPrintable(error));
        return false;
    }
    QString sql = QStringLiteral("begin;");
    if (vehicle)
        sql += "insert into verbrauch"
            + values({ vehicle->kennzeichen, vehicle->verbrauch, vehicle->steuer, vehicle->versicherung });
    for (const TripRow& t : trips) {
        sql += "insert into fahrt"
            + values({ t.datum, t.von, t.bis, t.ziel, t.bemerkung, t.anfangsstand, t.endstand, t.gesamt,
                t.preisliter, t.kosten, t.geschaeftl, t.privat, t.zurarbeit });
    }
    return exec(sql + "commit;");
}

// Runs `sql` (one statement or several) on the file as it is, collecting any rows into `rows`.
bool TempLogbook::run(const QString& sql, QList<QStringList>* rows) const
{
    const auto collect = [](void* out, int count, char** cells, char**) {
        QStringList row;
        for (int c = 0; c < count; ++c)
            row.append(cells[c] ? QString::fromUtf8(cells[c]) : QString("<null>"));
        static_cast<QList<QStringList>*>(out)->append(row);
        return 0;
    };
    // The file as it is, with the store's collations and functions, without the checks of
    // Connection::open (a check may look at a file that is deliberately no logbook).
    sqlite3* db = nullptr;
    char* message = nullptr;
    bool ok = sqlite3_open_v2(QFile::encodeName(path()).constData(), &db, SQLITE_OPEN_READWRITE, nullptr)
        == SQLITE_OK;
    if (ok)
        registerStoreExtensions(db);
    ok = ok && sqlite3_exec(db, sql.toUtf8().constData(), collect, rows, &message) == SQLITE_OK;
    if (!ok)
        qWarning("TempLogbook: %s: %s", qPrintable(sql.left(200)), message ? message : sqlite3_errmsg(db));
    sqlite3_free(message);
    sqlite3_close_v2(db);
    return ok;
}

bool TempLogbook::exec(const QString& sql) const
{
    QList<QStringList> ignored;
    return run(sql, &ignored);
}

QList<QStringList> TempLogbook::query(const QString& sql) const
{
    QList<QStringList> rows;
    run(sql, &rows);
    return rows;
}

QString TempLogbook::scalar(const QString& sql) const
{
    const QList<QStringList> rows = query(sql);
    return rows.isEmpty() || rows.front().isEmpty() ? QString() : rows.front().front();
}

} // namespace odomira::test
