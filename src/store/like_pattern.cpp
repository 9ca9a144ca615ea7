#include "store/like_pattern.h"

#include "store/folded_text.h"

#include <algorithm>

namespace odomira {

using folded::Byte;

namespace {

// Marks "_" among folded code points, which never exceed 0x10FFFF.
constexpr char32_t AnyOne = 0xFFFFFFFF;

} // namespace

LikePattern::LikePattern(std::string_view pattern, std::optional<char32_t> escape)
    : m_escape(escape)
{
    const auto* p = reinterpret_cast<const Byte*>(pattern.data());
    const Byte* end = p + pattern.size();
    m_pieces.emplace_back();
    while (p < end) {
        char32_t pc = folded::nextCodePoint(p, end);
        if (escape && pc == *escape) {
            if (p == end) {
                m_never = true;
                return;
            }
            m_pieces.back().chars.push_back(folded::folded(folded::nextCodePoint(p, end)));
            continue;
        }
        if (pc == '%') {
            m_hasAnyRun = true;
            m_pieces.emplace_back();
        } else if (pc == '_') {
            m_pieces.back().chars.push_back(AnyOne);
            m_pieces.back().hasAnyOne = true;
        } else {
            m_pieces.back().chars.push_back(folded::folded(pc));
        }
    }
    for (Piece& piece : m_pieces) {
        if (piece.hasAnyOne)
            prepareBitScan(piece);
        if (piece.hasAnyOne || piece.chars.empty())
            continue;
        const std::vector<char32_t>& c = piece.chars;
        piece.failure.assign(c.size(), 0);
        for (std::size_t i = 1, k = 0; i < c.size(); ++i) {
            while (k > 0 && c[i] != c[k])
                k = std::size_t(piece.failure[k - 1]);
            if (c[i] == c[k])
                ++k;
            piece.failure[i] = int(k);
        }
    }
}

void LikePattern::prepareBitScan(Piece& piece)
{
    const std::size_t size = piece.chars.size();
    piece.words = (size + 63) / 64;
    piece.keys.clear();
    for (char32_t c : piece.chars) {
        if (c != AnyOne)
            piece.keys.push_back(c);
    }
    std::sort(piece.keys.begin(), piece.keys.end());
    piece.keys.erase(std::unique(piece.keys.begin(), piece.keys.end()), piece.keys.end());
    // A long piece of many different characters would need too much room: scanned plainly.
    constexpr std::size_t MostMaskWords = std::size_t(1) << 21;
    if (piece.keys.size() * piece.words > MostMaskWords) {
        piece.words = 0;
        piece.keys.clear();
        return;
    }
    piece.anyMask.assign(piece.words, 0);
    piece.masks.assign(piece.keys.size() * piece.words, 0);
    for (std::size_t i = 0; i < size; ++i) {
        const std::uint64_t bit = std::uint64_t(1) << (i % 64);
        const char32_t c = piece.chars[i];
        if (c == AnyOne) {
            piece.anyMask[i / 64] |= bit;
            continue;
        }
        const auto key
            = std::size_t(std::lower_bound(piece.keys.begin(), piece.keys.end(), c) - piece.keys.begin());
        piece.masks[key * piece.words + i / 64] |= bit;
    }
}

long LikePattern::findBitParallel(const Piece& piece, const char32_t* text, long from, long to)
{
    const long size = long(piece.chars.size());
    const std::size_t words = piece.words;
    const std::uint64_t last = std::uint64_t(1) << ((size - 1) % 64);
    // Bit i of the state: the piece's first i + 1 characters end at the current text position.
    thread_local std::vector<std::uint64_t> state;
    state.assign(words, 0);
    for (long i = from; i < to; ++i) {
        const auto found = std::lower_bound(piece.keys.begin(), piece.keys.end(), text[i]);
        const std::uint64_t* mask = found != piece.keys.end() && *found == text[i]
            ? piece.masks.data() + std::size_t(found - piece.keys.begin()) * words
            : nullptr;
        std::uint64_t carry = 1;
        for (std::size_t w = 0; w < words; ++w) {
            const std::uint64_t shifted = (state[w] << 1) | carry;
            carry = state[w] >> 63;
            state[w] = shifted & (piece.anyMask[w] | (mask ? mask[w] : 0));
        }
        if (state[words - 1] & last)
            return i + 1 - size;
    }
    return -1;
}

bool LikePattern::matchesAt(const Piece& piece, const char32_t* text)
{
    for (std::size_t i = 0; i < piece.chars.size(); ++i) {
        if (piece.chars[i] != AnyOne && piece.chars[i] != text[i])
            return false;
    }
    return true;
}

long LikePattern::find(const Piece& piece, const char32_t* text, long from, long to)
{
    const long size = long(piece.chars.size());
    if (size == 0)
        return from;
    if (piece.hasAnyOne && piece.words > 0)
        return findBitParallel(piece, text, from, to);
    if (piece.hasAnyOne) {
        for (long at = from; at + size <= to; ++at) {
            if (matchesAt(piece, text + at))
                return at;
        }
        return -1;
    }
    const std::vector<char32_t>& c = piece.chars;
    std::size_t k = 0;
    for (long i = from; i < to; ++i) {
        while (k > 0 && text[i] != c[k])
            k = std::size_t(piece.failure[k - 1]);
        if (text[i] == c[k])
            ++k;
        if (long(k) == size)
            return i + 1 - size;
    }
    return -1;
}

bool LikePattern::matches(std::string_view text) const
{
    if (m_never)
        return false;
    // One buffer per thread, reused from row to row.
    thread_local std::vector<char32_t> chars;
    chars.clear();
    const auto* t = reinterpret_cast<const Byte*>(text.data());
    const Byte* end = t + text.size();
    while (t < end)
        chars.push_back(folded::folded(folded::nextCodePoint(t, end)));
    const long n = long(chars.size());
    const char32_t* c = chars.data();

    const Piece& first = m_pieces.front();
    const long firstSize = long(first.chars.size());
    if (!m_hasAnyRun)
        return firstSize == n && matchesAt(first, c);
    if (firstSize > n || !matchesAt(first, c))
        return false;
    const Piece& last = m_pieces.back();
    const long lastSize = long(last.chars.size());
    if (lastSize > n - firstSize || !matchesAt(last, c + n - lastSize))
        return false;
    // Each middle piece at its leftmost place leaves the most room for the ones after it.
    long from = firstSize;
    const long to = n - lastSize;
    for (std::size_t i = 1; i + 1 < m_pieces.size(); ++i) {
        const long at = find(m_pieces[i], c, from, to);
        if (at < 0)
            return false;
        from = at + long(m_pieces[i].chars.size());
    }
    return true;
}

} // namespace odomira
