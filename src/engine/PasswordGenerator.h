#pragma once

#include "engine/Notice.h"
#include "engine/RandomSource.h"

#include <string>
#include <string_view>
#include <variant>

namespace veskard::engine {

// The four character classes, each in ascending code order.
inline constexpr std::string_view LowerCasePool = "abcdefghijklmnopqrstuvwxyz";
inline constexpr std::string_view UpperCasePool = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
inline constexpr std::string_view DigitPool = "0123456789";
// Every printable ASCII sign but the commercial at, the grave accent and the blank.
inline constexpr std::string_view SymbolPool = "!\"#$%&'()*+,-./:;<=>?[\\]^_{|}~";

// Which classes a password may draw from.
struct Classes {
    bool lowerCase = true;
    bool upperCase = true;
    bool digits = true;
    bool symbols = true;
};

// The ticked classes' pools joined in one fixed order: lower case, upper case,
// digits, symbols. Empty when none is ticked.
std::string combinedPool(const Classes& classes);

// What a number box accepts: a text whose numeric value v has 0 < v <= 1000.
inline constexpr int MostPerSetting = 1000;
bool isAccepted(std::string_view settingText);

// The whole number a setting text stands for: its numeric value rounded to
// the nearest, halves to even ("2.5" is 2, "3.5" is 4). Accepted texts give 0
// to 1000; others are bounded to -1 and 1000, so no text can ask for more
// than the boxes allow.
int settingValue(std::string_view settingText);

// Why nothing is generated, in the order they are checked.
enum class Refusal {
    NoLength,  // the length text is empty
    NoClasses, // no class is ticked
};
engine::Notice refusalNotice(Refusal refusal);

// One run of passwords, made one at a time so that a window can show each as
// it comes and stay responsive in between. Every password has exactly
// length() characters, each drawn independently and evenly from pool().
class Generation {
public:
    Generation(engine::RandomSource& random, std::string pool, int length, int count)
        : random_(&random)
        , pool_(std::move(pool))
        , length_(length)
        , count_(count) {}

    const std::string& pool() const { return pool_; }
    int length() const { return length_; }
    int count() const { return count_; }
    bool finished() const { return made_ >= count_; }

    // The next password. Only while not finished().
    std::string next();

private:
    engine::RandomSource* random_;
    std::string pool_;
    int length_;
    int count_;
    int made_ = 0;
};

// Random passwords from chosen character classes. It only draws from the
// random source it is given, and never reseeds it.
class PasswordGenerator {
public:
    explicit PasswordGenerator(engine::RandomSource& random)
        : random_(random) {}

    // Checks the settings and starts a run, or says why not. The texts are
    // those of the length and count boxes; an empty count text means one
    // password, a length or count of 0 or less makes empty passwords or none.
    std::variant<Generation, Refusal> start(const Classes& classes, std::string_view lengthText,
                                            std::string_view countText) const;

private:
    engine::RandomSource& random_;
};

} // namespace veskard::engine
