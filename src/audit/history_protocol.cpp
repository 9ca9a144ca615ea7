#include "audit/history_protocol.h"

#include "audit/logbook_reading.h"
#include "store/history.h"
#include "store/statement.h"
#include "store/store_text.h"

#include <sqlite3.h>

namespace odomira::audit {

using history::Action;
using history::Record;
using history::Table;
using store::sqliteMessage;

namespace {

const QString Indent = QStringLiteral("    ");

std::optional<QByteArray> columnBytes(sqlite3_stmt* stmt, int column)
{
    if (sqlite3_column_type(stmt, column) == SQLITE_NULL)
        return std::nullopt;
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
    return QByteArray(text ? text : "", sqlite3_column_bytes(stmt, column));
}

std::optional<Record> decodedOrNone(Table table, const std::optional<QByteArray>& text)
{
    return text ? history::decodeRecord(table, *text) : std::nullopt;
}

} // namespace

bool writeProtocol(
    sqlite3* db, const std::function<void(const QString&)>& line, bool* hasHistory, QString* error)
{
    if (!history::hasHistory(db, hasHistory, error))
        return false;
    if (!*hasHistory)
        return true;
    Statement query;
    if (!query.prepare(db, "select nr, zeit, aktion, tabelle, vorher, nachher from historie order by nr")) {
        *error = QStringLiteral("Die Änderungshistorie kann nicht gelesen werden: %1").arg(sqliteMessage(db));
        return false;
    }
    sqlite3_stmt* stmt = query.handle();
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        const qint64 nr = sqlite3_column_int64(stmt, 0);
        const QString zeit = QString::fromUtf8(columnBytes(stmt, 1).value_or(QByteArray()));
        const QByteArray aktion = columnBytes(stmt, 2).value_or(QByteArray());
        const std::optional<Table> table
            = history::tableFromName(QString::fromUtf8(columnBytes(stmt, 3).value_or(QByteArray())));
        const std::optional<Action> action = history::actionFromWord(aktion);
        std::optional<Record> before;
        std::optional<Record> after;
        if (table) {
            before = decodedOrNone(*table, columnBytes(stmt, 4));
            after = decodedOrNone(*table, columnBytes(stmt, 5));
        }
        const Record* named = after ? &*after : before ? &*before : nullptr;
        const QString what
            = table && named ? recordName(*table, *named) : QStringLiteral("(unlesbarer Eintrag)");
        line(QStringLiteral("Nr. %1  %2  %3  %4").arg(nr).arg(zeit, QString::fromUtf8(aktion), what));
        if (!table || !action)
            continue;

        if (*action == Action::Geaendert && before && after) {
            for (std::size_t c = 0; c < before->size(); ++c) {
                if ((*before)[c] == (*after)[c])
                    continue;
                line(Indent
                    + QStringLiteral("%1: %2 → %3")
                          .arg(fieldLabel(*table, int(c)), displayValue(*table, int(c), (*before)[c]),
                              displayValue(*table, int(c), (*after)[c])));
            }
        } else if ((*action == Action::Neu && after) || (*action == Action::Geloescht && before)) {
            const Record& values = after ? *after : *before;
            for (std::size_t c = 0; c < values.size(); ++c)
                line(Indent
                    + QStringLiteral("%1: %2").arg(
                        fieldLabel(*table, int(c)), displayValue(*table, int(c), values[c])));
        }
    }
    if (rc != SQLITE_DONE) {
        *error = QStringLiteral("Die Änderungshistorie kann nicht gelesen werden: %1").arg(sqliteMessage(db));
        return false;
    }
    return true;
}

} // namespace odomira::audit
