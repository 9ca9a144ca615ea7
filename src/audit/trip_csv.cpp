#include "audit/trip_csv.h"

#include "audit/logbook_reading.h"
#include "common/date_text.h"
#include "common/decimal.h"
#include "common/number_text.h"
#include "store/history.h"

namespace odomira::audit {

using history::Table;
using history::Value;

namespace {

const char* const LineEnd = "\r\n";

// The trip's own columns in the order of recordColumns(Fahrt) up to the three kinds.
constexpr int KindColumns = 3;

bool isSet(const Value& value)
{
    if (value.type == Value::Null || value.type == Value::Blob)
        return false;
    bool ok = false;
    const qint64 flag = value.data.trimmed().toLongLong(&ok);
    return ok && flag != 0;
}

} // namespace

QByteArray csvField(const QString& text, bool isText)
{
    QString field = text;
    if (isText && !field.isEmpty()
        && (field.front() == u'=' || field.front() == u'+' || field.front() == u'-' || field.front() == u'@'))
        field.prepend(u'\'');
    QByteArray bytes = field.toUtf8();
    if (bytes.contains(';') || bytes.contains('"') || bytes.contains('\n') || bytes.contains('\r')) {
        bytes.replace("\"", "\"\"");
        bytes.prepend('"');
        bytes.append('"');
    }
    return bytes;
}

bool tripsCsv(sqlite3* db, int year, QByteArray* csv, QString* error)
{
    std::vector<StoredRecord> trips;
    if (!readRecords(db, Table::Fahrt, &trips, error))
        return false;
    const int datum = columnIndex(Table::Fahrt, "datum");
    std::erase_if(trips, [datum, year](const StoredRecord& trip) {
        const Value& value = trip.record[std::size_t(datum)];
        const std::optional<QDate> date
            = value.type == Value::Text ? parseDate(QString::fromUtf8(value.data)) : std::nullopt;
        return !date || date->year() != year;
    });
    sortByDate(trips);

    const int fields = int(history::recordColumns(Table::Fahrt).size()) - KindColumns;
    QByteArray out = "\xef\xbb\xbf";
    for (int c = 0; c < fields; ++c)
        out += csvField(fieldLabel(Table::Fahrt, c), false) + ';';
    out += "Art";
    out += LineEnd;

    for (const StoredRecord& trip : trips) {
        for (int c = 0; c < fields; ++c) {
            const Value& value = trip.record[std::size_t(c)];
            const QString text = plainText(value);
            const bool numeric = c >= columnIndex(Table::Fahrt, "anfangsstand");
            std::optional<Decimal> number;
            if (numeric
                && (value.type == Value::Text || value.type == Value::Integer || value.type == Value::Real))
                number = Decimal::fromCanonical(
                    std::string_view(value.data.constData(), std::size_t(value.data.size())));
            if (number)
                out += csvField(numberText(number->normalized()), false);
            else
                out += csvField(text, c != datum);
            out += ';';
        }
        QStringList kinds;
        const char* const words[KindColumns] = { "Geschäftlich", "Privat", "Weg zur Arbeit" };
        for (int k = 0; k < KindColumns; ++k) {
            if (isSet(trip.record[std::size_t(fields + k)]))
                kinds.append(QString::fromUtf8(words[k]));
        }
        out += csvField(kinds.join(QStringLiteral(", ")), false);
        out += LineEnd;
    }
    *csv = std::move(out);
    return true;
}

} // namespace odomira::audit
