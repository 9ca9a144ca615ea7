// The German date reader: never a crash; an accepted date is a calendar date whose text
// DD.MM.YYYY reads back as the same date, and the numbers typed are the date's own.
#include "common/date_text.h"
#include "fuzz_support.h"

#include <QDate>
#include <QRegularExpression>

using namespace odomira;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString input = fuzz::text(data, size);
    QString error;
    const std::optional<QDate> date = parseDate(input, &error);
    if (!date) {
        fuzz::check(!error.isEmpty(), "refusal without a message", input);
        return 0;
    }
    fuzz::check(date->isValid(), "accepted no calendar date", input);
    const QString written = dateText(*date);
    fuzz::check(parseDate(written) == date, "written date reads as another", input + " -> " + written);

    // Reference: day, month and year as the user typed them.
    static const QRegularExpression typed(QStringLiteral("^\\s*(\\d{1,2})\\.(\\d{1,2})\\.(\\d{4})\\s*$"));
    const QRegularExpressionMatch match = typed.match(input);
    if (match.hasMatch()) {
        fuzz::check(match.captured(1).toInt() == date->day() && match.captured(2).toInt() == date->month()
                && match.captured(3).toInt() == date->year(),
            "date differs from what was typed", input + " -> " + written);
    }
    return 0;
}
