#include "store/connection.h"

#include "store/busy_wait.h"
#include "store/schema.h"
#include "store/statement.h"
#include "store/store_messages.h"
#include "store/store_text.h"

#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

#include <optional>

namespace odomira {

using store::quoted;
using store::setError;
using store::sqliteMessage;

namespace {

const QString ReadOnlyMessage
    = QStringLiteral("Die Datenbankdatei %1 ist schreibgeschützt; Fahrten könnten nicht gespeichert werden.");

// What the schema query of a freshly opened file says about it.
enum class FileCheck { Logbook, NotADatabase, Locked, Failed };

FileCheck checkTables(sqlite3* db, QStringList* missing, QString* detail)
{
    sqlite3_stmt* stmt = nullptr;
    int rc = sqlite3_prepare_v2(
        db, "select lower(name) from sqlite_master where type = 'table'", -1, &stmt, nullptr);
    bool hasFahrt = false;
    bool hasVerbrauch = false;
    if (rc == SQLITE_OK) {
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
            const auto* name = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
            const QByteArray table(name ? name : "");
            hasFahrt = hasFahrt || table == "fahrt";
            hasVerbrauch = hasVerbrauch || table == "verbrauch";
        }
    }
    *detail = sqliteMessage(db);
    sqlite3_finalize(stmt);
    switch (rc & 0xff) {
    case SQLITE_DONE:
        break;
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
        return FileCheck::NotADatabase;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return FileCheck::Locked;
    default:
        return FileCheck::Failed;
    }
    if (!hasFahrt)
        missing->append(QStringLiteral("fahrt"));
    if (!hasVerbrauch)
        missing->append(QStringLiteral("verbrauch"));
    return FileCheck::Logbook;
}

// The first column of `table` the program needs and the file lacks, or "" when all are there
// (also when the columns cannot be read; the first re-read then reports why).
QString missingColumn(sqlite3* db, const QString& table)
{
    const QByteArray sql = "select lower(name) from pragma_table_info(" + store::sqlLiteral(table) + ")";
    sqlite3_stmt* stmt = nullptr;
    QStringList present;
    if (sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &stmt, nullptr) == SQLITE_OK) {
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            const auto* name = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
            present.append(QString::fromUtf8(name ? name : ""));
        }
    }
    sqlite3_finalize(stmt);
    if (present.isEmpty())
        return QString();
    for (const QString& column : expectedColumns(table)) {
        if (!present.contains(column))
            return column;
    }
    return QString();
}

// A logbook made before the date index gets it on opening. Without it everything still
// works, only slower, so a file that cannot take it (no room, locked) opens all the same.
void addDateIndex(sqlite3* db)
{
    sqlite3_exec(db, DateIndexSql, nullptr, nullptr, nullptr);
}

// Why the file at `info` cannot be a logbook the program writes, before SQLite sees it.
std::optional<QString> fileProblem(const QFileInfo& info, const QString& shown)
{
    if (!info.exists())
        return QStringLiteral("Die Datenbankdatei %1 wurde nicht gefunden.").arg(shown);
    if (info.isDir())
        return QStringLiteral("%1 ist keine Datei, sondern ein Ordner.").arg(shown);
    if (!info.isFile())
        return QStringLiteral("%1 ist keine gewöhnliche Datei.").arg(shown);
    if (!info.isReadable())
        return QStringLiteral("Die Datenbankdatei %1 kann nicht gelesen werden.").arg(shown);
    if (!info.isWritable())
        return ReadOnlyMessage.arg(shown);
    return std::nullopt;
}

// The file opened for reading and writing, with the bounded wait for other programs; null
// with a message when SQLite cannot open it or takes it as read-only.
sqlite3* openReadWrite(const QFileInfo& info, const QString& shown, QString* error)
{
    // An absolute path can never be taken for a "file:" URI. Without SQLITE_OPEN_CREATE a file
    // that vanished meanwhile is not created. A connection is used by the thread that opened it
    // alone, so SQLite need not lock it around every call (one lock per cell read, otherwise).
    const QByteArray nativePath = QFile::encodeName(info.absoluteFilePath());
    sqlite3* db = nullptr;
    const int rc
        = sqlite3_open_v2(nativePath.constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        setError(error,
            storeFailureMessage(
                QStringLiteral("Die Datenbankdatei %1 kann nicht geöffnet werden.").arg(shown), db));
        sqlite3_close_v2(db);
        return nullptr;
    }
    installBusyWait(db);
    if (sqlite3_db_readonly(db, "main") == 1) {
        setError(error, ReadOnlyMessage.arg(shown));
        sqlite3_close_v2(db);
        return nullptr;
    }
    return db;
}

// Why the open database is no logbook: not a database, held by another program, without
// one of the two tables or a column the program writes. Reads only.
std::optional<QString> logbookProblem(sqlite3* db, const QString& path, const QString& shown)
{
    QStringList missing;
    QString detail;
    switch (checkTables(db, &missing, &detail)) {
    case FileCheck::Logbook:
        break;
    case FileCheck::NotADatabase:
        return QStringLiteral("Die Datei %1 ist keine Datenbank.").arg(shown);
    case FileCheck::Locked:
        return storeFailureMessage(
            QStringLiteral("Das Fahrtenbuch %1 kann nicht geöffnet werden.").arg(shown), StoreFailure::Busy,
            path, detail);
    case FileCheck::Failed:
        return storeFailureMessage(
            QStringLiteral("Die Datenbankdatei %1 kann nicht gelesen werden.").arg(shown),
            classifyStoreFailure(sqlite3_extended_errcode(db), true), path, detail);
    }
    if (missing.size() == 2)
        return QStringLiteral("Die Datenbank %1 ist kein Fahrtenbuch: die Tabellen „fahrt“ und „verbrauch“ "
                              "fehlen.")
            .arg(shown);
    if (missing.size() == 1)
        return QStringLiteral("Die Datenbank %1 ist kein Fahrtenbuch: die Tabelle %2 fehlt.")
            .arg(shown, quoted(missing.front()));

    // A column the program writes but the file lacks would silently drop its value on save.
    for (const char* table : { "fahrt", "verbrauch" }) {
        const QString column = missingColumn(db, QString::fromLatin1(table));
        if (!column.isEmpty())
            return QStringLiteral(
                "Die Datenbank %1 ist kein vollständiges Fahrtenbuch: in der Tabelle %2 fehlt "
                "die Spalte %3. Bitte verwenden Sie ein mit Odomira angelegtes Fahrtenbuch.")
                .arg(shown, quoted(QString::fromLatin1(table)), quoted(column));
    }
    return std::nullopt;
}

} // namespace

Connection::~Connection()
{
    close();
}

bool Connection::open(const QString& path, QString* error)
{
    close();
    const QFileInfo info(path);
    const QString shown = quoted(path);
    if (const std::optional<QString> problem = fileProblem(info, shown)) {
        setError(error, *problem);
        return false;
    }
    sqlite3* db = openReadWrite(info, shown, error);
    if (!db)
        return false;
    // Only reads up to here: a failed open must leave the file as it was.
    if (const std::optional<QString> problem = logbookProblem(db, path, shown)) {
        setError(error, *problem);
        sqlite3_close_v2(db);
        return false;
    }
    registerStoreExtensions(db);
    addDateIndex(db);
    m_db = db;
    Statement::keepPrepared(db);
    return true;
}

bool Connection::create(const QString& path, QString* error)
{
    close();
    const QFileInfo info(path);
    const QString shown = quoted(path);
    if (info.exists() || info.isSymLink()) {
        setError(
            error, QStringLiteral("Die Datei %1 gibt es bereits; sie wird nicht überschrieben.").arg(shown));
        return false;
    }
    const QByteArray nativePath = QFile::encodeName(info.absoluteFilePath());
    sqlite3* db = nullptr;
    int rc
        = sqlite3_open_v2(nativePath.constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc == SQLITE_OK) {
        installBusyWait(db);
        registerStoreExtensions(db);
        rc = sqlite3_exec(db, "begin", nullptr, nullptr, nullptr);
        if (rc == SQLITE_OK)
            rc = sqlite3_exec(db, SchemaSql, nullptr, nullptr, nullptr);
        if (rc == SQLITE_OK)
            rc = sqlite3_exec(db, "commit", nullptr, nullptr, nullptr);
    }
    if (rc != SQLITE_OK) {
        setError(error,
            storeFailureMessage(
                QStringLiteral("Die Datenbankdatei %1 kann nicht angelegt werden.").arg(shown),
                classifyStoreFailure(db ? sqlite3_extended_errcode(db) : SQLITE_NOMEM, true), path,
                sqliteMessage(db)));
        sqlite3_close_v2(db);
        QFile::remove(info.absoluteFilePath());
        return false;
    }
    m_db = db;
    return true;
}

void Connection::close()
{
    if (m_db) {
        Statement::forgetPrepared(m_db);
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
}

bool Connection::exec(const QString& sql, QString* error)
{
    if (!m_db) {
        setError(error, QStringLiteral("Es ist keine Datenbank geöffnet."));
        return false;
    }
    const QByteArray text = sql.toUtf8();
    if (sqlite3_exec(m_db, text.constData(), nullptr, nullptr, nullptr) != SQLITE_OK) {
        setError(error, storeFailureMessage(QStringLiteral("Die Anweisung wurde nicht ausgeführt."), m_db));
        return false;
    }
    return true;
}

} // namespace odomira
