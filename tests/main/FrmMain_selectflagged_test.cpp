// "Select ..." Duplicate and Invalid on the two lists, and Remove Selection
// on the pane in ThisList.
#include <QCheckBox>
#include <QLabel>

#include "OwnerEnabler.h"
#include "ReportListView.h"
#include "RichTextBox.h"
#include "Screen.h"
#include "WorkspaceFixture.h"
#include "clsMonitor.h"

namespace {

constexpr int32_t kAll = -1;

// What the window showed when the engine first said what it was doing.
class WindowAtInformation {
public:
    explicit WindowAtInformation(FrmMain* form) : m_saved(modCallBack::EngineCallbackTable) {
        s_form = form;
        s_seen = false;
        modCallBack::EngineCallbackTable.information = &Information;
        YRB07(&modCallBack::EngineCallbackTable);
    }
    ~WindowAtInformation() {
        s_form = nullptr;
        modCallBack::EngineCallbackTable = m_saved;
        YRB07(&modCallBack::EngineCallbackTable);
    }
    WindowAtInformation(const WindowAtInformation&) = delete;
    WindowAtInformation& operator=(const WindowAtInformation&) = delete;
    static inline bool s_seen = false;
    static inline QString s_caption;
    static inline QString s_message;
    static inline bool s_enabled = true;
    static inline int s_pointer = Screen::kDefaultPointer;

private:
    static int32_t Information(const char*) {
        if (s_seen || s_form == nullptr) return 0;
        s_seen = true;
        s_caption = MonitorObj()->Caption;
        s_message = MonitorObj()->message;
        s_enabled = OwnerEnabler::IsEnabled(s_form);
        s_pointer = Screen::Instance()->MousePointer();
        return 0;
    }
    static inline FrmMain* s_form = nullptr;
    YRB_CallbackTable m_saved;
};

class SelectFlagged : public WorkspaceTest {
protected:
    void TearDown() override {
        w->SuppressMarkClicks = false;
        WorkspaceTest::TearDown();
    }
    static QList<int32_t> Flags(int32_t slot) {
        QList<int32_t> flags;
        for (int32_t e = 0; YRB17(slot, e, kAll) >= 0; ++e) flags.append(YRB17(slot, e, kAll));
        return flags;
    }
    QList<QString> Addresses(int32_t slot) const {
        QList<QString> addresses;
        for (int32_t e = 0; YRB17(slot, e, kAll) >= 0; ++e) addresses.append(Address(slot, e));
        return addresses;
    }
    // The addresses of the selected entries, in display order.
    QList<QString> Selected(int32_t slot) const {
        QList<QString> selected;
        for (int32_t e = 0; YRB17(slot, e, kAll) >= 0; ++e)
            if (YRB17(slot, e, YRB_FLAG_SELECTED) != 0) selected.append(Address(slot, e));
        return selected;
    }
    QString Console() const { return w->TxtErrors->Text(); }
    static int Label(QLabel* label) { return label->text().section(' ', 0, 0).toInt(); }
    void ExpectClosed() const {
        EXPECT_TRUE(OwnerEnabler::IsEnabled(w.get()));
        EXPECT_EQ(Screen::Instance()->MousePointer(), Screen::kDefaultPointer);
        EXPECT_EQ(MonitorObj()->MFrm, nullptr);
    }
};

struct Selection {
    const char* what;
    void (FrmMain::*handler)();
    const char* caption;
    const char* message;
    QByteArray list;
    int32_t entries;
    QList<QString> order;  // the display order afterwards
    QList<int32_t> flags;  // in that order
};

// Each command on either list replaces the previous selection; it flags
// nothing else, writes no report, leaves the flag boxes as they are and asks
// nothing.  Duplicates leave the list in address order, invalids keep it.
TEST_F(SelectFlagged, SelectionTable) {
    constexpr int32_t S = YRB_FLAG_SELECTED;
    const Selection cases[] = {
        {"three equal addresses", &FrmMain::M_Popup1Duplicate_Click, "Select Duplicates",
         "Now selecting duplicate entries", "b@x.com\r\na@x.com\r\na@x.com\r\nc@x.com\r\na@x.com\r\n", 5,
         {"a@x.com", "a@x.com", "a@x.com", "b@x.com", "c@x.com"}, {0, S, S, 0, 0}},
        {"no duplicates", &FrmMain::M_Popup1Duplicate_Click, "Select Duplicates", "Now selecting duplicate entries",
         "c@x.com\r\nb@x.com\r\n", 2, {"b@x.com", "c@x.com"}, {0, 0}},
        {"one invalid", &FrmMain::M_Popup1Invalid_Click, "Select Invalid", "Now selecting invalid entries",
         "c@x.com\r\nbad\r\na@x.com\r\n", 3, {"c@x.com", "bad", "a@x.com"}, {0, S, 0}},
        {"every entry valid", &FrmMain::M_Popup1Invalid_Click, "Select Invalid", "Now selecting invalid entries",
         "c@x.com\r\na@x.com\r\n", 2, {"c@x.com", "a@x.com"}, {0, 0}},
    };
    for (const Selection& c : cases) {
        for (int32_t slot : {1, 2}) {
            SCOPED_TRACE(testing::Message() << c.what << " on side " << slot);
            Load(slot, c.list, c.entries);
            const FrmMain::WorkspaceSide side = w->Side(slot);
            side.listDesc->NameDup = TestHarness::Folder() + "/list.dup";
            side.listDesc->NameInv = TestHarness::Folder() + "/list.inv";
            // c@x.com selected before; one box ticked, which must stay so.
            for (int32_t e = 0; e < c.entries; ++e) {
                if (Address(slot, e) == "c@x.com") {
                    ASSERT_EQ(YRB03(slot, e, YRB_FLAG_SELECTED, 1), 0);
                }
            }
            w->SuppressMarkClicks = true;
            side.markDel->setChecked(true);
            w->SuppressMarkClicks = false;
            const qsizetype asked = TestHarness::AskedMessages().size();
            ThisList = side.pane;
            const WindowAtInformation window(w.get());
            (w.get()->*c.handler)();

            EXPECT_EQ(Addresses(slot), c.order);
            EXPECT_EQ(Flags(slot), c.flags);
            EXPECT_EQ(Label(slot == 1 ? w->LabSelLeft : w->LabSelRight), c.flags.count(S));
            EXPECT_FALSE(QFile::exists(side.listDesc->NameDup));
            EXPECT_FALSE(QFile::exists(side.listDesc->NameInv));
            EXPECT_FALSE(side.markInv->isChecked());
            EXPECT_FALSE(side.markDup->isChecked());
            EXPECT_TRUE(side.markDel->isChecked());
            EXPECT_EQ(TestHarness::AskedMessages().size(), asked);
            EXPECT_TRUE(WindowAtInformation::s_seen);
            EXPECT_EQ(WindowAtInformation::s_caption, c.caption);
            EXPECT_EQ(WindowAtInformation::s_message, c.message);
            EXPECT_FALSE(WindowAtInformation::s_enabled);
            EXPECT_EQ(WindowAtInformation::s_pointer, Screen::kHourglassPointer);
            ExpectClosed();
            EXPECT_EQ(Console(), QString());
            w->SuppressMarkClicks = true;
            side.markDel->setChecked(false);
            w->SuppressMarkClicks = false;
            YRB20(slot);
            Pane(slot)->SetCount(0);
        }
    }
}

// Flagged entries take part and can end selected, but the selection count
// leaves them out.
TEST_F(SelectFlagged, FlaggedEntriesTakePartUncounted) {
    Load(1, "a@x.com\r\na@x.com\r\nb@x.com\r\nb@x.com\r\n", 4);
    ASSERT_EQ(YRB10(1, kAll, YRB_MODE_SET, YRB_FLAG_DELETED, 0, 0, nullptr), 4);
    ASSERT_EQ(YRB03(1, 0, YRB_FLAG_DELETED, 0), 0);
    ASSERT_EQ(YRB03(1, 1, YRB_FLAG_DELETED, 0), 0);
    ThisList = w->VL_left;
    w->M_Popup1Duplicate_Click();
    EXPECT_EQ(Selected(1), (QList<QString>{"a@x.com", "b@x.com"}));
    EXPECT_EQ(Label(w->LabSelLeft), 1);
}

TEST_F(SelectFlagged, WithoutAnEngineList) {
    struct Case {
        ListPaneRef pane;
        const char* report;
    } cases[] = {{nullptr, "Message : List Object not Set"},
                 {w->VL_file, "'Merge List' is not a list held by the engine"}};
    w->VL_file->SetCount(2);
    w->VL_file->SelectAll();
    for (const Case& c : cases) {
        for (auto handler : {&FrmMain::M_Popup1Duplicate_Click, &FrmMain::M_Popup1Invalid_Click}) {
            w->TxtErrors->SetText(QString());
            ThisList = c.pane;
            (w.get()->*handler)();
            EXPECT_TRUE(Console().contains(c.report)) << Console().toStdString();
            ExpectClosed();
        }
    }
    EXPECT_EQ(w->VL_file->GetSel(), 2);
}

// ---- Remove Selection ----

// Of "a b c d": a and b selected, b already deleted by hand.  Only a pressed
// Yes flags the selected entries deleted; every row stays in the pane.
TEST_F(SelectFlagged, RemoveAnswers) {
    struct Case {
        const char* what;
        int answer;
        bool removed;
    } cases[] = {
        {"Yes", MsgBoxButton::Yes, true},
        {"No", MsgBoxButton::No, false},
        {"closed without a button", 0, false},
        {"closed by itself", -1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Load(2, "a@x.com\r\nb@x.com\r\nc@x.com\r\nd@x.com\r\n", 4);
        ASSERT_EQ(YRB03(2, 0, YRB_FLAG_SELECTED, 1), 0);
        ASSERT_EQ(YRB03(2, 1, YRB_FLAG_SELECTED | YRB_FLAG_DELETED, 1), 0);
        Pane(2)->SetAll();
        const QList<int32_t> before = Flags(2);
        const qsizetype asked = TestHarness::AskedMessages().size();
        ThisList = w->VL_right;
        TestHarness::AnswerMessages({c.answer});
        w->M_Popup1Remove_Click();

        ASSERT_EQ(TestHarness::AskedMessages().size(), asked + 1);
        const MsgBoxRequest& q = TestHarness::AskedMessages().last();
        EXPECT_EQ(q.message, QStringLiteral("Are you sure you want to remove the selected Item(s) from the list ?"));
        EXPECT_EQ(q.Title, QStringLiteral("Remove Selected Items ?"));
        EXPECT_EQ(q.IconNb, MsgBoxIcon::Question);
        EXPECT_EQ(q.Focus, MsgBoxButton::No);
        EXPECT_TRUE(q.ShowYes && q.ShowNo);
        EXPECT_FALSE(q.ShowOk || q.ShowCancel || q.ShowYesAll || q.ShowNoAll);
        EXPECT_EQ(q.CForm, w.get());
        EXPECT_EQ(q.OForm, nullptr);

        const QList<int32_t> removed = {YRB_FLAG_SELECTED | YRB_FLAG_DELETED, YRB_FLAG_SELECTED | YRB_FLAG_DELETED,
                                        0, 0};
        EXPECT_EQ(Flags(2), c.removed ? removed : before);
        // The count drops by the selected entries not yet flagged.
        EXPECT_EQ(Label(w->LabCntRight), c.removed ? 2 : 3);
        EXPECT_EQ(Pane(2)->ListWindow()->ItemCount(), 4);
        ExpectClosed();
        EXPECT_EQ(Console(), QString());
        YRB20(2);
        Pane(2)->SetCount(0);
    }
}

// Nothing counted: no question, nothing changes.  No pane: reported.
TEST_F(SelectFlagged, RemoveWithNothingToAsk) {
    Load(1, "a@x.com\r\n", 1);
    ASSERT_EQ(YRB03(1, 0, YRB_FLAG_SELECTED | YRB_FLAG_INVALID, 1), 0);
    const qsizetype asked = TestHarness::AskedMessages().size();
    for (const ListPaneRef& pane : {ListPaneRef(w->VL_left), ListPaneRef(w->VL_right)}) {
        ThisList = pane;
        w->M_Popup1Remove_Click();
        ExpectClosed();
    }
    EXPECT_EQ(YRB17(1, 0, kAll), YRB_FLAG_SELECTED | YRB_FLAG_INVALID);
    EXPECT_EQ(Console(), QString());
    ThisList.reset();
    w->M_Popup1Remove_Click();
    EXPECT_TRUE(Console().contains("Message : List Object not Set")) << Console().toStdString();
    EXPECT_TRUE(Console().contains("Routine : M_Popup1Remove_Click"));
    EXPECT_EQ(TestHarness::AskedMessages().size(), asked);
    ExpectClosed();
}

// A simple list pane takes its ticked rows out; the file pane cannot
// remove and says so, keeping its rows.
TEST_F(SelectFlagged, RemoveOnOtherPanes) {
    const ListPaneRef country = ListsCol[DomainsCountry];
    ASSERT_NE(country, nullptr);
    ReportListView* view = w->LstDNCountry;
    const int rows = view->ItemCount();
    ASSERT_GE(rows, 2);
    view->SetChecked(0, true);
    view->SetChecked(1, true);
    ThisList = country;
    TestHarness::AnswerMessages({MsgBoxButton::Yes});
    w->M_Popup1Remove_Click();
    EXPECT_EQ(view->ItemCount(), rows - 2);
    EXPECT_EQ(Console(), QString());

    w->VL_file->SetCount(3);
    w->VL_file->SelectAll();
    ThisList = w->VL_file;
    TestHarness::AnswerMessages({MsgBoxButton::Yes});
    w->M_Popup1Remove_Click();
    EXPECT_EQ(w->VL_file->GetCnt(), 3);
    EXPECT_EQ(w->VL_file->GetSel(), 3);
    EXPECT_TRUE(Console().contains("'Merge List' cannot remove its selection")) << Console().toStdString();
    EXPECT_TRUE(Console().contains("Routine : M_Popup1Remove_Click"));
    ExpectClosed();
}

}  // namespace
