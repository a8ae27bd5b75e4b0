#include "parallel.h"

#include <sched.h>
#include <sys/mman.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <new>
#include <stdexcept>
#include <thread>
#include <vector>

namespace yrb {

namespace {

constexpr unsigned kMaxWorkers = 256;
// How often the calling thread looks at the workers' counts: often enough
// that a Cancel is seen as soon as in the single-thread code.
constexpr auto kWatchInterval = std::chrono::milliseconds(1);
// The thresholds of PollInterrupt and PollAnimation.
constexpr uint32_t kPollAsksAbove = 10000;
constexpr uint32_t kAnimateAbove = 30000;

unsigned g_testThreads = 0;
uint32_t g_testMinEntries = kParallelMinEntries;

unsigned CoresAvailable() {
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof set, &set) != 0) return 1;
    const int n = CPU_COUNT(&set);
    return n > 0 ? static_cast<unsigned>(n) : 1;
}

// The shared counter of a poll kind: n polls at once, calling back at every
// point where one poll of them would.
template <class Call>
bool CountPolls(uint32_t& counter, uint32_t above, uint64_t n, Call call) {
    while (n > 0) {
        // Polls up to and including the next one that calls back.
        const uint64_t until = counter > above ? 1 : uint64_t(above) + 1 - counter + 1;
        if (n < until) {
            counter += static_cast<uint32_t>(n);
            return false;
        }
        n -= until;
        counter = 0;
        if (call()) return true;
    }
    return false;
}

}  // namespace

class PassState {
public:
    std::atomic<uint64_t> polls{0};
    std::atomic<uint64_t> progress{0};
    std::atomic<bool> stop{false};
    std::atomic<bool> noMemory{false};
    std::atomic<bool> failed{false};

    void Finished() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            ++finished_;
        }
        done_.notify_one();
    }
    // True when every worker has finished.
    bool Wait(unsigned workers) {
        std::unique_lock<std::mutex> lock(mutex_);
        return done_.wait_for(lock, kWatchInterval, [&] { return finished_ == workers; });
    }

private:
    std::mutex mutex_;
    std::condition_variable done_;
    unsigned finished_ = 0;
};

Worker::~Worker() {
    pass_.polls.fetch_add(polls_, std::memory_order_relaxed);
    pass_.progress.fetch_add(progress_, std::memory_order_relaxed);
}

bool Worker::Publish() {
    pass_.polls.fetch_add(polls_, std::memory_order_relaxed);
    pass_.progress.fetch_add(progress_, std::memory_order_relaxed);
    polls_ = 0;
    progress_ = 0;
    return !pass_.stop.load(std::memory_order_relaxed);
}

bool Worker::Stopping() const { return pass_.stop.load(std::memory_order_relaxed); }

unsigned WorkerCount() {
    if (g_testThreads != 0) return g_testThreads;
    if (const char* pinned = std::getenv(kThreadsVariable)) {
        char* end = nullptr;
        const long n = std::strtol(pinned, &end, 10);
        if (end != pinned && *end == '\0' && n >= 1) return n > long(kMaxWorkers) ? kMaxWorkers : unsigned(n);
    }
    const unsigned cores = CoresAvailable();
    return cores > kMaxWorkers ? kMaxWorkers : cores;
}

unsigned WorkersFor(uint64_t entries) {
    if (entries < g_testMinEntries || entries < 2) return 1;
    return WorkerCount();
}

void SetParallelForTesting(unsigned threads, uint32_t minEntries) {
    g_testThreads = threads;
    g_testMinEntries = minEntries;
}

void ResetParallelForTesting() { SetParallelForTesting(0, kParallelMinEntries); }

bool PollMany(const Table* t, uint64_t n) {
    return CountPolls(g_pollCounter, kPollAsksAbove, n,
                      [t] { return t && t->check_interrupt && t->check_interrupt(0) != 0; });
}

void AnimateMany(const Table* t, uint64_t n) {
    CountPolls(g_animCounter, kAnimateAbove, n, [t] {
        if (t && t->animate) t->animate(0, 0);
        return false;
    });
}

void AskHugePages(void* p, size_t bytes) {
#ifdef MADV_HUGEPAGE
    constexpr uintptr_t kHuge = 2u << 20;
    if (p == nullptr || bytes < 4 * kHuge) return;
    const uintptr_t start = (reinterpret_cast<uintptr_t>(p) + kHuge - 1) & ~(kHuge - 1);
    const uintptr_t end = (reinterpret_cast<uintptr_t>(p) + bytes) & ~(kHuge - 1);
    if (end > start) ::madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
#else
    (void)p;
    (void)bytes;
#endif
}

bool PollAndStep(const Table* t, ProgressStep& step, uint32_t from, uint32_t to) {
    uint64_t p = from;
    while (p < to) {
        const uint64_t asks = p + (g_pollCounter > kPollAsksAbove ? 0 : kPollAsksAbove + 1 - g_pollCounter);
        const uint64_t reports = step.next > p ? step.next : p;
        const uint64_t event = std::min<uint64_t>({asks, reports, to});
        g_pollCounter += static_cast<uint32_t>(event - p);
        p = event;
        if (p == to) break;
        if (PollInterrupt(t)) return true;
        step(static_cast<uint32_t>(p));
        ++p;
    }
    return false;
}

int32_t RunWorkers(unsigned workers, const Watch& watch, const std::function<void(Worker&)>& body) {
    if (workers == 0) workers = 1;
    PassState pass;
    std::vector<std::thread> threads;
    threads.reserve(workers);
    auto joinAll = [&] {
        for (std::thread& th : threads) th.join();
    };
    try {
        for (unsigned w = 0; w < workers; ++w) {
            threads.emplace_back([&pass, &body, w, workers] {
                try {
                    Worker worker(pass, w, workers);
                    body(worker);
                } catch (const WorkerStopped&) {
                } catch (const std::bad_alloc&) {
                    pass.noMemory = true;
                    pass.stop = true;
                } catch (...) {
                    pass.failed = true;
                    pass.stop = true;
                }
                pass.Finished();
            });
        }
    } catch (...) {
        // No thread to be had: the ones started are told to end.
        pass.stop = true;
        joinAll();
        throw std::bad_alloc();
    }

    uint64_t seen = 0;
    bool stopped = false;
    for (;;) {
        const bool all = pass.Wait(workers);
        if (!stopped && watch.onWake) watch.onWake();
        if (!stopped) {
            const uint64_t polls = pass.polls.load(std::memory_order_relaxed);
            if (watch.step) (*watch.step)(static_cast<uint32_t>(watch.base + pass.progress.load(std::memory_order_relaxed)));
            const uint64_t fresh = polls - seen;
            seen = polls;
            if (PollMany(watch.t, fresh)) {
                stopped = true;
                pass.stop = true;
            } else if (watch.animate) {
                AnimateMany(watch.t, fresh);
            }
        }
        if (all) break;
    }
    joinAll();
    if (pass.noMemory) throw std::bad_alloc();
    if (pass.failed) throw std::runtime_error("worker failed");
    return stopped ? YRB_STOPPED : 1;
}

bool OrderedSlots::Take(uint64_t blocks, uint64_t& block, const Worker& w) {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        if (next_ >= blocks) return false;
        if (next_ < consumed_ + ready_.size()) {
            block = next_++;
            return true;
        }
        if (w.Stopping()) throw WorkerStopped{};
        free_.wait_for(lock, kWatchInterval);
    }
}

void OrderedSlots::Filled(uint64_t block) {
    std::lock_guard<std::mutex> lock(mutex_);
    ready_[block % ready_.size()] = 1;
}

uint64_t OrderedSlots::ReadyRun(uint64_t& first) {
    std::lock_guard<std::mutex> lock(mutex_);
    first = consumed_;
    uint64_t n = 0;
    while (n < ready_.size() && ready_[(first + n) % ready_.size()]) ++n;
    return n;
}

void OrderedSlots::Consumed(uint64_t n) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (uint64_t k = 0; k < n; ++k) ready_[(consumed_ + k) % ready_.size()] = 0;
        consumed_ += n;
    }
    free_.notify_all();
}

}  // namespace yrb
