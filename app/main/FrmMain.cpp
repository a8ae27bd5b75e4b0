#include "FrmMain.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "ErrorTrap.h"
#include "FontFamilies.h"
#include "FrmOptions.h"
#include "FrmSplash.h"
#include "IntervalTimer.h"
#include "MessagePump.h"
#include "OrmidYRB100.h"
#include "OwnerEnabler.h"
#include "PanelStatusBar.h"
#include "PictureBox.h"
#include "ProductLogo.h"
#include "ProgramFolder.h"
#include "ReportError.h"
#include "RichTextBox.h"
#include "Screen.h"
#include "ServiceObjects.h"
#include "StatusPanel.h"
#include "clsChronometer.h"
#include "clsError.h"
#include "clsInterrupt.h"
#include "clsMemUsage.h"
#include "clsMonitor.h"
#include "clsTrace.h"
#include "modCallBack.h"
#include "modGlobalFunctionsForms.h"
#include "modProcess.h"
#include "modRegistry.h"

namespace {
const QString kModule = QStringLiteral("FrmMain");

template <class T>
T* Named(T* object, const char* name) {
    object->setObjectName(QString::fromLatin1(name));
    return object;
}

// A service object wired to the program's error object and, when it follows
// long work, to its stop request.
template <class T>
std::shared_ptr<T> Wired(std::shared_ptr<T> object) {
    object->MyError = ErrorObj();
    if constexpr (requires { object->Interrupt; }) object->Interrupt = InterruptObj();
    return object;
}
}  // namespace

FrmMain::FrmMain(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("FrmMain"));
    setWindowTitle(QStringLiteral("Ormid List Studio"));
    setWindowIcon(QIcon(ProductLogo::Pixmap(64)));
    resize(960, 680);

    auto* central = new QWidget(this);

    Bar = Named(new PictureBox(central), "Bar");
    Bar->setFixedHeight(17);
    Bar->SetForeColor(QColor(0, 0, 128));
    Bar->SetBackColor(Qt::white);
    Bar->setFont(FontFamilies::Arial(8.25));
    Bar->hide();
    setCentralWidget(central);
    // The tabs and their controls, placed for the window's layout.
    BuildControls();

    StatusBar = Named(new PanelStatusBar({240, 140, 80, 70}, this), "StatusBar");
    setStatusBar(StatusBar);

    TmrProgress = Named(new IntervalTimer(this, 2000), "TmrProgress");
    TmrChrono = Named(new IntervalTimer(this, 250), "TmrChrono");
    TmrMemory = Named(new IntervalTimer(this, 500), "TmrMemory");
    TmrError = Named(new IntervalTimer(this, 600), "TmrError");

    connect(TmrProgress, &IntervalTimer::Timer, this, &FrmMain::TmrProgress_Timer);
    connect(TmrChrono, &IntervalTimer::Timer, this, &FrmMain::TmrChrono_Timer);
    connect(TmrMemory, &IntervalTimer::Timer, this, &FrmMain::TmrMemory_Timer);
    connect(TmrError, &IntervalTimer::Timer, this, &FrmMain::TmrError_Timer);
    connect(StatusBar, &PanelStatusBar::PanelClick, this, &FrmMain::StatusBar_PanelClick);
    connect(TxtErrors, &RichTextBox::Change, this, &FrmMain::TxtErrors_Change);
    connect(ComClearErrConsole, &QPushButton::clicked, this, &FrmMain::ComClearErrConsole_Click);

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("S_Help"));
    S_HelpOptions = Named(help->addAction(QStringLiteral("&Options")), "S_HelpOptions");
    S_HelpAbout = Named(help->addAction(QStringLiteral("About")), "S_HelpAbout");
    connect(S_HelpOptions, &QAction::triggered, this, &FrmMain::S_HelpOptions_Click);
    connect(S_HelpAbout, &QAction::triggered, this, &FrmMain::S_HelpAbout_Click);
}

FrmMain::~FrmMain() {
    if (!m_unloaded) Form_Unload();
}

void FrmMain::Report(const QString& description, const QString& context, const QString& routine) {
    modGlobalFunctions::ReportError(description, context, kModule, routine, false, true);
}

void FrmMain::InitErrorObj() {
    auto e = ErrorObj();
    e->LogFile = QStringLiteral("Error.log");
    e->LogDir = ProgramFolder::Path();
    e->LogScreen = this;
    e->CForm = this;
    e->SBar = StatusBar;
    e->Tmr = TmrError;
    e->LogToFileFlag = true;
}

void FrmMain::InitTraceObj() {
    auto t = Wired(TraceObj());
    t->TraceDir = ProgramFolder::Path();
    t->DoTraceToFile = false;
    t->DoTraceToScreen = false;
    t->TraceCtl = TxtErrors;
}

void FrmMain::InitInterruptObj() { Wired(InterruptObj()); }

void FrmMain::InitMonitorObj() {
    auto m = Wired(MonitorObj());
    m->Screen = Screen::Instance();
    m->OFrm = this;
    m->Timer = TmrProgress;
    m->Bar = Bar;
}

void FrmMain::InitChronoObj() {
    auto c = Wired(ChronoObj());
    c->Panel = StatusBar->Panel(3);
    c->Timer = TmrChrono;
}

void FrmMain::InitMemUsageObj() {
    auto m = Wired(MemUsageObj());
    m->Panel = StatusBar->Panel(2);
    m->Timer = TmrMemory;
    m->Startup(true);
}

void FrmMain::Form_Load() {
    Trap(
        [&] {
            InitErrorObj();
            InitTraceObj();
            InitInterruptObj();
            InitMonitorObj();
            InitChronoObj();
            InitMemUsageObj();

            using namespace modCallBack;
            EngineCallbackTable.reserved = nullptr;
            EngineCallbackTable.error = FnPtrToLong(&CBError);
            EngineCallbackTable.information = FnPtrToLong(&CBShowInfo);
            EngineCallbackTable.init_progress = FnPtrToLong(&CBInitMonitor);
            EngineCallbackTable.check_interrupt = FnPtrToLong(&CBCheckInterrupt);
            EngineCallbackTable.progress = FnPtrToLong(&CBShowProgress);
            EngineCallbackTable.animate = FnPtrToLong(&CBAnimateBar);
            YRB07(&EngineCallbackTable);

            modGlobalFunctions::CenterForm(this, nullptr);
            Bar->SetDrawMode(PictureBox::kNotXorPen);

            // The splash window unless the user hid it; the load goes on when it closes.
            if (modRegistry::GetSetting(QStringLiteral("Hide"), QString()) != QLatin1String("1")) {
                FrmSplash splash(this);
                splash.Form_Load();
                splash.TmrSplash->SetEnabled(true);
                splash.exec();
            }
            EditorPath = modRegistry::GetSetting(QStringLiteral("Editor"), modProcess::DefaultEditor());
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("Form_Load")); });
    // Reports made from now on go to the console only.  The window is shown
    // even after a failed step: a program without a window could not be ended.
    ErrorObj()->LogToFileFlag = false;
    show();
}

bool FrmMain::Form_Unload() {
    if (m_unloaded) return false;
    m_unloaded = true;
    Trap(
        [&] {
            MessagePump::DoEvents();
            YRB09();
            for (IntervalTimer* t : {TmrProgress, TmrChrono, TmrMemory, TmrError}) t->SetEnabled(false);
            ReleaseMonitorObj();
            ReleaseInterruptObj();
            ReleaseErrorObj();
            ReleaseTraceObj();
            ReleaseChronoObj();
            ReleaseMemUsageObj();
            MessagePump::DoEvents();
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("Form_Unload")); });
    return false;
}

void FrmMain::closeEvent(QCloseEvent* event) {
    // A window disabled by long work cannot be closed until the work ends.
    if (!OwnerEnabler::IsEnabled(this) || Form_Unload()) {
        event->ignore();
        return;
    }
    event->accept();
}

bool FrmMain::IsInterrupt() {
    MessagePump::DoEvents();
    auto interrupt = InterruptObj();
    if (!interrupt->Active) return false;
    interrupt->IReset();
    return true;
}

void FrmMain::TmrProgress_Timer() {
    Trap(
        [&] {
            TmrProgress->SetEnabled(false);
            auto m = MonitorObj();
            // The window belongs to the owner that Delay disabled, so that
            // Shutdown enables that one again.
            QWidget* owner = m->OFrm ? m->OFrm.data() : this;
            m->Startup(m->Caption, m->message, owner, m->UseBar);
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("TmrProgress_Timer")); });
}

void FrmMain::TmrChrono_Timer() {
    Trap([&] { ChronoObj()->Update(); },
         [&](const QString& d) { Report(d, QString(), QStringLiteral("TmrChrono_Timer")); });
}

void FrmMain::TmrMemory_Timer() {
    Trap([&] { MemUsageObj()->Update(); },
         [&](const QString& d) { Report(d, QString(), QStringLiteral("TmrMemory_Timer")); });
}

void FrmMain::TmrError_Timer() {
    Trap(
        [&] {
            StatusPanel* p = StatusBar->Panel(4);
            p->SetBevel(p->Bevel() == 1 ? 2 : 1);
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("TmrError_Timer")); });
}

void FrmMain::StatusBar_PanelClick(int index) {
    Trap(
        [&] {
            if (index != 4) return;
            TmrError->SetEnabled(false);
            StatusBar->Panel(4)->SetBevel(1);
            SSTab->setCurrentIndex(4);
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("StatusBar_PanelClick")); });
}

void FrmMain::TxtErrors_Change() {
    Trap(
        [&] {
            const bool hasText = !TxtErrors->Text().isEmpty();
            ErrorLogUnsaved = hasText;
            if (ComSaveErrConsole) ComSaveErrConsole->setEnabled(hasText);
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("TxtErrors_Change")); });
}

void FrmMain::ComClearErrConsole_Click() {
    Trap(
        [&] {
            TxtErrors->SetText(QString());
            TmrError->SetEnabled(false);
            StatusBar->Panel(4)->SetText(QString());
            StatusBar->Panel(4)->SetBevel(1);
            ErrorLogUnsaved = false;
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("ComClearErrConsole_Click")); });
}

void FrmMain::S_HelpAbout_Click() {
    Trap(
        [&] {
            FrmSplash about(this);
            about.Form_Load();
            about.setWindowTitle(QStringLiteral("About Ormid List Studio"));
            about.ChkHide->hide();
            modGlobalFunctions::CenterForm(&about, this);
            about.exec();
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("S_HelpAbout_Click")); });
}

void FrmMain::S_HelpOptions_Click() {
    Trap(
        [&] {
            FrmOptions options(this);
            options.Form_Load();
            options.exec();
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("S_HelpOptions_Click")); });
}
