// Waiting on the print service: in place, or on a thread of its own with the event loop going.
#include "app/servicewaiter.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

namespace quarzello {

namespace {

constexpr qint64 kCommandBudgetMs = 10000;

// Threads whose caller stopped waiting. Each ends soon after its deadline, as the service calls
// give up then; they are joined when done, and all of them before the program ends.
struct Abandoned {
    std::thread thread;
    std::shared_ptr<std::atomic<bool>> done;
};
// Detaches whatever is left when the program ends regardless, rather than end it abruptly.
struct AbandonedList : std::vector<Abandoned> {
    ~AbandonedList() {
        for (Abandoned& left : *this)
            if (left.thread.joinable()) left.thread.detach();
    }
};
std::mutex abandonedLock;
AbandonedList abandoned;

void joinFinished() {
    const std::lock_guard<std::mutex> hold(abandonedLock);
    for (auto it = abandoned.begin(); it != abandoned.end();) {
        if (it->done->load()) {
            it->thread.join();
            it = abandoned.erase(it);
        } else {
            ++it;
        }
    }
}

// Runs the event loop until `finished` says so, checking every few milliseconds.
void keepAnswering(const std::function<bool()>& finished) {
    if (finished()) return;
    QEventLoop loop;
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, &loop, [&] {
        if (finished()) loop.quit();
    });
    look.start(5);
    loop.exec();
}

}  // namespace

qint64 ServiceWaiter::commandBudgetMs() {
    bool ok = false;
    const qint64 ms = qEnvironmentVariableIntValue("QUARZELLO_SERVICE_WAIT_MS", &ok);
    return ok && ms > 0 ? ms : kCommandBudgetMs;
}

bool DirectWaiter::execute(std::shared_ptr<Task> task) {
    Deadline deadline(std::max<qint64>(leftMs_, 0), std::max<qint64>(talkLeftMs_, 0));
    if (documentSent_) deadline.noteDocumentSent();
    task->run(deadline);
    leftMs_ -= deadline.chargedMs();
    talkLeftMs_ -= deadline.talkedMs();
    documentSent_ = deadline.documentSent();
    return true;
}

void DirectWaiter::pause(int milliseconds) { QThread::msleep(milliseconds); }

bool BackgroundWaiter::execute(std::shared_ptr<Task> task) {
    joinFinished();
    if (givenUp_ || stop_()) {
        givenUp_ = true;
        return false;
    }
    auto deadline =
        std::make_shared<Deadline>(std::max<qint64>(leftMs_, 0), std::max<qint64>(talkLeftMs_, 0));
    // Once a document went to the service, every later silence may hide a printing job.
    if (documentSent_) deadline->noteDocumentSent();
    auto done = std::make_shared<std::atomic<bool>>(false);
    std::thread worker([task, deadline, done] {
        task->run(*deadline);
        done->store(true);
    });
    keepAnswering([&] { return done->load() || deadline->passed() || stop_(); });
    leftMs_ -= deadline->chargedMs();
    talkLeftMs_ -= deadline->talkedMs();

    if (done->load()) {
        // Came back in time, or said itself that the service did not answer.
        worker.join();
        documentSent_ = deadline->documentSent();
        return true;
    }
    givenUp_ = stop_();
    deadline->giveUp();
    documentSent_ = deadline->documentSent();
    const std::lock_guard<std::mutex> hold(abandonedLock);
    abandoned.push_back({std::move(worker), done});
    return false;
}

void BackgroundWaiter::pause(int milliseconds) {
    const QDeadlineTimer until(milliseconds);
    keepAnswering([&] { return until.hasExpired() || stop_(); });
    if (stop_()) givenUp_ = true;
}

void BackgroundWaiter::finishAbandoned(int timeoutMs) {
    const QDeadlineTimer until(timeoutMs);
    for (;;) {
        joinFinished();
        {
            const std::lock_guard<std::mutex> hold(abandonedLock);
            if (abandoned.empty()) return;
            if (until.hasExpired()) {
                // Stuck in the system beyond all reason: let the process end without it.
                for (Abandoned& left : abandoned) left.thread.detach();
                abandoned.clear();
                return;
            }
        }
        QThread::msleep(10);
    }
}

}  // namespace quarzello
