#include "engine/OperationLog.h"

namespace veskard::engine {

void OperationLog::apply(const LogChange& change) {
    switch (change.kind) {
    case LogChange::Kind::Replace:
        text_ = change.text;
        return;
    case LogChange::Kind::Append:
        text_ += change.text;
        return;
    case LogChange::Kind::RewriteLastLine: {
        const std::size_t lineBreak = text_.rfind(LineBreak);
        text_.erase(lineBreak == std::string::npos ? 0 : lineBreak + LineBreak.size());
        text_ += change.text;
        return;
    }
    }
}

} // namespace veskard::engine
