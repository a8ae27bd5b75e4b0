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
// object ends when its last holder lets it go).
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
