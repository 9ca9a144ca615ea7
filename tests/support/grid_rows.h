#pragma once

#include "store/data_source_model.h"

#include <QList>

#include <optional>

namespace odomira::test {

// The list rows a grid shows, in grid order: the list's first rows, then maybe one run of rows
// further down. None when the grid shows them in any other shape, or shows a row the list of
// `listSize` rows does not have.
inline std::optional<QList<int>> shownListRows(const DataSourceModel& grid, int listSize)
{
    QList<int> rows;
    bool jumped = false;
    for (int row = 0; row < grid.rowCount(); ++row) {
        const int listRow = grid.sourceRow(row);
        const int next = row == 0 ? 0 : rows.back() + 1;
        const bool jump = row > 0 && listRow > next && !jumped;
        if (listRow < 0 || listRow >= listSize || (listRow != next && !jump))
            return std::nullopt;
        jumped = jumped || jump;
        rows << listRow;
    }
    return rows;
}

} // namespace odomira::test
