#include "engine/RecordFormat.h"
#include "engine/Scramble.h"

#include <array>

namespace veskard::engine {
namespace {

template <typename T> void addLittleEndian(ContentLayout& layout, T value) {
    std::array<std::byte, sizeof(T)> bytes;
    for (std::size_t i = 0; i < sizeof(T); ++i)
        bytes[i] = static_cast<std::byte>((static_cast<std::uint64_t>(value) >> (8 * i)) & 0xFF);
    layout.addBytes(bytes);
}

void addListHeader(ContentLayout& layout, std::uint64_t count) {
    addLittleEndian<std::uint16_t>(layout, 1);
    addLittleEndian<std::uint32_t>(layout, static_cast<std::uint32_t>(count));
    addLittleEndian<std::int32_t>(layout, 1);
}

} // namespace

ContentLayout recordLayout(const CryptRecord& record) {
    ContentLayout layout;
    addListHeader(layout, record.Pieces.size());
    for (const Piece& piece : record.Pieces) {
        addListHeader(layout, piece.length);
        layout.addSourceRange(piece);
    }
    addListHeader(layout, record.PassCodes.size());
    for (const std::string& code : record.PassCodes) {
        addLittleEndian<std::uint16_t>(layout, static_cast<std::uint16_t>(code.size()));
        layout.addBytes(std::as_bytes(std::span(code)));
    }
    addListHeader(layout, record.Order.size());
    for (const std::int16_t position : record.Order)
        addLittleEndian<std::uint16_t>(layout, static_cast<std::uint16_t>(position));
    addLittleEndian<std::uint16_t>(layout, 0);
    return layout;
}

ContentLayout plainLayout(const CryptRecord& record) {
    ContentLayout layout;
    for (const std::size_t stored : unscrambleOrder(record))
        layout.addSourceRange(record.Pieces[stored]);
    return layout;
}

std::uint64_t recordSize(const CryptRecord& record) {
    return recordLayout(record).size();
}

std::error_code writeRecord(ByteOutput& output, const CryptRecord& record,
                            const ByteInput& pieceSource) {
    return recordLayout(record).writeTo(output, pieceSource);
}

std::error_code writePlainPieces(ByteOutput& output, const CryptRecord& record,
                                 const ByteInput& pieceSource) {
    return plainLayout(record).writeTo(output, pieceSource);
}

} // namespace veskard::engine
