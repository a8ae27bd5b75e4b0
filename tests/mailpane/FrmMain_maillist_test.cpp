// The mail list: cells and icons, header sorts, ticks, keys, the right
// click and the list's buttons, over mails put in place as a retrieval
// leaves them.
#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include "ListIcons.h"
#include "OwnerEnabler.h"
#include "MailPaneFixture.h"
#include "PopupMenuSeam.h"
#include "modGlobalFunctionsForms.h"

namespace {

using MailPaneFixture::Message;
using MailPaneFixture::Parsed;

constexpr int32_t kIcon = OwnerDataListView::LVHT_ONITEMICON;
constexpr int32_t kLabel = OwnerDataListView::LVHT_ONITEMLABEL;
constexpr int16_t kLeft = modGlobalFunctions::kLeftButton;
constexpr int16_t kRight = modGlobalFunctions::kRightButton;
constexpr int N = -1;
constexpr int U = ListIcons::kUnsorted;
constexpr int A = ListIcons::kAscending;
constexpr int D = ListIcons::kDescending;

class MailList : public MailPaneTest {
protected:
    void SetUp() override {
        MailPaneTest::SetUp();
        Load({{QStringLiteral("ann")}});
    }
    QList<int> Headers() const {
        QList<int> images;
        for (int col = 0; col < 8; ++col) images << w->VL_mail->ListWindow()->HeaderItemImage(col);
        return images;
    }
    // Three mails: subjects "b", "C", "a"; sizes 300, 100, 200.
    void ShowThree() {
        Message b{.subject = "b", .from = "Bob <bob@b.example>", .date = "Tue, 2 Jan 2024 10:00:00 +0000"};
        Message c{.subject = "C", .from = "cid@c.example", .date = "Mon, 1 Jan 2024 10:00:00 +0000"};
        Message a{.subject = "a", .from = "Al <al@a.example>", .date = "Wed, 3 Jan 2024 10:00:00 +0000"};
        Show({Parsed(b, 300), Parsed(c, 100), Parsed(a, 200)});
    }
};

TEST_F(MailList, CellsAndIcons) {
    Message named{.subject = "named", .from = "Ann Lee <ann@a.example>", .priority = "1 (Highest)"};
    Message bare{.subject = "bare", .from = "bob@b.example", .attachment = true};
    Show({Parsed(named, 0), Parsed(bare, 1023), Parsed(named, 1024), Parsed(named, 1536), Parsed(named, 2047)});
    EXPECT_EQ(Column(3), QStringList({"Ann Lee", "bob@b.example", "Ann Lee", "Ann Lee", "Ann Lee"}));
    EXPECT_EQ(Column(4), QStringList({"ann@a.example", "bob@b.example", "ann@a.example", "ann@a.example", "ann@a.example"}));
    EXPECT_EQ(Cell(1, 5), "bare");
    EXPECT_EQ(Cell(0, 6), "Mon, 1 Jan 2024 10:00:00 +0000");
    EXPECT_EQ(Column(7), QStringList({"0 B", "1023 B", "1 KB", "1 KB", "1 KB"}));
    for (int column : {0, 1, 2}) EXPECT_EQ(Cell(0, column), "");
    // Rows beyond the mails have no text.
    EXPECT_EQ(Cell(5, 3), "");

    struct ImageCase {
        int32_t row;
        int32_t column;
        int16_t image;
    } const images[] = {
        {0, 0, ListIcons::kUnchecked}, {0, 1, N}, {0, 2, ListIcons::kPriority}, {1, 1, ListIcons::kAttachment},
        {1, 2, N},                     {0, 3, N}, {0, 7, N},
    };
    for (const ImageCase& c : images) {
        int16_t image = 99;
        w->VL_mail_ItemImageCallback(c.row, c.column, image);
        EXPECT_EQ(image, c.image) << c.row << "/" << c.column;
    }
    w->VL_mail->SetCheckState(1, true);
    int16_t image = 99;
    w->VL_mail_ItemImageCallback(0, 0, image);
    EXPECT_EQ(image, ListIcons::kChecked);
    EXPECT_EQ(Console(), "");
}

TEST_F(MailList, NoMailsNoCells) {
    int16_t image = 99;
    w->VL_mail_ItemImageCallback(0, 0, image);
    EXPECT_EQ(image, N);
    EXPECT_EQ(Cell(0, 3), "");
    EXPECT_EQ(Console(), "");
}

// A list made shorter while the view still has more rows (a deletion's
// closing steps): the rows beyond it have no text and no icon, and nothing
// is reported.
TEST_F(MailList, RowsBeyondAShortenedList) {
    ShowThree();
    w->Session1->Mails->resize(1);
    for (int32_t row : {1, 2}) {
        for (int32_t column = 0; column < 8; ++column) {
            int16_t image = 99;
            w->VL_mail_ItemImageCallback(row, column, image);
            EXPECT_EQ(image, N) << row << "/" << column;
            EXPECT_EQ(Cell(row, column), "") << row << "/" << column;
        }
    }
    EXPECT_EQ(Console(), "");
}

// Header clicks: first ascending, again descending, another column starts
// ascending; ticks stay with their mails; columns 0-2 never show a direction.
TEST_F(MailList, HeaderClicksSortAndReverse) {
    ShowThree();
    w->VL_mail->SetCheckState(1, true);  // the mail "b"
    struct Click {
        int32_t column;
        QList<int> headers;
        QStringList subjects;  // the last one only for the tick column, whose ties may come in any order
    } const clicks[] = {
        {5, {U, N, N, U, U, A, U, U}, {"a", "b", "C"}},
        {5, {U, N, N, U, U, D, U, U}, {"C", "b", "a"}},
        {7, {U, N, N, U, U, U, U, A}, {"C", "a", "b"}},
        {7, {U, N, N, U, U, U, U, D}, {"b", "a", "C"}},
        {6, {U, N, N, U, U, U, A, U}, {"C", "b", "a"}},
        {0, {U, N, N, U, U, U, U, U}, {"b"}},
        {0, {U, N, N, U, U, U, U, U}, {"b"}},
        {4, {U, N, N, U, A, U, U, U}, {"a", "b", "C"}},
        {3, {U, N, N, A, U, U, U, U}, {"C", "a", "b"}},
    };
    int n = 0;
    for (const Click& c : clicks) {
        SCOPED_TRACE(testing::Message() << "click " << n++);
        emit w->VL_mail->ColumnClick(c.column);
        EXPECT_EQ(Headers(), c.headers);
        if (c.subjects.size() == 1) {
            // Ascending puts the ticked mail last, descending first.
            const QStringList subjects = Column(5);
            EXPECT_EQ(n == 6 ? subjects.last() : subjects.first(), c.subjects.first());
        } else {
            EXPECT_EQ(Column(5), c.subjects);
        }
        EXPECT_TRUE(w->VL_mail->GetCheckState(w->VL_mail->RevIdx(1)));
        EXPECT_EQ(w->VL_mail->GetSel(), 1);
        EXPECT_TRUE(OwnerEnabler::IsEnabled(w.get()));
    }
    EXPECT_EQ(Console(), "");
}

TEST_F(MailList, HeaderClickWithFewerThanTwoMailsChangesNothing) {
    const QList<int> before = Headers();
    for (int count : {0, 1}) {
        QList<std::shared_ptr<clsMail>> mails;
        for (int i = 0; i < count; ++i) mails << Parsed(Message{}, 10);
        Show(mails);
        emit w->VL_mail->ColumnClick(5);
        EXPECT_EQ(Headers(), before);
        EXPECT_EQ(w->TxtHeader->Text(), "");
    }
    // Not remembered either: the next click on 5 with mails is ascending.
    ShowThree();
    emit w->VL_mail->ColumnClick(5);
    EXPECT_EQ(Column(5), QStringList({"a", "b", "C"}));
}

// The order of two mails by column: r times the direction.
TEST_F(MailList, CompareByColumn) {
    Message early{.subject = "apple", .from = "zed@z.example", .date = "Mon, 1 Jan 2024 10:00:00 +0000",
                  .priority = "2"};
    Message late{.subject = "Banana", .from = "Amy <amy@a.example>", .date = "Tue, 2 Jan 2024 10:00:00 +0000",
                 .priority = "x", .attachment = true};
    Message same{.subject = "APPLE", .from = "ZED@z.example", .date = "Mon, 1 Jan 2024 10:00:00 +0000"};
    Show({Parsed(early, 10), Parsed(late, 20), Parsed(same, 10)});
    struct Case {
        int32_t a, b;
        int16_t by, dir, result;
    } const cases[] = {
        {1, 2, 1, 1, -1},   // no attachment before one
        {2, 1, 1, -1, -1},  // reversed
        {1, 2, 2, 1, 1},    // priority 2 after "x" (0)
        {1, 3, 2, 1, 1},    // 2 after none
        {1, 2, 3, 1, -1},   // no sender name sorts as empty text
        {2, 1, 4, 1, -1},   // amy before zed
        {1, 3, 4, 1, 0},    // case does not count
        {1, 2, 5, 1, -1},   // apple before Banana
        {1, 3, 5, -1, 0},
        {1, 2, 6, 1, -1},   // earlier date first
        {1, 3, 6, 1, 1},    // equal dates never 0
        {1, 3, 6, -1, -1},
        {1, 2, 7, 1, -1},
        {1, 3, 7, 1, 0},
    };
    for (const Case& c : cases) {
        int16_t result = 42;
        w->VL_mail_evCompare(c.a, c.b, c.by, c.dir, result);
        EXPECT_EQ(result, c.result) << c.a << " " << c.b << " by " << c.by << " dir " << c.dir;
    }
}

// A press on the tick image ticks the row; elsewhere on a row it shows the mail.
TEST_F(MailList, LeftPresses) {
    ShowThree();
    ThisList.reset();
    struct Press {
        int32_t row, column, flags;
        QList<bool> ticks;
        const char* header;  // substring of the shown header, "" for none
    } const presses[] = {
        {2, 0, kIcon, {false, false, true}, ""},
        {2, 0, kLabel, {false, false, true}, ""},
        {2, 0, kIcon, {false, false, false}, ""},
        {2, 5, kLabel, {false, false, false}, "Subject: a"},
        {0, 1, kIcon, {false, false, false}, "Subject: b"},
        {-1, 0, 0, {false, false, false}, "Subject: b"},
    };
    for (const Press& p : presses) {
        SCOPED_TRACE(testing::Message() << p.row << "/" << p.column << "/" << p.flags);
        w->VL_mail_MouseDown(kLeft, p.row, p.column, p.flags);
        EXPECT_EQ(Ticks(), p.ticks);
        EXPECT_TRUE(w->TxtHeader->Text().contains(QLatin1String(p.header)));
        EXPECT_EQ(ThisList, w->VL_mail);
    }
    w->VL_mail_MouseDown(kLeft, 1, 0, kIcon);
    EXPECT_EQ(w->LabMailSel->text(), "1 selected");
    EXPECT_EQ(w->LabMailCnt->text(), "3 object(s)");
    EXPECT_TRUE(w->ComMailDeselectAll->isEnabled());
    EXPECT_TRUE(w->ComMailSave->isEnabled());
    EXPECT_TRUE(w->ComMailSelectAll->isEnabled());
    EXPECT_TRUE(w->TxtHeader->Text().contains(QLatin1String("Subject: b")));  // a tick shows nothing
}

// A real click on a row's tick image, then on its subject.
TEST_F(MailList, MouseClicksOnTheList) {
    ShowThree();
    OwnerDataListView* list = w->VL_mail->ListWindow();
    const QRect tick = list->visualRect(list->model()->index(1, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(tick.left() + 6, tick.center().y()));
    EXPECT_EQ(Ticks(), QList<bool>({false, true, false}));
    EXPECT_EQ(w->TxtHeader->Text(), "");
    const QRect subject = list->visualRect(list->model()->index(2, 5));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, subject.center());
    EXPECT_TRUE(w->TxtHeader->Text().contains(QLatin1String("Subject: a")));
    EXPECT_EQ(w->TxtContent->Text(), "line one\r\nline two");
    // The arrow keys move the mark and show its mail.
    QTest::keyClick(list, Qt::Key_Up);
    EXPECT_TRUE(w->TxtHeader->Text().contains(QLatin1String("Subject: C")));
    QTest::keyClick(list, Qt::Key_Home);
    EXPECT_TRUE(w->TxtHeader->Text().contains(QLatin1String("Subject: b")));
    QTest::keyClick(list, Qt::Key_Right);  // no navigation key: nothing
    EXPECT_TRUE(w->TxtHeader->Text().contains(QLatin1String("Subject: b")));
}

TEST_F(MailList, CtrlKeys) {
    ShowThree();
    ThisList.reset();
    struct Key {
        int16_t code;
        bool ctrl, shift;
        QList<bool> ticks;
    } const keys[] = {
        {'S', true, false, {true, true, true}},   {'D', true, false, {false, false, false}},
        {'S', false, false, {false, false, false}}, {'S', true, true, {true, true, true}},
        {'I', true, false, {false, false, false}}, {'A', true, false, {false, false, false}},
    };
    for (const Key& k : keys) {
        w->VL_mail_KeyDown(k.code, k.ctrl, k.shift, false);
        EXPECT_EQ(Ticks(), k.ticks) << char(k.code) << k.ctrl << k.shift;
        EXPECT_EQ(w->LabMailSel->text(), QString::number(k.ticks.count(true)) + " selected");
    }
    EXPECT_EQ(ThisList, nullptr);
    // With no rows nothing happens.
    Show({});
    w->VL_mail_KeyDown('S', true, false, false);
    EXPECT_EQ(w->VL_mail->GetSel(), 0);
    // A real Ctrl+I through the list window.
    ShowThree();
    QTest::keyClick(w->VL_mail->ListWindow(), Qt::Key_I, Qt::ControlModifier);
    EXPECT_EQ(Ticks(), QList<bool>({true, true, true}));
}

// The right click: no menu on an empty list; on a full one only the three
// selection entries, enabled by the ticks; the chosen entry runs.
TEST_F(MailList, RightClickMenu) {
    w->VL_mail_MouseDown(kRight, -1, 0, 0);  // the harness fails any menu shown
    EXPECT_EQ(ThisList, w->VL_mail);
    ShowThree();
    w->VL_mail->SelectAll();
    QList<QAction*> shown;
    QList<bool> enabled;
    PopupMenuSeam::Install([&](QMenu* menu) -> QAction* {
        for (QAction* a : menu->actions())
            if (a->isVisible() && !a->isSeparator()) {
                shown << a;
                enabled << a->isEnabled();
            }
        return w->M_Popup1Invert;
    });
    w->VL_mail_MouseDown(kRight, 1, 4, kLabel);
    EXPECT_EQ(shown, QList<QAction*>({w->M_Popup1SelectAll, w->M_Popup1DeselectAll, w->M_Popup1Invert}));
    EXPECT_EQ(enabled, QList<bool>({false, true, true}));
    EXPECT_EQ(Ticks(), QList<bool>({false, false, false}));
    EXPECT_EQ(w->LabMailSel->text(), "0 selected");
}

TEST_F(MailList, Buttons) {
    ShowThree();
    emit w->VL_mail->ColumnClick(5);
    w->VL_mail->SetCheckState(1, true);
    w->ComMailSelectAll->click();
    EXPECT_EQ(Ticks(), QList<bool>({true, true, true}));
    EXPECT_FALSE(w->ComMailSelectAll->isEnabled());
    w->ComMailInverse->click();
    EXPECT_EQ(Ticks(), QList<bool>({false, false, false}));
    EXPECT_FALSE(w->ComMailDeselectAll->isEnabled());
    w->ComMailInverse_Click();
    w->ComMailDeselectAll_Click();
    EXPECT_EQ(w->VL_mail->GetSel(), 0);
    EXPECT_EQ(w->LabMailSel->text(), "0 selected");
    EXPECT_TRUE(w->ComMailInverse->isEnabled());
    EXPECT_TRUE(w->ComMailClear->isEnabled());
}

// "Clear All": only a pressed Yes clears; No and a box closed without an
// answer (0, or -1 on failure) keep rows, ticks and views.
TEST_F(MailList, ClearAllAnswers) {
    struct Case {
        int answer;
        bool clears;
    } const cases[] = {{MsgBoxButton::No, false}, {0, false}, {-1, false}, {MsgBoxButton::Yes, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        ShowThree();
        emit w->VL_mail->ColumnClick(6);
        w->VL_mail->SetCheckState(2, true);
        w->DisplayDetails(1);
        w->StatusBar->Panel(1)->SetText(QStringLiteral("state"));
        TestHarness::AnswerMessages({c.answer});
        w->ComMailClear->setEnabled(true);
        w->ComMailClear_Click();
        const MsgBoxRequest& r = TestHarness::AskedMessages().last();
        EXPECT_EQ(r.message, "Are you sure you want to clear the entire message list content ?");
        EXPECT_EQ(r.Title, "Delete List Content");
        EXPECT_EQ(r.IconNb, MsgBoxIcon::Warning);
        EXPECT_EQ(r.Focus, MsgBoxButton::No);
        EXPECT_TRUE(r.ShowYes && r.ShowNo && !r.ShowOk);
        if (c.clears) {
            EXPECT_EQ(w->VL_mail->GetCnt(), 0);
            EXPECT_EQ(w->Session1->Mails, nullptr);
            EXPECT_EQ(w->TxtHeader->Text(), "");
            EXPECT_EQ(w->TxtContent->Text(), "");
            EXPECT_EQ(Panel1(), "");
            for (QPushButton* b : {w->ComSaveHeader, w->ComSaveContent, w->ComHighLight, w->ComMailClear})
                EXPECT_FALSE(b->isEnabled());
            EXPECT_EQ(Headers(), QList<int>({U, N, N, U, U, U, U, U}));
        } else {
            EXPECT_EQ(w->VL_mail->GetCnt(), 3);
            EXPECT_EQ(w->VL_mail->GetSel(), 1);
            EXPECT_NE(w->TxtHeader->Text(), "");
            EXPECT_EQ(Panel1(), "state");
            EXPECT_NE(Headers()[6], U);  // the sort image stays
        }
    }
}

// The sort state outlives a clear and a new list: the same header goes on
// alternating.
TEST_F(MailList, SortStateOutlivesTheList) {
    ShowThree();
    emit w->VL_mail->ColumnClick(5);
    TestHarness::AnswerMessages({MsgBoxButton::Yes});
    w->ComMailClear_Click();
    ShowThree();
    emit w->VL_mail->ColumnClick(5);
    EXPECT_EQ(Column(5), QStringList({"C", "b", "a"}));
    EXPECT_EQ(Headers()[5], D);
}

}  // namespace
