// The mailbox tab's account choice: the captions and buttons that follow the
// combo, and "Manage Accounts" opening the account manager and choosing the
// same account again afterwards.
#include <functional>

#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

#include "FrmMailbox.h"
#include "FrmMain.h"
#include "ListDialogSeam.h"
#include "MailboxFile.h"
#include "MainFixture.h"
#include "OwnerEnabler.h"
#include "ReportListView.h"
#include "RichTextBox.h"
#include "TestHarness.h"
#include "modCrypto.h"

namespace {

using TestHarness::AnswerMessages;

const QString kMailCaption = QStringLiteral(" List of message(s) in POP3 server account ");
const QString kAccountCaption = QStringLiteral(" Account ");

QStringList ComboItems(const QComboBox* combo) {
    QStringList items;
    for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
    return items;
}

// user|server|port|time-out, one record a line, the password "pw".
void WriteAccounts(const QStringList& accounts) {
    QByteArray bytes;
    for (const QString& a : accounts) {
        const QStringList f = a.split(QLatin1Char('|'));
        bytes += f[0].toUtf8() + '|' + modCrypto::EncryptPassword(QStringLiteral("pw")).toLatin1() + '|' +
                 f[1].toUtf8() + '|' + f[2].toLatin1() + '|' + f[3].toLatin1() + "\r\n";
    }
    QFile f(MailboxFile::Path());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

class Accounts : public ::testing::Test {
protected:
    void SetUp() override { MainFixture::WriteReferenceFiles(); }
    void TearDown() override {
        ListDialogSeam::Install(nullptr);
        if (w) w->close();
        w.reset();
    }
    FrmMain& Load(const QStringList& accounts) {
        if (!accounts.isEmpty()) WriteAccounts(accounts);
        w = std::make_unique<FrmMain>();
        w->Form_Load();
        return *w;
    }
    // "Manage Accounts", the dialog worked by the script while it is shown.
    void Manage(std::function<void(FrmMailbox*)> work) {
        ListDialogSeam::Install([this, work](QDialog* dialog) {
            auto* d = qobject_cast<FrmMailbox*>(dialog);
            ASSERT_NE(d, nullptr);
            ownerEnabledMeanwhile = OwnerEnabler::IsEnabled(w.get());
            work(d);
        });
        w->ComMailbox_Click();
    }
    static void Type(FrmMailbox* d, const char* user, const char* server) {
        d->TxtUsername->setText(QString::fromUtf8(user));
        d->TxtPassword->setText(QStringLiteral("pw"));
        d->TxtPop3Name->setText(QString::fromUtf8(server));
        d->CboTimeout->setCurrentIndex(2);
    }
    static void Choose(FrmMailbox* d, int row) { d->LstMailbox->setCurrentItem(d->LstMailbox->Item(row)); }
    QString Captions() const { return w->FraMail->title() + QLatin1Char('#') + w->FraMailbox->title(); }
    static QString CaptionsFor(const char* user, const char* server) {
        const QString u = QString::fromUtf8(user), s = QString::fromUtf8(server);
        return " Incoming message(s) for '" + u + "' on '" + s + "' #" + " Account '" + u + "' on '" + s + "' ";
    }

    std::unique_ptr<FrmMain> w;
    bool ownerEnabledMeanwhile = true;
};

TEST_F(Accounts, TheLoadChoosesTheFirstAccount) {
    struct Case {
        const char* name;
        QStringList file;
        QStringList combo;
        QString captions;
        bool retrieve;
    };
    const Case cases[] = {
        {"no account: the design's captions", {}, {}, kMailCaption + '#' + kAccountCaption, false},
        {"two accounts",
         {"ann|pop.x.org|110|30", "bob|pop.y.org|110|0"},
         {"ann", "bob"},
         CaptionsFor("ann", "pop.x.org"),
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FrmMain& m = Load(c.file);
        EXPECT_EQ(ComboItems(m.CboUserName), c.combo);
        EXPECT_EQ(m.CboUserName->currentIndex(), c.combo.isEmpty() ? -1 : 0);
        EXPECT_EQ(Captions(), c.captions);
        EXPECT_EQ(m.ComMailGet->isEnabled(), c.retrieve);
        m.close();
        w.reset();
    }
}

TEST_F(Accounts, ChoosingAnEntryNamesItsOwnAccount) {
    FrmMain& m = Load({"ann|pop.x.org|110|30", "ann|pop.y.org|995|0"});
    EXPECT_EQ(ComboItems(m.CboUserName), QStringList({"ann", "ann"}));
    m.CboUserName->setCurrentIndex(1);
    EXPECT_EQ(Captions(), CaptionsFor("ann", "pop.y.org"));
    EXPECT_TRUE(m.ComMailGet->isEnabled());

    // An entry without an account changes neither captions nor buttons.
    m.ComMailGet->setEnabled(false);
    m.CboUserName->addItem(QStringLiteral("ghost"));
    m.CboUserName->setCurrentIndex(2);
    EXPECT_EQ(Captions(), CaptionsFor("ann", "pop.y.org"));
    EXPECT_FALSE(m.ComMailGet->isEnabled());
    EXPECT_TRUE(m.TxtErrors->Text().isEmpty()) << m.TxtErrors->Text().toStdString();
}

TEST_F(Accounts, AccountsSavedByTheManagerAreThoseOfTheNextStart) {
    FrmMain& m = Load({});
    Manage([](FrmMailbox* d) {
        Type(d, "ann", "pop.x.org");
        d->ComAdd_Click();
        Type(d, "Zo\xc3\xab", "pop.z.org");
        d->ComAdd_Click();
        d->ComDone_Click();
    });
    EXPECT_FALSE(ownerEnabledMeanwhile);
    EXPECT_TRUE(OwnerEnabler::IsEnabled(&m));
    EXPECT_EQ(ComboItems(m.CboUserName), QStringList({"ann", QString::fromUtf8("Zo\xc3\xab")}));
    EXPECT_EQ(m.CboUserName->currentIndex(), 0);
    EXPECT_EQ(Captions(), CaptionsFor("ann", "pop.x.org"));
    EXPECT_TRUE(m.ComMailGet->isEnabled());
    // The account file holds the name's UTF-8 bytes.
    EXPECT_TRUE(TestHarness::ReadFile(MailboxFile::Path()).contains("\r\nZo\xc3\xab|"));
    m.close();
    w.reset();

    FrmMain& next = Load({});
    EXPECT_EQ(ComboItems(next.CboUserName).size(), 2);
    EXPECT_EQ(next.CboUserName->currentIndex(), 0);
    EXPECT_EQ(Captions(), CaptionsFor("ann", "pop.x.org"));
    EXPECT_TRUE(next.ComMailGet->isEnabled());
    ASSERT_EQ(Mailboxes->size(), 2u);
    EXPECT_EQ(modCrypto::DecryptPassword(Mailboxes->at(1)->POP3Password), QStringLiteral("pw"));
    EXPECT_EQ(Mailboxes->at(1)->POP3Port, 110);
    EXPECT_EQ(Mailboxes->at(1)->POP3TimeOut, 30);
}

TEST_F(Accounts, TheSameAccountIsChosenAgain) {
    struct Case {
        const char* name;
        int chosen;  // combo entry before
        std::function<void(FrmMailbox*)> work;
        QStringList combo;
        int after;
    };
    const Case cases[] = {
        {"closed without saving", 1, [](FrmMailbox* d) { d->close(); }, {"ann", "bob", "cid"}, 1},
        {"moved by a sort",
         0,
         [](FrmMailbox* d) {
             d->LstMailbox_ColumnClick(1);
             d->LstMailbox_ColumnClick(1);  // descending
             d->ComDone_Click();
         },
         {"cid", "bob", "ann"},
         2},
        {"deleted: the first",
         1,
         [](FrmMailbox* d) {
             Choose(d, 1);
             AnswerMessages({MsgBoxButton::Yes});
             d->ComDelete_Click();
             d->ComDone_Click();
         },
         {"ann", "cid"},
         0},
        {"its server changed: the first",
         2,
         [](FrmMailbox* d) {
             Choose(d, 2);
             d->TxtPassword->setText(QStringLiteral("pw"));
             d->TxtPop3Name->setText(QStringLiteral("pop.other.org"));
             d->ComUpdate_Click();
             d->ComDone_Click();
         },
         {"ann", "bob", "cid"},
         0},
        {"a later copy takes the choice",
         0,
         [](FrmMailbox* d) {
             Type(d, "ann", "pop.x.org");
             d->ComAdd_Click();
             d->ComDone_Click();
         },
         {"ann", "bob", "cid", "ann"},
         3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FrmMain& m = Load({"ann|pop.x.org|110|30", "bob|pop.y.org|110|30", "cid|pop.z.org|110|30"});
        m.CboUserName->setCurrentIndex(c.chosen);
        Manage(c.work);
        EXPECT_EQ(ComboItems(m.CboUserName), c.combo);
        EXPECT_EQ(m.CboUserName->currentIndex(), c.after);
        const clsPOP3Mailbox& a = *Mailboxes->at(static_cast<size_t>(c.after));
        EXPECT_EQ(Captions(), CaptionsFor(a.POP3User.toUtf8().constData(), a.POP3Server.toUtf8().constData()));
        EXPECT_TRUE(m.ComMailGet->isEnabled());
        EXPECT_TRUE(m.TxtErrors->Text().isEmpty()) << m.TxtErrors->Text().toStdString();
        m.close();
        w.reset();
    }
}

TEST_F(Accounts, RemovingEveryAccountLeavesNoChoice) {
    FrmMain& m = Load({"ann|pop.x.org|110|30"});
    const bool deleteEnabled = m.ComMailDel->isEnabled();
    Manage([](FrmMailbox* d) {
        Choose(d, 0);
        AnswerMessages({MsgBoxButton::Yes});
        d->ComDelete_Click();
        d->ComDone_Click();
    });
    EXPECT_EQ(m.CboUserName->count(), 0);
    EXPECT_EQ(m.CboUserName->currentIndex(), -1);
    EXPECT_FALSE(m.ComMailGet->isEnabled());
    EXPECT_EQ(m.ComMailDel->isEnabled(), deleteEnabled);
    EXPECT_EQ(Captions(), CaptionsFor("ann", "pop.x.org"));
    EXPECT_TRUE(Mailboxes->empty());
    EXPECT_TRUE(QFile::exists(MailboxFile::Path()));
    EXPECT_EQ(TestHarness::ReadFile(MailboxFile::Path()), QByteArray());
}

}  // namespace
