// How long a command may wait on the print service, and a way for the one waiting to give up
// early. What a slow service costs is told apart from what a silent one costs: the service may
// pause inside a reply, or while it takes a document, for up to kFreeGapMs without any of the
// budget being spent; a longer silence is charged in full; and one command talks to the service
// for at most kTalkMs, however it trickles.
//
// What the one waiting must do, for each call on the print service:
//  - make one Deadline for the call, from what is left of the command's budget and of its talk
//    time: Deadline(budgetLeftMs, talkLeftMs);
//  - when the command already handed a job's whole document over, say so before the call
//    (noteDocumentSent()), so that a silence is told as "may still print";
//  - run the call on a thread of its own, never the window's; to stop waiting (the window
//    closes, or the user gives up) call giveUp(), from any thread: the call's connection is shut
//    down, its connect and its pauses are cut short, and the call returns at once;
//  - keep the Deadline alive until the call has returned, also after giveUp();
//  - afterwards take chargedMs() off the budget and talkedMs() off the talk time.
#pragma once

#include <QElapsedTimer>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>

namespace quarzello {

class Deadline {
  public:
    // A pause of the service this long inside a reply or a document is not charged.
    static constexpr qint64 kFreeGapMs = 2000;
    // The longest a whole command talks to the service.
    static constexpr qint64 kTalkMs = 30000;

    explicit Deadline(qint64 budgetMs, qint64 talkMs = kTalkMs);
    Deadline(const Deadline&) = delete;
    Deadline& operator=(const Deadline&) = delete;

    // The budget is spent, the talk time is up, or the one waiting gave up.
    bool passed() const;
    bool givenUp() const { return givenUp_.load(); }
    // What is left of the budget, and of the talk time.
    qint64 remainingMs() const;
    // How long one wait on the service may last: a silence that long spends the budget, but
    // never less than the free gap, nor more than the talk time left.
    qint64 silenceAllowedMs() const;
    // What the call cost the command's budget: its silences and connecting.
    qint64 chargedMs() const { return charged_.load(); }
    // How long the call talked to the service (its pauses between looks left out).
    qint64 talkedMs() const { return talk_.elapsed() - paused_.load(); }

    // The service was silent this long, or a connect took this long: spent from the budget.
    void charge(qint64 milliseconds) { charged_ += milliseconds; }
    // Waits this long, doing nothing with the service; false (at once) when given up.
    bool pause(qint64 milliseconds);

    // The one waiting stops waiting: the call in flight is interrupted. A document not noted as
    // sent by then never will be: the one waiting has told the user that nothing was printed.
    void giveUp();
    // While a connection is open: how to cut its wait short at giveUp(); empty when it closes.
    // Run at once when the call was given up already.
    void setInterrupt(std::function<void()> interrupt);
    // The cancel flag of a connect, raised at giveUp().
    int* connectCancel() { return &cancel_; }

    // A job's document has reached the print service whole: from then on the job may print
    // even when the service stops answering before it confirms. False when the one waiting
    // gave up first: the job must then not be finished.
    bool noteDocumentSent() {
        int open = kOpen;
        return document_.compare_exchange_strong(open, kSent) || open == kSent;
    }
    bool documentSent() const { return document_.load() == kSent; }

  private:
    const qint64 budgetMs_;
    const qint64 talkMs_;
    QElapsedTimer talk_;
    std::atomic<qint64> charged_{0};
    std::atomic<qint64> paused_{0};
    std::atomic<bool> givenUp_{false};
    int cancel_ = 0;  // read by libcups as a plain int; written through an atomic_ref
    std::mutex lock_;
    std::condition_variable wake_;
    std::function<void()> interrupt_;
    static constexpr int kOpen = 0, kSent = 1, kTooLate = 2;
    std::atomic<int> document_{kOpen};
};

}  // namespace quarzello
