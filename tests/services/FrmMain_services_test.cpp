// What the main window does with these services: the splash
// window at its load unless "Hide" is "1", the editor setting, and the Help
// menu's About box and options window.
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "FrmMain.h"
#include "FrmOptions.h"
#include "FrmSplash.h"
#include "IntervalTimer.h"
#include "ServiceTestSupport.h"
#include "TestHarness.h"
#include "modProcess.h"
#include "modRegistry.h"

namespace {

TEST(FrmMainServices, ANewUserSeesTheSplashWindowAndCanHideIt) {
    ServiceTest::TempSettings settings;  // a new user: no settings at all
    bool shown = false, ticking = false, boxVisible = false;
    QString version;
    TestHarness::WhenModal<FrmSplash>([&](FrmSplash* s) {
        shown = true;
        ticking = s->TmrSplash->Enabled();
        boxVisible = s->ChkHide->isVisible();
        version = s->lblVersion->text();
        s->ChkHide->setChecked(true);
        s->ComOK->click();
    });
    FrmMain w;
    w.Form_Load();
    EXPECT_TRUE(shown);
    EXPECT_TRUE(ticking);
    EXPECT_TRUE(boxVisible);
    EXPECT_EQ(version, QStringLiteral("Version 1.0.0"));
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(modRegistry::GetSetting(QStringLiteral("Hide"), QString()), QStringLiteral("1"));
    EXPECT_EQ(EditorPath, modProcess::DefaultEditor());
    w.close();
    // The next start shows no splash window (an unexpected one would fail
    // the harness's wait for it).
    FrmMain next;
    next.Form_Load();
    EXPECT_TRUE(next.isVisible());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST(FrmMainServices, EditorSettingIsReadAtLoad) {
    ServiceTest::TempSettings settings;
    modRegistry::SetSetting(QStringLiteral("Hide"), QStringLiteral("1"));
    modRegistry::SetSetting(QStringLiteral("Editor"), QStringLiteral(""));
    FrmMain w;
    w.Form_Load();
    EXPECT_EQ(EditorPath, QString());  // stored empty: read back empty
    modRegistry::SetSetting(QStringLiteral("Editor"), QStringLiteral("kate --block"));
    FrmMain v;
    v.Form_Load();
    EXPECT_EQ(EditorPath, QStringLiteral("kate --block"));
}

TEST(FrmMainServices, AboutBoxFromTheHelpMenu) {
    FrmMain w;
    w.Form_Load();
    QString title;
    bool boxHidden = false, ticking = true;
    TestHarness::WhenModal<FrmSplash>([&](FrmSplash* s) {
        title = s->windowTitle();
        boxHidden = s->ChkHide->isHidden();
        ticking = s->TmrSplash->Enabled();
        s->ComOK->click();
    });
    w.S_HelpAbout->trigger();
    EXPECT_EQ(title, QStringLiteral("About Ormid List Studio"));
    EXPECT_TRUE(boxHidden);
    EXPECT_FALSE(ticking);
    EXPECT_EQ(modRegistry::GetSetting(QStringLiteral("Hide"), QString()), QStringLiteral("1"));  // untouched
}

TEST(FrmMainServices, OptionsChangeTheEditor) {
    FrmMain w;
    w.Form_Load();
    TestHarness::WhenModal<FrmOptions>([&](FrmOptions* o) {
        EXPECT_EQ(o->TxtEditor->text(), EditorPath);
        o->TxtEditor->setText(QStringLiteral("mousepad --disable-server"));
        o->ComOK->click();
    });
    w.S_HelpOptions->trigger();
    EXPECT_EQ(EditorPath, QStringLiteral("mousepad --disable-server"));
    EXPECT_EQ(modRegistry::GetSetting(QStringLiteral("Editor"), QString()), QStringLiteral("mousepad --disable-server"));
}

}  // namespace
