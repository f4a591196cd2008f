#pragma once

#include "engine/Rounding.h"

#include <QPoint>
#include <QRect>
#include <QSize>

namespace veskard::gui {

// The windows are designed in twips: 1440 to the inch, 15 to a pixel at 96 dpi.
// They convert to Qt's device-independent pixels here, and nowhere else; Qt's
// own scaling then carries them to screens of other densities.
inline constexpr int TwipsPerPixel = 15;

inline int pixels(int twips) {
    return static_cast<int>(engine::roundHalfEven(static_cast<double>(twips) / TwipsPerPixel));
}

inline QSize sizeInTwips(int width, int height) {
    return {pixels(width), pixels(height)};
}

inline QPoint pointInTwips(int left, int top) {
    return {pixels(left), pixels(top)};
}

inline QRect rectInTwips(int left, int top, int width, int height) {
    return {pointInTwips(left, top), sizeInTwips(width, height)};
}

} // namespace veskard::gui
