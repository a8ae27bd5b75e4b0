#pragma once

#include "StatusMeter.h"

// Free physical memory in kilobytes, shown in a status-bar panel and/or a
// label and refreshed by the creator's timer.
class clsMemUsage : public StatusMeter {
public:
    clsMemUsage();

    void Startup(bool DoTimer);
    void Shutdown();
    void Update();
};
