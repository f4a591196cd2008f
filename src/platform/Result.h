#pragma once

#include <cassert>
#include <system_error>
#include <utility>
#include <variant>

namespace veskard {

// A value or the error that prevented it. Errors travel as values across the
// engine and platform layers; nothing there throws.
template <typename T> class [[nodiscard]] Result {
public:
    Result(T value) : state_(std::move(value)) {}
    Result(std::error_code error) : state_(error) { assert(error); }
    template <typename E>
        requires std::is_error_code_enum_v<E>
    Result(E error) : Result(make_error_code(error)) {}

    bool ok() const { return std::holds_alternative<T>(state_); }
    explicit operator bool() const { return ok(); }

    const T& value() const& { return std::get<T>(state_); }
    T& value() & { return std::get<T>(state_); }
    T&& value() && { return std::get<T>(std::move(state_)); }
    const T& operator*() const& { return value(); }
    T& operator*() & { return value(); }
    const T* operator->() const { return &value(); }
    T* operator->() { return &value(); }

    std::error_code error() const {
        return ok() ? std::error_code{} : std::get<std::error_code>(state_);
    }

private:
    std::variant<T, std::error_code> state_;
};

} // namespace veskard
