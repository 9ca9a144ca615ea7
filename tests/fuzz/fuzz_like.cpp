// The store's LIKE against a plain reference matcher, and its collations: a total preorder
// on any two texts, dates in calendar order ahead of other texts.
#include "fuzz_support.h"
#include "store/connection.h"
#include "store/folded_text.h"
#include "store/like_pattern.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <optional>
#include <string>
#include <vector>

using namespace odomira;

namespace {

// The textbook dynamic programme over code points: slow, obviously right.
bool referenceLike(std::string_view pattern, std::string_view text, std::optional<char32_t> escape)
{
    struct Token {
        enum { Char, One, Run } kind;
        char32_t ch;
    };
    std::vector<Token> tokens;
    const auto* p = reinterpret_cast<const folded::Byte*>(pattern.data());
    const auto* pEnd = p + pattern.size();
    while (p < pEnd) {
        const char32_t c = folded::nextCodePoint(p, pEnd);
        if (escape && c == *escape) {
            if (p == pEnd)
                return false;
            tokens.push_back({ Token::Char, folded::folded(folded::nextCodePoint(p, pEnd)) });
        } else if (c == '%') {
            tokens.push_back({ Token::Run, 0 });
        } else if (c == '_') {
            tokens.push_back({ Token::One, 0 });
        } else {
            tokens.push_back({ Token::Char, folded::folded(c) });
        }
    }
    std::vector<char32_t> chars;
    const auto* t = reinterpret_cast<const folded::Byte*>(text.data());
    const auto* tEnd = t + text.size();
    while (t < tEnd)
        chars.push_back(folded::folded(folded::nextCodePoint(t, tEnd)));
    // matched[j]: the tokens so far match the first j characters.
    std::vector<char> matched(chars.size() + 1, 0);
    matched[0] = 1;
    for (const Token& token : tokens) {
        std::vector<char> next(chars.size() + 1, 0);
        for (std::size_t j = 0; j <= chars.size(); ++j) {
            if (token.kind == Token::Run)
                next[j] = matched[j] || (j > 0 && next[j - 1]);
            else if (j > 0)
                next[j] = matched[j - 1] && (token.kind == Token::One || token.ch == chars[j - 1]);
        }
        matched.swap(next);
    }
    return matched[chars.size()];
}

// -1, 0 or 1 as the collation the store registers orders `a` against `b`.
int collate(const char* collation, const std::string& a, const std::string& b)
{
    const int order = collationCompare(QString::fromLatin1(collation))(
        nullptr, int(a.size()), a.data(), int(b.size()), b.data());
    return (order > 0) - (order < 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider in(data, size);
    const int mode = in.ConsumeIntegralInRange(0, 2);
    const std::string pattern = in.ConsumeRandomLengthString(200);
    const std::string text = in.ConsumeRandomLengthString(400);
    const std::string third = in.ConsumeRemainingBytesAsString();
    const QString shown = fuzz::text(pattern) + QStringLiteral(" ~ ") + fuzz::text(text);

    if (mode < 2) {
        const std::optional<char32_t> escape = mode == 1 ? std::optional<char32_t>(U'\\') : std::nullopt;
        const bool fast = LikePattern(pattern, escape).matches(text);
        fuzz::check(fast == referenceLike(pattern, text, escape), "like differs from the reference", shown);
        return 0;
    }

    for (const char* collation : { "unicase", "caldate" }) {
        const int ab = collate(collation, pattern, text);
        fuzz::check(ab == -collate(collation, text, pattern), "collation not antisymmetric", shown);
        // Transitivity over a third text.
        const int bc = collate(collation, text, third);
        if (ab <= 0 && bc <= 0)
            fuzz::check(collate(collation, pattern, third) <= 0, "collation not transitive", shown);
    }
    return 0;
}
