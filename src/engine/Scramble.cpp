#include "engine/Scramble.h"

#include <algorithm>
#include <cmath>

namespace veskard::engine {

ScrambleResult scramble(std::span<const Piece> plain, RandomSource& random,
                        const ScrambleProgress& progress) {
    const int count = static_cast<int>(plain.size());
    ScrambleResult result;
    result.stored.reserve(plain.size());
    result.order.assign(plain.size(), 0);
    std::vector<bool> taken(plain.size(), false);

    const auto place = [&](int index) {
        taken[static_cast<std::size_t>(index)] = true;
        result.stored.push_back(plain[static_cast<std::size_t>(index)]);
        result.order[static_cast<std::size_t>(index)] =
            static_cast<std::int16_t>(result.stored.size());
    };

    random.reseed();
    for (int draw = 1; draw <= count; ++draw) {
        if (progress)
            progress(draw, count);
        // In double precision r * count stays below count for every r < 1.
        const int index = std::min(
            static_cast<int>(std::floor(static_cast<double>(random.next()) * count)), count - 1);
        if (!taken[static_cast<std::size_t>(index)])
            place(index);
    }
    for (int index = 0; index < count; ++index) {
        if (!taken[static_cast<std::size_t>(index)])
            place(index);
    }
    return result;
}

std::vector<std::size_t> unscrambleOrder(const CryptRecord& record) {
    std::vector<std::size_t> indices;
    indices.reserve(record.Order.size());
    for (const std::int16_t position : record.Order)
        indices.push_back(static_cast<std::size_t>(position) - 1);
    return indices;
}

} // namespace veskard::engine
