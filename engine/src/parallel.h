// Worker threads for the heavy passes over big lists.
//
// A pass runs its body on worker threads while the thread that called the
// export watches them: it alone calls back (progress, stop questions,
// animation), from the counts the workers publish.  Workers never touch the
// callback table, the poll counters or errno of the caller; a worker that
// runs out of memory or is told to stop just ends, and the caller answers
// for it once all have ended.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

#include "callbacks.h"

namespace yrb {

// Lists shorter than this take the single-thread path: below it the threads
// cost more than they save.
constexpr uint32_t kParallelMinEntries = 1u << 20;
// A file is loaded by workers when it probably holds that many entries.
constexpr uint32_t kBytesPerEntryGuess = 16;
// The environment variable that pins the number of workers.
constexpr const char* kThreadsVariable = "ORMID_ENGINE_THREADS";

// Workers for a pass over that many entries: 1 means the single-thread path.
unsigned WorkersFor(uint64_t entries);
// The number of workers when a list is big enough: the variable, else the
// cores this process may run on.
unsigned WorkerCount();

// Internal setting, for tests: threads 0 follows WorkerCount, minEntries
// replaces kParallelMinEntries.  Reset puts both back.
void SetParallelForTesting(unsigned threads, uint32_t minEntries);
void ResetParallelForTesting();

// Thrown inside a worker when its pass is told to stop; RunWorkers catches
// it on the worker's own thread.
struct WorkerStopped {};

class PassState;

// A worker's handle on its pass.
class Worker {
public:
    Worker(PassState& pass, unsigned index, unsigned count) : pass_(pass), index_(index), count_(count) {}
    Worker(const Worker&) = delete;
    Worker& operator=(const Worker&) = delete;
    ~Worker();

    unsigned Index() const { return index_; }
    unsigned Count() const { return count_; }

    // Where the single-thread code polls for a stop: false when the pass is
    // to end.  Counted locally and published in batches.
    bool Poll() {
        if (++polls_ < kBatch) return true;
        return Publish();
    }
    // Poll that throws WorkerStopped.
    void Step() {
        if (!Poll()) throw WorkerStopped{};
    }
    // Progress made (entries or bytes, as the pass reports them).
    void Advance(uint64_t units) { progress_ += units; }
    bool Stopping() const;

private:
    static constexpr uint32_t kBatch = 4096;
    bool Publish();

    PassState& pass_;
    const unsigned index_;
    const unsigned count_;
    uint32_t polls_ = 0;
    uint64_t progress_ = 0;
};

// What the calling thread does while the workers run.
struct Watch {
    Watch() = default;
    Watch(const Table* table, bool animateToo, ProgressStep* progress = nullptr, uint64_t from = 0)
        : t(table), animate(animateToo), step(progress), base(from) {}

    const Table* t = nullptr;       // stop questions (null: none)
    bool animate = false;           // every poll is also an animation tick (sorting)
    ProgressStep* step = nullptr;   // progress positions: base + units advanced
    uint64_t base = 0;
    std::function<void()> onWake;   // runs on the calling thread at every look
};

// Runs body on workers threads (at least 1) and returns 1 when all ended,
// -2 when the check-interrupt slot asked to stop (the workers are told and
// awaited).  Polls published by the workers count as the single-thread
// code's polls do: one stop question per 10,002 of them.  A worker out of
// memory makes this throw std::bad_alloc on the calling thread.
int32_t RunWorkers(unsigned workers, const Watch& watch, const std::function<void(Worker&)>& body);

// Splits [0, n) into parts ranges of nearly equal length: the start of
// range k.
inline uint64_t SplitPoint(uint64_t n, unsigned parts, unsigned k) { return n * k / parts; }

// Cuts [begin, end) into at most parts ranges whose starts (but the first)
// satisfy startsHere(position): a range holds whole groups.  Returns the
// starts and, last, end.
template <class StartsHere>
std::vector<uint32_t> CutAt(uint32_t begin, uint32_t end, unsigned parts, StartsHere startsHere) {
    std::vector<uint32_t> cuts{begin};
    for (unsigned k = 1; k < parts; ++k) {
        uint32_t p = static_cast<uint32_t>(begin + SplitPoint(end - begin, parts, k));
        if (p <= cuts.back()) p = cuts.back() + 1;
        while (p < end && !startsHere(p)) ++p;
        if (p >= end) break;
        cuts.push_back(p);
    }
    cuts.push_back(end);
    return cuts;
}

// Blocks of a pass that writes a file in order: workers fill the blocks
// (format(worker, block, out)), the calling thread hands them to
// consume(block, out) in block order as they come; at most a few blocks
// per worker wait at any time, so memory stays at a few buffers per worker.
// Returns 1, or -2 when stopped (blocks not consumed by then are dropped).
template <class Out>
int32_t RunOrdered(unsigned workers, const Watch& watch, uint64_t blocks,
                   const std::function<void(Worker&, uint64_t, Out&)>& format,
                   const std::function<void(uint64_t, Out&)>& consume);

// The single-thread loop "for p in [from, to): stop when PollInterrupt(t),
// else step(p)" in jumps from one callback to the next: the same callbacks,
// without visiting the positions where nothing happens.  True when stopped.
bool PollAndStep(const Table* t, ProgressStep& step, uint32_t from, uint32_t to);

// Counts n polls of PollInterrupt at once: the check-interrupt slot is asked
// at every point where one of them would ask.  True at the first stop.
bool PollMany(const Table* t, uint64_t n);
// The same for PollAnimation.
void AnimateMany(const Table* t, uint64_t n);

// Asks for huge pages for a big array that is not touched yet: one fault per
// 2 MB instead of per 4 KB, and fewer TLB misses for the passes that roam
// over it.  Memory grows by less than a huge page per array.
void AskHugePages(void* p, size_t bytes);

// Flags of entries read or written while workers may be marking others:
// relaxed atomics, plain loads and stores on the machine, but no data race
// with an export that a callback calls meanwhile.
inline uint8_t LoadFlags(const uint8_t& f) {
    return std::atomic_ref<uint8_t>(const_cast<uint8_t&>(f)).load(std::memory_order_relaxed);
}
inline void StoreFlags(uint8_t& f, uint8_t v) { std::atomic_ref<uint8_t>(f).store(v, std::memory_order_relaxed); }

// ---- RunOrdered -----------------------------------------------------------

class OrderedSlots {
public:
    explicit OrderedSlots(unsigned window) : ready_(window, 0) {}
    // The next block for a worker, or false when all are taken.  Waits while
    // the window is full.
    bool Take(uint64_t blocks, uint64_t& block, const Worker& w);
    void Filled(uint64_t block);
    // The blocks ready in order from the first not consumed: how many.
    uint64_t ReadyRun(uint64_t& first);
    void Consumed(uint64_t n);

private:
    std::mutex mutex_;
    std::condition_variable free_;
    std::vector<uint8_t> ready_;
    uint64_t next_ = 0;
    uint64_t consumed_ = 0;
};

template <class Out>
int32_t RunOrdered(unsigned workers, const Watch& watch, uint64_t blocks,
                   const std::function<void(Worker&, uint64_t, Out&)>& format,
                   const std::function<void(uint64_t, Out&)>& consume) {
    const unsigned window = workers * 2;
    std::vector<Out> outs(window);
    OrderedSlots slots(window);
    auto drain = [&] {
        uint64_t first = 0;
        const uint64_t n = slots.ReadyRun(first);
        for (uint64_t b = first; b < first + n; ++b) consume(b, outs[b % window]);
        slots.Consumed(n);
    };
    Watch w = watch;
    w.onWake = drain;
    const int32_t r = RunWorkers(workers, w, [&](Worker& worker) {
        uint64_t b = 0;
        while (slots.Take(blocks, b, worker)) {
            Out& out = outs[b % window];
            out = Out{};
            format(worker, b, out);
            slots.Filled(b);
        }
    });
    if (r < 0) return r;
    drain();
    return r;
}

}  // namespace yrb
