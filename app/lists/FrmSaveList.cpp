#include "FrmSaveList.h"

#include <cmath>

#include <dirent.h>

#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>

#include "DialogControls.h"
#include "FontFamilies.h"
#include "FormValues.h"
#include "FrmControl.h"
#include "KeptSelection.h"
#include "MessagePump.h"
#include "OtherSeparator.h"
#include "OwnerEnabler.h"
#include "ProgramFolder.h"
#include "ReportError.h"
#include "SplitOutputs.h"
#include "Twips.h"
#include "clsFile.h"
#include "modDialog.h"
#include "modGlobalFunctions.h"
#include "modGlobalFunctionsFiles.h"
#include "modGlobalFunctionsForms.h"
#include "modRegistry.h"

namespace {

const QString kModule = QStringLiteral("FrmSaveList");
const QString kNoDescriptor = QStringLiteral("No list descriptor has been given to the dialog");

// Design geometry, in twips.
constexpr double kClientWidth = 5655;
constexpr double kClientHeight = 3930;
// What the window's height counts beyond its client area.
constexpr double kTitleAndBorders = 325;
// The output frame loses its lower row when it holds neither control.
constexpr double kLowerRow = 400;
constexpr double kDomainBoxMargin = 240;

constexpr int kBackspace = 8;
constexpr int kMaxChunkDigits = 9;

const QString kCrLf = QStringLiteral("\r\n");

const QString kFilter = QStringLiteral(
    "All Mail Address List Files (*.mal, *.out)|*.mal;*.out|"
    "Mail Address List files (*.mal)|*.mal|"
    "Mail Address List files (*.out)|*.out|"
    "Text files (*.txt)|*.txt|"
    "All files (*.*)|*.*|");

double Bottom(const QWidget* w) { return ControlGeometry::Top(w) + ControlGeometry::Height(w); }

// Sums of form geometry round halves to the even neighbour.
double Round(double twips) { return std::nearbyint(twips); }

// The number the text begins with, 0 when none.
int32_t LeadingNumber(const QString& text) {
    int64_t value = 0;
    for (QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) break;
        value = value * 10 + (c.unicode() - '0');
        if (value > INT32_MAX) return INT32_MAX;
    }
    return static_cast<int32_t>(value);
}

// False when the folder's entries cannot be read ("" is the current folder).
bool CanList(const QString& folder) {
    const QByteArray path = QFile::encodeName(folder.isEmpty() ? QStringLiteral(".") : folder);
    DIR* dir = ::opendir(path.constData());
    if (dir == nullptr) return false;
    ::closedir(dir);
    return true;
}

}  // namespace

FrmSaveList::FrmSaveList(QWidget* parent) : ListDialog(parent) {
    setObjectName(QStringLiteral("FrmSaveList"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFont(FontFamilies::SansSerif(8.25));

    FraOut = NewControl<QGroupBox>(this, "FraOut", QStringLiteral(" Output List File"), {0, 0, 5655, 1095});
    TxtOutFile = NewControl<QLineEdit>(FraOut, "TxtOutFile", QString(), {120, 240, 3840, 300});
    ComOutFile = NewControl<QPushButton>(FraOut, "ComOutFile", QStringLiteral("..."), {3990, 240, 390, 300});
    ComOutFile->setToolTip(QStringLiteral("Select a file"));
    ComSave = NewControl<QPushButton>(FraOut, "ComSave", QString(), {4440, 240, 1095, 300});
    ChkFull =
        NewControl<QCheckBox>(FraOut, "ChkFull", QStringLiteral("Output full input record"), {120, 720, 3840, 255});
    ChkFull->setToolTip(QStringLiteral("If the input file has more than one column, all columns are output"));
    ComMore = NewControl<QPushButton>(FraOut, "ComMore", QStringLiteral("More Criteria"), {4440, 680, 1095, 300});

    FraFldSep = NewControl<QGroupBox>(this, "FraFldSep", QStringLiteral(" Field separator "), {0, 1080, 5655, 855});
    OptFldTab = NewControl<QRadioButton>(FraFldSep, "OptFldTab", QStringLiteral("Tabulation"), {90, 240, 1200, 255});
    OptFldCol = NewControl<QRadioButton>(FraFldSep, "OptFldCol", QStringLiteral("Semi colon"), {1380, 240, 1260, 255});
    OptFldCom = NewControl<QRadioButton>(FraFldSep, "OptFldCom", QStringLiteral("Comma"), {2730, 240, 1020, 255});
    OptFldSpc = NewControl<QRadioButton>(FraFldSep, "OptFldSpc", QStringLiteral("Space"), {3840, 240, 900, 255});
    OptFldOth = NewControl<QRadioButton>(FraFldSep, "OptFldOth", QStringLiteral("Other"), {90, 525, 840, 255});
    TxtFldSep = NewControl<QLineEdit>(FraFldSep, "TxtFldSep", QString(), {960, 495, 3960, 300});
    KeptSelection::Keep(TxtFldSep);
    ComFldCtrl = NewControl<QPushButton>(FraFldSep, "ComFldCtrl", QStringLiteral("..."), {5010, 495, 480, 300});

    FraRecSep = NewControl<QGroupBox>(this, "FraRecSep", QStringLiteral(" Record separator"), {0, 1920, 5655, 855});
    // The row is packed to the left: at the platform's sans-serif the last
    // caption otherwise runs into the frame's right edge.
    OptRecCr =
        NewControl<QRadioButton>(FraRecSep, "OptRecCr", QStringLiteral("Carriage Return "), {90, 240, 1620, 255});
    OptRecLf = NewControl<QRadioButton>(FraRecSep, "OptRecLf", QStringLiteral("Line Feed"), {1740, 240, 1110, 255});
    OptRecCrLf = NewControl<QRadioButton>(FraRecSep, "OptRecCrLf", QStringLiteral("Carriage Return + Line Feed"),
                                          {2880, 240, 2730, 255});
    OptRecOth = NewControl<QRadioButton>(FraRecSep, "OptRecOth", QStringLiteral("Other"), {90, 525, 840, 255});
    TxtRecSep = NewControl<QLineEdit>(FraRecSep, "TxtRecSep", QString(), {960, 495, 3960, 300});
    KeptSelection::Keep(TxtRecSep);
    ComRecCtrl = NewControl<QPushButton>(FraRecSep, "ComRecCtrl", QStringLiteral("..."), {5010, 495, 480, 300});

    FraSplNbr = NewControl<QGroupBox>(this, "FraSplNbr", QStringLiteral(" Split list "), {0, 2760, 1815, 1170});
    ChkSplNbr = NewControl<QCheckBox>(FraSplNbr, "ChkSplNbr", QStringLiteral("by entries count"), {60, 270, 1725, 255});
    TxtChunk = NewControl<QLineEdit>(FraSplNbr, "TxtChunk", QStringLiteral("0"), {120, 600, 1575, 300});
    TxtChunk->setMaxLength(kMaxChunkDigits);
    TxtChunk->setToolTip(QStringLiteral("Number of entries that each output file shall contain"));
    // Typed characters are filtered by the key handler; a pasted text must
    // be digits too.
    TxtChunk->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), TxtChunk));

    FraSplDom = NewControl<QGroupBox>(this, "FraSplDom", QStringLiteral(" Split List "), {1920, 2760, 3735, 1170});
    ChkSplDom = NewControl<QCheckBox>(FraSplDom, "ChkSplDom", QStringLiteral("based on domain"), {90, 270, 1800, 255});
    OptSplDom = NewControl<QRadioButton>(FraSplDom, "OptSplDom", QStringLiteral("Name"), {90, 540, 840, 255});
    OptSplExt = NewControl<QRadioButton>(FraSplDom, "OptSplExt", QStringLiteral("Extension"), {2520, 540, 1185, 255});
    OptSplDom->setChecked(true);
    const QString domainExample = QStringLiteral("e.g. 'abc.com'");
    TxtDomain = NewControl<QLineEdit>(FraSplDom, "TxtDomain", QString(), {120, 825, 2415, 285});
    TxtDomain->setToolTip(domainExample);
    LabDom = NewControl<QLabel>(FraSplDom, "LabDom", QStringLiteral("(") + domainExample + QStringLiteral(")"),
                                {960, 555, 1560, 225});
    LabDom->setToolTip(domainExample);
    const QString extensionTip = QStringLiteral("e.g. 'com' (without the dot)");
    TxtExtension = NewControl<QLineEdit>(FraSplDom, "TxtExtension", QString(), {2595, 825, 1020, 285});
    TxtExtension->setToolTip(extensionTip);
    LabExt = NewControl<QLabel>(FraSplDom, "LabExt", QStringLiteral("(e.g. 'com')"), {2595, 285, 1110, 225});
    LabExt->setToolTip(extensionTip);

    setFixedSize(Twips::ToPixels(kClientWidth), Twips::ToPixels(kClientHeight));
    m_height = kClientHeight + kTitleAndBorders;

    // Enter must not press a button of the dialog.
    for (QPushButton* b : {ComOutFile, ComSave, ComMore, ComFldCtrl, ComRecCtrl}) b->setAutoDefault(false);

    Separators = {OptFldTab, OptFldCol, OptFldCom,  OptFldSpc, OptFldOth, TxtFldSep,
                  OptRecCr,  OptRecLf,  OptRecCrLf, OptRecOth, TxtRecSep};

    connect(OptFldTab, &QRadioButton::clicked, this, &FrmSaveList::OptFldTab_Click);
    connect(OptFldCol, &QRadioButton::clicked, this, &FrmSaveList::OptFldCol_Click);
    connect(OptFldCom, &QRadioButton::clicked, this, &FrmSaveList::OptFldCom_Click);
    connect(OptFldSpc, &QRadioButton::clicked, this, &FrmSaveList::OptFldSpc_Click);
    connect(OptFldOth, &QRadioButton::clicked, this, &FrmSaveList::OptFldOth_Click);
    connect(OptRecCr, &QRadioButton::clicked, this, &FrmSaveList::OptRecCr_Click);
    connect(OptRecLf, &QRadioButton::clicked, this, &FrmSaveList::OptRecLf_Click);
    connect(OptRecCrLf, &QRadioButton::clicked, this, &FrmSaveList::OptRecCrLf_Click);
    connect(OptRecOth, &QRadioButton::clicked, this, &FrmSaveList::OptRecOth_Click);
    connect(ChkSplNbr, &QCheckBox::clicked, this, &FrmSaveList::ChkSplNbr_Click);
    connect(ChkSplDom, &QCheckBox::clicked, this, &FrmSaveList::ChkSplDom_Click);
    connect(OptSplDom, &QRadioButton::clicked, this, &FrmSaveList::OptSplDom_Click);
    connect(OptSplExt, &QRadioButton::clicked, this, &FrmSaveList::OptSplExt_Click);
    connect(TxtOutFile, &QLineEdit::textChanged, this, &FrmSaveList::TxtOutFile_Change);
    connect(ComOutFile, &QPushButton::clicked, this, &FrmSaveList::ComOutFile_Click);
    connect(ComFldCtrl, &QPushButton::clicked, this, &FrmSaveList::ComFldCtrl_Click);
    connect(ComRecCtrl, &QPushButton::clicked, this, &FrmSaveList::ComRecCtrl_Click);
    connect(ComMore, &QPushButton::clicked, this, &FrmSaveList::ComMore_Click);
    connect(ComSave, &QPushButton::clicked, this, &FrmSaveList::ComSave_Click);
    TxtChunk->installEventFilter(this);
}

FrmSaveList::~FrmSaveList() = default;

void FrmSaveList::Report(const QString& description, const QString& routine) {
    modGlobalFunctions::ReportError(description, QString(), kModule, routine, false, true);
}

void FrmSaveList::Form_Load() { EnableRecSepCtrls(); }

void FrmSaveList::SetDisplay(const SaveListDisplay& display) {
    HasSepFld = display.DoSepFld;
    HasSepRec = display.DoSepRec;
    HasSplNbr = display.DoSplNbr;
    HasSplDom = display.DoSplDom;
    HasFull = display.DoFull;
    HasMore = display.DoMore;
    if (display.DoMore)
        SetMode({.DoMore = true});
    else
        SetMode({.DoSepFld = display.DoSepFld,
                 .DoSepRec = display.DoSepRec,
                 .DoSplNbr = display.DoSplNbr,
                 .DoSplDom = display.DoSplDom,
                 .DoFull = display.DoFull});
}

void FrmSaveList::SetMode(const SaveListDisplay& mode) {
    if (!mode.DoFull && !mode.DoMore) ControlGeometry::SetHeight(FraOut, ControlGeometry::Height(FraOut) - kLowerRow);
    const bool splitRow = mode.DoSplNbr || mode.DoSplDom;
    double h = Round(Bottom(FraOut) + kTitleAndBorders);
    if (mode.DoSepFld) h = Round(h + ControlGeometry::Height(FraFldSep));
    if (mode.DoSepRec) h = Round(h + ControlGeometry::Height(FraRecSep));
    if (splitRow) h = Round(h + ControlGeometry::Height(FraSplNbr));
    m_height = h;
    setFixedSize(Twips::ToPixels(kClientWidth), Twips::ToPixels(h - kTitleAndBorders));

    // Shown frames stack flush under the output frame; hidden ones stay.
    double top = Bottom(FraOut);
    if (mode.DoSepFld) {
        ControlGeometry::SetTop(FraFldSep, top);
        top = Bottom(FraFldSep);
    }
    if (mode.DoSepRec) {
        ControlGeometry::SetTop(FraRecSep, top);
        top = Bottom(FraRecSep);
    }
    if (splitRow) {
        ControlGeometry::SetTop(FraSplNbr, top);
        ControlGeometry::SetTop(FraSplDom, top);
    }

    FraFldSep->setVisible(mode.DoSepFld);
    FraRecSep->setVisible(mode.DoSepRec);
    FraSplNbr->setVisible(mode.DoSplNbr);
    FraSplDom->setVisible(mode.DoSplDom);
    ChkFull->setVisible(mode.DoFull);
    ComMore->setVisible(mode.DoMore);

    // A split frame alone takes the whole row.
    if (mode.DoSplNbr && !mode.DoSplDom) {
        ControlGeometry::SetLeft(FraSplNbr, 0);
        ControlGeometry::SetWidth(FraSplNbr, kClientWidth);
    }
    if (mode.DoSplDom && !mode.DoSplNbr) {
        ControlGeometry::SetLeft(FraSplDom, 0);
        ControlGeometry::SetWidth(FraSplDom, kClientWidth);
        ControlGeometry::SetWidth(TxtDomain, ControlGeometry::Width(FraSplDom) - kDomainBoxMargin);
        // The widened domain box takes its whole row: the extension's box
        // and example join the option row.
        ControlGeometry::Move(TxtExtension, 3765, 510, 780, 285);
        ControlGeometry::Move(LabExt, 4605, 555, 930, 225);
    }
    MessagePump::DoEvents();
}

void FrmSaveList::ComMore_Click() {
    if (m_expanded) {
        SetMode({.DoMore = true});
        ComMore->setText(QStringLiteral("More Criteria"));
        m_expanded = false;
    } else {
        SetMode({.DoSepFld = HasSepFld,
                 .DoSepRec = HasSepRec,
                 .DoSplNbr = HasSplNbr,
                 .DoSplDom = HasSplDom,
                 .DoFull = HasFull,
                 .DoMore = true});
        ComMore->setText(QStringLiteral("Less Criteria"));
        m_expanded = true;
    }
}

void FrmSaveList::Initialize(clsEmailList* List) {
    if (List == nullptr) return;
    Lst = List;
    TxtOutFile->setText(Lst->NameOut);
    // The options' handlers apply the separator rules.
    Separators.Load(*Lst);
    TxtChunk->setText(QString::number(Lst->ChunkSize));
    FormValues::SetCheck(ChkFull, Lst->KeepAllCols);
    TxtDomain->setText(Lst->Domain);
    TxtExtension->setText(Lst->extension);
    FormValues::SetCheck(ChkSplNbr, Lst->ByRecNbr);
    ChkSplNbr_Click();
    FormValues::SetCheck(ChkSplDom, Lst->ByDomain);
    FormValues::SetOption(OptSplDom, Lst->ByDomNam);
    FormValues::SetOption(OptSplExt, Lst->ByDomExt);
    SetDomainOptions();
    modGlobalFunctions::CenterForm(this, OwnerForm);
    OwnerEnabler::SetEnabled(OwnerForm, false);
}

void FrmSaveList::EnableBox(QLineEdit* box, bool enabled) {
    FormValues::SetTextBoxEnabled(box, enabled);
    // Before the show the focus has nowhere to go.
    if (enabled && isVisible()) box->setFocus();
}

void FrmSaveList::EnableFldSepCtrls() {
    const bool e = OptFldOth->isChecked();
    EnableBox(TxtFldSep, e);
    ComFldCtrl->setEnabled(e);
}

void FrmSaveList::EnableRecSepCtrls() {
    const bool e = OptRecOth->isChecked();
    EnableBox(TxtRecSep, e);
    ComRecCtrl->setEnabled(e);
}

void FrmSaveList::SetDomainOptions() {
    const bool d = ChkSplDom->isChecked();
    const bool n = d && OptSplDom->isChecked();
    const bool x = d && OptSplExt->isChecked();
    OptSplDom->setEnabled(d);
    OptSplExt->setEnabled(d);
    LabDom->setEnabled(n);
    LabExt->setEnabled(x);
    EnableBox(TxtDomain, n);
    EnableBox(TxtExtension, x);
}

void FrmSaveList::OptFldTab_Click() { EnableFldSepCtrls(); }
void FrmSaveList::OptFldCol_Click() { EnableFldSepCtrls(); }
void FrmSaveList::OptFldCom_Click() { EnableFldSepCtrls(); }
void FrmSaveList::OptFldSpc_Click() { EnableFldSepCtrls(); }
void FrmSaveList::OptFldOth_Click() { EnableFldSepCtrls(); }
void FrmSaveList::OptRecCr_Click() { EnableRecSepCtrls(); }
void FrmSaveList::OptRecLf_Click() { EnableRecSepCtrls(); }
void FrmSaveList::OptRecCrLf_Click() { EnableRecSepCtrls(); }
void FrmSaveList::OptRecOth_Click() { EnableRecSepCtrls(); }

void FrmSaveList::ChkSplNbr_Click() { EnableBox(TxtChunk, ChkSplNbr->isChecked()); }

void FrmSaveList::ChkSplDom_Click() { SetDomainOptions(); }
void FrmSaveList::OptSplDom_Click() { SetDomainOptions(); }
void FrmSaveList::OptSplExt_Click() { SetDomainOptions(); }

void FrmSaveList::TxtOutFile_Change() {
    if (Lst != nullptr) Lst->NameOut = TxtOutFile->text();
}

void FrmSaveList::TxtChunk_KeyPress(int& KeyAscii) {
    const bool digit = KeyAscii >= '0' && KeyAscii <= '9';
    if (!digit && KeyAscii != kBackspace) KeyAscii = 0;
}

void FrmSaveList::TxtChunk_LostFocus() {
    if (TxtChunk->text().isEmpty()) TxtChunk->setText(QStringLiteral("0"));
}

bool FrmSaveList::eventFilter(QObject* watched, QEvent* event) {
    if (watched == TxtChunk) {
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            const QString text = key->text();
            // Only what the box would insert is a typed character here;
            // editing and shortcut keys pass.
            if (!text.isEmpty() && text.at(0).isPrint()) {
                int code = text.at(0).unicode();
                TxtChunk_KeyPress(code);
                if (code == 0) return true;
            }
        } else if (event->type() == QEvent::FocusOut) {
            TxtChunk_LostFocus();
        }
    }
    return QDialog::eventFilter(watched, event);
}

void FrmSaveList::ComOutFile_Click() {
    QString dir = modRegistry::GetSetting(QStringLiteral("WrkDir"), ProgramFolder::Path());
    if (dir.size() > 1 && dir.endsWith(QLatin1Char('/'))) dir.chop(1);
    QString chosen;
    QString chosenDir;
    modDialog::ShowDialog(modDialog::OFN_HIDEREADONLY, 1, 4096, kFilter, dir, chosen, QStringLiteral("mal"),
                          QStringLiteral("Select a target file name"), nullptr, QStringLiteral("Select"),
                          QStringLiteral("Cancel"), chosenDir, this);
    if (chosen.isEmpty()) return;
    clsFile file;
    file.IsPathSyntaxOk(chosen);
    modRegistry::SetSetting(QStringLiteral("WrkDir"), file.GetDirectory());
    if (Lst == nullptr) {
        Report(kNoDescriptor, QStringLiteral("ComOutFile_Click"));
        return;
    }
    Lst->NameSrc.clear();
    Lst->NameOut = chosen;
    Lst->NameDup.clear();
    Lst->NameSta.clear();
    TxtOutFile->setText(chosen);
}

void FrmSaveList::ComFldCtrl_Click() {
    KeptSelection::Focus(TxtFldSep);
    MessagePump::DoEvents();
    FrmControl::ShowFor(this);
}

void FrmSaveList::ComRecCtrl_Click() {
    KeptSelection::Focus(TxtRecSep);
    MessagePump::DoEvents();
    FrmControl::ShowFor(this);
}

bool FrmSaveList::MayOverwrite(const QString& message, const QString& title) {
    const int answer = modGlobalFunctions::DisplayMessage({
        .message = message,
        .Title = title,
        .IconNb = MsgBoxIcon::Warning,
        .Focus = MsgBoxButton::No,
        .ShowYes = true,
        .ShowNo = true,
        .CForm = this,
        .OForm = this,
    });
    return answer == MsgBoxButton::Yes;
}

bool FrmSaveList::SplitOutputPresent(const QString& pattern) const {
    const FilePattern wild = FilePattern::Wild(pattern);
    if (CanList(wild.Folder())) return modGlobalFunctions::IsFilePresent(wild);
    // A folder the user may write but not read shows no file to a pattern:
    // the names the split writes or removes are tested one by one.
    const int32_t perFile = ChkSplNbr->isChecked() ? LeadingNumber(TxtChunk->text()) : 0;
    return SplitOutputs::AnyPresent(Lst->NameOut, SplitOutputs::NumberedFiles(Entries, perFile));
}

void FrmSaveList::ComSave_Click() {
    if (Lst == nullptr) {
        Report(kNoDescriptor, QStringLiteral("ComSave_Click"));
        return;
    }
    if (Lst->NameOut.isEmpty()) {
        modGlobalFunctions::DisplayMessage({
            .message = QStringLiteral("An Output file name must be specified !"),
            .Title = QStringLiteral("Invalid Output File"),
            .IconNb = MsgBoxIcon::Error,
            .Focus = 0,
            .ShowOk = true,
            .CForm = this,
            .OForm = this,
        });
        return;
    }
    // A separator the save could not use is refused before anything is
    // asked or written; groups not offered go back as they came.
    if (!OtherSeparator::Usable(Separators.Values(), HasSepFld, HasSepRec, this)) return;

    if (ChkSplNbr->isChecked() || ChkSplDom->isChecked()) {
        const QString pattern = Lst->NameOutCast();
        if (!pattern.isEmpty() && SplitOutputPresent(pattern)) {
            QString folder, name;
            if (!modGlobalFunctions::GetFileName(Lst->NameOut, folder, name)) name = Lst->NameOut;
            QString base, extension;
            const QString shown = modGlobalFunctions::GetFileExtension(name, base, extension)
                                      ? base + QStringLiteral("*.") + extension
                                      : name + QStringLiteral("*");
            const QString message = QStringLiteral("File(s) with the following name pattern already exist :") + kCrLf +
                                    kCrLf + QStringLiteral("'") + shown + QStringLiteral("'") + kCrLf + kCrLf +
                                    QStringLiteral("If you choose yes, the existing filenames will be") + kCrLf +
                                    QStringLiteral("overwritten. Do you want to proceed anyway ?");
            if (!MayOverwrite(message, QStringLiteral("File(s) Already Exists"))) return;
        }
    } else if (modGlobalFunctions::IsFilePresent(FilePattern(Lst->NameOut))) {
        const QString message = QStringLiteral("The specified file already exists ! If you choose yes,") + kCrLf +
                                QStringLiteral("the existing filename will be overwritten.") + kCrLf +
                                QStringLiteral("Do you want to proceed anyway ?");
        if (!MayOverwrite(message, QStringLiteral("File Already Exists"))) return;
    }

    Separators.WriteTo(*Lst);
    Lst->ChunkSize = LeadingNumber(TxtChunk->text());
    Lst->KeepAllCols = ChkFull->isChecked();
    Lst->Domain = TxtDomain->text();
    Lst->extension = TxtExtension->text();
    Lst->ByDomain = ChkSplDom->isChecked();
    Lst->ByDomNam = OptSplDom->isChecked();
    Lst->ByDomExt = OptSplExt->isChecked();
    Lst->ByRecNbr = ChkSplNbr->isChecked();
    hide();
}
