// How the program reports a failure, everywhere below the flows: a function that can fail
// returns a Result, which holds either its value or the failure's text. That text is Italian,
// whole sentences naming the file or printer, ready to be shown to the user as it stands; the
// flows and the command line are the places that tell it.
#pragma once

#include <QString>
#include <QtGlobal>
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

    // The value of a call that succeeded; asking a failure for its value is a programming
    // error, which stops the program rather than read garbage.
    const T& value() const& { return checked(); }
    T& value() & { return checked(); }
    T&& value() && { return std::move(checked()); }
    const T& operator*() const& { return checked(); }
    T& operator*() & { return checked(); }
    const T* operator->() const { return &checked(); }

    // Empty when the call succeeded.
    const QString& error() const { return failure_.text; }
    Failure::Kind kind() const { return failure_.kind; }
    // The same failure, to pass on to one's own caller.
    Failure failure() const { return failure_; }

  private:
    T& checked() {
        if (!value_)
            qFatal("Result: the value of a failure was asked for: %s", qPrintable(failure_.text));
        return *value_;
    }
    const T& checked() const { return const_cast<Result*>(this)->checked(); }

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
