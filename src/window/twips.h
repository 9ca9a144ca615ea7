#pragma once

namespace odomira {

// Positions, sizes and column widths are laid out in twips: 1440 per inch, 96 dots per inch.
constexpr int TwipsPerPixel = 15;

// Twips to whole pixels, rounded to the nearest.
constexpr int twipsToPixels(int twips)
{
    return (twips + TwipsPerPixel / 2) / TwipsPerPixel;
}

} // namespace odomira
