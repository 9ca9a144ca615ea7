#include "store/store_messages.h"

#include "store/store_text.h"

#include <QFileInfo>

#include <sqlite3.h>

namespace odomira {

namespace {

QString fileOf(sqlite3* db)
{
    const char* name = db ? sqlite3_db_filename(db, "main") : nullptr;
    return name ? QString::fromUtf8(name) : QString();
}

QString shownPath(const QString& path)
{
    return path.isEmpty() ? QStringLiteral("des Fahrtenbuchs") : store::quoted(path);
}

} // namespace

StoreFailure classifyStoreFailure(int extendedCode, bool fileExists)
{
    if (!fileExists)
        return StoreFailure::Missing;
    if (extendedCode == SQLITE_READONLY_DBMOVED)
        return StoreFailure::Missing;
    switch (extendedCode & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return StoreFailure::Busy;
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return StoreFailure::ReadOnly;
    case SQLITE_FULL:
        return StoreFailure::Full;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return StoreFailure::Damaged;
    case SQLITE_IOERR:
    case SQLITE_CANTOPEN:
    case SQLITE_PROTOCOL:
        return StoreFailure::Io;
    case SQLITE_ERROR:
    case SQLITE_TOOBIG:
    case SQLITE_MISMATCH:
    case SQLITE_RANGE:
    case SQLITE_CONSTRAINT:
        return StoreFailure::Statement;
    default:
        return StoreFailure::Other;
    }
}

QString storeFailureMessage(
    const QString& what, StoreFailure failure, const QString& path, const QString& detail)
{
    QString cause;
    switch (failure) {
    case StoreFailure::Busy:
        cause = QStringLiteral("Ein anderes Programm verwendet das Fahrtenbuch gerade; es ging nichts "
                               "verloren. Bitte versuchen Sie es in einem Augenblick noch einmal oder "
                               "schließen Sie das andere Programm.");
        break;
    case StoreFailure::Missing:
        cause = QStringLiteral("Die Datenbankdatei %1 ist nicht mehr vorhanden; sie wurde gelöscht oder "
                               "verschoben, während Odomira lief. Bitte legen Sie die Datei wieder an "
                               "ihren Platz und starten Sie Odomira neu.")
                    .arg(shownPath(path));
        break;
    case StoreFailure::ReadOnly:
        cause = QStringLiteral("Die Datenbankdatei %1 oder ihr Ordner ist schreibgeschützt. Bitte geben "
                               "Sie Schreibrechte und versuchen Sie es noch einmal.")
                    .arg(shownPath(path));
        break;
    case StoreFailure::Full:
        cause = QStringLiteral("Der Datenträger ist voll. Bitte schaffen Sie Platz und versuchen Sie es "
                               "noch einmal.");
        break;
    case StoreFailure::Damaged:
        cause = QStringLiteral("Die Datenbankdatei %1 ist beschädigt. Bitte spielen Sie eine Sicherung "
                               "des Fahrtenbuchs ein.")
                    .arg(shownPath(path));
        break;
    case StoreFailure::Io:
        cause = QStringLiteral("Die Datenbankdatei %1 konnte nicht gelesen oder geschrieben werden. Bitte "
                               "prüfen Sie den Datenträger und versuchen Sie es noch einmal.")
                    .arg(shownPath(path));
        break;
    case StoreFailure::Statement:
        cause = QStringLiteral("Die Datenbank nimmt die Anweisung nicht an. Bitte prüfen Sie die Eingabe, "
                               "aus der sie entsteht (etwa den Suchbegriff oder das Jahr).");
        break;
    case StoreFailure::Other:
        cause = QStringLiteral("Bitte versuchen Sie es noch einmal; bleibt der Fehler, starten Sie Odomira "
                               "neu.");
        break;
    }
    QString message = what + QLatin1Char(' ') + cause;
    if (!detail.isEmpty())
        message += QStringLiteral(" (") + detail + QLatin1Char(')');
    return message;
}

StoreFailure lastStoreFailure(sqlite3* db)
{
    if (!db)
        return StoreFailure::Other;
    const QString path = fileOf(db);
    const bool exists = path.isEmpty() || QFileInfo::exists(path);
    return classifyStoreFailure(sqlite3_extended_errcode(db), exists);
}

QString storeFailureMessage(const QString& what, sqlite3* db)
{
    return storeFailureMessage(what, lastStoreFailure(db), fileOf(db), store::sqliteMessage(db));
}

} // namespace odomira
