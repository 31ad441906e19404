#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>

namespace dcv {

// Why a core operation did not do what it was asked. A plain value: nothing is thrown across
// the core's API. Operations that only succeed or fail return std::optional<Failure> (none when
// it went well); operations that also give something return Result<T>.
struct Failure {
    enum class Reason {
        Io,             // a system call failed (error holds errno)
        Missing,        // no such file or folder
        NotRegularFile, // a folder, FIFO, device or socket where a file was wanted
        TooLarge,       // more bytes than the reader takes
        ReadOnly,       // a file or place that may not be written
        Invalid,        // the content or the request is not what it must be
    };
    Reason reason = Reason::Io;
    int error = 0;      // errno of the failed call, 0 when none
    std::string detail; // one line naming the path and what went wrong
    std::string key;    // the message key a window shows; empty when the caller chooses one

    // The key to show: this failure's own, or `fallback` when it has none.
    std::string messageKey(std::string_view fallback) const {
        return key.empty() ? std::string(fallback) : key;
    }

    static Failure io(const std::string& path, int error);
    static Failure of(Reason reason, std::string detail, int error = 0) {
        return Failure{reason, error, std::move(detail), {}};
    }
    Failure withKey(std::string messageKey) const& {
        Failure f = *this;
        f.key = std::move(messageKey);
        return f;
    }
};

// A value or the failure that kept it from being made.
template <class T> class Result {
public:
    Result(T value) : m_v(std::move(value)) {}
    Result(Failure failure) : m_v(std::move(failure)) {}

    bool ok() const { return m_v.index() == 0; }
    explicit operator bool() const { return ok(); }
    T& operator*() { return std::get<0>(m_v); }
    const T& operator*() const { return std::get<0>(m_v); }
    T* operator->() { return &std::get<0>(m_v); }
    const T* operator->() const { return &std::get<0>(m_v); }
    const Failure& failure() const { return std::get<1>(m_v); }
    // The failure, or none for a value.
    std::optional<Failure> error() const { return ok() ? std::nullopt : std::optional<Failure>(failure()); }

private:
    std::variant<T, Failure> m_v;
};

} // namespace dcv
