#include "modCallBack.h"

#include <QElapsedTimer>
#include <QString>

#include "ErrorTrap.h"
#include "MessagePump.h"
#include "ReportError.h"
#include "ServiceObjects.h"
#include "clsInterrupt.h"
#include "clsMonitor.h"

namespace modCallBack {

YRB_CallbackTable EngineCallbackTable = {};
CallbackBusyFlags BusyFlags;

namespace {
const QString kModule = QStringLiteral("modCallBack");

// Engine texts are bytes, one character each, up to the first NUL.
QString FromEngine(const char* text) { return text ? QString::fromLatin1(text) : QString(); }

void Report(const QString& description, const QString& context, const char* routine) {
    modGlobalFunctions::ReportError(description, context, kModule, QString::fromLatin1(routine), false, true);
}

// CBError runs nested (an error reported while one is shown), so it counts.
int errorDepth = 0;

// The moving block of the bar advances at most once in this time.
constexpr qint64 kAnimationFrameMs = 40;

// Runs a monitor call under a busy flag: -1 when busy or failed, else 1.
template <class Body>
int32_t Guarded(bool& busy, const char* routine, Body&& body) {
    if (busy) return -1;
    busy = true;
    int32_t answer = -1;
    Trap(
        [&] {
            body();
            answer = 1;
        },
        [&](const QString& d) { Report(d, QString(), routine); });
    busy = false;
    return answer;
}
}  // namespace

int32_t CBCheckInterrupt(int32_t) {
    if (BusyFlags.CheckInterrupt) return 0;
    BusyFlags.CheckInterrupt = true;
    int32_t answer = 0;
    Trap(
        [&] {
            auto interrupt = InterruptObj();
            if (interrupt->Active) {
                interrupt->IReset();
                answer = -1;
            }
            // A Cancel click handled here is taken at the next call.
            MessagePump::DoEvents();
        },
        [&](const QString& d) {
            answer = 0;
            Report(d, QStringLiteral("Error Checking For Interrupt"), "CBCheckInterrupt");
        });
    BusyFlags.CheckInterrupt = false;
    return answer;
}

bool InCallback() {
    const CallbackBusyFlags& f = BusyFlags;
    return errorDepth > 0 || f.CheckInterrupt || f.ShowInfo || f.ShowProgress || f.AnimateBar || f.InitMonitor;
}

int32_t CBError(const char* text) {
    int32_t answer = 0;
    ++errorDepth;
    Trap(
        [&] {
            modGlobalFunctions::ReportError(FromEngine(text), QString(), kModule, QStringLiteral("CBError"), false,
                                            true);
            MessagePump::DoEvents();
            answer = 1;
        },
        [&](const QString& d) {
            answer = 0;
            Report(d, QStringLiteral("Error Reporting Error"), "CBError");
        });
    --errorDepth;
    return answer;
}

int32_t CBShowInfo(const char* text) {
    return Guarded(BusyFlags.ShowInfo, "CBShowInfo", [&] {
        if (text != nullptr && *text != '\0') MonitorObj()->SetBarText(FromEngine(text));
    });
}

int32_t CBShowProgress(int32_t value) {
    return Guarded(BusyFlags.ShowProgress, "CBShowProgress", [&] { MonitorObj()->UpdateBar(value, true, false); });
}

int32_t CBInitMonitor(int32_t total) {
    return Guarded(BusyFlags.InitMonitor, "CBInitMonitor", [&] { MonitorObj()->InitializeBar(total); });
}

int32_t CBAnimateBar(int32_t, int32_t) {
    // The engine asks for a frame every few thousand steps, thousands of
    // times a second in a long sort; each frame is a repaint at the next
    // interrupt check.  The eye needs far fewer.
    static QElapsedTimer sinceFrame;
    return Guarded(BusyFlags.AnimateBar, "CBAnimateBar", [&] {
        if (sinceFrame.isValid() && sinceFrame.elapsed() < kAnimationFrameMs) return;
        sinceFrame.start();
        MonitorObj()->Animate();
    });
}

}  // namespace modCallBack
