#include "support/temp_logbook.h"

#include "store/connection.h"
#include "store/schema.h"

#include <QFile>
#include <QtTest>

#include <functional>

#include <sqlite3.h>

namespace odomira::test {

namespace {

// Opens the file as it is, with the store's collations and functions, without the checks
// of Connection::open (a check may look at a file that is deliberately no logbook).
sqlite3* openRaw(const QString& path)
{
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr)
        != SQLITE_OK) {
        qWarning("TempLogbook: cannot open %s: %s", qPrintable(path), db ? sqlite3_errmsg(db) : "no memory");
        sqlite3_close_v2(db);
        return nullptr;
    }
    registerStoreExtensions(db);
    return db;
}

void bindText(sqlite3_stmt* stmt, int index, const QString& text)
{
    if (text.isEmpty()) {
        sqlite3_bind_null(stmt, index);
        return;
    }
    const QByteArray utf8 = text.toUtf8();
    sqlite3_bind_text(stmt, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

void bindFlag(sqlite3_stmt* stmt, int index, const QString& text)
{
    if (text.isEmpty())
        sqlite3_bind_null(stmt, index);
    else
        sqlite3_bind_int64(stmt, index, text.toLongLong());
}

bool insert(sqlite3* db, const char* sql, const std::function<void(sqlite3_stmt*)>& bind)
{
    sqlite3_stmt* stmt = nullptr;
    bool ok = sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) == SQLITE_OK;
    if (ok) {
        bind(stmt);
        ok = sqlite3_step(stmt) == SQLITE_DONE;
    }
    if (!ok)
        qWarning("TempLogbook: %s: %s", sql, sqlite3_errmsg(db));
    sqlite3_finalize(stmt);
    return ok;
}

} // namespace

TempLogbook::TempLogbook() = default;

QString TempLogbook::path() const
{
    return m_dir.filePath(QString::fromLatin1(LogbookFileName));
}

bool TempLogbook::create(const VehicleRow* vehicle, const QList<TripRow>& trips)
{
    Connection connection;
    QString error;
    if (!connection.create(path(), &error)) {
        qWarning("TempLogbook: %s", qPrintable(error));
        return false;
    }
    sqlite3* db = connection.handle();
    bool ok = sqlite3_exec(db, "begin", nullptr, nullptr, nullptr) == SQLITE_OK;
    if (ok && vehicle) {
        ok = insert(db,
            "insert into verbrauch (kennzeichen, verbrauch, steuer, versicherung) values (?, ?, ?, ?)",
            [vehicle](sqlite3_stmt* stmt) {
                bindText(stmt, 1, vehicle->kennzeichen);
                bindText(stmt, 2, vehicle->verbrauch);
                bindText(stmt, 3, vehicle->steuer);
                bindText(stmt, 4, vehicle->versicherung);
            });
    }
    for (const TripRow& trip : trips) {
        if (!ok)
            break;
        ok = insert(db,
            "insert into fahrt (datum, von, bis, ziel, bemerkung, anfangsstand, endstand, gesamt, "
            "preisliter, "
            "kosten, geschaeftl, privat, zurarbeit) values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
            [&trip](sqlite3_stmt* stmt) {
                const QString texts[] = { trip.datum, trip.von, trip.bis, trip.ziel, trip.bemerkung,
                    trip.anfangsstand, trip.endstand, trip.gesamt, trip.preisliter, trip.kosten };
                int index = 1;
                for (const QString& text : texts)
                    bindText(stmt, index++, text);
                bindFlag(stmt, index++, trip.geschaeftl);
                bindFlag(stmt, index++, trip.privat);
                bindFlag(stmt, index, trip.zurarbeit);
            });
    }
    if (ok)
        ok = sqlite3_exec(db, "commit", nullptr, nullptr, nullptr) == SQLITE_OK;
    return ok;
}

bool TempLogbook::exec(const QString& sql) const
{
    sqlite3* db = openRaw(path());
    if (!db)
        return false;
    char* message = nullptr;
    const bool ok = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &message) == SQLITE_OK;
    if (!ok)
        qWarning("TempLogbook: %s: %s", qPrintable(sql), message);
    sqlite3_free(message);
    sqlite3_close_v2(db);
    return ok;
}

QList<QStringList> TempLogbook::query(const QString& sql) const
{
    QList<QStringList> rows;
    sqlite3* db = openRaw(path());
    if (!db)
        return rows;
    sqlite3_stmt* stmt = nullptr;
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(db, text.constData(), int(text.size()), &stmt, nullptr) == SQLITE_OK) {
        int rc;
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
            QStringList row;
            for (int c = 0; c < sqlite3_column_count(stmt); ++c) {
                if (sqlite3_column_type(stmt, c) == SQLITE_NULL)
                    row.append(QStringLiteral("<null>"));
                else
                    row.append(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, c)),
                        sqlite3_column_bytes(stmt, c)));
            }
            rows.append(row);
        }
        if (rc != SQLITE_DONE)
            qWarning("TempLogbook: %s: %s", qPrintable(sql), sqlite3_errmsg(db));
    } else {
        qWarning("TempLogbook: %s: %s", qPrintable(sql), sqlite3_errmsg(db));
    }
    sqlite3_finalize(stmt);
    sqlite3_close_v2(db);
    return rows;
}

QString TempLogbook::scalar(const QString& sql) const
{
    const QList<QStringList> rows = query(sql);
    return rows.isEmpty() || rows.front().isEmpty() ? QString() : rows.front().front();
}

} // namespace odomira::test
