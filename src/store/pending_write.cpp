#include "store/pending_write.h"

#include "store/result_columns.h"
#include "store/statement.h"
#include "store/store_messages.h"
#include "store/store_text.h"

#include <sqlite3.h>

namespace odomira {

using store::quoted;
using store::setError;

bool PendingWrite::collect(
    const ResultColumns& columns, const std::vector<std::optional<QString>>& pending, QString* error)
{
    for (int c = 0; c < columns.count(); ++c) {
        const std::optional<QString>& text = pending[std::size_t(c)];
        if (!text)
            continue;
        if (columns.isComputed(c)) {
            setError(error,
                QStringLiteral("Das Feld %1 wird berechnet und kann nicht gespeichert werden.")
                    .arg(quoted(columns.names()[c])));
            return false;
        }
        StoredValue value;
        if (!toStoredValue(columns.kind(c), columns.names()[c], *text, &value, error))
            return false;
        m_columns.append(c);
        m_values.push_back(std::move(value));
    }
    return true;
}

bool PendingWrite::write(
    sqlite3* db, const ResultColumns& columns, bool adding, qint64* key, QString* error) const
{
    const QByteArray sql = adding ? columns.insertSql(m_columns) : columns.updateSql(m_columns);
    Statement statement;
    if (!statement.prepare(db, sql)) {
        setError(error, storeFailureMessage(QStringLiteral("Der Datensatz wurde nicht gespeichert."), db));
        return false;
    }
    for (std::size_t i = 0; i < m_values.size(); ++i)
        bindStored(statement.handle(), int(i) + 1, m_values[i]);
    if (!adding)
        sqlite3_bind_int64(statement.handle(), int(m_values.size()) + 1, *key);
    if (sqlite3_step(statement.handle()) != SQLITE_DONE) {
        setError(error, storeFailureMessage(QStringLiteral("Der Datensatz wurde nicht gespeichert."), db));
        return false;
    }
    if (!adding && sqlite3_changes(db) == 0) {
        setError(error,
            QStringLiteral("Der Datensatz wurde nicht gespeichert: er ist in der Tabelle %1 nicht "
                           "mehr vorhanden.")
                .arg(quoted(columns.table())));
        return false;
    }
    if (adding)
        *key = sqlite3_last_insert_rowid(db);
    return true;
}

} // namespace odomira
