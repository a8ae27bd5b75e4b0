// The result display from the workspace: each side's "Results" button on
// the files its operations wrote, and the domain statistics of a side,
// written and then shown.  One display serves them all: each takes over the
// one that is open.
#include <QFile>
#include <QPointer>
#include <QPushButton>

#include "ErrorTrap.h"
#include "FrmDisplay.h"
#include "FrmMain.h"
#include "ListsCol.h"
#include "MsgBoxTypes.h"
#include "OrmidYRB100.h"
#include "OwnerEnabler.h"
#include "Screen.h"
#include "WholeFile.h"
#include "modGlobalFunctions.h"
#include "modGlobalFunctionsFiles.h"

namespace {
constexpr int32_t kStatisticsProgressDelayMs = 2000;
constexpr ResultKinds kEveryResult = {.P_DoSta = true, .P_DoDup = true, .P_DoInv = true, .P_DoOut = true};
constexpr ResultKinds kStatisticsOnly = {.P_DoSta = true};
}  // namespace

void FrmMain::ConnectResultButtons() {
    connect(ComViewLeft, &QPushButton::clicked, this, &FrmMain::ComViewLeft_Click);
    connect(ComViewRight, &QPushButton::clicked, this, &FrmMain::ComViewRight_Click);
}

void FrmMain::OpenResultViewer(int32_t slot, clsEmailList* desc, const ResultKinds& kinds) {
    QPointer<FrmDisplay> viewer =
        qobject_cast<FrmDisplay*>(modGlobalFunctions::IsFormLoaded(QStringLiteral("FrmDisplay")));
    if (!viewer) {
        viewer = new FrmDisplay(this);
        viewer->Form_Load();
    }
    viewer->OwnerForm = this;
    viewer->CForm = this;
    viewer->setWindowTitle(Side(slot).word + QStringLiteral(" List Results"));
    if (viewer->Initialize(desc, kinds, &WarnBigResults)) {
        viewer->show();
        viewer->raise();
        viewer->activateWindow();
    } else if (viewer) {
        // Nothing to show: an open display closes too.
        viewer->Unload();
    }
}

void FrmMain::ComViewLeft_Click() { ShowResults(1, "ComViewLeft_Click"); }

void FrmMain::ComViewRight_Click() { ShowResults(2, "ComViewRight_Click"); }

void FrmMain::ShowResults(int32_t slot, const char* routine) {
    Trap([&] { OpenResultViewer(slot, Side(slot).resultsDesc, kEveryResult); },
         [&](const QString& d) { Report(d, QString(), QString::fromLatin1(routine)); });
    // The display disabled its owner; the window is the user's again while
    // the display stays open beside it.
    OwnerEnabler::SetEnabled(this, true);
}

void FrmMain::M_Popup1Stat_Click() {
    const ClosingStep closing(this);
    Trap(
        [&] {
            const ListPaneRef pane = ThisList;
            if (!SideOf(pane.get())) {
                Report(QStringLiteral("List Object not Set"), QString(), QStringLiteral("M_Popup1Stat_Click"));
                return;
            }
            clsEmailList* desc = SideOf(pane.get()).listDesc;
            int32_t h = 0;
            {
                // The window is usable again before any message or the display.
                const ClosingStep computed(this);
                StartProgress(kStatisticsProgressDelayMs, QStringLiteral("Computing Statistics"),
                              QStringLiteral("Now computing the domain names statistics"));
                Screen::Instance()->SetMousePointer(Screen::kHourglassPointer);
                // A run that fails leaves the former statistics as they were.
                FormerContent former;
                former.SetAside(desc->NameSta);
                h = YRB23(pane->VListNb, QFile::encodeName(desc->NameSta).constData(), 0, YRB_MASK_REMOVED);
                if (h >= 0 || h == YRB_STOPPED) former.Drop();
                if (h >= 0) Side(pane->VListNb).view->setEnabled(desc->HasResults());
            }
            if (h < 0) {
                // The engine has told why.
                modGlobalFunctions::DisplayMessage(
                    {.message = QStringLiteral("The domain statistics could not be computed"),
                     .Title = QStringLiteral("Failed to compute statistics"),
                     .IconNb = MsgBoxIcon::Error,
                     .ShowOk = true,
                     .CForm = this,
                     .OForm = this});
                return;
            }
            OpenResultViewer(pane->VListNb, desc, kStatisticsOnly);
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("M_Popup1Stat_Click")); });
}
