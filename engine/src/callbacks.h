// The engine side of the callback table: the registered and the silent
// table, text hand-over, progress pacing and the shared stop poll.
#pragma once

#include <cstdint>
#include <string>

#include "OrmidYRB100.h"

namespace yrb {

using Table = YRB_CallbackTable;

extern Table g_registered;
extern const Table g_silent;
extern uint32_t g_pollCounter;
extern uint32_t g_animCounter;

// Texts reach slots 1 and 4 as plain NUL-terminated bytes valid during the call.
inline int32_t CallText(YRB_TextCallback cb, const char* text) {
    return cb ? cb(text) : -1;
}
inline int32_t CallValue(YRB_ValueCallback cb, int32_t v) { return cb ? cb(v) : 0; }

inline void SendError(const Table* t, const char* text) {
    if (t) CallText(t->error, text);
}
inline void SendError(const Table* t, const std::string& text) { SendError(t, text.c_str()); }
inline void Info(const Table* t, const char* text) {
    if (t) CallText(t->information, text);
}
inline void InitProgress(const Table* t, uint32_t total) {
    if (t) CallValue(t->init_progress, static_cast<int32_t>(total));
}
inline void Progress(const Table* t, uint32_t pos) {
    if (t) CallValue(t->progress, static_cast<int32_t>(pos));
}

// About one progress report per hundredth of the total: a report whenever
// position div step is not below the counter.  Kept as a threshold
// (counter * step) so the per-entry test needs no division.
struct ProgressStep {
    const Table* t;
    uint32_t step;
    uint32_t counter = 0;
    uint64_t next = 0;  // counter * step
    ProgressStep(const Table* table, uint32_t total)
        : t(table), step(total / 100u ? total / 100u : 1u) {}
    void operator()(uint32_t position) {
        if (position >= next) {
            Progress(t, position);
            ++counter;
            next += step;
        }
    }
};

// One counter for all operations: the check-interrupt slot is asked on every
// 10,002nd poll, so polls can sit in the innermost loops.
inline bool PollInterrupt(const Table* t) {
    const uint32_t v = g_pollCounter++;
    if (v > 10000u) {
        g_pollCounter = 0;
        if (t && t->check_interrupt) return t->check_interrupt(0) != 0;
    }
    return false;
}

inline bool PollAnimation(const Table* t) {
    const uint32_t v = g_animCounter++;
    if (v > 30000u) {
        g_animCounter = 0;
        if (t && t->animate) return t->animate(0, 0) != 0;
    }
    return false;
}

// printf-style formatting without a length limit.
std::string Format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

// Table chosen by a table argument: null means the given default.
inline const Table* Choose(const YRB_CallbackTable* arg, const Table* fallback) {
    return arg ? arg : fallback;
}

}  // namespace yrb
