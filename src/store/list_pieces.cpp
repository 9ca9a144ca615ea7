#include "store/list_pieces.h"

#include "store/store_text.h"

namespace odomira {

using store::sqlName;

namespace {

struct Names {
    QByteArray from; // "select * from <table> "
    QByteArray column;
    QByteArray key;
};

Names names(const ListOrder& order)
{
    return { "select * from " + sqlName(order.table) + ' ', sqlName(order.orderColumn),
        sqlName(order.keyColumn) };
}

} // namespace

QList<QByteArray> rowsAfterSql(const ListOrder& order, const std::optional<ListBound>& after, bool skipping)
{
    const Names n = names(order);
    const QByteArray skip = skipping ? QByteArray(" limit -1 offset ?3") : QByteArray();
    if (order.orderColumn.isEmpty()) {
        const QByteArray where = after ? "where " + n.key + " > ?2 " : QByteArray();
        return { n.from + where + "order by " + n.key + skip };
    }
    const QByteArray by = "order by " + n.column + ", " + n.key;
    if (!after)
        return { n.from + by + skip };
    if (after->null) {
        if (skipping)
            return {};
        return { n.from + "where " + n.column + " is null and " + n.key + " > ?2 " + by,
            n.from + "where " + n.column + " is not null " + by };
    }
    return { n.from + "where " + n.column + " >= ?1 and (" + n.column + " > ?1 or " + n.key + " > ?2) " + by
        + skip };
}

QList<QByteArray> rowsBeforeSql(const ListOrder& order, const std::optional<ListBound>& before)
{
    const Names n = names(order);
    if (order.orderColumn.isEmpty()) {
        const QByteArray where = before ? "where " + n.key + " < ?2 " : QByteArray();
        return { n.from + where + "order by " + n.key + " desc" };
    }
    const QByteArray by = "order by " + n.column + " desc, " + n.key + " desc";
    if (!before)
        return { n.from + by };
    if (before->null)
        return { n.from + "where " + n.column + " is null and " + n.key + " < ?2 " + by };
    return { n.from + "where " + n.column + " <= ?1 and (" + n.column + " < ?1 or " + n.key + " < ?2) " + by,
        n.from + "where " + n.column + " is null " + by };
}

QByteArray countBetweenSql(
    const ListOrder& order, const std::optional<ListBound>& after, const std::optional<ListBound>& before)
{
    const Names n = names(order);
    QByteArrayList terms;
    if (order.orderColumn.isEmpty()) {
        if (after)
            terms << n.key + " > ?2";
        if (before)
            terms << n.key + " < ?4";
    } else {
        if (after && after->null)
            terms << "((" + n.column + " is null and " + n.key + " > ?2) or " + n.column + " is not null)";
        else if (after)
            terms << n.column + " >= ?1 and (" + n.column + " > ?1 or " + n.key + " > ?2)";
        // Rows after a bound with a value have one too.
        const QByteArray orNone = after && !after->null ? QByteArray() : " or " + n.column + " is null";
        if (before && before->null)
            terms << "(" + n.column + " is null and " + n.key + " < ?4)";
        else if (before)
            terms << "((" + n.column + " <= ?3 and (" + n.column + " < ?3 or " + n.key + " < ?4))" + orNone
                    + ")";
    }
    const QByteArray where = terms.isEmpty() ? QByteArray() : " where " + terms.join(" and ");
    return "select count(*) from (select 1 from " + sqlName(order.table) + where + " limit ?5)";
}

} // namespace odomira
