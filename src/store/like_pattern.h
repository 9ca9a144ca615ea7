#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace odomira {

// A LIKE pattern prepared once and matched against many texts: "%" stands for any run of
// characters, "_" for one, every other character for itself, letters compared without regard
// to case (umlauts included); the escape character, if any, makes the next one literal. A
// pattern ending in a lone escape matches nothing. Both texts are UTF-8; a byte that starts no
// valid sequence is a character of its own.
//
// Matching takes time linear in the text for every piece between two "%" made of literal
// characters (the search and period patterns). A piece holding "_" is searched bit-parallel,
// in the text length times the piece's length divided by 64; only a piece of thousands of
// different characters falls back to trying every position.
class LikePattern {
public:
    LikePattern(std::string_view pattern, std::optional<char32_t> escape);

    bool matches(std::string_view text) const;
    std::optional<char32_t> escape() const { return m_escape; }

private:
    struct Piece {
        std::vector<char32_t> chars; // folded code points, AnyOne for "_"
        bool hasAnyOne = false;
        std::vector<int> failure; // prefix function for the scan of a piece without "_"
        // Bit-parallel scan of a piece with "_": per character of the piece, a bit set where it
        // (or "_") stands; `words` 64-bit words per mask.
        std::size_t words = 0;
        std::vector<std::uint64_t> anyMask;
        std::vector<char32_t> keys; // sorted distinct characters of the piece
        std::vector<std::uint64_t> masks; // keys.size() masks of `words` words
    };

    static void prepareBitScan(Piece& piece);
    static long findBitParallel(const Piece& piece, const char32_t* text, long from, long to);

    static bool matchesAt(const Piece& piece, const char32_t* text);
    // First position in [from, to) where the piece matches wholly inside, or -1.
    static long find(const Piece& piece, const char32_t* text, long from, long to);

    std::optional<char32_t> m_escape;
    bool m_never = false;
    bool m_hasAnyRun = false;
    std::vector<Piece> m_pieces; // split at each "%": first, middles..., last
};

} // namespace odomira
