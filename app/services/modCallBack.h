#pragma once

#include <cstdint>

#include "OrmidYRB100.h"

// The program's side of the engine callback table: each procedure turns an
// engine event into the error reporter, the progress monitor or the
// interrupt flag.  Every one but CBError refuses re-entry while busy.
namespace modCallBack {

// The program-wide table, filled once by the main window at its load.
extern YRB_CallbackTable EngineCallbackTable;

struct CallbackBusyFlags {
    bool CheckInterrupt = false;
    bool ShowInfo = false;
    bool ShowProgress = false;
    bool AnimateBar = false;
    bool InitMonitor = false;
};
extern CallbackBusyFlags BusyFlags;

// True while one of these procedures runs, that is while an engine call that
// lets window messages in is under way: what the engine holds must not be
// reloaded from a message handled now.
bool InCallback();

// The table holds native procedure addresses; this hands one over unchanged.
template <class F>
F FnPtrToLong(F procedure) {
    return procedure;
}

int32_t CBError(const char* text);
int32_t CBShowProgress(int32_t value);
int32_t CBCheckInterrupt(int32_t unused);
int32_t CBShowInfo(const char* text);
int32_t CBInitMonitor(int32_t total);
int32_t CBAnimateBar(int32_t unused1, int32_t unused2);

}  // namespace modCallBack
