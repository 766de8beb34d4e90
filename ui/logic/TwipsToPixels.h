#pragma once

#include <cmath>

namespace brackwin {

// Layouts are given in twips (1/1440 inch): 15 twips make one pixel at 96 dpi, and the screen's
// dots per inch scale them. Both toolkits round alike, so their windows match pixel for pixel.
inline int TwipsToPixels(int twips, int dpi) {
    return static_cast<int>(std::lround(twips * dpi / 1440.0));
}

}  // namespace brackwin
