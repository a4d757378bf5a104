// How a command waits on the print service: every call gets what is left of one budget
// (10 seconds for a whole command), counted only while the service is being waited on, not
// while the user answers a question. The window waits on a thread of its own so that it goes
// on repainting and answering; the command line simply waits.
#pragma once

#include <functional>
#include <memory>
#include <optional>

#include "printers/deadline.h"

namespace quarzello {

class ServiceWaiter {
  public:
    explicit ServiceWaiter(qint64 budgetMs) : leftMs_(budgetMs) {}
    virtual ~ServiceWaiter() = default;

    // The budget of a whole command: 10 seconds, or QUARZELLO_SERVICE_WAIT_MS for tests.
    static qint64 commandBudgetMs();

    // Makes the call and gives its result (which says itself when the service did not answer in
    // time); nothing when the waiting stopped before the call came back: the budget ran out
    // while the call was stuck, or the waiting was given up (givenUp()).
    template <typename T>
    std::optional<T> run(std::function<T(Deadline&)> call) {
        auto task = std::make_shared<TaskOf<T>>(std::move(call));
        if (!execute(task)) return std::nullopt;
        return std::move(task->result);
    }

    // Waits this long between two looks at a job, the window still answering.
    virtual void pause(int milliseconds) = 0;
    // A job's document has reached the service during this command: a silence from then on
    // may hide a job that prints.
    bool documentSent() const { return documentSent_; }
    // The one waiting gave up (the window is closing): the command ends telling nothing.
    virtual bool givenUp() const { return false; }

  protected:
    struct Task {
        virtual ~Task() = default;
        virtual void run(Deadline& deadline) = 0;
    };
    template <typename T>
    struct TaskOf final : Task {
        explicit TaskOf(std::function<T(Deadline&)> call) : call(std::move(call)) {}
        void run(Deadline& deadline) override { result = call(deadline); }
        std::function<T(Deadline&)> call;
        std::optional<T> result;
    };

    // Runs the task within the budget left; true when it ended in time.
    virtual bool execute(std::shared_ptr<Task> task) = 0;

    qint64 leftMs_;
    qint64 talkLeftMs_ = Deadline::kTalkMs;
    bool documentSent_ = false;
};

// Waits right where it is called: for the command line, where nothing else needs to go on.
class DirectWaiter final : public ServiceWaiter {
  public:
    using ServiceWaiter::ServiceWaiter;
    void pause(int milliseconds) override;

  protected:
    bool execute(std::shared_ptr<Task> task) override;
};

// Waits on a thread of its own while the caller's event loop goes on (the window repaints and
// answers); `stop` says when to give up at once. A call given up goes on in the background
// until the service calls notice their deadline, and is then joined.
class BackgroundWaiter final : public ServiceWaiter {
  public:
    BackgroundWaiter(qint64 budgetMs, std::function<bool()> stop)
        : ServiceWaiter(budgetMs), stop_(std::move(stop)) {}
    void pause(int milliseconds) override;
    bool givenUp() const override { return givenUp_; }

    // Waits (at most timeoutMs) for the calls given up earlier to end; before the program ends.
    static void finishAbandoned(int timeoutMs);

  protected:
    bool execute(std::shared_ptr<Task> task) override;

  private:
    std::function<bool()> stop_;
    bool givenUp_ = false;
};

}  // namespace quarzello
