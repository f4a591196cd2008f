#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace veskard::engine {

// The timed log of the last encryption: UTF-8 text whose lines end in CR LF.
// Whoever shows it (the window's log box, the command line) listens for changes.
class OperationLog {
public:
    using Listener = std::function<void(const std::string& text)>;

    static constexpr std::string_view LineBreak = "\r\n";

    const std::string& text() const { return text_; }
    void replace(std::string text);
    void append(std::string_view part);
    void setListener(Listener listener) { listener_ = std::move(listener); }

private:
    std::string text_;
    Listener listener_;
};

} // namespace veskard::engine
