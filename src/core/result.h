// How the program reports a failure, everywhere below the window: a function that can fail
// returns a Result, which holds either its value or the failure's text. That text is Italian,
// whole sentences naming the file or printer, ready to be shown to the user as it stands;
// the window's commands are the only place that shows it.
#pragma once

#include <QString>
#include <optional>
#include <utility>

namespace quarzello {

// A failure's text, for the user, and what kind of failure it is, for a caller that acts on
// the kind rather than only telling the text.
struct Failure {
    enum class Kind {
        Other,
        ServiceDown,  // the print service is not running at all (rather than slow to answer)
    };
    QString text;
    Kind kind = Kind::Other;
};

template <typename T>
class [[nodiscard]] Result {
  public:
    Result(T value) : value_(std::move(value)) {}
    Result(Failure failure) : failure_(std::move(failure)) {}

    bool ok() const { return value_.has_value(); }
    explicit operator bool() const { return ok(); }

    const T& value() const& { return *value_; }
    T& value() & { return *value_; }
    T&& value() && { return std::move(*value_); }
    const T& operator*() const& { return *value_; }
    T& operator*() & { return *value_; }
    const T* operator->() const { return &*value_; }

    // Empty when the call succeeded.
    const QString& error() const { return failure_.text; }
    Failure::Kind kind() const { return failure_.kind; }
    // The same failure, to pass on to one's own caller.
    Failure failure() const { return failure_; }

  private:
    std::optional<T> value_;
    Failure failure_;
};

// A call that has nothing to give back but may fail. Default-constructed, it succeeded.
template <>
class [[nodiscard]] Result<void> {
  public:
    Result() = default;
    Result(Failure failure) : failed_(true), failure_(std::move(failure)) {}

    bool ok() const { return !failed_; }
    explicit operator bool() const { return ok(); }
    const QString& error() const { return failure_.text; }
    Failure::Kind kind() const { return failure_.kind; }
    Failure failure() const { return failure_; }

  private:
    bool failed_ = false;
    Failure failure_;
};

}  // namespace quarzello
