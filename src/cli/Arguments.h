#pragma once

#include "engine/PasswordGenerator.h"

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>

namespace veskard::cli {

enum class Command { Lock, Unlock, Info, Generate, Help, Version };

// What "generate" asks for: the classes (all four unless some are named) and
// the number texts as given.
struct GenerateOptions {
    engine::Classes classes;
    std::optional<std::string> length;
    std::optional<std::string> count;
};

// What the command line asks for.
struct Arguments {
    Command command = Command::Help;
    std::filesystem::path file;
    std::optional<std::filesystem::path> output;
    bool force = false;
    bool strong = false; // lock: the strong kind
    bool passwordFromStandardInput = false;
    GenerateOptions generate;
};

// A command line that asks for nothing runnable; `message` says what is wrong.
struct UsageError {
    std::string message;
};

// Reads the arguments after the program name, given in UTF-8. Options may
// come before or after FILE; "--" ends the options, so that a file may be
// named "-x".
std::variant<Arguments, UsageError> parseArguments(std::span<const std::string> arguments);

// The full help text, and the short reminder printed after a usage error.
std::string_view helpText();
std::string_view usageLine();

} // namespace veskard::cli
