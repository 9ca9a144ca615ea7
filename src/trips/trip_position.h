#pragma once

#include <QString>

namespace odomira {

class DataSource;

// Which trip is current once the trip lists have been re-read after a save or a delete. A
// trip is found again by its key (the `id` column), never by its row, since the re-read list
// may be ordered differently from the one the user saw.

// The key of the current record; "" without one.
QString currentTripKey(const DataSource& list);

// The key of the trip that takes the deleted current trip's place: the one after it in the
// list, or the one before it when it is the last; "" when it is the only one or there is none.
QString keyAfterDelete(const DataSource& list);

// The row of the record with `key`, or -1 when the list has none (or `key` is "").
int rowOfKey(DataSource& list, const QString& key);

} // namespace odomira
