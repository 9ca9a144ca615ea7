#include "trips/last_reading.h"

#include "common/decimal.h"
#include "common/number_text.h"
#include "store/statement.h"

#include <sqlite3.h>

namespace odomira {

QString lastEndReading(sqlite3* db)
{
    // Dates order by the calendar through their column's collation; readings are numbers.
    // The latest date with a reading is found first, so SQLite steps the date index from its
    // end and sorts only that date's trips, not the whole logbook.
    Statement query;
    if (!query.prepare(db,
            "select endstand from fahrt where endstand is not null and endstand <> '' and datum is "
            "(select datum from fahrt where endstand is not null and endstand <> '' "
            "order by datum desc limit 1) "
            "order by cast(endstand as real) desc limit 1")
        || sqlite3_step(query.handle()) != SQLITE_ROW)
        return QString();
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(query.handle(), 0));
    const std::string_view stored(text ? text : "", std::size_t(sqlite3_column_bytes(query.handle(), 0)));
    if (const std::optional<Decimal> reading = Decimal::fromCanonical(stored))
        return numberText(reading->normalized());
    return QString();
}

} // namespace odomira
