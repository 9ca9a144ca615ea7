#pragma once

#include "store/connection.h"
#include "store/data_source.h"
#include "store/list_pieces.h"
#include "store/result_columns.h"
#include "store/result_table.h"

namespace odomira {

// A result: its columns and the copy of its rows.
struct DataSource::Result {
    explicit Result(sqlite3_stmt* query)
        : columns(query)
        , rows(columns.count())
    {
    }

    ResultColumns columns;
    ResultTable rows;
    int addedRow = -1; // row of the record added and not yet saved

    // What refreshChanges() needs to keep the result up to date.
    QString statement; // the text the rows were read with
    bool keepsOrder = false; // a whole-table list that a written row can be placed into
    int orderColumn = -1; // column it is ordered by, ties by key; -1: by key alone
    CollationCompare compare = nullptr; // of the order column
    quint64 syncedSerial = 0; // newest write of the shared file the rows reflect
    qint64 dataVersion = -1; // of the file when the rows were read

    // A long whole-table list is read in pieces (see ListOrder): its rows not read yet are
    // read as they are needed.
    bool inPieces = false;
    // A piece was read after a write these rows do not show yet, so the places of the rows
    // not read may have moved: the next refreshChanges() reads the list anew.
    bool stale = false;
    // Where the last piece read forward ended, and its length.
    int pieceEnd = -1;
    int pieceRows = 0;

    ListOrder listOrder() const
    {
        return { columns.table(), orderColumn >= 0 ? columns.names()[orderColumn] : QString(),
            columns.names()[columns.keyColumn()] };
    }
};

} // namespace odomira
