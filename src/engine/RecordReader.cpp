#include "engine/EngineError.h"
#include "engine/PasswordCodes.h"
#include "engine/RecordFormat.h"
#include "engine/Split.h"

#include <algorithm>
#include <array>
#include <concepts>
#include <vector>

namespace veskard::engine {
namespace {

// Reads fields one after another through a small window, so that thousands of
// short fields cost a handful of reads; the pieces' bytes are skipped, not
// read. Large pieces each cost a refill, so the window stays small.
class Cursor {
public:
    explicit Cursor(const ByteInput& input)
        : input_(input) {}

    std::uint64_t position() const { return position_; }
    std::uint64_t remaining() const { return input_.size() - position_; }

    std::error_code read(std::span<std::byte> out) {
        if (out.size() > remaining())
            return EngineError::DamagedRecord;
        if (position_ < windowStart_ || position_ + out.size() > windowStart_ + windowLength_) {
            windowStart_ = position_;
            windowLength_ =
                static_cast<std::size_t>(std::min<std::uint64_t>(window_.size(), remaining()));
            if (out.size() > windowLength_)
                return EngineError::DamagedRecord;
            if (const std::error_code error =
                    input_.readExactly(windowStart_, std::span(window_).first(windowLength_)))
                return error;
        }
        std::copy_n(window_.begin() + static_cast<std::ptrdiff_t>(position_ - windowStart_),
                    out.size(), out.begin());
        position_ += out.size();
        return {};
    }

    template <std::integral T> std::error_code readInteger(T& value) {
        std::array<std::byte, sizeof(T)> bytes;
        if (const std::error_code error = read(bytes))
            return error;
        std::uint64_t bits = 0;
        for (std::size_t i = 0; i < sizeof(T); ++i)
            bits |= static_cast<std::uint64_t>(bytes[i]) << (8 * i);
        value = static_cast<T>(bits);
        return {};
    }

    std::error_code skip(std::uint64_t count) {
        if (count > remaining())
            return EngineError::DamagedRecord;
        position_ += count;
        return {};
    }

private:
    const ByteInput& input_;
    std::uint64_t position_ = 0;
    std::array<std::byte, 8 * 1024> window_{};
    std::uint64_t windowStart_ = 0;
    std::size_t windowLength_ = 0;
};

// Reads a list header and returns its element count; only one-dimensional
// lists counted from 1 are ours.
Result<std::uint32_t> readListHeader(Cursor& cursor) {
    std::uint16_t dimensions = 0;
    std::uint32_t count = 0;
    std::int32_t lowerBound = 0;
    if (std::error_code error = cursor.readInteger(dimensions); error)
        return error;
    if (std::error_code error = cursor.readInteger(count); error)
        return error;
    if (std::error_code error = cursor.readInteger(lowerBound); error)
        return error;
    if (dimensions != 1 || lowerBound != 1)
        return EngineError::DamagedRecord;
    return count;
}

std::error_code readPieces(Cursor& cursor, CryptRecord& record) {
    const Result<std::uint32_t> count = readListHeader(cursor);
    if (!count)
        return count.error();
    // Every piece takes at least its header and one byte.
    if (*count == 0 || *count > MaximumPieces || *count > cursor.remaining() / (ListHeaderSize + 1))
        return EngineError::DamagedRecord;
    record.Pieces.reserve(*count);
    for (std::uint32_t i = 0; i < *count; ++i) {
        const Result<std::uint32_t> length = readListHeader(cursor);
        if (!length)
            return length.error();
        if (*length == 0)
            return EngineError::DamagedRecord;
        record.Pieces.push_back({cursor.position(), *length});
        if (const std::error_code error = cursor.skip(*length))
            return error;
    }
    return {};
}

std::error_code readPassCodes(Cursor& cursor, CryptRecord& record) {
    const Result<std::uint32_t> count = readListHeader(cursor);
    if (!count)
        return count.error();
    // Every code takes its two-byte length and at least one digit.
    if (*count == 0 || *count > MaximumPassCodes || *count > cursor.remaining() / 3)
        return EngineError::DamagedRecord;
    record.PassCodes.reserve(*count);
    for (std::uint32_t i = 0; i < *count; ++i) {
        std::uint16_t length = 0;
        if (const std::error_code error = cursor.readInteger(length))
            return error;
        if (length == 0 || length > 4)
            return EngineError::DamagedRecord;
        std::array<std::byte, 4> digits;
        if (const std::error_code error = cursor.read(std::span(digits).first(length)))
            return error;
        std::string code(reinterpret_cast<const char*>(digits.data()), length);
        if (!isValidPassCode(code))
            return EngineError::DamagedRecord;
        record.PassCodes.push_back(std::move(code));
    }
    return {};
}

std::error_code readOrder(Cursor& cursor, CryptRecord& record) {
    const Result<std::uint32_t> count = readListHeader(cursor);
    if (!count)
        return count.error();
    const std::size_t pieceCount = record.Pieces.size();
    if (*count != pieceCount)
        return EngineError::DamagedRecord;
    std::vector<bool> seen(pieceCount, false);
    record.Order.reserve(pieceCount);
    for (std::size_t i = 0; i < pieceCount; ++i) {
        std::int16_t position = 0;
        if (const std::error_code error = cursor.readInteger(position))
            return error;
        if (position < 1 || static_cast<std::size_t>(position) > pieceCount ||
            seen[static_cast<std::size_t>(position) - 1])
            return EngineError::DamagedRecord;
        seen[static_cast<std::size_t>(position) - 1] = true;
        record.Order.push_back(position);
    }
    return cursor.readInteger(record.Spare);
}

// The pieces must be cut as splitting their total size cuts a file: equal
// lengths but for the one holding the last plain piece, which has the rest.
bool hasSplitShape(const CryptRecord& record) {
    const std::uint64_t size = record.plainSize();
    const auto count = static_cast<std::uint32_t>(record.Pieces.size());
    if (size <= LargestRefusedSize || !isPossiblePieceCount(size, count))
        return false;
    const SplitPlan plan = planFor(size, count);
    const std::size_t lastStored = static_cast<std::size_t>(record.Order.back()) - 1;
    for (std::size_t stored = 0; stored < record.Pieces.size(); ++stored) {
        const std::uint64_t expected =
            stored == lastStored ? plan.lastPieceLength() : plan.pieceLength;
        if (record.Pieces[stored].length != expected)
            return false;
    }
    return true;
}

std::error_code asDamaged(std::error_code error) {
    return error == EngineError::UnexpectedEnd ? make_error_code(EngineError::DamagedRecord)
                                               : error;
}

} // namespace

Result<CryptRecord> readRecord(const ByteInput& input) {
    Cursor cursor(input);
    CryptRecord record;
    if (const std::error_code error = readPieces(cursor, record))
        return asDamaged(error);
    if (const std::error_code error = readPassCodes(cursor, record))
        return asDamaged(error);
    if (const std::error_code error = readOrder(cursor, record))
        return asDamaged(error);
    if (!hasSplitShape(record))
        return EngineError::DamagedRecord;
    return record;
}

} // namespace veskard::engine
