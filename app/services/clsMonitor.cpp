#include "clsMonitor.h"

#include <cmath>

#include <QLabel>

#include "ErrorTrap.h"
#include "FormGeometry.h"
#include "MessagePump.h"
#include "OwnerEnabler.h"
#include "Screen.h"
#include "clsError.h"
#include "clsInterrupt.h"
#include "modGlobalFunctions.h"

namespace {
// Halves round to the even neighbour, as the forms runtime rounds.
int64_t Round(double v) { return static_cast<int64_t>(std::nearbyint(v)); }
}  // namespace

clsMonitor::~clsMonitor() {
    Trap([&] { Shutdown(); },
         [&](const QString& d) {
             ReportError(d, QStringLiteral("clsMonitor Object Termination Error"), QStringLiteral("Class_Terminate"));
         });
    MFrm = nullptr;
    OFrm = nullptr;
    MyError.reset();
    Interrupt.reset();
    Screen = nullptr;
    Timer = nullptr;
}

void clsMonitor::ReportError(const QString& description, const QString& context, const QString& routine) {
    modGlobalFunctions::ReportErrorOn(MyError.get(), description, context, QStringLiteral("clsMonitor"), routine,
                                      false, true);
}

void clsMonitor::Delay(int32_t DelayValue, const QString& Capt, const QString& Mess, QWidget* OForm, bool DoBar) {
    Trap(
        [&] {
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
        },
        [&](const QString& d) { ReportError(d, QStringLiteral("Error Delaying Monitoring Startup"), QStringLiteral("Delay")); });
}

void clsMonitor::Startup(const QString& Capt, const QString& Mess, QWidget* OForm, bool DoTop, bool DoLeft,
                         bool DoBottom, bool DoRight, bool DoBar) {
    Trap(
        [&] {
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
            CenterForm(MFrm, OFrm, DoTop, DoLeft, DoBottom, DoRight);
            MFrm->show();
            MessagePump::DoEvents();
        },
        [&](const QString& d) {
            ReportError(d, QStringLiteral("Error Starting Up Progress Monitoring"), QStringLiteral("Startup"));
        });
}

void clsMonitor::Shutdown() {
    Trap(
        [&] {
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
        },
        [&](const QString& d) {
            ReportError(d, QStringLiteral("Error Shutting Down Progress Monitoring"), QStringLiteral("Shutdown"));
        });
}

void clsMonitor::Action(const QString& text) {
    Trap(
        [&] {
            if (MFrm) MFrm->LabAction->setText(text);
        },
        [&](const QString& d) { ReportError(d, QString(), QStringLiteral("Action")); });
}

void clsMonitor::CenterForm(QWidget* Frm, QWidget* OForm, bool DoTop, bool DoLeft, bool DoBottom, bool DoRight) {
    Trap(
        [&] {
            if (Screen == nullptr || Frm == nullptr || FormGeometry::IsMinimized(Frm)) return;
            const int64_t fw = FormGeometry::Width(Frm);
            const int64_t fh = FormGeometry::Height(Frm);
            int64_t top = Round((Screen->Height() - fh) / 2.0);
            int64_t left = Round((Screen->Width() - fw) / 2.0);
            const bool owner = OForm != nullptr;
            int64_t ot = 0, ol = 0, ow = 0, oh = 0;
            if (owner) {
                ot = FormGeometry::Top(OForm);
                ol = FormGeometry::Left(OForm);
                ow = FormGeometry::Width(OForm);
                oh = FormGeometry::Height(OForm);
                if (!FormGeometry::IsMinimized(OForm)) {
                    top = Round((oh - fh) / 2.0) + ot;
                    left = Round((ow - fw) / 2.0) + ol;
                }
            }
            if (DoTop) top = owner ? ot + 330 : 330;
            if (DoLeft) left = owner ? ol + 400 : 400;
            if (DoBottom) top = owner ? ot + oh - fh - 390 : Screen->Height() - fh - 390;
            if (DoRight) left = owner ? ol + ow - fw - 400 : Screen->Width() - fw - 400;
            FormGeometry::Move(Frm, left, top);
            MessagePump::DoEvents();
        },
        [&](const QString& d) { ReportError(d, QString(), QStringLiteral("CenterForm")); });
}

void clsMonitor::InitializeBar(int32_t Cnt) {
    Trap(
        [&] {
            if (!Bar || !UseBar) return;
            m_animPos = 0;
            if (Cnt < 1) Cnt = 1;
            m_barFactor = Cnt < 1000000 ? 1.0 : 0.001;
            Bar->SetScaleWidth(static_cast<float>(Cnt * m_barFactor));
            UpdateBar(0, false, false);
            MessagePump::DoEvents();
        },
        [&](const QString& d) { ReportError(d, QString(), QStringLiteral("InitializeBar")); });
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
    if (m_inUpdate) return;
    m_inUpdate = true;
    Trap(
        [&] {
            if (!Bar || !UseBar) return;
            if (DoAnim) {
                Animate();
                return;
            }
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
        },
        [&](const QString& d) { ReportError(d, QString(), QStringLiteral("UpdateBar")); });
    m_inUpdate = false;
}

void clsMonitor::DisplayBarText(const QString& text) {
    Trap(
        [&] {
            if (!Bar || !UseBar || text.isEmpty()) return;
            PrintCentred(text);
            MessagePump::DoEvents();
        },
        [&](const QString& d) { ReportError(d, QString(), QStringLiteral("DisplayBarText")); });
}

void clsMonitor::SetBarText(const QString& text) {
    Trap(
        [&] {
            if (!UseBar || text.isEmpty()) return;
            if (Bar) Bar->Cls();
            m_barText = text;
            DisplayBarText(text);
        },
        [&](const QString& d) { ReportError(d, QString(), QStringLiteral("SetBarText")); });
}

void clsMonitor::Animate() {
    Trap(
        [&] {
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
        },
        [&](const QString& d) { ReportError(d, QString(), QStringLiteral("Animate")); });
}
