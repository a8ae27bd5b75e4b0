// The criteria editor, driven offscreen: sets and keywords, the keyword
// list's cells, clicks, keys and column menu, the logic panel, saving and
// closing with the questions answered through the message-box seam.
#include "FrmCriteria.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "../services/ServiceTestSupport.h"
#include "ControlGeometry.h"
#include "CriteriaIcons.h"
#include "CriteriaTestSupport.h"
#include "FileSizeLimit.h"
#include "FrmName.h"
#include "ListDialogSeam.h"
#include "OwnerDataListView.h"
#include "OwnerEnabler.h"
#include "PanelStatusBar.h"
#include "PopupMenuSeam.h"
#include "RulesFile.h"
#include "StatusPanel.h"
#include "TestHarness.h"
#include "Twips.h"
#include "clsVirtualListview.h"

using namespace CriteriaTest;

namespace {

constexpr int32_t kIcon = OwnerDataListView::LVHT_ONITEMICON;
constexpr int32_t kLabel = OwnerDataListView::LVHT_ONITEMLABEL;
constexpr int16_t AND = clsOperator::kAnd;
constexpr int16_t OR = clsOperator::kOr;
constexpr int kYes = MsgBoxButton::Yes;
constexpr int kNo = MsgBoxButton::No;
constexpr int kOk = MsgBoxButton::Ok;
constexpr int kClosed = 0;   // the box closed without a button
constexpr int kFailed = -1;  // the box failed or closed itself

class Editor : public ::testing::Test {
protected:
    void SetUp() override { new QLineEdit(&owner); }
    void TearDown() override {
        editor.reset();
        Rules.reset();
        ListDialogSeam::Install(nullptr);
    }

    void Open(RuleCollection sets, int16_t ruleIdx) {
        Rules = std::make_shared<RuleCollection>(std::move(sets));
        editor = std::make_unique<FrmCriteria>(&owner);
        editor->Form_Load();
        editor->OwnerForm = &owner;
        editor->Initialize(ruleIdx);
        editor->show();
    }
    clsVirtualListview* List() const { return editor->VL_cri.get(); }
    // The keyword texts in row order.
    QStringList Rows() const {
        QStringList rows;
        for (int32_t r = 0; r < List()->GetCnt(); ++r) {
            QString text;
            emit List()->ItemTextCallback(r, 2, text);
            rows << text;
        }
        return rows;
    }
    // The rows' ticks as "1" and "0".
    QString Ticks() const {
        QString t;
        for (int32_t r = 1; r <= List()->GetCnt(); ++r) t += List()->GetCheckState(r) ? '1' : '0';
        return t;
    }
    int Image(int32_t row, int32_t col) const {
        int16_t image = 99;
        emit List()->ItemImageCallback(row, col, image);
        return image;
    }
    int HeaderIcon(int32_t col) const { return List()->ListWindow()->HeaderItemImage(col); }
    void Header(int32_t col) { emit List()->ColumnClick(col); }
    void Click(int32_t row, int32_t col, int32_t hit = kIcon, int16_t button = 1) {
        emit List()->MouseDown(button, row, col, hit);
    }
    const clsRule& Set1() const { return *Rules->at(0); }
    // A real left click on a cell: its image or its text.
    void ClickCell(int32_t row, int32_t col, bool onImage) {
        OwnerDataListView* list = List()->ListWindow();
        QRect bounds;
        ASSERT_TRUE(list->GetItemRect(row, bounds));
        const int left = list->viewport()->geometry().left() + list->horizontalHeader()->sectionViewportPosition(col);
        const QPoint pt(left + (onImage ? 4 : list->horizontalHeader()->sectionSize(col) / 2), bounds.center().y());
        int32_t item = -1, sub = -1, flags = 0;
        ASSERT_TRUE(List()->HitTest(pt.x(), pt.y(), item, sub, flags));
        ASSERT_EQ(item, row);
        ASSERT_EQ(sub, col);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->viewport()->mapFrom(list, pt));
    }
    QStringList Asked() const {
        QStringList titles;
        for (const MsgBoxRequest& r : TestHarness::AskedMessages()) titles << r.Title;
        return titles;
    }

    QWidget owner;
    std::unique_ptr<FrmCriteria> editor;
    ServiceTest::Console console;
};

RuleCollection ThreeSets() {
    return {Set("First", {Kw("a", "H")}), Set("Second", {Kw("zeta", "S"), Kw("alpha", "C", "W")}, OR, AND, true),
            Set("Third", {})};
}

TEST_F(Editor, OpenedWithNoSetChosen) {
    Open(ThreeSets(), 0);
    EXPECT_EQ(editor->windowTitle(), "Message Selection Criteria");
    EXPECT_FALSE(OwnerEnabler::IsEnabled(&owner));
    EXPECT_EQ(editor->CboRules->count(), 3);
    EXPECT_EQ(editor->CboRules->currentIndex(), -1);
    EXPECT_EQ(List()->GetCnt(), 0);
    EXPECT_EQ(editor->LabKeyCnt->text(), "0 object(s)");
    EXPECT_EQ(editor->LabCondition->text(), "");
    for (QWidget* w :
         std::initializer_list<QWidget*>{editor->LabHeader, editor->LabContent, editor->LabSubject, editor->CboOP1,
                                         editor->CboOP2, editor->OptPrec1, editor->OptPrec2})
        EXPECT_FALSE(w->isVisible()) << w->objectName().toStdString();
    for (QPushButton* b : {editor->ComRuleDel, editor->ComAdd, editor->ComUpdate, editor->ComRemove, editor->ComInvSel,
                           editor->ComDesAll})
        EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();
    EXPECT_TRUE(editor->ComRuleAdd->isEnabled());
    // Closing without a change asks nothing and gives the owner back.
    editor->close();
    EXPECT_FALSE(editor->isVisible());
    EXPECT_TRUE(TestHarness::AskedMessages().isEmpty());
    EXPECT_TRUE(OwnerEnabler::IsEnabled(&owner));
    EXPECT_TRUE(console.Empty());
}

TEST_F(Editor, OpenedOnTheSecondSet) {
    Open(ThreeSets(), 2);
    EXPECT_EQ(editor->CboRules->currentIndex(), 1);
    EXPECT_EQ(editor->CurRule, Rules->at(1));
    EXPECT_EQ(Rows(), QStringList({"zeta", "alpha"}));
    EXPECT_EQ(Ticks(), "00");
    EXPECT_EQ(editor->CboOP1->currentText(), "OR");
    EXPECT_EQ(editor->CboOP2->currentText(), "AND");
    EXPECT_EQ(editor->LabKeyCnt->text(), "2 object(s)");
    EXPECT_EQ(editor->LabKeySel->text(), "0 selected");
    for (QPushButton* b : {editor->ComRuleDel, editor->ComAdd, editor->ComUpdate, editor->ComInvSel, editor->ComSelAll})
        EXPECT_TRUE(b->isEnabled()) << b->objectName().toStdString();
    EXPECT_FALSE(editor->ComRemove->isEnabled());
    // Only the body and the subject are searched: two lines, one combo.
    EXPECT_FALSE(editor->LabHeader->isVisible());
    EXPECT_EQ(editor->LabCondition->text(), "Content AND Subject");
    EXPECT_FALSE(editor->IsModified);
}

// The cells: the keyword's text in column 2, an image per flag elsewhere.
TEST_F(Editor, CellsShowTheKeywordsFlags) {
    Open({Set("S", {Kw("urgent", "HS", "C"), Kw("off", "C", "W", false)})}, 1);
    using namespace CriteriaIcons;
    const QList<int> first = {kUnticked, kInUse, -1, kHeader, kUnticked, kSubject, kUnticked, kCaseSensitive};
    const QList<int> second = {kUnticked, kNotInUse, -1, kUnticked, kContent, kUnticked, kWholeWord, kUnticked};
    for (int32_t col = 0; col < 8; ++col) {
        EXPECT_EQ(Image(0, col), first[col]) << col;
        EXPECT_EQ(Image(1, col), second[col]) << col;
    }
    QString text = "x";
    emit List()->ItemTextCallback(0, 3, text);
    EXPECT_EQ(text, "x") << "only the keyword column has a text";
    List()->SetCheckState(2, true);
    EXPECT_EQ(Image(1, 0), kTicked);
    EXPECT_EQ(Image(5, 3), -1) << "no row, no image";
}

struct LayoutCase {
    const char* what;
    std::vector<std::shared_ptr<clsKeyword>> keywords;
    bool isFirst;
    const char* shown;  // LabHeader, LabContent, LabSubject, CboOP1, CboOP2, options: a letter or '-'
    QList<int> tops;    // of LabHeader, LabContent, LabSubject, CboOP1, CboOP2 when shown, -1 hidden
    QString condition;
};

// The eight layouts, OP1 AND and OP2 OR.
TEST_F(Editor, LogicPanelLayouts) {
    const LayoutCase cases[] = {
        {"all three, precedence",
         {Kw("k", "HCS")},
         true,
         "HCS12P",
         {720, 1560, 2400, 1200, 2040},
         "(Header AND Content) OR Subject "},
        {"all three",
         {Kw("a", "H"), Kw("b", "C"), Kw("c", "S")},
         false,
         "HCS12P",
         {720, 1560, 2400, 1200, 2040},
         "Header AND (Content OR Subject)"},
        {"header and body", {Kw("k", "HC")}, false, "HC-1--", {720, 1560, -1, 1200, -1}, "Header AND Content"},
        {"header and subject", {Kw("k", "HS")}, false, "H-S1--", {720, -1, 1560, 1200, -1}, "Header AND Subject "},
        // Joined by OP2 when IsFirst: its combo is the one shown.
        {"header and subject, precedence",
         {Kw("k", "HS")},
         true,
         "H-S-2-",
         {720, -1, 1560, -1, 1200},
         "Header OR Subject "},
        {"header", {Kw("k", "H")}, false, "H-----", {720, -1, -1, -1, -1}, "Header"},
        {"body and subject", {Kw("k", "CS")}, true, "-CS-2-", {-1, 720, 1560, -1, 1200}, "Content OR Subject"},
        {"body", {Kw("k", "C")}, false, "-C----", {-1, 720, -1, -1, -1}, "Content"},
        {"subject", {Kw("k", "S"), Kw("h", "HC", "", false)}, false, "--S---", {-1, -1, 720, -1, -1}, "Subject"},
        {"nothing in use", {Kw("k", "HCS", "", false), Kw("n", "")}, false, "------", {-1, -1, -1, -1, -1}, ""},
    };
    for (const LayoutCase& c : cases) {
        SCOPED_TRACE(c.what);
        Open({Set("S", c.keywords, AND, OR, c.isFirst)}, 1);
        QWidget* const controls[] = {editor->LabHeader, editor->LabContent, editor->LabSubject, editor->CboOP1,
                                     editor->CboOP2};
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(controls[i]->isVisible(), c.shown[i] != '-') << i;
            if (c.tops[i] >= 0) {
                EXPECT_EQ(ControlGeometry::Top(controls[i]), c.tops[i]) << i;
            }
        }
        EXPECT_EQ(editor->OptPrec1->isVisible(), c.shown[5] == 'P');
        EXPECT_EQ(editor->OptPrec2->isVisible(), c.shown[5] == 'P');
        EXPECT_EQ(editor->OptPrec1->isChecked(), c.isFirst);
        EXPECT_EQ(editor->LabCondition->text(), c.condition);
        EXPECT_FALSE(editor->IsModified);
        editor->close();
    }
}

// The user's choices go into the set at once and count as changes.
TEST_F(Editor, OperatorsAndPrecedenceGoIntoTheSet) {
    Open({Set("S", {Kw("k", "HCS")}, AND, OR, true)}, 1);
    editor->OptPrec2->click();
    EXPECT_FALSE(Set1().IsFirst);
    EXPECT_EQ(editor->LabCondition->text(), "Header AND (Content OR Subject)");
    EXPECT_TRUE(editor->IsModified);
    editor->CboOP1->setCurrentIndex(1);
    EXPECT_EQ(Set1().OP1, OR);
    EXPECT_EQ(editor->LabCondition->text(), "Header OR (Content OR Subject)");
    editor->CboOP2->setCurrentIndex(0);
    EXPECT_EQ(Set1().OP2, AND);
    editor->OptPrec1->click();
    EXPECT_TRUE(Set1().IsFirst);
    EXPECT_EQ(editor->LabCondition->text(), "(Header OR Content) AND Subject ");
    // With header and subject only, the combo shown is the operator applied.
    Click(0, 4);
    ASSERT_TRUE(editor->CboOP2->isVisible());
    ASSERT_FALSE(editor->CboOP1->isVisible());
    editor->CboOP2->setCurrentIndex(1);
    EXPECT_EQ(Set1().OP2, OR);
    EXPECT_EQ(editor->LabCondition->text(), "Header OR Subject ");
    clsMail m = Mail("k", "", "-");
    ASSERT_TRUE(Rules->at(0)->Initialize());
    EXPECT_TRUE(Rules->at(0)->Evaluate(&m)) << "header OR subject";
    // The body back: both combos again, each with the set's operator.
    Click(0, 4);
    EXPECT_EQ(editor->CboOP1->currentText(), "OR");
    EXPECT_EQ(editor->CboOP2->currentText(), "OR");
    EXPECT_TRUE(editor->OptPrec1->isVisible());
    EXPECT_TRUE(console.Empty());
}

// Header clicks: Keyword ascending then descending, the tick column
// unticked first; arrows down for ascending, up for descending.
TEST_F(Editor, HeaderSortsAndArrows) {
    Open({Set("S", {Kw("Banana", "H"), Kw("cherry", "H"), Kw("apple", "H")})}, 1);
    EXPECT_EQ(HeaderIcon(0), CriteriaIcons::kUnsorted);
    EXPECT_EQ(HeaderIcon(2), CriteriaIcons::kUnsorted);
    EXPECT_EQ(HeaderIcon(1), -1);
    List()->SetCheckState(1, true);  // Banana
    struct Step {
        int32_t column;
        QStringList rows;
        QString ticks;
        int icon0, icon2;
    } steps[] = {
        {2, {"apple", "Banana", "cherry"}, "010", 0, 1}, {2, {"cherry", "Banana", "apple"}, "010", 0, 2},
        {0, {"cherry", "apple", "Banana"}, "001", 1, 0}, {0, {"Banana", "cherry", "apple"}, "100", 2, 0},
        {2, {"apple", "Banana", "cherry"}, "010", 0, 1},
    };
    for (const Step& s : steps) {
        Header(s.column);
        const QStringList rows = Rows();
        EXPECT_EQ(rows[0], s.rows[0]) << s.column;
        if (s.column == 2) {
            EXPECT_EQ(rows, s.rows);
        }
        EXPECT_EQ(Ticks(), s.ticks);
        EXPECT_EQ(HeaderIcon(0), s.icon0);
        EXPECT_EQ(HeaderIcon(2), s.icon2);
        EXPECT_TRUE(OwnerEnabler::IsEnabled(editor.get()));
    }
    // The stored order is untouched by sorting, and so is IsModified.
    EXPECT_EQ(Set1().Keywords->at(0)->Value, "Banana");
    EXPECT_FALSE(editor->IsModified);
}

// One quick click on a header sorts while the keyword box has the focus,
// and the list keeps the focus it takes.
TEST_F(Editor, OneHeaderClickSorts) {
    Open({Set("S", {Kw("Banana", "H"), Kw("cherry", "H"), Kw("apple", "H")})}, 1);
    editor->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(editor.get()));
    const QStringList ascending = {"apple", "Banana", "cherry"};
    const QStringList descending = {"cherry", "Banana", "apple"};
    editor->TxtKeyword->setFocus();
    for (const QStringList& rows : {ascending, descending, ascending}) {
        TestHarness::QuickHeaderClick(List()->ListWindow(), 2);
        EXPECT_EQ(Rows(), rows);
        EXPECT_EQ(QApplication::focusWidget(), List()->ListWindow());
    }
}

TEST_F(Editor, OneKeywordNeitherSortsNorOpensTheMenu) {
    Open({Set("S", {Kw("b", "H")})}, 1);
    for (int32_t col : {0, 2, 4}) Header(col);  // the harness fails on any menu
    EXPECT_EQ(HeaderIcon(2), CriteriaIcons::kUnsorted);
}

struct MenuCase {
    const char* what;
    int32_t column;
    QAction* FrmCriteria::*item;
    QString flagsBefore;  // the column's flag per keyword
    QString flagsAfter;
    QString condition;
};

TEST_F(Editor, ColumnMenuFlags) {
    const MenuCase cases[] = {
        {"Set All on Co", 4, &FrmCriteria::M_PopupSetAll, "10", "11", "Header AND Content"},
        {"Reset All on He", 3, &FrmCriteria::M_PopupResAll, "11", "00", "Content"},
        {"Invert All on Su", 5, &FrmCriteria::M_PopupInvAll, "10", "01", "Header AND Content AND Subject"},
        {"Set All on Wo", 6, &FrmCriteria::M_PopupSetAll, "00", "11", "Header AND Content"},
        {"Reset All on the use column", 1, &FrmCriteria::M_PopupResAll, "11", "00", ""},
    };
    for (const MenuCase& c : cases) {
        SCOPED_TRACE(c.what);
        auto a = Kw("a", "HC"), b = Kw("b", "H");
        bool clsKeyword::*flag = c.column == 1   ? &clsKeyword::DoUse
                                 : c.column == 3 ? &clsKeyword::DoHea
                                 : c.column == 4 ? &clsKeyword::DoCon
                                 : c.column == 5 ? &clsKeyword::DoSub
                                                 : &clsKeyword::DoWrd;
        (*a).*flag = c.flagsBefore[0] == '1';
        (*b).*flag = c.flagsBefore[1] == '1';
        Open({Set("S", {a, b})}, 1);
        PopupMenuSeam::Install([&](QMenu* menu) {
            EXPECT_EQ(menu, editor->M_Popup);
            return editor.get()->*c.item;
        });
        Header(c.column);
        EXPECT_EQ(editor->PopupCol, c.column);
        EXPECT_EQ(QString("%1%2").arg((*a).*flag ? 1 : 0).arg((*b).*flag ? 1 : 0), c.flagsAfter);
        EXPECT_EQ(editor->LabCondition->text().replace("(", "").replace(")", "").trimmed(), c.condition);
        EXPECT_TRUE(editor->IsModified);
        editor->IsModified = false;
        editor->close();
    }
}

// "Sort" puts the keywords with the flag on first, shows no arrow and leaves
// the header clicks' direction alone.
TEST_F(Editor, ColumnMenuSort) {
    Open({Set("S", {Kw("b", "H", "", false), Kw("c", "H"), Kw("a", "H", "", false)})}, 1);
    PopupMenuSeam::Install([&](QMenu*) { return editor->M_PopupSort; });
    Header(1);
    EXPECT_EQ(Rows()[0], "c");
    for (int32_t col = 0; col < 8; ++col)
        EXPECT_EQ(HeaderIcon(col), col == 0 || col == 2 ? CriteriaIcons::kUnsorted : -1) << col;
    EXPECT_FALSE(editor->IsModified);
    Header(2);
    EXPECT_EQ(Rows(), QStringList({"a", "b", "c"}));
    Header(1);  // the menu again
    Header(2);
    EXPECT_EQ(Rows(), QStringList({"c", "b", "a"})) << "descending: the menu kept the direction";
}

struct ImageClickCase {
    const char* what;
    int16_t button;
    int32_t row, column, hit;
    QString flags;  // the row-0 keyword's DoUse DoHea DoCon DoSub DoWrd DoCas after
    QString ticks;
    QString box;
    bool modified;
    QString condition;
};

TEST_F(Editor, ClicksOnTheList) {
    const ImageClickCase cases[] = {
        {"tick", 1, 0, 0, kIcon, "110000", "10", "a", true, "Header AND Subject "},
        {"use off", 1, 0, 1, kIcon, "010000", "00", "a", true, "Subject"},
        {"header off", 1, 0, 3, kIcon, "100000", "00", "a", true, "Subject"},
        {"content on", 1, 0, 4, kIcon, "111000", "00", "a", true, "Header AND (Content AND Subject)"},
        {"subject on", 1, 0, 5, kIcon, "110100", "00", "a", true, "Header AND Subject "},
        {"whole word on, panel unchanged", 1, 0, 6, kIcon, "110010", "00", "a", true, "Header AND Subject "},
        {"case on", 1, 0, 7, kIcon, "110001", "00", "a", true, "Header AND Subject "},
        {"keyword text only copied", 1, 0, 2, kLabel, "110000", "00", "a", false, "Header AND Subject "},
        {"keyword column image", 1, 0, 2, kIcon, "110000", "00", "a", true, "Header AND Subject "},
        {"label of a flag", 1, 0, 3, kLabel, "110000", "00", "a", false, "Header AND Subject "},
        {"image and label", 1, 0, 3, kIcon | kLabel, "110000", "00", "a", false, "Header AND Subject "},
        {"second row", 1, 1, 0, kIcon, "110000", "01", "b", true, "Header AND Subject "},
        {"right button", 2, 0, 3, kIcon, "110000", "00", "", false, "Header AND Subject "},
        {"below the last row", 1, 5, 3, kIcon, "110000", "00", "", false, "Header AND Subject "},
        {"off the rows", 1, -1, 3, kIcon, "110000", "00", "", false, "Header AND Subject "},
    };
    for (const ImageClickCase& c : cases) {
        SCOPED_TRACE(c.what);
        Open({Set("S", {Kw("a", "H"), Kw("b", "S")})}, 1);
        ASSERT_EQ(editor->LabCondition->text(), "Header AND Subject ");
        Click(c.row, c.column, c.hit, c.button);
        const clsKeyword& k = *Set1().Keywords->at(0);
        const QString flags = QString::number(k.DoUse) + QString::number(k.DoHea) + QString::number(k.DoCon) +
                              QString::number(k.DoSub) + QString::number(k.DoWrd) + QString::number(k.DoCas);
        EXPECT_EQ(flags, c.flags);
        EXPECT_EQ(Ticks(), c.ticks);
        EXPECT_EQ(editor->TxtKeyword->text(), c.box);
        EXPECT_EQ(editor->IsModified, c.modified);
        EXPECT_EQ(editor->LabCondition->text(), c.condition);
        editor->IsModified = false;
        editor->close();
    }
}

// Through the real list: a click on an image switches, one on the text copies.
TEST_F(Editor, RealClicksReachTheHandlers) {
    Open({Set("S", {Kw("first", "H"), Kw("second", "S")})}, 1);
    ClickCell(1, 6, true);
    EXPECT_TRUE(Set1().Keywords->at(1)->DoWrd);
    EXPECT_EQ(editor->TxtKeyword->text(), "second");
    ClickCell(0, 2, false);
    EXPECT_EQ(editor->TxtKeyword->text(), "first");
    EXPECT_EQ(editor->LabKeySel->text(), "0 selected");
    ClickCell(0, 0, true);
    EXPECT_EQ(Ticks(), "10");
    EXPECT_EQ(editor->LabKeySel->text(), "1 selected");
    EXPECT_TRUE(editor->ComRemove->isEnabled());
    // Up and Down copy the keyword of the row they reach; Left and Right do not.
    QTest::keyClick(List()->ListWindow(), Qt::Key_Down);
    EXPECT_EQ(editor->TxtKeyword->text(), "second");
    editor->TxtKeyword->setText("typed");
    QTest::keyClick(List()->ListWindow(), Qt::Key_Right);
    EXPECT_EQ(editor->TxtKeyword->text(), "typed");
    QTest::keyClick(List()->ListWindow(), Qt::Key_Up);
    EXPECT_EQ(editor->TxtKeyword->text(), "first");
    editor->IsModified = false;
}

TEST_F(Editor, CtrlKeysTickRowsWithoutAChange) {
    Open({Set("S", {Kw("a", "H"), Kw("b", "H"), Kw("c", "H")})}, 1);
    List()->SetCheckState(2, true);
    struct Case {
        int16_t key;
        bool ctrl;
        QString ticks;
    } cases[] = {{'I', true, "101"}, {'S', true, "111"}, {'D', true, "000"}, {'S', false, "000"}, {'X', true, "000"}};
    for (const Case& c : cases) {
        emit List()->KeyDown(c.key, c.ctrl, false, false);
        EXPECT_EQ(Ticks(), c.ticks) << char(c.key);
    }
    emit List()->KeyDown('I', true, true, true);  // Shift and Alt not looked at
    EXPECT_EQ(Ticks(), "111");
    EXPECT_EQ(editor->LabKeySel->text(), "3 selected");
    EXPECT_FALSE(editor->ComSelAll->isEnabled());
    EXPECT_FALSE(editor->IsModified);
}

TEST_F(Editor, HintsAndTips) {
    Open({Set("S", {Kw("urgent", "H")})}, 1);
    const QString texts[] = {"",
                             "Do search for the keyword 'urgent'",
                             "",
                             "Search for 'urgent' in mail(s) header",
                             "Search for 'urgent' in mail(s) content",
                             "Search for 'urgent' in mail(s) subject",
                             "Search mail(s) for 'urgent' exact keyword (whole word)",
                             "Search for 'urgent' is case sensitive"};
    StatusPanel* panel = editor->StatusBar->Panel(1);
    for (int32_t col = 0; col < 8; ++col) {
        QString tip = "x";
        emit List()->ToolTip(0, col, tip);
        EXPECT_EQ(tip, texts[col]) << col;
        panel->SetText("before");
        emit List()->MouseMove(0, 0, col, kIcon);
        EXPECT_EQ(panel->Text(), texts[col]) << col;
    }
    // Off a row's cells the panel keeps its text.
    panel->SetText("kept");
    emit List()->MouseMove(0, 0, 7, 0);
    emit List()->MouseMove(0, 3, 7, kIcon);
    EXPECT_EQ(panel->Text(), "kept");
    QString tip = "x";
    emit List()->ToolTip(3, 3, tip);
    EXPECT_EQ(tip, "");
}

// "Add to list": refusals, then a keyword in use everywhere.
TEST_F(Editor, AddToList) {
    Open({Set("S", {})}, 1);
    EXPECT_FALSE(editor->ComUpdate->isEnabled());
    struct Refusal {
        QString typed;
        QString message;
    } refusals[] = {
        {"", "A Keyword must be specified"},
        {"   ", "A Keyword must be specified"},
        {"a|b", "A keyword cannot contain '|', ';' or a line break"},
        {"a;b", "A keyword cannot contain '|', ';' or a line break"},
    };
    for (const Refusal& r : refusals) {
        editor->TxtKeyword->setText(r.typed);
        TestHarness::AnswerMessages({kOk});
        editor->ComAdd->click();
        ASSERT_FALSE(TestHarness::AskedMessages().isEmpty());
        EXPECT_EQ(TestHarness::AskedMessages().last().Title, "Invalid Keyword");
        EXPECT_EQ(TestHarness::AskedMessages().last().message, r.message);
        EXPECT_EQ(editor->TxtKeyword->text(), r.typed);
    }
    EXPECT_TRUE(Set1().Keywords->empty());
    EXPECT_FALSE(editor->IsModified);
    editor->TxtKeyword->setText(" pay ");
    editor->ComAdd->click();
    editor->TxtKeyword->setText("pay");
    editor->ComAdd->click();  // equal keywords may stand side by side
    ASSERT_EQ(Set1().Keywords->size(), 2u);
    const clsKeyword& k = *Set1().Keywords->at(0);
    EXPECT_EQ(k.Value, " pay ");
    EXPECT_TRUE(k.DoUse && k.DoHea && k.DoCon && k.DoSub && k.DoWrd && k.DoCas);
    EXPECT_EQ(Rows(), QStringList({" pay ", "pay"}));
    EXPECT_EQ(editor->LabKeyCnt->text(), "2 object(s)");
    EXPECT_TRUE(editor->ComUpdate->isEnabled());
    EXPECT_TRUE(editor->ComInvSel->isEnabled());
    EXPECT_EQ(editor->TxtKeyword->text(), "");
    EXPECT_EQ(editor->LabCondition->text(), "Header AND (Content AND Subject)");
    EXPECT_TRUE(editor->IsModified);
}

// "Update" without a marked row asks whether to create; only a pressed Yes does.
TEST_F(Editor, UpdateWithoutAMarkedRow) {
    struct Case {
        const char* what;
        QString typed;
        QList<int> answers;
        QStringList asked;
        QStringList rows;
    } cases[] = {
        {"yes", "new", {kYes}, {"Create a new Keyword"}, {"old", "new"}},
        {"yes with an empty box", "", {kYes, kOk}, {"Create a new Keyword", "Invalid Keyword"}, {"old"}},
        {"no", "new", {kNo}, {"Create a new Keyword"}, {"old"}},
        {"closed", "new", {kClosed}, {"Create a new Keyword"}, {"old"}},
        {"failed", "new", {kFailed}, {"Create a new Keyword"}, {"old"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Open({Set("S", {Kw("old", "H")})}, 1);
        TestHarness::AnswerMessages(c.answers);
        const qsizetype before = TestHarness::AskedMessages().size();
        editor->TxtKeyword->setText(c.typed);
        editor->ComUpdate->click();
        EXPECT_EQ(Asked().mid(before), c.asked);
        EXPECT_EQ(Rows(), c.rows);
        const bool refused = c.answers.size() > 1;
        EXPECT_EQ(editor->TxtKeyword->text(), refused ? c.typed : QString());
        EXPECT_EQ(editor->IsModified, !refused);
        editor->IsModified = false;
        editor->close();
    }
}

TEST_F(Editor, UpdateReplacesTheMarkedKeywordsText) {
    Open({Set("S", {Kw("b", "H", "W"), Kw("a", "S")})}, 1);
    Header(2);  // a, b
    List()->SetCheckState(1, true);
    ClickCell(1, 2, false);  // b
    EXPECT_EQ(editor->TxtKeyword->text(), "b");
    editor->TxtKeyword->setText("beta");
    editor->ComUpdate->click();
    const clsKeyword& k = *Set1().Keywords->at(0);
    EXPECT_EQ(k.Value, "beta");
    EXPECT_TRUE(k.DoWrd && k.DoHea && !k.DoSub);
    EXPECT_EQ(Rows(), QStringList({"beta", "a"})) << "back in keyword order";
    EXPECT_EQ(Ticks(), "00");
    EXPECT_EQ(editor->TxtKeyword->text(), "");
    EXPECT_TRUE(editor->IsModified);
    EXPECT_TRUE(TestHarness::AskedMessages().isEmpty());
}

// "Remove" takes the ticked rows' keywords, whatever order the list shows.
TEST_F(Editor, RemoveTheTickedKeywords) {
    struct Case {
        const char* what;
        int answer;
        QStringList left;
        bool modified;
    } cases[] = {
        {"yes", kYes, {"c", "a"}, true},
        {"no", kNo, {"c", "b", "a", "d"}, false},
        {"closed", kClosed, {"c", "b", "a", "d"}, false},
        {"failed", kFailed, {"c", "b", "a", "d"}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Open({Set("S", {Kw("c", "H"), Kw("b", "H"), Kw("a", "C"), Kw("d", "S")})}, 1);
        Header(2);                       // a b c d
        List()->SetCheckState(2, true);  // b
        List()->SetCheckState(4, true);  // d
        List()->SetAll();
        TestHarness::AnswerMessages({c.answer});
        editor->ComRemove->click();
        const MsgBoxRequest& r = TestHarness::AskedMessages().last();
        EXPECT_EQ(r.Title, "Delete Selected Keywords");
        EXPECT_EQ(r.Focus, kNo);
        QStringList left;
        for (const auto& k : *Set1().Keywords) left << k->Value;
        EXPECT_EQ(left, c.left);
        EXPECT_EQ(editor->IsModified, c.modified);
        if (c.modified) {
            EXPECT_EQ(Rows(), c.left);
            EXPECT_EQ(editor->LabCondition->text(), "Header AND Content");
        }
        editor->IsModified = false;
        editor->close();
    }
}

TEST_F(Editor, SelectionButtonsCountAsChanges) {
    Open({Set("S", {Kw("a", "H"), Kw("b", "H")})}, 1);
    editor->ComSelAll->click();
    EXPECT_EQ(Ticks(), "11");
    EXPECT_TRUE(editor->IsModified);
    editor->ComInvSel->click();
    EXPECT_EQ(Ticks(), "00");
    Click(0, 0);
    EXPECT_TRUE(editor->ComDesAll->isEnabled());
    editor->IsModified = false;
    editor->ComDesAll->click();
    EXPECT_EQ(Ticks(), "00");
    EXPECT_TRUE(editor->IsModified);
    TestHarness::AnswerMessages({kNo});
    editor->close();
    EXPECT_EQ(Asked(), QStringList({"Save Changes ?"}));
}

// Another set chosen: the left set keeps the order its list showed.
TEST_F(Editor, ChoosingAnotherSetKeepsTheShownOrder) {
    Open({Set("One", {Kw("b", "H"), Kw("c", "H"), Kw("a", "H")}), Set("Two", {Kw("x", "S")})}, 1);
    Header(2);
    Header(2);  // c b a
    List()->SetCheckState(1, true);
    editor->CboRules->setCurrentIndex(1);
    EXPECT_EQ(Rows(), QStringList({"x"}));
    QStringList order;
    for (const auto& k : *Rules->at(0)->Keywords) order << k->Value;
    EXPECT_EQ(order, QStringList({"c", "b", "a"}));
    EXPECT_FALSE(editor->IsModified);
    editor->CboRules->setCurrentIndex(0);
    EXPECT_EQ(Rows(), order);
    EXPECT_EQ(Ticks(), "000");
}

TEST_F(Editor, AddASet) {
    struct Case {
        const char* what;
        QString typed;
        bool select;  // else the prompt is closed
        QStringList sets;
    } cases[] = {
        {"cancelled", "New", false, {"One"}},
        {"blanks only", "   ", true, {"One"}},
        {"named", "  Weekly ", true, {"One", "Weekly"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Open({Set("One", {Kw("a", "HCS")}, OR, OR, true)}, 1);
        ListDialogSeam::Install([&](QDialog* d) {
            auto* prompt = qobject_cast<FrmName*>(d);
            ASSERT_NE(prompt, nullptr);
            EXPECT_FALSE(OwnerEnabler::IsEnabled(editor.get()));
            prompt->TxtName->setText(c.typed);
            if (c.select) prompt->ComSelect->click();
        });
        editor->ComRuleAdd->click();
        EXPECT_TRUE(OwnerEnabler::IsEnabled(editor.get()));
        QStringList names;
        for (const auto& s : *Rules) names << s->name;
        EXPECT_EQ(names, c.sets);
        const bool added = c.sets.size() == 2;
        EXPECT_EQ(editor->IsModified, added);
        EXPECT_EQ(editor->CboRules->count(), int(c.sets.size()));
        if (added) {
            EXPECT_EQ(editor->CboRules->currentIndex(), 1);
            EXPECT_EQ(editor->CurRule, Rules->at(1));
            EXPECT_EQ(Rows(), QStringList());
            EXPECT_EQ(editor->CboOP1->currentText(), "AND");
            EXPECT_TRUE(editor->OptPrec2->isChecked());
            EXPECT_FALSE(editor->CboOP1->isVisible());
            EXPECT_EQ(editor->LabCondition->text(), "");
        }
        editor->IsModified = false;
        editor->close();
    }
}

TEST_F(Editor, DeleteASet) {
    struct Case {
        const char* what;
        int answer;
        QStringList sets;
        QString shown;  // the set shown afterwards
    } cases[] = {
        {"yes", kYes, {"Two", "Three"}, "Two"},
        {"no", kNo, {"One", "Two", "Three"}, "One"},
        {"closed", kClosed, {"One", "Two", "Three"}, "One"},
        {"failed", kFailed, {"One", "Two", "Three"}, "One"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Open({Set("One", {Kw("1", "H")}), Set("Two", {Kw("2", "S")}), Set("Three", {})}, 1);
        TestHarness::AnswerMessages({c.answer});
        editor->ComRuleDel->click();
        const MsgBoxRequest& r = TestHarness::AskedMessages().last();
        EXPECT_EQ(r.Title, "Criteria Set Deletion");
        EXPECT_EQ(r.message, "Are you sure you want to proceed with the deletion of this set of Criteria : \r\nOne");
        EXPECT_EQ(r.IconNb, MsgBoxIcon::Warning);
        EXPECT_EQ(r.Focus, kNo);
        QStringList names;
        for (const auto& s : *Rules) names << s->name;
        EXPECT_EQ(names, c.sets);
        EXPECT_EQ(editor->CboRules->currentIndex(), 0);
        EXPECT_EQ(editor->CurRule->name, c.shown);
        EXPECT_EQ(Rows(), QStringList({c.shown == "One" ? "1" : "2"}));
        EXPECT_TRUE(editor->IsModified) << "asked counts as a change";
        editor->IsModified = false;
        editor->close();
    }
}

// The last set deleted: nothing is left to edit or to act on.
TEST_F(Editor, DeleteTheLastSet) {
    Open({Set("Only", {Kw("a", "H"), Kw("b", "H")})}, 1);
    TestHarness::AnswerMessages({kYes});
    editor->ComRuleDel->click();
    EXPECT_TRUE(Rules->empty());
    EXPECT_EQ(editor->CboRules->currentIndex(), -1);
    EXPECT_EQ(editor->CurRule, nullptr);
    EXPECT_EQ(List()->GetCnt(), 0);
    EXPECT_EQ(editor->LabKeyCnt->text(), "0 object(s)");
    for (QPushButton* b : {editor->ComRuleDel, editor->ComAdd, editor->ComUpdate, editor->ComRemove, editor->ComSelAll,
                           editor->ComInvSel})
        EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();
    emit List()->KeyDown('S', true, false, false);
    EXPECT_EQ(List()->GetSel(), 0);
    EXPECT_TRUE(console.Empty());
}

// "Save changes" writes every set, the current one's keywords in descending
// order, prepares the sets and closes without a question.
TEST_F(Editor, SaveChanges) {
    Open({Set("Other", {Kw("z", "H")}), Set("Greek", {Kw("beta", "S"), Kw("Alpha", "S"), Kw("gamma", "S")})}, 2);
    editor->CboOP1->setCurrentIndex(1);
    editor->ComDone->click();
    EXPECT_FALSE(editor->isVisible());
    EXPECT_TRUE(TestHarness::AskedMessages().isEmpty());
    EXPECT_TRUE(OwnerEnabler::IsEnabled(&owner));
    EXPECT_EQ(TestHarness::ReadFile(RulesFile::Path()),
              QByteArray("Other|AND|AND|0;z|1|1|0|0|0|0\r\n"
                         "Greek|OR|AND|0;gamma|1|0|0|1|0|0;beta|1|0|0|1|0|0;Alpha|1|0|0|1|0|0\r\n"));
    clsMail m = Mail("", "", "alpha");
    EXPECT_TRUE(Rules->at(1)->Evaluate(&m));
    EXPECT_EQ(Hits(m), QStringList({"3:1:5"}));
    EXPECT_TRUE(console.Empty());
}

// A save that fails is shown, and the editor stays open with its changes.
TEST_F(Editor, FailedSaveKeepsTheEditorOpen) {
    TestHarness::WriteFile("MA_Rules.cfg", "Old|AND|AND|0;\r\n");
    Open({Set("New", {Kw("k", "H")})}, 1);
    // Room for the backup of the old file, not for the new text.
    const FileSizeLimit full(16);
    TestHarness::AnswerMessages({kOk});
    editor->ComDone->click();
    EXPECT_EQ(Asked(), QStringList({"Criteria Not Saved"}));
    EXPECT_EQ(TestHarness::AskedMessages().last().IconNb, MsgBoxIcon::Error);
    EXPECT_TRUE(TestHarness::AskedMessages().last().message.contains(RulesFile::Path()));
    EXPECT_TRUE(editor->isVisible());
    EXPECT_TRUE(editor->IsModified);
    EXPECT_FALSE(OwnerEnabler::IsEnabled(&owner));
    EXPECT_EQ(TestHarness::ReadFile(RulesFile::Path()), QByteArray("Old|AND|AND|0;\r\n"));
    // Closing: the save fails again and the editor stays; No lets it go.
    TestHarness::AnswerMessages({kYes, kOk, kNo});
    editor->close();
    EXPECT_TRUE(editor->isVisible());
    editor->close();
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(Rules->at(0)->name, "Old");
    EXPECT_TRUE(OwnerEnabler::IsEnabled(&owner));
}

// Closing after changes: a pressed No reloads every set from the file;
// any other answer saves, the keywords in their stored order (the list's
// sort is not taken over on this way out).
TEST_F(Editor, ClosingAfterChanges) {
    struct Case {
        const char* what;
        int answer;
        bool saved;
    } cases[] = {{"yes", kYes, true}, {"no", kNo, false}, {"closed", kClosed, true}, {"failed", kFailed, true}};
    const QByteArray before = "A|AND|AND|0;b|1|1|0|0|0|0;a|1|1|0|0|0|0\r\n";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TestHarness::WriteFile("MA_Rules.cfg", before);
        RulesFile::LoadRules(RulesFile::Path());
        const std::shared_ptr<clsRule> edited = Rules->at(0);
        editor = std::make_unique<FrmCriteria>(&owner);
        editor->Form_Load();
        editor->OwnerForm = &owner;
        editor->Initialize(1);
        editor->show();
        Header(2);  // shown a, b
        editor->CboOP1->setCurrentIndex(1);
        TestHarness::AnswerMessages({c.answer});
        editor->close();
        EXPECT_FALSE(editor->isVisible());
        const MsgBoxRequest& r = TestHarness::AskedMessages().last();
        EXPECT_EQ(r.Title, "Save Changes ?");
        EXPECT_EQ(r.message,
                  "You added, deleted or modified one or more sets of criteria.\r\n"
                  "Do you want to save those changes now ? \r\n\r\n"
                  "if you answer No, the changes will be lost ! ");
        EXPECT_EQ(r.Focus, kYes);
        EXPECT_EQ(r.IconNb, MsgBoxIcon::Warning);
        EXPECT_TRUE(r.ShowYes && r.ShowNo && !r.ShowCancel);
        EXPECT_EQ(TestHarness::ReadFile(RulesFile::Path()),
                  c.saved ? QByteArray("A|OR|AND|0;b|1|1|0|0|0|0;a|1|1|0|0|0|0\r\n") : before);
        ASSERT_EQ(Rules->size(), 1u);
        EXPECT_EQ(Rules->at(0)->OP1, c.saved ? OR : AND);
        EXPECT_EQ(Rules->at(0) == edited, c.saved) << "a No reads the sets anew";
        EXPECT_TRUE(OwnerEnabler::IsEnabled(&owner));
    }
}

// A No also undoes sets added and deleted in the editor.
TEST_F(Editor, DiscardingUndoesAddedAndDeletedSets) {
    TestHarness::WriteFile("MA_Rules.cfg", "One|AND|AND|0;\r\nTwo|AND|AND|0;\r\n");
    RulesFile::LoadRules(RulesFile::Path());
    editor = std::make_unique<FrmCriteria>(&owner);
    editor->Form_Load();
    editor->OwnerForm = &owner;
    editor->Initialize(1);
    editor->show();
    TestHarness::AnswerMessages({kYes, kNo});
    editor->ComRuleDel->click();
    ListDialogSeam::Install([](QDialog* d) {
        qobject_cast<FrmName*>(d)->TxtName->setText("Three");
        qobject_cast<FrmName*>(d)->ComSelect->click();
    });
    editor->ComRuleAdd->click();
    ASSERT_EQ(Rules->size(), 2u);
    EXPECT_EQ(Rules->at(1)->name, "Three");
    editor->close();
    QStringList names;
    for (const auto& s : *Rules) names << s->name;
    EXPECT_EQ(names, QStringList({"One", "Two"}));
}

TEST_F(Editor, LayoutFollowsTheSize) {
    Open({Set("S", {})}, 1);
    const QSize design(Twips::ToPixels(8895), Twips::ToPixels(5400));
    EXPECT_EQ(editor->size(), design);
    EXPECT_EQ(editor->minimumSize(), design);
    EXPECT_EQ(ControlGeometry::Left(editor->FraLogic), 5520);
    EXPECT_EQ(ControlGeometry::Top(editor->FraKeyword), 4320);
    editor->resize(design + QSize(150, 90));
    EXPECT_EQ(ControlGeometry::Left(editor->FraLogic), 5520 + 150 * 15);
    EXPECT_EQ(ControlGeometry::Top(editor->FraKeyword), 4320 + 90 * 15);
    EXPECT_EQ(ControlGeometry::Width(editor->FraMain), 5415 + 150 * 15);
    EXPECT_EQ(editor->StatusBar->geometry().bottom(), editor->height() - 1);
    editor->resize(design - QSize(100, 100));
    EXPECT_GE(editor->width(), design.width());
    EXPECT_GE(editor->height(), design.height());
}

}  // namespace
