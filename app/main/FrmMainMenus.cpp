// The main window's menu bar, the list panes' context menu, the handlers
// of the menu bar and the change of tabs.
#include <QAction>
#include <QCheckBox>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>

#include "ErrorTrap.h"
#include "FrmMain.h"
#include "FrmOptions.h"
#include "FrmSplash.h"
#include "PanelStatusBar.h"
#include "ProductPages.h"
#include "Screen.h"
#include "StatusPanel.h"
#include "WebPageSeam.h"
#include "modGlobalFunctionsFiles.h"
#include "modGlobalFunctionsForms.h"

namespace {

constexpr int kHourglassPointer = 11;
constexpr int kDefaultPointer = 0;

// The tab of the two lists, the only one the find dialog may stay open on.
constexpr int kManageListsTab = 0;

QAction* Entry(QMenu* menu, const char* name, const QString& caption, const char* shownShortcut = nullptr) {
    // A shortcut after a tab is drawn in the menu's shortcut column but
    // never registered, so the key reaches the focused list pane.
    QString text = caption;
    if (shownShortcut) text += QLatin1Char('\t') + QLatin1String(shownShortcut);
    QAction* a = menu->addAction(text);
    a->setObjectName(QLatin1String(name));
    return a;
}

QAction* Separator(QMenu* menu, const char* name) {
    QAction* a = menu->addSeparator();
    a->setObjectName(QLatin1String(name));
    return a;
}

// A sub-menu: its entry in the parent carries the same name as the menu.
QMenu* SubMenu(QMenu* parent, const char* name, const QString& caption, QAction*& entry) {
    QMenu* m = parent->addMenu(caption);
    m->setObjectName(QLatin1String(name));
    entry = m->menuAction();
    entry->setObjectName(QLatin1String(name));
    return m;
}

}  // namespace

FrmMain::PointerGuard::~PointerGuard() { Screen::Instance()->SetMousePointer(kDefaultPointer); }

void FrmMain::PointerGuard::Hourglass() { Screen::Instance()->SetMousePointer(kHourglassPointer); }

void FrmMain::BuildMenus() {
    QMenuBar* bar = menuBar();
    M_File = bar->addMenu(QStringLiteral("File"));
    M_File->setObjectName(QStringLiteral("M_File"));
    S_Exit = Entry(M_File, "S_Exit", QStringLiteral("&Exit"));

    M_Help = bar->addMenu(QStringLiteral("Help"));
    M_Help->setObjectName(QStringLiteral("M_Help"));
    S_HelpAbout = Entry(M_Help, "S_HelpAbout", QStringLiteral("About"));
    S_HelpOnline = Entry(M_Help, "S_HelpOnline", QStringLiteral("Online Documentation"));
    S_HelpWeb = Entry(M_Help, "S_HelpWeb", QStringLiteral("Ormid List Studio web site"));
    Sep0 = Separator(M_Help, "Sep0");
    S_HelpOptions = Entry(M_Help, "S_HelpOptions", QStringLiteral("&Options"));

    M_Ormid = bar->addMenu(QStringLiteral("ORMID products"));
    M_Ormid->setObjectName(QStringLiteral("M_Ormid"));
    M_Ormid_TS = Entry(M_Ormid, "M_Ormid_TS", QStringLiteral("Ormid Tessel web site"));

    connect(S_Exit, &QAction::triggered, this, &FrmMain::S_Exit_Click);
    connect(S_HelpAbout, &QAction::triggered, this, &FrmMain::S_HelpAbout_Click);
    connect(S_HelpOnline, &QAction::triggered, this, &FrmMain::S_HelpOnline_Click);
    connect(S_HelpWeb, &QAction::triggered, this, &FrmMain::S_HelpWeb_Click);
    connect(S_HelpOptions, &QAction::triggered, this, &FrmMain::S_HelpOptions_Click);
    connect(M_Ormid_TS, &QAction::triggered, this, &FrmMain::M_Ormid_TS_Click);

    // The context menu: opened by the panes at the pointer, its entries
    // handled by the two-list workspace.
    M_Popup1 = new QMenu(QStringLiteral("Popup Menu"), this);
    M_Popup1->setObjectName(QStringLiteral("M_Popup1"));
    QMenu* p = M_Popup1;
    M_Popup1Find = Entry(p, "M_Popup1Find", QStringLiteral("Find In List"), "Ctrl+F");
    Sep2 = Separator(p, "Sep2");
    M_Popup1Stat = Entry(p, "M_Popup1Stat", QStringLiteral("Domain Name Statistics"));
    Sep3 = Separator(p, "Sep3");
    QMenu* select = SubMenu(p, "M_Popup1Select", QStringLiteral("Select ..."), M_Popup1Select);
    M_Popup1Duplicate = Entry(select, "M_Popup1Duplicate", QStringLiteral("Duplicate"));
    M_Popup1Invalid = Entry(select, "M_Popup1Invalid", QStringLiteral("Invalid"));
    M_Popup1SelectAll = Entry(p, "M_Popup1SelectAll", QStringLiteral("Select All"), "Ctrl+S");
    M_Popup1DeselectAll = Entry(p, "M_Popup1DeselectAll", QStringLiteral("Deselect All"), "Ctrl+D");
    M_Popup1Invert = Entry(p, "M_Popup1Invert", QStringLiteral("Invert Selection"), "Ctrl+I");
    M_Popup1Remove = Entry(p, "M_Popup1Remove", QStringLiteral("Remove Selection"), "Ctrl+R");
    M_Popup1Remove->setEnabled(false);
    Sep4 = Separator(p, "Sep4");
    QMenu* sort = SubMenu(p, "M_Popup1Sort", QStringLiteral("Sort entries by ..."), M_Popup1Sort);
    QMenu* flag = nullptr;  // made before the first key that sorts by a flag
    struct Key {
        bool byFlag;
        const char* name;
        const char* caption;
        QAction* FrmMain::*entry;
        QAction* FrmMain::*ascending;
        QAction* FrmMain::*descending;
    };
    const Key keys[] = {
        {false, "M_Popup1SortEmail", "Email address", &FrmMain::M_Popup1SortEmail, &FrmMain::M_Popup1SortEmailAsc,
         &FrmMain::M_Popup1SortEmailDes},
        {false, "M_Popup1SortDomain", "Domain", &FrmMain::M_Popup1SortDomain, &FrmMain::M_Popup1SortDomainAsc,
         &FrmMain::M_Popup1SortDomainDes},
        {false, "M_Popup1SortUser", "User", &FrmMain::M_Popup1SortUser, &FrmMain::M_Popup1SortUserAsc,
         &FrmMain::M_Popup1SortUserDes},
        {true, "M_Popup1SortFlagInv", "Invalid", &FrmMain::M_Popup1SortFlagInv, &FrmMain::M_Popup1SortFlagInvAsc,
         &FrmMain::M_Popup1SortFlagInvDes},
        {true, "M_Popup1SortFlagDup", "Duplicate", &FrmMain::M_Popup1SortFlagDup, &FrmMain::M_Popup1SortFlagDupAsc,
         &FrmMain::M_Popup1SortFlagDupDes},
        {true, "M_Popup1SortFlagDel", "Deleted", &FrmMain::M_Popup1SortFlagDel, &FrmMain::M_Popup1SortFlagDelAsc,
         &FrmMain::M_Popup1SortFlagDelDes},
        {true, "M_Popup1SortFlagCom", "Comparison", &FrmMain::M_Popup1SortFlagCom, &FrmMain::M_Popup1SortFlagComAsc,
         &FrmMain::M_Popup1SortFlagComDes},
    };
    for (const Key& k : keys) {
        if (k.byFlag && flag == nullptr)
            flag = SubMenu(sort, "M_Popup1SortFlag", QStringLiteral("Flag"), M_Popup1SortFlag);
        QMenu* key = SubMenu(k.byFlag ? flag : sort, k.name, QLatin1String(k.caption), this->*k.entry);
        this->*k.ascending = Entry(key, (QByteArray(k.name) + "Asc").constData(), QStringLiteral("Ascending"));
        this->*k.descending = Entry(key, (QByteArray(k.name) + "Des").constData(), QStringLiteral("Descending"));
    }
    Sep5 = Separator(p, "Sep5");
    QMenu* mark = SubMenu(p, "M_Popup1Mark", QStringLiteral("Flag this entry as ..."), M_Popup1Mark);
    M_Popup1MarkInv = Entry(mark, "M_Popup1MarkInv", QStringLiteral("Invalid"));
    M_Popup1MarkDup = Entry(mark, "M_Popup1MarkDup", QStringLiteral("Duplicate"));
    M_Popup1MarkDel = Entry(mark, "M_Popup1MarkDel", QStringLiteral("Deleted"));
    QMenu* unmark = SubMenu(p, "M_Popup1UnMark", QStringLiteral("Un-flag this entry ..."), M_Popup1UnMark);
    M_Popup1UnMarkAll = Entry(unmark, "M_Popup1UnMarkAll", QStringLiteral("All flags"));
    M_Popup1UnMarkInv = Entry(unmark, "M_Popup1UnMarkInv", QStringLiteral("Invalid"));
    M_Popup1UnMarkDup = Entry(unmark, "M_Popup1UnMarkDup", QStringLiteral("Duplicate"));
    M_Popup1UnMarkDel = Entry(unmark, "M_Popup1UnMarkDel", QStringLiteral("Deleted"));
    M_Popup1UnMarkFull = Entry(p, "M_Popup1UnMarkFull", QStringLiteral("Un-Flag all entries"));
    Sep6 = Separator(p, "Sep6");
    M_Popup1Split = Entry(p, "M_Popup1Split", QStringLiteral("Save and Split List"));
    M_Popup1Bcc = Entry(p, "M_Popup1Bcc", QStringLiteral("Save as Bcc List"));
    M_Popup1Save = Entry(p, "M_Popup1Save", QStringLiteral("Save List"), "Ctrl+L");
    M_Popup1Import = Entry(p, "M_Popup1Import", QStringLiteral("Import List From file"), "Ctrl+M");
    M_Popup1Clear = Entry(p, "M_Popup1Clear", QStringLiteral("Clear List"));
}

void FrmMain::S_Exit_Click() {
    // The same way out as the close box, question and unload included.
    Trap([&] { close(); }, [&](const QString& d) { Report(d, QString(), QStringLiteral("S_Exit_Click")); });
}

void FrmMain::S_HelpAbout_Click() {
    Trap(
        [&] {
            FrmSplash about(this);
            about.Form_Load();
            about.setWindowTitle(QStringLiteral("About Ormid List Studio"));
            about.ChkHide->hide();
            modGlobalFunctions::CenterForm(&about, this);
            about.exec();
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("S_HelpAbout_Click")); });
}

void FrmMain::S_HelpOptions_Click() {
    Trap(
        [&] {
            FrmOptions options(this);
            options.Form_Load();
            options.exec();
        },
        [&](const QString& d) {
            Report(d, QStringLiteral("Error Displaying Options"), QStringLiteral("S_HelpOptions_Click"));
        });
}

void FrmMain::OpenWebPage(const char* address, const QString& routine) {
    PointerGuard pointer;
    pointer.Hourglass();
    // A page the desktop cannot open is not reported: the user sees
    // nothing happen, as with any browser that fails to start.
    Trap([&] { WebPageSeam::Open(QLatin1String(address)); }, [&](const QString& d) { Report(d, QString(), routine); });
}

void FrmMain::S_HelpOnline_Click() {
    OpenWebPage(ProductPages::OnlineDocumentation, QStringLiteral("S_HelpOnline_Click"));
}

void FrmMain::S_HelpWeb_Click() { OpenWebPage(ProductPages::ProductHome, QStringLiteral("S_HelpWeb_Click")); }

void FrmMain::M_Ormid_TS_Click() { OpenWebPage(ProductPages::MakerHome, QStringLiteral("M_Ormid_TS_Click")); }

void FrmMain::SSTab_Click() {
    Trap(
        [&] {
            StatusBar->Panel(1)->SetText(QString());
            if (SSTab->currentIndex() == kManageListsTab) return;
            // The find dialog searches the lists of the first tab only.
            if (QWidget* find = modGlobalFunctions::IsFormLoaded(QStringLiteral("FrmFind"))) {
                find->close();
                find->deleteLater();
            }
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("SSTab_Click")); });
}
