// The two engine-bound panes: cell texts and icons read from the engine,
// icon clicks that select or flag an entry, header clicks that sort.
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "FrmMain.h"
#include "ListIcons.h"
#include "ListsCol.h"
#include "MainFixture.h"
#include "OrmidYRB100.h"
#include "OwnerDataListView.h"
#include "RichTextBox.h"
#include "TestHarness.h"
#include "WorkspaceFixture.h"
#include "clsVL2.h"

namespace {

constexpr int32_t kIcon = OwnerDataListView::LVHT_ONITEMICON;
constexpr int32_t kLabel = OwnerDataListView::LVHT_ONITEMLABEL;
constexpr int32_t kStateIcon = OwnerDataListView::LVHT_ONITEMSTATEICON;
constexpr int32_t kSel = YRB_FLAG_SELECTED;
constexpr int32_t kInv = YRB_FLAG_INVALID;
constexpr int32_t kDup = YRB_FLAG_DUPLICATE;
constexpr int32_t kDel = YRB_FLAG_DELETED;

class Panes : public WorkspaceTest {
protected:
    // The icons of a row's seven cells, asked through the pane's event.
    QList<int> Icons(int32_t slot, int32_t row) const {
        QList<int> icons;
        for (int32_t col = 0; col < 7; ++col) {
            int16_t image = 99;
            emit Pane(slot)->ItemImageCallback(row, col, image);
            icons.append(image);
        }
        return icons;
    }
    QString Text(int32_t slot, int32_t row, int32_t col) const {
        QString text;
        emit Pane(slot)->ItemTextCallback(row, col, text);
        return text;
    }
};

constexpr int N = -1;  // no icon

// The icon of every column by the entry's flags, on both sides.
TEST_F(Panes, IconsFollowTheEntrysFlags) {
    struct Case {
        const char* what;
        int32_t flags;
        QList<int> left;
        int compareRight;  // the right pane's column 6
    } cases[] = {
        {"no flag", 0, {0, N, N, 0, 0, 0, N}, N},
        {"selected", kSel, {1, N, N, 0, 0, 0, N}, N},
        {"selected and invalid", kSel | kInv, {2, N, N, 7, 0, 0, N}, N},
        {"duplicate", kDup, {2, N, N, 0, 8, 0, N}, N},
        {"deleted", kDel, {2, N, N, 0, 0, 9, N}, N},
        {"reserved", YRB_FLAG_RESERVED, {2, N, N, 0, 0, 0, N}, N},
        {"every flag", kInv | kDup | kDel, {2, N, N, 7, 8, 9, N}, N},
        {"in both", YRB_FLAG_IN_BOTH, {0, N, N, 0, 0, 0, 3}, 5},
        {"only here", YRB_FLAG_NOT_IN_OTHER, {0, N, N, 0, 0, 0, 4}, 6},
        {"both compare bits", YRB_MASK_COMPARE, {0, N, N, 0, 0, 0, 4}, 6},
        {"work mark", YRB_FLAG_WORK, {0, N, N, 0, 0, 0, N}, N},
    };
    Load(1, "a@b.com\r\n", 1);
    Load(2, "a@b.com\r\n", 1);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (int32_t slot : {1, 2}) {
            ASSERT_EQ(YRB03(slot, 0, 0xFF, 0), 0);
            ASSERT_EQ(YRB03(slot, 0, c.flags, 1), 0);
            QList<int> expected = c.left;
            expected[6] = slot == 1 ? c.left[6] : c.compareRight;
            EXPECT_EQ(Icons(slot, 0), expected) << "slot " << slot;
        }
    }
    EXPECT_EQ(w->TxtErrors->Text(), QString());
}

// A row the engine has no entry for shows no icon at all: not a box, and
// not every flag at once.
TEST_F(Panes, NoEntryShowsNoIcon) {
    Load(1, "a@b.com\r\n", 1);
    EXPECT_EQ(Icons(1, 5), QList<int>({N, N, N, N, N, N, N}));
    EXPECT_EQ(Text(1, 5, 1), QString());
}

TEST_F(Panes, TextsAreTheUserAndDomainParts) {
    const QByteArray longUser = QByteArray(1020, 'u') + QByteArray(10, ' ') + "v";
    Load(2, "alice@example.org\r\n" + longUser + "@x.com\r\n  bob @ host.net  \r\n", 3);
    struct Case {
        int32_t row;
        int32_t col;
        QString text;
    } cases[] = {
        {0, 1, "alice"},
        {0, 2, "example.org"},
        {0, 0, ""},
        {0, 3, ""},
        {0, 6, ""},
        {1, 1, QString(1020, 'u')},  // cut after 1024 bytes, then trimmed
        {1, 2, "x.com"},
        {2, 1, "bob"},
        {2, 2, "host.net"},
        {7, 1, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Text(2, c.row, c.col), c.text) << "row " << c.row << " column " << c.col;
}

// A control character inside an address, kept by a list whose fields are
// not cut at it, shows in the notation the structure preview gives it: a
// TAB as \t, not as blank space.
TEST_F(Panes, ControlCharactersShowInTheSeparatorsNotation) {
    const QString path = TestHarness::WriteFile(QStringLiteral("controls.txt"),
                                                "an\tn@x.com\r\nbo@ho\tst.net\r\ncy\x01@z.org\r\n");
    ASSERT_EQ(YRB13(1, QFile::encodeName(path).constData(), 1, ";", "\r\n"), 3);
    Pane(1)->SetCount(3);
    struct Case {
        int32_t row;
        int32_t col;
        QString text;
    } const cases[] = {
        {0, 1, "an\\tn"},
        {0, 2, "x.com"},
        {1, 2, "ho\\tst.net"},
        {2, 1, "cy^A"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Text(1, c.row, c.col), c.text) << "row " << c.row << " column " << c.col;
}

// Left clicks by where they hit: the selection box toggles the selection of
// an entry that is not removed, a flag box toggles its flag, anything else
// changes nothing.
TEST_F(Panes, ClicksSelectOrFlagTheEntry) {
    struct Case {
        const char* what;
        int16_t button;
        int32_t hit;
        int32_t column;
        int32_t before;
        int32_t after;
        bool setsItem;
    } cases[] = {
        {"select", 1, kIcon, 0, 0, kSel, true},
        {"deselect", 1, kIcon, 0, kSel | YRB_FLAG_IN_BOTH, YRB_FLAG_IN_BOTH, true},
        {"invalid keeps its selection", 1, kIcon, 0, kSel | kInv, kSel | kInv, true},
        {"duplicate is not selected", 1, kIcon, 0, kDup, kDup, true},
        {"deleted is not selected", 1, kIcon, 0, kDel, kDel, true},
        {"icon and label", 1, kIcon | kLabel, 0, 0, 0, false},
        {"icon and state icon", 1, kIcon | kStateIcon, 0, 0, 0, false},
        {"label", 1, kLabel, 1, 0, 0, false},
        {"no row", 1, 0, 0, 0, 0, false},
        {"flag invalid", 1, kIcon, 3, kSel, kSel | kInv, false},
        {"unflag invalid", 1, kIcon, 3, kInv | kDup, kDup, false},
        {"flag duplicate", 1, kIcon, 4, kDel, kDel | kDup, false},
        {"unflag duplicate", 1, kIcon, 4, kDup, 0, false},
        {"flag deleted", 1, kIcon, 5, 0, kDel, false},
        {"unflag deleted", 1, kIcon, 5, kDel | kSel, kSel, false},
        {"comparison icon", 1, kIcon, 6, YRB_FLAG_IN_BOTH, YRB_FLAG_IN_BOTH, false},
        {"text column", 1, kIcon, 2, 0, 0, false},
        {"middle button", 4, kIcon, 0, 0, 0, false},
        {"two buttons", 3, kIcon, 3, 0, 0, false},
    };
    Load(1, "a@b.com\r\nc@d.com\r\n", 2);
    Load(2, "a@b.com\r\nc@d.com\r\n", 2);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (int32_t slot : {1, 2}) {
            ASSERT_EQ(YRB03(slot, 1, 0xFF, 0), 0);
            ASSERT_EQ(YRB03(slot, 1, c.before, 1), 0);
            ASSERT_EQ(YRB03(slot, 0, 0xFF, 0), 0);
            Pane(slot)->Item = -1;
            ThisList.reset();
            if (slot == 1) w->VL_left_MouseDown(c.button, 1, c.column, c.hit);
            else emit w->VL_right->MouseDown(c.button, 1, c.column, c.hit);
            EXPECT_EQ(YRB17(slot, 1, -1), c.after) << "slot " << slot;
            EXPECT_EQ(YRB17(slot, 0, -1), 0) << "slot " << slot;
            EXPECT_EQ(Pane(slot)->Item, c.setsItem ? 1 : -1) << "slot " << slot;
            EXPECT_EQ(ThisList.get(), Pane(slot)) << "slot " << slot;
        }
    }
    EXPECT_EQ(w->TxtErrors->Text(), QString());
}

// Selecting by click updates the side's counts and the buttons that need a
// selection.
TEST_F(Panes, SelectionClickUpdatesTheSide) {
    Load(1, "a@b.com\r\nc@d.com\r\n", 2);
    ASSERT_FALSE(w->ComSLSave->isEnabled());
    w->VL_left_MouseDown(1, 0, 0, kIcon);
    EXPECT_EQ(w->LabSelLeft->text(), "1 selected");
    EXPECT_TRUE(w->ComSLSave->isEnabled());
    w->VL_left_MouseDown(1, 0, 0, kIcon);
    EXPECT_EQ(w->LabSelLeft->text(), "0 selected");
    EXPECT_FALSE(w->ComSLSave->isEnabled());
}

// A click on a row the engine has no entry for changes nothing, not even
// the row the menu's row commands act on.
TEST_F(Panes, ClickWithoutAnEntryChangesNothing) {
    Load(1, "a@b.com\r\n", 1);
    for (int32_t column : {0, 3, 4, 5}) {
        w->VL_left->Item = -1;
        w->VL_left_MouseDown(1, 4, column, kIcon);
        EXPECT_EQ(w->VL_left->Item, -1) << column;
        EXPECT_EQ(YRB17(1, 0, -1), 0) << column;
    }
    EXPECT_EQ(ThisList, w->VL_left);
    EXPECT_EQ(w->TxtErrors->Text(), QString());
}

// A click that arrives once the window has let its pane go changes no entry.
TEST_F(Panes, ClickAfterThePaneIsGoneChangesNothing) {
    Load(1, "a@b.com\r\n", 1);
    const std::shared_ptr<clsVL2> kept = w->VL_left;
    w->VL_left.reset();
    w->VL_left_MouseDown(1, 0, 0, kIcon);
    w->VL_left_MouseDown(1, 0, 3, kIcon);
    EXPECT_EQ(YRB17(1, 0, -1), 0);
    w->VL_left = kept;
}

// A real left click on the selection box of the first row.
TEST_F(Panes, MouseClickOnTheSelectionBox) {
    Load(1, "a@b.com\r\nc@d.com\r\n", 2);
    OwnerDataListView* list = w->VL_left->ListWindow();
    const QRect cell = list->visualRect(list->model()->index(0, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(cell.left() + 8, cell.center().y()));
    EXPECT_EQ(YRB17(1, 0, -1), kSel);
    EXPECT_EQ(ThisList, w->VL_left);
}

constexpr int U = ListIcons::kUnsorted;
constexpr int A = ListIcons::kAscending;
constexpr int D = ListIcons::kDescending;

// Header clicks: a column sorts ascending, again descending, again
// ascending; another column starts ascending.  Each side keeps its own
// state, also across a new list.
TEST_F(Panes, HeaderClicksSortAndReverse) {
    const QByteArray lines = "b@mid.com\r\nc@abc.com\r\na@zed.com\r\n";
    Load(1, lines, 3);
    Load(2, lines, 3);
    struct Click {
        int32_t slot;
        int32_t column;
        QList<int> headers;
        const char* first;
        int16_t last;
        int32_t next;
    } clicks[] = {
        {1, 2, {U, U, A, N, N, N, N}, "c@abc.com", 2, 1},
        {1, 2, {U, U, D, N, N, N, N}, "a@zed.com", 2, 0},
        {1, 2, {U, U, A, N, N, N, N}, "c@abc.com", 2, 1},
        {1, 1, {U, A, U, N, N, N, N}, "a@zed.com", 1, 1},
        {2, 1, {U, A, U, N, N, N, N}, "a@zed.com", 1, 1},
        {1, 1, {U, D, U, N, N, N, N}, "c@abc.com", 1, 0},
        {2, 2, {U, U, A, N, N, N, N}, "c@abc.com", 2, 1},
        {2, 0, {A, U, U, N, N, N, N}, nullptr, 0, 1},
        {2, 3, {U, U, U, N, N, N, N}, nullptr, 3, 1},
        {2, 3, {U, U, U, N, N, N, N}, nullptr, 3, 0},
    };
    int n = 0;
    for (const Click& c : clicks) {
        SCOPED_TRACE(testing::Message() << "click " << n++);
        ThisList.reset();
        emit Pane(c.slot)->ColumnClick(c.column);
        EXPECT_EQ(Headers(c.slot), c.headers);
        if (c.first) {
            EXPECT_EQ(Address(c.slot, 0), c.first);
        }
        const FrmMain::WorkspaceSide side = w->Side(c.slot);
        EXPECT_EQ(side.sort->LastSortColumn, c.last);
        EXPECT_EQ(side.sort->NextSortOrder, c.next);
        EXPECT_EQ(ThisList.get(), Pane(c.slot));
    }
    // A new list on the left: its state goes on where it was.
    YRB20(1);
    Load(1, lines, 3);
    w->VL_left_ColumnClick(1);
    EXPECT_EQ(Address(1, 0), "a@zed.com");
    EXPECT_EQ(w->Side(1).sort->NextSortOrder, 1);
    EXPECT_EQ(w->TxtErrors->Text(), QString());
}

// A real click on the "Domain" header.
TEST_F(Panes, MouseClickOnAHeader) {
    Load(1, "b@mid.com\r\nc@abc.com\r\na@zed.com\r\n", 3);
    QHeaderView* header = w->VL_left->ListWindow()->horizontalHeader();
    const QPoint at(header->sectionViewportPosition(2) + header->sectionSize(2) / 2, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
    EXPECT_EQ(Address(1, 0), "c@abc.com");
    EXPECT_EQ(Headers(1), QList<int>({U, U, A, N, N, N, N}));
}

// A side without a list: no sort, no image, no state, and ThisList stays.
TEST_F(Panes, HeaderClickOnAnEmptySideDoesNothing) {
    ThisList = w->VL_left;
    const QList<int> before = Headers(2);
    for (int32_t column : {0, 1, 2, 3}) {
        emit w->VL_right->ColumnClick(column);
        EXPECT_EQ(ThisList, w->VL_left);
        EXPECT_EQ(Headers(2), before);
        EXPECT_EQ(w->Side(2).sort->LastSortColumn, 0);
        EXPECT_EQ(w->Side(2).sort->NextSortOrder, 0);
    }
    EXPECT_EQ(w->TxtErrors->Text(), QString());
}

}  // namespace
