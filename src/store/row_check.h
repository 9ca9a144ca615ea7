#pragma once

#include <QtGlobal>

struct sqlite3;

namespace odomira {

class ResultColumns;
class ResultTable;

// How the stored row of a record compares with the record as it was read.
enum class StoredRowState { Unchanged, Changed, Missing, Failed };

// Reads the row with key `key` from the result's table and compares each of its columns
// with row `row` of `rows` in text form; expression columns are not compared.
StoredRowState compareStoredRow(
    sqlite3* db, const ResultColumns& columns, const ResultTable& rows, int row, qint64 key);

} // namespace odomira
