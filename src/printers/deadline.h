// How long a command may wait on the print service, counted once for the whole command, and a
// way for the one waiting to give up early. A call that waits on the service, on a thread of
// its own, gives up as soon as the deadline has passed.
#pragma once

#include <QDeadlineTimer>
#include <atomic>

namespace quarzello {

class Deadline {
  public:
    explicit Deadline(qint64 milliseconds) : timer_(milliseconds) {}

    // The time is up, or the one waiting gave up.
    bool passed() const { return givenUp_.load() || timer_.hasExpired(); }
    qint64 remainingMs() const { return passed() ? 0 : timer_.remainingTime(); }
    // The one waiting stops waiting. A document not noted as sent by then never will be: the
    // one waiting has told the user that nothing went to the printer.
    void giveUp() {
        givenUp_.store(true);
        int open = kOpen;
        document_.compare_exchange_strong(open, kTooLate);
    }

    // A job's document has reached the print service whole: from then on the job may print
    // even when the service stops answering before it confirms. False when the one waiting
    // gave up first: the job must then not be finished.
    bool noteDocumentSent() {
        int open = kOpen;
        return document_.compare_exchange_strong(open, kSent) || open == kSent;
    }
    bool documentSent() const { return document_.load() == kSent; }

  private:
    QDeadlineTimer timer_;
    std::atomic<bool> givenUp_{false};
    static constexpr int kOpen = 0, kSent = 1, kTooLate = 2;
    std::atomic<int> document_{kOpen};
};

}  // namespace quarzello
