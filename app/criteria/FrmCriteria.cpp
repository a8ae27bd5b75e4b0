#include "FrmCriteria.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <algorithm>

#include "CriteriaIcons.h"
#include "DialogControls.h"
#include "ErrorTrap.h"
#include "FontFamilies.h"
#include "FrmName.h"
#include "ImageList.h"
#include "ListDialogSeam.h"
#include "MessagePump.h"
#include "OwnerDataListView.h"
#include "OwnerEnabler.h"
#include "PanelStatusBar.h"
#include "PictureBox.h"
#include "PopupMenuSeam.h"
#include "ReportError.h"
#include "Rules.h"
#include "RulesFile.h"
#include "Screen.h"
#include "ServiceObjects.h"
#include "StatusPanel.h"
#include "Twips.h"
#include "clsResizer.h"
#include "clsRule.h"
#include "clsVirtualListview.h"
#include "modGlobalFunctions.h"
#include "modGlobalFunctionsForms.h"

namespace {

const QString kModule = QStringLiteral("FrmKeyword");
const QString kInvalidKeyword = QStringLiteral("Invalid Keyword");

// The keyword list's columns.
enum Column : int32_t {
    kColTick = 0,
    kColUse = 1,
    kColKeyword = 2,
    kColHeader = 3,
    kColContent = 4,
    kColSubject = 5,
    kColWord = 6,
    kColCase = 7,
};

struct ColumnDesign {
    const char* text;
    int16_t width;   // pixels
    int16_t factor;  // share of the free width
};
const ColumnDesign kColumns[] = {{"", 25, 0}, {"", 17, 0}, {"Keyword", 0, 1}, {"", 17, 0},
                                 {"", 17, 0}, {"", 17, 0}, {"", 17, 0},       {"", 17, 0}};

constexpr int kNoImage = -1;
constexpr int kStatusBarTwips = 345;
constexpr int kHintPanel = 1;

// Where the shown lines of the logic panel go, in twips from the frame's top.
constexpr double kFirstLine = 720;
constexpr double kFirstCombo = 1200;
constexpr double kSecondLine = 1560;
constexpr double kSecondCombo = 2040;
constexpr double kThirdLine = 2400;

// Hit-test flags of the list: the image, the label and the state image.
constexpr int32_t kOnItem =
    OwnerDataListView::LVHT_ONITEMICON | OwnerDataListView::LVHT_ONITEMLABEL | OwnerDataListView::LVHT_ONITEMSTATEICON;

// Keys, as the list reports them.
constexpr int16_t kKeyS = 0x53;
constexpr int16_t kKeyD = 0x44;
constexpr int16_t kKeyI = 0x49;
constexpr int16_t kNavigationKeys[] = {0x21 /*Page Up*/, 0x22 /*Page Down*/, 0x23 /*End*/,
                                       0x24 /*Home*/,    0x26 /*Up*/,        0x28 /*Down*/};

// Only a pressed Yes consents; a box closed without a button (0) or that
// failed (-1, all bits set) does not.
bool Consents(int answer) { return answer > 0 && (answer & MsgBoxButton::Yes) != 0; }

// The criteria file cuts its fields at these.
bool HoldsFileSeparator(const QString& text) {
    for (QChar c : text)
        if (c == QLatin1Char('|') || c == QLatin1Char(';') || c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            return true;
    return false;
}

// The flag a column of the list shows; null for the tick and text columns.
bool* FlagOf(clsKeyword& k, int32_t column) {
    switch (column) {
        case kColUse: return &k.DoUse;
        case kColHeader: return &k.DoHea;
        case kColContent: return &k.DoCon;
        case kColSubject: return &k.DoSub;
        case kColWord: return &k.DoWrd;
        case kColCase: return &k.DoCas;
        default: return nullptr;
    }
}

// The image of a flag column, on and off.
int FlagImage(int32_t column, bool on) {
    using namespace CriteriaIcons;
    switch (column) {
        case kColUse: return on ? kInUse : kNotInUse;
        case kColHeader: return on ? kHeader : kUnticked;
        case kColContent: return on ? kContent : kUnticked;
        case kColSubject: return on ? kSubject : kUnticked;
        case kColWord: return on ? kWholeWord : kUnticked;
        case kColCase: return on ? kCaseSensitive : kUnticked;
        default: return kNoImage;
    }
}

// The hourglass while a scope runs, the default pointer however it ends.
class Hourglass {
public:
    Hourglass() { Screen::Instance()->SetMousePointer(Screen::kHourglassPointer); }
    ~Hourglass() { Screen::Instance()->SetMousePointer(Screen::kDefaultPointer); }
    Hourglass(const Hourglass&) = delete;
    Hourglass& operator=(const Hourglass&) = delete;
};

// A window's content disabled while a scope runs, enabled however it ends.
class Disabled {
public:
    explicit Disabled(QWidget* window) : m_window(window) { OwnerEnabler::SetEnabled(m_window, false); }
    ~Disabled() { OwnerEnabler::SetEnabled(m_window, true); }
    Disabled(const Disabled&) = delete;
    Disabled& operator=(const Disabled&) = delete;

private:
    QWidget* m_window;
};

}  // namespace

struct FrmCriteria::PartsInUse {
    bool header = false;
    bool body = false;
    bool subject = false;
};

FrmCriteria::FrmCriteria(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FrmCriteria"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::WindowMaximizeButtonHint);
    setWindowTitle(QStringLiteral("Message Selection Criteria"));
    setFont(FontFamilies::SansSerif(8.25));

    FraRules = NewControl<QGroupBox>(this, "FraRules", QStringLiteral(" Available set(s) of Criteria"),
                                     {0, 0, 8895, 735}, "00101111");
    CboRules = NewControl<QComboBox>(FraRules, "CboRules", QString(), {120, 260, 5295, 330}, "00101111");
    ComRuleDel = NewControl<QPushButton>(FraRules, "ComRuleDel", QStringLiteral("Delete this Set"),
                                         {5680, 260, 1335, 300}, "10001111");
    ComRuleAdd = NewControl<QPushButton>(FraRules, "ComRuleAdd", QStringLiteral("Add a new Set"),
                                         {7340, 260, 1335, 300}, "10001111");

    FraMain = NewControl<QGroupBox>(this, "FraMain", QStringLiteral(" Keyword list"), {0, 720, 5415, 3615}, "00111111");
    LabKeyCnt = NewControl<QLabel>(FraMain, "LabKeyCnt", QStringLiteral("object(s)"), {130, 240, 2040, 255});
    LabKeySel =
        NewControl<QLabel>(FraMain, "LabKeySel", QStringLiteral("selected"), {3555, 240, 1695, 255}, "10001111");
    LabKeySel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    PicVcriteria = NewControl<PictureBox>(FraMain, "PicVcriteria", QString(), {120, 480, 5175, 2655}, "00111111");
    // Its list takes its place in the Tab order.
    PicVcriteria->setFocusPolicy(Qt::NoFocus);
    ComSelAll =
        NewControl<QPushButton>(FraMain, "ComSelAll", QStringLiteral("Select All"), {120, 3195, 1215, 300}, "01001111");
    ComDesAll = NewControl<QPushButton>(FraMain, "ComDesAll", QStringLiteral("Deselect All"), {1440, 3195, 1215, 300},
                                        "01001111");
    ComInvSel =
        NewControl<QPushButton>(FraMain, "ComInvSel", QStringLiteral("Invert"), {2760, 3195, 1215, 300}, "01001111");
    ComRemove =
        NewControl<QPushButton>(FraMain, "ComRemove", QStringLiteral("Remove"), {4080, 3195, 1215, 300}, "11001111");

    FraKeyword =
        NewControl<QGroupBox>(this, "FraKeyword", QStringLiteral(" Keyword "), {0, 4320, 5415, 735}, "01101111");
    TxtKeyword = NewControl<QLineEdit>(FraKeyword, "TxtKeyword", QString(), {120, 290, 2535, 285}, "00101111");
    ComAdd = NewControl<QPushButton>(FraKeyword, "ComAdd", QStringLiteral("Add to list"), {2760, 270, 1215, 300},
                                     "10001111");
    ComUpdate =
        NewControl<QPushButton>(FraKeyword, "ComUpdate", QStringLiteral("Update"), {4080, 270, 1215, 300}, "10001111");

    FraLogic = NewControl<QGroupBox>(this, "FraLogic", QStringLiteral(" Logic to apply to message selection "),
                                     {5520, 720, 3375, 4335}, "10011111");
    LabLogic = NewControl<QLabel>(FraLogic, "LabLogic", QStringLiteral("Messages will be selected if :"),
                                  {240, 360, 2895, 255});
    LabHeader = NewControl<QLabel>(
        FraLogic, "LabHeader", QStringLiteral("one of the selected <HEADER>  keywords is found in the message header"),
        {240, 720, 3015, 375});
    CboOP1 = NewControl<QComboBox>(FraLogic, "CboOP1", QString(), {240, 1200, 735, 330});
    OptPrec1 = NewControl<QRadioButton>(FraLogic, "OptPrec1", QStringLiteral("( )"), {1080, 1245, 1575, 255});
    LabContent =
        NewControl<QLabel>(FraLogic, "LabContent",
                           QStringLiteral("one of the selected <CONTENT> keywords is found in the message content"),
                           {240, 1560, 3015, 375});
    CboOP2 = NewControl<QComboBox>(FraLogic, "CboOP2", QString(), {240, 2040, 735, 330});
    OptPrec2 = NewControl<QRadioButton>(FraLogic, "OptPrec2", QStringLiteral("( )"), {1080, 2085, 1575, 255});
    LabSubject =
        NewControl<QLabel>(FraLogic, "LabSubject",
                           QStringLiteral("one of the selected <SUBJECT> keywords is found in the message subject"),
                           {240, 2400, 3015, 375});
    Lab = NewControl<QLabel>(FraLogic, "Lab", QStringLiteral("The condition is TRUE if keyword(s) are found in :"),
                             {240, 3000, 2895, 435});
    LabCondition = NewControl<QLabel>(FraLogic, "LabCondition", QString(), {240, 3480, 2895, 255});
    ComDone = NewControl<QPushButton>(FraLogic, "ComDone", QStringLiteral("Save changes"), {1920, 3880, 1215, 300},
                                      "01001111");
    for (QLabel* l : {LabHeader, LabContent, LabSubject, Lab}) l->setWordWrap(true);
    // The panel's texts were laid out for a narrow face: in the platform's
    // wider sans-serif their last words would fall outside the labels.
    for (QWidget* w : std::initializer_list<QWidget*>{LabLogic, LabHeader, LabContent, LabSubject, Lab, LabCondition,
                                                      CboOP1, CboOP2})
        w->setFont(FontFamilies::Arial(7.5));
    for (QComboBox* c : {CboOP1, CboOP2}) c->addItems({QStringLiteral("AND"), QStringLiteral("OR")});
    for (QRadioButton* o : {OptPrec1, OptPrec2}) o->setToolTip(QStringLiteral("Set operator precedence"));

    StatusBar = new PanelStatusBar({200}, this);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));

    M_Popup = new QMenu(QStringLiteral("PopUp Menu"), this);
    M_Popup->setObjectName(QStringLiteral("M_Popup"));
    M_PopupSetAll = M_Popup->addAction(QStringLiteral("Set All"));
    M_PopupSetAll->setObjectName(QStringLiteral("M_PopupSetAll"));
    M_PopupResAll = M_Popup->addAction(QStringLiteral("Reset All"));
    M_PopupResAll->setObjectName(QStringLiteral("M_PopupResAll"));
    M_PopupInvAll = M_Popup->addAction(QStringLiteral("Invert All"));
    M_PopupInvAll->setObjectName(QStringLiteral("M_PopupInvAll"));
    M_PopupSep = M_Popup->addSeparator();
    M_PopupSep->setObjectName(QStringLiteral("M_PopupSep"));
    M_PopupSort = M_Popup->addAction(QStringLiteral("Sort"));
    M_PopupSort->setObjectName(QStringLiteral("M_PopupSort"));

    resize(Twips::ToPixels(8895), Twips::ToPixels(5400));
    PlaceStatusBar();

    // Enter in the keyword box must not press a button of the editor.
    for (QPushButton* b : findChildren<QPushButton*>()) b->setAutoDefault(false);

    connect(CboRules, &QComboBox::currentIndexChanged, this, &FrmCriteria::CboRules_Click);
    connect(CboOP1, &QComboBox::currentIndexChanged, this, &FrmCriteria::CboOP1_Click);
    connect(CboOP2, &QComboBox::currentIndexChanged, this, &FrmCriteria::CboOP2_Click);
    // An option's Click is its becoming the chosen one, by code or by hand.
    connect(OptPrec1, &QRadioButton::toggled, this, [this](bool on) {
        if (on) OptPrec1_Click();
    });
    connect(OptPrec2, &QRadioButton::toggled, this, [this](bool on) {
        if (on) OptPrec2_Click();
    });
    connect(ComRuleAdd, &QPushButton::clicked, this, &FrmCriteria::ComRuleAdd_Click);
    connect(ComRuleDel, &QPushButton::clicked, this, &FrmCriteria::ComRuleDel_Click);
    connect(ComAdd, &QPushButton::clicked, this, &FrmCriteria::ComAdd_Click);
    connect(ComUpdate, &QPushButton::clicked, this, &FrmCriteria::ComUpdate_Click);
    connect(ComRemove, &QPushButton::clicked, this, &FrmCriteria::ComRemove_Click);
    connect(ComSelAll, &QPushButton::clicked, this, &FrmCriteria::ComSelAll_Click);
    connect(ComDesAll, &QPushButton::clicked, this, &FrmCriteria::ComDesAll_Click);
    connect(ComInvSel, &QPushButton::clicked, this, &FrmCriteria::ComInvSel_Click);
    connect(ComDone, &QPushButton::clicked, this, &FrmCriteria::ComDone_Click);
    connect(M_PopupSetAll, &QAction::triggered, this, &FrmCriteria::M_PopupSetAll_Click);
    connect(M_PopupResAll, &QAction::triggered, this, &FrmCriteria::M_PopupResAll_Click);
    connect(M_PopupInvAll, &QAction::triggered, this, &FrmCriteria::M_PopupInvAll_Click);
    connect(M_PopupSort, &QAction::triggered, this, &FrmCriteria::M_PopupSort_Click);
    PicVcriteria->installEventFilter(this);
    TxtKeyword->installEventFilter(this);
}

FrmCriteria::~FrmCriteria() {
    // An editor destroyed without its unload still gives its owner back.
    if (!m_unloaded) OwnerEnabler::SetEnabled(OwnerForm, true);
}

void FrmCriteria::Report(const QString& description, const QString& context, const QString& routine) {
    modGlobalFunctions::ReportError(description, context, kModule, routine, false, true);
}

// ---- life of the dialog ---------------------------------------------------------------

void FrmCriteria::Form_Load() {
    Trap(
        [&] {
            IsResizing = true;
            Resizer = std::make_unique<clsResizer>();
            Resizer->MyError = ErrorObj();
            Resizer->Screen = Screen::Instance();
            Resizer->Frm = this;
            if (!Resizer->Initialize())
                setFixedSize(size());
            else
                setMinimumSize(size());

            ItemImages = CriteriaIcons::NewItemImages(this);
            HeaderImages = CriteriaIcons::NewHeaderImages(this);

            VL_cri = std::make_unique<clsVirtualListview>();
            VL_cri->MyError = ErrorObj();
            VL_cri->Interrupt = InterruptObj();
            VL_cri->LabCnt = LabKeyCnt;
            VL_cri->LabSel = LabKeySel;
            VL_cri->Frm = this;
            VL_cri->name = QStringLiteral("Keyword List");
            VL_cri->ColOnSel = {ComDesAll, ComRemove};
            VL_cri->ColOnCnt = {ComInvSel, ComUpdate};
            VL_cri->ColOffSel = {ComSelAll};
            VL_cri->Initialize(PicVcriteria);
            VL_cri->SetImageList(ItemImages);
            VL_cri->SetHeaderImageList(HeaderImages);
            for (int32_t c = 0; c < int32_t(std::size(kColumns)); ++c)
                VL_cri->InsertColumn(c, QString::fromLatin1(kColumns[c].text), kColumns[c].width, kColumns[c].factor);
            VL_cri->SetHeadersIcon(kNoImage);
            VL_cri->SetHeaderIcon(kColTick, CriteriaIcons::kUnsorted);
            VL_cri->SetHeaderIcon(kColKeyword, CriteriaIcons::kUnsorted);
            VL_cri->SetExtendedStyle(OwnerDataListView::LVS_EX_SUBITEMIMAGES);
            VL_cri->SetExtendedStyle(OwnerDataListView::LVS_EX_FULLROWSELECT);

            clsVirtualListview* list = VL_cri.get();
            connect(list, &clsVirtualListview::ItemTextCallback, this, &FrmCriteria::VL_cri_ItemTextCallback);
            connect(list, &clsVirtualListview::ItemImageCallback, this, &FrmCriteria::VL_cri_ItemImageCallback);
            connect(list, &clsVirtualListview::evCompare, this, &FrmCriteria::VL_cri_evCompare);
            connect(list, &clsVirtualListview::ColumnClick, this, &FrmCriteria::VL_cri_ColumnClick);
            connect(list, &clsVirtualListview::MouseDown, this, &FrmCriteria::VL_cri_MouseDown);
            connect(list, &clsVirtualListview::MouseMove, this, &FrmCriteria::VL_cri_MouseMove);
            connect(list, &clsVirtualListview::KeyDown, this, &FrmCriteria::VL_cri_KeyDown);
            connect(list, &clsVirtualListview::KeyUp, this, &FrmCriteria::VL_cri_KeyUp);
            connect(list, &clsVirtualListview::ToolTip, this, &FrmCriteria::VL_cri_ToolTip);

            VL_cri->SetCount(0);
            VL_cri->Resize();
            VL_cri->SetAll();
            VL_cri->Refresh();
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("Form_Load")); });
}

void FrmCriteria::Initialize(int16_t ruleIdx) {
    IsBusy = true;
    Trap(
        [&] {
            RuleIdx = ruleIdx;
            LoadRuleCombo();
            OwnerEnabler::SetEnabled(OwnerForm, false);
            modGlobalFunctions::CenterForm(this, OwnerForm);
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("Initialize")); });
    IsBusy = false;
}

// The first showing is the first activation.
void FrmCriteria::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    Form_Activate();
}

void FrmCriteria::Form_Activate() {
    if (m_activated) return;
    m_activated = true;
    IsBusy = true;
    Trap(
        [&] {
            CboRules->setCurrentIndex(RuleIdx - 1);
            SetCurrentRule(RuleIdx);
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("Form_Activate")); });
    IsBusy = false;
}

void FrmCriteria::PlaceStatusBar() {
    const int h = Twips::ToPixels(kStatusBarTwips);
    StatusBar->setGeometry(0, height() - h, width(), h);
}

void FrmCriteria::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    Form_Resize();
}

// No message pumping in here: this runs inside the window's resize.
void FrmCriteria::Form_Resize() {
    PlaceStatusBar();
    if (!IsResizing) {
        IsResizing = true;
        Trap(
            [&] {
                if (Resizer) Resizer->Resize();
            },
            [&](const QString& d) { Report(d, QStringLiteral("Error Resizing Form"), QStringLiteral("Form_Resize")); });
    }
    IsResizing = false;
}

void FrmCriteria::Unload() { close(); }

void FrmCriteria::reject() { close(); }

void FrmCriteria::closeEvent(QCloseEvent* event) {
    if (!m_unloaded) {
        if (Form_Unload()) {
            event->ignore();
            return;
        }
        m_unloaded = true;
    }
    event->accept();
}

bool FrmCriteria::Form_Unload() {
    bool stayOpen = false;
    Trap(
        [&] {
            if (!IsModified) return;
            const int answer = modGlobalFunctions::DisplayMessage(
                {.message = QStringLiteral("You added, deleted or modified one or more sets of criteria.\r\n"
                                           "Do you want to save those changes now ? \r\n\r\n"
                                           "if you answer No, the changes will be lost ! "),
                 .Title = QStringLiteral("Save Changes ?"),
                 .IconNb = MsgBoxIcon::Warning,
                 .Focus = MsgBoxButton::Yes,
                 .ShowYes = true,
                 .ShowNo = true,
                 .CForm = this,
                 .OForm = this});
            // Only a pressed No discards; a box closed without an answer keeps the edits.
            const bool discard = answer > 0 && (answer & MsgBoxButton::No) != 0;
            if (discard) {
                RulesFile::LoadRules(RulesFile::Path());
                return;
            }
            if (!SaveRules(RulesFile::Path())) {
                stayOpen = true;
                return;
            }
            InitializeRules();
        },
        [&](const QString& d) { Report(d, QStringLiteral("Error Unloading Form"), QStringLiteral("Form_Unload")); });
    if (stayOpen) return true;
    Trap(
        [&] {
            delete ItemImages;
            ItemImages = nullptr;
            delete HeaderImages;
            HeaderImages = nullptr;
            CurRule.reset();
            Resizer.reset();
            VL_cri.reset();
        },
        [&](const QString& d) { Report(d, QStringLiteral("Error Unloading Form"), QStringLiteral("Form_Unload")); });
    OwnerEnabler::SetEnabled(OwnerForm, true);
    OwnerForm = nullptr;
    return false;
}

// ---- sets ---------------------------------------------------------------------------------

void FrmCriteria::LoadRuleCombo() {
    if (!Rules) return;
    // Filling the combo chooses nothing: its Click must not run for it.
    const QSignalBlocker quiet(CboRules);
    CboRules->clear();
    for (const std::shared_ptr<clsRule>& set : *Rules) CboRules->addItem(set ? set->name : QString());
    CboRules->setCurrentIndex(-1);
}

bool FrmCriteria::SetCurrentRule(int16_t idx) {
    bool result = false;
    IsBusy = true;
    // A step that fails is reported and the next one runs.
    auto step = [&](auto&& body) {
        Trap(body, [&](const QString& d) { Report(d, QString(), QStringLiteral("SetCurrentRule")); });
    };
    step([&] {
        CboOP1->setCurrentIndex(0);
        CboOP2->setCurrentIndex(0);
        OptPrec2->setChecked(false);
        OptPrec2->setChecked(true);
        const bool chosen = CboRules->currentIndex() >= 0;
        for (QPushButton* b : {ComRuleDel, ComAdd, ComUpdate}) b->setEnabled(chosen);
        for (QWidget* w :
             std::initializer_list<QWidget*>{LabHeader, LabContent, LabSubject, CboOP1, CboOP2, OptPrec1, OptPrec2})
            w->hide();
        LabCondition->setText(QString());
        TxtKeyword->setText(QString());
        if (VL_cri) VL_cri->SetHeaderIcon(kColKeyword, CriteriaIcons::kUnsorted);
    });
    bool load = true;
    step([&] {
        if (!Rules) {
            Report(QStringLiteral("The Rules collection has not been initialized"), QString(),
                   QStringLiteral("SetCurrentRule"));
            load = false;
        } else if (idx <= 0 || size_t(idx) > Rules->size()) {
            load = false;
        }
    });
    if (load) {
        step([&] { PreserveKeywordOrder(); });
        step([&] {
            CurRule = Rules->at(size_t(idx) - 1);
            CboOP1->setCurrentIndex(CurRule->OP1 - 1);
            CboOP2->setCurrentIndex(CurRule->OP2 - 1);
            OptPrec1->setChecked(CurRule->IsFirst);
            OptPrec2->setChecked(!OptPrec1->isChecked());
        });
        step([&] { ShowKeywords(); });
        IsBusy = false;
        step([&] { SetLogic(); });
        MessagePump::DoEvents();
        result = true;
    }
    IsBusy = false;
    return result;
}

void FrmCriteria::ShowKeywords() {
    if (!VL_cri) return;
    VL_cri->SetCount(0);
    if (CurRule && CurRule->Keywords) VL_cri->SetCount(KeywordCount());
    VL_cri->SetAll();
    VL_cri->Refresh();
}

void FrmCriteria::CboRules_Click() {
    if (IsBusy) return;
    Trap([&] { SetCurrentRule(static_cast<int16_t>(CboRules->currentIndex() + 1)); },
         [&](const QString& d) { Report(d, QString(), QStringLiteral("CboRules_Click")); });
}

void FrmCriteria::CboOP1_Click() {
    if (IsBusy) return;
    Trap(
        [&] {
            if (CurRule)
                CurRule->OP1 = static_cast<int16_t>(CboOP1->currentIndex() < 0 ? 0 : CboOP1->currentIndex() + 1);
            DisplayCondition();
            IsModified = true;
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("CboOP1_Click")); });
}

void FrmCriteria::CboOP2_Click() {
    if (IsBusy) return;
    Trap(
        [&] {
            if (CurRule)
                CurRule->OP2 = static_cast<int16_t>(CboOP2->currentIndex() < 0 ? 0 : CboOP2->currentIndex() + 1);
            DisplayCondition();
            IsModified = true;
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("CboOP2_Click")); });
}

void FrmCriteria::ComRuleAdd_Click() {
    Trap(
        [&] {
            if (!Rules) {
                Report(QStringLiteral("Rules collection has not been initialized"), QString(),
                       QStringLiteral("ComRuleAdd_Click"));
                return;
            }
            QString name;
            {
                FrmName prompt(this);
                prompt.OwnerForm = this;
                prompt.Initialize();
                ListDialogSeam::ShowModal(&prompt);
                const bool cancelled = prompt.Cancel;
                if (!cancelled) name = prompt.TxtName->text();
                prompt.Unload();
                if (cancelled) return;
            }
            if (name.isEmpty()) return;
            auto set = std::make_shared<clsRule>();
            set->name = name;
            Rules->push_back(set);
            LoadRuleCombo();
            // Its Click shows the new set.
            CboRules->setCurrentIndex(CboRules->count() - 1);
            IsModified = true;
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("ComRuleAdd_Click")); });
}

void FrmCriteria::ComRuleDel_Click() {
    IsBusy = true;
    Trap(
        [&] {
            if (!Rules) {
                Report(QStringLiteral("Rules collection has not been initialized"), QString(),
                       QStringLiteral("ComRuleDel_Click"));
                return;
            }
            if (!CurRule) {
                Report(QStringLiteral("Rule object has not been initialized"), QString(),
                       QStringLiteral("ComRuleDel_Click"));
                return;
            }
            const int position = CboRules->currentIndex();
            if (position >= 0) {
                const int answer = modGlobalFunctions::DisplayMessage(
                    {.message = QStringLiteral("Are you sure you want to proceed with the deletion of this set of "
                                               "Criteria : \r\n") +
                                CurRule->name,
                     .Title = QStringLiteral("Criteria Set Deletion"),
                     .IconNb = MsgBoxIcon::Warning,
                     .Focus = MsgBoxButton::No,
                     .ShowYes = true,
                     .ShowNo = true,
                     .CForm = this,
                     .OForm = this});
                if (Consents(answer) && size_t(position) < Rules->size()) {
                    Rules->erase(Rules->begin() + position);
                    LoadRuleCombo();
                    CboRules->setCurrentIndex(CboRules->count() > 0 ? 0 : -1);
                    if (Rules->empty()) {
                        // Nothing is left to edit: the list and the current
                        // set go too, so no command acts on the deleted set.
                        CurRule.reset();
                        ShowKeywords();
                    }
                    SetCurrentRule(static_cast<int16_t>(CboRules->currentIndex() + 1));
                }
            }
            IsModified = true;
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("ComRuleDel_Click")); });
    IsBusy = false;
}

// ---- keywords -----------------------------------------------------------------------------

bool FrmCriteria::Validate() {
    bool ok = false;
    Trap(
        [&] {
            const QString text = TxtKeyword->text();
            QString refusal;
            if (text.trimmed().isEmpty())
                // Saved trimmed, blanks would come back as an empty keyword.
                refusal = QStringLiteral("A Keyword must be specified");
            else if (HoldsFileSeparator(text))
                refusal = QStringLiteral("A keyword cannot contain '|', ';' or a line break");
            if (refusal.isEmpty()) {
                ok = true;
                return;
            }
            modGlobalFunctions::DisplayMessage({.message = refusal,
                                                .Title = kInvalidKeyword,
                                                .IconNb = MsgBoxIcon::Error,
                                                .ShowOk = true,
                                                .CForm = this,
                                                .OForm = this});
        },
        [&](const QString& d) {
            ok = false;
            Report(d, QString(), QStringLiteral("Validate"));
        });
    return ok;
}

void FrmCriteria::ClearFields() { TxtKeyword->setText(QString()); }

int32_t FrmCriteria::KeywordCount() const {
    return CurRule && CurRule->Keywords ? static_cast<int32_t>(CurRule->Keywords->size()) : 0;
}

std::shared_ptr<clsKeyword> FrmCriteria::KeywordAt(int32_t iItem) {
    if (!VL_cri || !CurRule || !CurRule->Keywords) return nullptr;
    const int32_t i = VL_cri->Idx(iItem + 1);
    if (i < 1 || i > KeywordCount()) return nullptr;
    return CurRule->Keywords->at(size_t(i) - 1);
}

namespace {
std::shared_ptr<clsKeyword> NewKeyword(const QString& value) {
    auto k = std::make_shared<clsKeyword>();
    k->Value = value;
    k->DoUse = k->DoHea = k->DoCon = k->DoSub = k->DoWrd = k->DoCas = true;
    return k;
}
}  // namespace

bool FrmCriteria::HasKeywordList(const char* routine) {
    if (!CurRule) {
        Report(QStringLiteral("Rule object has not been initialized"), QString(), QLatin1String(routine));
        return false;
    }
    if (!CurRule->Keywords) {
        Report(QStringLiteral("Rule Keyword collection has not been initialized"), QString(), QLatin1String(routine));
        return false;
    }
    return true;
}

void FrmCriteria::ComAdd_Click() {
    Trap(
        [&] {
            if (!HasKeywordList("ComAdd_Click")) return;
            if (!Validate()) return;
            CurRule->Keywords->push_back(NewKeyword(TxtKeyword->text()));
            ShowKeywords();
            ClearFields();
            TxtKeyword->setFocus();
            SetLogic();
            IsModified = true;
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("ComAdd_Click")); });
}

void FrmCriteria::ComUpdate_Click() {
    Trap(
        [&] {
            if (!HasKeywordList("ComUpdate_Click")) return;
            const int32_t i = VL_cri ? VL_cri->Idx(VL_cri->GetItem() + 1) : 0;
            bool created = false;
            if (i == 0) {
                const int answer = modGlobalFunctions::DisplayMessage(
                    {.message = QStringLiteral("Do you want to create a new Keyword"),
                     .Title = QStringLiteral("Create a new Keyword"),
                     .IconNb = MsgBoxIcon::Question,
                     .ShowYes = true,
                     .ShowNo = true,
                     .CForm = this,
                     .OForm = this});
                if (answer == MsgBoxButton::Yes) {
                    if (!Validate()) return;
                    CurRule->Keywords->push_back(NewKeyword(TxtKeyword->text()));
                    created = true;
                }
            } else {
                if (!Validate()) return;
                CurRule->Keywords->at(size_t(i) - 1)->Value = TxtKeyword->text();
            }
            ShowKeywords();
            ClearFields();
            TxtKeyword->setFocus();
            if (created) SetLogic();
            IsModified = true;
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("ComUpdate_Click")); });
}

void FrmCriteria::ComRemove_Click() {
    Trap(
        [&] {
            if (!HasKeywordList("ComRemove_Click")) return;
            const int answer = modGlobalFunctions::DisplayMessage(
                {.message = QStringLiteral("Are you sure you want to delete the selected keyword(s) ?"),
                 .Title = QStringLiteral("Delete Selected Keywords"),
                 .IconNb = MsgBoxIcon::Warning,
                 .Focus = MsgBoxButton::No,
                 .ShowYes = true,
                 .ShowNo = true,
                 .CForm = this,
                 .OForm = this});
            if (!Consents(answer)) return;
            KeywordCollection& keywords = *CurRule->Keywords;
            // Downwards, so the numbers still to be tested stay valid.
            for (int32_t i = static_cast<int32_t>(keywords.size()); i >= 1; --i)
                if (VL_cri && VL_cri->GetCheckState(VL_cri->RevIdx(i))) keywords.erase(keywords.begin() + (i - 1));
            ShowKeywords();
            SetLogic();
            ClearFields();
            IsModified = true;
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("ComRemove_Click")); });
}

void FrmCriteria::KeywordSelection(void (ListPane::*member)(), const QString& context, const char* routine) {
    Trap(
        [&] {
            if (!VL_cri) return;
            ((*VL_cri).*member)();
            VL_cri->SetAll();
            VL_cri->GetFocus();
            VL_cri->Refresh();
            SetLogic();
            MessagePump::DoEvents();
            IsModified = true;
        },
        [&](const QString& d) { Report(d, context, QLatin1String(routine)); });
}

void FrmCriteria::ComSelAll_Click() { KeywordSelection(&ListPane::SelectAll, QString(), "ComSelAll_Click"); }

void FrmCriteria::ComDesAll_Click() {
    KeywordSelection(&ListPane::DeselectAll, QStringLiteral("Error Deselecting Item(s)"), "ComDesAll_Click");
}

void FrmCriteria::ComInvSel_Click() { KeywordSelection(&ListPane::InvertAll, QString(), "ComInvSel_Click"); }

void FrmCriteria::ComDone_Click() {
    Trap(
        [&] {
            if (VL_cri) VL_cri->Sort(kColKeyword, false);
            MessagePump::DoEvents();
            PreserveKeywordOrder();
            if (!SaveRules(RulesFile::Path())) {
                // The editor stays open with its changes, to be saved again
                // or discarded.
                IsModified = true;
                return;
            }
            InitializeRules();
            IsModified = false;
            Unload();
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("ComDone_Click")); });
}

bool FrmCriteria::SaveRules(const QString& path) {
    if (RulesFile::SaveRules(path)) return true;
    modGlobalFunctions::DisplayMessage(
        {.message = QStringLiteral("The criteria could not be written to '") + path +
                    QStringLiteral("'.\r\nThe error console tells why; your changes are kept in the editor."),
         .Title = QStringLiteral("Criteria Not Saved"),
         .IconNb = MsgBoxIcon::Error,
         .ShowOk = true,
         .CForm = this,
         .OForm = this});
    return false;
}

// ---- the keyword list ---------------------------------------------------------------------

void FrmCriteria::VL_cri_ItemTextCallback(int32_t iItem, int32_t iSubItem, QString& sText) {
    Trap(
        [&] {
            if (iSubItem != kColKeyword) return;
            if (const std::shared_ptr<clsKeyword> k = KeywordAt(iItem)) sText = k->Value;
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("VL_cri_ItemTextCallback")); });
}

void FrmCriteria::VL_cri_ItemImageCallback(int32_t iItem, int32_t iSubItem, int16_t& Image) {
    Image = kNoImage;
    Trap(
        [&] {
            if (iSubItem == kColTick) {
                Image = VL_cri && VL_cri->GetCheckState(iItem + 1) ? CriteriaIcons::kTicked : CriteriaIcons::kUnticked;
                return;
            }
            const std::shared_ptr<clsKeyword> k = KeywordAt(iItem);
            if (!k) return;
            if (const bool* flag = FlagOf(*k, iSubItem)) Image = static_cast<int16_t>(FlagImage(iSubItem, *flag));
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("VL_cri_ItemImageCallback")); });
}

void FrmCriteria::VL_cri_evCompare(int32_t a, int32_t b, int16_t By, int16_t Dir, int16_t& Result) {
    Result = 0;
    Trap(
        [&] {
            const int32_t n = KeywordCount();
            if (a < 1 || b < 1 || a > n || b > n) return;
            clsKeyword& A = *CurRule->Keywords->at(size_t(a) - 1);
            clsKeyword& B = *CurRule->Keywords->at(size_t(b) - 1);
            int order = 0;
            if (By == kColKeyword) {
                const int c = QString::localeAwareCompare(A.Value.toLower(), B.Value.toLower());
                order = c < 0 ? -1 : c > 0 ? 1 : 0;
            } else if (const bool* fa = FlagOf(A, By)) {
                const bool fb = *FlagOf(B, By);
                order = (!*fa && fb) ? -1 : (*fa && !fb) ? 1 : 0;
            }
            Result = static_cast<int16_t>(order * Dir);
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("VL_cri_evCompare")); });
}

void FrmCriteria::ResetHeaderIcons() {
    VL_cri->SetHeadersIcon(kNoImage);
    VL_cri->SetHeaderIcon(kColTick, CriteriaIcons::kUnsorted);
    VL_cri->SetHeaderIcon(kColKeyword, CriteriaIcons::kUnsorted);
}

void FrmCriteria::SortList(int16_t column, bool ascending, int headerIcon) {
    const Hourglass pointer;
    ResetHeaderIcons();
    const Disabled window(this);
    if (headerIcon != kNoImage) VL_cri->SetHeaderIcon(column, headerIcon);
    VL_cri->Sort(column, ascending);
    VL_cri->SetVisible(0);
    VL_cri->Refresh();
}

void FrmCriteria::VL_cri_ColumnClick(int32_t nColumn) {
    Trap(
        [&] {
            if (!VL_cri || KeywordCount() <= 1) return;
            if (nColumn == kColTick || nColumn == kColKeyword) {
                if (nColumn != SortColumn) SortAscending = false;
                const bool ascending = !SortAscending;
                SortList(static_cast<int16_t>(nColumn), ascending,
                         ascending ? CriteriaIcons::kAscending : CriteriaIcons::kDescending);
                SortAscending = !SortAscending;
                SortColumn = static_cast<int16_t>(nColumn);
                return;
            }
            PopupCol = static_cast<int16_t>(nColumn);
            PopupMenuSeam::Popup(M_Popup, QCursor::pos());
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("VL_cri_ColumnClick")); });
}

void FrmCriteria::ChangeColumnFlag(FlagChange change, const char* routine) {
    Trap(
        [&] {
            if (KeywordCount() < 1) return;
            bool changed = false;
            for (const std::shared_ptr<clsKeyword>& k : *CurRule->Keywords) {
                bool* flag = FlagOf(*k, PopupCol);
                if (flag == nullptr) break;
                *flag = change == FlagChange::Set ? true : change == FlagChange::Reset ? false : !*flag;
                changed = true;
            }
            if (changed) SetLogic();
            if (VL_cri) VL_cri->Refresh();
            IsModified = true;
        },
        [&](const QString& d) { Report(d, QString(), QString::fromLatin1(routine)); });
}

void FrmCriteria::M_PopupSetAll_Click() { ChangeColumnFlag(FlagChange::Set, "M_PopupSetAll_Click"); }
void FrmCriteria::M_PopupResAll_Click() { ChangeColumnFlag(FlagChange::Reset, "M_PopupResAll_Click"); }
void FrmCriteria::M_PopupInvAll_Click() { ChangeColumnFlag(FlagChange::Invert, "M_PopupInvAll_Click"); }

void FrmCriteria::M_PopupSort_Click() {
    Trap(
        [&] {
            if (!VL_cri) return;
            // Flags on first; no arrow, and the header clicks' direction is kept.
            SortList(PopupCol, false, kNoImage);
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("M_PopupSort_Click")); });
}

void FrmCriteria::VL_cri_MouseDown(int16_t Button, int32_t iItem, int32_t iSubItem, int32_t HitFlags) {
    Trap(
        [&] {
            if (Button != modGlobalFunctions::kLeftButton || iItem < 0 || KeywordCount() < 1) return;
            const std::shared_ptr<clsKeyword> k = KeywordAt(iItem);
            if (!k) return;
            TxtKeyword->setText(k->Value);
            if ((HitFlags & kOnItem) != OwnerDataListView::LVHT_ONITEMICON) return;
            IsModified = true;
            if (iSubItem == kColTick) {
                VL_cri->SetCheckState(iItem + 1, !VL_cri->GetCheckState(iItem + 1));
            } else if (bool* flag = FlagOf(*k, iSubItem)) {
                *flag = !*flag;
                // These four decide which parts of a mail the set searches.
                if (iSubItem == kColUse || iSubItem == kColHeader || iSubItem == kColContent || iSubItem == kColSubject)
                    SetLogic();
            }
            VL_cri->RepaintItem(iItem);
            VL_cri->SetAll();
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("VL_cri_MouseDown")); });
}

QString FrmCriteria::CellHint(int32_t iItem, int32_t iSubItem) {
    const std::shared_ptr<clsKeyword> k = KeywordAt(iItem);
    if (!k) return QString();
    const QString& V = k->Value;
    switch (iSubItem) {
        case kColUse: return QStringLiteral("Do search for the keyword '") + V + QStringLiteral("'");
        case kColHeader: return QStringLiteral("Search for '") + V + QStringLiteral("' in mail(s) header");
        case kColContent: return QStringLiteral("Search for '") + V + QStringLiteral("' in mail(s) content");
        case kColSubject: return QStringLiteral("Search for '") + V + QStringLiteral("' in mail(s) subject");
        case kColWord:
            return QStringLiteral("Search mail(s) for '") + V + QStringLiteral("' exact keyword (whole word)");
        case kColCase: return QStringLiteral("Search for '") + V + QStringLiteral("' is case sensitive");
        default: return QString();
    }
}

void FrmCriteria::VL_cri_MouseMove(int16_t, int32_t iItem, int32_t iSubItem, int32_t HitFlags) {
    Trap(
        [&] {
            if ((HitFlags & kOnItem) == 0 || !KeywordAt(iItem)) return;
            StatusBar->Panel(kHintPanel)->SetText(CellHint(iItem, iSubItem));
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("VL_cri_MouseMove")); });
}

void FrmCriteria::VL_cri_ToolTip(int32_t iItem, int32_t iSubItem, QString& sText) {
    Trap([&] { sText = CellHint(iItem, iSubItem); },
         [&](const QString& d) { Report(d, QString(), QStringLiteral("VL_cri_ToolTip")); });
}

void FrmCriteria::VL_cri_KeyDown(int16_t KeyCode, bool has_ctrl, bool, bool) {
    Trap(
        [&] {
            if (!has_ctrl || !VL_cri) return;
            if (KeyCode == kKeyS)
                VL_cri->SelectAll();
            else if (KeyCode == kKeyD)
                VL_cri->DeselectAll();
            else if (KeyCode == kKeyI)
                VL_cri->InvertAll();
            else
                return;
            VL_cri->Refresh();
            VL_cri->SetAll();
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("VL_cri_KeyDown")); });
}

void FrmCriteria::VL_cri_KeyUp(int16_t KeyCode, bool, bool, bool) {
    Trap(
        [&] {
            if (std::find(std::begin(kNavigationKeys), std::end(kNavigationKeys), KeyCode) == std::end(kNavigationKeys))
                return;
            if (!VL_cri || !CurRule || !CurRule->Keywords) return;
            const int32_t row = VL_cri->GetItem();
            const std::shared_ptr<clsKeyword> k = KeywordAt(row);
            if (!k) return;
            TxtKeyword->setText(k->Value);
            VL_cri->RepaintItem(row);
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("VL_cri_KeyUp")); });
}

void FrmCriteria::PicVcriteria_GotFocus() {
    if (VL_cri) VL_cri->GetFocus();
}

void FrmCriteria::TxtKeyword_GotFocus() { TxtKeyword->setSelection(0, static_cast<int>(TxtKeyword->text().size())); }

bool FrmCriteria::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        if (watched == PicVcriteria)
            Trap([&] { PicVcriteria_GotFocus(); },
                 [&](const QString& d) { Report(d, QString(), QStringLiteral("PicVcriteria_GotFocus")); });
        else if (watched == TxtKeyword)
            Trap([&] { TxtKeyword_GotFocus(); },
                 [&](const QString& d) { Report(d, QString(), QStringLiteral("TxtKeyword_GotFocus")); });
    }
    return QDialog::eventFilter(watched, event);
}

// ---- the logic panel ----------------------------------------------------------------------

FrmCriteria::PartsInUse FrmCriteria::FindPartsInUse() {
    PartsInUse parts;
    const int32_t n = KeywordCount();
    for (int32_t row = 1; row <= n; ++row) {
        const std::shared_ptr<clsKeyword> k = KeywordAt(row - 1);
        if (!k || !k->DoUse) continue;
        parts.header = parts.header || k->DoHea;
        parts.body = parts.body || k->DoCon;
        parts.subject = parts.subject || k->DoSub;
    }
    return parts;
}

void FrmCriteria::SetLogic() {
    IsBusy = true;
    Trap(
        [&] {
            if (!CurRule || !CurRule->Keywords) return;
            const PartsInUse p = FindPartsInUse();
            LabHeader->setVisible(p.header);
            LabContent->setVisible(p.body);
            LabSubject->setVisible(p.subject);
            // The combos show the set's own operators, also one that comes back.
            for (auto [combo, code] : {std::pair{CboOP2, CurRule->OP2}, std::pair{CboOP1, CurRule->OP1}}) {
                if (code == clsOperator::kAnd || code == clsOperator::kOr)
                    combo->setCurrentIndex(code - 1);
                else if (combo->currentIndex() < 0)
                    combo->setCurrentIndex(0);
            }
            QComboBox* shown = nullptr;  // the one combo of a two-part panel
            if (p.header && p.body && p.subject) {
                ControlGeometry::SetTop(LabHeader, kFirstLine);
                ControlGeometry::SetTop(LabContent, kSecondLine);
                ControlGeometry::SetTop(LabSubject, kThirdLine);
                ControlGeometry::SetTop(CboOP1, kFirstCombo);
                ControlGeometry::SetTop(CboOP2, kSecondCombo);
                CboOP1->show();
                CboOP2->show();
            } else if (p.header && p.body) {
                ControlGeometry::SetTop(LabHeader, kFirstLine);
                ControlGeometry::SetTop(LabContent, kSecondLine);
                shown = CboOP1;
            } else if (p.header && p.subject) {
                ControlGeometry::SetTop(LabHeader, kFirstLine);
                ControlGeometry::SetTop(LabSubject, kSecondLine);
                // Header and subject are joined by OP2 when IsFirst: that
                // combo is the one shown.
                shown = CurRule->IsFirst ? CboOP2 : CboOP1;
            } else if (p.body && p.subject) {
                ControlGeometry::SetTop(LabContent, kFirstLine);
                ControlGeometry::SetTop(LabSubject, kSecondLine);
                shown = CboOP2;
            } else if (p.header) {
                ControlGeometry::SetTop(LabHeader, kFirstLine);
            } else if (p.body) {
                ControlGeometry::SetTop(LabContent, kFirstLine);
            } else if (p.subject) {
                ControlGeometry::SetTop(LabSubject, kFirstLine);
            }
            if (!(p.header && p.body && p.subject)) {
                for (QComboBox* c : {CboOP1, CboOP2}) c->setVisible(c == shown);
                if (shown) ControlGeometry::SetTop(shown, kFirstCombo);
            }
            const bool options = CboOP1->isVisibleTo(FraLogic) && CboOP2->isVisibleTo(FraLogic);
            OptPrec1->setVisible(options);
            OptPrec2->setVisible(options);
            IsBusy = false;
            DisplayCondition();
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("SetLogic")); });
    IsBusy = false;
}

void FrmCriteria::DisplayCondition() {
    Trap(
        [&] {
            if (!CurRule || !CurRule->Keywords) return;
            const PartsInUse p = FindPartsInUse();
            const QString op1 = CboOP1->currentText();
            const QString op2 = CboOP2->currentText();
            QString caption;
            if (p.header && p.body && p.subject)
                caption = OptPrec1->isChecked() ? QStringLiteral("(Header ") + op1 + QStringLiteral(" Content) ") +
                                                      op2 + QStringLiteral(" Subject ")
                                                : QStringLiteral("Header ") + op1 + QStringLiteral(" (Content ") + op2 +
                                                      QStringLiteral(" Subject)");
            else if (p.header && p.body)
                caption = QStringLiteral("Header ") + op1 + QStringLiteral(" Content");
            else if (p.header && p.subject)
                caption = QStringLiteral("Header ") + (CurRule->IsFirst ? op2 : op1) + QStringLiteral(" Subject ");
            else if (p.body && p.subject)
                caption = QStringLiteral("Content ") + op2 + QStringLiteral(" Subject");
            else if (p.header)
                caption = QStringLiteral("Header");
            else if (p.body)
                caption = QStringLiteral("Content");
            else if (p.subject)
                caption = QStringLiteral("Subject");
            LabCondition->setText(caption);
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("DisplayCondition")); });
}

void FrmCriteria::OptPrec1_Click() {
    if (IsBusy) return;
    Trap(
        [&] {
            if (CurRule) CurRule->IsFirst = OptPrec1->isChecked();
            DisplayCondition();
            IsModified = true;
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("OptPrec1_Click")); });
}

void FrmCriteria::OptPrec2_Click() {
    if (IsBusy) return;
    Trap(
        [&] {
            if (CurRule) CurRule->IsFirst = OptPrec1->isChecked();
            DisplayCondition();
            IsModified = true;
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("OptPrec2_Click")); });
}

bool FrmCriteria::PreserveKeywordOrder() {
    bool ok = false;
    Trap(
        [&] {
            if (!Rules) {
                Report(QStringLiteral("The Rules collection has not been initialized"), QString(),
                       QStringLiteral("PreserveKeywordOrder"));
                return;
            }
            if (CurRule) {
                if (!CurRule->Keywords) {
                    Report(QStringLiteral("Rule Keyword collection has not been initialized"), QString(),
                           QStringLiteral("PreserveKeywordOrder"));
                    return;
                }
                const int32_t n = KeywordCount();
                auto ordered = std::make_shared<KeywordCollection>();
                // Rows that do not show the set's keywords leave its order alone.
                const bool inStep = VL_cri && VL_cri->GetCnt() == n;
                for (int32_t row = 1; row <= n; ++row) {
                    const int32_t i = inStep ? VL_cri->Idx(row) : row;
                    ordered->push_back(std::make_shared<clsKeyword>(*CurRule->Keywords->at(size_t(i) - 1)));
                }
                CurRule->Keywords = std::move(ordered);
                if (VL_cri) VL_cri->SetCount(n);
            }
            ok = true;
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("PreserveKeywordOrder")); });
    return ok;
}

void FrmCriteria::InitializeRules() {
    Trap(
        [&] {
            if (!Rules) {
                Report(QStringLiteral("Rules collection has not been set"), QString(),
                       QStringLiteral("InitializeRules"));
                return;
            }
            for (const std::shared_ptr<clsRule>& set : *Rules)
                if (set) set->Initialize();
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("InitializeRules")); });
}
