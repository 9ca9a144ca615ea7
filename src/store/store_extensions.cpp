// Collations and functions every logbook connection carries:
// - "caldate": DD.MM.YYYY texts in calendar order; other texts after all dates, without regard to case;
// - "unicase": texts without regard to case for every letter, umlauts included;
// - like(pattern, text[, escape]): LIKE with the same case folding (SQLite's own folds ASCII only);
// - sum(x): exact decimal sum of the stored machine-form numbers, as German number text.
#include "store/connection.h"

#include "common/decimal.h"
#include "common/number_text.h"
#include "store/folded_text.h"
#include "store/like_pattern.h"

#include <QChar>

#include <sqlite3.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <string_view>
#include <type_traits>

namespace odomira {

namespace {

using folded::Byte;
using folded::folded;
using folded::nextCodePoint;

// Compares code point by code point after case folding: a total preorder on all texts.
int foldedCompare(const Byte* a, const Byte* aEnd, const Byte* b, const Byte* bEnd)
{
    while (a < aEnd && b < bEnd) {
        char32_t ca;
        char32_t cb;
        if (*a < 0x80 && *b < 0x80) {
            ca = folded(*a++);
            cb = folded(*b++);
        } else {
            ca = folded(nextCodePoint(a, aEnd));
            cb = folded(nextCodePoint(b, bEnd));
        }
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    if (a < aEnd)
        return 1;
    if (b < bEnd)
        return -1;
    return 0;
}

int unicaseCompare(void*, int aLen, const void* aData, int bLen, const void* bData)
{
    const auto* a = static_cast<const Byte*>(aData);
    const auto* b = static_cast<const Byte*>(bData);
    return foldedCompare(a, a + aLen, b, b + bLen);
}

bool isDigit(Byte c)
{
    return c >= '0' && c <= '9';
}

// A stored date is exactly DD.MM.YYYY; its key orders by year, month, day.
bool dateKey(const Byte* p, int len, int* key)
{
    if (len != 10 || p[2] != '.' || p[5] != '.')
        return false;
    for (int i : { 0, 1, 3, 4, 6, 7, 8, 9 }) {
        if (!isDigit(p[i]))
            return false;
    }
    const int day = (p[0] - '0') * 10 + (p[1] - '0');
    const int month = (p[3] - '0') * 10 + (p[4] - '0');
    const int year = (p[6] - '0') * 1000 + (p[7] - '0') * 100 + (p[8] - '0') * 10 + (p[9] - '0');
    *key = year * 10000 + month * 100 + day;
    return true;
}

int caldateCompare(void*, int aLen, const void* aData, int bLen, const void* bData)
{
    const auto* a = static_cast<const Byte*>(aData);
    const auto* b = static_cast<const Byte*>(bData);
    int aKey = 0;
    int bKey = 0;
    const bool aIsDate = dateKey(a, aLen, &aKey);
    const bool bIsDate = dateKey(b, bLen, &bKey);
    if (aIsDate && bIsDate)
        return aKey < bKey ? -1 : (aKey > bKey ? 1 : 0);
    if (aIsDate != bIsDate)
        return aIsDate ? -1 : 1;
    return foldedCompare(a, a + aLen, b, b + bLen);
}

void likeFunction(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    const auto* pattern = sqlite3_value_text(argv[0]);
    const int patternLen = sqlite3_value_bytes(argv[0]);
    const auto* text = sqlite3_value_text(argv[1]);
    const int textLen = sqlite3_value_bytes(argv[1]);
    if (!pattern || !text)
        return; // NULL
    if (patternLen > sqlite3_limit(sqlite3_context_db_handle(ctx), SQLITE_LIMIT_LIKE_PATTERN_LENGTH, -1)) {
        sqlite3_result_error(ctx, "LIKE or GLOB pattern too complex", -1);
        return;
    }
    bool hasEscape = false;
    char32_t escape = 0;
    if (argc == 3) {
        const auto* esc = sqlite3_value_text(argv[2]);
        if (!esc)
            return;
        const Byte* e = esc;
        const Byte* eEnd = esc + sqlite3_value_bytes(argv[2]);
        if (e == eEnd) {
            sqlite3_result_error(ctx, "ESCAPE expression must be a single character", -1);
            return;
        }
        escape = nextCodePoint(e, eEnd);
        if (e != eEnd) {
            sqlite3_result_error(ctx, "ESCAPE expression must be a single character", -1);
            return;
        }
        hasEscape = true;
    }
    // The pattern is prepared once per statement and kept with it while it stays the same.
    const std::optional<char32_t> wanted = hasEscape ? std::optional<char32_t>(escape) : std::nullopt;
    const std::string_view textView(reinterpret_cast<const char*>(text), std::size_t(textLen));
    if (const auto* kept = static_cast<const LikePattern*>(sqlite3_get_auxdata(ctx, 0));
        kept && kept->escape() == wanted) {
        sqlite3_result_int(ctx, kept->matches(textView) ? 1 : 0);
        return;
    }
    auto* prepared = new (std::nothrow) LikePattern(
        std::string_view(reinterpret_cast<const char*>(pattern), std::size_t(patternLen)), wanted);
    if (!prepared) {
        sqlite3_result_error_nomem(ctx);
        return;
    }
    const bool hit = prepared->matches(textView);
    // SQLite may delete it at once (a pattern that is no constant); it is not used after this.
    sqlite3_set_auxdata(ctx, 0, prepared, [](void* p) { delete static_cast<LikePattern*>(p); });
    sqlite3_result_int(ctx, hit ? 1 : 0);
}

// Running state of sum(). SQLite hands out zeroed memory with 8-byte alignment only, while the
// decimal's 128-bit coefficient needs more: the state is placed at an aligned offset behind a
// flag that says whether it was constructed.
struct SumState {
    bool any = false;
    bool overflow = false;
    Decimal total;
};
static_assert(std::is_trivially_destructible_v<SumState>);

constexpr int SumContextSize = int(1 + sizeof(SumState) + alignof(SumState));

SumState* sumState(sqlite3_context* ctx, bool create)
{
    void* raw = sqlite3_aggregate_context(ctx, create ? SumContextSize : 0);
    if (!raw)
        return nullptr;
    auto* constructed = static_cast<bool*>(raw);
    void* place = static_cast<char*>(raw) + 1;
    std::size_t space = SumContextSize - 1;
    place = std::align(alignof(SumState), sizeof(SumState), place, space);
    if (!*constructed) {
        if (!create)
            return nullptr;
        *constructed = true;
        return new (place) SumState;
    }
    return std::launder(static_cast<SumState*>(place));
}

// NULL adds nothing. A text or real that is no number counts as 0, as in SQLite's own sum(),
// so a column with a stray word still sums its numbers; the row still counts as a value.
void sumStep(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    sqlite3_value* value = argv[0];
    const int type = sqlite3_value_type(value);
    if (type == SQLITE_NULL)
        return;
    SumState* state = sumState(ctx, true);
    if (!state) {
        sqlite3_result_error_nomem(ctx);
        return;
    }
    state->any = true;
    std::optional<Decimal> term;
    if (type == SQLITE_INTEGER) {
        term = Decimal::fromInt(sqlite3_value_int64(value));
    } else if (type == SQLITE_TEXT || type == SQLITE_FLOAT) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
        if (text)
            term = Decimal::fromCanonical(std::string_view(text, std::size_t(sqlite3_value_bytes(value))));
    }
    if (!term || state->overflow)
        return;
    if (const std::optional<Decimal> sum = state->total.add(*term))
        state->total = *sum;
    else
        state->overflow = true;
}

void sumFinal(sqlite3_context* ctx)
{
    SumState* state = sumState(ctx, false);
    if (!state || !state->any) {
        sqlite3_result_null(ctx);
        return;
    }
    if (state->overflow) {
        sqlite3_result_error(ctx, "Die Summe ist zu groß für eine Dezimalzahl.", -1);
        return;
    }
    // German number text, so a data source shows the sum as it stands.
    const QByteArray text = numberText(state->total.normalized()).toUtf8();
    sqlite3_result_text(ctx, text.constData(), int(text.size()), SQLITE_TRANSIENT);
}

int binaryCompare(void*, int aLen, const void* aData, int bLen, const void* bData)
{
    const int common = std::min(aLen, bLen);
    const int bytes = common > 0 ? std::memcmp(aData, bData, std::size_t(common)) : 0;
    if (bytes != 0)
        return bytes < 0 ? -1 : 1;
    return aLen < bLen ? -1 : (aLen > bLen ? 1 : 0);
}

} // namespace

CollationCompare collationCompare(const QString& name)
{
    if (name.isEmpty() || name.compare(u"binary", Qt::CaseInsensitive) == 0)
        return binaryCompare;
    if (name.compare(u"caldate", Qt::CaseInsensitive) == 0)
        return caldateCompare;
    if (name.compare(u"unicase", Qt::CaseInsensitive) == 0)
        return unicaseCompare;
    return nullptr;
}

void registerStoreExtensions(sqlite3* db)
{
    sqlite3_create_collation_v2(db, "caldate", SQLITE_UTF8, nullptr, caldateCompare, nullptr);
    sqlite3_create_collation_v2(db, "unicase", SQLITE_UTF8, nullptr, unicaseCompare, nullptr);
    const int pure = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
    sqlite3_create_function_v2(db, "like", 2, pure, nullptr, likeFunction, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "like", 3, pure, nullptr, likeFunction, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "sum", 1, pure, nullptr, nullptr, sumStep, sumFinal, nullptr);
}

} // namespace odomira
