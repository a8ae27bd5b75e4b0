#include "FrmMain.h"

#include <limits>
#include <utility>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCloseEvent>
#include <QFile>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "ErrorTrap.h"
#include "FileChangeWatcher.h"
#include "FindHistory.h"
#include "FontFamilies.h"
#include "FrmSplash.h"
#include "ImageList.h"
#include "IntervalTimer.h"
#include "ListsCol.h"
#include "MailboxFile.h"
#include "MessagePump.h"
#include "OrmidYRB100.h"
#include "OwnerEnabler.h"
#include "PanelStatusBar.h"
#include "PictureBox.h"
#include "ProductLogo.h"
#include "ProgramFolder.h"
#include "ReportError.h"
#include "RichTextBox.h"
#include "Rules.h"
#include "RulesFile.h"
#include "Screen.h"
#include "ServiceObjects.h"
#include "StatusPanel.h"
#include "clsChronometer.h"
#include "clsError.h"
#include "clsInterrupt.h"
#include "clsList.h"
#include "clsMemUsage.h"
#include "clsMergeFile.h"
#include "clsMonitor.h"
#include "clsResizer.h"
#include "clsTrace.h"
#include "clsVL2.h"
#include "clsVirtualListview.h"
#include "modCallBack.h"
#include "modGlobalFunctions.h"
#include "modGlobalFunctionsForms.h"
#include "modGlobalFunctionsListView.h"
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

    connect(ComSaveErrConsole, &QPushButton::clicked, this, &FrmMain::ComSaveErrConsole_Click);
    connect(SSTab, &QTabWidget::currentChanged, this, &FrmMain::SSTab_Click);

    BuildMenus();
    ConnectReferenceCommands();
    ConnectSortHeaders();
    ConnectFlagBoxes();
    ConnectPaneButtons();
    ConnectCompare();
    ConnectMerge();
    ConnectResultButtons();
    ConnectPopup1();
    ConnectMailPaneAccounts();
    ConnectMailPaneCommands();
    ConnectCriteria();
}

FrmMain::~FrmMain() {
    // Destroyed without being closed: no question can keep it any more.
    if (!m_unloaded) ShutDown();
    // Destroying the controls moves the focus between them, and by then this
    // is no longer an FrmMain: nothing may hand their events on to it.
    for (const QPointer<QObject>& forwarder : m_eventForwarders) delete forwarder;
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

bool FrmMain::InitSessionObj() {
    bool ok = false;
    Trap(
        [&] {
            const std::pair<std::unique_ptr<clsPOP3Session>*, IntervalTimer*> sessions[] = {{&Session1, TmrPOP31},
                                                                                           {&Session2, TmrPOP32}};
            for (const auto& [session, timer] : sessions) {
                *session = std::make_unique<clsPOP3Session>();
                (*session)->MyError = ErrorObj();
                (*session)->Interrupt = InterruptObj();
                (*session)->MyTrace = TraceObj();
                (*session)->Tmr = timer;
            }
            ok = true;
        },
        [&](const QString& d) {
            Report(d, QStringLiteral("Error Initializing Session Objects"), QStringLiteral("InitSessionObj"));
        });
    return ok;
}

void FrmMain::Form_Load() {
    Trap(
        [&] {
            IsResizing = true;
            InitErrorObj();
            // The program folder was decided before there was a console: a
            // shipped file it could not be given is said before the loads
            // that miss it.
            for (const QString& failure : ProgramFolder::TakeCopyFailures())
                Report(failure, QStringLiteral("Error Copying Reference Files"), QStringLiteral("Form_Load"));
            InitTraceObj();
            InitInterruptObj();
            InitListsCol();
            ConnectWorkspacePanes();
            ConnectPaneKeysAndTips();
            ConnectFilePane();
            SetHeaderTips();
            InitMonitorObj();
            InitChronoObj();
            InitMemUsageObj();
            InitResizerObj();
            InitSessionObj();
            ConnectMailPaneEvents();

            const QString folder = ProgramFolder::Path() + QLatin1Char('/');
            const std::pair<clsEmailList*, const char*> references[] = {
                {&ValidExtDesc, "DN_All.cfg"},
                {&ExcludeExtDesc, "DN_Exclude.cfg"},
                {&RejectKeywordDesc, "DN_Reject.cfg"}};
            for (const auto& [desc, name] : references) {
                desc->NameSrc = folder + QLatin1String(name);
                desc->ColNbr = 1;
                desc->FldOth = true;
                desc->RecCrLF = true;
                desc->FldSep = QStringLiteral("|");
                desc->RecSep = QStringLiteral("\r\n");
            }

            using namespace modCallBack;
            EngineCallbackTable.reserved = nullptr;
            EngineCallbackTable.error = FnPtrToLong(&CBError);
            EngineCallbackTable.information = FnPtrToLong(&CBShowInfo);
            EngineCallbackTable.init_progress = FnPtrToLong(&CBInitMonitor);
            EngineCallbackTable.check_interrupt = FnPtrToLong(&CBCheckInterrupt);
            EngineCallbackTable.progress = FnPtrToLong(&CBShowProgress);
            EngineCallbackTable.animate = FnPtrToLong(&CBAnimateBar);
            YRB07(&EngineCallbackTable);

            // The splash window unless the user hid it; the load goes on when it closes.
            if (modRegistry::GetSetting(QStringLiteral("Hide"), QString()) != QLatin1String("1")) {
                FrmSplash splash(this);
                splash.Form_Load();
                splash.TmrSplash->SetEnabled(true);
                splash.exec();
            }

            const std::pair<ListKind, const char*> views[] = {{DomainsCountry, "DN_Country.cfg"},
                                                              {GenericDomains, "DN_Generic.cfg"},
                                                              {KeywordsToReject, "DN_Keyword.cfg"},
                                                              {ExtensionsToReject, "DN_User.cfg"}};
            for (const auto& [kind, name] : views)
                modGlobalFunctions::LoadListView(dynamic_cast<clsList*>(ListsCol[kind].get()),
                                                 folder + QLatin1String(name), false, true, QStringLiteral("|"));
            PrepareFiles();
            // Kept in the user's own data folder, never the program folder:
            // the file holds passwords.
            LoadMailboxes(MailboxFile::Path());
            LoadRules(RulesFile::Path());
            LoadRuleCombo();
            CboRules->setCurrentIndex(CboRules->count() > 0 ? 0 : -1);

            modGlobalFunctions::CenterForm(this, nullptr);
            EditorPath = modRegistry::GetSetting(QStringLiteral("Editor"), modProcess::DefaultEditor());

            BlockListDesc.NameSrc = modRegistry::GetSetting(QStringLiteral("BlkLst"), QString());
            BlockListDesc.SetFieldSep(modRegistry::GetSetting(QStringLiteral("BlkFld"), QString()));
            BlockListDesc.SetRecordSep(modRegistry::GetSetting(QStringLiteral("BlkRec"), QString()));
            BlockListDesc.ColNbr = BlockListColumn();
            TxtBlkFile->setText(BlockListDesc.NameSrc);

            // Failures reach the console through the engine's error callback.
            LoadReferenceList(&YRB06, ValidExtDesc);
            LoadReferenceList(&YRB04, ExcludeExtDesc);
            LoadReferenceList(&YRB05, RejectKeywordDesc);
            if (!BlockListDesc.NameSrc.isEmpty()) LoadReferenceList(&YRB08, BlockListDesc);
            // From now on a list saved by any editor is taken as an Edit takes it.
            WatchReferenceLists();
            // Reports made from now on go to the console only.
            ErrorObj()->LogToFileFlag = false;

            SSTab->setCurrentIndex(0);
            ComViewLeft->setEnabled(false);
            ComViewRight->setEnabled(false);
            SetBothListPerm();
            WarnBigResults = true;
            TxtBlkFile_Change();
            TxtLines->setText(QStringLiteral("25"));
            OptEmailHdr->setChecked(true);
            ChkTrace_Click();
            for (QPushButton* b : {ComSaveContent, ComSaveHeader, ComHighLight, ComSaveErrConsole})
                b->setEnabled(false);
            Bar->SetDrawMode(PictureBox::kNotXorPen);
        },
        [&](const QString& d) {
            Report(d, QString(), QStringLiteral("Form_Load"));
            ErrorObj()->LogToFileFlag = false;
        });
    // Shown even after a failed step: a program without a window could not
    // be ended.
    show();
}

int32_t FrmMain::BlockListColumn() {
    const QString text = modRegistry::GetSetting(QStringLiteral("BlkCol"), QStringLiteral("1"));
    bool ok = false;
    const qlonglong column = text.trimmed().toLongLong(&ok);
    if (ok && column >= 1 && column <= std::numeric_limits<int32_t>::max()) return static_cast<int32_t>(column);
    Report(QStringLiteral("The setting 'BlkCol' holds '") + text +
               QStringLiteral("', which is no column number from 1 to 2147483647: "
                              "the block list is read from column 1"),
           QStringLiteral("Error Reading Settings"), QStringLiteral("Form_Load"));
    return 1;
}

bool FrmMain::Form_Unload() {
    if (m_unloaded) return false;
    bool cancel = false;
    Trap(
        [&] {
            if (!ChkErrPrompt->isChecked() || !ErrorLogUnsaved) return;
            const int answer = modGlobalFunctions::DisplayMessage(
                {.message = QStringLiteral("The Error Log has not been saved ! Do you want to save it now ?"),
                 .Title = QStringLiteral("Saving Error Log"),
                 .IconNb = MsgBoxIcon::Question,
                 .Focus = MsgBoxButton::Yes,
                 .ShowYes = true,
                 .ShowNo = true,
                 .ShowCancel = true,
                 .CForm = this,
                 .OForm = this});
            if (answer == MsgBoxButton::Cancel) {
                cancel = true;
                return;
            }
            // Whatever the save achieves, the program then ends.
            if (answer == MsgBoxButton::Yes) ComSaveErrConsole_Click();
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("Form_Unload")); });
    if (!cancel) ShutDown();
    return cancel;
}

void FrmMain::ShutDown() {
    m_unloaded = true;
    // The engine goes: a change seen from now on is not taken.  Deleted
    // later, for its signal may be what runs now.
    if (m_referenceWatcher) {
        m_referenceWatcher->disconnect(this);
        m_referenceWatcher->deleteLater();
        m_referenceWatcher = nullptr;
    }
    Trap(
        [&] {
            MessagePump::DoEvents();
            YRB09();
            for (IntervalTimer* t : {TmrProgress, TmrChrono, TmrMemory, TmrError}) t->SetEnabled(false);
            // Closing runs each window's own unload.  Windows are closed, not
            // deleted (their owners hold them); one may go with another.
            QList<QPointer<QWidget>> windows;
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w != this) windows.append(w);
            for (const QPointer<QWidget>& w : windows) {
                if (w.isNull() || !w->isVisible()) continue;
                w->close();
                MessagePump::DoEvents();
            }
            delete ItemImages;
            ItemImages = nullptr;
            delete HeaderImages;
            HeaderImages = nullptr;

            // The descriptors go with the window itself.
            m_resizer.reset();
            for (ListPaneRef& pane : ListsCol) pane.reset();
            ThisList.reset();
            ReleaseMonitorObj();
            ReleaseInterruptObj();
            ReleaseErrorObj();
            ReleaseTraceObj();
            FindHistory().clear();
            ReleaseChronoObj();
            ReleaseMemUsageObj();
            Mailboxes.reset();
            Rules.reset();
            // A session may be waiting in the pump that runs this unload: its
            // connection is cut now, the session deleted once its command
            // has returned.
            for (std::unique_ptr<clsPOP3Session>* session : {&Session1, &Session2}) {
                if (!*session) continue;
                (*session)->POP3Interrupt(false);
                session->release()->deleteLater();
            }
            MergeFiles().clear();
            VL_left.reset();
            VL_right.reset();
            VL_mail.reset();
            VL_file.reset();
            MessagePump::DoEvents();
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("Form_Unload")); });
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
