// Collations and functions every logbook connection carries:
// - "caldate": DD.MM.YYYY texts in calendar order; other texts after all dates, without regard to case;
// - "unicase": texts without regard to case for every letter, umlauts included;
// - like(pattern, text[, escape]): LIKE with the same case folding (SQLite's own folds ASCII only);
// - sum(x): exact decimal sum of the stored machine-form numbers, as German number text.
#include "store/connection.h"

#include "common/decimal.h"
#include "common/number_text.h"

#include <QChar>

#include <sqlite3.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <cstdint>
#include <memory>
#include <new>
#include <optional>
#include <string_view>
#include <type_traits>

namespace odomira {

namespace {

using Byte = unsigned char;

// Decodes one UTF-8 code point and advances `p`. A byte that starts no valid sequence stands for
// itself, mapped into the surrogate range so that every text still orders consistently.
char32_t nextCodePoint(const Byte*& p, const Byte* end)
{
    const Byte lead = *p++;
    if (lead < 0x80)
        return lead;
    int extra = 0;
    char32_t cp = 0;
    if ((lead & 0xE0) == 0xC0) {
        extra = 1;
        cp = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2;
        cp = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3;
        cp = lead & 0x07;
    } else {
        return 0xDC00 + lead;
    }
    if (end - p < extra)
        return 0xDC00 + lead;
    for (int i = 0; i < extra; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return 0xDC00 + lead;
        cp = (cp << 6) | (p[i] & 0x3F);
    }
    p += extra;
    return cp;
}

char32_t folded(char32_t cp)
{
    if (cp < 0x80)
        return (cp >= 'A' && cp <= 'Z') ? cp + ('a' - 'A') : cp;
    return QChar::toCaseFolded(cp);
}

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

// LIKE with "%" (any run) and "_" (one character), letters compared after case folding.
// Greedy with backtracking to the last "%": later wildcards cover what earlier ones could.
bool likeMatch(
    const Byte* p, const Byte* pEnd, const Byte* t, const Byte* tEnd, bool hasEscape, char32_t escape)
{
    const Byte* starP = nullptr;
    const Byte* starT = nullptr;
    while (t < tEnd) {
        if (p < pEnd) {
            const Byte* pNext = p;
            char32_t pc = nextCodePoint(pNext, pEnd);
            bool literal = false;
            if (hasEscape && pc == escape) {
                if (pNext == pEnd)
                    return false;
                pc = nextCodePoint(pNext, pEnd);
                literal = true;
            }
            if (!literal && pc == '%') {
                p = pNext;
                starP = p;
                starT = t;
                continue;
            }
            const Byte* tNext = t;
            const char32_t tc = nextCodePoint(tNext, tEnd);
            if ((!literal && pc == '_') || folded(pc) == folded(tc)) {
                p = pNext;
                t = tNext;
                continue;
            }
        }
        if (!starP)
            return false;
        nextCodePoint(starT, tEnd);
        t = starT;
        p = starP;
    }
    while (p < pEnd) {
        const char32_t pc = nextCodePoint(p, pEnd);
        if (pc != '%' || (hasEscape && pc == escape))
            return false;
    }
    return true;
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
    sqlite3_result_int(
        ctx, likeMatch(pattern, pattern + patternLen, text, text + textLen, hasEscape, escape) ? 1 : 0);
}

// Running state of sum(). SQLite hands out zeroed memory with 8-byte alignment only, while the
// decimal's 128-bit coefficient needs more: the state is placed at an aligned offset behind a
// flag that says whether it was constructed.
struct SumState
{
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
