// Waiting on the print service: in place, or on the pool with the event loop going.
#include "flows/servicewaiter.h"

#include <QFutureWatcher>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>
#include <climits>

namespace quarzello {

namespace {

// A call gives up by itself at its deadline; this much later the waiting stops regardless, for
// a call stuck where it cannot be interrupted.
constexpr qint64 kBackstopGraceMs = 2000;

}  // namespace

std::shared_ptr<Deadline> ServiceWaiter::nextDeadline() const {
    auto deadline =
        std::make_shared<Deadline>(std::max<qint64>(leftMs_, 0), std::max<qint64>(talkLeftMs_, 0));
    // Once a document went to the service, every later silence may hide a printing job.
    if (documentSent_) deadline->noteDocumentSent();
    return deadline;
}

void ServiceWaiter::account(const Deadline& deadline) {
    leftMs_ -= deadline.chargedMs();
    talkLeftMs_ -= deadline.talkedMs();
    documentSent_ = deadline.documentSent();
}

void DirectWaiter::execute(Work work, Done done) {
    if (givenUp_) {
        done(false);
        return;
    }
    const std::shared_ptr<Deadline> deadline = nextDeadline();
    work(*deadline);
    account(*deadline);
    done(true);
}

BackgroundWaiter::BackgroundWaiter(qint64 budgetMs, QThreadPool& pool)
    : ServiceWaiter(budgetMs), pool_(pool) {
    backstop_.setSingleShot(true);
    QObject::connect(&backstop_, &QTimer::timeout, &context_, [this] { finish(false); });
}

BackgroundWaiter::~BackgroundWaiter() {
    // The call goes on on the pool until it notices, holding only what it was given.
    if (deadline_) deadline_->giveUp();
}

void BackgroundWaiter::execute(Work work, Done done) {
    if (givenUp_) {
        done(false);
        return;
    }
    deadline_ = nextDeadline();
    done_ = std::move(done);
    std::shared_ptr<Deadline> deadline = deadline_;
    auto* watcher = new QFutureWatcher<void>(&context_);
    QObject::connect(watcher, &QFutureWatcher<void>::finished, &context_,
                     [this, watcher, call = ++calls_] {
                         watcher->deleteLater();
                         // A call given up on earlier comes back too late to count.
                         if (deadline_ && calls_ == call) finish(true);
                     });
    // A slow service may keep a call going past the budget, never past the talk time.
    backstop_.start(int(std::clamp<qint64>(talkLeftMs_ + kBackstopGraceMs, 0, INT_MAX)));
    watcher->setFuture(
        QtConcurrent::run(&pool_, [work = std::move(work), deadline] { work(*deadline); }));
}

void BackgroundWaiter::finish(bool answered) {
    backstop_.stop();
    // A call given up on must not finish a document once the user has been told it was not sent.
    if (!answered) deadline_->giveUp();
    account(*deadline_);
    deadline_.reset();
    Done done = std::move(done_);
    done_ = nullptr;
    done(answered);
}

void BackgroundWaiter::giveUp() {
    ServiceWaiter::giveUp();
    if (deadline_) finish(false);
}

}  // namespace quarzello
