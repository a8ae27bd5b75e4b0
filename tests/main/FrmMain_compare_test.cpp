// Compare: both lists marked entry by entry, the chosen entries selected,
// and the checks that keep a comparison from running on a missing list.
#include <cstring>

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "OwnerEnabler.h"
#include "Screen.h"
#include "ServiceObjects.h"
#include "WorkspaceFixture.h"
#include "clsInterrupt.h"
#include "modCallBack.h"
#include "modRegistry.h"
#include "RichTextBox.h"

namespace {

class Compare : public WorkspaceTest {
protected:
    int32_t Flags(int32_t slot, const QString& address) const {
        for (int32_t e = 0; e < Pane(slot)->GetCnt(true); ++e)
            if (Address(slot, e) == address) return YRB17(slot, e, -1);
        return -1;
    }
    // The addresses of the slot's selected entries, in display order.
    QStringList Selected(int32_t slot) const {
        QStringList out;
        for (int32_t e = 0; e < Pane(slot)->GetCnt(true); ++e)
            if (YRB17(slot, e, YRB_FLAG_SELECTED) != 0) out.append(Address(slot, e));
        return out;
    }
    QString Console() const { return w->TxtErrors->Text(); }
    void ExpectClosed() const {
        EXPECT_TRUE(OwnerEnabler::IsEnabled(w.get()));
        EXPECT_EQ(Screen::Instance()->MousePointer(), Screen::kDefaultPointer);
    }
};

TEST_F(Compare, RefusedWithoutTwoListsOfEntries) {
    struct Case {
        const char* what;
        QByteArray left, right;  // "-" for no list
        const char* message;
    } cases[] = {
        {"no left list", "-", "a@b.com\r\n", "The Left list is empty !"},
        {"no right list", "a@b.com\r\n", "-", "The Right list is empty !"},
        {"no list at all", "-", "-", "The Left list is empty !"},
        {"left list without entries", "\r\n\r\n", "a@b.com\r\n", "The Left list contains no entries"},
        {"right list without entries", "a@b.com\r\n", "\r\n", "The Right list contains no entries"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        YRB20(1);
        YRB20(2);
        if (c.left != "-") Load(1, c.left, c.left.count('@'));
        if (c.right != "-") Load(2, c.right, c.right.count('@'));
        if (YRB14(1) == 0 && Pane(1)->GetCnt(true) > 0) YRB10(1, 0, YRB_MODE_SET, YRB_FLAG_SELECTED, 0, 0, nullptr);
        const qsizetype asked = TestHarness::AskedMessages().size();
        TestHarness::AnswerMessages({MsgBoxButton::Ok});
        w->ComCompare_Click();
        ASSERT_EQ(TestHarness::AskedMessages().size(), asked + 1);
        const MsgBoxRequest& r = TestHarness::AskedMessages().back();
        EXPECT_EQ(r.message, QLatin1String(c.message));
        EXPECT_EQ(r.Title, QStringLiteral("Cannot Compare"));
        EXPECT_EQ(r.IconNb, MsgBoxIcon::Error);
        // Nothing was touched: an earlier selection stays.
        if (YRB14(1) == 0 && Pane(1)->GetCnt(true) > 0) {
            EXPECT_EQ(Selected(1).size(), 1);
        }
        ExpectClosed();
    }
}

// Left: a, b twice, c flagged invalid, e selected beforehand.
// Right: b, c, d.  A repeated address is common with each of its copies;
// a flagged entry is matched but never selected; old selections go.
TEST_F(Compare, MarksBothListsAndSelectsTheChosenEntries) {
    struct Case {
        bool different;
        QStringList left, right;
    } cases[] = {
        {true, {"a@x.com", "e@x.com"}, {"d@x.com"}},
        {false, {"b@x.com", "b@x.com"}, {"b@x.com", "c@x.com"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.different ? "different" : "common");
        Load(1, "e@x.com\r\nb@x.com\r\nc@x.com\r\na@x.com\r\nb@x.com\r\n", 5);
        Load(2, "d@x.com\r\nc@x.com\r\nb@x.com\r\n", 3);
        for (int32_t e = 0; e < 5; ++e) {
            if (Address(1, e) == "c@x.com") YRB03(1, e, YRB_FLAG_INVALID, 1);
            if (Address(1, e) == "e@x.com") YRB03(1, e, YRB_FLAG_SELECTED, 1);
        }
        YRB10(2, YRB_ALL_ENTRIES, YRB_MODE_SET, YRB_FLAG_SELECTED, 0, 0, nullptr);
        (c.different ? static_cast<QRadioButton*>(w->OptCmpDif) : w->OptCmpCom)->setChecked(true);
        const qsizetype asked = TestHarness::AskedMessages().size();
        TestHarness::AnswerMessages({MsgBoxButton::Ok});
        w->ComCompare_Click();
        ASSERT_EQ(TestHarness::AskedMessages().size(), asked + 1);
        EXPECT_EQ(TestHarness::AskedMessages().back().message,
                  QStringLiteral("The lists comparison completed successfully"));
        EXPECT_EQ(TestHarness::AskedMessages().back().Title, QStringLiteral("List Comparison Completed"));
        EXPECT_EQ(TestHarness::AskedMessages().back().IconNb, MsgBoxIcon::Logo);
        // In address order on both sides.
        EXPECT_EQ(Address(1, 0), "a@x.com");
        EXPECT_EQ(Address(2, 2), "d@x.com");
        EXPECT_EQ(Selected(1), c.left);
        EXPECT_EQ(Selected(2), c.right);
        for (const char* a : {"b@x.com", "c@x.com"})
            for (int32_t slot : {1, 2}) EXPECT_EQ(Flags(slot, a) & YRB_MASK_COMPARE, YRB_FLAG_IN_BOTH) << a;
        EXPECT_EQ(Flags(1, "a@x.com") & YRB_MASK_COMPARE, YRB_FLAG_NOT_IN_OTHER);
        EXPECT_EQ(Flags(2, "d@x.com") & YRB_MASK_COMPARE, YRB_FLAG_NOT_IN_OTHER);
        EXPECT_EQ(w->LabSelLeft->text().section(' ', 0, 0).toInt(), c.left.size());
        EXPECT_EQ(Console(), QString());
        ExpectClosed();
        YRB20(1);
        YRB20(2);
    }
}

TEST_F(Compare, IdenticalListsLeaveNothingDifferent) {
    Load(1, "a@x.com\r\nb@x.com\r\n", 2);
    Load(2, "b@x.com\r\na@x.com\r\n", 2);
    w->OptCmpDif->setChecked(true);
    TestHarness::AnswerMessages({MsgBoxButton::Ok});
    w->ComCompare_Click();
    EXPECT_EQ(TestHarness::AskedMessages().size(), 1);
    EXPECT_TRUE(Selected(1).isEmpty());
    EXPECT_TRUE(Selected(2).isEmpty());
    EXPECT_EQ(Flags(1, "a@x.com") & YRB_MASK_COMPARE, YRB_FLAG_IN_BOTH);
}

TEST_F(Compare, CrcSwitchReadAndWrittenBack) {
    struct Case {
        const char* stored;  // nullptr: missing
        const char* after;
        bool compared;
    } cases[] = {{nullptr, "0", true}, {"1", "1", true}, {" 7 ", "7", true}, {"fast", "fast", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored ? c.stored : "missing");
        w->TxtErrors->SetText(QString());
        Load(1, "a@x.com\r\nb@x.com\r\n", 2);
        Load(2, "a@x.com\r\n", 1);
        YRB10(1, YRB_ALL_ENTRIES, YRB_MODE_SET, YRB_FLAG_SELECTED, 0, 0, nullptr);
        if (c.stored) modRegistry::SetSetting(QStringLiteral("CmpCrc"), QLatin1String(c.stored));
        if (c.compared) TestHarness::AnswerMessages({MsgBoxButton::Ok});
        w->ComCompare_Click();
        EXPECT_EQ(modRegistry::GetSetting(QStringLiteral("CmpCrc"), QStringLiteral("missing")), c.after);
        if (c.compared) {
            EXPECT_EQ(Selected(1), QStringList{"a@x.com"});
        } else {
            // Reported before any list was touched.
            EXPECT_TRUE(Console().contains("'CmpCrc' holds 'fast'")) << Console().toStdString();
            EXPECT_EQ(Selected(1).size(), 2);
            EXPECT_EQ(Flags(1, "a@x.com") & YRB_MASK_COMPARE, 0);
        }
        ExpectClosed();
    }
}

// Cancel pressed while the engine compares: no message, and the panes show
// the selections the comparison had already dropped.
TEST_F(Compare, StoppedCompareStillRefreshesThePanes) {
    QByteArray bytes;
    for (int i = 0; i < 200000; ++i) bytes += "u" + QByteArray::number(i) + "@d.com\r\n";
    Load(1, bytes, 200000);
    Load(2, bytes, 200000);
    for (int32_t slot : {1, 2}) {
        YRB10(slot, YRB_ALL_ENTRIES, YRB_MODE_SET, YRB_FLAG_SELECTED, 0, 0, nullptr);
        Pane(slot)->SetAll();
    }
    ASSERT_EQ(w->LabSelLeft->text().section(' ', 0, 0), "200000");
    {
        const CancelOnInformation hook("Comparing lists entries");
        w->ComCompare_Click();
    }
    EXPECT_TRUE(TestHarness::AskedMessages().isEmpty());
    EXPECT_FALSE(InterruptObj()->Active);
    // Stopped before every entry was marked.
    int32_t marked = 0;
    for (int32_t e = 0; e < 200000; ++e) marked += YRB17(1, e, YRB_MASK_COMPARE) != 0;
    EXPECT_LT(marked, 200000);
    EXPECT_EQ(w->LabSelLeft->text().section(' ', 0, 0), "0");
    EXPECT_EQ(w->LabSelRight->text().section(' ', 0, 0), "0");
    EXPECT_EQ(Console(), QString());
    ExpectClosed();
}

}  // namespace
