#pragma once

#include <QString>

#include <optional>

namespace odomira {

// A statement that lists every row of one table, all its columns, in the order of one column
// or unordered: "select * from [fahrt] order by datum asc", "select *  from fahrt".
// Any row of the table belongs to such a list, so a written row can be put into it without
// re-reading the rest.
struct WholeTableList {
    QString table;
    QString orderColumn; // empty: no order by, the table's own (rowid) order
};

// The statement with every run of blanks outside quotes made one blank, and none at either
// end: two texts that give the same this way are the same statement to SQLite.
QString normalizedStatement(const QString& sql);

// The shape of `sql` when it is such a list (blanks, case, brackets and quotes as SQL takes
// them; "asc" or nothing, a final ";" allowed), otherwise none.
std::optional<WholeTableList> wholeTableList(const QString& sql);

} // namespace odomira
