#include "engine/EngineError.h"

#include <string>

namespace veskard::engine {
namespace {

class EngineCategory final : public std::error_category {
public:
    const char* name() const noexcept override { return "veskard-engine"; }
    std::string message(int value) const override {
        switch (static_cast<EngineError>(value)) {
        case EngineError::DamagedRecord:
            return "damaged or not an enciphered file";
        case EngineError::EmptyPassword:
            return "empty password";
        case EngineError::EmptyFile:
            return "empty file";
        case EngineError::FileTooLarge:
            return "file too large";
        case EngineError::UnexpectedEnd:
            return "unexpected end of file";
        case EngineError::VerificationFailed:
            return "what was written does not read back the same";
        case EngineError::SourceChanged:
            return "the file changed since it was chosen";
        case EngineError::NothingLoaded:
            return "nothing loaded";
        }
        return "unknown engine error";
    }
};

} // namespace

const std::error_category& engineCategory() {
    static const EngineCategory category;
    return category;
}

} // namespace veskard::engine
