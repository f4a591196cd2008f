#pragma once

#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "engine/RandomSource.h"

#include <span>
#include <string>
#include <variant>

namespace veskard::cli {

// Reads the words after "generate": -l LENGTH, -n COUNT and the class
// switches --lower, --upper, --digits, --symbols.
std::variant<Arguments, UsageError> parseGenerate(std::span<const std::string> words);

// Prints the passwords one a line on `out`, drawn from `random`; a refusal
// goes to `err`. LENGTH and COUNT are read as the generator window's number
// boxes read what is typed into them, and a value those boxes would not take
// (0 or less, more than 1000, no number) counts as not given, as the box
// would be empty: no LENGTH is refused, no COUNT makes one password. No class
// named means all four.
int generatePasswords(const GenerateOptions& options, Console console,
                      engine::RandomSource& random);

} // namespace veskard::cli
