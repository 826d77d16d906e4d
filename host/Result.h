#pragma once

// `Result<T>`: a value or an `Error`, for failures the caller must handle (a
// host service that cannot start, a file that will not open). Our own broken
// invariants use HOST_VERIFY instead; guest-visible failures use the runtime's
// pending exceptions.
//
//     Result<Bytes> readAll(...);
//     auto bytes = HOST_TRY(readAll(path));   // returns the error to our caller

#include "host/Verify.h"

#include <string>
#include <utility>
#include <variant>

namespace host {

struct Error {
    std::string message;
    int code = 0; // errno or a service's own code; 0 when there is none

    static Error withMessage(std::string text, int errorCode = 0) {
        return Error{std::move(text), errorCode};
    }
};

template <class T>
class [[nodiscard]] Result {
public:
    Result(T value)
        : m_state(std::in_place_index<0>, std::move(value)) {}
    Result(Error error)
        : m_state(std::in_place_index<1>, std::move(error)) {}

    bool ok() const { return m_state.index() == 0; }
    explicit operator bool() const { return ok(); }

    T& value() & {
        HOST_VERIFY(ok());
        return std::get<0>(m_state);
    }
    const T& value() const& {
        HOST_VERIFY(ok());
        return std::get<0>(m_state);
    }
    T&& value() && {
        HOST_VERIFY(ok());
        return std::get<0>(std::move(m_state));
    }
    const Error& error() const& {
        HOST_VERIFY(!ok());
        return std::get<1>(m_state);
    }
    Error&& error() && {
        HOST_VERIFY(!ok());
        return std::get<1>(std::move(m_state));
    }

private:
    std::variant<T, Error> m_state;
};

template <>
class [[nodiscard]] Result<void> {
public:
    Result() = default;
    Result(Error error)
        : m_error(std::move(error))
        , m_failed(true) {}

    bool ok() const { return !m_failed; }
    explicit operator bool() const { return ok(); }
    void value() const { HOST_VERIFY(ok()); }
    const Error& error() const& {
        HOST_VERIFY(!ok());
        return m_error;
    }
    Error&& error() && {
        HOST_VERIFY(!ok());
        return std::move(m_error);
    }

private:
    Error m_error;
    bool m_failed = false;
};

} // namespace host

// Evaluates a Result; on failure returns its Error from the enclosing function,
// else yields the value. (A GNU statement expression: both our compilers have it.)
#define HOST_TRY(expression)                                                                                 \
    ({                                                                                                       \
        auto&& hostTryResult_ = (expression);                                                                \
        if (!hostTryResult_.ok()) [[unlikely]]                                                               \
            return std::move(hostTryResult_).error();                                                        \
        std::move(hostTryResult_).value();                                                                   \
    })
