#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace odomira {

// A long whole-table list (see wholeTableList) is read in pieces, each piece the rows right
// after or right before a row the list holds. The list's order: the order column under its
// collation, rows without a value first, rows of equal value by key; without an order column,
// by key alone. These are the statements that step such pieces; an index on the order column
// lets SQLite step them without sorting the table.
struct ListOrder {
    QString table;
    QString orderColumn; // empty: by key alone
    QString keyColumn;
};

// The row a piece starts after or ends before.
struct ListBound {
    bool null = true; // its order value is none
    QByteArray text; // its order value otherwise
    qint64 key = 0;
};

// The statements that together step, one after the other, every row after `after` (none:
// from the first row) in the list's order. Parameter 1 takes the bound's value, 2 its key. With
// `skipping`, the first statement takes as parameter 3 the number of rows to pass over first;
// none is built where a bound without a value needs two statements.
QList<QByteArray> rowsAfterSql(
    const ListOrder& order, const std::optional<ListBound>& after, bool skipping = false);
// The same for every row before `before` (none: from the last row), last row first.
QList<QByteArray> rowsBeforeSql(const ListOrder& order, const std::optional<ListBound>& before);
// Counts the rows strictly between two bounds (none: from the first row, up to the last), at
// most parameter 5 of them. Parameters 1 and 2 take the first bound's value and key, 3 and 4 the
// second's. SQLite counts them in the index, from the first bound on.
QByteArray countBetweenSql(
    const ListOrder& order, const std::optional<ListBound>& after, const std::optional<ListBound>& before);

} // namespace odomira
