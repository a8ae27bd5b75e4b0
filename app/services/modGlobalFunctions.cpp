#include "modGlobalFunctions.h"

#include <cmath>
#include <memory>

#include <QApplication>
#include <QWindow>

#include "ErrorTrap.h"
#include "FormGeometry.h"
#include "FrmMsgBox.h"
#include "MessageBoxSeam.h"
#include "MessagePump.h"
#include "Screen.h"
#include "ServiceObjects.h"
#include "clsError.h"

namespace modGlobalFunctions {

namespace {
// Form arithmetic rounds halves to the even neighbour.
int64_t Half(int64_t v) { return static_cast<int64_t>(std::nearbyint(static_cast<double>(v) / 2.0)); }
}  // namespace

void ReportErrorOn(clsError* MyError, const QString& Description, const QString& Context, const QString& Module,
                   const QString& Routine, bool ShowDialog, bool LogToScreen) {
    if (MyError == nullptr) return;
    // Each step runs even when an earlier one failed.
    Trap([&] { MyError->Clear(); }, [](const QString&) {});
    Trap([&] { MyError->Trigger(Description, Context, Module, Routine); }, [](const QString&) {});
    Trap([&] { MyError->LogToFile(); }, [](const QString&) {});
    if (LogToScreen) Trap([&] { MyError->LogToScreen(); }, [](const QString&) {});
    if (ShowDialog) Trap([&] { MyError->Display(); }, [](const QString&) {});
}

void ReportError(const QString& Description, const QString& Context, const QString& Module, const QString& Routine,
                 bool ShowDialog, bool LogToScreen) {
    std::shared_ptr<clsError> err;
    Trap([&] { err = ErrorObj(); }, [](const QString&) {});
    ReportErrorOn(err.get(), Description, Context, Module, Routine, ShowDialog, LogToScreen);
}

int DisplayMessage(const QString& message, const QString& Title, int IconNb, int Focus, bool ShowYes, bool ShowNo,
                   bool ShowYesAll, bool ShowNoAll, bool ShowOk, bool ShowCancel, const QString& Choice,
                   QWidget* CForm, QWidget* OForm, bool DoTop, bool DoBottom, bool DoLeft, bool DoRight) {
    int result = -1;
    Trap(
        [&] {
            MsgBoxRequest r;
            r.message = message;
            r.Title = Title;
            r.IconNb = IconNb;
            r.Focus = Focus;
            r.ShowYes = ShowYes;
            r.ShowNo = ShowNo;
            r.ShowYesAll = ShowYesAll;
            r.ShowNoAll = ShowNoAll;
            r.ShowOk = ShowOk;
            r.ShowCancel = ShowCancel;
            r.Choice = Choice;
            r.CForm = CForm ? CForm : QApplication::activeWindow();
            r.OForm = OForm;
            r.DoTop = DoTop;
            r.DoBottom = DoBottom;
            r.DoLeft = DoLeft;
            r.DoRight = DoRight;
            if (MessageBoxSeam::IsScripted()) {
                result = MessageBoxSeam::Answer(r);
                return;
            }
            // The box may get an owner, which would delete it with itself.
            QPointer<FrmMsgBox> box = new FrmMsgBox();
            box->Form_Load();
            box->ShowYes = r.ShowYes;
            box->ShowNo = r.ShowNo;
            box->ShowYesAll = r.ShowYesAll;
            box->ShowNoAll = r.ShowNoAll;
            box->ShowOk = r.ShowOk;
            box->ShowCancel = r.ShowCancel;
            box->DoTop = r.DoTop;
            box->DoBottom = r.DoBottom;
            box->DoLeft = r.DoLeft;
            box->DoRight = r.DoRight;
            box->IconNb = r.IconNb;
            box->Focus = r.Focus;
            box->message = r.message;
            box->Title = r.Title;
            box->Choice = r.Choice;
            box->CForm = r.CForm;
            box->OForm = r.OForm;
            box->Display();
            MessagePump::DoEvents();
            if (box) {
                result = box->Result;
                delete box.data();
            } else {
                result = 0;
            }
        },
        [&](const QString& d) {
            ReportError(d, QStringLiteral("Error Displaying Message"), QStringLiteral("modGlobalFunctions"),
                        QStringLiteral("DisplayMessage"), false, true);
            result = -1;
        });
    return result;
}

void CenterForm(QWidget* Frm, QWidget* OFrm, bool DoTop, bool DoLeft, bool DoBottom, bool DoRight, bool OutTop,
                bool OutLeft, bool OutBottom, bool OutRight) {
    Trap(
        [&] {
            if (Frm == nullptr || FormGeometry::IsMinimized(Frm)) return;
            const Screen* screen = Screen::Instance();
            const int64_t fw = FormGeometry::Width(Frm);
            const int64_t fh = FormGeometry::Height(Frm);
            int64_t top = Half(screen->Height() - fh);
            int64_t left = Half(screen->Width() - fw);
            const bool owner = OFrm != nullptr;
            int64_t ot = 0, ol = 0, ow = 0, oh = 0;
            if (owner) {
                ot = FormGeometry::Top(OFrm);
                ol = FormGeometry::Left(OFrm);
                ow = FormGeometry::Width(OFrm);
                oh = FormGeometry::Height(OFrm);
                if (!FormGeometry::IsMinimized(OFrm)) {
                    top = ot + Half(oh - fh);
                    left = ol + Half(ow - fw);
                }
            }
            if (DoTop) top = owner ? ot + 330 : 330;
            if (DoLeft) left = owner ? ol + 400 : 400;
            if (DoBottom) top = owner ? ot + oh - fh - 390 : screen->Height() - fh - 390;
            if (DoRight) left = owner ? ol + ow - fw - 400 : screen->Width() - fw - 400;
            if (owner) {
                if (DoTop && OutTop) top = ot;
                if (DoLeft && OutLeft) left = ol - fw;
                if (DoBottom && OutBottom) top = ot + oh;
                if (DoRight && OutRight) left = ol + ow;
            }
            FormGeometry::Move(Frm, left, top);
            MessagePump::DoEvents();
        },
        [](const QString& d) {
            ReportError(d, QString(), QStringLiteral("modGlobalFunctions"), QStringLiteral("CenterForm"), false,
                        true);
        });
}

void MouseMoveForm(QWidget* Frm, int button) {
    Trap(
        [&] {
            MessagePump::DoEvents();
            if (button != 1 || Frm == nullptr) return;
            Screen* screen = Screen::Instance();
            const int saved = screen->MousePointer();
            screen->SetMousePointer(5);
            // The window manager moves the window until the button is released.
            if (QWindow* w = Frm->window()->windowHandle()) w->startSystemMove();
            screen->SetMousePointer(saved);
        },
        [](const QString& d) {
            ReportError(d, QStringLiteral("Error Moving Form"), QStringLiteral("modGlobalFunctions"),
                        QStringLiteral("MouseMoveForm"), false, true);
        });
}

}  // namespace modGlobalFunctions
