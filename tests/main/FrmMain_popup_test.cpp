// The list popup menu: its access profile by pane and entry, the items set
// from it, the Ctrl shortcuts of the two lists, right clicks that open the
// menu, and the tips of mouse moves and navigation keys.
#include <QAction>
#include <QMenu>
#include <QMouseEvent>
#include <QTest>

#include "FrmFind.h"
#include "FrmSaveList.h"
#include "ListDialogSeam.h"
#include "PanelStatusBar.h"
#include "PopupMenuSeam.h"
#include "RichTextBox.h"
#include "StatusPanel.h"
#include "WorkspaceFixture.h"
#include "clsError.h"
#include "modDialog.h"
#include "modGlobalFunctionsFiles.h"

namespace {

constexpr int32_t kOnRow = OwnerDataListView::LVHT_ONITEMLABEL;
constexpr int32_t kOffRows = 0;

// A profile as one character a slot: E visible and enabled, V visible only,
// - hidden (and disabled).
QString Profile(const FrmMain::Popup1Flags& v, const FrmMain::Popup1Flags& e) {
    QString s;
    for (int slot = 0; slot < FrmMain::kPopSlots; ++slot) s += v[slot] ? (e[slot] ? 'E' : 'V') : (e[slot] ? '?' : '-');
    return s;
}

class Popup : public WorkspaceTest {
protected:
    QString ProfileOf(const ListPaneRef& pane, int32_t row) {
        FrmMain::Popup1Flags v{}, e{};
        pane->Item = row;
        w->SetPopup1Access(pane, v, e, row);
        return Profile(v, e);
    }
    QString Panel1() const { return w->StatusBar->Panel(1)->Text(); }
};

const QByteArray kFive = "a@x.com\r\nb@x.com\r\nc@x.com\r\nd@x.com\r\ne@x.com\r\n";

TEST_F(Popup, ProfileByPaneAndEntry) {
    struct Case {
        const char* what;
        std::function<void()> set;  // the left list's state
        int32_t row;
        const char* profile;  // slots 0 (Find) to 27 (Clear)
    } cases[] = {
        // 0         1         2
        // 0123456789012345678901234567
        {"off the rows", [this] { Load(1, kFive, 5); }, -1, "EVEVEEVE-VEVV---V----EVVVVEE"},
        {"invalid only",
         [this] {
             Load(1, kFive, 5);
             YRB03(1, 1, YRB_FLAG_INVALID, 1);
         },
         1, "EVEVEEVE-VEVE-EEE-E--EVVVVEE"},
        {"all three flags",
         [this] {
             Load(1, kFive, 5);
             YRB03(1, 1, YRB_FLAG_INVALID | YRB_FLAG_DUPLICATE | YRB_FLAG_DELETED, 1);
         },
         1, "EVEVEEVE-VEVV---EEEEEEVVVVEE"},
        {"duplicate and deleted",
         [this] {
             Load(1, kFive, 5);
             YRB03(1, 2, YRB_FLAG_DUPLICATE | YRB_FLAG_DELETED, 1);
         },
         2, "EVEVEEVE-VEVEE--EE-EEEVVVVEE"},
        {"a row without an entry", [this] { Load(1, kFive, 5); }, 9, "EVEVEEVE-VEVEEEEV----EVVVVEE"},
        {"every entry flagged",
         [this] {
             Load(1, kFive, 5);
             YRB10(1, YRB_ALL_ENTRIES, YRB_MODE_SET, YRB_FLAG_INVALID, 0, 0, nullptr);
         },
         -1, "VVVVVVVV-VEVV---V----EVVVVEE"},
        {"no list", [] {}, -1, "VVVVVVVV-VVVV---V----VVVVVEV"},
        {"every entry selected",
         [this] {
             Load(1, kFive, 5);
             YRB10(1, YRB_ALL_ENTRIES, YRB_MODE_SET, YRB_FLAG_SELECTED, 0, 0, nullptr);
         },
         -1, "EVEVEVEE-VEVV---V----EVEEEEE"},
    };
    for (const Case& c : cases) {
        YRB20(1);
        c.set();
        EXPECT_EQ(ProfileOf(w->VL_left, c.row), QLatin1String(c.profile)) << c.what;
    }
    // The file pane and the mail list offer only the three selection commands.
    EXPECT_EQ(ProfileOf(w->VL_file, -1), QStringLiteral("-----VVV--------------------"));
    EXPECT_EQ(ProfileOf(w->VL_mail, -1), QStringLiteral("-----VVV--------------------"));

    // No pane, or a pane of no kind: nothing visible, reported.
    FrmMain::Popup1Flags v{}, e{};
    EXPECT_FALSE(w->SetPopup1Access(nullptr, v, e, -1));
    EXPECT_EQ(ErrorObj()->Message(), QStringLiteral("ThisList object not set"));
    const int32_t kind = w->VL_right->LType;
    w->VL_right->LType = ListKindNotSet;
    EXPECT_FALSE(w->SetPopup1Access(w->VL_right, v, e, -1));
    EXPECT_EQ(ErrorObj()->Message(), QStringLiteral("No List type has been provided"));
    EXPECT_EQ(Profile(v, e), QString(FrmMain::kPopSlots, '-'));
    w->VL_right->LType = kind;
}

TEST_F(Popup, ActivationSetsTheItems) {
    Load(1, kFive, 5);
    YRB03(1, 1, YRB_FLAG_INVALID, 1);
    FrmMain::Popup1Flags v{}, e{};
    w->VL_left->Item = 1;
    ASSERT_TRUE(w->SetPopup1Access(w->VL_left, v, e, 1));
    w->ActivatePopup1Access(v, e);
    auto state = [](const QAction* a) { return QString(a->isVisible() ? (a->isEnabled() ? 'E' : 'V') : '-'); };
    QString items;
    for (const QAction* a : {w->M_Popup1Remove, w->M_Popup1Mark, w->M_Popup1MarkInv, w->M_Popup1MarkDup,
                             w->M_Popup1MarkDel, w->M_Popup1UnMark, w->M_Popup1UnMarkAll, w->M_Popup1UnMarkInv,
                             w->M_Popup1UnMarkDup, w->M_Popup1UnMarkDel, w->M_Popup1Save, w->M_Popup1Import})
        items += state(a);
    EXPECT_EQ(items, QStringLiteral("-E-EEE-E--VE"));
    EXPECT_TRUE(w->Sep5->isVisible());
    EXPECT_TRUE(w->Sep6->isVisible());

    // Off the rows the flag sub-menus' entries keep what they had; their
    // parents are disabled.
    w->VL_left->Item = -1;
    ASSERT_TRUE(w->SetPopup1Access(w->VL_left, v, e, -1));
    w->ActivatePopup1Access(v, e);
    EXPECT_FALSE(w->M_Popup1Mark->isEnabled());
    EXPECT_FALSE(w->M_Popup1UnMark->isEnabled());
    EXPECT_TRUE(w->M_Popup1UnMarkInv->isVisible());
    EXPECT_FALSE(PopupMenuSeam::Reachable(w->M_Popup1, w->M_Popup1UnMarkInv));
}

TEST_F(Popup, CtrlKeysRunTheEnabledCommands) {
    Load(1, kFive, 5);
    auto selected = [] { return YRB16(1, YRB_FLAG_SELECTED, YRB_MASK_REMOVED, nullptr); };
    // Ctrl+S, Ctrl+Shift+S, a key without Ctrl, Ctrl+I, Ctrl+D.
    w->VL_left_KeyDown('S', false, false, false);
    EXPECT_EQ(selected(), 0);
    w->VL_left_KeyDown('S', true, true, false);
    EXPECT_EQ(selected(), 5);
    EXPECT_EQ(ThisList.get(), Pane(1));
    w->VL_left_KeyDown('I', true, false, false);
    EXPECT_EQ(selected(), 0);
    w->VL_left_KeyDown('I', true, false, true);
    EXPECT_EQ(selected(), 5);
    w->VL_left_KeyDown('D', true, false, false);
    EXPECT_EQ(selected(), 0);

    // Ctrl+L only with a selection; Ctrl+M always opens the import.
    int saveDialogs = 0;
    ListDialogSeam::Install([&](QDialog* d) {
        if (qobject_cast<FrmSaveList*>(d)) ++saveDialogs;
        d->close();
    });
    w->VL_left_KeyDown('L', true, false, false);
    EXPECT_EQ(saveDialogs, 0);
    YRB03(1, 0, YRB_FLAG_SELECTED, 1);
    w->VL_left_KeyDown('L', true, false, false);
    EXPECT_EQ(saveDialogs, 1);
    int fileDialogs = 0;
    modDialog::InstallChooser([&](const modDialog::FileDialogRequest&) {
        ++fileDialogs;
        return QStringList();
    });
    w->VL_right_KeyDown('M', true, false, false);
    EXPECT_EQ(fileDialogs, 1);
    EXPECT_EQ(ThisList.get(), Pane(2));

    // Ctrl+R never on the two lists; Ctrl+F opens the find window only while
    // the list has unflagged entries.
    w->VL_left_KeyDown('R', true, false, false);
    EXPECT_EQ(YRB16(1, 0, 0, nullptr), 5);
    YRB10(1, YRB_ALL_ENTRIES, YRB_MODE_SET, YRB_FLAG_DELETED, 0, 0, nullptr);
    w->VL_left_KeyDown('F', true, false, false);
    EXPECT_EQ(modGlobalFunctions::IsFormLoaded(QStringLiteral("FrmFind")), nullptr);
    YRB10(1, YRB_ALL_ENTRIES, YRB_MODE_CLEAR, YRB_FLAG_DELETED, 0, 0, nullptr);
    w->VL_left_KeyDown('F', true, false, false);
    QWidget* find = modGlobalFunctions::IsFormLoaded(QStringLiteral("FrmFind"));
    ASSERT_NE(find, nullptr);
    EXPECT_EQ(find->windowTitle(), QStringLiteral("Find String in Left list"));
    find->close();
}

TEST_F(Popup, ProfileFailureStopsEveryKey) {
    Load(1, kFive, 5);
    const int32_t kind = w->VL_left->LType;
    w->VL_left->LType = ListKindNotSet;
    w->VL_left_KeyDown('S', true, false, false);
    w->VL_left->LType = kind;
    EXPECT_EQ(YRB16(1, YRB_FLAG_SELECTED, 0, nullptr), 0);
    EXPECT_EQ(ErrorObj()->Message(), QStringLiteral("Cannot get Popup1 menu profile !"));
    EXPECT_EQ(ErrorObj()->Routine(), QStringLiteral("KeyboardShortcuts"));
}

TEST_F(Popup, TipsInTheStatusBar) {
    Load(1, "a@x.com\r\nb@x.com\r\n", 2);
    YRB03(1, 1, YRB_FLAG_DELETED, 1);
    const QString deleted = QStringLiteral("[b@x.com] is flagged as 'deleted' ");
    w->VL_left_MouseMove(0, 1, 1, kOnRow);
    EXPECT_EQ(Panel1(), deleted);
    // Off the rows the panel is cleared.
    w->VL_left_MouseMove(0, 1, 1, kOffRows);
    EXPECT_EQ(Panel1(), QString());
    QString tip;
    w->VL_left_ToolTip(1, 5, tip);
    EXPECT_EQ(tip, deleted);

    // Navigation keys show the tip of the current row's column 0, which is
    // empty; Left and Right leave the panel.
    w->StatusBar->Panel(1)->SetText(QStringLiteral("before"));
    QTest::keyClick(Pane(1)->ListWindow(), Qt::Key_Left);
    EXPECT_EQ(Panel1(), QStringLiteral("before"));
    QTest::keyClick(Pane(1)->ListWindow(), Qt::Key_PageDown);
    EXPECT_GE(Pane(1)->GetItem(), 0);
    EXPECT_EQ(Panel1(), QString());
}

// The mouse over a flagged entry: the status bar reads its address as the
// list and its tip show it, UTF-8 where valid, else Latin-1.
TEST_F(Popup, TipsInTheStatusBarShowTheAddressAsTheListDoes) {
    struct Case {
        const char* name;
        QByteArray address;
        QString shown;
    } const cases[] = {
        {"utf-8", "j\xc3\xb3zef@\xc5\x82\xc3\xb3" "d\xc5\xba.example.com",
         QStringLiteral("[j\u00f3zef@\u0142\u00f3d\u017a.example.com] is flagged as 'deleted' ")},
        {"latin-1", "chlo\xe9@x.example", QStringLiteral("[chlo\u00e9@x.example] is flagged as 'deleted' ")},
        {"DEL", "del@exa\x7fmple.com", QStringLiteral("[del@exa^?mple.com] is flagged as 'deleted' ")},
    };
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    OwnerDataListView* list = Pane(1)->ListWindow();
    QWidget* viewport = list->viewport();
    auto hover = [&](int row) {
        const QPoint at = list->visualRect(list->model()->index(row, 1)).center();
        QMouseEvent move(QEvent::MouseMove, at, viewport->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(viewport, &move);
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        YRB20(1);
        Load(1, "a@x.com\r\n" + c.address + "\r\n", 2);
        YRB03(1, 1, YRB_FLAG_DELETED, 1);
        hover(0);
        EXPECT_EQ(Panel1(), QString());
        hover(1);
        EXPECT_EQ(Panel1(), c.shown);
    }
}

TEST_F(Popup, RightClickOpensTheMenuOnTheRow) {
    Load(1, kFive, 5);
    YRB03(1, 3, YRB_FLAG_DUPLICATE, 1);
    QStringList seen;
    PopupMenuSeam::Install([&](QMenu* menu) {
        seen << QString::fromLatin1(PopupMenuSeam::Reachable(menu, w->M_Popup1UnMarkDup) ? "UnMarkDup" : "-");
        return w->M_Popup1SelectAll;
    });
    w->VL_left_MouseDown(modGlobalFunctions::kRightButton, 3, 1, kOnRow);
    EXPECT_EQ(seen, QStringList{"UnMarkDup"});
    EXPECT_EQ(Pane(1)->Item, 3);
    EXPECT_EQ(ThisList.get(), Pane(1));
    // The chosen command ran before the click returned.
    EXPECT_EQ(YRB16(1, YRB_FLAG_SELECTED, YRB_MASK_REMOVED, nullptr), 4);

    // Below the last row: no entry for the row commands.
    PopupMenuSeam::Install([&](QMenu* menu) {
        seen << QString::fromLatin1(PopupMenuSeam::Reachable(menu, w->M_Popup1Mark) ? "Mark" : "-");
        return w->M_Popup1MarkInv;  // not reachable: nothing runs
    });
    w->VL_right_MouseDown(modGlobalFunctions::kRightButton, 7, 1, kOffRows);
    EXPECT_EQ(seen.last(), QStringLiteral("-"));
    EXPECT_EQ(Pane(2)->Item, -1);
    EXPECT_EQ(ThisList.get(), Pane(2));
    EXPECT_TRUE(w->TxtErrors->Text().isEmpty());
}

TEST_F(Popup, RightClickUnflagsTheChosenEntry) {
    Load(1, kFive, 5);
    YRB03(1, 2, YRB_FLAG_INVALID | YRB_FLAG_DUPLICATE, 1);
    Pane(1)->SetAll();
    ASSERT_EQ(w->LabCntLeft->text(), QStringLiteral("4 object(s)"));
    int16_t icon = 0;
    w->VL_left_ItemImageCallback(2, 3, icon);
    const int16_t flaggedIcon = icon;
    // The user opens "Un-flag this entry ..." and picks "Invalid".
    PopupMenuSeam::Install([&](QMenu* menu) {
        EXPECT_TRUE(PopupMenuSeam::Reachable(menu, w->M_Popup1UnMarkAll));
        return w->M_Popup1UnMarkInv;
    });
    w->VL_left_MouseDown(modGlobalFunctions::kRightButton, 2, 3, kOnRow);
    EXPECT_EQ(YRB17(1, 2, -1) & (YRB_FLAG_INVALID | YRB_FLAG_DUPLICATE), YRB_FLAG_DUPLICATE);
    w->VL_left_ItemImageCallback(2, 3, icon);
    EXPECT_NE(icon, flaggedIcon);
    // Still a duplicate, so still not counted.
    EXPECT_EQ(w->LabCntLeft->text(), QStringLiteral("4 object(s)"));

    PopupMenuSeam::Install([&](QMenu*) { return w->M_Popup1UnMarkDup; });
    w->VL_left_MouseDown(modGlobalFunctions::kRightButton, 2, 4, kOnRow);
    EXPECT_EQ(YRB17(1, 2, -1) & YRB_MASK_REMOVED, 0);
    EXPECT_EQ(w->LabCntLeft->text(), QStringLiteral("5 object(s)"));
}

}  // namespace
