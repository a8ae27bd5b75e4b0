#include "clsMemUsage.h"

#include <QLocale>

#include "Clock.h"
#include "ErrorTrap.h"
#include "MemoryStatus.h"
#include "clsError.h"
#include "modGlobalFunctions.h"

void clsMemUsage::ReportError(const QString& description, const QString& context, const QString& routine) {
    modGlobalFunctions::ReportErrorOn(MyError.get(), description, context, QStringLiteral("clsMemUsage"), routine,
                                      false, true);
}

void clsMemUsage::Show(const QString& text) {
    if (Panel) Panel->SetText(text);
    if (Label) Label->setText(text);
}

void clsMemUsage::Startup(bool DoTimer) {
    Trap(
        [&] {
            m_running = true;
            // The time of day stands in the panel until the first update.
            Show(Clock::Now().time().toString(QStringLiteral("HH:mm:ss")));
            if (Timer) Timer->SetEnabled(DoTimer);
            m_doTimer = DoTimer;
        },
        [&](const QString& d) { ReportError(d, QStringLiteral("Error Starting Up Memory Monitor"), QStringLiteral("Startup")); });
}

void clsMemUsage::Shutdown() {
    Trap(
        [&] {
            m_running = false;
            if (Timer) Timer->SetEnabled(false);
            Show(QString());
            m_doTimer = false;
        },
        [&](const QString& d) { ReportError(d, QStringLiteral("Error Shuting Down Memory Monitor"), QStringLiteral("Shutdown")); });
}

void clsMemUsage::Update() {
    if (!m_running) return;
    auto fail = [&](const QString& d) {
        // Stop first, so a failing meter is reported once.
        if (Timer) Timer->SetEnabled(false);
        ReportError(d, QStringLiteral("Error Updating Memory Status"), QStringLiteral("Update"));
    };
    Trap(
        [&] {
            const std::optional<int64_t> bytes = MemoryStatus::AvailableBytes();
            if (!bytes) {
                fail(QStringLiteral("The free memory could not be read from /proc/meminfo"));
                return;
            }
            QLocale locale;
            locale.setNumberOptions(QLocale::OmitGroupSeparator);
            const double kb = static_cast<double>(*bytes) / 1024.0;
            Show(locale.toString(kb, 'g', 15) + QStringLiteral(" KB"));
        },
        fail);
}
