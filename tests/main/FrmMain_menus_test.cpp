// The menu bar, the list panes' context menu, the web pages of the menus
// and the change of tabs.
#include <stdexcept>

#include <QAction>
#include <QDialog>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QTabWidget>
#include <QTest>

#include "FrmMain.h"
#include "MainFixture.h"
#include "PanelStatusBar.h"
#include "ProductPages.h"
#include "RichTextBox.h"
#include "Screen.h"
#include "StatusPanel.h"
#include "TestHarness.h"
#include "WebPageSeam.h"

namespace {

// One line per entry: its depth, name and caption ("-" for a separator),
// and its state when it is not visible and enabled.
void Tree(const QList<QAction*>& actions, int depth, QStringList& lines) {
    for (QAction* a : actions) {
        QMenu* sub = a->menu();
        QString line = QString(depth * 2, QLatin1Char(' ')) + (sub ? sub->objectName() : a->objectName()) +
                       QLatin1Char(' ') + (a->isSeparator() ? QStringLiteral("-") : a->text());
        if (!a->isVisible()) line += QStringLiteral(" (hidden)");
        if (!a->isEnabled()) line += QStringLiteral(" (disabled)");
        lines.append(line);
        if (sub) Tree(sub->actions(), depth + 1, lines);
    }
}

TEST(FrmMainMenus, MenuBarTree) {
    MainFixture::WriteReferenceFiles();
    FrmMain w;
    w.Form_Load();
    QStringList lines;
    Tree(w.menuBar()->actions(), 0, lines);
    const QStringList expected = {
        "M_File File",
        "  S_Exit &Exit",
        "M_Help Help",
        "  S_HelpAbout About",
        "  S_HelpOnline Online Documentation",
        "  S_HelpWeb Ormid List Studio web site",
        "  Sep0 -",
        "  S_HelpOptions &Options",
        "M_Ormid ORMID products",
        "  M_Ormid_TS Ormid Tessel web site",
    };
    EXPECT_EQ(lines, expected);
}

TEST(FrmMainMenus, ContextMenuTree) {
    MainFixture::WriteReferenceFiles();
    FrmMain w;
    w.Form_Load();
    EXPECT_EQ(w.M_Popup1->objectName(), QStringLiteral("M_Popup1"));
    EXPECT_EQ(w.M_Popup1->title(), QStringLiteral("Popup Menu"));
    EXPECT_FALSE(w.M_Popup1->isVisible());
    EXPECT_FALSE(w.menuBar()->actions().contains(w.M_Popup1->menuAction()));

    QStringList lines;
    Tree(w.M_Popup1->actions(), 0, lines);
    const QStringList expected = {
        "M_Popup1Find Find In List\tCtrl+F",
        "Sep2 -",
        "M_Popup1Stat Domain Name Statistics",
        "Sep3 -",
        "M_Popup1Select Select ...",
        "  M_Popup1Duplicate Duplicate",
        "  M_Popup1Invalid Invalid",
        "M_Popup1SelectAll Select All\tCtrl+S",
        "M_Popup1DeselectAll Deselect All\tCtrl+D",
        "M_Popup1Invert Invert Selection\tCtrl+I",
        "M_Popup1Remove Remove Selection\tCtrl+R (disabled)",
        "Sep4 -",
        "M_Popup1Sort Sort entries by ...",
        "  M_Popup1SortEmail Email address",
        "    M_Popup1SortEmailAsc Ascending",
        "    M_Popup1SortEmailDes Descending",
        "  M_Popup1SortDomain Domain",
        "    M_Popup1SortDomainAsc Ascending",
        "    M_Popup1SortDomainDes Descending",
        "  M_Popup1SortUser User",
        "    M_Popup1SortUserAsc Ascending",
        "    M_Popup1SortUserDes Descending",
        "  M_Popup1SortFlag Flag",
        "    M_Popup1SortFlagInv Invalid",
        "      M_Popup1SortFlagInvAsc Ascending",
        "      M_Popup1SortFlagInvDes Descending",
        "    M_Popup1SortFlagDup Duplicate",
        "      M_Popup1SortFlagDupAsc Ascending",
        "      M_Popup1SortFlagDupDes Descending",
        "    M_Popup1SortFlagDel Deleted",
        "      M_Popup1SortFlagDelAsc Ascending",
        "      M_Popup1SortFlagDelDes Descending",
        "    M_Popup1SortFlagCom Comparison",
        "      M_Popup1SortFlagComAsc Ascending",
        "      M_Popup1SortFlagComDes Descending",
        "Sep5 -",
        "M_Popup1Mark Flag this entry as ...",
        "  M_Popup1MarkInv Invalid",
        "  M_Popup1MarkDup Duplicate",
        "  M_Popup1MarkDel Deleted",
        "M_Popup1UnMark Un-flag this entry ...",
        "  M_Popup1UnMarkAll All flags",
        "  M_Popup1UnMarkInv Invalid",
        "  M_Popup1UnMarkDup Duplicate",
        "  M_Popup1UnMarkDel Deleted",
        "M_Popup1UnMarkFull Un-Flag all entries",
        "Sep6 -",
        "M_Popup1Split Save and Split List",
        "M_Popup1Bcc Save as Bcc List",
        "M_Popup1Save Save List\tCtrl+L",
        "M_Popup1Import Import List From file\tCtrl+M",
        "M_Popup1Clear Clear List",
    };
    EXPECT_EQ(lines, expected);
    // The members are the entries of the tree.
    EXPECT_EQ(w.M_Popup1SortFlagComDes->objectName(), QStringLiteral("M_Popup1SortFlagComDes"));
    EXPECT_EQ(w.M_Popup1Select->menu()->objectName(), QStringLiteral("M_Popup1Select"));
}

TEST(FrmMainMenus, ShownShortcutsRunNothing) {
    MainFixture::WriteReferenceFiles();
    FrmMain w;
    w.Form_Load();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    int triggered = 0;
    for (QAction* a : w.findChildren<QAction*>()) {
        EXPECT_TRUE(a->shortcut().isEmpty()) << a->objectName().toStdString();
        QObject::connect(a, &QAction::triggered, [&] { ++triggered; });
    }
    const Qt::Key keys[] = {Qt::Key_F, Qt::Key_S, Qt::Key_D, Qt::Key_I, Qt::Key_R, Qt::Key_L, Qt::Key_M};
    for (Qt::Key k : keys) QTest::keyClick(&w, k, Qt::ControlModifier);
    EXPECT_EQ(triggered, 0);
    EXPECT_TRUE(w.isVisible());
    EXPECT_FALSE(w.M_Popup1->isVisible());

    // The same key reaches a shortcut of the window when one exists.
    QAction probe(&w);
    probe.setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    w.addAction(&probe);
    int probed = 0;
    QObject::connect(&probe, &QAction::triggered, [&] { ++probed; });
    QTest::keyClick(&w, Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(probed, 1);
}

TEST(FrmMainMenus, WebPagesReachTheBrowser) {
    MainFixture::WriteReferenceFiles();
    FrmMain w;
    w.Form_Load();
    struct Row {
        const char* name;
        QAction* entry;
        const char* address;
        const char* ending;
    };
    const Row rows[] = {
        {"online documentation", w.S_HelpOnline, ProductPages::OnlineDocumentation, "/onlinedoc.htm"},
        {"product", w.S_HelpWeb, ProductPages::ProductHome, "/"},
        {"maker", w.M_Ormid_TS, ProductPages::MakerHome, "/?ormidyrb"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        QStringList opened;
        int pointer = -1;
        WebPageSeam::Install([&](const QString& address) {
            opened.append(address);
            pointer = Screen::Instance()->MousePointer();
            return true;
        });
        r.entry->trigger();
        EXPECT_EQ(opened, QStringList{QString::fromLatin1(r.address)});
        EXPECT_TRUE(opened.value(0).startsWith(QStringLiteral("https://")));
        EXPECT_TRUE(opened.value(0).endsWith(QLatin1String(r.ending)));
        EXPECT_EQ(pointer, 11);
        EXPECT_EQ(Screen::Instance()->MousePointer(), 0);
    }
    // Three different pages.
    EXPECT_NE(QString(ProductPages::OnlineDocumentation), QString(ProductPages::ProductHome));
    EXPECT_NE(QString(ProductPages::ProductHome), QString(ProductPages::MakerHome));

    // A page the desktop cannot open is not reported; a failure inside the
    // handler is, and the pointer comes back in both cases.
    WebPageSeam::Install([](const QString&) { return false; });
    w.S_HelpWeb->trigger();
    EXPECT_TRUE(w.TxtErrors->Text().isEmpty());
    EXPECT_EQ(Screen::Instance()->MousePointer(), 0);
    WebPageSeam::Install([](const QString&) -> bool { throw std::runtime_error("no browser"); });
    w.M_Ormid_TS->trigger();
    EXPECT_TRUE(w.TxtErrors->Text().contains(
        "Message : no browser\r\n\t Context : Error !\r\n\t Module  : FrmMain\r\n\t Routine : M_Ormid_TS_Click\r\n"));
    EXPECT_EQ(Screen::Instance()->MousePointer(), 0);
}

TEST(FrmMainMenus, ChangingTabsClearsTheMessageAndClosesTheFindDialog) {
    MainFixture::WriteReferenceFiles();
    FrmMain w;
    w.Form_Load();
    EXPECT_EQ(w.SSTab->currentIndex(), 0);
    struct Row {
        int from, to;
        const char* findName;  // a loaded find dialog's name; null: none
        bool findStays;
    };
    const Row rows[] = {
        {0, 1, "FrmFind", false}, {2, 0, "FrmFind", true},  {0, 4, "frmFind", false},
        {3, 2, "FRMFIND", false}, {1, 0, "frmFind", true},  {0, 3, nullptr, false},
        {4, 1, "FrmFinder", true},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(QStringLiteral("%1 to %2, %3").arg(r.from).arg(r.to).arg(r.findName).toStdString());
        w.SSTab->setCurrentIndex(r.from);
        QPointer<QDialog> find;
        if (r.findName) {
            find = new QDialog(&w);
            find->setObjectName(QLatin1String(r.findName));
            find->show();
        }
        w.StatusBar->Panel(1)->SetText(QStringLiteral("a message"));
        w.SSTab->setCurrentIndex(r.to);
        EXPECT_EQ(w.StatusBar->Panel(1)->Text(), QString());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (r.findName) {
            EXPECT_EQ(!find.isNull() && find->isVisible(), r.findStays);
            delete find;
        }
    }
    EXPECT_TRUE(w.TxtErrors->Text().isEmpty());
}

}  // namespace
