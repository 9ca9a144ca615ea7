#include "store/result_columns.h"

#include "store/store_text.h"

#include <sqlite3.h>

namespace odomira {

using store::sqlName;

ResultColumns::ResultColumns(sqlite3_stmt* stmt)
{
    const int columns = sqlite3_column_count(stmt);
    QStringList tables;
    int keyColumns = 0;
    for (int c = 0; c < columns; ++c) {
        m_names.append(QString::fromUtf8(sqlite3_column_name(stmt, c)));
        const char* table = sqlite3_column_table_name(stmt, c);
        const char* origin = sqlite3_column_origin_name(stmt, c);
        if (table && origin) {
            const QString tableName = QString::fromUtf8(table);
            m_origins.push_back(QString::fromUtf8(origin));
            m_kinds.push_back(columnKind(tableName, m_origins.back()));
            if (!tables.contains(tableName, Qt::CaseInsensitive))
                tables.append(tableName);
            if (m_origins.back().compare(u"id", Qt::CaseInsensitive) == 0) {
                m_keyColumn = c;
                ++keyColumns;
            }
        } else {
            // An expression (a sum alias) shows its text as it stands.
            m_origins.emplace_back();
            m_kinds.push_back(ColumnKind::Text);
        }
    }
    if (tables.size() == 1)
        m_table = tables.front();
    if (keyColumns != 1)
        m_keyColumn = -1;
}

int ResultColumns::indexOf(const QString& name) const
{
    for (int c = 0; c < count(); ++c) {
        if (m_names[c].compare(name, Qt::CaseInsensitive) == 0)
            return c;
    }
    return -1;
}

QByteArray ResultColumns::insertSql(const QList<int>& written) const
{
    const QByteArray table = sqlName(m_table);
    if (written.isEmpty())
        return "insert into " + table + " default values";
    const QByteArrayList marks(written.size(), "?");
    return "insert into " + table + " (" + originNames(written, "").join(", ") + ") values ("
        + marks.join(", ") + ")";
}

QByteArray ResultColumns::updateSql(const QList<int>& written) const
{
    return "update " + sqlName(m_table) + " set " + originNames(written, " = ?").join(", ") + " where "
        + sqlName(m_origins[std::size_t(m_keyColumn)]) + " = ?";
}

QByteArray ResultColumns::deleteSql() const
{
    return "delete from " + sqlName(m_table) + " where " + sqlName(m_origins[std::size_t(m_keyColumn)])
        + " = ?";
}

QByteArray ResultColumns::rereadSql(bool byRowid, std::vector<int>* source) const
{
    QByteArrayList selected;
    source->assign(std::size_t(count()), -1);
    for (int c = 0; c < count(); ++c) {
        if (!isComputed(c)) {
            (*source)[std::size_t(c)] = int(selected.size());
            selected.append(sqlName(m_origins[std::size_t(c)]));
        }
    }
    const QByteArray where = byRowid ? QByteArray("rowid") : sqlName(m_origins[std::size_t(m_keyColumn)]);
    return "select " + selected.join(", ") + " from " + sqlName(m_table) + " where " + where + " = ?";
}

qsizetype ResultColumns::bytes() const
{
    qsizetype bytes
        = qsizetype(m_kinds.capacity() * sizeof(ColumnKind) + m_origins.capacity() * sizeof(QString));
    for (int c = 0; c < count(); ++c)
        bytes += (m_names[c].size() + m_origins[std::size_t(c)].size()) * qsizetype(sizeof(QChar)) + 2 * 32;
    return bytes;
}

QByteArrayList ResultColumns::originNames(const QList<int>& columns, const char* suffix) const
{
    QByteArrayList names;
    for (int c : columns)
        names.append(sqlName(m_origins[std::size_t(c)]) + suffix);
    return names;
}

} // namespace odomira
