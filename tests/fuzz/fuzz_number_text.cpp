// The German number reader: never a crash; what it reads is written back as text that reads
// as the same value; a value it accepts holds only digits, blanks, one comma, periods and a
// leading sign.
#include "common/number_text.h"
#include "fuzz_support.h"

using namespace odomira;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString input = fuzz::text(data, size);
    QString error;
    const std::optional<Decimal> value = parseNumber(input, &error);
    if (!value) {
        fuzz::check(!error.isEmpty(), "refusal without a message", input);
        return 0;
    }
    int commas = 0;
    for (const QChar ch : input) {
        fuzz::check(ch.isDigit() || ch.isSpace() || ch == u',' || ch == u'.' || ch == u'-' || ch == u'+',
            "accepted a character that belongs to no number", input);
        commas += ch == u',';
    }
    fuzz::check(commas <= 1, "accepted two decimal commas", input);
    const QString written = numberText(*value);
    const std::optional<Decimal> again = parseNumber(written);
    fuzz::check(again && *again == *value, "written text reads as another value", input + " -> " + written);
    return 0;
}
