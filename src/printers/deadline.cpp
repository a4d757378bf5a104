// The time a call may wait on the print service, and giving it up from another thread.
#include "printers/deadline.h"

#include <algorithm>

namespace quarzello {

Deadline::Deadline(qint64 budgetMs, qint64 talkMs)
    : budgetMs_(std::max<qint64>(budgetMs, 0)), talkMs_(std::max<qint64>(talkMs, 0)) {
    talk_.start();
}

bool Deadline::passed() const {
    return givenUp_.load() || charged_.load() >= budgetMs_ || talkedMs() >= talkMs_;
}

qint64 Deadline::remainingMs() const {
    if (passed()) return 0;
    return std::min(budgetMs_ - charged_.load(), talkMs_ - talkedMs());
}

qint64 Deadline::silenceAllowedMs() const {
    if (passed()) return 0;
    return std::min(std::max(budgetMs_ - charged_.load(), kFreeGapMs + 100), talkMs_ - talkedMs());
}

bool Deadline::pause(qint64 milliseconds) {
    QElapsedTimer took;
    took.start();
    std::unique_lock<std::mutex> hold(lock_);
    wake_.wait_for(hold, std::chrono::milliseconds(std::max<qint64>(milliseconds, 0)),
                   [this] { return givenUp_.load(); });
    paused_ += took.elapsed();
    return !givenUp_.load();
}

void Deadline::giveUp() {
    std::lock_guard<std::mutex> hold(lock_);
    givenUp_.store(true);
    std::atomic_ref<int>(cancel_).store(1);
    int open = kOpen;
    document_.compare_exchange_strong(open, kTooLate);
    if (interrupt_) interrupt_();
    wake_.notify_all();
}

void Deadline::setInterrupt(std::function<void()> interrupt) {
    std::lock_guard<std::mutex> hold(lock_);
    interrupt_ = std::move(interrupt);
    if (interrupt_ && givenUp_.load()) interrupt_();
}

}  // namespace quarzello
