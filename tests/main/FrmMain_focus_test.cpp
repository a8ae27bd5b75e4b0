// The keyboard focus of the shown main window: it stays with the list a
// command acted on, one header click sorts and the current row keeps its
// entry through it and through a comparison, an imported list starts at its
// first row, and Tab reaches every enabled control of the first tab in the
// order they stand.
#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include "FrmMain.h"
#include "FrmStructure.h"
#include "ListDialogSeam.h"
#include "ListsCol.h"
#include "MainFixture.h"
#include "OrmidYRB100.h"
#include "OwnerDataListView.h"
#include "PopupMenuSeam.h"
#include "SystemColors.h"
#include "WorkspaceFixture.h"
#include "clsVL2.h"
#include "modDialog.h"

namespace {

const QByteArray kSix = "f@one.com\r\ne@two.com\r\nd@three.com\r\nc@four.com\r\nb@five.com\r\na@six.com\r\n";

class Focus : public WorkspaceTest {
protected:
    void SetUp() override {
        WorkspaceTest::SetUp();
        Load(1, kSix, 6);
        Load(2, kSix, 6);
        w->show();
        w->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    }
    void TearDown() override {
        PopupMenuSeam::Install(nullptr);
        ListDialogSeam::Install(nullptr);
        modDialog::InstallChooser(nullptr);
        WorkspaceTest::TearDown();
    }
    OwnerDataListView* List(int32_t slot) const { return Pane(slot)->ListWindow(); }
    static int32_t Selected(int32_t slot) { return YRB16(slot, YRB_FLAG_SELECTED, YRB_MASK_REMOVED, nullptr); }
    // A real click on the "User" cell of a row.
    void ClickRow(int32_t slot, int32_t row) {
        QRect bounds;
        ASSERT_TRUE(List(slot)->GetItemRect(row, bounds));
        QHeaderView* header = List(slot)->horizontalHeader();
        const QPoint at(header->sectionViewportPosition(1) + 4, bounds.center().y());
        QTest::mouseClick(List(slot)->viewport(), Qt::LeftButton, {}, List(slot)->viewport()->mapFrom(List(slot), at));
    }
};

// Keys typed one after another at whatever has the focus, on each side.
TEST_F(Focus, ShortcutsAndArrowsChainOnTheClickedList) {
    struct Step {
        const char* what;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int32_t selected;
        int32_t row;
    } steps[] = {
        {"Ctrl+S", Qt::Key_S, Qt::ControlModifier, 6, 1}, {"Ctrl+D", Qt::Key_D, Qt::ControlModifier, 0, 1},
        {"Ctrl+S", Qt::Key_S, Qt::ControlModifier, 6, 1}, {"Ctrl+I", Qt::Key_I, Qt::ControlModifier, 0, 1},
        {"Ctrl+I", Qt::Key_I, Qt::ControlModifier, 6, 1}, {"Ctrl+D", Qt::Key_D, Qt::ControlModifier, 0, 1},
        {"Down", Qt::Key_Down, Qt::NoModifier, 0, 2},     {"Down", Qt::Key_Down, Qt::NoModifier, 0, 3},
    };
    const QColor tint = SystemColors::FromOle(SystemColors::kInfoBackground);
    for (int32_t slot : {1, 2}) {
        ClickRow(slot, 1);
        for (const Step& s : steps) {
            SCOPED_TRACE(testing::Message() << "side " << slot << ", " << s.what);
            QWidget* focused = QApplication::focusWidget();
            ASSERT_EQ(focused, List(slot));
            QTest::keyClick(focused, s.key, s.modifiers);
            EXPECT_EQ(Selected(slot), s.selected);
            EXPECT_EQ(FocusedRow(List(slot)), s.row);
            EXPECT_EQ(QApplication::focusWidget(), List(slot));
            EXPECT_EQ(List(slot)->BkColor(), tint);
        }
    }
}

// A pane button or a menu entry gives the keys back to the list it acted
// on, wherever the focus was before.
TEST_F(Focus, PaneButtonsAndMenuEntriesLeaveTheFocusOnTheirList) {
    struct Case {
        const char* what;
        int32_t focusedBefore;
        std::function<void()> act;
        int32_t slot;
        int32_t selected;
    } cases[] = {
        {"left Select All clicked", 2, [&] { QTest::mouseClick(w->ComSLSelAll, Qt::LeftButton); }, 1, 6},
        {"right Invert clicked", 1, [&] { QTest::mouseClick(w->ComSRInvSel, Qt::LeftButton); }, 2, 6},
        {"left Invert clicked", 1, [&] { QTest::mouseClick(w->ComSLInvSel, Qt::LeftButton); }, 1, 6},
        {"menu Select All on the right", 1,
         [&] {
             PopupMenuSeam::Install([&](QMenu*) { return w->M_Popup1SelectAll; });
             QTest::mouseClick(List(2)->viewport(), Qt::RightButton, {}, QPoint(60, 5));
         },
         2, 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ClickRow(c.focusedBefore, 0);
        c.act();
        EXPECT_EQ(Selected(c.slot), c.selected);
        EXPECT_EQ(QApplication::focusWidget(), List(c.slot));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_I, Qt::ControlModifier);
        EXPECT_EQ(Selected(c.slot), 6 - c.selected);
    }
}

// The first click on a header sorts, while the other list has the focus,
// and leaves the focus with the sorted list.
TEST_F(Focus, OneHeaderClickSorts) {
    struct Click {
        int32_t slot;
        int column;
        const char* first;
    } clicks[] = {
        {1, 2, "b@five.com"}, {2, 2, "b@five.com"}, {1, 2, "e@two.com"},
        {2, 1, "a@six.com"},  {1, 1, "a@six.com"},  {2, 1, "f@one.com"},
    };
    ClickRow(2, 0);
    for (const Click& c : clicks) {
        SCOPED_TRACE(testing::Message() << "slot " << c.slot << " column " << c.column);
        TestHarness::QuickHeaderClick(List(c.slot), c.column);
        EXPECT_EQ(Address(c.slot, 0), c.first);
        EXPECT_EQ(QApplication::focusWidget(), List(c.slot));
    }
}

// A sort by a header click or from the list's menu moves the current row,
// the selected row and the selection mark with the entry the user clicked,
// on either side, also when the other list was clicked since.
TEST_F(Focus, CurrentRowKeepsItsEntryThroughASort) {
    const QByteArray six =
        "dan@east.org\r\nbob@west.net\r\neve@north.com\r\namy@south.biz\r\nplain@alpha.info\r\ncarl@zone.fr\r\n";
    constexpr int32_t kClicked = 4;  // plain@alpha.info, selected as the first entry is
    enum Column { kSelection = 0, kUser = 1, kDomain = 2, kInvalid = 3 };
    const auto clickHeader = [&](int32_t slot, int column) {
        QHeaderView* header = List(slot)->horizontalHeader();
        const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                        header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
    };
    // A second click on the same header reverses the order.
    const auto header = [&](Column column, int clicks) {
        return [&clickHeader, column, clicks](int32_t slot) {
            for (int i = 0; i < clicks; ++i) clickHeader(slot, column);
        };
    };
    // The menu of a right click on the clicked entry's row.
    const auto menu = [&](QAction* item) {
        return [this, item](int32_t slot) {
            PopupMenuSeam::Install([item](QMenu*) { return item; });
            QRect bounds;
            ASSERT_TRUE(List(slot)->GetItemRect(kClicked, bounds));
            QWidget* rows = List(slot)->viewport();
            QTest::mouseClick(rows, Qt::RightButton, {}, rows->mapFrom(List(slot), bounds.center()));
        };
    };
    struct Case {
        const char* what;
        std::function<void(int32_t slot)> sort;
        int32_t row;
    } cases[] = {
        {"User", header(kUser, 1), 5},
        {"User twice", header(kUser, 2), 0},
        {"Domain", header(kDomain, 1), 0},
        {"Domain twice", header(kDomain, 2), 5},
        {"selection", header(kSelection, 1), 5},
        {"selection twice", header(kSelection, 2), 1},
        {"menu, user descending", menu(w->M_Popup1SortUserDes), 0},
        {"menu, domain descending", menu(w->M_Popup1SortDomainDes), 5},
    };
    for (const Case& c : cases) {
        for (int32_t slot : {1, 2}) {
            SCOPED_TRACE(testing::Message() << c.what << ", side " << slot);
            const int32_t other = 3 - slot;
            for (int32_t s : {1, 2}) {
                Load(s, six, 6);
                ASSERT_EQ(YRB03(s, 0, YRB_FLAG_SELECTED, 1), 0);
                ASSERT_EQ(YRB03(s, kClicked, YRB_FLAG_SELECTED, 1), 0);
            }
            // No entry is invalid, so this sort keeps the order, and the
            // header clicked next starts ascending.
            clickHeader(slot, kInvalid);
            ClickRow(slot, kClicked);
            ClickRow(other, 1);
            c.sort(slot);
            const OwnerDataListView* list = List(slot);
            ASSERT_EQ(Address(slot, c.row), "plain@alpha.info");
            EXPECT_EQ(FocusedRow(list), c.row);
            EXPECT_EQ(list->GetItemState(c.row, OwnerDataListView::LVIS_SELECTED), OwnerDataListView::LVIS_SELECTED);
            EXPECT_EQ(list->GetSelectionMark(), c.row);
            const QModelIndex current = list->currentIndex();
            EXPECT_EQ(current.row() + list->TopIndex(), c.row);
            EXPECT_TRUE(list->selectionModel()->isSelected(current));
            EXPECT_EQ(current.siblingAtColumn(kUser).data().toString(), "plain");
            EXPECT_EQ(FocusedRow(List(other)), 1);
        }
    }
}

// "Compare" puts both lists in address order: on each side the current row,
// the selected row and the selection mark move with the entry clicked last.
TEST_F(Focus, CurrentRowKeepsItsEntryThroughACompare) {
    // kSix in address order: a@six, b@five, c@four, d@three, e@two, f@one.
    struct Clicked {
        int32_t slot;
        int32_t row;
        const char* address;
        int32_t rowAfter;
    } const clicks[] = {
        {1, 1, "e@two.com", 4},
        {2, 4, "b@five.com", 1},
    };
    for (const Clicked& c : clicks) ClickRow(c.slot, c.row);
    TestHarness::AnswerMessages({MsgBoxButton::Ok});
    w->ComCompare_Click();
    ASSERT_EQ(TestHarness::AskedMessages().last().Title, "List Comparison Completed");
    for (const Clicked& c : clicks) {
        SCOPED_TRACE(testing::Message() << "side " << c.slot);
        const OwnerDataListView* list = List(c.slot);
        ASSERT_EQ(Address(c.slot, c.rowAfter), c.address);
        EXPECT_EQ(FocusedRow(list), c.rowAfter);
        EXPECT_EQ(list->GetItemState(c.rowAfter, OwnerDataListView::LVIS_SELECTED), OwnerDataListView::LVIS_SELECTED);
        EXPECT_EQ(list->GetSelectionMark(), c.rowAfter);
    }
}

// An import over a list whose current row was further down: the new list,
// longer or shorter than that row, starts at its first row, shown from the
// top.
TEST_F(Focus, ImportedListStartsAtItsFirstRow) {
    struct Case {
        const char* what;
        QByteArray lines;
        int32_t entries;
    } const cases[] = {
        {"as long", "z@one.org\r\ny@two.org\r\nx@three.org\r\nw@four.org\r\nv@five.org\r\nu@six.org\r\n", 6},
        {"shorter than the current row", "z@one.org\r\ny@two.org\r\n", 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Load(1, kSix, 6);
        ClickRow(1, 4);
        const QString path = TestHarness::WriteFile(QStringLiteral("new.mal"), c.lines);
        modDialog::InstallChooser([path](const modDialog::FileDialogRequest&) { return QStringList{path}; });
        ListDialogSeam::Install([](QDialog* dialog) {
            auto* d = qobject_cast<FrmStructure*>(dialog);
            ASSERT_NE(d, nullptr);
            d->ComDone->click();
        });
        TestHarness::AnswerMessages({MsgBoxButton::Yes});  // overwrite the list shown
        QTest::mouseClick(w->ComSLImp, Qt::LeftButton);
        const OwnerDataListView* list = List(1);
        ASSERT_EQ(list->ItemCount(), c.entries);
        EXPECT_EQ(FocusedRow(list), 0);
        EXPECT_EQ(list->GetItemState(0, OwnerDataListView::LVIS_SELECTED), OwnerDataListView::LVIS_SELECTED);
        EXPECT_EQ(list->GetSelectionMark(), 0);
        EXPECT_EQ(list->TopIndex(), 0);
    }
}

// Tab from the tab strip walks the enabled controls of "Manage Lists":
// each frame left to right, top to bottom, then back to the tab strip.
TEST_F(Focus, TabReachesEveryEnabledControlInLayoutOrder) {
    YRB03(1, 0, YRB_FLAG_SELECTED, 1);
    YRB03(2, 0, YRB_FLAG_SELECTED, 1);
    Pane(1)->SetAll();
    Pane(2)->SetAll();
    w->SetBothListPerm();
    const QStringList side = {"ComS%1Imp", "ComS%1Save", "ComS%1Find", "ComS%1SelAll", "ComS%1DesAll",
                              "ComS%1InvSel", "Com%1Clear"};
    QStringList expected;
    expected << "left list";
    for (const QString& name : side) expected << name.arg(QLatin1Char('L'));
    expected << "ChkMarkInvLeft" << "ChkMarkDupLeft" << "ChkMarkDelleft";
    expected << "right list";
    for (const QString& name : side) expected << name.arg(QLatin1Char('R'));
    expected << "ChkMarkInvRight" << "ChkMarkDupRight" << "ChkMarkDelRight";
    expected << "OptCmpCom" << "ComCompare" << "ChkMergeSelect" << "ComSMerge" << "qt_tabwidget_tabbar";

    w->SSTab->tabBar()->setFocus(Qt::TabFocusReason);
    QStringList seen;
    for (int i = 0; i < expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        const QWidget* now = QApplication::focusWidget();
        ASSERT_NE(now, nullptr);
        seen << (now == List(1) ? QStringLiteral("left list")
                 : now == List(2) ? QStringLiteral("right list")
                                  : now->objectName());
    }
    EXPECT_EQ(seen, expected);
}

// Space and Enter on the focused button run its command.
TEST_F(Focus, SpaceAndEnterPressTheFocusedButton) {
    struct Case {
        QPushButton* button;
        Qt::Key key;
        int32_t selected;
    } cases[] = {
        {w->ComSLSelAll, Qt::Key_Space, 6}, {w->ComSLDesAll, Qt::Key_Return, 0},
        {w->ComSLInvSel, Qt::Key_Enter, 6}, {w->ComSLInvSel, Qt::Key_Space, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.button->objectName().toStdString() << " key " << c.key);
        ASSERT_TRUE(c.button->isEnabled());
        c.button->setFocus(Qt::TabFocusReason);
        ASSERT_TRUE(c.button->hasFocus());
        QTest::keyClick(c.button, c.key);
        EXPECT_EQ(Selected(1), c.selected);
    }
}

}  // namespace
