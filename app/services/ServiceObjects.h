#pragma once

#include <memory>

class clsError;
class clsTrace;
class clsInterrupt;
class clsMonitor;
class clsChronometer;
class clsMemUsage;

// The program-wide service objects.  Each is created on first use; the main
// window configures them at its load and releases them at its unload (the
// object ends when its last holder lets it go).  Each class's own source
// defines its pair, so that a class low in the services can reach its object
// without the ones above it.
std::shared_ptr<clsError> ErrorObj();
std::shared_ptr<clsTrace> TraceObj();
std::shared_ptr<clsInterrupt> InterruptObj();
std::shared_ptr<clsMonitor> MonitorObj();
std::shared_ptr<clsChronometer> ChronoObj();
std::shared_ptr<clsMemUsage> MemUsageObj();

void ReleaseErrorObj();
void ReleaseTraceObj();
void ReleaseInterruptObj();
void ReleaseMonitorObj();
void ReleaseChronoObj();
void ReleaseMemUsageObj();

// The slot behind one pair of the procedures above.
template <class T>
class ServiceSlot {
public:
    static std::shared_ptr<T> Get() {
        std::shared_ptr<T>& s = Slot();
        if (!s) s = std::make_shared<T>();
        return s;
    }
    // Moves the reference out before dropping it, so a destructor that
    // reports through the global finds the slot already empty.
    static void Release() {
        std::shared_ptr<T> gone = std::move(Slot());
        Slot().reset();
        gone.reset();
    }

private:
    static std::shared_ptr<T>& Slot() {
        static std::shared_ptr<T> object;
        return object;
    }
};
