#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace veskard::engine {

// A run of bytes in a file: pieces name where their bytes are instead of
// holding them, so that files of any size stream through with bounded memory.
struct Piece {
    std::uint64_t offset = 0;
    std::uint64_t length = 0;
    bool operator==(const Piece&) const = default;
};

// The one record of an enciphered file. Lists are stored from index 0 here;
// the values of Order are positions counted from 1, as on disk.
struct CryptRecord {
    std::vector<Piece> Pieces;          // the content, in stored (scrambled) order
    std::vector<std::string> PassCodes; // upper-case hex code of each password character
    std::vector<std::int16_t> Order;    // Order[i]: stored position of plain piece i + 1
    std::int16_t Spare = 0;             // always written as 0, ignored when read

    // Sum of the piece lengths: the size of the plain file.
    std::uint64_t plainSize() const;
};

} // namespace veskard::engine
