#include "clsMemUsage.h"

#include <QLocale>

#include "Clock.h"
#include "MemoryStatus.h"
#include "ServiceObjects.h"

clsMemUsage::clsMemUsage() : StatusMeter(QStringLiteral("clsMemUsage")) {}

void clsMemUsage::Startup(bool DoTimer) {
    // The time of day stands in the panel until the first update.
    Show(Clock::Now().time().toString(QStringLiteral("HH:mm:ss")));
    Start(DoTimer);
}

void clsMemUsage::Shutdown() {
    Stop();
    Show(QString());
}

void clsMemUsage::Update() {
    if (!IsRunning()) return;
    const std::optional<int64_t> bytes = MemoryStatus::AvailableBytes();
    if (!bytes) {
        // Stop first, so a failing meter is reported once.
        if (Timer) Timer->SetEnabled(false);
        ReportError(QStringLiteral("The free memory could not be read from /proc/meminfo"),
                    QStringLiteral("Error Updating Memory Status"), QStringLiteral("Update"));
        return;
    }
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    const double kb = static_cast<double>(*bytes) / 1024.0;
    Show(locale.toString(kb, 'g', 15) + QStringLiteral(" KB"));
}

std::shared_ptr<clsMemUsage> MemUsageObj() { return ServiceSlot<clsMemUsage>::Get(); }
void ReleaseMemUsageObj() { ServiceSlot<clsMemUsage>::Release(); }
