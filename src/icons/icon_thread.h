// The icon thread and the two queues it shares with the launcher. Loading an
// icon can take seconds (the shell extracts it, a site is slow), so the
// launcher only queues requests and files results; this thread does the rest.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "win/types.h"

namespace icons {

enum class IconKind : std::uint64_t { App = 0, Site = 1 };

struct IconRequest {
    IconKind kind = IconKind::App;
    std::string value;  // the app id, or the site's lower-case host
    std::string key;    // handed back unchanged with the result
    friend bool operator==(const IconRequest&, const IconRequest&) = default;
};

// What a loader made of one request. The image is null when nothing was found.
struct IconLoad {
    bool found = false;
    win::ImageHandle image;
    friend bool operator==(const IconLoad&, const IconLoad&) = default;
};

struct IconResult {
    bool found = false;
    win::ImageHandle image;  // owned by whoever takes the result
    std::string key;
    friend bool operator==(const IconResult&, const IconResult&) = default;
};

// Each array has its own mutex, held only to append or take out; no code
// holds both.
struct IconQueues {
    std::mutex request_mutex;
    std::vector<IconRequest> request_queue;
    std::mutex result_mutex;
    std::vector<IconResult> result_queue;
};

// Parks the icon thread. A wake that comes while the thread is still busy is
// kept, and the next park returns at once, so a request queued between the
// thread's last look at the queue and its park is never slept through.
class WakeToken {
  public:
    void park();
    void wake();

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool woken_ = false;
};

// What the icon thread does, supplied by whoever starts it.
struct IconWork {
    std::function<void()> begin;                       // once, on the thread, before anything else
    std::function<IconLoad(const IconRequest&)> load;  // one request, with no lock held
    std::function<void()> ready;                       // after every result, found or not
};

// The thread's body: serves the newest request first, parks when there is
// none, and returns once it holds the only reference to the queues.
void run_icon_thread(std::shared_ptr<IconQueues> queues, std::shared_ptr<WakeToken> token, IconWork work);

// The launcher's end of the icon thread: its reference to the queues and the
// means to wake the thread. Dropping it lets the thread end.
class IconThread {
  public:
    IconThread(std::shared_ptr<IconQueues> queues, std::shared_ptr<WakeToken> token);
    IconThread(IconThread&&) noexcept = default;
    IconThread& operator=(IconThread&&) noexcept;
    IconThread(const IconThread&) = delete;
    IconThread& operator=(const IconThread&) = delete;
    ~IconThread();

    // Queues one request and wakes the thread.
    void request(IconRequest request);
    // Every result so far, oldest first; the queue is left empty.
    std::vector<IconResult> take_results();

  private:
    void release();
    std::shared_ptr<IconQueues> queues_;
    std::shared_ptr<WakeToken> token_;
};

// Starts the icon thread, which is never joined: it ends on its own after
// the returned end is dropped, or with the process. Nothing when the system
// will not make another thread.
std::optional<IconThread> start_icon_thread(IconWork work);

}  // namespace icons
