// The entry flag commands of the two lists: one entry flagged or un-flagged
// by hand, and "Un-Flag all entries" with the side's flag boxes.
#include <stdexcept>

#include <QCheckBox>
#include <QLabel>

#include "RichTextBox.h"
#include "Screen.h"
#include "WorkspaceFixture.h"

namespace {

using TestHarness::Folder;

constexpr int32_t kAll = -1;
constexpr int32_t kWorkMark = YRB_FLAG_WORK;

struct Command {
    const char* routine;
    void (FrmMain::*handler)();
    int32_t before;  // the entry's flags before the command
    int32_t after;
    bool hourglass;  // while the engine works
    const char* failure;
};
// Row 2 of a three-entry list is the entry acted on.
const Command kCommands[] = {
    {"M_Popup1MarkInv_Click", &FrmMain::M_Popup1MarkInv_Click, YRB_FLAG_SELECTED,
     YRB_FLAG_SELECTED | YRB_FLAG_INVALID, false, "The 'Invalid' flag could not be set for entry "},
    {"M_Popup1MarkDup_Click", &FrmMain::M_Popup1MarkDup_Click, YRB_FLAG_INVALID,
     YRB_FLAG_INVALID | YRB_FLAG_DUPLICATE, false, "The 'Duplicate' flag could not be set for entry "},
    {"M_Popup1MarkDel_Click", &FrmMain::M_Popup1MarkDel_Click, YRB_FLAG_SELECTED,
     YRB_FLAG_SELECTED | YRB_FLAG_DELETED, false, "The 'Deleted' flag could not be set for entry "},
    // Invalid, duplicate and present in both lists: every mark goes, the
    // selection and the work mark stay.
    {"M_Popup1UnMarkAll_Click", &FrmMain::M_Popup1UnMarkAll_Click,
     YRB_FLAG_SELECTED | YRB_FLAG_INVALID | YRB_FLAG_DUPLICATE | YRB_FLAG_IN_BOTH | YRB_FLAG_RESERVED | kWorkMark,
     YRB_FLAG_SELECTED | kWorkMark, true, "The flags could not be reset for entry "},
    {"M_Popup1UnMarkInv_Click", &FrmMain::M_Popup1UnMarkInv_Click,
     YRB_FLAG_INVALID | YRB_FLAG_DUPLICATE | YRB_FLAG_NOT_IN_OTHER, YRB_FLAG_DUPLICATE | YRB_FLAG_NOT_IN_OTHER,
     true, "The 'Invalid' flag could not be reset for entry "},
    {"M_Popup1UnMarkDup_Click", &FrmMain::M_Popup1UnMarkDup_Click, YRB_FLAG_SELECTED | YRB_FLAG_DUPLICATE,
     YRB_FLAG_SELECTED, true, "The 'Duplicate' flag could not be reset for entry "},
    {"M_Popup1UnMarkDel_Click", &FrmMain::M_Popup1UnMarkDel_Click,
     YRB_FLAG_SELECTED | YRB_FLAG_DELETED | YRB_FLAG_INVALID, YRB_FLAG_SELECTED | YRB_FLAG_INVALID, true,
     "The 'Deleted' flag could not be reset for entry "},
};

constexpr const char* kList = "c@x.com\r\na@x.com\r\nb@x.com\r\n";
constexpr int32_t kEntries = 3;
constexpr int32_t kRow = 2;
// The other two entries, before and after every per-entry command.
constexpr int32_t kOthers[] = {YRB_FLAG_SELECTED | YRB_FLAG_INVALID, YRB_FLAG_DUPLICATE};

// The screen's pointer when the engine says what it is doing.
class PointerAtInformation {
public:
    PointerAtInformation() : m_saved(modCallBack::EngineCallbackTable) {
        s_seen = false;
        modCallBack::EngineCallbackTable.information = &Information;
        YRB07(&modCallBack::EngineCallbackTable);
    }
    ~PointerAtInformation() {
        modCallBack::EngineCallbackTable = m_saved;
        YRB07(&modCallBack::EngineCallbackTable);
    }
    PointerAtInformation(const PointerAtInformation&) = delete;
    PointerAtInformation& operator=(const PointerAtInformation&) = delete;
    static bool Seen() { return s_seen; }
    static int Pointer() { return s_pointer; }

private:
    static int32_t Information(const char*) {
        s_seen = true;
        s_pointer = Screen::Instance()->MousePointer();
        return 0;
    }
    static inline bool s_seen = false;
    static inline int s_pointer = Screen::kDefaultPointer;
    YRB_CallbackTable m_saved;
};

class EntryFlags : public WorkspaceTest {
protected:
    void TearDown() override {
        w->SuppressMarkClicks = false;
        WorkspaceTest::TearDown();
    }
    void LoadWithFlags(int32_t slot, int32_t row, int32_t flags) {
        Load(slot, kList, kEntries);
        int32_t other = 0;
        for (int32_t e = 0; e < kEntries; ++e) ASSERT_EQ(YRB03(slot, e, e == row ? flags : kOthers[other++], 1), 0);
        Pane(slot)->SetAll();
    }
    static QList<int32_t> Flags(int32_t slot) {
        QList<int32_t> flags;
        for (int32_t e = 0; YRB17(slot, e, kAll) >= 0; ++e) flags.append(YRB17(slot, e, kAll));
        return flags;
    }
    QList<QString> Addresses(int32_t slot) const {
        QList<QString> addresses;
        for (int32_t e = 0; e < kEntries; ++e) addresses.append(Address(slot, e));
        return addresses;
    }
    QString Console() const { return w->TxtErrors->Text(); }
    int Label(QLabel* label) const { return label->text().section(' ', 0, 0).toInt(); }
    bool AnyBoxTicked() const {
        for (QCheckBox* box : {w->ChkMarkInvLeft, w->ChkMarkDupLeft, w->ChkMarkDelleft, w->ChkMarkInvRight,
                               w->ChkMarkDupRight, w->ChkMarkDelRight})
            if (box->isChecked()) return true;
        return false;
    }
};

// Each command on row 2 of either list: that entry changes as the table
// says, the others and the other list do not; the counts follow, no flag box
// moves, the pointer is back to the default.
TEST_F(EntryFlags, CommandTable) {
    for (const Command& c : kCommands) {
        for (int32_t slot : {1, 2}) {
            SCOPED_TRACE(testing::Message() << c.routine << " on side " << slot);
            const int32_t other = 3 - slot;
            LoadWithFlags(slot, kRow, c.before);
            LoadWithFlags(other, kRow, c.before);
            const QList<int32_t> otherBefore = Flags(other);
            ThisList = w->Side(slot).pane;
            Pane(slot)->Item = kRow;
            const PointerAtInformation pointer;
            (w.get()->*c.handler)();
            EXPECT_EQ(Flags(slot), (QList<int32_t>{kOthers[0], kOthers[1], c.after}));
            EXPECT_EQ(Flags(other), otherBefore);
            ASSERT_TRUE(PointerAtInformation::Seen()) << "the registered table was not passed";
            EXPECT_EQ(PointerAtInformation::Pointer(),
                      c.hourglass ? Screen::kHourglassPointer : Screen::kDefaultPointer);
            EXPECT_EQ(Screen::Instance()->MousePointer(), Screen::kDefaultPointer);
            EXPECT_EQ(Label(slot == 1 ? w->LabCntLeft : w->LabCntRight), Pane(slot)->GetCnt());
            EXPECT_EQ(Label(slot == 1 ? w->LabSelLeft : w->LabSelRight), Pane(slot)->GetSel());
            EXPECT_FALSE(AnyBoxTicked());
            EXPECT_EQ(Console(), QString());
            YRB20(1);
            YRB20(2);
        }
    }
}

// A selected entry flagged deleted leaves both counts, and comes back
// into them when un-flagged.
TEST_F(EntryFlags, DeletedLeavesAndReentersTheCounts) {
    Load(1, kList, kEntries);
    ASSERT_EQ(YRB10(1, kAll, YRB_MODE_SET, YRB_FLAG_SELECTED, 0, 0, nullptr), kEntries);
    Pane(1)->SetAll();
    ThisList = w->VL_left;
    w->VL_left->Item = 1;
    w->M_Popup1MarkDel_Click();
    EXPECT_EQ(Label(w->LabCntLeft), 2);
    EXPECT_EQ(Label(w->LabSelLeft), 2);
    EXPECT_NE(YRB17(1, 1, YRB_FLAG_SELECTED), 0);
    w->M_Popup1UnMarkDel_Click();
    EXPECT_EQ(Label(w->LabCntLeft), 3);
    EXPECT_EQ(Label(w->LabSelLeft), 3);
}

// On row 0 of a list that is not loaded: the engine's message first, then
// the command's failure text followed by 0.
TEST_F(EntryFlags, FailureReportsTheEntryIndex) {
    for (const Command& c : kCommands) {
        SCOPED_TRACE(c.routine);
        w->TxtErrors->SetText(QString());
        ThisList = w->VL_right;
        w->VL_right->Item = 0;
        (w.get()->*c.handler)();
        const QString console = Console();
        const qsizetype engine = console.indexOf(QStringLiteral("in List 2"));
        const qsizetype failure = console.indexOf(QStringLiteral("Message : ") + c.failure + QStringLiteral("0\r\n"));
        EXPECT_GE(engine, 0) << console.toStdString();
        EXPECT_GT(failure, engine) << console.toStdString();
        EXPECT_TRUE(console.contains(QStringLiteral("Routine : ") + c.routine));
        EXPECT_EQ(Screen::Instance()->MousePointer(), Screen::kDefaultPointer);
    }
}

// Off the rows (Item -1) nothing happens: the engine would take -1 as every
// entry.  Without an engine-bound pane the command is reported and nothing
// changes either.
TEST_F(EntryFlags, NoEntryOrNoListChangesNothing) {
    LoadWithFlags(1, kRow, YRB_FLAG_INVALID | YRB_FLAG_DUPLICATE | YRB_FLAG_DELETED);
    const QList<int32_t> before = Flags(1);
    struct Case {
        const char* what;
        ListPaneRef pane;
        const char* report;  // nullptr: nothing reported
    } cases[] = {
        {"off the rows", w->VL_left, nullptr},
        {"no pane", nullptr, "List Object not Set"},
        {"file pane", w->VL_file, "'Merge List' is not a list held by the engine"},
    };
    w->VL_left->Item = -1;
    w->VL_file->Item = 0;
    for (const Case& k : cases) {
        for (const Command& c : kCommands) {
            SCOPED_TRACE(testing::Message() << k.what << ", " << c.routine);
            w->TxtErrors->SetText(QString());
            ThisList = k.pane;
            (w.get()->*c.handler)();
            EXPECT_EQ(Flags(1), before);
            if (k.report == nullptr) {
                EXPECT_EQ(Console(), QString());
            } else {
                EXPECT_TRUE(Console().contains(k.report)) << Console().toStdString();
                EXPECT_TRUE(Console().contains(QStringLiteral("Routine : ") + c.routine));
            }
            EXPECT_EQ(Screen::Instance()->MousePointer(), Screen::kDefaultPointer);
        }
    }
}

// "Un-Flag all entries" with the three boxes ticked: every mark of the
// left list goes, its selection, work mark and order stay; the boxes are
// unticked without their work (reports kept, no sort, no message); the right
// list is untouched.
TEST_F(EntryFlags, UnFlagAllEntries) {
    Load(1, kList, kEntries);
    Load(2, "a@x.com\r\nz@x.com\r\n", 2);
    ASSERT_EQ(YRB24(0, YRB_FLAG_IN_BOTH, 0, 0, 0), 1);
    ASSERT_EQ(YRB10(1, kAll, YRB_MODE_SET, YRB_FLAG_NOT_IN_OTHER, 0, YRB_FLAG_IN_BOTH, nullptr), 2);
    ASSERT_EQ(YRB10(2, kAll, YRB_MODE_SET, YRB_FLAG_NOT_IN_OTHER, 0, YRB_FLAG_IN_BOTH, nullptr), 1);
    // Out of order by their flags, so that a sort would show.
    ASSERT_EQ(YRB03(1, 0, YRB_FLAG_SELECTED, 1), 0);
    ASSERT_EQ(YRB03(1, 1, YRB_FLAG_INVALID | YRB_FLAG_DELETED | kWorkMark, 1), 0);
    ASSERT_EQ(YRB03(1, 2, YRB_FLAG_SELECTED | YRB_FLAG_DUPLICATE | YRB_FLAG_RESERVED, 1), 0);
    ASSERT_EQ(YRB03(2, 1, YRB_FLAG_INVALID | YRB_FLAG_SELECTED, 1), 0);
    const QList<QString> order = Addresses(1);
    const QList<int32_t> right = Flags(2);
    w->LeftListDesc.NameInv = TestHarness::WriteFile("list1.inv", "Invalid Addresses\tReason\r\n");
    w->LeftListDesc.NameDup = TestHarness::WriteFile("list1.dup", "Email Address\tOccurrences\r\n");
    w->SuppressMarkClicks = true;
    for (QCheckBox* box : {w->ChkMarkInvLeft, w->ChkMarkDupLeft, w->ChkMarkDelleft, w->ChkMarkInvRight})
        box->setChecked(true);
    w->SuppressMarkClicks = false;
    const qsizetype asked = TestHarness::AskedMessages().size();

    ThisList = w->VL_left;
    w->VL_left->Item = -1;  // the command needs no row
    w->M_Popup1UnMarkFull_Click();

    EXPECT_EQ(Flags(1), (QList<int32_t>{YRB_FLAG_SELECTED, kWorkMark, YRB_FLAG_SELECTED}));
    EXPECT_EQ(Addresses(1), order);
    EXPECT_EQ(Flags(2), right);
    EXPECT_FALSE(w->ChkMarkInvLeft->isChecked());
    EXPECT_FALSE(w->ChkMarkDupLeft->isChecked());
    EXPECT_FALSE(w->ChkMarkDelleft->isChecked());
    EXPECT_TRUE(w->ChkMarkInvRight->isChecked());
    EXPECT_TRUE(QFile::exists(w->LeftListDesc.NameInv));
    EXPECT_TRUE(QFile::exists(w->LeftListDesc.NameDup));
    EXPECT_EQ(TestHarness::AskedMessages().size(), asked);
    EXPECT_FALSE(w->SuppressMarkClicks);
    EXPECT_EQ(Label(w->LabCntLeft), 3);
    EXPECT_EQ(Label(w->LabSelLeft), 2);
    EXPECT_EQ(Console(), QString());
    EXPECT_EQ(Screen::Instance()->MousePointer(), Screen::kDefaultPointer);
}

TEST_F(EntryFlags, UnFlagAllWithoutAnEngineListIsReported) {
    for (const ListPaneRef& pane : {ListPaneRef(), ListPaneRef(w->VL_mail)}) {
        w->TxtErrors->SetText(QString());
        ThisList = pane;
        w->M_Popup1UnMarkFull_Click();
        EXPECT_TRUE(Console().contains("Routine : M_Popup1UnMarkFull_Click")) << Console().toStdString();
        EXPECT_FALSE(w->SuppressMarkClicks);
    }
}

// A failure while the boxes are being unticked still leaves them listening:
// the next tick by the user runs its work.
TEST_F(EntryFlags, FailureWhileUntickingKeepsTheBoxesListening) {
    Load(1, kList, kEntries);
    w->LeftListDesc.NameInv = Folder() + "/list1.inv";
    w->SuppressMarkClicks = true;
    w->ChkMarkDupLeft->setChecked(true);
    w->SuppressMarkClicks = false;
    const auto failing = QObject::connect(w->ChkMarkDupLeft, &QCheckBox::toggled, [](bool) {
        throw std::runtime_error("the box broke");
    });
    ThisList = w->VL_left;
    w->M_Popup1UnMarkFull_Click();
    QObject::disconnect(failing);
    EXPECT_TRUE(Console().contains(QStringLiteral("Message : the box broke")));
    EXPECT_TRUE(Console().contains(QStringLiteral("Routine : M_Popup1UnMarkFull_Click")));
    EXPECT_FALSE(w->SuppressMarkClicks);

    TestHarness::AnswerMessages({MsgBoxButton::Ok});
    w->ChkMarkInvLeft->setChecked(true);
    EXPECT_TRUE(QFile::exists(w->LeftListDesc.NameInv));
    EXPECT_EQ(Screen::Instance()->MousePointer(), Screen::kDefaultPointer);
}

}  // namespace
