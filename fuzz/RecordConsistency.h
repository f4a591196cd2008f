#pragma once

#include "engine/ByteStreams.h"
#include "engine/PasswordCodes.h"
#include "engine/RecordFormat.h"

#include <algorithm>
#include <cstddef>
#include <string_view>
#include <vector>

namespace veskard::fuzz {

// What every record that readRecord accepts from `input` must satisfy. Returns
// the first rule broken, or an empty view. The fuzzers stop on a broken rule;
// the regression test reports it.
inline std::string_view firstInconsistency(const engine::CryptRecord& record,
                                           const engine::ByteInput& input) {
    const std::size_t count = record.Pieces.size();
    if (count == 0 || record.Order.size() != count)
        return "Order and Pieces differ in length, or are empty";
    std::vector<bool> seen(count, false);
    for (const std::int16_t position : record.Order) {
        const auto index = static_cast<std::size_t>(position) - 1;
        if (position < 1 || index >= count || seen[index])
            return "Order is not a permutation of 1..N";
        seen[index] = true;
    }
    // Pieces are read one after another, so they follow each other in the input.
    std::uint64_t end = 0;
    for (const engine::Piece& piece : record.Pieces) {
        if (piece.length == 0 || piece.offset < end || piece.offset > input.size() ||
            piece.length > input.size() - piece.offset)
            return "a piece is empty, overlaps the one before, or lies outside the input";
        end = piece.offset + piece.length;
    }
    if (record.PassCodes.empty() ||
        !std::all_of(record.PassCodes.begin(), record.PassCodes.end(),
                     [](const std::string& code) { return engine::isValidPassCode(code); }))
        return "the pass codes are missing or malformed";
    const std::uint64_t size = engine::recordSize(record);
    if (size > input.size())
        return "recordSize() is larger than the input";

    engine::MemoryOutput plain;
    if (engine::writePlainPieces(plain, record, input))
        return "the plain pieces cannot be written";
    if (plain.bytes().size() != record.plainSize())
        return "the plain pieces do not add up to plainSize()";

    // Written again, the record must give back the bytes it was read from, but
    // for Spare, which is always written as 0.
    engine::MemoryOutput rewritten;
    if (engine::writeRecord(rewritten, record, input))
        return "the record cannot be written again";
    std::vector<std::byte> original(static_cast<std::size_t>(size));
    if (input.readExactly(0, original))
        return "the input cannot be read back";
    const std::vector<std::byte>& again = rewritten.bytes();
    if (again.size() != original.size() ||
        !std::equal(original.begin(), original.end() - 2, again.begin()))
        return "writing the record again gives different bytes";
    return {};
}

} // namespace veskard::fuzz
