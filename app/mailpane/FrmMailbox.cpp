#include "FrmMailbox.h"

#include <initializer_list>

#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTreeWidgetItem>

#include "DialogControls.h"
#include "ErrorTrap.h"
#include "FontFamilies.h"
#include "ImageList.h"
#include "ListIcons.h"
#include "MailNumbers.h"
#include "MailboxFile.h"
#include "OwnerEnabler.h"
#include "ReportError.h"
#include "ReportListView.h"
#include "Screen.h"
#include "ServiceObjects.h"
#include "Twips.h"
#include "clsList.h"
#include "clsResizer.h"
#include "modCrypto.h"
#include "modGlobalFunctions.h"
#include "modGlobalFunctionsForms.h"

namespace {

const QString kModule = QStringLiteral("FrmMailBox");
const QString kUnloading = QStringLiteral("Error Unloading Form");
const QString kCrLf = QStringLiteral("\r\n");

// The window as designed, in twips: the frame fills it.
constexpr double kClientWidth = 7815;
constexpr double kClientHeight = 3015;

constexpr int kBackspace = 8;
constexpr int kDefaultPort = 110;
constexpr qlonglong kLowestPort = 1;
constexpr qlonglong kHighestPort = 65535;

// Header images of ImgSort, counted from 1 as the headers number them.
constexpr int kNoOrderImage = 1;
constexpr int kDownImage = 2;
constexpr int kUpImage = 3;
constexpr int kAscending = 0;
constexpr int kDescending = 1;
// ImgSort's picture size, in pixels.
constexpr int kSortImageWidth = 10;
constexpr int kSortImageHeight = 8;

struct TimeOutChoice {
    const char* text;
    int seconds;
};
constexpr TimeOutChoice kTimeOuts[] = {
    {"No timeout", 0}, {"15 seconds", 15}, {"30 seconds", 30}, {"45 seconds", 45}, {"60 seconds", 60}};
constexpr int kNoTimeOutIndex = 0;

struct ColumnDesign {
    const char* header;
    const char* weight;  // the header tag the pane shares the width by
};
constexpr ColumnDesign kColumnDesign[FrmMailbox::kColumns] = {
    {"Account name", "2"}, {"Password", "2"}, {"Server name", "2"}, {"Port", "1"}, {"Timeout", "1"}};

const QString kIncomplete = QStringLiteral("Incomplete Account Specification");
const QString kEditMessage = QStringLiteral(
    "You are currently editing an existing account or about to add a new one.\r\n"
    "Do you want to quit without updating or adding this account ? \r\n\r\n"
    "if you answer Yes, the account will not be created nor updated ");

// Set for the life of a handler, cleared however it ends.
class Holding {
public:
    explicit Holding(bool& flag) : m_flag(flag) { m_flag = true; }
    ~Holding() { m_flag = false; }
    Holding(const Holding&) = delete;
    Holding& operator=(const Holding&) = delete;

private:
    bool& m_flag;
};

// The record format keeps neither its field separator nor line breaks.
bool BreaksRecord(const QString& text) {
    return text.contains(QLatin1Char('|')) || text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n'));
}

bool PortInRange(const QString& text) {
    bool ok = false;
    const qlonglong port = text.toLongLong(&ok);
    return ok && port >= kLowestPort && port <= kHighestPort;
}

// A box closed without a button (0) or failed (-1) is no consent.
bool Consents(int answer) { return answer > 0 && (answer & MsgBoxButton::Yes) != 0; }

// Only a pressed No refuses; an unanswered box keeps the edits.
bool Declines(int answer) { return answer > 0 && (answer & MsgBoxButton::Yes) == 0; }

}  // namespace

FrmMailbox::FrmMailbox(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FrmMailbox"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("Manage POP3 accounts"));
    setFont(FontFamilies::SansSerif(8.25));

    FraMailbox = NewControl<QGroupBox>(this, "FraMailbox", QString(), {0, 0, 7815, 3015}, "00111111");
    LabMbxCnt = NewControl<QLabel>(FraMailbox, "LabMbxCnt", QStringLiteral("object(s)"), {120, 240, 2040, 255},
                                   "00101121");
    LabMbxSel = NewControl<QLabel>(FraMailbox, "LabMbxSel", QStringLiteral("selected"), {5500, 240, 2160, 255},
                                   "10001111");
    LabMbxSel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    LstMailbox = NewControl<ReportListView>(FraMailbox, "LstMailbox", QString(), {120, 480, 7575, 1335}, "00111111");
    LstMailbox->header()->setSectionsClickable(true);
    LabUsername = NewControl<QLabel>(FraMailbox, "LabUsername", QStringLiteral("Account name"),
                                     {120, 1815, 1080, 255}, "01001111");
    LabPassword = NewControl<QLabel>(FraMailbox, "LabPassword", QStringLiteral("Password"), {2280, 1815, 1080, 255},
                                     "11002111");
    LabPop3Name = NewControl<QLabel>(FraMailbox, "LabPop3Name", QStringLiteral("Server name"),
                                     {3720, 1815, 1680, 255}, "11002111");
    LabPop3Port =
        NewControl<QLabel>(FraMailbox, "LabPop3Port", QStringLiteral("Port"), {5520, 1815, 285, 255}, "11001111");
    LabTimeout =
        NewControl<QLabel>(FraMailbox, "LabTimeout", QStringLiteral("Timeout"), {6360, 1815, 525, 255}, "11001111");
    TxtUsername = NewControl<QLineEdit>(FraMailbox, "TxtUsername", QString(), {120, 2040, 2055, 285}, "01101121");
    TxtPassword = NewControl<QLineEdit>(FraMailbox, "TxtPassword", QString(), {2280, 2040, 1335, 285}, "11002111");
    TxtPassword->setEchoMode(QLineEdit::Password);
    TxtPassword->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));
    TxtPop3Name = NewControl<QLineEdit>(FraMailbox, "TxtPop3Name", QString(), {3720, 2040, 1695, 285}, "11102121");
    TxtPop3Port = NewControl<QLineEdit>(FraMailbox, "TxtPop3Port", QString(), {5520, 2040, 735, 285}, "11001111");
    // Typed characters are filtered by the key handler; a pasted text must
    // be digits too.
    TxtPop3Port->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), TxtPop3Port));
    CboTimeout = NewControl<QComboBox>(FraMailbox, "CboTimeout", QString(), {6360, 2040, 1335, 315}, "11001111");
    for (const TimeOutChoice& t : kTimeOuts) CboTimeout->addItem(QString::fromLatin1(t.text), t.seconds);
    ComAdd = NewControl<QPushButton>(FraMailbox, "ComAdd", QStringLiteral("Add to list"), {120, 2520, 1215, 300},
                                     "01001111");
    ComUpdate = NewControl<QPushButton>(FraMailbox, "ComUpdate", QStringLiteral("Update"), {1560, 2520, 1215, 300},
                                        "01001111");
    ComDelete = NewControl<QPushButton>(FraMailbox, "ComDelete", QStringLiteral("Delete from list"),
                                        {3000, 2520, 1215, 300}, "01001111");
    ComDone = NewControl<QPushButton>(FraMailbox, "ComDone", QStringLiteral("Save Changes"), {6480, 2520, 1215, 300},
                                      "11001111");
    // Enter must not press a button of the dialog.
    for (QPushButton* b : {ComAdd, ComUpdate, ComDelete, ComDone}) b->setAutoDefault(false);
    // The desktop's sans-serif is wider than the font the sizes were made
    // for: a caption gets the room it needs, which the gaps beside it hold.
    // "Save Changes" keeps its right margin.
    for (QWidget* w : std::initializer_list<QWidget*>{LabUsername, LabPassword, LabPop3Name, LabPop3Port, LabTimeout,
                                                      ComAdd, ComUpdate, ComDelete, ComDone}) {
        const int need = w->sizeHint().width();
        if (need <= w->width()) continue;
        const int left = w == ComDone ? w->x() + w->width() - need : w->x();
        w->setGeometry(left, w->y(), need, w->height());
    }

    ImgSort = new ImageList(QSize(kSortImageWidth, kSortImageHeight), this);
    ImgSort->setObjectName(QStringLiteral("ImgSort"));
    for (int i = 0; i < ListIcons::kHeaderCount; ++i) ImgSort->Add(ListIcons::HeaderPicture(i));

    resize(Twips::ToPixels(kClientWidth), Twips::ToPixels(kClientHeight));
    setMinimumSize(size());

    connect(ComAdd, &QPushButton::clicked, this, &FrmMailbox::ComAdd_Click);
    connect(ComUpdate, &QPushButton::clicked, this, &FrmMailbox::ComUpdate_Click);
    connect(ComDelete, &QPushButton::clicked, this, &FrmMailbox::ComDelete_Click);
    connect(ComDone, &QPushButton::clicked, this, &FrmMailbox::ComDone_Click);
    connect(TxtUsername, &QLineEdit::textChanged, this, &FrmMailbox::TxtUsername_Change);
    connect(TxtPassword, &QLineEdit::textChanged, this, &FrmMailbox::TxtPassword_Change);
    connect(TxtPop3Name, &QLineEdit::textChanged, this, &FrmMailbox::TxtPop3Name_Change);
    connect(TxtPop3Port, &QLineEdit::textChanged, this, &FrmMailbox::TxtPop3Port_Change);
    // A pick of the entry already shown is a click too.
    connect(CboTimeout, &QComboBox::currentIndexChanged, this, [this](int) { CboTimeout_Click(); });
    connect(CboTimeout, &QComboBox::activated, this, [this](int) { CboTimeout_Click(); });
    connect(LstMailbox->header(), &QHeaderView::sectionClicked, this,
            [this](int section) { LstMailbox_ColumnClick(section + 1); });
    // A row chosen by the mouse or the keys; the dialog's own selections
    // happen while it is busy.  A click on the chosen row fills again.
    connect(LstMailbox, &QTreeWidget::itemSelectionChanged, this, [this] {
        if (!IsBusy) LstMailbox_ItemClick(SelectedRow());
    });
    connect(LstMailbox, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
        if (!IsBusy && item == SelectedRow()) LstMailbox_ItemClick(item);
    });
    for (QLineEdit* box : {TxtUsername, TxtPassword, TxtPop3Name, TxtPop3Port}) box->installEventFilter(this);
}

FrmMailbox::~FrmMailbox() {
    // The controls go after this object's members: their last signals must
    // not reach it.
    for (QObject* sender : std::initializer_list<QObject*>{TxtUsername, TxtPassword, TxtPop3Name, TxtPop3Port,
                                                           CboTimeout, LstMailbox, LstMailbox->header()})
        disconnect(sender, nullptr, this, nullptr);
    // A caller that skips the unload still gets its window back.
    if (!m_unloaded) OwnerEnabler::SetEnabled(OwnerForm, true);
}

void FrmMailbox::Report(const QString& description, const QString& context, const QString& routine) {
    modGlobalFunctions::ReportError(description, context, kModule, routine, false, true);
}

QString FrmMailbox::Typed(const QString& text) { return QString::fromLatin1(text.toUtf8()); }

QString FrmMailbox::Shown(const QString& bytes) { return QString::fromUtf8(bytes.toLatin1()); }

QString FrmMailbox::PasswordFault(const QString& bytes) {
    if (bytes.contains(QLatin1Char('\r')) || bytes.contains(QLatin1Char('\n')) || bytes.contains(QChar(0)))
        return QStringLiteral("A password cannot contain a line break or a NUL character");
    // The scrambling cannot keep every byte in every place; a password it
    // would change could never log in.
    const QString scrambled = modCrypto::EncryptPassword(bytes);
    if (scrambled.isEmpty() || modCrypto::DecryptPassword(scrambled) != bytes)
        return QStringLiteral("This password cannot be stored: scrambled, it does not come back unchanged");
    return QString();
}

void FrmMailbox::Form_Load() {
    IsResizing = true;
    IsBusy = true;
    Trap(
        [&] {
            Resizer = std::make_unique<clsResizer>();
            Resizer->MyError = ErrorObj();
            Resizer->Screen = Screen::Instance();
            Resizer->Frm = this;
            if (!Resizer->Initialize()) setFixedSize(size());

            for (const ColumnDesign& c : kColumnDesign) {
                const int col = LstMailbox->AddColumn();
                LstMailbox->SetColumnText(col, QString::fromLatin1(c.header));
                LstMailbox->SetColumnTag(col, QString::fromLatin1(c.weight));
            }
            LstMailbox->SetHeaderImageList(ImgSort);
            for (int col = 0; col < kColumns; ++col) LstMailbox->SetColumnIcon(col, kNoOrderImage);

            AccountPane = std::make_shared<clsList>();
            AccountPane->MyError = ErrorObj();
            AccountPane->Interrupt = InterruptObj();
            AccountPane->Frm = this;
            AccountPane->Frame = FraMailbox;
            AccountPane->SetList(LstMailbox);
            AccountPane->LabCnt = LabMbxCnt;
            AccountPane->LabSel = LabMbxSel;
            AccountPane->ColOnCnt = {ComDelete, ComUpdate};
            AccountPane->name = QStringLiteral("Account List");
            AccountPane->ResizeCols();
            AccountPane->SetAll();
            ClearFields();
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("Form_Load")); });
    IsResizing = false;
    IsBusy = false;
}

QTreeWidgetItem* FrmMailbox::NewRow() const {
    QTreeWidgetItem* row = ReportListView::NewItem();
    // The account list has no ticks: its rows are chosen, not checked.
    row->setFlags(row->flags() & ~Qt::ItemIsUserCheckable);
    row->setData(kUserColumn, Qt::CheckStateRole, QVariant());
    return row;
}

void FrmMailbox::Initialize() {
    Holding busy(IsBusy);
    Trap(
        [&] {
            if (!Mailboxes) {
                Report(QStringLiteral("Mailboxes collection has not been set"), QString(),
                       QStringLiteral("Initialize"));
                return;
            }
            LstMailbox->ClearItems();
            QList<QTreeWidgetItem*> rows;
            for (const std::shared_ptr<clsPOP3Mailbox>& account : *Mailboxes) {
                if (!account) continue;
                QTreeWidgetItem* row = NewRow();
                row->setText(kUserColumn, Shown(account->POP3User));
                row->setData(kUserColumn, kBytesRole, account->POP3User);
                row->setData(kUserColumn, kTagRole, account->POP3Password);
                row->setText(kPasswordColumn, QString(account->POP3Password.size(), QLatin1Char('*')));
                row->setText(kServerColumn, Shown(account->POP3Server));
                row->setData(kServerColumn, kBytesRole, account->POP3Server);
                row->setText(kPortColumn, QString::number(account->POP3Port));
                row->setText(kTimeOutColumn, QString::number(account->POP3TimeOut));
                rows.append(row);
            }
            LstMailbox->AddItems(rows);
            if (AccountPane) AccountPane->SetAll();
            OwnerEnabler::SetEnabled(OwnerForm, false);
            modGlobalFunctions::CenterForm(this, OwnerForm);
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("Initialize")); });
}

void FrmMailbox::ClearFields() {
    TxtUsername->clear();
    TxtPassword->clear();
    TxtPop3Name->clear();
    TxtPop3Port->setText(QString::number(kDefaultPort));
    CboTimeout->setCurrentIndex(-1);
}

void FrmMailbox::Refuse(const QString& message) {
    modGlobalFunctions::DisplayMessage({.message = message,
                                        .Title = kIncomplete,
                                        .IconNb = MsgBoxIcon::Error,
                                        .Focus = 0,
                                        .ShowOk = true,
                                        .CForm = this,
                                        .OForm = this});
}

int FrmMailbox::Ask(const QString& message, const QString& title, int icon, int focus) {
    return modGlobalFunctions::DisplayMessage({.message = message,
                                               .Title = title,
                                               .IconNb = icon,
                                               .Focus = focus,
                                               .ShowYes = true,
                                               .ShowNo = true,
                                               .CForm = this,
                                               .OForm = this});
}

bool FrmMailbox::Validate() {
    const QString user = TxtUsername->text();
    const QString password = TxtPassword->text();
    const QString server = TxtPop3Name->text();
    const QString port = TxtPop3Port->text();
    struct Gap {
        bool found;
        const char* message;
    };
    // The first five as the dialog always asked them; then what the
    // account file and the server cannot take.
    const Gap gaps[] = {
        {user.isEmpty(), "An account (User) name must be specified"},
        {password.isEmpty(), "A Password must be specified"},
        {server.isEmpty(), "A POP3 server name must be specified"},
        {port.isEmpty(), "A POP3 server port must be specified"},
        {CboTimeout->currentIndex() < 0, "A timeout value must be specified"},
        {!PortInRange(port), "A POP3 server port must be between 1 and 65535"},
        {BreaksRecord(user) || BreaksRecord(server), "An account or server name cannot contain '|' or a line break"},
    };
    for (const Gap& gap : gaps) {
        if (!gap.found) continue;
        Refuse(QString::fromLatin1(gap.message));
        return false;
    }
    const QString fault = PasswordFault(Typed(password));
    if (!fault.isEmpty()) {
        Refuse(fault);
        return false;
    }

    if (CboTimeout->currentIndex() == kNoTimeOutIndex && !SkipNoTimeoutWarning) {
        int answer = modGlobalFunctions::DisplayMessage(
            {.message = QStringLiteral("Please be aware that when the 'No timeout' option is selected,") + kCrLf +
                        QStringLiteral("your computer might hang undefinitely if an expected POP3 server") + kCrLf +
                        QStringLiteral("answer never arrives (network problems, POP3 server crash, etc.)"),
             .Title = QStringLiteral("No Timeout Option Selected"),
             .IconNb = MsgBoxIcon::Warning,
             .Focus = 0,
             .ShowOk = true,
             .Choice = QStringLiteral("Do not warn me next time"),
             .CForm = this,
             .OForm = this});
        // A failed box answers -1, every bit set: nothing was ticked.
        if (answer < 0) answer = 0;
        if (answer & MsgBoxButton::Option) SkipNoTimeoutWarning = true;
    }
    return true;
}

void FrmMailbox::FillRow(QTreeWidgetItem* row) const {
    const QString tag = modCrypto::EncryptPassword(Typed(TxtPassword->text()));
    row->setText(kUserColumn, TxtUsername->text());
    row->setData(kUserColumn, kBytesRole, Typed(TxtUsername->text()));
    row->setData(kUserColumn, kTagRole, tag);
    row->setText(kPasswordColumn, QString(tag.size(), QLatin1Char('*')));
    row->setText(kServerColumn, TxtPop3Name->text());
    row->setData(kServerColumn, kBytesRole, Typed(TxtPop3Name->text()));
    row->setText(kPortColumn, TxtPop3Port->text());
    row->setText(kTimeOutColumn, QString::number(CboTimeout->currentData().toInt()));
}

QTreeWidgetItem* FrmMailbox::SelectedRow() const {
    const QList<QTreeWidgetItem*> rows = LstMailbox->selectedItems();
    return rows.isEmpty() ? nullptr : rows.first();
}

void FrmMailbox::ComAdd_Click() {
    Holding busy(IsBusy);
    Trap(
        [&] {
            if (!Validate()) return;
            QTreeWidgetItem* row = NewRow();
            FillRow(row);
            LstMailbox->AddItems({row});
            LstMailbox->setCurrentItem(row);
            ClearFields();
            AccountPane->SetAll();
            IsEditPending = false;
            IsModified = true;
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("ComAdd_Click")); });
}

void FrmMailbox::ComUpdate_Click() {
    Holding busy(IsBusy);
    Trap(
        [&] {
            if (QTreeWidgetItem* row = SelectedRow()) {
                if (!Validate()) return;
                FillRow(row);
            } else {
                const int answer = Ask(QStringLiteral("Do you want to create a new account ?"),
                                       QStringLiteral("Create New Account"), MsgBoxIcon::Question, 0);
                if (answer == MsgBoxButton::Yes) {
                    if (!Validate()) return;
                    QTreeWidgetItem* added = NewRow();
                    FillRow(added);
                    LstMailbox->AddItems({added});
                } else if (answer != MsgBoxButton::No) {
                    // Closed without an answer: the typed account stays.
                    return;
                }
            }
            ClearFields();
            AccountPane->SetAll();
            IsEditPending = false;
            IsModified = true;
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("ComUpdate_Click")); });
}

void FrmMailbox::ComDelete_Click() {
    Holding busy(IsBusy);
    Trap(
        [&] {
            QTreeWidgetItem* row = SelectedRow();
            if (row == nullptr) return;
            const int answer =
                Ask(QStringLiteral("Are you sure to delete account '") + row->text(kUserColumn) + QLatin1Char('\''),
                    QStringLiteral("Delete Account"), MsgBoxIcon::Question, 0);
            if (answer == MsgBoxButton::Yes) LstMailbox->RemoveItem(LstMailbox->indexOfTopLevelItem(row));
            ClearFields();
            AccountPane->SetAll();
            IsModified = true;
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("ComDelete_Click")); });
}

std::optional<MailboxCollection> FrmMailbox::RebuildAccounts(const QString& routine) {
    MailboxCollection accounts;
    const int rows = LstMailbox->ItemCount();
    for (int r = 0; r < rows; ++r) {
        const QTreeWidgetItem* row = LstMailbox->Item(r);
        auto account = std::make_shared<clsPOP3Mailbox>();
        account->POP3User = row->data(kUserColumn, kBytesRole).toString();
        account->POP3Password = row->data(kUserColumn, kTagRole).toString();
        account->POP3Server = row->data(kServerColumn, kBytesRole).toString();
        bool portOk = false;
        bool timeOutOk = false;
        account->POP3Port = row->text(kPortColumn).toInt(&portOk);
        account->POP3TimeOut = row->text(kTimeOutColumn).toInt(&timeOutOk);
        if (!portOk || !timeOutOk) {
            Report(
                QStringLiteral("The port '%1' or time-out '%2' of account '%3' is no number that can be kept")
                    .arg(row->text(kPortColumn), row->text(kTimeOutColumn), row->text(kUserColumn)),
                kUnloading, routine);
            return std::nullopt;
        }
        accounts.push_back(std::move(account));
    }
    return accounts;
}

bool FrmMailbox::SaveAccounts(const QString& routine) {
    std::optional<MailboxCollection> rebuilt = RebuildAccounts(routine);
    if (!rebuilt) return false;
    std::shared_ptr<MailboxCollection> previous = Mailboxes;
    Mailboxes = std::make_shared<MailboxCollection>(std::move(*rebuilt));
    const QString path = MailboxFile::Path();
    if (MailboxFile::SaveMailboxes(path)) return true;
    // The program goes on with the accounts the file still holds.
    Mailboxes = std::move(previous);
    modGlobalFunctions::DisplayMessage(
        {.message = QStringLiteral("The POP3 accounts could not be written to ") + path + kCrLf +
                    QStringLiteral("Your changes are kept in this window; the error console says why."),
         .Title = QStringLiteral("Error Saving Accounts"),
         .IconNb = MsgBoxIcon::Error,
         .Focus = 0,
         .ShowOk = true,
         .CForm = this,
         .OForm = this});
    return false;
}

void FrmMailbox::ComDone_Click() {
    bool done = false;
    Trap(
        [&] {
            if (IsEditPending) {
                const int answer = Ask(kEditMessage, QStringLiteral("Quit without adding or updating ?"),
                                       MsgBoxIcon::Warning, MsgBoxButton::No);
                if (!Consents(answer)) return;
                IsEditPending = false;
            }
            if (!SaveAccounts(QStringLiteral("ComDone_Click"))) return;
            IsModified = false;
            done = true;
        },
        [&](const QString& d) { Report(d, kUnloading, QStringLiteral("ComDone_Click")); });
    if (done) Unload();
}

void FrmMailbox::Unload() { close(); }

void FrmMailbox::reject() { close(); }

void FrmMailbox::closeEvent(QCloseEvent* event) {
    if (!m_unloaded && Form_Unload()) {
        event->ignore();
        return;
    }
    m_unloaded = true;
    event->accept();
}

bool FrmMailbox::Form_Unload() {
    bool cancel = false;
    Trap(
        [&] {
            if (IsEditPending) {
                const int answer =
                    Ask(kEditMessage, QStringLiteral("Quit without saving ?"), MsgBoxIcon::Warning, MsgBoxButton::No);
                if (!Consents(answer)) {
                    cancel = true;
                    return;
                }
            }
            if (IsModified) {
                const int answer = Ask(QStringLiteral("You made changes to one or more POP3 accounts.") + kCrLf +
                                           QStringLiteral("Do you want to save them now ? ") + kCrLf + kCrLf +
                                           QStringLiteral("if you answer No, the changes will be lost ! "),
                                       QStringLiteral("Save Changes ?"), MsgBoxIcon::Warning, MsgBoxButton::Yes);
                // Unsaved edits are lost only on a pressed No.
                if (!Declines(answer) && !SaveAccounts(QStringLiteral("Form_Unload"))) {
                    cancel = true;
                    return;
                }
            }
        },
        [&](const QString& d) { Report(d, kUnloading, QStringLiteral("Form_Unload")); });
    if (cancel) return true;
    AccountPane.reset();
    OwnerEnabler::SetEnabled(OwnerForm, true);
    OwnerForm = nullptr;
    return false;
}

void FrmMailbox::LstMailbox_ItemClick(QTreeWidgetItem* Item) {
    if (Item == nullptr) return;
    Holding busy(IsBusy);
    Holding filling(IsFilling);
    Trap(
        [&] {
            TxtUsername->setText(Item->text(kUserColumn));
            // A stored password is never shown: the user types it again.
            TxtPassword->clear();
            TxtPop3Name->setText(Item->text(kServerColumn));
            TxtPop3Port->setText(Item->text(kPortColumn));
            const double seconds = MailNumbers::LeadingNumber(Item->text(kTimeOutColumn));
            for (int i = 0; i < CboTimeout->count(); ++i) {
                if (CboTimeout->itemData(i).toInt() != seconds) continue;
                CboTimeout->setCurrentIndex(i);
                break;
            }
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("LstMailbox_ItemClick")); });
}

void FrmMailbox::LstMailbox_ColumnClick(int Column) {
    if (Column < 1 || Column > LstMailbox->ColumnCount()) return;
    Holding busy(IsBusy);
    Trap(
        [&] {
            for (int col = 0; col < LstMailbox->ColumnCount(); ++col) LstMailbox->SetColumnIcon(col, kNoOrderImage);
            LstMailbox->SetSorted(false);
            LstMailbox->SetSortKey(Column - 1);
            // A newly clicked column always ends up ascending.
            if (Column != LastSortColumn) LstMailbox->SetSortOrder(kDescending);
            const bool ascending = LstMailbox->SortOrder() == kAscending;
            LstMailbox->SetColumnIcon(Column - 1, ascending ? kUpImage : kDownImage);
            LstMailbox->SetSorted(true);
            LstMailbox->SetSortOrder(ascending ? kDescending : kAscending);
            LastSortColumn = static_cast<int16_t>(Column);
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("LstMailbox_ColumnClick")); });
}

void FrmMailbox::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    Form_Resize();
}

void FrmMailbox::Form_Resize() {
    if (IsResizing || !Resizer) return;
    IsResizing = true;
    Trap(
        [&] {
            Resizer->Resize();
            if (AccountPane && LstMailbox->ColumnCount() > 0) AccountPane->ResizeCols();
        },
        [&](const QString& d) { Report(d, QStringLiteral("Error Resizing Form"), QStringLiteral("Form_Resize")); });
    IsResizing = false;
}

void FrmMailbox::TxtUsername_Change() {
    if (!IsBusy && !IsFilling) IsEditPending = true;
}

void FrmMailbox::TxtPassword_Change() {
    if (!IsBusy && !IsFilling) IsEditPending = true;
}

void FrmMailbox::TxtPop3Name_Change() {
    if (!IsBusy && !IsFilling) IsEditPending = true;
}

void FrmMailbox::TxtPop3Port_Change() {
    if (!IsBusy && !IsFilling) IsEditPending = true;
}

void FrmMailbox::CboTimeout_Click() {
    if (!IsBusy && !IsFilling) IsEditPending = true;
}

void FrmMailbox::TxtPop3Port_KeyPress(int& KeyAscii) {
    const bool digit = KeyAscii >= '0' && KeyAscii <= '9';
    if (!digit && KeyAscii != kBackspace) KeyAscii = 0;
}

bool FrmMailbox::eventFilter(QObject* watched, QEvent* event) {
    auto* box = qobject_cast<QLineEdit*>(watched);
    if (box != nullptr && event->type() == QEvent::FocusIn) {
        box->selectAll();
    } else if (watched == TxtPop3Port && event->type() == QEvent::KeyPress) {
        const QString text = static_cast<QKeyEvent*>(event)->text();
        // Only what the box would insert is a typed character here;
        // editing and shortcut keys pass.
        if (!text.isEmpty() && text.at(0).isPrint()) {
            int code = text.at(0).unicode();
            TxtPop3Port_KeyPress(code);
            if (code == 0) return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
