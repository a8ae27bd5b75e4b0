#include "FrmDisplay.h"

#include <algorithm>
#include <array>
#include <optional>

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>

#include "DialogControls.h"
#include "ErrorTrap.h"
#include "FontFamilies.h"
#include "MessagePump.h"
#include "MsgBoxTypes.h"
#include "OwnerEnabler.h"
#include "PanelStatusBar.h"
#include "ReportError.h"
#include "ReportListView.h"
#include "RichTextBox.h"
#include "Screen.h"
#include "ServiceObjects.h"
#include "StatusPanel.h"
#include "Twips.h"
#include "clsEmailList.h"
#include "clsFile.h"
#include "clsList.h"
#include "clsResizer.h"
#include "modGlobalFunctions.h"
#include "modGlobalFunctionsFiles.h"
#include "modGlobalFunctionsForms.h"
#include "modGlobalFunctionsListView.h"
#include "modProcess.h"

namespace {

enum Tab { kStatisticsTab = 0, kDuplicatesTab = 1, kInvalidsTab = 2, kOutputTab = 3, kTabCount = 4 };

// Status-bar panels: the first is free, the second shows the current file.
constexpr int kNotePanel = 1;
constexpr int kPathPanel = 2;
constexpr int kNotePanelMinPx = 120;

// The window as designed, in twips: the client area above the status bar.
constexpr double kClientWidth = 9000;
constexpr double kClientHeight = 6135;
constexpr double kKilobyte = 1024;

const QString kCrLf = QStringLiteral("\r\n");

// The default pointer again however Initialize ends.
class DefaultPointerOnExit {
public:
    DefaultPointerOnExit() = default;
    ~DefaultPointerOnExit() { Screen::Instance()->SetMousePointer(Screen::kDefaultPointer); }
    DefaultPointerOnExit(const DefaultPointerOnExit&) = delete;
    DefaultPointerOnExit& operator=(const DefaultPointerOnExit&) = delete;
};

// The last element of a path, "" when the path does not parse.
QString FileNameOf(const QString& path) {
    clsFile file;
    return file.IsPathSyntaxOk(path) ? file.GetFileName() : QString();
}

// The names of the entries of the pattern's folder that fit it and are no
// folders, in name order (a directory listing here comes in no order).
QStringList MatchingFiles(const FilePattern& pattern) {
    QStringList names;
    const QDir dir(pattern.Folder().isEmpty() ? QStringLiteral(".") : pattern.Folder());
    const QFileInfoList entries =
        dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::NoSort);
    for (const QFileInfo& info : entries)
        if (pattern.Matches(info.fileName()) && !info.isDir()) names.append(info.fileName());
    std::sort(names.begin(), names.end());
    return names;
}

ReportListView* NewReportList(QWidget* page, const QString& name, const QStringList& captions) {
    auto* list = NewControl<ReportListView>(page, name, QString(), {120, 420, 8400, 4440}, "00111111");
    for (const QString& caption : captions) {
        const int col = list->AddColumn();
        list->SetColumnText(col, caption);
        list->SetColumnTag(col, QStringLiteral("1"));
    }
    return list;
}

QWidget* NewPage(QTabWidget* tabs, const char* name, const char* caption) {
    auto* page = new QWidget(tabs);
    page->setObjectName(QString::fromLatin1(name));
    tabs->addTab(page, QString::fromLatin1(caption));
    return page;
}

}  // namespace

FrmDisplay::FrmDisplay(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FrmDisplay"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::WindowMinMaxButtonsHint);
    setModal(false);
    setWindowTitle(QStringLiteral("Result File(s)"));
    setFont(FontFamilies::SansSerif(8.25));

    SSTabDisplay = NewControl<QTabWidget>(this, "SSTabDisplay", QString(), {120, 120, 8760, 5400}, "00111111");
    QWidget* page = NewPage(SSTabDisplay, "TabStatistics", "Statistics");
    LabSta = NewControl<QLabel>(page, "LabSta", QStringLiteral("Domain names occurrences"), {120, 120, 4800, 255});
    LabStaCnt =
        NewControl<QLabel>(page, "LabStaCnt", QStringLiteral("0 object(s)"), {5040, 120, 3480, 255}, "10001111");
    LstStat = NewReportList(page, "LstStat", {"Domain", "Occurrences", "Percentage"});

    page = NewPage(SSTabDisplay, "TabDuplicates", "Duplicates");
    LabDup = NewControl<QLabel>(page, "LabDup", QStringLiteral("Duplicate Email addresses"), {120, 120, 4800, 255});
    LabDupCnt =
        NewControl<QLabel>(page, "LabDupCnt", QStringLiteral("0 object(s)"), {5040, 120, 3480, 255}, "10001111");
    LstDup = NewReportList(page, "LstDup", {"Email Address", "Occurrences"});

    page = NewPage(SSTabDisplay, "TabInvalid", "Invalid");
    LabInv = NewControl<QLabel>(page, "LabInv", QStringLiteral("Invalid Email addresses"), {120, 120, 4800, 255});
    LabInvCnt =
        NewControl<QLabel>(page, "LabInvCnt", QStringLiteral("0 object(s)"), {5040, 120, 3480, 255}, "10001111");
    LstInv = NewReportList(page, "LstInv", {"Email Address", "Rejection Reason"});
    LstInv->header()->setSectionsClickable(true);

    page = NewPage(SSTabDisplay, "TabOutput", "Output");
    CboOutput = NewControl<QComboBox>(page, "CboOutput", QString(), {120, 120, 8400, 315}, "00101111");
    RtbOutput = NewControl<RichTextBox>(page, "RtbOutput", QString(), {120, 540, 8400, 4320}, "00111111");
    RtbOutput->SetContent(RichTextBox::Content::Bytes);
    RtbOutput->setReadOnly(true);
    RtbOutput->setFont(FontFamilies::CourierNew(9));

    for (QLabel* count : {LabStaCnt, LabDupCnt, LabInvCnt}) count->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    ComPrv = NewControl<QPushButton>(this, "ComPrv", QStringLiteral("<"), {120, 5640, 600, 375}, "01001111");
    ComNxt = NewControl<QPushButton>(this, "ComNxt", QStringLiteral(">"), {780, 5640, 600, 375}, "01001111");
    ComEdit = NewControl<QPushButton>(this, "ComEdit", QStringLiteral("Edit"), {7680, 5640, 1200, 375}, "11001111");
    for (QPushButton* b : {ComPrv, ComNxt, ComEdit}) b->setAutoDefault(false);

    StbDisplay = new PanelStatusBar({kNotePanelMinPx, Twips::ToPixels(kClientWidth) - kNotePanelMinPx}, this);
    StbDisplay->setObjectName(QStringLiteral("StbDisplay"));
    StbDisplay->setSizeGripEnabled(false);
    resize(Twips::ToPixels(kClientWidth), Twips::ToPixels(kClientHeight) + StbDisplay->sizeHint().height());
    PlaceStatusBar();

    connect(SSTabDisplay, &QTabWidget::currentChanged, this, [this](int) { SSTabDisplay_Click(); });
    connect(CboOutput, &QComboBox::currentIndexChanged, this, [this](int) { CboOutput_Click(); });
    connect(ComPrv, &QPushButton::clicked, this, &FrmDisplay::ComPrv_Click);
    connect(ComNxt, &QPushButton::clicked, this, &FrmDisplay::ComNxt_Click);
    connect(ComEdit, &QPushButton::clicked, this, &FrmDisplay::ComEdit_Click);
    connect(LstInv->header(), &QHeaderView::sectionClicked, this, &FrmDisplay::LstInv_ColumnClick);
}

FrmDisplay::~FrmDisplay() {
    // The controls go after this object's members: their last signals must
    // not reach it.
    for (QObject* sender : std::initializer_list<QObject*>{SSTabDisplay, CboOutput, LstInv->header()})
        disconnect(sender, nullptr, this, nullptr);
    if (m_watchedOwner) m_watchedOwner->removeEventFilter(this);
}

void FrmDisplay::Report(const QString& description, const QString& context, const QString& routine) {
    modGlobalFunctions::ReportError(description, context, QString(), routine, false, true);
}

void FrmDisplay::Form_Load() {
    IsResizing = true;
    Trap(
        [&] {
            m_resizer = std::make_unique<clsResizer>();
            m_resizer->MyError = ErrorObj();
            m_resizer->Screen = Screen::Instance();
            m_resizer->Frm = this;
            if (!m_resizer->Initialize()) setFixedSize(size());

            struct PaneSetup {
                std::shared_ptr<clsList>& pane;
                ReportListView* list;
                const char* name;
                QLabel* count;
            };
            const PaneSetup panes[] = {{LstStatistics, LstStat, "Statistics List", LabStaCnt},
                                       {LstDuplicates, LstDup, "Duplicates List", LabDupCnt},
                                       {LstInvalids, LstInv, "Invalids List", LabInvCnt}};
            for (const PaneSetup& p : panes) {
                auto pane = std::make_shared<clsList>();
                pane->MyError = ErrorObj();
                pane->Interrupt = InterruptObj();
                pane->Frm = this;
                pane->SetList(p.list);
                pane->name = QString::fromLatin1(p.name);
                pane->LabCnt = p.count;
                pane->ResizeCols();
                p.pane = pane;
            }
        },
        [&](const QString& d) {
            Report(d, QString(), QStringLiteral("Form_Load"));
            OwnerEnabler::SetEnabled(parentWidget(), true);
        });
}

bool FrmDisplay::Initialize(clsEmailList* List, const ResultKinds& kinds, bool* DoWarn) {
    const DefaultPointerOnExit pointer;
    WatchOwner();
    const bool ownerWasEnabled = OwnerForm && OwnerEnabler::IsEnabled(OwnerForm);
    bool shown = false;
    m_initializing = true;
    Trap([&] { shown = Fill(List, kinds, DoWarn); },
         [&](const QString& d) { Report(d, QStringLiteral("Error Initializing Form"), QStringLiteral("Initialize")); });
    m_initializing = false;
    // A window that shows nothing leaves its owner as it found it.
    if (!shown && ownerWasEnabled) OwnerEnabler::SetEnabled(OwnerForm, true);
    FollowOwner();
    return shown;
}

bool FrmDisplay::Fill(clsEmailList* List, const ResultKinds& kinds, bool* DoWarn) {
    if (List == nullptr) return false;
    CurrentList = *List;

    const QString outCast = List->NameOutCast();
    const FilePattern outputs = outCast.isEmpty() ? FilePattern() : FilePattern::Wild(outCast);
    struct Kind {
        bool shown;
        QString file;  // the report to load; NameOut for the question
        FilePattern pattern;
        const char* label;
        const char* nameEnd;
        int64_t size = 0;
        bool big = false;
    };
    std::array<Kind, kTabCount> tabs = {{
        {kinds.P_DoSta, List->NameSta, FilePattern(List->NameSta), "Domain statistics  (", " : "},
        {kinds.P_DoDup, List->NameDup, FilePattern(List->NameDup), "Duplicate list  (", " : "},
        {kinds.P_DoInv, List->NameInv, FilePattern(List->NameInv), "Invalid list  (", " : "},
        {kinds.P_DoOut, List->NameOut, outputs, "Output file  (", "* : "},
    }};
    bool any = false;
    int bigCount = 0;
    for (Kind& k : tabs) {
        k.shown = k.shown && modGlobalFunctions::IsFilePresent(k.pattern);
        if (!k.shown) continue;
        any = true;
        k.size = modGlobalFunctions::GetFileSize(k.pattern);
        k.big = k.size > kBigFileBytes;
        if (k.big) ++bigCount;
    }
    if (!any) return false;

    if (DoWarn != nullptr && *DoWarn && bigCount > 0) {
        const bool several = bigCount >= 2;
        QString text =
            QLatin1String(several ? "The following files are quite big :" : "The following file is quite big :") +
            kCrLf + kCrLf;
        for (const Kind& k : tabs) {
            if (!k.big) continue;
            text += QLatin1String(k.label) + FileNameOf(k.file) + QLatin1String(k.nameEnd) +
                    QString::number(k.size / static_cast<int64_t>(kKilobyte)) + QStringLiteral("KB)") + kCrLf;
        }
        text += kCrLf;
        text += QLatin1String(several ? "Displaying them might take a long time, "
                                      : "Displaying it might take a long time ! ");
        text += QStringLiteral("do you want to proceed anyway ?");
        int answer = modGlobalFunctions::DisplayMessage({.message = text,
                                                         .Title = QStringLiteral("Big Results File(s)"),
                                                         .IconNb = MsgBoxIcon::Logo,
                                                         .Focus = 0,
                                                         .ShowYes = true,
                                                         .ShowNo = true,
                                                         .Choice = QStringLiteral("Do not prompt me next time"),
                                                         .CForm = OwnerForm,
                                                         .OForm = OwnerForm});
        // A box that closed itself or failed answers -1, every bit set: no
        // button was pressed and no option ticked.
        if (answer < 0) answer = 0;
        *DoWarn = (answer & MsgBoxButton::Option) == 0;
        if ((answer & MsgBoxButton::Yes) == 0) return false;
    }

    // The owner takes no input while the files load: the engine reads the
    // reports and lets window messages run meanwhile.
    OwnerEnabler::SetEnabled(OwnerForm, false);
    FollowOwner();

    LstStat->ClearItems();
    LstStat->ClearColumns();
    LstDup->ClearItems();
    LstInv->ClearItems();
    CboOutput->clear();
    RtbOutput->SetText(QString());
    StbDisplay->Panel(kNotePanel)->SetText(QString());
    {
        const QSignalBlocker quiet(SSTabDisplay);
        for (int t = 0; t < kTabCount; ++t) SSTabDisplay->setTabVisible(t, false);
    }
    Screen::Instance()->SetMousePointer(Screen::kHourglassPointer);

    const std::shared_ptr<clsList> panes[] = {LstStatistics, LstDuplicates, LstInvalids};
    for (int t = kStatisticsTab; t <= kInvalidsTab; ++t) {
        if (!tabs[t].shown || !panes[t]) continue;
        modGlobalFunctions::LoadListView(panes[t].get(), tabs[t].file, false, false, QString());
        panes[t]->SetAll();
        panes[t]->List()->Refresh();
    }

    if (tabs[kOutputTab].shown) {
        clsFile out;
        if (!out.IsPathSyntaxOk(List->NameOut)) return false;
        for (const QString& name : MatchingFiles(outputs)) CboOutput->addItem(outputs.Folder() + name);
        if (CboOutput->count() > 0) CboOutput->setCurrentIndex(0);
    }

    int first = -1;
    {
        const QSignalBlocker quiet(SSTabDisplay);
        for (int t = 0; t < kTabCount; ++t) {
            SSTabDisplay->setTabVisible(t, tabs[t].shown);
            if (tabs[t].shown && first < 0) first = t;
        }
        SSTabDisplay->setCurrentIndex(first);
    }
    SSTabDisplay_Click();

    OwnerEnabler::SetEnabled(OwnerForm, false);
    modGlobalFunctions::CenterForm(this, CForm);
    return true;
}

void FrmDisplay::Unload() { close(); }

void FrmDisplay::reject() { close(); }

void FrmDisplay::closeEvent(QCloseEvent* event) {
    // Closing while the window fills itself would take the lists away from
    // under the load.
    if (m_initializing) {
        event->ignore();
        return;
    }
    event->accept();
    if (m_unloaded) return;
    m_unloaded = true;
    Form_Unload();
}

void FrmDisplay::Form_Unload() {
    Trap(
        [&] {
            hide();
            MessagePump::DoEvents();
            LstStatistics.reset();
            LstDuplicates.reset();
            LstInvalids.reset();
            m_resizer.reset();
            if (m_watchedOwner) m_watchedOwner->removeEventFilter(this);
            m_watchedOwner = nullptr;
            OwnerForm = nullptr;
            CForm = nullptr;
            CurrentList.reset();
        },
        [&](const QString& d) {
            Report(d, QStringLiteral("Error Unloading Form"), QStringLiteral("Form_Unload"));
            OwnerEnabler::SetEnabled(OwnerForm, true);
            OwnerForm = nullptr;
        });
    // An unloaded window is found no more, and goes.
    setObjectName(QString());
    deleteLater();
}

void FrmDisplay::WatchOwner() {
    if (m_watchedOwner == OwnerForm) return;
    if (m_watchedOwner) m_watchedOwner->removeEventFilter(this);
    m_watchedOwner = OwnerForm;
    if (m_watchedOwner) m_watchedOwner->installEventFilter(this);
}

void FrmDisplay::FollowOwner() { setEnabled(!OwnerForm || OwnerEnabler::IsEnabled(OwnerForm)); }

bool FrmDisplay::eventFilter(QObject* watched, QEvent* event) {
    // OwnerEnabler marks the owner with a property when long work disables it.
    if (watched == m_watchedOwner &&
        (event->type() == QEvent::DynamicPropertyChange || event->type() == QEvent::EnabledChange))
        FollowOwner();
    return QDialog::eventFilter(watched, event);
}

void FrmDisplay::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    PlaceStatusBar();
    Form_Resize();
}

void FrmDisplay::PlaceStatusBar() {
    const int h = StbDisplay->sizeHint().height();
    StbDisplay->setGeometry(0, height() - h, width(), h);
    // The path takes what the first panel leaves.
    StbDisplay->Panel(kPathPanel)->setFixedWidth(std::max(kNotePanelMinPx, width() - 2 * kNotePanelMinPx));
}

void FrmDisplay::Form_Resize() {
    Trap(
        [&] {
            if (IsResizing || !m_resizer) return;
            IsResizing = true;
            // Qt paints once the layout is done; the tab control is kept from
            // painting meanwhile rather than hidden, which would take the focus.
            SSTabDisplay->setUpdatesEnabled(false);
            m_resizer->Resize();
            for (const std::shared_ptr<clsList>& pane : {LstStatistics, LstDuplicates, LstInvalids})
                if (pane && pane->List() && pane->List()->ColumnCount() > 0) pane->ResizeCols();
        },
        [&](const QString& d) { Report(d, QStringLiteral("Error Resizing Form"), QStringLiteral("Form_Resize")); });
    SSTabDisplay->setUpdatesEnabled(true);
    IsResizing = false;
}

void FrmDisplay::SSTabDisplay_Click() {
    Trap(
        [&] {
            if (!CurrentList) return;
            ComPrv->setVisible(false);
            ComNxt->setVisible(false);
            StatusPanel* path = StbDisplay->Panel(kPathPanel);
            const QString* report = nullptr;
            switch (SSTabDisplay->currentIndex()) {
                case kStatisticsTab:
                    report = &CurrentList->NameSta;
                    break;
                case kDuplicatesTab:
                    report = &CurrentList->NameDup;
                    break;
                case kInvalidsTab:
                    report = &CurrentList->NameInv;
                    break;
                case kOutputTab: {
                    const bool files = CboOutput->count() > 0;
                    ComPrv->setVisible(files);
                    ComNxt->setVisible(files);
                    ComPrv->setEnabled(files);
                    ComNxt->setEnabled(files);
                    path->SetText(QString());
                    if (CboOutput->currentIndex() >= 0) path->SetText(CboOutput->currentText());
                    return;
                }
                default:
                    return;
            }
            ComPrv->setEnabled(false);
            ComNxt->setEnabled(false);
            path->SetText(*report);
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("SSTabDisplay_Click")); });
}

void FrmDisplay::CboOutput_Click() {
    Trap(
        [&] {
            if (CboOutput->currentIndex() < 0) return;
            for (QPushButton* b : {ComPrv, ComNxt, ComEdit}) b->setEnabled(false);
            Screen::Instance()->SetMousePointer(Screen::kHourglassPointer);
            const QString file = CboOutput->currentText();
            RtbOutput->SetText(QString());
            LoadOutput(file);
            StbDisplay->Panel(kPathPanel)->SetText(file);
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("CboOutput_Click")); });
    for (QPushButton* b : {ComPrv, ComNxt, ComEdit}) b->setEnabled(true);
    Screen::Instance()->SetMousePointer(Screen::kDefaultPointer);
}

void FrmDisplay::LoadOutput(const QString& path) {
    StatusPanel* note = StbDisplay->Panel(kNotePanel);
    note->SetText(QString());
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        Report(QStringLiteral("Could not open file for reading : ") + path, QString(),
               QStringLiteral("CboOutput_Click"));
        return;
    }
    const int64_t size = file.size();
    QByteArray bytes = file.read(kOutputViewBytes);
    if (size > kOutputViewBytes) {
        // A cut in the middle of a record would show a record that is not there.
        const qsizetype lastLine = bytes.lastIndexOf('\n');
        if (lastLine > 0) bytes.truncate(lastLine + 1);
        note->SetText(QStringLiteral("First ") + QString::number(bytes.size() / static_cast<int64_t>(kKilobyte)) +
                      QStringLiteral(" KB of ") + QString::number(size / static_cast<int64_t>(kKilobyte)) +
                      QStringLiteral(" KB shown"));
    }
    RtbOutput->SetText(QString::fromLatin1(bytes));
}

void FrmDisplay::ComPrv_Click() {
    Trap(
        [&] {
            if (CboOutput->count() == 0) return;
            if (CboOutput->currentIndex() < 0) CboOutput->setCurrentIndex(0);
            if (CboOutput->currentIndex() > 0) CboOutput->setCurrentIndex(CboOutput->currentIndex() - 1);
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("ComPrv_Click")); });
}

void FrmDisplay::ComNxt_Click() {
    Trap(
        [&] {
            if (CboOutput->count() == 0) return;
            if (CboOutput->currentIndex() < 0) CboOutput->setCurrentIndex(0);
            if (CboOutput->currentIndex() < CboOutput->count() - 1)
                CboOutput->setCurrentIndex(CboOutput->currentIndex() + 1);
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("ComNxt_Click")); });
}

void FrmDisplay::ComEdit_Click() {
    Trap(
        [&] {
            if (!CurrentList) return;
            std::optional<QString> file;
            switch (SSTabDisplay->currentIndex()) {
                case kStatisticsTab:
                    file = CurrentList->NameSta;
                    break;
                case kDuplicatesTab:
                    file = CurrentList->NameDup;
                    break;
                case kInvalidsTab:
                    file = CurrentList->NameInv;
                    break;
                case kOutputTab:
                    if (CboOutput->currentIndex() >= 0) file = CboOutput->currentText();
                    break;
                default:
                    break;
            }
            if (!file) return;
            // The path is one argument, whatever it holds; the editor's exit
            // code tells nothing, and a start failure is reported by ExecCmd.
            modProcess::ExecCmd(EditorPath, *file);
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("ComEdit_Click")); });
}

void FrmDisplay::LstInv_ColumnClick(int Column) {
    Trap(
        [&] {
            LstInv->SetSorted(false);
            LstInv->SetSortKey(Column);
            LstInv->SetSortOrder(LstInv->SortOrder() == 0 ? 1 : 0);
            LstInv->SetSorted(true);
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("LstInv_ColumnClick")); });
}
