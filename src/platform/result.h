#pragma once
// The outcome of a logic operation that can fail: a value, or the system's message for the user.
// No exceptions cross the floors; the window shows the message through Prompts.
#include <optional>
#include <string>
#include <utility>

namespace tavola {

template <class T>
class Result {
public:
    Result(T value) : value_(std::move(value)) {}
    static Result failure(std::string message)
    {
        Result r;
        r.message_ = std::move(message);
        return r;
    }
    bool ok() const { return value_.has_value(); }
    explicit operator bool() const { return ok(); }
    const T& value() const& { return *value_; }
    T& value() & { return *value_; }
    T&& value() && { return std::move(*value_); }
    const T& operator*() const& { return *value_; }
    T& operator*() & { return *value_; }
    const T* operator->() const { return &*value_; }
    T* operator->() { return &*value_; }
    // The message shown to the user; empty on success and for silent failures.
    const std::string& message() const { return message_; }

private:
    Result() = default;
    std::optional<T> value_;
    std::string message_;
};

// For operations that return nothing but may fail.
class Status {
public:
    Status() = default;
    static Status failure(std::string message)
    {
        Status s;
        s.ok_ = false;
        s.message_ = std::move(message);
        return s;
    }
    bool ok() const { return ok_; }
    explicit operator bool() const { return ok_; }
    const std::string& message() const { return message_; }

private:
    bool ok_ = true;
    std::string message_;
};

} // namespace tavola
