#pragma once

#include "engine/RandomSource.h"

#include <cstddef>
#include <vector>

namespace veskard::test {

// Plays back a fixed list of fractions, repeating the last one.
class ScriptedRandom final : public engine::RandomSource {
public:
    explicit ScriptedRandom(std::vector<float> values)
        : values_(std::move(values)) {}
    void reseed() override { ++reseeds_; }
    float next() override {
        const float value = values_[std::min(next_, values_.size() - 1)];
        ++next_;
        return value;
    }
    int reseeds() const { return reseeds_; }

private:
    std::vector<float> values_;
    std::size_t next_ = 0;
    int reseeds_ = 0;
};

// The largest float below 1.
inline constexpr float AlmostOne = 0x1.fffffep-1f;

} // namespace veskard::test
