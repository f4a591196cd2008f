#include "engine/RecordFormat.h"
#include "engine/Scramble.h"

#include <array>

namespace veskard::engine {
namespace {

constexpr std::size_t HeaderBufferSize = 64 * 1024;

template <typename T> std::error_code writeLittleEndian(ByteOutput& output, T value) {
    std::array<std::byte, sizeof(T)> bytes;
    for (std::size_t i = 0; i < sizeof(T); ++i)
        bytes[i] = static_cast<std::byte>((static_cast<std::uint64_t>(value) >> (8 * i)) & 0xFF);
    return output.write(bytes);
}

std::error_code writeListHeader(ByteOutput& output, std::uint64_t count) {
    if (const std::error_code error = writeLittleEndian<std::uint16_t>(output, 1))
        return error;
    if (const std::error_code error =
            writeLittleEndian<std::uint32_t>(output, static_cast<std::uint32_t>(count)))
        return error;
    return writeLittleEndian<std::int32_t>(output, 1);
}

std::error_code writeBody(ByteOutput& output, const CryptRecord& record,
                          const ByteInput& pieceSource, std::span<std::byte> copyBuffer) {
    if (const std::error_code error = writeListHeader(output, record.Pieces.size()))
        return error;
    for (const Piece& piece : record.Pieces) {
        if (const std::error_code error = writeListHeader(output, piece.length))
            return error;
        if (const std::error_code error = copyRange(pieceSource, piece, output, copyBuffer))
            return error;
    }
    if (const std::error_code error = writeListHeader(output, record.PassCodes.size()))
        return error;
    for (const std::string& code : record.PassCodes) {
        if (const std::error_code error =
                writeLittleEndian<std::uint16_t>(output, static_cast<std::uint16_t>(code.size())))
            return error;
        if (const std::error_code error = output.write(std::as_bytes(std::span(code))))
            return error;
    }
    if (const std::error_code error = writeListHeader(output, record.Order.size()))
        return error;
    for (const std::int16_t position : record.Order) {
        if (const std::error_code error =
                writeLittleEndian<std::uint16_t>(output, static_cast<std::uint16_t>(position)))
            return error;
    }
    return writeLittleEndian<std::uint16_t>(output, 0);
}

} // namespace

std::uint64_t recordSize(const CryptRecord& record) {
    std::uint64_t size = 3 * ListHeaderSize + 2 * record.Order.size() + 2;
    for (const Piece& piece : record.Pieces)
        size += ListHeaderSize + piece.length;
    for (const std::string& code : record.PassCodes)
        size += 2 + code.size();
    return size;
}

std::error_code writeRecord(ByteOutput& output, const CryptRecord& record,
                            const ByteInput& pieceSource, std::span<std::byte> copyBuffer) {
    BufferedOutput buffered(output, HeaderBufferSize);
    if (const std::error_code error = writeBody(buffered, record, pieceSource, copyBuffer))
        return error;
    return buffered.flush();
}

std::error_code writePlainPieces(ByteOutput& output, const CryptRecord& record,
                                 const ByteInput& pieceSource, std::span<std::byte> copyBuffer) {
    BufferedOutput buffered(output, HeaderBufferSize);
    for (const std::size_t stored : unscrambleOrder(record)) {
        if (const std::error_code error =
                copyRange(pieceSource, record.Pieces[stored], buffered, copyBuffer))
            return error;
    }
    return buffered.flush();
}

} // namespace veskard::engine
