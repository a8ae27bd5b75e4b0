#include "FrmStructure.h"

#include <algorithm>

#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidgetItem>

#include "DialogControls.h"
#include "FontFamilies.h"
#include "FormValues.h"
#include "FrmControl.h"
#include "KeptSelection.h"
#include "ListKind.h"
#include "ListsCol.h"
#include "OrmidYRB100.h"
#include "OtherSeparator.h"
#include "OwnerEnabler.h"
#include "ReportError.h"
#include "ReportListView.h"
#include "Screen.h"
#include "ScreenText.h"
#include "ServiceObjects.h"
#include "Twips.h"
#include "clsFile.h"
#include "clsList.h"
#include "clsResizer.h"
#include "modGlobalFunctions.h"
#include "modGlobalFunctionsForms.h"
#include "modGlobalFunctionsRecords.h"

namespace {

const QString kModule = QStringLiteral("FrmStructure");

// The preview reads at most this many bytes of the file's head, through
// the engine in one chunk larger than any head.
constexpr qint64 kHeadBytes = 50000;
constexpr uint32_t kReadChunk = 100000;
constexpr int kPreviewRows = 50;
constexpr double kColumnWidth = 2500;  // twips
constexpr int kEnter = 13;
constexpr int kHourglassPointer = 11;

// The hourglass over the whole screen while a preview is built, the default
// pointer back on every way out.
class Hourglass {
public:
    Hourglass() { Screen::Instance()->SetMousePointer(kHourglassPointer); }
    ~Hourglass() { Screen::Instance()->SetMousePointer(0); }
    Hourglass(const Hourglass&) = delete;
    Hourglass& operator=(const Hourglass&) = delete;
};

// The fields of a record: a text after the last separator counts, an empty
// one does not.
QStringList FieldsOf(const QString& record, const QString& separator) {
    QStringList fields;
    QString field;
    int64_t start = 1;
    while (modGlobalFunctions::GetNextRecord(record, field, separator, start)) fields.append(field);
    return fields;
}

// A field as the preview shows it: decoded for the screen and on one line,
// its control characters in the separators' notation, so that a record the
// separator does not split is the one long row the load will make of it.
QString Shown(const QString& field, ScreenText::End end) {
    return clsEmailList().Expand(ScreenText::Cell(QByteArrayView(field.toLatin1()), end));
}

// A row of the preview; end tells how the record's last field ends.
QTreeWidgetItem* PreviewRow(const QStringList& fields, int columns, ScreenText::End end = ScreenText::End::Whole) {
    auto* item = new QTreeWidgetItem();
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren);
    for (int k = 0; k < columns && k < fields.size(); ++k)
        item->setText(k, Shown(fields.at(k), k + 1 == fields.size() ? end : ScreenText::End::Whole));
    return item;
}

}  // namespace

FrmStructure::FrmStructure(QWidget* parent) : ListDialog(parent) {
    setObjectName(QStringLiteral("FrmStructure"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::WindowMaximizeButtonHint);
    setWindowTitle(QStringLiteral("Select the column containing the Email addresses"));
    setFont(FontFamilies::SansSerif(8.25));

    FraStruct = NewControl<QGroupBox>(this, "FraStruct", QStringLiteral(" A few first records of the file  "),
                                      {120, 60, 8940, 4080}, "00111111");
    LstStruct = NewControl<ReportListView>(FraStruct, "LstStruct", QString(), {120, 300, 8700, 3180}, "00111111");
    LstStruct->header()->setSectionsClickable(true);
    LabField = NewControl<QLabel>(FraStruct, "LabField", QStringLiteral("The Email addresses are located in"),
                                  {3000, 3630, 3360, 285}, "11001111");
    LabField->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    CboField = NewControl<QComboBox>(FraStruct, "CboField", QString(), {6420, 3600, 1380, 330}, "11001111");
    ComDone =
        NewControl<QPushButton>(FraStruct, "ComDone", QStringLiteral("Select"), {7860, 3585, 960, 360}, "11001111");

    FraSeparator = NewControl<QGroupBox>(this, "FraSeparator", QStringLiteral(" Field Separator "),
                                         {120, 4200, 8940, 780}, "01101111");
    OptFldTab =
        NewControl<QRadioButton>(FraSeparator, "OptFldTab", QStringLiteral("Tabulation"), {120, 330, 1440, 285});
    OptFldCom = NewControl<QRadioButton>(FraSeparator, "OptFldCom", QStringLiteral("Comma"), {1620, 330, 1200, 285});
    OptFldCol =
        NewControl<QRadioButton>(FraSeparator, "OptFldCol", QStringLiteral("Semi colon"), {2880, 330, 1500, 285});
    OptFldSpc = NewControl<QRadioButton>(FraSeparator, "OptFldSpc", QStringLiteral("Space"), {4440, 330, 1200, 285});
    OptFldOth = NewControl<QRadioButton>(FraSeparator, "OptFldOth", QStringLiteral("Other"), {5700, 330, 960, 285});
    TxtFldSep = NewControl<QLineEdit>(FraSeparator, "TxtFldSep", QString(), {6720, 300, 1560, 330}, "00101111");
    KeptSelection::Keep(TxtFldSep);
    ComFldCtrl =
        NewControl<QPushButton>(FraSeparator, "ComFldCtrl", QStringLiteral("..."), {8340, 300, 480, 330}, "10001111");

    Frame1 =
        NewControl<QGroupBox>(this, "Frame1", QStringLiteral("Record Separator "), {120, 5040, 8940, 780}, "01101111");
    OptRecCr =
        NewControl<QRadioButton>(Frame1, "OptRecCr", QStringLiteral("Carriage Return (CR)"), {120, 330, 2340, 285});
    OptRecLf = NewControl<QRadioButton>(Frame1, "OptRecLf", QStringLiteral("Line Feed (LF) "), {2520, 330, 1860, 285});
    OptRecCrLf = NewControl<QRadioButton>(Frame1, "OptRecCrLf", QStringLiteral("CR + LF"), {4440, 330, 1200, 285});
    OptRecOth = NewControl<QRadioButton>(Frame1, "OptRecOth", QStringLiteral("Other"), {5700, 330, 960, 285});
    TxtRecSep = NewControl<QLineEdit>(Frame1, "TxtRecSep", QString(), {6720, 300, 1560, 330}, "00101111");
    KeptSelection::Keep(TxtRecSep);
    ComRecCtrl =
        NewControl<QPushButton>(Frame1, "ComRecCtrl", QStringLiteral("..."), {8340, 300, 480, 330}, "10001111");

    resize(Twips::ToPixels(9180), Twips::ToPixels(5940));

    // Enter in a separator box refreshes the preview; it must not press a
    // button of the dialog.
    for (QPushButton* b : {ComDone, ComFldCtrl, ComRecCtrl}) b->setAutoDefault(false);

    Separators = {OptFldTab, OptFldCol, OptFldCom,  OptFldSpc, OptFldOth, TxtFldSep,
                  OptRecCr,  OptRecLf,  OptRecCrLf, OptRecOth, TxtRecSep};

    connect(OptFldTab, &QRadioButton::clicked, this, &FrmStructure::OptFldTab_Click);
    connect(OptFldCom, &QRadioButton::clicked, this, &FrmStructure::OptFldCom_Click);
    connect(OptFldCol, &QRadioButton::clicked, this, &FrmStructure::OptFldCol_Click);
    connect(OptFldSpc, &QRadioButton::clicked, this, &FrmStructure::OptFldSpc_Click);
    connect(OptFldOth, &QRadioButton::clicked, this, &FrmStructure::OptFldOth_Click);
    connect(OptRecCr, &QRadioButton::clicked, this, &FrmStructure::OptRecCr_Click);
    connect(OptRecLf, &QRadioButton::clicked, this, &FrmStructure::OptRecLf_Click);
    connect(OptRecCrLf, &QRadioButton::clicked, this, &FrmStructure::OptRecCrLf_Click);
    connect(OptRecOth, &QRadioButton::clicked, this, &FrmStructure::OptRecOth_Click);
    connect(ComFldCtrl, &QPushButton::clicked, this, &FrmStructure::ComFldCtrl_Click);
    connect(ComRecCtrl, &QPushButton::clicked, this, &FrmStructure::ComRecCtrl_Click);
    connect(ComDone, &QPushButton::clicked, this, &FrmStructure::ComDone_Click);
    connect(LstStruct->header(), &QHeaderView::sectionClicked, this,
            [this](int logical) { LstStruct_ColumnClick(logical + 1); });
    TxtFldSep->installEventFilter(this);
    TxtRecSep->installEventFilter(this);
    LstStruct->installEventFilter(this);
}

FrmStructure::~FrmStructure() = default;

void FrmStructure::Report(const QString& description, const QString& routine) {
    modGlobalFunctions::ReportError(description, QString(), kModule, routine, false, true);
}

void FrmStructure::Form_Load() {
    IsResizing = true;
    m_resizer = std::make_unique<clsResizer>();
    m_resizer->MyError = ErrorObj();
    m_resizer->Screen = Screen::Instance();
    m_resizer->Frm = this;
    if (!m_resizer->Initialize()) setFixedSize(size());

    // The pane of the program's table; it outlives the dialog harmlessly,
    // as it holds its controls only by guarded pointers.
    m_pane = std::make_shared<clsList>();
    ListsCol[StructureList] = m_pane;
    m_pane->MyError = ErrorObj();
    m_pane->Interrupt = InterruptObj();
    m_pane->Frm = this;
    m_pane->Frame = FraStruct;
    m_pane->SetList(LstStruct);
    m_pane->LType = StructureList;
    m_pane->name = QStringLiteral("Structure List");
    m_pane->SetAll();

    EnableFldSepCtrls();
    EnableRecSepCtrls();
}

void FrmStructure::Initialize(clsEmailList* List) {
    IsInitializing = true;
    if (List != nullptr) {
        Lst = List;
        Separators.Load(*Lst);
        // A path the parser refuses still gives its last name.
        clsFile file;
        file.IsPathSyntaxOk(Lst->NameSrc);
        setWindowTitle(QStringLiteral("Select the column containing Emails in '") + file.GetFileName() +
                       QStringLiteral("'"));
        OwnerEnabler::SetEnabled(OwnerForm, false);
        modGlobalFunctions::CenterForm(this, OwnerForm);
    }
    IsInitializing = false;
}

void FrmStructure::ApplySeparators() {
    const Hourglass pointer;
    if (Lst == nullptr || Lst->NameSrc.isEmpty()) return;
    using OtherSeparator::Fault;
    using OtherSeparator::Group;
    if (OptFldOth->isChecked() && TxtFldSep->text().isEmpty()) {
        OtherSeparator::Show(this, Group::Field, Fault::Missing);
        return;
    }
    if (OptRecOth->isChecked() && TxtRecSep->text().isEmpty()) {
        OtherSeparator::Show(this, Group::Record, Fault::Missing);
        return;
    }
    const clsEmailList values = Separators.Values();
    const QString fs = values.FieldSep();
    const QString rs = values.RecordSep();
    // NUL would end the separator on its way to the engine.
    if (values.FldOth && OtherSeparator::FaultOf(fs) == Fault::HoldsNull) {
        OtherSeparator::Show(this, Group::Field, Fault::HoldsNull);
        return;
    }
    if (values.RecOth && OtherSeparator::FaultOf(rs) == Fault::HoldsNull) {
        OtherSeparator::Show(this, Group::Record, Fault::HoldsNull);
        return;
    }
    if (fs.isEmpty() || rs.isEmpty()) return;

    const QString path = Lst->NameSrc;
    const QFileInfo info(path);
    if (!info.exists() || info.isDir()) {
        Report(QStringLiteral("File not found : '") + path + QStringLiteral("'"), QStringLiteral("ApplySeparators"));
        return;
    }
    if (info.size() == 0) {
        ShowEmptyFile();
        return;
    }
    const qint64 length = std::min(info.size(), kHeadBytes);
    QByteArray buffer(static_cast<qsizetype>(length) + 1, '\0');
    const int32_t got =
        YRB28(QFile::encodeName(path).constData(), kReadChunk, buffer.data(), static_cast<uint32_t>(length));
    // A short read or a failure the engine has reported: the preview stays.
    if (got != length) return;
    const QString head = QString::fromLatin1(buffer.constData(), static_cast<qsizetype>(length));

    QString record;
    int64_t start = 1;
    bool found = false;
    while (!found && modGlobalFunctions::GetNextRecord(head, record, rs, start)) found = !record.isEmpty();
    if (!found) {
        Report(QStringLiteral("Could not read records in ") + path, QStringLiteral("ApplySeparators"));
        return;
    }
    const int columns = static_cast<int>(FieldsOf(record, fs).size());

    LstStruct->ClearItems();
    LstStruct->ClearColumns();
    CboField->clear();
    for (int k = 1; k <= columns; ++k) {
        const QString caption = QStringLiteral("Column ") + QString::number(k);
        const int col = LstStruct->AddColumn();
        LstStruct->SetColumnText(col, caption);
        LstStruct->SetColumnWidth(col, kColumnWidth);
        CboField->addItem(caption, k);
    }
    if (ColNbrApplied) {
        CboField->setCurrentIndex(0);
    } else {
        ColNbrApplied = true;
        const int32_t c = Lst->ColNbr;
        CboField->setCurrentIndex(c > columns ? 0 : (c >= 1 ? c - 1 : -1));
    }
    if (m_pane) m_pane->SetList(LstStruct);

    QList<QTreeWidgetItem*> rows;
    start = 1;
    const bool headCut = info.size() > length;
    while (rows.size() < kPreviewRows && modGlobalFunctions::GetNextRecord(head, record, rs, start)) {
        if (record.isEmpty()) continue;
        // The head's last record, cut short, may end inside a character.
        const bool cut = headCut && start > head.size() && !head.endsWith(rs);
        rows.append(PreviewRow(FieldsOf(record, fs), columns, cut ? ScreenText::End::Cut : ScreenText::End::Whole));
    }
    LstStruct->AddItems(rows);
    LstStruct->Refresh();
}

void FrmStructure::ShowEmptyFile() {
    CboField->clear();
    LstStruct->ClearItems();
    LstStruct->ClearColumns();
    LstStruct->AddColumn();
    LstStruct->AddItems({PreviewRow({QStringLiteral("The file is empty")}, 1)});
    CboField->addItem(QStringLiteral("Column 1"), 1);
    CboField->setCurrentIndex(0);
}

void FrmStructure::EnableFldSepCtrls() {
    const bool e = OptFldOth->isChecked();
    FormValues::SetTextBoxEnabled(TxtFldSep, e);
    ComFldCtrl->setEnabled(e);
}

void FrmStructure::EnableRecSepCtrls() {
    const bool e = OptRecOth->isChecked();
    FormValues::SetTextBoxEnabled(TxtRecSep, e);
    ComRecCtrl->setEnabled(e);
}

void FrmStructure::FldOption_Click() {
    if (!IsInitializing) ApplySeparators();
    EnableFldSepCtrls();
}

void FrmStructure::RecOption_Click() {
    if (!IsInitializing) ApplySeparators();
    EnableRecSepCtrls();
}

void FrmStructure::OptFldTab_Click() { FldOption_Click(); }
void FrmStructure::OptFldCom_Click() { FldOption_Click(); }
void FrmStructure::OptFldCol_Click() { FldOption_Click(); }
void FrmStructure::OptFldSpc_Click() { FldOption_Click(); }

void FrmStructure::OtherOption_Click(QRadioButton* option, QLineEdit* box, void (FrmStructure::*enableRule)()) {
    // An empty box waits for its text and Enter.
    if (!box->text().isEmpty() && !IsInitializing) ApplySeparators();
    (this->*enableRule)();
    if (option->isChecked() && !IsInitializing) box->setFocus();
}

void FrmStructure::OptFldOth_Click() { OtherOption_Click(OptFldOth, TxtFldSep, &FrmStructure::EnableFldSepCtrls); }

void FrmStructure::OptRecCr_Click() { RecOption_Click(); }
void FrmStructure::OptRecLf_Click() { RecOption_Click(); }
void FrmStructure::OptRecCrLf_Click() { RecOption_Click(); }

void FrmStructure::OptRecOth_Click() { OtherOption_Click(OptRecOth, TxtRecSep, &FrmStructure::EnableRecSepCtrls); }

void FrmStructure::TxtFldSep_KeyPress(int KeyAscii) {
    if (KeyAscii == kEnter) ApplySeparators();
}

void FrmStructure::TxtRecSep_KeyPress(int KeyAscii) {
    if (KeyAscii == kEnter) ApplySeparators();
}

void FrmStructure::ComFldCtrl_Click() {
    KeptSelection::Focus(TxtFldSep);
    FrmControl::ShowFor(this);
}

void FrmStructure::ComRecCtrl_Click() {
    KeptSelection::Focus(TxtRecSep);
    FrmControl::ShowFor(this);
}

void FrmStructure::LstStruct_ColumnClick(int Column) {
    if (Column < 1 || Column > CboField->count()) return;
    CboField->setCurrentIndex(Column - 1);
    CboField->setFocus();
}

void FrmStructure::LstStruct_GotFocus() { ThisList = ListsCol[StructureList]; }

void FrmStructure::ComDone_Click() {
    if (Lst == nullptr) return;
    if (CboField->currentIndex() < 0) {
        modGlobalFunctions::DisplayMessage({
            .message = QStringLiteral("A column containing the Email addresses must be selected !"),
            .Title = QStringLiteral("No Column Selected"),
            .IconNb = MsgBoxIcon::Error,
            .Focus = MsgBoxButton::Ok,
            .ShowOk = true,
            .CForm = this,
        });
        return;
    }
    // A separator the later load could not use is refused here, not
    // written.
    if (!OtherSeparator::Usable(Separators.Values(), true, true, this)) return;
    Lst->ColNbr = CboField->currentData().toInt();
    Separators.WriteTo(*Lst);
    hide();
}

QString FrmStructure::Substitute(const QString& Text) const { return clsEmailList().SubstituteCaretTokens(Text); }

QString FrmStructure::Expand(const QString& Text) const { return clsEmailList().Expand(Text); }

void FrmStructure::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    Form_Resize();
}

void FrmStructure::Form_Resize() {
    if (!IsResizing && m_resizer) {
        IsResizing = true;
        m_resizer->Resize();
    }
    IsResizing = false;
}

bool FrmStructure::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && (watched == TxtFldSep || watched == TxtRecSep)) {
        const auto* key = static_cast<QKeyEvent*>(event);
        // The key goes on to the box unchanged.
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            if (watched == TxtFldSep)
                TxtFldSep_KeyPress(kEnter);
            else
                TxtRecSep_KeyPress(kEnter);
        }
    } else if (event->type() == QEvent::FocusIn && watched == LstStruct) {
        LstStruct_GotFocus();
    }
    return QDialog::eventFilter(watched, event);
}

void FrmStructure::Form_Unload() {
    m_resizer.reset();
    ListDialog::Form_Unload();
}
