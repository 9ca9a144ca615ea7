#pragma once

#include <QChar>

// UTF-8 code points compared without regard to case, as the store's collations and its LIKE
// compare them. Internal to the store.
namespace odomira::folded {

using Byte = unsigned char;

// Decodes one UTF-8 code point and advances `p`. A byte that starts no valid sequence stands for
// itself, mapped into the surrogate range so that every text still orders consistently.
inline char32_t nextCodePoint(const Byte*& p, const Byte* end)
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

inline char32_t folded(char32_t cp)
{
    if (cp < 0x80)
        return (cp >= 'A' && cp <= 'Z') ? cp + ('a' - 'A') : cp;
    return QChar::toCaseFolded(cp);
}

} // namespace odomira::folded
