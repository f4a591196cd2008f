#include "engine/Messages.h"

#include "platform/ErrorText.h"
#include "texts/Texts.h"

#include <string>

namespace veskard::engine::Messages {

Notice zeroSizeFile(const std::filesystem::path& path) {
    return {Icon::Stop, texts::filled(texts::notices::zeroSizeFile, platform::displayName(path))};
}

Notice fileTooSmall() {
    return {Icon::Stop, texts::notices::fileTooSmall};
}

Notice alreadyEnciphered() {
    return {Icon::Stop, texts::notices::alreadyEnciphered};
}

Notice emptyPassword() {
    return {Icon::Stop, texts::notices::emptyPassword};
}

Notice encryptHeld() {
    return {Icon::Stop, texts::notices::encryptHeld};
}

Notice restoreHeld() {
    return {Icon::Stop, texts::notices::restoreHeld};
}

Notice noDataInFile(const std::filesystem::path& path) {
    return {Icon::Stop, texts::filled(texts::notices::noDataInFile, platform::displayName(path))};
}

Notice damagedOrNotEnciphered() {
    return {Icon::Exclamation, texts::notices::damagedOrNotEnciphered};
}

Notice systemFailure(std::error_code error) {
    return {Icon::Stop,
            texts::filled(texts::notices::systemFailure, platform::describeError(error))};
}

Notice bytesNotRestored(std::uint64_t count) {
    return {Icon::Exclamation,
            texts::filled(texts::notices::bytesNotRestored, std::to_string(count))};
}

Notice failedAfterReplacing(std::error_code error) {
    return {Icon::Exclamation,
            texts::filled(texts::notices::failedAfterReplacing, platform::describeError(error))};
}

} // namespace veskard::engine::Messages
