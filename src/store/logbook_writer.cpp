#include "store/logbook_writer.h"

#include "store/connection.h"
#include "store/history.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

namespace odomira {

namespace {

// A prepared statement that finalizes itself.
class Statement {
public:
    Statement(sqlite3* db, const char* sql) { sqlite3_prepare_v2(db, sql, -1, &m_stmt, nullptr); }
    ~Statement() { sqlite3_finalize(m_stmt); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool isValid() const { return m_stmt != nullptr; }

    void bindText(int index, const QString& text)
    {
        if (text.isNull()) {
            sqlite3_bind_null(m_stmt, index);
            return;
        }
        const QByteArray utf8 = text.toUtf8();
        sqlite3_bind_text(m_stmt, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
    }
    void bindInt(int index, int value) { sqlite3_bind_int(m_stmt, index, value); }

    bool run()
    {
        const int rc = sqlite3_step(m_stmt);
        sqlite3_reset(m_stmt);
        return rc == SQLITE_DONE;
    }

private:
    sqlite3_stmt* m_stmt = nullptr;
};

QString sqliteError(sqlite3* db)
{
    return QString::fromUtf8(sqlite3_errmsg(db));
}

bool fill(Connection& connection, const LogbookVehicle& vehicle, const std::vector<LogbookTrip>& trips,
    QString* error)
{
    sqlite3* db = connection.handle();
    if (!connection.exec(QStringLiteral("BEGIN"), error))
        return false;

    Statement vehicleInsert(db,
        "INSERT INTO verbrauch (kennzeichen, verbrauch, steuer, versicherung) "
        "VALUES (?, ?, ?, ?)");
    if (!vehicleInsert.isValid()) {
        *error = sqliteError(db);
        return false;
    }
    vehicleInsert.bindText(1, vehicle.kennzeichen);
    vehicleInsert.bindText(2, vehicle.verbrauch);
    vehicleInsert.bindText(3, vehicle.steuer);
    vehicleInsert.bindText(4, vehicle.versicherung);
    if (!vehicleInsert.run()) {
        *error = sqliteError(db);
        return false;
    }

    Statement tripInsert(db,
        "INSERT INTO fahrt (datum, von, bis, ziel, bemerkung, anfangsstand, endstand, "
        "gesamt, preisliter, kosten, geschaeftl, privat, zurarbeit) "
        "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    if (!tripInsert.isValid()) {
        *error = sqliteError(db);
        return false;
    }
    for (const LogbookTrip& trip : trips) {
        int column = 0;
        for (const QString* text : { &trip.datum, &trip.von, &trip.bis, &trip.ziel, &trip.bemerkung,
                 &trip.anfangsstand, &trip.endstand, &trip.gesamt, &trip.preisliter, &trip.kosten })
            tripInsert.bindText(++column, *text);
        tripInsert.bindInt(++column, trip.geschaeftl);
        tripInsert.bindInt(++column, trip.privat);
        tripInsert.bindInt(++column, trip.zurarbeit);
        if (!tripInsert.run()) {
            *error = sqliteError(db);
            return false;
        }
    }
    // The new records open the change history, so the file checks clean from the start.
    history::Writer writer(db);
    if (!history::createHistory(db, error) || !writer.start(error)
        || !writer.appendEveryRecord(history::Action::Neu, error))
        return false;
    return connection.exec(QStringLiteral("COMMIT"), error);
}

} // namespace

WriteResult writeLogbook(
    const QString& path, const LogbookVehicle& vehicle, const std::vector<LogbookTrip>& trips, QString* error)
{
    QString message;
    const QFileInfo info(path);
    // A dangling symbolic link does not "exist", but SQLite would create its target.
    if (info.exists() || info.isSymLink()) {
        message = QStringLiteral("Die Datei „%1“ gibt es schon; sie wird nicht überschrieben.").arg(path);
        if (error)
            *error = message;
        return WriteResult::Exists;
    }

    Connection connection;
    bool ok = connection.create(path, &message);
    const bool created = QFileInfo::exists(path);
    if (ok)
        ok = fill(connection, vehicle, trips, &message);
    connection.close();
    if (ok)
        return WriteResult::Ok;

    // The file is ours: a half-written logbook is worse than none.
    if (created) {
        QFile::remove(path);
        QFile::remove(path + QStringLiteral("-journal"));
    }
    if (error)
        *error = message;
    return WriteResult::Failed;
}

WriteResult writeLogbookWithFolder(const QString& path, const LogbookVehicle& vehicle, QString* error)
{
    // The folders that are missing, deepest first, so a failure can take back exactly those.
    QStringList made;
    for (QString folder = QFileInfo(path).absolutePath(); !QFileInfo::exists(folder);) {
        made << folder;
        const QString parent = QFileInfo(folder).path();
        if (parent == folder)
            break;
        folder = parent;
    }
    if (!made.isEmpty() && !QDir().mkpath(made.first())) {
        if (error)
            *error = QStringLiteral("Der Ordner „%1“ konnte nicht angelegt werden.").arg(made.first());
        for (const QString& folder : std::as_const(made))
            QDir().rmdir(folder);
        return WriteResult::Failed;
    }
    const WriteResult result = writeLogbook(path, vehicle, {}, error);
    if (result != WriteResult::Ok) {
        for (const QString& folder : std::as_const(made))
            QDir().rmdir(folder); // only ever removes an empty folder
    }
    return result;
}

} // namespace odomira
