// The account manager: its rows, edit fields and validation, the questions
// of its buttons and of its closing, the header sort, and the account file it
// writes.
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidgetItem>

#include "FileSizeLimit.h"
#include "FrmMailbox.h"
#include "MailboxFile.h"
#include "OwnerEnabler.h"
#include "ReportListView.h"
#include "ServiceTestSupport.h"
#include "TestHarness.h"
#include "Twips.h"
#include "modCrypto.h"

namespace {

using TestHarness::AnswerMessages;
using TestHarness::AskedMessages;
using TestHarness::Rows;

constexpr int kYes = MsgBoxButton::Yes;
constexpr int kNo = MsgBoxButton::No;
constexpr int kOk = MsgBoxButton::Ok;
constexpr int kTicked = MsgBoxButton::Ok | MsgBoxButton::Option;
constexpr int kClosed = 0;   // the box closed without a button
constexpr int kFailed = -1;  // the box failed

// A real scrambled "pw", the same for the whole run: 10 + 2 x 2 characters.
const QString& Scrambled() {
    static const QString text = modCrypto::EncryptPassword(QStringLiteral("pw"));
    return text;
}
const QString kStars = QString(14, QLatin1Char('*'));

std::shared_ptr<clsPOP3Mailbox> Account(const char* user, const char* server, int port, int timeOut) {
    auto a = std::make_shared<clsPOP3Mailbox>();
    a->POP3User = QString::fromLatin1(user);
    a->POP3Password = Scrambled();
    a->POP3Server = QString::fromLatin1(server);
    a->POP3Port = port;
    a->POP3TimeOut = timeOut;
    return a;
}

// What the edit fields are given, as a user types them.
struct Fields {
    const char* user;  // UTF-8
    const char* password;
    const char* server;
    const char* port;
    int timeOut;  // CboTimeout index, -1 none
};

// Each account of the file as user|plain password|server|port|time-out.
QStringList Saved() {
    MailboxCollection accounts;
    if (!MailboxFile::Read(MailboxFile::Path(), accounts)) return {};
    QStringList out;
    for (const auto& a : accounts)
        out << QStringLiteral("%1|%2|%3|%4|%5")
                   .arg(a->POP3User, modCrypto::DecryptPassword(a->POP3Password), a->POP3Server)
                   .arg(a->POP3Port)
                   .arg(a->POP3TimeOut);
    return out;
}

class Manager : public ::testing::Test {
protected:
    void SetUp() override {
        Mailboxes = std::make_shared<MailboxCollection>();
        Mailboxes->push_back(Account("ann", "pop.x.org", 110, 30));
        Mailboxes->push_back(Account("bob", "pop.y.org", 25, 0));
        owner.setObjectName(QStringLiteral("Owner"));
        new QPushButton(&owner);
    }
    void TearDown() override {
        d.reset();
        Mailboxes.reset();
    }
    FrmMailbox& Open() {
        d = std::make_unique<FrmMailbox>();
        d->Form_Load();
        d->OwnerForm = &owner;
        d->Initialize();
        d->show();
        return *d;
    }
    void Type(const Fields& f) {
        d->TxtUsername->setText(QString::fromUtf8(f.user));
        d->TxtPassword->setText(QString::fromUtf8(f.password));
        d->TxtPop3Name->setText(QString::fromUtf8(f.server));
        d->TxtPop3Port->setText(QString::fromUtf8(f.port));
        d->CboTimeout->setCurrentIndex(f.timeOut);
    }
    void ClickRow(int row) {
        const QRect at = d->LstMailbox->visualItemRect(d->LstMailbox->Item(row));
        QTest::mouseClick(d->LstMailbox->viewport(), Qt::LeftButton, {}, at.center());
    }
    void ClickHeader(int column) {
        QHeaderView* h = d->LstMailbox->header();
        const int x = h->sectionViewportPosition(column) + h->sectionSize(column) / 2;
        QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, QPoint(x, h->height() / 2));
    }
    QString FieldText() const {
        return QStringList{d->TxtUsername->text(), d->TxtPassword->text(), d->TxtPop3Name->text(),
                           d->TxtPop3Port->text(), QString::number(d->CboTimeout->currentIndex())}
            .join(QLatin1Char('|'));
    }
    QList<int> Icons() const {
        QList<int> icons;
        for (int c = 0; c < d->LstMailbox->ColumnCount(); ++c) icons << d->LstMailbox->ColumnIcon(c);
        return icons;
    }
    // The messages asked since the last Mark.
    void Mark() { m_mark = AskedMessages().size(); }
    QList<MsgBoxRequest> Asked() const { return AskedMessages().mid(m_mark); }
    QStringList Titles() const {
        QStringList titles;
        for (const MsgBoxRequest& r : Asked()) titles << r.Title;
        return titles;
    }
    ServiceTest::Console console;
    QWidget owner;
    std::unique_ptr<FrmMailbox> d;

private:
    qsizetype m_mark = 0;
};

const Fields kComplete = {"cid", "secret", "pop.z.org", "995", 2};
const QString kEmptyFields = QStringLiteral("|||110|-1");

TEST_F(Manager, OpensOnTheAccounts) {
    struct Case {
        const char* name;
        int accounts;
        QStringList rows;
        const char* count;
        bool rowButtons;
    };
    const Case cases[] = {
        {"two accounts",
         2,
         {"ann|" + kStars + "|pop.x.org|110|30", "bob|" + kStars + "|pop.y.org|25|0"},
         "2 object(s)",
         true},
        {"no account", 0, {}, "0 object(s)", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Mark();
        Mailboxes->resize(c.accounts);
        FrmMailbox& m = Open();
        EXPECT_EQ(m.windowTitle(), QStringLiteral("Manage POP3 accounts"));
        EXPECT_EQ(Rows(m.LstMailbox), c.rows);
        EXPECT_EQ(m.LabMbxCnt->text(), QLatin1String(c.count));
        EXPECT_EQ(m.LabMbxSel->text(), QStringLiteral("0 selected"));
        EXPECT_EQ(m.ComUpdate->isEnabled(), c.rowButtons);
        EXPECT_EQ(m.ComDelete->isEnabled(), c.rowButtons);
        EXPECT_EQ(FieldText(), kEmptyFields);
        EXPECT_EQ(Icons(), QList<int>({1, 1, 1, 1, 1}));
        for (int r = 0; r < m.LstMailbox->ItemCount(); ++r)
            EXPECT_FALSE(m.LstMailbox->Item(r)->data(0, Qt::CheckStateRole).isValid()) << "no tick box";
        EXPECT_FALSE(OwnerEnabler::IsEnabled(&owner));
        EXPECT_FALSE(m.IsEditPending);
        EXPECT_FALSE(m.IsModified);
        EXPECT_TRUE(m.close());
        EXPECT_TRUE(OwnerEnabler::IsEnabled(&owner));
        EXPECT_TRUE(Asked().isEmpty());
    }
}

TEST_F(Manager, WithoutAccountsItIsReportedAndEmpty) {
    Mailboxes.reset();
    FrmMailbox& m = Open();
    EXPECT_EQ(m.LstMailbox->ItemCount(), 0);
    EXPECT_TRUE(console.Has(QStringLiteral("Mailboxes collection has not been set")));
    EXPECT_TRUE(console.Text().contains(QStringLiteral("FrmMailBox")));
}

TEST_F(Manager, ValidationShowsTheFirstGapOnly) {
    struct Case {
        const char* name;
        Fields fields;
        const char* message;  // "" when the account is added
    };
    const Case cases[] = {
        {"all missing", {"", "", "", "", -1}, "An account (User) name must be specified"},
        {"no password", {"cid", "", "", "", -1}, "A Password must be specified"},
        {"no server", {"cid", "pw", "", "", -1}, "A POP3 server name must be specified"},
        {"no port", {"cid", "pw", "s", "", -1}, "A POP3 server port must be specified"},
        {"no time-out", {"cid", "pw", "s", "110", -1}, "A timeout value must be specified"},
        {"port 0", {"cid", "pw", "s", "0", 1}, "A POP3 server port must be between 1 and 65535"},
        {"port 65536", {"cid", "pw", "s", "65536", 1}, "A POP3 server port must be between 1 and 65535"},
        {"port beyond 64 bits", {"cid", "pw", "s", "99999999999999999999", 1},
         "A POP3 server port must be between 1 and 65535"},
        {"'|' in the name", {"c|d", "pw", "s", "110", 1}, "An account or server name cannot contain '|' or a line break"},
        {"CR in the name", {"c\rd", "pw", "s", "110", 1}, "An account or server name cannot contain '|' or a line break"},
        {"LF in the server", {"cid", "pw", "s\nt", "110", 1},
         "An account or server name cannot contain '|' or a line break"},
        {"CR in the password", {"cid", "p\rw", "s", "110", 1}, "A password cannot contain a line break or a NUL character"},
        {"LF in the password", {"cid", "p\nw", "s", "110", 1}, "A password cannot contain a line break or a NUL character"},
        {"highest port", {"cid", "pw", "s", "65535", 1}, ""},
        {"lowest port with zeros", {"cid", "pw", "s", "0001", 1}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Mark();
        FrmMailbox& m = Open();
        Type(c.fields);
        const bool added = *c.message == '\0';
        if (!added) AnswerMessages({kOk});
        m.ComAdd_Click();
        EXPECT_EQ(m.LstMailbox->ItemCount(), added ? 3 : 2);
        if (added) {
            EXPECT_TRUE(Asked().isEmpty());
        } else {
            ASSERT_EQ(Asked().size(), 1);
            const MsgBoxRequest r = Asked().first();
            EXPECT_EQ(r.message, QLatin1String(c.message));
            EXPECT_EQ(r.Title, QStringLiteral("Incomplete Account Specification"));
            EXPECT_EQ(r.IconNb, MsgBoxIcon::Error);
            EXPECT_TRUE(r.ShowOk && !r.ShowYes && !r.ShowNo);
            // Nothing changed: the fields still hold what was typed.
            EXPECT_EQ(m.TxtUsername->text(), QString::fromUtf8(c.fields.user));
        }
        EXPECT_EQ(m.IsModified, added);
        d.reset();
        AnswerMessages({});
    }
}

TEST(FrmMailboxPassword, OnlyPasswordsThatScrambleBackAreKept) {
    struct Case {
        const char* name;
        QString bytes;
        const char* fault;
    };
    const Case cases[] = {
        {"plain", QStringLiteral("secret"), ""},
        {"UTF-8 bytes", FrmMailbox::Typed(QString::fromUtf8("p\xc3\xa4sswort")), ""},
        {"NUL", QString::fromLatin1("a\0b", 3), "A password cannot contain a line break or a NUL character"},
        // The scrambling cannot keep a 255 byte where it adds its key.
        {"a byte the scrambling changes", QString::fromLatin1("\xff"),
         "This password cannot be stored: scrambled, it does not come back unchanged"},
    };
    for (const Case& c : cases) EXPECT_EQ(FrmMailbox::PasswordFault(c.bytes), QLatin1String(c.fault)) << c.name;
}

TEST_F(Manager, AddingKeepsTheBytesAndScramblesThePassword) {
    FrmMailbox& m = Open();
    Type({"Zo\xc3\xab", "p\xc3\xa4ss", "pop.z.org", "995", 2});
    EXPECT_TRUE(m.IsEditPending);
    m.ComAdd_Click();
    ASSERT_EQ(m.LstMailbox->ItemCount(), 3);
    QTreeWidgetItem* row = m.LstMailbox->Item(2);
    EXPECT_EQ(row->text(0), QString::fromUtf8("Zo\xc3\xab"));
    EXPECT_EQ(row->data(0, FrmMailbox::kBytesRole).toString(), QString::fromLatin1("Zo\xc3\xab"));
    const QString tag = row->data(0, FrmMailbox::kTagRole).toString();
    EXPECT_EQ(modCrypto::DecryptPassword(tag), QString::fromLatin1("p\xc3\xa4ss"));
    EXPECT_EQ(tag.size(), 10 + 2 * 5);
    EXPECT_EQ(row->text(1), QString(tag.size(), QLatin1Char('*')));
    EXPECT_EQ(row->text(4), QStringLiteral("30"));
    EXPECT_TRUE(row->isSelected());
    EXPECT_EQ(FieldText(), kEmptyFields);
    EXPECT_FALSE(m.IsEditPending);
    EXPECT_TRUE(m.IsModified);
    EXPECT_EQ(m.LabMbxCnt->text(), QStringLiteral("3 object(s)"));

    // The same password again gets a scrambled text of its own.
    Type({"Zo\xc3\xab", "p\xc3\xa4ss", "pop.z.org", "995", 2});
    m.ComAdd_Click();
    EXPECT_NE(m.LstMailbox->Item(3)->data(0, FrmMailbox::kTagRole).toString(), tag);

    m.ComDone_Click();
    EXPECT_FALSE(m.isVisible());
    EXPECT_EQ(Saved().mid(2), QStringList({QString::fromLatin1("Zo\xc3\xab|p\xc3\xa4ss|pop.z.org|995|30"),
                                           QString::fromLatin1("Zo\xc3\xab|p\xc3\xa4ss|pop.z.org|995|30")}));
}

TEST_F(Manager, NoTimeOutWarningUntilTheBoxIsTicked) {
    struct Case {
        const char* name;
        int firstAnswer;
        bool warnsAgain;
    };
    const Case cases[] = {
        {"Ok", kOk, true},
        {"Ok with the box ticked", kTicked, false},
        {"closed", kClosed, true},
        {"failed: no bit counts as a tick", kFailed, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Mark();
        FrmMailbox& m = Open();
        AnswerMessages({c.firstAnswer, kOk});
        Type({"cid", "pw", "s", "110", 0});
        m.ComAdd_Click();
        Type({"dan", "pw", "s", "110", 0});
        m.ComAdd_Click();
        ASSERT_EQ(Asked().size(), c.warnsAgain ? 2 : 1);
        const MsgBoxRequest r = Asked().first();
        EXPECT_EQ(r.Title, QStringLiteral("No Timeout Option Selected"));
        EXPECT_EQ(r.IconNb, MsgBoxIcon::Warning);
        EXPECT_EQ(r.Choice, QStringLiteral("Do not warn me next time"));
        EXPECT_EQ(r.message, QStringLiteral("Please be aware that when the 'No timeout' option is selected,\r\n"
                                            "your computer might hang undefinitely if an expected POP3 server\r\n"
                                            "answer never arrives (network problems, POP3 server crash, etc.)"));
        // Added both times, with no time-out.
        ASSERT_EQ(m.LstMailbox->ItemCount(), 4);
        EXPECT_EQ(m.LstMailbox->Item(2)->text(4), QStringLiteral("0"));
        EXPECT_EQ(m.LstMailbox->Item(3)->text(4), QStringLiteral("0"));
        d.reset();
        AnswerMessages({});
    }
}

TEST_F(Manager, ARowClickFillsTheFieldsButThePassword) {
    Mailboxes->push_back(Account("eve", "pop.e.org", 995, 20));  // no such choice
    FrmMailbox& m = Open();
    ClickRow(0);
    EXPECT_EQ(FieldText(), QStringLiteral("ann||pop.x.org|110|2"));
    EXPECT_FALSE(m.IsEditPending);
    ClickRow(2);
    // 20 seconds is no choice: the time-out stays as it was.
    EXPECT_EQ(FieldText(), QStringLiteral("eve||pop.e.org|995|2"));
    EXPECT_FALSE(m.IsEditPending);

    // Changing only the server is not enough: the password was emptied.
    ClickRow(1);
    QTest::keyClicks(m.TxtPop3Name, QStringLiteral("x"));
    EXPECT_TRUE(m.IsEditPending);
    AnswerMessages({kOk});
    m.ComUpdate_Click();
    ASSERT_EQ(Asked().size(), 1);
    EXPECT_EQ(Asked().first().message, QStringLiteral("A Password must be specified"));
    EXPECT_EQ(m.LstMailbox->Item(1)->text(2), QStringLiteral("pop.y.org"));

    // With the password typed again the row is overwritten.
    QTest::keyClicks(m.TxtPassword, QStringLiteral("new"));
    AnswerMessages({kOk});  // bob has no time-out: the warning
    m.ComUpdate_Click();
    EXPECT_EQ(Rows(m.LstMailbox).at(1).section(QLatin1Char('|'), 2), QStringLiteral("pop.y.orgx|25|0"));
    EXPECT_EQ(modCrypto::DecryptPassword(m.LstMailbox->Item(1)->data(0, FrmMailbox::kTagRole).toString()),
              QStringLiteral("new"));
    EXPECT_EQ(m.LstMailbox->ItemCount(), 3);
    EXPECT_FALSE(m.IsEditPending);
    EXPECT_TRUE(m.IsModified);
}

TEST_F(Manager, EveryFieldMarksAnEditOnlyWhenTheUserChangesIt) {
    FrmMailbox& m = Open();
    const std::function<void()> edits[] = {
        [&] { QTest::keyClicks(m.TxtUsername, QStringLiteral("a")); },
        [&] { QTest::keyClicks(m.TxtPassword, QStringLiteral("a")); },
        [&] { QTest::keyClicks(m.TxtPop3Name, QStringLiteral("a")); },
        [&] { QTest::keyClicks(m.TxtPop3Port, QStringLiteral("1")); },
        [&] { m.CboTimeout->setCurrentIndex(3); },
    };
    for (const auto& edit : edits) {
        m.IsEditPending = false;
        edit();
        EXPECT_TRUE(m.IsEditPending);
        // Neither a row click nor the dialog's own clearing lower it.
        ClickRow(0);
        EXPECT_TRUE(m.IsEditPending);
    }
}

TEST_F(Manager, ThePortTakesDigitsOnly) {
    FrmMailbox& m = Open();
    m.TxtPop3Port->clear();
    QTest::keyClicks(m.TxtPop3Port, QStringLiteral("1a2-3 4"));
    EXPECT_EQ(m.TxtPop3Port->text(), QStringLiteral("1234"));
    QTest::keyClick(m.TxtPop3Port, Qt::Key_Backspace);
    EXPECT_EQ(m.TxtPop3Port->text(), QStringLiteral("123"));
}

TEST_F(Manager, UpdateWithoutARowAsksToCreateOne) {
    struct Case {
        const char* name;
        int answer;
        int rows;
        bool cleared;
        bool pending;
        bool modified;
    };
    const Case cases[] = {
        {"Yes adds", kYes, 3, true, false, true},
        {"No adds nothing but clears", kNo, 2, true, false, true},
        {"closed keeps the typed account", kClosed, 2, false, true, false},
        {"failed keeps the typed account", kFailed, 2, false, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Mark();
        FrmMailbox& m = Open();
        Type(kComplete);
        AnswerMessages({c.answer});
        m.ComUpdate_Click();
        ASSERT_EQ(Asked().size(), 1);
        EXPECT_EQ(Asked().first().message, QStringLiteral("Do you want to create a new account ?"));
        EXPECT_EQ(Asked().first().Title, QStringLiteral("Create New Account"));
        EXPECT_EQ(Asked().first().IconNb, MsgBoxIcon::Question);
        EXPECT_EQ(Asked().first().Focus, 0);
        EXPECT_EQ(m.LstMailbox->ItemCount(), c.rows);
        EXPECT_EQ(m.LstMailbox->selectedItems().size(), 0) << "a created row is not chosen";
        EXPECT_EQ(m.TxtUsername->text().isEmpty(), c.cleared);
        EXPECT_EQ(m.IsEditPending, c.pending);
        EXPECT_EQ(m.IsModified, c.modified);
        d.reset();
    }
}

TEST_F(Manager, DeleteRemovesOnlyOnYes) {
    struct Case {
        const char* name;
        int answer;
        QStringList users;
    };
    const Case cases[] = {
        {"Yes", kYes, {"bob"}},
        {"No", kNo, {"ann", "bob"}},
        {"closed", kClosed, {"ann", "bob"}},
        {"failed", kFailed, {"ann", "bob"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Mark();
        FrmMailbox& m = Open();
        m.ComDelete_Click();  // no row chosen: nothing asked
        EXPECT_TRUE(Asked().isEmpty());
        EXPECT_FALSE(m.IsModified);
        ClickRow(0);
        AnswerMessages({c.answer});
        m.ComDelete_Click();
        ASSERT_EQ(Asked().size(), 1);
        EXPECT_EQ(Asked().first().message, QStringLiteral("Are you sure to delete account 'ann'"));
        EXPECT_EQ(Asked().first().Title, QStringLiteral("Delete Account"));
        QStringList users;
        for (const QString& row : Rows(m.LstMailbox)) users << row.section(QLatin1Char('|'), 0, 0);
        EXPECT_EQ(users, c.users);
        EXPECT_EQ(FieldText(), kEmptyFields);
        EXPECT_TRUE(m.IsModified) << "whatever the answer";
        // Closing then asks to save.
        AnswerMessages({kNo});
        EXPECT_TRUE(m.close());
        EXPECT_EQ(Titles().last(), QStringLiteral("Save Changes ?"));
        d.reset();
    }
}

TEST_F(Manager, HeaderClicksSortAsText) {
    Mailboxes->clear();
    Mailboxes->push_back(Account("cid", "s", 25, 0));
    Mailboxes->push_back(Account("bob", "s", 995, 0));
    Mailboxes->push_back(Account("ann", "s", 110, 0));
    struct Case {
        const char* name;
        QList<int> clicks;  // 0-based header positions
        QStringList users;
        QList<int> icons;
        QString saved;  // the file's users after Save Changes
    };
    const Case cases[] = {
        {"port once: ascending as text", {3}, {"ann", "cid", "bob"}, {1, 1, 1, 2, 1}, "ann,cid,bob"},
        {"port twice: descending", {3, 3}, {"bob", "cid", "ann"}, {1, 1, 1, 3, 1}, "bob,cid,ann"},
        {"port three times", {3, 3, 3}, {"ann", "cid", "bob"}, {1, 1, 1, 2, 1}, "ann,cid,bob"},
        {"another column starts ascending", {3, 3, 0}, {"ann", "bob", "cid"}, {2, 1, 1, 1, 1}, "ann,bob,cid"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Mark();
        FrmMailbox& m = Open();
        for (int column : c.clicks) ClickHeader(column);
        QStringList users;
        for (const QString& row : Rows(m.LstMailbox)) users << row.section(QLatin1Char('|'), 0, 0);
        EXPECT_EQ(users, c.users);
        EXPECT_EQ(Icons(), c.icons);
        EXPECT_EQ(m.LastSortColumn, c.clicks.last() + 1);
        EXPECT_FALSE(m.IsModified);
        m.ComDone_Click();
        QStringList saved;
        for (const QString& a : Saved()) saved << a.section(QLatin1Char('|'), 0, 0);
        EXPECT_EQ(saved.join(QLatin1Char(',')), c.saved);
        d.reset();
    }
}

TEST_F(Manager, SaveChangesWhileEditingAsksFirst) {
    struct Case {
        const char* name;
        int answer;
        bool closes;
    };
    const Case cases[] = {
        {"Yes drops the edit and saves", kYes, true},
        {"No keeps the dialog and the edit", kNo, false},
        {"closed keeps them", kClosed, false},
        {"failed keeps them", kFailed, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Mark();
        QFile::remove(MailboxFile::Path());
        FrmMailbox& m = Open();
        Type(kComplete);
        AnswerMessages({c.answer});
        m.ComDone_Click();
        ASSERT_EQ(Asked().size(), 1) << "the closing asks nothing more";
        const MsgBoxRequest r = Asked().first();
        EXPECT_EQ(r.Title, QStringLiteral("Quit without adding or updating ?"));
        EXPECT_EQ(r.IconNb, MsgBoxIcon::Warning);
        EXPECT_EQ(r.Focus, kNo);
        EXPECT_EQ(r.message, QStringLiteral("You are currently editing an existing account or about to add a new "
                                            "one.\r\nDo you want to quit without updating or adding this account ? "
                                            "\r\n\r\nif you answer Yes, the account will not be created nor updated "));
        EXPECT_EQ(m.isVisible(), !c.closes);
        EXPECT_EQ(OwnerEnabler::IsEnabled(&owner), c.closes);
        if (c.closes) {
            EXPECT_EQ(Saved(), QStringList({"ann|pw|pop.x.org|110|30", "bob|pw|pop.y.org|25|0"}))
                << "saved without the edit";
            EXPECT_EQ(Mailboxes->size(), 2u);
        } else {
            EXPECT_FALSE(QFile::exists(MailboxFile::Path()));
            EXPECT_EQ(m.TxtUsername->text(), QStringLiteral("cid"));
            EXPECT_TRUE(m.IsEditPending);
        }
        d.reset();
    }
}

TEST_F(Manager, TheCloseButtonWhileEditingAsksToQuit) {
    struct Case {
        const char* name;
        int answer;
        bool closes;
    };
    const Case cases[] = {
        {"Yes", kYes, true},
        {"No", kNo, false},
        {"closed", kClosed, false},
        {"failed", kFailed, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Mark();
        FrmMailbox& m = Open();
        QTest::keyClicks(m.TxtUsername, QStringLiteral("x"));
        AnswerMessages({c.answer});
        EXPECT_EQ(m.close(), c.closes);
        EXPECT_EQ(Titles(), QStringList{"Quit without saving ?"});
        EXPECT_EQ(m.isVisible(), !c.closes);
        EXPECT_EQ(OwnerEnabler::IsEnabled(&owner), c.closes);
        EXPECT_FALSE(QFile::exists(MailboxFile::Path()));
        d.reset();
    }
}

TEST_F(Manager, ClosingAfterChangesAsksToSave) {
    struct Case {
        const char* name;
        int answer;
        bool saved;
    };
    const Case cases[] = {
        {"Yes saves", kYes, true},
        {"No loses the changes", kNo, false},
        {"closed keeps them: saved", kClosed, true},
        {"failed keeps them: saved", kFailed, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Mark();
        QFile::remove(MailboxFile::Path());
        const std::shared_ptr<MailboxCollection> before = Mailboxes;
        FrmMailbox& m = Open();
        ClickRow(0);
        AnswerMessages({kYes, c.answer});
        m.ComDelete_Click();
        EXPECT_TRUE(m.close());
        ASSERT_EQ(Titles(), QStringList({"Delete Account", "Save Changes ?"}));
        const MsgBoxRequest r = Asked().last();
        EXPECT_EQ(r.Focus, kYes);
        EXPECT_EQ(r.message, QStringLiteral("You made changes to one or more POP3 accounts.\r\nDo you want to save "
                                            "them now ? \r\n\r\nif you answer No, the changes will be lost ! "));
        EXPECT_EQ(QFile::exists(MailboxFile::Path()), c.saved);
        ASSERT_NE(Mailboxes, nullptr);
        EXPECT_EQ(Mailboxes->size(), c.saved ? 1u : 2u);
        EXPECT_EQ(Mailboxes == before, !c.saved);
        d.reset();
        Mailboxes = before;
    }
}

TEST_F(Manager, AFailedSaveKeepsTheDialogAndTheAccounts) {
    const FileSizeLimit full(8);  // less than one account
    const std::shared_ptr<MailboxCollection> before = Mailboxes;
    FrmMailbox& m = Open();
    Type(kComplete);
    m.ComAdd_Click();
    AnswerMessages({kOk});
    m.ComDone_Click();
    ASSERT_EQ(Asked().size(), 1);
    const MsgBoxRequest r = Asked().first();
    EXPECT_EQ(r.Title, QStringLiteral("Error Saving Accounts"));
    EXPECT_EQ(r.IconNb, MsgBoxIcon::Error);
    EXPECT_TRUE(r.message.startsWith(QStringLiteral("The POP3 accounts could not be written to ") +
                                     MailboxFile::Path()));
    EXPECT_TRUE(console.Has(QStringLiteral("Cannot write the account file")));
    EXPECT_TRUE(m.isVisible());
    EXPECT_TRUE(m.IsModified);
    EXPECT_EQ(Mailboxes, before);
    EXPECT_FALSE(QFile::exists(MailboxFile::Path()));

    // The close button's Yes fails the same way and keeps the dialog; a No
    // lets it go with the accounts as they were.
    AnswerMessages({kYes, kOk});
    EXPECT_FALSE(m.close());
    EXPECT_EQ(Titles().mid(1), QStringList({"Save Changes ?", "Error Saving Accounts"}));
    EXPECT_FALSE(OwnerEnabler::IsEnabled(&owner));
    AnswerMessages({kNo});
    EXPECT_TRUE(m.close());
    EXPECT_EQ(Mailboxes, before);
    EXPECT_TRUE(OwnerEnabler::IsEnabled(&owner));
}

TEST_F(Manager, SaveChangesReplacesTheAccountsAndCloses) {
    const std::weak_ptr<MailboxCollection> before = Mailboxes;
    FrmMailbox& m = Open();
    m.ComDone_Click();
    EXPECT_FALSE(m.isVisible());
    EXPECT_TRUE(Asked().isEmpty());
    EXPECT_TRUE(before.expired()) << "a new collection of new records";
    const QByteArray pw = Scrambled().toLatin1();
    EXPECT_EQ(TestHarness::ReadFile(MailboxFile::Path()),
              "ann|" + pw + "|pop.x.org|110|30\r\nbob|" + pw + "|pop.y.org|25|0\r\n");
    EXPECT_TRUE(OwnerEnabler::IsEnabled(&owner));
}

TEST_F(Manager, ResizingStretchesTheListAndStopsAtTheDesignSize) {
    FrmMailbox& m = Open();
    const QSize design = m.size();
    const int listWidth = m.LstMailbox->width();
    m.resize(design.width() + 150, design.height() + 90);
    QCoreApplication::processEvents();
    EXPECT_EQ(m.LstMailbox->width(), listWidth + 150);
    EXPECT_EQ(m.ComDone->x() + m.ComDone->width(), m.FraMailbox->width() - Twips::ToPixels(120));
    m.resize(design.width() - 100, design.height() - 50);
    QCoreApplication::processEvents();
    EXPECT_GE(m.width(), design.width());
    EXPECT_GE(m.height(), design.height());
}

}  // namespace
