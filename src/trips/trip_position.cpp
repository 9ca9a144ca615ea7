#include "trips/trip_position.h"

#include "store/data_source.h"

namespace odomira {

namespace {

const QString KeyColumn = QStringLiteral("id");

} // namespace

QString currentTripKey(const DataSource& list)
{
    return list.field(KeyColumn);
}

QString keyAfterDelete(const DataSource& list)
{
    const int column = list.columnIndex(KeyColumn);
    if (column < 0 || !list.hasCurrent())
        return QString();
    const int row = list.currentRow();
    if (row + 1 < list.recordCount())
        return list.value(row + 1, column);
    return row > 0 ? list.value(row - 1, column) : QString();
}

int rowOfKey(DataSource& list, const QString& key)
{
    bool number = false;
    const qint64 value = key.toLongLong(&number);
    return number ? list.rowOfKey(value) : -1;
}

} // namespace odomira
