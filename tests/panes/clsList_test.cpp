// The simple list pane on a report list view with check boxes.
#include <QLabel>
#include <QPushButton>

#include "ControlGeometry.h"
#include "ReportListView.h"
#include "TestHarness.h"
#include "clsError.h"
#include "clsInterrupt.h"
#include "clsList.h"

namespace {

struct ListForm {
    QWidget form;
    ReportListView* view = new ReportListView(&form);
    clsList pane;
    QLabel cnt, sel;

    explicit ListForm(int rows, QList<int> ticked = {}) {
        view->setObjectName(QStringLiteral("LstTest"));
        view->AddColumn();
        for (int r = 0; r < rows; ++r) view->AddItem()->setText(0, QStringLiteral("row %1").arg(r));
        for (int r : ticked) view->SetChecked(r, true);
        pane.MyError = std::make_shared<clsError>();
        pane.LabCnt = &cnt;
        pane.LabSel = &sel;
        pane.SetList(view);
    }
    QList<int> Ticked() const {
        QList<int> t;
        for (int r = 0; r < view->ItemCount(); ++r)
            if (view->Checked(r)) t.append(r);
        return t;
    }
};

}  // namespace

TEST(SimpleListPane, CountsLabelsAndGroups) {
    struct Case {
        int rows;
        QList<int> ticked;
        QString cnt, sel;
        bool onCnt, onSel, offCnt, offSel;
    };
    const Case cases[] = {
        {0, {}, "0 object(s)", "0 selected", false, false, true, false},
        {3, {0, 1, 2}, "3 object(s)", "3 selected", true, true, false, false},
        {4, {2}, "4 object(s)", "1 selected", true, true, false, true},
    };
    for (const Case& c : cases) {
        ListForm l(c.rows, c.ticked);
        QPushButton onCnt, onSel, offCnt, offSel;
        l.pane.ColOnCnt.append(&onCnt);
        l.pane.ColOnSel.append(&onSel);
        l.pane.ColOffCnt.append(&offCnt);
        l.pane.ColOffSel.append(&offSel);
        l.pane.SetAll();
        EXPECT_EQ(l.cnt.text(), c.cnt);
        EXPECT_EQ(l.sel.text(), c.sel);
        EXPECT_EQ(onCnt.isEnabled(), c.onCnt) << c.rows;
        EXPECT_EQ(onSel.isEnabled(), c.onSel) << c.rows;
        EXPECT_EQ(offCnt.isEnabled(), c.offCnt) << c.rows;
        EXPECT_EQ(offSel.isEnabled(), c.offSel) << c.rows;
        EXPECT_EQ(l.pane.GetEmpty(), c.rows == 0);
    }
}

TEST(SimpleListPane, BulkSelection) {
    struct Case {
        const char* name;
        bool stopSet;
        std::function<void(clsList&)> action;
        QList<int> ticked;  // of rows 0..4, ticks 1 and 3 at the start
        int rowsLeft;
    };
    const Case cases[] = {
        {"select all", false, [](clsList& p) { p.SelectAll(); }, {0, 1, 2, 3, 4}, 5},
        {"deselect all", false, [](clsList& p) { p.DeselectAll(); }, {}, 5},
        {"invert", false, [](clsList& p) { p.InvertAll(); }, {0, 2, 4}, 5},
        {"remove ticked", false, [](clsList& p) { p.RemoveSel(); }, {}, 3},
        // A stop request left set ends each loop after its first item.
        {"select all stopped", true, [](clsList& p) { p.SelectAll(); }, {0, 1, 3}, 5},
        {"deselect all stopped", true, [](clsList& p) { p.DeselectAll(); }, {1, 3}, 5},
        {"invert stopped", true, [](clsList& p) { p.InvertAll(); }, {0, 1, 3}, 5},
        {"remove stopped", true, [](clsList& p) { p.RemoveSel(); }, {1, 3}, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ListForm l(5, {1, 3});
        auto stop = std::make_shared<clsInterrupt>();
        stop->Active = c.stopSet;
        l.pane.Interrupt = stop;
        c.action(l.pane);
        EXPECT_EQ(l.Ticked(), c.ticked);
        EXPECT_EQ(l.view->ItemCount(), c.rowsLeft);
        EXPECT_EQ(stop->Active, c.stopSet);  // polled, never taken
    }
}

TEST(SimpleListPane, RemoveTheLastTwoTicked) {
    ListForm l(4, {2, 3});
    l.pane.SetAll();
    l.pane.RemoveSel();
    ASSERT_EQ(l.view->ItemCount(), 2);
    EXPECT_EQ(l.view->Item(1)->text(0), QStringLiteral("row 1"));
    EXPECT_EQ(l.cnt.text(), QStringLiteral("4 object(s)"));  // until the next SetAll
    l.pane.SetAll();
    EXPECT_EQ(l.cnt.text(), QStringLiteral("2 object(s)"));
}

TEST(SimpleListPane, ColumnWidthsByWeight) {
    struct Case {
        const char* name;
        double width;
        QList<double> recorded;
        QList<QString> tags;
        QList<double> expected;
    };
    const Case cases[] = {
        {"account list", 8000, {900, 900, 900, 900, 900}, {"2", "2", "2", "1", "1"}, {2000, 2000, 2000, 1000, 1000}},
        {"one fixed column", 4000, {1000, 700, 700}, {"0", "1", "1"}, {1000, 1500, 1500}},
        {"a column without tag is fixed", 4000, {1000, 700, 700}, {"", "1", "1"}, {1000, 1500, 1500}},
        // No weighted column: nothing to share, no division by zero.
        {"no weighted column", 4000, {1000, 600}, {"0", ""}, {1000, 600}},
        // Fixed columns wider than the view: weighted columns get no width, never less.
        {"fixed wider than the view", 1500, {3000, 700}, {"0", "1"}, {3000, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QWidget form;
        auto* view = new ReportListView(&form);
        ControlGeometry::Move(view, 0, 0, c.width, 3000);
        for (int i = 0; i < c.recorded.size(); ++i) {
            view->AddColumn();
            view->SetColumnWidth(i, c.recorded[i]);
            view->SetColumnTag(i, c.tags[i]);
        }
        clsList pane;
        pane.MyError = std::make_shared<clsError>();
        pane.SetList(view);
        view->SetColumnWidth(0, 123);  // dragged by the user since
        pane.ResizeCols();
        for (int i = 0; i < c.expected.size(); ++i) EXPECT_EQ(view->ColumnWidth(i), c.expected[i]) << i;
        EXPECT_FALSE(pane.MyError->IsPending());
    }
}
