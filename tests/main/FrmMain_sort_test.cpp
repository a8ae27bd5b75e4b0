// Sorting the two lists through the engine, the reference views by their
// headers, and the two warnings before long work.
#include <memory>

#include <QFile>
#include <QHeaderView>
#include <QScrollBar>
#include <QTest>

#include "FrmMain.h"
#include "ListIcons.h"
#include "ListsCol.h"
#include "MainFixture.h"
#include "OrmidYRB100.h"
#include "OwnerEnabler.h"
#include "ReportListView.h"
#include "RichTextBox.h"
#include "Screen.h"
#include "ServiceObjects.h"
#include "TestHarness.h"
#include "WorkspaceFixture.h"
#include "clsInterrupt.h"
#include "clsMonitor.h"
#include "modCallBack.h"
#include "clsVL2.h"

namespace {

// Four entries whose orders differ by address, user and domain; each flag
// is carried by exactly one of them.
constexpr const char* kAddresses[] = {"a.b@mid.com", "a@zed.com", "c@abc.com", "d@new.org"};
struct Flagged {
    int32_t entry;
    int32_t flag;
};
constexpr Flagged kFlags[] = {{0, YRB_FLAG_INVALID},
                              {1, YRB_FLAG_DUPLICATE},
                              {2, YRB_FLAG_DELETED},
                              {3, YRB_FLAG_IN_BOTH},
                              {1, YRB_FLAG_SELECTED}};

class Sorting : public WorkspaceTest {
protected:
    // Loads the four entries with their flags into the slot's list.
    void LoadFlagged(int32_t slot) {
        QByteArray bytes;
        for (const char* a : kAddresses) bytes += QByteArray(a) + "\r\n";
        Load(slot, bytes, 4);
        for (const Flagged& f : kFlags) ASSERT_EQ(YRB03(slot, f.entry, f.flag, 1), 0);
    }
    void ExpectClosed() const {
        EXPECT_TRUE(OwnerEnabler::IsEnabled(w.get()));
        EXPECT_EQ(Screen::Instance()->MousePointer(), Screen::kDefaultPointer);
        EXPECT_EQ(MonitorObj()->MFrm, nullptr);
    }
};

constexpr int U = ListIcons::kUnsorted;
constexpr int A = ListIcons::kAscending;
constexpr int D = ListIcons::kDescending;
constexpr int N = -1;  // no image

// Every key and order: the engine's order, the progress text and the
// header images, starting from a pane whose domain column shows a direction.
TEST_F(Sorting, SortByOrdersTheListAndMarksItsColumn) {
    LoadFlagged(1);
    LoadFlagged(2);
    struct Case {
        int32_t key;
        int32_t order;
        const char* text;
        QList<int> headers;
        int32_t row;  // where the address below is found afterwards
        const char* address;
    } cases[] = {
        {YRB_SORT_ADDRESS, 0, "Now Sorting by Email Address", {U, U, U, N, N, N, N}, 0, "a.b@mid.com"},
        {YRB_SORT_ADDRESS, 1, "Now Sorting by Email Address", {U, U, U, N, N, N, N}, 0, "d@new.org"},
        {YRB_SORT_USER, 0, "Now Sorting by User", {U, A, U, N, N, N, N}, 0, "a@zed.com"},
        {YRB_SORT_USER, 1, "Now Sorting by User", {U, D, U, N, N, N, N}, 0, "d@new.org"},
        {YRB_SORT_DOMAIN, 0, "Now Sorting by Domain", {U, U, A, N, N, N, N}, 0, "c@abc.com"},
        {YRB_SORT_DOMAIN, 1, "Now Sorting by Domain", {U, U, D, N, N, N, N}, 0, "a@zed.com"},
        {YRB_SORT_INVALID, 0, "Now Sorting by Invalid", {U, U, U, N, N, N, N}, 3, "a.b@mid.com"},
        {YRB_SORT_INVALID, 1, "Now Sorting by Invalid", {U, U, U, N, N, N, N}, 0, "a.b@mid.com"},
        {YRB_SORT_DUPLICATE, 1, "Now Sorting by Duplicate", {U, U, U, N, N, N, N}, 0, "a@zed.com"},
        {YRB_SORT_DELETED, 0, "Now Sorting by Deleted", {U, U, U, N, N, N, N}, 3, "c@abc.com"},
        {YRB_SORT_COMPARE, 1, "Now Sorting by comparison result", {U, U, U, N, N, N, N}, 0, "d@new.org"},
        {YRB_SORT_SELECTED, 0, "Now Sorting by selected Email Addresses", {A, U, U, N, N, N, N}, 3, "a@zed.com"},
        {YRB_SORT_SELECTED, 1, "Now Sorting by selected Email Addresses", {D, U, U, N, N, N, N}, 0, "a@zed.com"},
    };
    for (const Case& c : cases) {
        for (int32_t slot : {1, 2}) {
            SCOPED_TRACE(testing::Message() << "key " << c.key << " order " << c.order << " slot " << slot);
            w->SortBy(Pane(slot), YRB_SORT_DOMAIN, 1);
            w->SortBy(Pane(slot), c.key, c.order);
            EXPECT_EQ(Headers(slot), c.headers);
            EXPECT_EQ(Address(slot, c.row), c.address);
            EXPECT_EQ(MonitorObj()->Caption, "Now sorting");
            EXPECT_EQ(MonitorObj()->message, c.text);
            ExpectClosed();
        }
    }
    EXPECT_EQ(w->TxtErrors->Text(), QString());
}

TEST_F(Sorting, SortByScrollsToTheFirstRow) {
    QByteArray bytes;
    for (int i = 0; i < 400; ++i) bytes += QByteArray::number(400 - i) + "@x.com\r\n";
    Load(1, bytes, 400);
    w->VL_left->SetVisible(399);
    QScrollBar* bar = w->VL_left->ListWindow()->verticalScrollBar();
    ASSERT_GT(bar->value(), 0);
    w->SortBy(w->VL_left.get(), YRB_SORT_ADDRESS, 0);
    EXPECT_EQ(bar->value(), 0);
}

// What the window looked like while the engine sorted: seen from the
// information the engine sends as it starts.
struct DuringSort {
    static inline QWidget* window = nullptr;
    static inline QStringList texts;
    static inline bool enabled = true;
    static inline int pointer = Screen::kDefaultPointer;
    static int32_t Information(const char* text) {
        texts.append(QString::fromLatin1(text));
        enabled = OwnerEnabler::IsEnabled(window);
        pointer = Screen::Instance()->MousePointer();
        return 0;
    }
};

TEST_F(Sorting, WindowIsBusyWhileTheEngineSorts) {
    LoadFlagged(1);
    YRB_CallbackTable table = modCallBack::EngineCallbackTable;
    table.information = &DuringSort::Information;
    YRB07(&table);
    DuringSort::window = w.get();
    w->SortBy(w->VL_left.get(), YRB_SORT_USER, 0);
    YRB07(&modCallBack::EngineCallbackTable);
    EXPECT_EQ(DuringSort::texts, QStringList({"Sorting entries alphabetically by user"}));
    EXPECT_FALSE(DuringSort::enabled);
    EXPECT_EQ(DuringSort::pointer, Screen::kHourglassPointer);
    ExpectClosed();
}

// Cancel taken by the engine's interrupt check: the sort stops, SortBy
// reports nothing of its own and still closes its progress.
TEST_F(Sorting, StoppedSortClosesQuietly) {
    QByteArray bytes;
    for (int i = 0; i < 20000; ++i) bytes += "u@d" + QByteArray::number(20000 - i) + ".com\r\n";
    Load(1, bytes, 20000);
    InterruptObj()->ISet(QStringLiteral("Operator"));
    w->SortBy(w->VL_left.get(), YRB_SORT_DOMAIN, 0);
    EXPECT_FALSE(InterruptObj()->Active);
    EXPECT_FALSE(w->TxtErrors->Text().contains(QStringLiteral("Routine : SortBy")));
    EXPECT_EQ(Headers(1), QList<int>({U, U, A, N, N, N, N}));
    ExpectClosed();
}

// No list in the slot, or no pane: nothing changes and nothing is armed,
// and the window is left usable.
TEST_F(Sorting, SortByWithoutAListChangesNothing) {
    w->VL_left->SetHeaderIcon(1, D);
    const QList<int> before = Headers(1);
    struct Case {
        const char* what;
        ListPane* pane;
    } cases[] = {{"empty slot", w->VL_left.get()}, {"no pane", nullptr}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        OwnerEnabler::SetEnabled(w.get(), false);
        Screen::Instance()->SetMousePointer(Screen::kHourglassPointer);
        w->SortBy(c.pane, YRB_SORT_USER, 0);
        EXPECT_EQ(Headers(1), before);
        EXPECT_EQ(MonitorObj()->Caption, QString());
        ExpectClosed();
    }
    EXPECT_EQ(w->TxtErrors->Text(), QString());
}

TEST_F(Sorting, MenuItemsSortThisList) {
    LoadFlagged(2);
    ThisList = w->VL_right;
    struct Case {
        void (FrmMain::*handler)();
        QList<int> headers;
        int32_t row;
        const char* address;
    } cases[] = {
        {&FrmMain::M_Popup1SortEmailAsc_Click, {U, U, U, N, N, N, N}, 0, "a.b@mid.com"},
        {&FrmMain::M_Popup1SortEmailDes_Click, {U, U, U, N, N, N, N}, 0, "d@new.org"},
        {&FrmMain::M_Popup1SortDomainAsc_Click, {U, U, A, N, N, N, N}, 0, "c@abc.com"},
        {&FrmMain::M_Popup1SortDomainDes_Click, {U, U, D, N, N, N, N}, 0, "a@zed.com"},
        {&FrmMain::M_Popup1SortUserAsc_Click, {U, A, U, N, N, N, N}, 0, "a@zed.com"},
        {&FrmMain::M_Popup1SortUserDes_Click, {U, D, U, N, N, N, N}, 0, "d@new.org"},
        {&FrmMain::M_Popup1SortFlagInvAsc_Click, {U, U, U, N, N, N, N}, 3, "a.b@mid.com"},
        {&FrmMain::M_Popup1SortFlagInvDes_Click, {U, U, U, N, N, N, N}, 0, "a.b@mid.com"},
        {&FrmMain::M_Popup1SortFlagDupAsc_Click, {U, U, U, N, N, N, N}, 3, "a@zed.com"},
        {&FrmMain::M_Popup1SortFlagDupDes_Click, {U, U, U, N, N, N, N}, 0, "a@zed.com"},
        {&FrmMain::M_Popup1SortFlagDelAsc_Click, {U, U, U, N, N, N, N}, 3, "c@abc.com"},
        {&FrmMain::M_Popup1SortFlagDelDes_Click, {U, U, U, N, N, N, N}, 0, "c@abc.com"},
        {&FrmMain::M_Popup1SortFlagComAsc_Click, {U, U, U, N, N, N, N}, 3, "d@new.org"},
        {&FrmMain::M_Popup1SortFlagComDes_Click, {U, U, U, N, N, N, N}, 0, "d@new.org"},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "menu item " << n++);
        // From a direction on the user column, so that every item shows its own.
        w->SortBy(w->VL_right.get(), YRB_SORT_USER, 1);
        (w.get()->*c.handler)();
        EXPECT_EQ(Headers(2), c.headers);
        EXPECT_EQ(Address(2, c.row), c.address);
        ExpectClosed();
    }
    EXPECT_EQ(ThisList, w->VL_right);
    EXPECT_EQ(w->TxtErrors->Text(), QString());
}

// The menu only sorts engine lists: another pane is reported under the
// item's name and no list is touched; no pane at all sorts nothing quietly.
TEST_F(Sorting, MenuItemOnAnotherPaneIsReported) {
    LoadFlagged(1);
    w->SortBy(w->VL_left.get(), YRB_SORT_ADDRESS, 1);
    ThisList = ListsCol[MergeList];
    w->M_Popup1SortEmailAsc_Click();
    EXPECT_TRUE(w->TxtErrors->Text().contains(
        QStringLiteral("\t Module  : FrmMain\r\n\t Routine : M_Popup1SortEmailAsc_Click\r\n")));
    EXPECT_EQ(Address(1, 0), "d@new.org");
    ThisList.reset();
    w->TxtErrors->SetText(QString());
    w->M_Popup1SortEmailAsc_Click();
    EXPECT_EQ(Address(1, 0), "d@new.org");
    EXPECT_EQ(w->TxtErrors->Text(), QString());
    ExpectClosed();
}

// The reference views: a new column sorts ascending under image 2, a
// repeated one reverses under image 3, the others show the flat bar 1.
// Each view keeps its own last column.
TEST_F(Sorting, ReferenceViewsSortByTheClickedHeader) {
    w->SSTab->setCurrentIndex(2);  // the headers are clicked where they show
    struct Click {
        ReportListView* view;
        int position;
        QStringList rows;
        QList<int> icons;
    };
    ReportListView* country = w->LstDNCountry;
    ReportListView* generic = w->LstDNGeneric;
    const Click clicks[] = {
        {country, 2, {"fr|France", "de|Germany"}, {1, 2}},
        {country, 2, {"de|Germany", "fr|France"}, {1, 3}},
        {country, 2, {"fr|France", "de|Germany"}, {1, 2}},
        {country, 1, {"de|Germany", "fr|France"}, {2, 1}},
        {generic, 1, {"biz|generic", "com|generic", "org|generic"}, {2, 1}},
        {country, 1, {"fr|France", "de|Germany"}, {3, 1}},
        {generic, 1, {"org|generic", "com|generic", "biz|generic"}, {3, 1}},
    };
    int n = 0;
    for (const Click& c : clicks) {
        SCOPED_TRACE(testing::Message() << "click " << n++);
        QHeaderView* header = c.view->header();
        const QPoint at(header->sectionViewportPosition(c.position - 1) + header->sectionSize(c.position - 1) / 2, header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
        EXPECT_EQ(MainFixture::Rows(c.view), c.rows);
        QList<int> icons;
        for (int col = 0; col < c.view->ColumnCount(); ++col) icons.append(c.view->ColumnIcon(col));
        EXPECT_EQ(icons, c.icons);
    }
    EXPECT_EQ(w->TxtErrors->Text(), QString());
}

// Each view's click through its own handler, for the two views above not
// clicked there.
TEST_F(Sorting, ReferenceViewHandlersSortTheirOwnView) {
    struct Case {
        void (FrmMain::*handler)(int);
        ReportListView* view;
    } cases[] = {{&FrmMain::LstDNKeyword_ColumnClick, w->LstDNKeyword},
                 {&FrmMain::LstDNUser_ColumnClick, w->LstDNUser}};
    for (const Case& c : cases) {
        (w.get()->*c.handler)(2);
        EXPECT_EQ(c.view->ColumnIcon(0), 1);
        EXPECT_EQ(c.view->ColumnIcon(1), 2);
        (w.get()->*c.handler)(2);
        EXPECT_EQ(c.view->ColumnIcon(1), 3);
        EXPECT_EQ(c.view->SortOrder(), 1);
    }
}

// The two warnings: the answer and its option, and whether a later call
// asks again.
TEST_F(Sorting, WarningsFollowTheAnswerAndItsOption) {
    constexpr int Yes = MsgBoxButton::Yes;
    constexpr int No = MsgBoxButton::No;
    constexpr int Opt = MsgBoxButton::Option;
    struct Case {
        const char* what;
        int answer;
        bool declined;
        bool asksAgain;
    } cases[] = {
        {"yes", Yes, false, true},
        {"no", No, true, true},
        {"yes, do not warn", Yes | Opt, false, false},
        {"no, do not warn", No | Opt, true, false},
        {"no answer", -1, false, true},
    };
    struct Warning {
        bool (FrmMain::*ask)();
        const char* title;
        const char* firstLine;
    } warnings[] = {
        {&FrmMain::SortWarning, "Sort Option Selected", "You have chosen to sort Email addresses.\r\n\r\n"},
        {&FrmMain::DuplicateWarning, "Duplicate Removal Option Selected",
         "You have chosen to remove duplicate Email addresses.\r\n\r\n"},
    };
    for (const Warning& warning : warnings) {
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << warning.title << ": " << c.what);
            FrmMain form;
            TestHarness::AnswerMessages({c.answer});
            const qsizetype asked = TestHarness::AskedMessages().size();
            EXPECT_EQ((form.*warning.ask)(), c.declined);
            ASSERT_EQ(TestHarness::AskedMessages().size(), asked + 1);
            const MsgBoxRequest& r = TestHarness::AskedMessages().last();
            EXPECT_EQ(r.Title, warning.title);
            EXPECT_TRUE(r.message.startsWith(warning.firstLine));
            EXPECT_TRUE(r.message.endsWith("Do you want to proceed with this\r\noption ?"));
            EXPECT_EQ(r.IconNb, MsgBoxIcon::Info);
            EXPECT_EQ(r.Focus, MsgBoxButton::Yes);
            EXPECT_TRUE(r.ShowYes && r.ShowNo);
            EXPECT_FALSE(r.ShowOk || r.ShowCancel || r.ShowYesAll || r.ShowNoAll);
            EXPECT_EQ(r.Choice, "Do not warn me next time");
            EXPECT_EQ(r.CForm, &form);
            EXPECT_EQ(r.OForm, &form);
            if (c.asksAgain) {
                TestHarness::AnswerMessages({Yes});
                EXPECT_FALSE((form.*warning.ask)());
                EXPECT_EQ(TestHarness::AskedMessages().size(), asked + 2);
            } else {
                EXPECT_FALSE((form.*warning.ask)());
                EXPECT_EQ(TestHarness::AskedMessages().size(), asked + 1);
            }
        }
    }
}

// Switching one warning off leaves the other on.
TEST_F(Sorting, WarningsHaveTheirOwnSwitch) {
    TestHarness::AnswerMessages({MsgBoxButton::Yes | MsgBoxButton::Option, MsgBoxButton::No});
    EXPECT_FALSE(w->SortWarning());
    EXPECT_TRUE(w->DuplicateWarning());
    EXPECT_EQ(TestHarness::AskedMessages().size(), 2);
    EXPECT_FALSE(w->SortWarning());
    EXPECT_EQ(TestHarness::AskedMessages().size(), 2);
}

}  // namespace
