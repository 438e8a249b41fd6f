#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "icons/icon_thread.h"

namespace {

using namespace std::chrono_literals;
using icons::IconKind;
using icons::IconRequest;

// What the fake loader was asked and how often the thread said a result was
// ready, with a gate that holds the loader inside a load.
struct Log {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::string> loaded;
    std::size_t ready = 0;
    bool gate_open = true;

    // Whether the condition came true before the deadline.
    template <typename Condition>
    bool wait(Condition condition) {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, 10s, [&] { return condition(*this); });
    }
    void open_gate() {
        std::lock_guard lock(mutex);
        gate_open = true;
        changed.notify_all();
    }
};

// A loader that finds every value but "missing", each with an image of its own.
icons::IconWork fake_work(std::shared_ptr<Log> log, std::shared_ptr<int> alive = nullptr) {
    icons::IconWork work;
    work.begin = [alive] {};
    work.load = [log](const IconRequest& r) {
        std::unique_lock lock(log->mutex);
        log->loaded.push_back(r.value);
        log->changed.notify_all();
        log->changed.wait(lock, [&] { return log->gate_open; });
        if (r.value == "missing") return icons::IconLoad{};
        return icons::IconLoad{true, win::ImageHandle{0x100 + log->loaded.size()}};
    };
    work.ready = [log] {
        std::lock_guard lock(log->mutex);
        ++log->ready;
        log->changed.notify_all();
    };
    return work;
}

IconRequest app(const std::string& id) { return {IconKind::App, id, "app:" + id}; }

TEST(IconThread, ServesTheNewestRequestFirstAndAnswersEveryOne) {
    auto log = std::make_shared<Log>();
    log->gate_open = false;
    auto thread = icons::start_icon_thread(fake_work(log));
    ASSERT_TRUE(thread);

    thread->request(app("first"));
    ASSERT_TRUE(log->wait([](Log& l) { return l.loaded.size() == 1; }));
    // Queued while the thread is busy with the first.
    thread->request(app("older"));
    thread->request(app("missing"));
    thread->request(app("newest"));
    log->open_gate();
    ASSERT_TRUE(log->wait([](Log& l) { return l.ready == 4; }));

    EXPECT_EQ(log->loaded, (std::vector<std::string>{"first", "newest", "missing", "older"}));
    const std::vector<icons::IconResult> expected = {
        {true, win::ImageHandle{0x101}, "app:first"},
        {true, win::ImageHandle{0x102}, "app:newest"},
        {false, win::ImageHandle{}, "app:missing"},
        {true, win::ImageHandle{0x104}, "app:older"},
    };
    EXPECT_EQ(thread->take_results(), expected);
    EXPECT_TRUE(thread->take_results().empty());
}

// Takes results out as they come until there are `total`; false when they stop coming.
bool take_until(icons::IconThread& thread, std::size_t& taken, std::size_t total) {
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (taken < total && std::chrono::steady_clock::now() < deadline) {
        taken += thread.take_results().size();
        std::this_thread::yield();
    }
    return taken == total;
}

TEST(IconThread, EveryRequestIsServedWhetherTheThreadIsParkedOrBusy) {
    auto log = std::make_shared<Log>();
    auto thread = icons::start_icon_thread(fake_work(log));
    ASSERT_TRUE(thread);
    // Each request goes in as soon as the last result is out, after a pause
    // that varies, so that over the rounds some land between the thread's
    // last look at the empty queue and its park.
    std::size_t taken = 0;
    for (std::size_t i = 1; i <= 500; ++i) {
        std::atomic<std::size_t> spin = 0;
        while (spin.fetch_add(1, std::memory_order_relaxed) < (i * 37) % 2000) {
        }
        thread->request(app(std::to_string(i)));
        ASSERT_TRUE(take_until(*thread, taken, i)) << "request " << i << " was never served";
    }
    // A burst, taken out while the thread is still adding to it.
    for (std::size_t i = 0; i < 300; ++i) thread->request(app("burst"));
    ASSERT_TRUE(take_until(*thread, taken, 800));
    std::lock_guard lock(log->mutex);
    EXPECT_EQ(log->ready, 800u);
}

TEST(IconThread, AWakeBeforeTheParkIsKept) {
    auto token = std::make_shared<icons::WakeToken>();
    auto parked = std::make_shared<std::promise<void>>();
    auto returned = parked->get_future();
    // As when a request comes between the thread's look at the empty queue and its park.
    token->wake();
    std::thread([token, parked] {
        token->park();
        parked->set_value();
    }).detach();
    EXPECT_EQ(returned.wait_for(10s), std::future_status::ready);
}

TEST(IconThread, EndsOnceTheLauncherEndIsDropped) {
    for (const bool busy : {false, true}) {
        auto log = std::make_shared<Log>();
        auto alive = std::make_shared<int>(0);
        const std::weak_ptr<int> watch = alive;
        log->gate_open = !busy;
        auto thread = icons::start_icon_thread(fake_work(log, std::move(alive)));
        ASSERT_TRUE(thread);
        thread->request(app("one"));
        ASSERT_TRUE(log->wait([](Log& l) { return l.loaded.size() == 1; }));
        if (!busy) {
            ASSERT_TRUE(log->wait([](Log& l) { return l.ready == 1; }));
        }

        thread.reset();
        log->open_gate();
        // The work (and what it holds) goes when the thread's body returns.
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        while (!watch.expired() && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(1ms);
        EXPECT_TRUE(watch.expired()) << (busy ? "busy" : "parked");
        std::lock_guard lock(log->mutex);
        EXPECT_EQ(log->ready, 1u) << (busy ? "busy" : "parked");
    }
}

}  // namespace
