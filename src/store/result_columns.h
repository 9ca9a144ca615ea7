#pragma once

#include "store/schema.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <vector>

struct sqlite3_stmt;

namespace odomira {

// The columns of a result and the one table they come from, if any. They decide each
// column's text form, and whether and how a record of the result is written back: by its
// key column `id`, through statements built here.
class ResultColumns {
public:
    ResultColumns() = default;
    // Reads the columns of a prepared statement.
    explicit ResultColumns(sqlite3_stmt* stmt);

    int count() const { return int(m_names.size()); }
    const QStringList& names() const { return m_names; }
    // Index by name without regard to case, or -1.
    int indexOf(const QString& name) const;
    const std::vector<ColumnKind>& kinds() const { return m_kinds; }
    ColumnKind kind(int column) const { return m_kinds[std::size_t(column)]; }
    // An expression (a sum alias) rather than a column of the table; it is never written.
    bool isComputed(int column) const { return m_origins[std::size_t(column)].isEmpty(); }

    // The one table the result comes from, empty when none or several.
    const QString& table() const { return m_table; }
    int keyColumn() const { return m_keyColumn; }
    bool isWritable() const { return !m_table.isEmpty() && m_keyColumn >= 0; }

    // Statements for a writable result. Their parameters: the values of `written` in
    // that order, then (update, delete) the key.
    QByteArray insertSql(const QList<int>& written) const;
    QByteArray updateSql(const QList<int>& written) const;
    QByteArray deleteSql() const;
    // Reads back the table's columns of one row by its key, or by its rowid for a row just
    // inserted. `source` gets, per result column, its column in the statement, -1 for an expression.
    QByteArray rereadSql(bool byRowid, std::vector<int>* source) const;

    // Approximate bytes the columns take beyond the object.
    qsizetype bytes() const;

private:
    QByteArrayList originNames(const QList<int>& columns, const char* suffix) const;

    QStringList m_names;
    std::vector<ColumnKind> m_kinds;
    std::vector<QString> m_origins; // column of `m_table` a result column shows; empty for an expression
    QString m_table;
    int m_keyColumn = -1;
};

} // namespace odomira
