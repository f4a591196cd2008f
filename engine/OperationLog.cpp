#include "engine/OperationLog.h"

namespace veskard::engine {

void OperationLog::replace(std::string text) {
    text_ = std::move(text);
    if (listener_)
        listener_(text_);
}

void OperationLog::append(std::string_view part) {
    text_ += part;
    if (listener_)
        listener_(text_);
}

} // namespace veskard::engine
