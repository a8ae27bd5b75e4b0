#include "clsMonitor.h"

#include <cmath>

#include <QLabel>

#include "MessagePump.h"
#include "OwnerEnabler.h"
#include "ServiceObjects.h"
#include "clsInterrupt.h"

namespace {
// Halves round to the even neighbour, as the forms runtime rounds.
int64_t Round(double v) { return static_cast<int64_t>(std::nearbyint(v)); }
}  // namespace

clsMonitor::~clsMonitor() {
    Shutdown();
    MFrm = nullptr;
    OFrm = nullptr;
    MyError.reset();
    Interrupt.reset();
    Screen = nullptr;
    Timer = nullptr;
}

void clsMonitor::Delay(int32_t DelayValue, const QString& Capt, const QString& Mess, QWidget* OForm, bool DoBar) {
    OFrm = OForm;
    if (OFrm) OwnerEnabler::SetEnabled(OFrm, false);
    // A stop requested during an earlier operation must not stop
    // this one, and its bar text does not belong to this one.
    if (Interrupt) Interrupt->IReset();
    m_barText.clear();
    Caption = Capt;
    message = Mess;
    UseBar = DoBar;
    if (UseBar && Bar) {
        Bar->show();
        Bar->Cls();
    }
    if (Timer) {
        Timer->SetInterval(DelayValue);
        Timer->SetEnabled(true);
    }
    MessagePump::DoEvents();
}

void clsMonitor::Startup(const QString& Capt, const QString& Mess, QWidget* OForm, bool DoBar, FormPlacement where) {
    if (Timer) Timer->SetEnabled(false);
    if (!MFrm) {
        MFrm = new FrmProcess(OForm);
        MFrm->Form_Load();
        MFrm->MyError = MyError;
        MFrm->Interrupt = Interrupt;
    }
    OFrm = OForm;
    if (OFrm) OwnerEnabler::SetEnabled(OFrm, false);
    Caption = Capt;
    message = Mess;
    UseBar = DoBar;
    if (UseBar && Bar) Bar->show();
    MFrm->setWindowTitle(Capt);
    MFrm->LabAction->setText(Mess);
    if (MFrm->parentWidget() != OFrm.data()) MFrm->setParent(OFrm, MFrm->windowFlags());
    // A monitor that was given no screen leaves the window where it opens.
    if (Screen) modGlobalFunctions::CenterForm(MFrm, OFrm, where);
    MFrm->show();
    MessagePump::DoEvents();
}

void clsMonitor::Shutdown() {
    if (Timer) Timer->SetEnabled(false);
    if (OFrm) OwnerEnabler::SetEnabled(OFrm, true);
    if (MFrm) {
        FrmProcess* w = MFrm;
        MFrm = nullptr;
        w->Unload();
    }
    if (UseBar && Bar) {
        Bar->hide();
        Bar->Cls();
    }
}

void clsMonitor::Action(const QString& text) {
    if (MFrm) MFrm->LabAction->setText(text);
}

void clsMonitor::InitializeBar(int32_t Cnt) {
    if (!Bar || !UseBar) return;
    m_animPos = 0;
    if (Cnt < 1) Cnt = 1;
    m_barFactor = Cnt < 1000000 ? 1.0 : 0.001;
    Bar->SetScaleWidth(static_cast<float>(Cnt * m_barFactor));
    UpdateBar(0, false, false);
    MessagePump::DoEvents();
}

// The text centred in the bar, in the bar's own units.
void clsMonitor::PrintCentred(const QString& text) {
    const int64_t x = Round(Bar->ScaleWidth() - Bar->TextWidth(text)) / 2;
    const int64_t y = Round(Bar->ScaleHeight() - Bar->TextHeight(text)) / 2;
    Bar->SetCurrentX(static_cast<double>(x));
    Bar->SetCurrentY(static_cast<double>(y));
    Bar->Print(text);
}

void clsMonitor::UpdateBar(int32_t Value, bool DoPercent, bool DoAnim) {
    // The pump inside may deliver another progress call: it is dropped.
    if (m_inUpdate || !Bar || !UseBar) return;
    m_inUpdate = true;
    if (DoAnim) Animate();
    else DrawProgress(Value, DoPercent);
    m_inUpdate = false;
}

void clsMonitor::DrawProgress(int32_t Value, bool DoPercent) {
    Bar->Cls();
    const double scaleWidth = Bar->ScaleWidth();
    int64_t v = Round(Value * m_barFactor);
    if (scaleWidth < v) v = Round(scaleWidth);
    QString text = m_barText;
    if (DoPercent) {
        const int64_t percent = scaleWidth > 0 ? Round(v / scaleWidth * 100.0) : 0;
        text += QStringLiteral(" %1%").arg(percent);
    }
    if (!text.isEmpty()) PrintCentred(text);
    Bar->FillBox(0, 0, static_cast<double>(v), Bar->ScaleHeight(), Bar->ForeColor());
    MessagePump::DoEvents();
}

void clsMonitor::DisplayBarText(const QString& text) {
    if (!Bar || !UseBar || text.isEmpty()) return;
    PrintCentred(text);
    MessagePump::DoEvents();
}

void clsMonitor::SetBarText(const QString& text) {
    if (!UseBar || text.isEmpty()) return;
    if (Bar) Bar->Cls();
    m_barText = text;
    DisplayBarText(text);
}

void clsMonitor::Animate() {
    if (!Bar || !UseBar) return;
    Bar->Cls();
    if (!m_barText.isEmpty()) PrintCentred(m_barText);
    const double scaleWidth = Bar->ScaleWidth();
    int64_t step = Round(scaleWidth / 100.0);
    if (step == 0) step = 1;
    const int64_t half = Round(scaleWidth / 10.0);
    if (m_animPos - half > scaleWidth) m_animPos = -half;
    double left = static_cast<double>(m_animPos - half);
    double right = static_cast<double>(m_animPos + half);
    if (m_animPos < 0) left = 0;
    if (m_animPos + half > scaleWidth) {
        right = static_cast<double>(Round(scaleWidth));
        left = static_cast<double>(m_animPos - half);
    }
    Bar->FillBox(left, 0, right, Bar->ScaleHeight(), Bar->ForeColor());
    m_animPos += step;
}

std::shared_ptr<clsMonitor> MonitorObj() { return ServiceSlot<clsMonitor>::Get(); }
void ReleaseMonitorObj() { ServiceSlot<clsMonitor>::Release(); }
