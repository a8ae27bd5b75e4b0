#include "ServiceObjects.h"

#include "clsChronometer.h"
#include "clsError.h"
#include "clsInterrupt.h"
#include "clsMemUsage.h"
#include "clsMonitor.h"
#include "clsTrace.h"

namespace {
template <class T>
std::shared_ptr<T>& Slot() {
    static std::shared_ptr<T> object;
    return object;
}

template <class T>
std::shared_ptr<T> Get() {
    auto& s = Slot<T>();
    if (!s) s = std::make_shared<T>();
    return s;
}

// Moves the reference out before dropping it, so a destructor that reports
// through the global finds the slot already empty and consistent.
template <class T>
void Release() {
    std::shared_ptr<T> gone = std::move(Slot<T>());
    Slot<T>().reset();
    gone.reset();
}
}  // namespace

std::shared_ptr<clsError> ErrorObj() { return Get<clsError>(); }
std::shared_ptr<clsTrace> TraceObj() { return Get<clsTrace>(); }
std::shared_ptr<clsInterrupt> InterruptObj() { return Get<clsInterrupt>(); }
std::shared_ptr<clsMonitor> MonitorObj() { return Get<clsMonitor>(); }
std::shared_ptr<clsChronometer> ChronoObj() { return Get<clsChronometer>(); }
std::shared_ptr<clsMemUsage> MemUsageObj() { return Get<clsMemUsage>(); }

void ReleaseErrorObj() { Release<clsError>(); }
void ReleaseTraceObj() { Release<clsTrace>(); }
void ReleaseInterruptObj() { Release<clsInterrupt>(); }
void ReleaseMonitorObj() { Release<clsMonitor>(); }
void ReleaseChronoObj() { Release<clsChronometer>(); }
void ReleaseMemUsageObj() { Release<clsMemUsage>(); }
