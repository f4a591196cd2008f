#pragma once

#include <QString>

#include <functional>

namespace veskard::gui {

// What a typed password is to the locked file. Unknown when it could not be
// told (the checker has said why): the enter-password dialog then ends as if
// cancelled.
enum class PasswordVerdict { Right, Wrong, Unknown };

// Whoever holds the file tells: a classic record compares the password it
// stores, a strong lock derives its key (about a second).
using PasswordChecker = std::function<PasswordVerdict(const QString& typed)>;

} // namespace veskard::gui
