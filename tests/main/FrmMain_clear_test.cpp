// Clear List and the Clear buttons: a side emptied after a Yes, with its
// pane, caption, flag boxes and "Results" reset and the other list's
// compare marks gone; anything but Yes keeps everything.
#include <algorithm>
#include <stdexcept>

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "ListIcons.h"
#include "RichTextBox.h"
#include "Screen.h"
#include "WorkspaceFixture.h"

namespace {

constexpr int32_t kAll = -1;
constexpr int kSelectionColumn = 0;
constexpr int kUserColumn = 1;
constexpr int kDomainColumn = 2;
constexpr int kCompareColumn = 6;
constexpr int16_t kNoIcon = -1;

class Clear : public WorkspaceTest {
protected:
    void TearDown() override {
        w->SuppressMarkClicks = false;
        WorkspaceTest::TearDown();
    }
    // Both sides loaded and compared (one address in common), an entry of
    // each selected, one of the right also invalid; every box and "Results" on.
    void Prepare() {
        Load(1, "a@x.com\r\nb@x.com\r\n", 2);
        Load(2, "a@x.com\r\nz@x.com\r\nq@x.com\r\n", 3);
        ASSERT_EQ(YRB24(0, YRB_FLAG_IN_BOTH, 0, 0, 0), 1);
        for (int32_t slot : {1, 2})
            YRB10(slot, kAll, YRB_MODE_SET, YRB_FLAG_NOT_IN_OTHER, 0, YRB_FLAG_IN_BOTH, nullptr);
        ASSERT_EQ(YRB03(1, 1, YRB_FLAG_SELECTED, 1), 0);
        ASSERT_EQ(YRB03(2, 1, YRB_FLAG_SELECTED | YRB_FLAG_INVALID, 1), 0);
        ASSERT_EQ(YRB03(2, 2, YRB_FLAG_SELECTED, 1), 0);
        for (int32_t slot : {1, 2}) {
            const FrmMain::WorkspaceSide side = w->Side(slot);
            side.listDesc->NameSrc = TestHarness::Folder() + QStringLiteral("/list%1.txt").arg(slot);
            side.listDesc->NameInv = TestHarness::WriteFile(QStringLiteral("list%1.inv").arg(slot), "None\r\n");
            side.frame->setTitle(QStringLiteral(" %1 List : list%2.txt ").arg(side.word).arg(slot));
            w->SuppressMarkClicks = true;
            for (QCheckBox* box : {side.markInv, side.markDup, side.markDel}) box->setChecked(true);
            w->SuppressMarkClicks = false;
            side.view->setEnabled(true);
            side.pane->SetHeaderIcon(kUserColumn, ListIcons::kAscending);
            side.pane->SetHeaderIcon(kDomainColumn, ListIcons::kDescending);
            side.pane->SetAll();
        }
        w->SetBothListPerm();
        ASSERT_TRUE(w->ComCompare->isEnabled());
    }
    static QList<int32_t> Flags(int32_t slot) {
        QList<int32_t> flags;
        for (int32_t e = 0; YRB17(slot, e, kAll) >= 0; ++e) flags.append(YRB17(slot, e, kAll));
        return flags;
    }
    int16_t Icon(int32_t slot, int32_t row, int32_t column) const {
        int16_t image = kNoIcon;
        if (slot == 1)
            w->VL_left_ItemImageCallback(row, column, image);
        else
            w->VL_right_ItemImageCallback(row, column, image);
        return image;
    }
    QString Console() const { return w->TxtErrors->Text(); }
    static int Label(QLabel* label) { return label->text().section(' ', 0, 0).toInt(); }
    // The controls that need both lists.
    QList<QWidget*> BothListControls() const {
        return {w->ComSMerge, w->ChkMergeSelect, w->ComCompare, w->OptCmpCom, w->OptCmpDif};
    }
    // The pane buttons of a side but Import.
    QList<QPushButton*> Buttons(int32_t slot) const {
        if (slot == 1) return {w->ComLClear, w->ComSLFind, w->ComSLInvSel, w->ComSLSave, w->ComSLSelAll, w->ComSLDesAll};
        return {w->ComRClear, w->ComSRFind, w->ComSRInvSel, w->ComSRSave, w->ComSRSelAll, w->ComSRDesAll};
    }
};

// The question of each side, and what each answer leaves: only a pressed
// Yes clears; No, a box closed without a button (0) or by itself (-1) keep
// the list, its pane, caption, boxes, "Results", the other list's marks and
// the both-list controls.
TEST_F(Clear, AnswersOfBothSides) {
    struct Case {
        int32_t slot;
        int answer;
        bool cleared;
    } cases[] = {
        {1, MsgBoxButton::Yes, true}, {2, MsgBoxButton::Yes, true}, {1, MsgBoxButton::No, false},
        {2, MsgBoxButton::No, false}, {1, 0, false},                {2, -1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "side " << c.slot << ", answer " << c.answer);
        Prepare();
        const FrmMain::WorkspaceSide side = w->Side(c.slot);
        const FrmMain::WorkspaceSide other = w->Side(3 - c.slot);
        const QList<int32_t> flags = Flags(c.slot);
        const QList<int32_t> otherFlags = Flags(other.slot);
        const QString caption = side.frame->title();
        const int32_t counted = side.pane->GetCnt();
        const qsizetype asked = TestHarness::AskedMessages().size();
        ThisList = side.pane;
        TestHarness::AnswerMessages({c.answer});
        w->M_Popup1Clear_Click();

        ASSERT_EQ(TestHarness::AskedMessages().size(), asked + 1);
        const MsgBoxRequest& q = TestHarness::AskedMessages().last();
        EXPECT_EQ(q.message, QStringLiteral("Are you sure you want to clear the %1 List content ?").arg(side.word));
        EXPECT_EQ(q.Title, QStringLiteral("Clear %1 List Content").arg(side.word));
        EXPECT_EQ(q.IconNb, MsgBoxIcon::Warning);
        EXPECT_EQ(q.Focus, MsgBoxButton::No);
        EXPECT_TRUE(q.ShowYes && q.ShowNo);
        EXPECT_FALSE(q.ShowOk || q.ShowCancel || q.ShowYesAll || q.ShowNoAll);
        EXPECT_EQ(q.Choice, QString());
        EXPECT_EQ(q.CForm, w.get());
        EXPECT_EQ(q.OForm, w.get());

        EXPECT_EQ(YRB14(c.slot) != 0, c.cleared);
        EXPECT_EQ(side.pane->ListWindow()->ItemCount(), c.cleared ? 0 : flags.size());
        EXPECT_EQ(Label(c.slot == 1 ? w->LabCntLeft : w->LabCntRight), c.cleared ? 0 : counted);
        EXPECT_EQ(side.frame->title(), c.cleared ? QStringLiteral(" %1 List ").arg(side.word) : caption);
        for (QCheckBox* box : {side.markInv, side.markDup, side.markDel}) EXPECT_EQ(box->isChecked(), !c.cleared);
        EXPECT_EQ(side.view->isEnabled(), !c.cleared);
        for (QWidget* control : BothListControls()) EXPECT_EQ(control->isEnabled(), !c.cleared);
        if (!c.cleared) {
            EXPECT_EQ(Flags(c.slot), flags);
        }
        // The other side keeps its entries, selection and flags; only its
        // compare marks go.
        QList<int32_t> otherAfter = otherFlags;
        if (c.cleared)
            for (int32_t& f : otherAfter) f &= ~YRB_MASK_COMPARE;
        EXPECT_EQ(Flags(other.slot), otherAfter);
        // The side's descriptor and result files stay.
        EXPECT_FALSE(side.listDesc->NameSrc.isEmpty());
        EXPECT_TRUE(QFile::exists(side.listDesc->NameInv));
        EXPECT_FALSE(w->SuppressMarkClicks);
        EXPECT_EQ(Screen::Instance()->MousePointer(), Screen::kDefaultPointer);
        EXPECT_EQ(Console(), QString());
        YRB20(1);
        YRB20(2);
        Pane(1)->SetCount(0);
        Pane(2)->SetCount(0);
    }
}

// After a comparison, clearing the left list takes the compare icons off
// the right list's rows; its tick and invalid icons stay.
TEST_F(Clear, OtherListLosesItsCompareIcons) {
    Prepare();
    ASSERT_EQ(Icon(2, 0, kCompareColumn), ListIcons::kRightInBoth);
    ASSERT_EQ(Icon(2, 1, kCompareColumn), ListIcons::kRightNotInOther);
    ThisList = w->VL_left;
    TestHarness::AnswerMessages({MsgBoxButton::Yes});
    w->M_Popup1Clear_Click();
    for (int32_t row = 0; row < 3; ++row) EXPECT_EQ(Icon(2, row, kCompareColumn), kNoIcon) << row;
    EXPECT_EQ(Icon(2, 1, kSelectionColumn), ListIcons::kRemoved);
    EXPECT_EQ(YRB17(2, 1, kAll), YRB_FLAG_SELECTED | YRB_FLAG_INVALID);
    EXPECT_EQ(Label(w->LabCntRight), 2);
}

// With the other side empty the engine is only asked whether it holds a
// list: nothing reaches the console.
TEST_F(Clear, OtherSideEmpty) {
    Load(2, "a@x.com\r\n", 1);
    ThisList = w->VL_right;
    TestHarness::AnswerMessages({MsgBoxButton::Yes});
    w->M_Popup1Clear_Click();
    EXPECT_NE(YRB14(2), 0);
    EXPECT_EQ(Console(), QString());
}

// The selection and "User" headers lose their sort arrow; "Domain" keeps
// the one of its last sort.
TEST_F(Clear, HeaderArrows) {
    Prepare();
    ThisList = w->VL_left;
    TestHarness::AnswerMessages({MsgBoxButton::Yes});
    w->M_Popup1Clear_Click();
    const QList<int> headers = Headers(1);
    EXPECT_EQ(headers[kSelectionColumn], ListIcons::kUnsorted);
    EXPECT_EQ(headers[kUserColumn], ListIcons::kUnsorted);
    EXPECT_EQ(headers[kDomainColumn], ListIcons::kDescending);
}

// The Clear buttons clear their own side whichever pane was touched last,
// and afterwards only Import is enabled on that side; the both-list
// controls are off though the other list is still loaded.  A resize does
// not bring back the cleared list's file name.
TEST_F(Clear, ButtonsAndControlsAfterwards) {
    struct Case {
        QPushButton* button;
        int32_t slot;
        QPushButton* import;
    } cases[] = {{w->ComLClear, 1, w->ComSLImp}, {w->ComRClear, 2, w->ComSRImp}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button->objectName().toStdString());
        Prepare();
        for (QPushButton* b : Buttons(c.slot)) ASSERT_TRUE(b->isEnabled()) << b->objectName().toStdString();
        ThisList = w->Side(3 - c.slot).pane;
        TestHarness::AnswerMessages({MsgBoxButton::Yes});
        c.button->click();
        EXPECT_EQ(ThisList.get(), Pane(c.slot));
        EXPECT_NE(YRB14(c.slot), 0);
        EXPECT_EQ(YRB14(3 - c.slot), 0);
        for (QPushButton* b : Buttons(c.slot)) EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();
        EXPECT_TRUE(c.import->isEnabled());
        for (QPushButton* b : Buttons(3 - c.slot)) EXPECT_TRUE(b->isEnabled()) << b->objectName().toStdString();
        for (QWidget* control : BothListControls()) EXPECT_FALSE(control->isEnabled());
        const FrmMain::WorkspaceSide side = w->Side(c.slot);
        w->ResizeListCaptions(true, true);
        EXPECT_EQ(side.frame->title(), QStringLiteral(" %1 List ").arg(side.word));
        YRB20(1);
        YRB20(2);
        Pane(1)->SetCount(0);
        Pane(2)->SetCount(0);
    }
    EXPECT_EQ(Console(), QString());
}

// No pane, or one that holds no engine list: reported, no question.
TEST_F(Clear, WithoutAnEngineList) {
    struct Case {
        ListPaneRef pane;
        const char* report;
    } cases[] = {{nullptr, "Message : List Object not Set"},
                 {w->VL_file, "'Merge List' is not a list held by the engine"}};
    const qsizetype asked = TestHarness::AskedMessages().size();
    for (const Case& c : cases) {
        w->TxtErrors->SetText(QString());
        ThisList = c.pane;
        w->M_Popup1Clear_Click();
        EXPECT_TRUE(Console().contains(c.report)) << Console().toStdString();
        EXPECT_TRUE(Console().contains("Routine : M_Popup1Clear_Click"));
        EXPECT_EQ(Screen::Instance()->MousePointer(), Screen::kDefaultPointer);
    }
    EXPECT_EQ(TestHarness::AskedMessages().size(), asked);
}

// A failure while the boxes are unticked is reported, and the boxes listen
// again afterwards.
TEST_F(Clear, FailureWhileUntickingKeepsTheBoxesListening) {
    Prepare();
    const auto failing = QObject::connect(w->ChkMarkInvLeft, &QCheckBox::toggled, [](bool) {
        throw std::runtime_error("the box broke");
    });
    ThisList = w->VL_left;
    TestHarness::AnswerMessages({MsgBoxButton::Yes});
    w->M_Popup1Clear_Click();
    QObject::disconnect(failing);
    EXPECT_TRUE(Console().contains(QStringLiteral("Message : the box broke")));
    EXPECT_TRUE(Console().contains(QStringLiteral("Routine : M_Popup1Clear_Click")));
    EXPECT_FALSE(w->SuppressMarkClicks);
    EXPECT_EQ(Screen::Instance()->MousePointer(), Screen::kDefaultPointer);

    // A tick on the right side runs its work again.
    w->SuppressMarkClicks = true;
    w->ChkMarkDelRight->setChecked(false);
    w->SuppressMarkClicks = false;
    TestHarness::AnswerMessages({MsgBoxButton::Ok});
    w->ChkMarkDelRight->setChecked(true);
    const QList<int32_t> flags = Flags(2);
    EXPECT_TRUE(std::any_of(flags.begin(), flags.end(), [](int32_t f) { return (f & YRB_FLAG_DELETED) != 0; }));
}

}  // namespace
