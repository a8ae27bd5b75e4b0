#include "clsInterrupt.h"

#include "ServiceObjects.h"

void clsInterrupt::ISet(const QString& origin) {
    Active = true;
    Origin = origin;
}

void clsInterrupt::IReset() {
    Active = false;
    Origin.clear();
}

std::shared_ptr<clsInterrupt> InterruptObj() { return ServiceSlot<clsInterrupt>::Get(); }
void ReleaseInterruptObj() { ServiceSlot<clsInterrupt>::Release(); }
