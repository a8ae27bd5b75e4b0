// The find window: Find, Count All and Select Match on the engine-bound
// lists through the real engine, the same on a report list pane, the
// restart rules and the find history.
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "FindHistory.h"
#include "FrmFind.h"
#include "OwnerEnabler.h"
#include "ReportListView.h"
#include "RichTextBox.h"
#include "WorkspaceFixture.h"
#include "clsError.h"
#include "clsList.h"
#include "modGlobalFunctionsFiles.h"
#include "modGlobalFunctionsListView.h"

namespace {

const QString kAllFound = QStringLiteral("All matching entries have been found !");
const QString kNotFound = QStringLiteral("The specified string could not be found !");

// The addresses of a list, one per line.
QByteArray Lines(const QStringList& addresses) { return addresses.join(QStringLiteral("\r\n")).toLatin1() + "\r\n"; }

class Find : public WorkspaceTest {
protected:
    void SetUp() override {
        WorkspaceTest::SetUp();
        FindHistory().clear();
    }
    void TearDown() override {
        if (FrmFind* f = Window()) f->ComDone_Click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        FindHistory().clear();
        WorkspaceTest::TearDown();
    }
    static FrmFind* Window() {
        return qobject_cast<FrmFind*>(modGlobalFunctions::IsFormLoaded(QStringLiteral("FrmFind")));
    }
    // The left list's find window with a text.
    FrmFind* OpenLeft(const QString& text) {
        w->ComSLFind_Click();
        FrmFind* f = Window();
        if (f != nullptr && !text.isNull()) f->TxtFind->setEditText(text);
        return f;
    }
    // The row the left pane shows as the hit, -1 for none.
    int32_t Hit() const {
        const auto* view = Pane(1)->ListWindow();
        for (int32_t row = 0; row < Pane(1)->GetCnt(true); ++row)
            if (view->GetItemState(row, OwnerDataListView::LVIS_FOCUSED) != 0) return row;
        return -1;
    }
    // Find once: the hit, or -1 after the answered message, whose text is kept.
    int32_t FindOnce(FrmFind* f, QString* message = nullptr) {
        const qsizetype asked = TestHarness::AskedMessages().size();
        TestHarness::AnswerMessages({MsgBoxButton::Ok});
        f->ComFind_Click();
        if (TestHarness::AskedMessages().size() == asked) return f->EnginePos - 1;
        if (message != nullptr) *message = TestHarness::AskedMessages().last().message;
        return -1;
    }
    static QStringList Selected(int32_t slot, int32_t count) {
        QStringList out;
        for (int32_t row = 0; row < count; ++row)
            if (YRB17(slot, row, -1) & YRB_FLAG_SELECTED) out << Address(slot, row);
        return out;
    }
};

// Ten entries; "match" in entries 3 and 7.
const QStringList kTen = {"a@x.com", "b@x.com",     "c@x.com", "match@a.com", "e@x.com",
                          "f@x.com", "g@x.com",     "match@b.com", "i@x.com", "j@x.com"};

TEST_F(Find, FindsEachHitThenSaysAllFoundThenStartsOver) {
    Load(1, Lines(kTen), 10);
    FrmFind* f = OpenLeft(QStringLiteral("match"));
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->windowTitle(), QStringLiteral("Find String in Left list"));
    EXPECT_EQ(FindOnce(f), 3);
    EXPECT_EQ(Hit(), 3);
    EXPECT_EQ(FindOnce(f), 7);
    EXPECT_EQ(Hit(), 7);
    QString message;
    EXPECT_EQ(FindOnce(f, &message), -1);
    EXPECT_EQ(message, kAllFound);
    EXPECT_EQ(TestHarness::AskedMessages().last().Title, QStringLiteral("Search Result"));
    EXPECT_EQ(FindOnce(f), 3);

    f->TxtFind->setEditText(QStringLiteral("zzz"));
    f->ChkWholeWord->setChecked(true);  // restart, so the search starts at the top
    EXPECT_EQ(FindOnce(f, &message), -1);
    EXPECT_EQ(message, kNotFound);
}

TEST_F(Find, MatchesBehindFlaggedEntriesAreReached) {
    // Six flagged entries leave four counted ones; the hits lie behind that count.
    Load(1, Lines({"a@x.com", "b@x.com", "c@x.com", "d@x.com", "e@x.com", "f@x.com", "g@x.com", "match@a.com",
                   "match@b.com", "j@x.com"}),
         10);
    for (int32_t e = 0; e < 6; ++e) YRB03(1, e, YRB_FLAG_INVALID, 1);
    ASSERT_EQ(Pane(1)->GetCnt(), 4);
    FrmFind* f = OpenLeft(QStringLiteral("match"));
    EXPECT_EQ(FindOnce(f), 7);
    EXPECT_EQ(FindOnce(f), 8);
    QString message;
    EXPECT_EQ(FindOnce(f, &message), -1);
    EXPECT_EQ(message, kAllFound);
}

TEST_F(Find, PartsAndWholeWords) {
    Load(1, Lines({"john.doe@x.com", "johndoe@x.com", "b@doe.com", "a@b.com"}), 4);
    FrmFind* f = OpenLeft(QString());
    ASSERT_EQ(f->CboSearchIn->count(), 3);
    EXPECT_EQ(f->CboSearchIn->itemText(0), QStringLiteral("<all columns>"));
    EXPECT_EQ(f->CboSearchIn->itemText(1), QStringLiteral("User"));
    EXPECT_EQ(f->CboSearchIn->itemText(2), QStringLiteral("Domain"));
    struct Case {
        const char* text;
        int column;  // index in the search-in box
        bool whole;
        int count;
    } cases[] = {
        {"doe", 1, true, 1},   // john.doe yes, johndoe no
        {"doe", 1, false, 2},  //
        {"doe", 2, true, 1},   // the domain part doe.com
        {"doe", 0, false, 3},  //
        {"@", 0, false, 4},    // only the whole address holds "@"
        {"@", 1, false, 0},    //
        {"@", 2, false, 0},    //
        {"x@", 0, false, 0},   // the hit must be in one part
        {"e@x", 0, false, 2},  //
    };
    for (const Case& c : cases) {
        f->TxtFind->setEditText(QLatin1String(c.text));
        f->CboSearchIn->setCurrentIndex(c.column);
        f->ChkWholeWord->setChecked(c.whole);
        TestHarness::AnswerMessages({MsgBoxButton::Ok});
        f->ComCount_Click();
        const QString expected = c.count > 0 ? QStringLiteral("The specified string has been found in %1 List items").arg(c.count)
                                             : kNotFound;
        EXPECT_EQ(TestHarness::AskedMessages().last().message, expected) << c.text << " column " << c.column;
    }
}

TEST_F(Find, RestartRules) {
    Load(1, Lines(kTen), 10);
    struct Case {
        const char* what;
        std::function<void(FrmFind*)> act;
        int32_t next;  // the next Find's hit, -1 for "All matching entries have been found !"
    } cases[] = {
        {"nothing", [](FrmFind*) {}, -1},
        {"Match Case ticked", [](FrmFind* f) { f->ChkMatchCase->setChecked(true); }, 3},
        {"Whole word ticked", [](FrmFind* f) { f->ChkWholeWord->setChecked(true); }, 3},
        {"another column chosen",
         [](FrmFind* f) {
             f->CboSearchIn->setCurrentIndex(1);
             emit f->CboSearchIn->activated(1);
         },
         3},
        {"a new text, then a click on Find",
         [](FrmFind* f) {
             f->TxtFind_GotFocus();
             f->TxtFind->setEditText(QStringLiteral("atch"));
             f->TxtFind_LostFocus();
         },
         3},
        {"a new text, then Enter",
         [](FrmFind* f) {
             f->TxtFind_GotFocus();
             f->TxtFind->setEditText(QStringLiteral("atch"));
         },
         -1},
        {"the same text left", [](FrmFind* f) {
             f->TxtFind_GotFocus();
             f->TxtFind_LostFocus();
         },
         -1},
    };
    for (const Case& c : cases) {
        FrmFind* f = OpenLeft(QStringLiteral("match"));
        f->ChkMatchCase->setChecked(false);
        f->ChkWholeWord->setChecked(false);
        f->CboSearchIn->setCurrentIndex(0);
        f->Initialize();  // restarts
        ASSERT_EQ(FindOnce(f), 3) << c.what;
        ASSERT_EQ(FindOnce(f), 7) << c.what;
        c.act(f);
        EXPECT_EQ(FindOnce(f), c.next) << c.what;
    }
}

TEST_F(Find, EnterRunsFindAndTheBoxKeepsIt) {
    Load(1, Lines(kTen), 10);
    FrmFind* f = OpenLeft(QStringLiteral("match"));
    QApplication::setActiveWindow(f);
    f->TxtFind->setFocus();
    ASSERT_TRUE(f->TxtFind->hasFocus());
    TestHarness::AnswerMessages({});
    QTest::keyClick(f->TxtFind, Qt::Key_Return);
    EXPECT_EQ(Hit(), 3);
    // The window was disabled while it searched: the box has the focus again
    // and that was no leaving it, so the search goes on.
    EXPECT_TRUE(f->TxtFind->hasFocus());
    QTest::keyClick(f->TxtFind, Qt::Key_Enter);
    EXPECT_EQ(Hit(), 7);
    EXPECT_TRUE(Window() == f && f->isVisible());

    // Enter in an empty box warns and searches nothing.
    f->TxtFind->setEditText(QString());
    EXPECT_FALSE(f->ComFind->isEnabled());
    TestHarness::AnswerMessages({MsgBoxButton::Ok});
    QTest::keyClick(f->TxtFind, Qt::Key_Return);
    const MsgBoxRequest& r = TestHarness::AskedMessages().last();
    EXPECT_EQ(r.message, QStringLiteral("A String to find must be provided"));
    EXPECT_EQ(r.Title, QStringLiteral("Invalid String to Find"));
    EXPECT_EQ(r.IconNb, MsgBoxIcon::Warning);
    EXPECT_EQ(FindHistory(), QStringList{QStringLiteral("match")});
}

TEST_F(Find, HistoryKeepsFirstUseAndCase) {
    Load(1, Lines(kTen), 10);
    FrmFind* f = OpenLeft(QString());
    // An empty history opens with an empty text and only Done usable.
    EXPECT_EQ(f->TxtFind->currentText(), QString());
    for (QWidget* c : std::initializer_list<QWidget*>{f->ComFind, f->ComCount, f->ComSelectMatch, f->CboSearchIn,
                                                      f->ChkWholeWord, f->ChkMatchCase})
        EXPECT_FALSE(c->isEnabled()) << c->objectName().toStdString();
    EXPECT_TRUE(f->ComDone->isEnabled());
    for (const char* text : {"abc", "ABC", "abc"}) {
        f->TxtFind->setEditText(QLatin1String(text));
        TestHarness::AnswerMessages({MsgBoxButton::Ok});
        f->ComCount_Click();
    }
    QStringList items;
    for (int i = 0; i < f->TxtFind->count(); ++i) items << f->TxtFind->itemText(i);
    EXPECT_EQ(items, (QStringList{"ABC", "abc"}));

    // A window opened later starts with the newest text, its commands usable.
    f->ComDone_Click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(Window(), nullptr);
    f = OpenLeft(QString());
    f->Initialize();
    EXPECT_EQ(f->TxtFind->currentText(), QStringLiteral("ABC"));
    EXPECT_TRUE(f->ComFind->isEnabled());
}

TEST_F(Find, CountAndSelectCoverFlaggedEntries) {
    QStringList addresses;
    for (int i = 0; i < 15; ++i) addresses << (i % 5 == 4 ? QStringLiteral("n%1@x.com") : QStringLiteral("hit%1@x.com")).arg(i);
    Load(1, Lines(addresses), 15);
    const uint8_t flags[] = {YRB_FLAG_INVALID, YRB_FLAG_DUPLICATE, YRB_FLAG_DELETED, YRB_FLAG_INVALID};
    for (int i = 0; i < 4; ++i) YRB03(1, i, flags[i], 1);
    // A manual selection of entries that do not match.
    YRB03(1, 4, YRB_FLAG_SELECTED, 1);
    YRB03(1, 9, YRB_FLAG_SELECTED, 1);
    FrmFind* f = OpenLeft(QStringLiteral("hit"));
    ASSERT_EQ(FindOnce(f), 0);

    TestHarness::AnswerMessages({MsgBoxButton::Ok});
    f->ComCount_Click();
    MsgBoxRequest r = TestHarness::AskedMessages().last();
    EXPECT_EQ(r.message, QStringLiteral("The specified string has been found in 12 List items"));
    EXPECT_EQ(r.Title, QStringLiteral("String Search Result"));
    EXPECT_EQ(r.IconNb, MsgBoxIcon::Logo);

    TestHarness::AnswerMessages({MsgBoxButton::Ok});
    f->ComSelectMatch_Click();
    EXPECT_EQ(TestHarness::AskedMessages().last().message, QStringLiteral("The specified string has been found in 12 List items"));
    QStringList expected;
    for (const QString& a : addresses)
        if (a.startsWith(QStringLiteral("hit"))) expected << a;
    EXPECT_EQ(Selected(1, 15), expected);
    // The pane counts the selected entries it shows: the eight unflagged ones.
    EXPECT_EQ(w->LabSelLeft->text(), QStringLiteral("8 selected"));
    // Count and Select leave the position: Find goes on below its last hit.
    EXPECT_EQ(FindOnce(f), 1);
}

TEST_F(Find, StoppedCommandsShowNothingAndFindKeepsItsPlace) {
    // The engine looks for a stop every few thousand entries: a long list.
    constexpr int32_t kEntries = 30000;
    QStringList addresses;
    for (int32_t i = 0; i < kEntries; ++i) addresses << QStringLiteral("u%1@x.com").arg(i);
    addresses[3] = QStringLiteral("match@a.com");
    addresses[kEntries - 10] = QStringLiteral("match@b.com");
    Load(1, Lines(addresses), kEntries);
    FrmFind* f = OpenLeft(QStringLiteral("match"));
    ASSERT_EQ(FindOnce(f), 3);
    {
        CancelOnInformation cancel("Finding string occurrence(s)");
        TestHarness::AnswerMessages({});  // any message fails the test
        f->ComFind_Click();
        f->ComCount_Click();
        f->ComSelectMatch_Click();
    }
    EXPECT_EQ(f->EnginePos, 4);
    EXPECT_EQ(FindOnce(f), kEntries - 10);
    EXPECT_TRUE(OwnerEnabler::IsEnabled(f));
    EXPECT_TRUE(OwnerEnabler::IsEnabled(w.get()));
}

TEST_F(Find, RetargetedToTheRightListInPlace) {
    Load(1, Lines(kTen), 10);
    Load(2, Lines({"r@x.com"}), 1);
    FrmFind* f = OpenLeft(QStringLiteral("match"));
    f->move(f->pos() + QPoint(37, 21));
    const QPoint where = f->pos();
    w->ComSRFind_Click();
    EXPECT_EQ(Window(), f);
    EXPECT_EQ(f->windowTitle(), QStringLiteral("Find String in Right list"));
    EXPECT_EQ(f->ThisList.get(), Pane(2));
    EXPECT_EQ(f->TxtFind->currentText(), QStringLiteral("match"));
    EXPECT_EQ(f->pos(), where);
    EXPECT_EQ(ThisList.get(), Pane(2));

    // Leaving the workspace tab closes the window; the history stays.
    w->SSTab->setCurrentIndex(1);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(Window(), nullptr);
}

TEST_F(Find, NoPaneIsReported) {
    ThisList.reset();
    w->M_Popup1Find_Click();
    EXPECT_EQ(Window(), nullptr);
    EXPECT_TRUE(w->TxtErrors->Text().contains(QStringLiteral("List Object not Set")));
}

// What the main window's controls allow while the engine searches.
bool g_importUsableDuringSearch = true;
FrmMain* g_window = nullptr;
int32_t RecordUsable(const char*) {
    if (g_window != nullptr) g_importUsableDuringSearch = g_window->ComSLImp->isEnabled();
    return 0;
}

TEST_F(Find, NeitherWindowTakesInputWhileTheOtherWorks) {
    Load(1, Lines(kTen), 10);
    FrmFind* f = OpenLeft(QStringLiteral("match"));
    f->show();

    // While a command of the main window runs (its content disabled by the
    // progress monitor), a click on Find starts nothing.
    OwnerEnabler::SetEnabled(w.get(), false);
    TestHarness::AnswerMessages({});
    QTest::mouseClick(f->ComFind, Qt::LeftButton);
    QTest::keyClick(f->TxtFind, Qt::Key_Return);
    EXPECT_EQ(f->EnginePos, 0);
    EXPECT_EQ(Hit(), -1);
    OwnerEnabler::SetEnabled(w.get(), true);
    EXPECT_TRUE(f->ComFind->isEnabled());
    QTest::mouseClick(f->ComFind, Qt::LeftButton);
    EXPECT_EQ(Hit(), 3);

    // While the window's own search runs, the main window's content takes nothing.
    const YRB_CallbackTable saved = modCallBack::EngineCallbackTable;
    modCallBack::EngineCallbackTable.information = &RecordUsable;
    YRB07(&modCallBack::EngineCallbackTable);
    g_window = w.get();
    f->ComFind_Click();
    g_window = nullptr;
    modCallBack::EngineCallbackTable = saved;
    YRB07(&modCallBack::EngineCallbackTable);
    EXPECT_FALSE(g_importUsableDuringSearch);
    EXPECT_TRUE(w->ComSLImp->isEnabled());
}

// ---- a report list pane, searched row by row ----

class FindInReport : public ::testing::Test {
protected:
    void SetUp() override {
        FindHistory().clear();
        view = new ReportListView(&form);
        for (const char* caption : {"Email Address", "Rejection Reason", "Hidden"}) view->SetColumnText(view->AddColumn(), QLatin1String(caption));
        view->SetColumnTag(0, QStringLiteral("1"));
        view->SetColumnTag(1, QStringLiteral("1"));
        // No weight: searched under "<all columns>" but not offered.
        view->SetColumnTag(2, QStringLiteral("0"));
        pane = std::make_shared<clsList>();
        pane->Frm = &form;
        pane->SetList(view);
        find = new FrmFind(&form);
        find->Form_Load();
        find->ThisList = pane;
        find->Initialize();
    }
    void TearDown() override {
        delete find;
        FindHistory().clear();
    }
    void Rows(const QList<QStringList>& rows) {
        view->ClearItems();
        for (const QStringList& cells : rows) {
            QTreeWidgetItem* item = view->AddItem();
            for (int c = 0; c < cells.size(); ++c) item->setText(c, cells[c]);
        }
    }
    // The 1-based current row, 0 for none.
    int Current() const { return view->currentItem() ? view->indexOfTopLevelItem(view->currentItem()) + 1 : 0; }
    QWidget form;
    ReportListView* view = nullptr;
    std::shared_ptr<clsList> pane;
    FrmFind* find = nullptr;
};

TEST_F(FindInReport, ColumnsOfferedByWeightAndWidth) {
    QStringList offered;
    for (int i = 0; i < find->CboSearchIn->count(); ++i)
        offered << find->CboSearchIn->itemText(i) + "=" + QString::number(find->CboSearchIn->itemData(i).toInt());
    EXPECT_EQ(offered, (QStringList{"<all columns>=-1", "Email Address=0", "Rejection Reason=1"}));
}

TEST_F(FindInReport, LastRowHitThenTopWithoutMessage) {
    Rows({{"a@x.com", "ok"}, {"b@x.com", "ok"}, {"c@x.com", "needle"}});
    find->TxtFind->setEditText(QStringLiteral("NEEDLE"));
    TestHarness::AnswerMessages({});
    find->ComFind_Click();
    EXPECT_EQ(Current(), 3);
    EXPECT_EQ(find->ListPos, 1);
    find->ComFind_Click();
    EXPECT_EQ(Current(), 3);

    // Match Case: the exact text only.
    find->ChkMatchCase->setChecked(true);
    TestHarness::AnswerMessages({MsgBoxButton::Ok});
    find->ComFind_Click();
    EXPECT_EQ(TestHarness::AskedMessages().last().message, kNotFound);
}

TEST_F(FindInReport, FirstOccurrenceOnlyAndHiddenColumns) {
    Rows({{"abc ab", "x"}, {"q@x.com", "x", "secret"}});
    struct Case {
        const char* text;
        int column;
        bool whole;
        int count;
    } cases[] = {
        {"ab", 0, true, 0},      // only the first occurrence, inside "abc", is tested
        {"ab", 0, false, 1},     //
        {"secret", 0, false, 1}, // every column under "<all columns>"
        {"secret", 1, false, 0}, //
        {"x", 2, false, 2},      // the second column, "Rejection Reason"
    };
    for (const Case& c : cases) {
        find->TxtFind->setEditText(QLatin1String(c.text));
        find->CboSearchIn->setCurrentIndex(c.column);
        find->ChkWholeWord->setChecked(c.whole);
        TestHarness::AnswerMessages({MsgBoxButton::Ok});
        find->ComCount_Click();
        const QString expected = c.count > 0 ? QStringLiteral("The specified string has been found in %1 List items").arg(c.count)
                                             : kNotFound;
        EXPECT_EQ(TestHarness::AskedMessages().last().message, expected) << c.text;
        EXPECT_EQ(find->ListPos, 0) << c.text;
    }
}

// A report loaded from a file is searched in the text it shows: a UTF-8
// row and a Latin-1 row both hold the "\u00e9" typed, neither the bytes
// of its UTF-8 form taken one by one.
TEST_F(FindInReport, SearchesTheTextAsShown) {
    const QString path = TestHarness::WriteFile(
        QStringLiteral("report.inv"),
        "Email Address|Rejection Reason|Hidden\r\nchlo\xc3\xa9@a.example|x\r\nzo\xeb@a.example|x\r\nann@a.example|\xc3\xa9\r\n");
    modGlobalFunctions::LoadListView(pane.get(), path, false, false, QStringLiteral("|"));
    ASSERT_EQ(view->ItemCount(), 3);
    struct Case {
        QString text;
        int column;
        int count;
    } const cases[] = {
        {QStringLiteral("\u00e9"), -1, 2},
        {QStringLiteral("\u00e9"), 0, 1},
        {QStringLiteral("\u00eb"), 0, 1},
        {QStringLiteral("\u00c3"), -1, 0},
    };
    for (const Case& c : cases) {
        find->TxtFind->setEditText(c.text);
        find->CboSearchIn->setCurrentIndex(find->CboSearchIn->findData(c.column));
        TestHarness::AnswerMessages({MsgBoxButton::Ok});
        find->ComCount_Click();
        const QString expected = c.count > 0 ? QStringLiteral("The specified string has been found in %1 List items").arg(c.count)
                                             : kNotFound;
        EXPECT_EQ(TestHarness::AskedMessages().last().message, expected) << c.text.toStdString() << " in " << c.column;
    }
}

TEST_F(FindInReport, SelectMatchTicksOnlyTheMatches) {
    Rows({{"a@x.com"}, {"hit@x.com"}, {"b@x.com"}, {"hit@y.com"}});
    view->SetChecked(0, true);
    find->TxtFind->setEditText(QStringLiteral("hit"));
    TestHarness::AnswerMessages({MsgBoxButton::Ok});
    find->ComSelectMatch_Click();
    EXPECT_EQ(TestHarness::AskedMessages().last().message, QStringLiteral("The specified string has been found in 2 List items"));
    QList<bool> checks;
    for (int r = 0; r < 4; ++r) checks << view->Checked(r);
    EXPECT_EQ(checks, (QList<bool>{false, true, false, true}));
    // The loop left the position at 0: Find starts at the top.
    TestHarness::AnswerMessages({});
    find->ComFind_Click();
    EXPECT_EQ(Current(), 2);
}

TEST_F(FindInReport, ARowThatCannotBeReadEndsTheLoop) {
    Rows({{"hit1"}, {"hit2"}, {"hit3"}});
    find->TxtFind->setEditText(QStringLiteral("hit"));
    // The pane loses its view while the loop lets events in (its window went away).
    QTimer::singleShot(0, [&] { pane->SetList(nullptr); });
    TestHarness::AnswerMessages({MsgBoxButton::Ok});
    find->ComCount_Click();
    EXPECT_EQ(ErrorObj()->Routine(), QStringLiteral("LookForItem"));
    EXPECT_EQ(ErrorObj()->Message(), QStringLiteral("Object required"));
    EXPECT_EQ(TestHarness::AskedMessages().size(), 1);
    EXPECT_TRUE(OwnerEnabler::IsEnabled(find));
}

}  // namespace
