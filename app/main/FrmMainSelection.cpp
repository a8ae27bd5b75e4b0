// Select All, Deselect All and Invert Selection on the pane in ThisList,
// and the workspace's pane buttons that run a command on their own pane.
#include <QPushButton>

#include "ErrorTrap.h"
#include "FrmMain.h"
#include "ListsCol.h"
#include "ReportError.h"
#include "Screen.h"
#include "clsVL2.h"

namespace {
constexpr int32_t kSelectionProgressDelayMs = 2000;
}  // namespace

struct FrmMain::SelectionCommand {
    const char* routine;
    void (ListPane::*member)();
    const char* caption;
    const char* message;
    const char* noPane;  // reported when ThisList is empty
};

void FrmMain::RunSelection(const SelectionCommand& command) {
    ClosingStep closing(this);
    const QString routine = QLatin1String(command.routine);
    Trap(
        [&] {
            const ListPaneRef pane = ThisList;
            if (!pane) {
                Report(QLatin1String(command.noPane), QString(), routine);
                return;
            }
            StartProgress(kSelectionProgressDelayMs, QLatin1String(command.caption), QLatin1String(command.message),
                          pane->Frm);
            Screen::Instance()->SetMousePointer(Screen::kHourglassPointer);
            ((*pane).*command.member)();
            pane->SetAll();
            pane->Refresh();
        },
        [&](const QString& d) { Report(d, QString(), routine); });
}

void FrmMain::M_Popup1SelectAll_Click() {
    RunSelection({"M_Popup1SelectAll_Click", &ListPane::SelectAll, "Now Selecting Files",
                  "Please wait a couple of seconds while the files are being selected", "List Object not Set"});
}

void FrmMain::M_Popup1DeselectAll_Click() {
    RunSelection({"M_Popup1DeselectAll_Click", &ListPane::DeselectAll, "Now Deselecting Files",
                  "Please wait a couple of seconds while the files are being deselected", "List Object not Set"});
}

void FrmMain::M_Popup1Invert_Click() {
    RunSelection({"M_Popup1Invert_Click", &ListPane::InvertAll, "Now Inverting File Selection",
                  "Please wait a couple of seconds while the file selection is being inverted",
                  "The List object has not been initialized"});
}

void FrmMain::PaneButton(const std::shared_ptr<clsVL2>& pane, void (FrmMain::*command)(), const char* routine,
                         const QString& context) {
    Trap(
        [&] {
            ThisList = pane;
            // The button acts on its list, which keeps the keys afterwards
            // (a window the command opens takes them from there).
            pane->GetFocus();
            (this->*command)();
        },
        [&](const QString& d) { Report(d, context, QLatin1String(routine)); });
}

void FrmMain::ComSLImp_Click() { PaneButton(VL_left, &FrmMain::M_Popup1Import_Click, "ComSLImp_Click", QString()); }
void FrmMain::ComSRImp_Click() { PaneButton(VL_right, &FrmMain::M_Popup1Import_Click, "ComSRImp_Click", QString()); }
void FrmMain::ComSLSave_Click() { PaneButton(VL_left, &FrmMain::M_Popup1Save_Click, "ComSLSave_Click", QString()); }
void FrmMain::ComSRSave_Click() { PaneButton(VL_right, &FrmMain::M_Popup1Save_Click, "ComSRSave_Click", QString()); }
void FrmMain::ComSLSelAll_Click() {
    PaneButton(VL_left, &FrmMain::M_Popup1SelectAll_Click, "ComSLSelAll_Click", QStringLiteral("Error Selecting Items"));
}
void FrmMain::ComSRSelAll_Click() {
    PaneButton(VL_right, &FrmMain::M_Popup1SelectAll_Click, "ComSRSelAll_Click", QStringLiteral("Error Selecting Items"));
}
void FrmMain::ComSLDesAll_Click() {
    PaneButton(VL_left, &FrmMain::M_Popup1DeselectAll_Click, "ComSLDesAll_Click",
               QStringLiteral("Error Deselecting Item(s)"));
}
void FrmMain::ComSRDesAll_Click() {
    PaneButton(VL_right, &FrmMain::M_Popup1DeselectAll_Click, "ComSRDesAll_Click",
               QStringLiteral("Error Deselecting Items"));
}
void FrmMain::ComSLInvSel_Click() { PaneButton(VL_left, &FrmMain::M_Popup1Invert_Click, "ComSLInvSel_Click", QString()); }
void FrmMain::ComSRInvSel_Click() {
    PaneButton(VL_right, &FrmMain::M_Popup1Invert_Click, "ComSRInvSel_Click", QString());
}

void FrmMain::ComSLFind_Click() { PaneButton(VL_left, &FrmMain::M_Popup1Find_Click, "ComSLFind_Click", QString()); }
void FrmMain::ComSRFind_Click() { PaneButton(VL_right, &FrmMain::M_Popup1Find_Click, "ComSRFind_Click", QString()); }

void FrmMain::ConnectPaneButtons() {
    const std::pair<QPushButton*, void (FrmMain::*)()> buttons[] = {
        {ComSLImp, &FrmMain::ComSLImp_Click},       {ComSRImp, &FrmMain::ComSRImp_Click},
        {ComSLSave, &FrmMain::ComSLSave_Click},     {ComSRSave, &FrmMain::ComSRSave_Click},
        {ComSLSelAll, &FrmMain::ComSLSelAll_Click}, {ComSRSelAll, &FrmMain::ComSRSelAll_Click},
        {ComSLDesAll, &FrmMain::ComSLDesAll_Click}, {ComSRDesAll, &FrmMain::ComSRDesAll_Click},
        {ComSLInvSel, &FrmMain::ComSLInvSel_Click}, {ComSRInvSel, &FrmMain::ComSRInvSel_Click},
        {ComSLFind, &FrmMain::ComSLFind_Click},     {ComSRFind, &FrmMain::ComSRFind_Click},
        {ComLClear, &FrmMain::ComLClear_Click},     {ComRClear, &FrmMain::ComRClear_Click}};
    for (const auto& [button, handler] : buttons) connect(button, &QPushButton::clicked, this, handler);
}
