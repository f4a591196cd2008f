// Feeds arbitrary bytes to readRecord as an enciphered file. A refusal must be
// DamagedRecord; an accepted record must be consistent with the bytes it came
// from; and reading must allocate no more than the input's size justifies.

#include "engine/EngineError.h"
#include "engine/RecordFormat.h"
#include "fuzz/RecordConsistency.h"

#include <sanitizer/allocator_interface.h>

#include <cstdint>
#include <cstdio>
#include <span>
#include <string_view>

using namespace veskard;

namespace {

// Bytes allocated on the fuzzing thread while readRecord runs.
thread_local bool counting = false;
thread_local std::uint64_t allocated = 0;

void onMalloc(const volatile void*, std::size_t size) {
    if (counting)
        allocated += size;
}
void onFree(const volatile void*) {}

// A record's lists grow with the bytes that hold them: a pass code takes at
// least three bytes and becomes a 32-byte string, a piece eleven bytes and
// becomes 16. Anything far beyond that means a count was trusted.
std::uint64_t allocationBudget(std::size_t inputSize) {
    return 16 * inputSize + 64 * 1024;
}

[[noreturn]] void fail(std::string_view what) {
    std::fprintf(stderr, "RecordReaderFuzzer: %.*s\n", static_cast<int>(what.size()), what.data());
    __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    __sanitizer_install_malloc_and_free_hooks(onMalloc, onFree);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const engine::MemoryInput input(std::span(reinterpret_cast<const std::byte*>(data), size));

    allocated = 0;
    counting = true;
    const Result<engine::CryptRecord> record = engine::readRecord(input);
    counting = false;
    if (allocated > allocationBudget(size)) {
        std::fprintf(stderr, "RecordReaderFuzzer: %llu bytes allocated for %zu input bytes\n",
                     static_cast<unsigned long long>(allocated), size);
        fail("readRecord allocated more than the input justifies");
    }

    if (!record) {
        if (record.error() != engine::EngineError::DamagedRecord)
            fail("refused with an error other than DamagedRecord");
        return 0;
    }
    if (const std::string_view problem = fuzz::firstInconsistency(*record, input); !problem.empty())
        fail(problem);
    return 0;
}
