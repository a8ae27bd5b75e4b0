#pragma once

#include <cstdint>
#include <memory>

#include <QPointer>
#include <QString>
#include <QWidget>

#include "FrmProcess.h"
#include "IntervalTimer.h"
#include "PictureBox.h"
#include "modGlobalFunctionsForms.h"

class Screen;
class clsError;
class clsInterrupt;

// Progress of long work: the owner is disabled and the bar shown at once;
// the progress window appears only if the work still runs when the delay
// expires; Shutdown closes everything and enables the owner again.
class clsMonitor {
public:
    clsMonitor() = default;
    ~clsMonitor();
    clsMonitor(const clsMonitor&) = delete;
    clsMonitor& operator=(const clsMonitor&) = delete;

    QPointer<FrmProcess> MFrm;
    QPointer<QWidget> OFrm;
    std::shared_ptr<clsError> MyError;
    std::shared_ptr<clsInterrupt> Interrupt;
    ::Screen* Screen = nullptr;
    QPointer<IntervalTimer> Timer;
    QPointer<PictureBox> Bar;
    QString Caption;
    QString message;
    bool UseBar = false;

    // Shows the progress window now, placed on OForm as where says.
    void Startup(const QString& Capt, const QString& Mess, QWidget* OForm, bool DoBar, FormPlacement where = {});
    void Shutdown();
    void Action(const QString& text);
    void Delay(int32_t DelayValue, const QString& Capt, const QString& Mess, QWidget* OForm, bool DoBar);
    void InitializeBar(int32_t Cnt);
    void UpdateBar(int32_t Value, bool DoPercent, bool DoAnim);
    void DisplayBarText(const QString& text);
    void SetBarText(const QString& text);
    void Animate();

    double BarFactor() const { return m_barFactor; }
    const QString& BarText() const { return m_barText; }

private:
    void PrintCentred(const QString& text);
    void DrawProgress(int32_t Value, bool DoPercent);

    double m_barFactor = 0;  // progress units per bar unit; 0 until the first InitializeBar
    QString m_barText;
    int64_t m_animPos = 0;
    bool m_inUpdate = false;
};
