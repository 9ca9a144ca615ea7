#pragma once

#include "store/value_forms.h"

#include <QList>
#include <QString>

#include <optional>
#include <vector>

struct sqlite3;

namespace odomira {

class ResultColumns;

// The pending values of a record in the form their columns store, checked all together
// before anything is written, and the writing of them into the result's table.
class PendingWrite {
public:
    // Takes the pending values, one per result column (none where unset). A computed column
    // or a text that does not fit its column is refused with a message naming the field.
    bool collect(
        const ResultColumns& columns, const std::vector<std::optional<QString>>& pending, QString* error);
    bool isEmpty() const { return m_columns.isEmpty(); }

    // Inserts a record (its new key goes to `key`) or updates the one with that key.
    bool write(sqlite3* db, const ResultColumns& columns, bool adding, qint64* key, QString* error) const;

private:
    QList<int> m_columns; // result columns with a value, in column order
    std::vector<StoredValue> m_values;
};

} // namespace odomira
