#include "engine/PasswordGenerator.h"

#include "engine/NumericValue.h"
#include "engine/Rounding.h"
#include "texts/Texts.h"

#include <algorithm>
#include <cmath>

namespace veskard::engine {

std::string combinedPool(const Classes& classes) {
    std::string pool;
    if (classes.lowerCase)
        pool += LowerCasePool;
    if (classes.upperCase)
        pool += UpperCasePool;
    if (classes.digits)
        pool += DigitPool;
    if (classes.symbols)
        pool += SymbolPool;
    return pool;
}

bool isAccepted(std::string_view settingText) {
    const double value = numericValue(settingText);
    return value > 0 && value <= MostPerSetting;
}

int settingValue(std::string_view settingText) {
    const double bounded = std::clamp(numericValue(settingText), -1.0, double{MostPerSetting});
    return static_cast<int>(engine::roundHalfEven(bounded));
}

engine::Notice refusalNotice(Refusal refusal) {
    switch (refusal) {
    case Refusal::NoLength:
        return {engine::Icon::Exclamation, texts::generator::lengthMissing};
    case Refusal::NoClasses:
        return {engine::Icon::Exclamation, texts::generator::noCharacterClass};
    }
    return {};
}

std::string Generation::next() {
    std::string password;
    password.reserve(static_cast<std::size_t>(std::max(length_, 0)));
    const double size = static_cast<double>(pool_.size());
    for (int i = 0; i < length_; ++i) {
        // r < 1 has 24 significant bits, so r x n is exact and below n: every
        // position is reached, each as often, and none past the end (the min
        // holds even a source that broke that promise inside the pool).
        const auto position = static_cast<std::size_t>(std::floor(random_->next() * size));
        password += pool_[std::min(position, pool_.size() - 1)];
    }
    ++made_;
    return password;
}

std::variant<Generation, Refusal> PasswordGenerator::start(const Classes& classes,
                                                           std::string_view lengthText,
                                                           std::string_view countText) const {
    if (lengthText.empty())
        return Refusal::NoLength;
    const int count = countText.empty() ? 1 : settingValue(countText);
    std::string pool = combinedPool(classes);
    if (pool.empty())
        return Refusal::NoClasses;
    return Generation(random_, std::move(pool), settingValue(lengthText), count);
}

} // namespace veskard::engine
