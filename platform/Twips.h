#pragma once

namespace veskard::platform {

// Window measures are given in twips: 1440 to the inch, 15 to a pixel at 96 dpi.
inline constexpr int TwipsPerPixel = 15;

constexpr int twipsToPixels(int twips) { return (twips + TwipsPerPixel / 2) / TwipsPerPixel; }

} // namespace veskard::platform
