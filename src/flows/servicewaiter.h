// How a command waits on the print service: every call gets what is left of one budget (10
// seconds for a whole command), counted only while a call is outstanding, never while a question
// of ours is open. The window's calls run on the program's own thread pool and report back
// through the event loop; the command line's run where they are asked for.
#pragma once

#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>

#include "printers/deadline.h"

class QThreadPool;

namespace quarzello {

class ServiceWaiter {
  public:
    explicit ServiceWaiter(qint64 budgetMs) : leftMs_(budgetMs) {}
    virtual ~ServiceWaiter() = default;
    ServiceWaiter(const ServiceWaiter&) = delete;
    ServiceWaiter& operator=(const ServiceWaiter&) = delete;

    // Makes the call and hands its result to `then` (the result says itself when the service did
    // not answer in time); nothing when the waiting stopped before the call came back: the call
    // overran its deadline, or the waiting was given up (givenUp()).
    template <typename T>
    void call(std::function<T(Deadline&)> work, std::function<void(std::optional<T>)> then) {
        auto slot = std::make_shared<std::optional<T>>();
        execute([work = std::move(work), slot](Deadline& deadline) { *slot = work(deadline); },
                [slot, then = std::move(then)](bool answered) {
                    then(answered ? std::move(*slot) : std::optional<T>());
                });
    }

    // A job's document has reached the service during this command: a silence from then on
    // may hide a job that prints.
    bool documentSent() const { return documentSent_; }
    // The one waiting gave up (the user, or the window closing): the command ends telling nothing.
    bool givenUp() const { return givenUp_; }
    // Gives up at once: the call outstanding is told to give up too, and reports nothing.
    virtual void giveUp() { givenUp_ = true; }

  protected:
    using Work = std::function<void(Deadline&)>;
    using Done = std::function<void(bool answered)>;
    // Runs the work within the budget left and calls done, once, when it came back (true) or the
    // waiting stopped (false).
    virtual void execute(Work work, Done done) = 0;
    // A deadline for the next call, from the budget left.
    std::shared_ptr<Deadline> nextDeadline() const;
    // What a call that ended took from the budget and the talk time, and what it did.
    void account(const Deadline& deadline);

    qint64 leftMs_;
    qint64 talkLeftMs_ = Deadline::kTalkMs;
    bool documentSent_ = false;
    bool givenUp_ = false;
};

// Waits right where it is called: for the command line, where nothing else needs to go on.
class DirectWaiter final : public ServiceWaiter {
  public:
    using ServiceWaiter::ServiceWaiter;

    // The call's result, there and then.
    template <typename T>
    std::optional<T> run(std::function<T(Deadline&)> work) {
        std::optional<T> result;
        call<T>(std::move(work),
                [&result](std::optional<T> answer) { result = std::move(answer); });
        return result;
    }

  protected:
    void execute(Work work, Done done) override;
};

// Runs each call on the pool and reports back through the caller's event loop, which meanwhile
// goes on (the window repaints and answers). One call at a time. The pool must outlive every
// call started on it (the process waits for it before the printer system goes).
class BackgroundWaiter final : public ServiceWaiter {
  public:
    BackgroundWaiter(qint64 budgetMs, QThreadPool& pool);
    // A call still outstanding is given up, and reports nothing.
    ~BackgroundWaiter() override;
    void giveUp() override;

  protected:
    void execute(Work work, Done done) override;

  private:
    void finish(bool answered);

    QThreadPool& pool_;
    QObject context_;  // owns the watcher of the call outstanding
    QTimer backstop_;
    std::shared_ptr<Deadline> deadline_;  // of the call outstanding, if any
    Done done_;
    quint64 calls_ = 0;
};

}  // namespace quarzello
