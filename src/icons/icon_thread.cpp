#include "icons/icon_thread.h"

#include <system_error>
#include <thread>
#include <utility>

namespace icons {

void WakeToken::park() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return woken_; });
    woken_ = false;
}

void WakeToken::wake() {
    {
        std::lock_guard lock(mutex_);
        woken_ = true;
    }
    changed_.notify_one();
}

void run_icon_thread(std::shared_ptr<IconQueues> queues, std::shared_ptr<WakeToken> token, IconWork work) {
    if (work.begin) work.begin();
    for (;;) {
        // Alone with the queues: the launcher is gone and nobody will ask again.
        if (queues.use_count() == 1) return;
        std::optional<IconRequest> next;
        {
            std::lock_guard lock(queues->request_mutex);
            if (!queues->request_queue.empty()) {
                next = std::move(queues->request_queue.back());
                queues->request_queue.pop_back();
            }
        }
        if (!next) {
            token->park();
            continue;
        }
        const IconLoad load = work.load(*next);
        {
            std::lock_guard lock(queues->result_mutex);
            queues->result_queue.push_back(IconResult{load.found, load.image, std::move(next->key)});
        }
        if (work.ready) work.ready();
    }
}

IconThread::IconThread(std::shared_ptr<IconQueues> queues, std::shared_ptr<WakeToken> token)
    : queues_(std::move(queues)), token_(std::move(token)) {}

IconThread& IconThread::operator=(IconThread&& other) noexcept {
    if (this != &other) {
        release();
        queues_ = std::move(other.queues_);
        token_ = std::move(other.token_);
    }
    return *this;
}

IconThread::~IconThread() { release(); }

void IconThread::release() {
    if (!queues_) return;
    // The reference goes first, so that the woken thread finds itself alone.
    queues_.reset();
    token_->wake();
    token_.reset();
}

void IconThread::request(IconRequest request) {
    std::lock_guard lock(queues_->request_mutex);
    queues_->request_queue.push_back(std::move(request));
    token_->wake();
}

std::vector<IconResult> IconThread::take_results() {
    std::lock_guard lock(queues_->result_mutex);
    return std::exchange(queues_->result_queue, {});
}

std::optional<IconThread> start_icon_thread(IconWork work) {
    auto queues = std::make_shared<IconQueues>();
    auto token = std::make_shared<WakeToken>();
    try {
        std::thread(run_icon_thread, queues, token, std::move(work)).detach();
    } catch (const std::system_error&) {
        return std::nullopt;
    }
    return IconThread(std::move(queues), std::move(token));
}

}  // namespace icons
