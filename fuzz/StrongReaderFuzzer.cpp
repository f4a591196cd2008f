// Feeds arbitrary bytes to the strong lock's reader as a locked file, opened
// with a fixed password: the header's checks, then the keys, then every
// chunk. A refusal must be DamagedRecord; an accepted file must give exactly
// the plain size its length promises.
//
// The first input byte chooses how the rest is taken. Odd: it is signed
// first, as a lock with the fixed password would sign it (magic, version and
// algorithm set, MAC and checksum made for its fields), so that mutated costs,
// sizes and chunks get past the checks that need the key; costs above the
// cheap ones are left unsigned, since deriving them would take the run's
// time. Even: taken as it is.

#include "engine/EngineError.h"
#include "engine/StrongDecryption.h"
#include "engine/StrongFormat.h"
#include "engine/StrongKeys.h"
#include "fuzz/StrongFuzzing.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <span>
#include <string_view>
#include <vector>

using namespace veskard;
using namespace veskard::engine;

namespace {

[[noreturn]] void fail(std::string_view what) {
    std::fprintf(stderr, "StrongReaderFuzzer: %.*s\n", static_cast<int>(what.size()), what.data());
    __builtin_trap();
}

bool isCheap(const KeyCost& cost) {
    return cost.opsLimit <= 2 && cost.memLimit <= 64 * 1024;
}

template <typename T> T littleEndian(std::span<const std::byte> at) {
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i)
        value |= static_cast<std::uint64_t>(at[i]) << (8 * i);
    return static_cast<T>(value);
}

// Signs the header fields at the start of `file` with the fixed password.
void sign(std::vector<std::byte>& file) {
    if (file.size() < StrongHeaderSize)
        return;
    const std::span<const std::byte> bytes(file);
    StrongHeader header{{littleEndian<std::uint64_t>(bytes.subspan(10)),
                         littleEndian<std::uint64_t>(bytes.subspan(18))},
                        littleEndian<std::uint32_t>(bytes.subspan(26)),
                        {},
                        {},
                        {}};
    std::copy_n(bytes.begin() + 30, header.salt.size(), header.salt.begin());
    std::copy_n(bytes.begin() + 46, header.streamHeader.size(), header.streamHeader.begin());
    if (!isCheap(header.cost))
        return;
    const Result<StrongKeys> keys =
        StrongKeys::derive(fuzz::StrongPassword, header.cost, header.salt);
    if (!keys)
        return; // a cost below libsodium's least
    header.mac = keys->headerMac(header);
    const auto signedHeader = header.bytes();
    std::copy(signedHeader.begin(), signedHeader.end(), file.begin());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const auto* first = reinterpret_cast<const std::byte*>(data);
    std::vector<std::byte> file(first + 1, first + size);
    if ((data[0] & 1) != 0)
        sign(file);
    const MemoryInput input(file);

    const Result<StrongHeader> header = readStrongHeader(input);
    if (!header) {
        if (header.error() != EngineError::DamagedRecord)
            fail("a header refused with an error other than DamagedRecord");
        return 0;
    }
    if (!isCheap(header->cost))
        return 0;
    const Result<StrongKeys> keys =
        StrongKeys::derive(fuzz::StrongPassword, header->cost, header->salt);
    if (!keys)
        fail("no keys for a header within bounds");
    if (!keys->open(*header))
        return 0; // signed for another password, or not at all
    Result<StrongDecryption> decryption = StrongDecryption::start(*keys, *header, file.size());
    if (!decryption)
        fail("a header the keys open does not start a stream");
    if (decryption->plainSize() != *strongPlainSize(file.size(), header->chunkSize))
        fail("the plain size is not the one the file's length gives");

    // Slice by slice, as a restore asks for it.
    std::vector<std::byte> slice(1000);
    std::uint64_t offset = 0;
    do {
        const std::size_t length = static_cast<std::size_t>(
            std::min<std::uint64_t>(slice.size(), decryption->plainSize() - offset));
        const std::error_code error =
            decryption->fill(input, offset, std::span(slice).first(length));
        if (error == EngineError::DamagedRecord)
            return 0;
        if (error)
            fail("a chunk refused with an error other than DamagedRecord");
        offset += length;
    } while (offset < decryption->plainSize());
    return 0;
}
