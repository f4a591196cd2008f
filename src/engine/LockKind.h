#pragma once

namespace veskard::engine {

// The two kinds of locked file. A classic record moves the bytes around and
// keeps the password's codes; it opens in every version of the program. A
// strong lock encrypts the content with a key derived from the password,
// which it stores in no form; it opens in this version and later ones only.
// Unlocking tells the kind from the file itself.
enum class LockKind { Classic, Strong };

} // namespace veskard::engine
