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
    void giveUp() { givenUp_.store(true); }

    // A job's document has reached the print service whole: from then on the job may print
    // even when the service stops answering before it confirms.
    void noteDocumentSent() { documentSent_.store(true); }
    bool documentSent() const { return documentSent_.load(); }

  private:
    QDeadlineTimer timer_;
    std::atomic<bool> givenUp_{false};
    std::atomic<bool> documentSent_{false};
};

}  // namespace quarzello
