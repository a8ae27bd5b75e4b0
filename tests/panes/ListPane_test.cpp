// Labels and dependent controls, shared by every kind of pane.
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include "PaneFixture.h"
#include "ReportListView.h"
#include "SystemColors.h"
#include "TestHarness.h"
#include "clsList.h"
#include "clsVL2.h"

namespace {

struct Groups {
    QWidget host;
    QPushButton* onCnt = new QPushButton(&host);
    QPushButton* onSel = new QPushButton(&host);
    QPushButton* offCnt = new QPushButton(&host);
    QPushButton* offSel = new QPushButton(&host);
    void Attach(ListPane& pane) {
        pane.ColOnCnt.append(onCnt);
        pane.ColOnSel.append(onSel);
        pane.ColOffCnt.append(offCnt);
        pane.ColOffSel.append(offSel);
    }
};

struct RuleCase {
    int32_t cnt, sel;
    bool onCnt, onSel, offCnt, offSel;
};

const RuleCase kRules[] = {
    {0, 0, false, false, true, false},  // none selected of none: as if all were
    {5, 5, true, true, false, false},
    {5, 0, true, false, false, true},
    {5, 2, true, true, false, true},
};

void CheckRules(ListPane& pane, Groups& g) {
    for (const RuleCase& c : kRules) {
        SCOPED_TRACE(testing::Message() << c.cnt << "/" << c.sel);
        pane.EnableDisable(c.cnt, c.sel);
        EXPECT_EQ(g.onCnt->isEnabled(), c.onCnt);
        EXPECT_EQ(g.onSel->isEnabled(), c.onSel);
        EXPECT_EQ(g.offCnt->isEnabled(), c.offCnt);
        EXPECT_EQ(g.offSel->isEnabled(), c.offSel);
    }
}

}  // namespace

TEST(ListPaneGroups, RulesOfEveryKindOfPane) {
    {
        clsVirtualListview view;
        Groups g;
        g.Attach(view);
        CheckRules(view, g);
    }
    {
        clsList list;
        ReportListView control;
        list.SetList(&control);
        Groups g;
        g.Attach(list);
        CheckRules(list, g);
    }
    {
        clsVL2 vl2;
        vl2.VListNb = 1;
        Groups g;
        g.Attach(vl2);
        CheckRules(vl2, g);
    }
}

TEST(ListPaneGroups, LastGroupHoldingAControlDecides) {
    clsVirtualListview view;
    QPushButton both;
    view.ColOnCnt.append(&both);
    view.ColOffSel.append(&both);
    view.EnableDisable(5, 5);  // on by count, then off: every entry selected
    EXPECT_FALSE(both.isEnabled());
}

TEST(ListPaneGroups, ComboBoxTakesWindowOrButtonFaceColour) {
    PaneForm<clsVirtualListview> f;
    QComboBox combo;
    f.pane.ColOffCnt.append(&combo);
    f.pane.SetCount(0);
    f.pane.SetAll();
    EXPECT_TRUE(combo.isEnabled());
    EXPECT_EQ(combo.palette().color(QPalette::Base), SystemColors::FromOle(SystemColors::kWindow));
    f.pane.SetCount(4);
    f.pane.SetAll();
    EXPECT_FALSE(combo.isEnabled());
    EXPECT_EQ(combo.palette().color(QPalette::Base), SystemColors::FromOle(SystemColors::kButtonFace));
}

TEST(ListPaneLabels, CountsAndWords) {
    struct Case {
        int32_t rows;
        int32_t ticked;
        QString capCnt, capSel;
        QString cnt, sel;
    };
    const Case cases[] = {
        {12, 0, "", "", "12 object(s)", "0 selected"},
        {3, 2, "rows", "ticked", "3 rows", "2 ticked"},
        {0, 0, "", "", "0 object(s)", "0 selected"},
    };
    for (const Case& c : cases) {
        PaneForm<clsVirtualListview> f;
        QLabel cnt, sel;
        f.pane.LabCnt = &cnt;
        f.pane.LabSel = &sel;
        f.pane.CapCnt = c.capCnt;
        f.pane.CapSel = c.capSel;
        f.pane.SetCount(c.rows);
        for (int32_t r = 1; r <= c.ticked; ++r) f.pane.SetCheckState(r, true);
        f.pane.SetAll();
        EXPECT_EQ(cnt.text(), c.cnt);
        EXPECT_EQ(sel.text(), c.sel);
    }
}

TEST(ListPaneLabels, SetAllWithoutLabelsStillSwitchesGroups) {
    PaneForm<clsVirtualListview> f;
    Groups g;
    g.Attach(f.pane);
    f.pane.SetCount(3);
    f.pane.SetAll();
    EXPECT_TRUE(g.onCnt->isEnabled());
    EXPECT_FALSE(g.offCnt->isEnabled());
}

TEST(ListPaneLabels, SimpleListPaneWithoutViewDoesNothing) {
    clsList list;
    list.MyError = std::make_shared<clsError>();
    QLabel cnt(QStringLiteral("untouched"));
    list.LabCnt = &cnt;
    Groups g;
    g.Attach(list);
    g.offCnt->setEnabled(false);
    list.SetAll();
    list.SelectAll();
    list.RemoveSel();
    EXPECT_EQ(cnt.text(), QStringLiteral("untouched"));
    EXPECT_FALSE(g.offCnt->isEnabled());
    EXPECT_EQ(list.GetCnt(), 0);
    EXPECT_EQ(list.GetSel(), 0);
    EXPECT_TRUE(list.GetEmpty());
    EXPECT_FALSE(list.MyError->IsPending());
}

TEST(ListPaneInterface, NeutralAnswersThroughTheCommonInterface) {
    clsList simple;
    clsVirtualListview view;  // never initialised: no window
    ListPane* panes[] = {&simple, &view};
    for (ListPane* p : panes) {
        int32_t item = 7, sub = 7, flags = 7;
        EXPECT_FALSE(p->GetMouseItem(item, sub, flags));
        EXPECT_EQ(item, -1);
        EXPECT_EQ(sub, 0);
        EXPECT_EQ(flags, 0);
        EXPECT_EQ(p->GetColumnCount(), 0);
        EXPECT_EQ(p->GetColumnName(0), QString());
        EXPECT_FALSE(p->Sort(1, true));
        EXPECT_EQ(p->Idx(1), 0);
        EXPECT_EQ(p->hWnd(), nullptr);
    }
    EXPECT_EQ(simple.LType, 9);
    EXPECT_EQ(view.LType, 0);
    EXPECT_EQ(view.GetItem(), 0);  // no window
    EXPECT_EQ(simple.GetItem(), -1);
}
