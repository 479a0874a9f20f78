#pragma once
// How storage reports: every operation that can fail returns a Result, which
// holds either its value or, in Italian for the user, what failed and why.
// Storage never ends the program and never shows anything; the window that
// called it decides what the pupil sees.

#include <QString>
#include <utility>

namespace storage {

struct Error
{
    QString message;
};

// "what failed" followed, on a line of its own, by "(why)" when there is a why.
inline Error failure(const QString &what, const QString &why = {})
{
    return Error{why.isEmpty() ? what : QStringLiteral("%1\n(%2)").arg(what, why)};
}

template <class T> class [[nodiscard]] Result
{
public:
    Result(T value) : value_(std::move(value)) {}
    Result(Error error) : error_(std::move(error.message)), failed_(true) {}

    bool ok() const { return !failed_; }
    explicit operator bool() const { return !failed_; }
    const QString &error() const { return error_; }
    // The value; only when ok().
    T &value() { return value_; }
    const T &value() const { return value_; }
    T take() { return std::move(value_); }

private:
    T value_{};
    QString error_;
    bool failed_ = false;
};

template <> class [[nodiscard]] Result<void>
{
public:
    Result() = default;
    Result(Error error) : error_(std::move(error.message)), failed_(true) {}

    bool ok() const { return !failed_; }
    explicit operator bool() const { return !failed_; }
    const QString &error() const { return error_; }

private:
    QString error_;
    bool failed_ = false;
};

using Status = Result<void>;

} // namespace storage
