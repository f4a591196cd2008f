#include "engine/CryptRecord.h"

namespace veskard::engine {

std::uint64_t CryptRecord::plainSize() const {
    std::uint64_t size = 0;
    for (const Piece& piece : Pieces)
        size += piece.length;
    return size;
}

} // namespace veskard::engine
