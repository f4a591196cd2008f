#pragma once

#include <cmath>
#include <cstdint>

namespace veskard::engine {

// v rounded to the nearest whole number, exact halves to the even neighbour
// (2.5 gives 2, 3.5 gives 4): how every "nearest" of the program rounds.
inline std::int64_t roundHalfEven(double value) {
    return static_cast<std::int64_t>(std::nearbyint(value)); // default mode: to nearest, ties even
}

} // namespace veskard::engine
