#include "engine/EngineError.h"
#include "engine/RecordFormat.h"
#include "fuzz/RecordConsistency.h"
#include "platform/File.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

using namespace veskard;
using namespace veskard::engine;

namespace {

// Inputs the fuzzers once failed on, and the hand-made ones from
// fuzz/make-hostile-records.py. The name says what reading must do:
// "refused-" ones must be refused, "accepted-" ones read; anything else
// (a fuzzer's find) may go either way, as long as it goes cleanly.
std::vector<std::filesystem::path> storedInputs() {
    std::vector<std::filesystem::path> paths;
    for (const auto& entry : std::filesystem::directory_iterator(VESKARD_ENGINE_TEST_DATA))
        if (entry.is_regular_file())
            paths.push_back(entry.path());
    std::sort(paths.begin(), paths.end());
    return paths;
}

void expectRefusedOrConsistent(const Result<CryptRecord>& record, const ByteInput& input) {
    if (!record) {
        EXPECT_EQ(record.error(), EngineError::DamagedRecord) << record.error().message();
        return;
    }
    EXPECT_EQ(fuzz::firstInconsistency(*record, input), "");
}

// A 101-byte file's record carrying `codeCount` pass codes.
std::vector<std::byte> recordWithPassCodes(std::size_t codeCount) {
    const std::vector<std::byte> plain = test::patternBytes(101);
    CryptRecord record;
    for (std::uint64_t i = 0; i < plain.size(); ++i) {
        record.Pieces.push_back({i, 1});
        record.Order.push_back(static_cast<std::int16_t>(i + 1));
    }
    record.PassCodes.assign(codeCount, "41");
    MemoryOutput output;
    EXPECT_FALSE(writeRecord(output, record, MemoryInput(plain)));
    return output.bytes();
}

} // namespace

TEST(FuzzRegression, EveryStoredInputIsRefusedCleanlyOrReadConsistently) {
    const std::vector<std::filesystem::path> paths = storedInputs();
    ASSERT_GE(paths.size(), 20u) << "inputs missing from " << VESKARD_ENGINE_TEST_DATA;
    for (const std::filesystem::path& path : paths) {
        const std::string name = path.filename().string();
        SCOPED_TRACE(name);
        const std::vector<std::byte> bytes = test::readFile(path);
        const MemoryInput input(bytes);
        const Result<CryptRecord> record = readRecord(input);
        if (name.starts_with("refused-")) {
            EXPECT_FALSE(record.ok());
        }
        if (name.starts_with("accepted-")) {
            EXPECT_TRUE(record.ok()) << record.error().message();
        }
        expectRefusedOrConsistent(record, input);

        // Read straight from the file, the answer must be the same.
        const Result<platform::File> file = platform::File::openForReading(path);
        ASSERT_TRUE(file.ok());
        const Result<FileInput> fileInput = FileInput::open(*file);
        ASSERT_TRUE(fileInput.ok());
        const Result<CryptRecord> fromFile = readRecord(*fileInput);
        ASSERT_EQ(fromFile.ok(), record.ok());
        if (record) {
            EXPECT_EQ(fromFile->Pieces, record->Pieces);
            EXPECT_EQ(fromFile->PassCodes, record->PassCodes);
            EXPECT_EQ(fromFile->Order, record->Order);
        }
    }
}

TEST(FuzzRegression, PassCodeCountStopsAtTheLimit) {
    // Enough bytes for every code, so only the limit itself can refuse it.
    const std::vector<std::byte> atLimit = recordWithPassCodes(MaximumPassCodes);
    const Result<CryptRecord> record = readRecord(MemoryInput(atLimit));
    ASSERT_TRUE(record.ok()) << record.error().message();
    EXPECT_EQ(record->PassCodes.size(), MaximumPassCodes);
    expectRefusedOrConsistent(record, MemoryInput(atLimit));

    const std::vector<std::byte> pastLimit = recordWithPassCodes(MaximumPassCodes + 1);
    EXPECT_EQ(readRecord(MemoryInput(pastLimit)).error(), EngineError::DamagedRecord);
}
