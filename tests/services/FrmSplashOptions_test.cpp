// FrmSplash and FrmOptions.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include "FormGeometry.h"
#include "FrmOptions.h"
#include "FrmSplash.h"
#include "IntervalTimer.h"
#include "ProgramFolder.h"
#include "Screen.h"
#include "ServiceTestSupport.h"
#include "TestHarness.h"
#include "modDialog.h"
#include "modGlobalFunctionsForms.h"
#include "modProcess.h"
#include "modRegistry.h"

namespace {

QString Hide() { return modRegistry::GetSetting(QStringLiteral("Hide"), QStringLiteral("<none>")); }

TEST(FrmSplash, LoadShowsTheVersionCentredOnTheScreen) {
    ServiceTest::TempSettings settings;
    FrmSplash s;
    s.Form_Load();
    EXPECT_EQ(s.lblVersion->text(), QStringLiteral("Version 1.0.0"));
    EXPECT_EQ(s.lblDescription->text(), QStringLiteral("Tool for managing Email addresses Lists"));
    EXPECT_EQ(s.ChkHide->text(), QStringLiteral("Hide this window at next startup"));
    EXPECT_FALSE(s.ChkHide->isChecked());
    EXPECT_EQ(s.ComOK->text(), QStringLiteral("Ok"));
    EXPECT_FALSE(s.TmrSplash->Enabled());
    EXPECT_EQ(s.TmrSplash->Interval(), 5000);
    const Screen* scr = Screen::Instance();
    EXPECT_NEAR(FormGeometry::Left(&s), (scr->Width() - FormGeometry::Width(&s)) / 2, 15);
    EXPECT_NEAR(FormGeometry::Top(&s), (scr->Height() - FormGeometry::Height(&s)) / 2, 15);
}

TEST(FrmSplash, ClosingStoresTheCheckBoxTable) {
    struct Row {
        bool tick;
        bool byTimer;
        const char* hide;
    };
    const Row rows[] = {{false, false, "0"}, {true, false, "1"}, {true, true, "1"}, {false, true, "0"}};
    for (const Row& r : rows) {
        ServiceTest::TempSettings settings;
        FrmSplash s;
        s.Form_Load();
        s.TmrSplash->SetEnabled(true);
        int ticking = -1;
        TestHarness::WhenModal<FrmSplash>([&](FrmSplash* w) {
            ticking = w->TmrSplash->Enabled();
            w->ChkHide->setChecked(r.tick);
            if (r.byTimer) emit w->TmrSplash->Timer();
            else w->ComOK->click();
        });
        s.exec();
        EXPECT_EQ(ticking, 1);
        EXPECT_FALSE(s.isVisible());
        EXPECT_FALSE(s.TmrSplash->Enabled());
        EXPECT_EQ(Hide(), QString::fromLatin1(r.hide));
    }
}

TEST(FrmSplash, ClosesByItselfAfterFiveSeconds) {
    ServiceTest::TempSettings settings;
    FrmSplash s;
    s.Form_Load();
    s.TmrSplash->SetEnabled(true);
    QElapsedTimer clock;
    clock.start();
    s.exec();
    EXPECT_GE(clock.elapsed(), 4700);  // a coarse timer may fire 5 % early
    EXPECT_LT(clock.elapsed(), 8000);
    EXPECT_EQ(Hide(), QStringLiteral("0"));
}

TEST(FrmSplash, AboutRoleNeverWritesHide) {
    ServiceTest::TempSettings settings;
    ASSERT_TRUE(modRegistry::SetSetting(QStringLiteral("Hide"), QStringLiteral("1")));
    FrmSplash s;
    s.Form_Load();
    s.setWindowTitle(QStringLiteral("About Ormid List Studio"));
    s.ChkHide->hide();
    TestHarness::WhenModal<FrmSplash>([](FrmSplash* w) { w->ComOK->click(); });
    s.exec();
    EXPECT_EQ(Hide(), QStringLiteral("1"));
    // Closed by its window frame: the same.
    FrmSplash t;
    t.Form_Load();
    t.ChkHide->hide();
    TestHarness::WhenModal<FrmSplash>([](FrmSplash* w) { w->close(); });
    t.exec();
    EXPECT_EQ(Hide(), QStringLiteral("1"));
}

TEST(FrmSplash, AFailedWriteIsReported) {
    ServiceTest::TempSettings settings;
    ServiceTest::Console console;
    QDir().mkpath(settings.path);  // a folder in the file's place
    FrmSplash s;
    s.Form_Load();
    TestHarness::WhenModal<FrmSplash>([](FrmSplash* w) { w->ComOK->click(); });
    s.exec();
    EXPECT_EQ(console.Count(QStringLiteral("The setting 'Hide' could not be stored")), 1);
}

TEST(FrmSplash, DraggingTheFrame) {
    FrmSplash s;
    s.Form_Load();
    s.show();
    Screen::Instance()->SetMousePointer(11);
    const QPoint before = s.pos();
    // A right-button press on the frame does not drag: the window stays put.
    QTest::mousePress(s.FraMain, Qt::RightButton, {}, QPoint(10, 10));
    QTest::mouseRelease(s.FraMain, Qt::RightButton, {}, QPoint(10, 10));
    EXPECT_EQ(s.pos(), before);
    EXPECT_EQ(Screen::Instance()->MousePointer(), 11);
    // The left button hands the drag to the window manager; the pointer comes back.
    s.FraMain_MouseDown(modGlobalFunctions::kLeftButton);
    EXPECT_EQ(Screen::Instance()->MousePointer(), 11);
}

// ---- FrmOptions --------------------------------------------------------------

struct ScriptedDialog {
    QStringList answer;
    QList<modDialog::FileDialogRequest> asked;
    ScriptedDialog() {
        modDialog::InstallChooser([this](const modDialog::FileDialogRequest& r) {
            asked.append(r);
            return answer;
        });
    }
    ~ScriptedDialog() { modDialog::InstallChooser(nullptr); }
};

TEST(FrmOptions, LoadCentresOnTheMainWindowAndShowsTheEditor) {
    QWidget main;
    main.setObjectName(QStringLiteral("FrmMain"));
    main.setGeometry(200, 150, 800, 600);
    main.show();
    EditorPath = QStringLiteral("gedit --wait");
    FrmOptions o(&main);
    o.Form_Load();
    EXPECT_EQ(o.windowTitle(), QStringLiteral("Options"));
    EXPECT_EQ(o.TxtEditor->text(), QStringLiteral("gedit --wait"));
    EXPECT_EQ(o.SSTabOptions->count(), 1);
    EXPECT_EQ(o.SSTabOptions->tabText(0), QStringLiteral("General"));
    EXPECT_EQ(o.LabEditor->text(), QStringLiteral("Editor"));
    EXPECT_EQ(o.ComEditor->text(), QStringLiteral("..."));
    EXPECT_EQ(o.ComOK->text(), QStringLiteral("Ok"));
    EXPECT_NEAR(FormGeometry::Left(&o), FormGeometry::Left(&main) + (FormGeometry::Width(&main) - FormGeometry::Width(&o)) / 2, 15);
    EXPECT_NEAR(FormGeometry::Top(&o), FormGeometry::Top(&main) + (FormGeometry::Height(&main) - FormGeometry::Height(&o)) / 2, 15);
}

TEST(FrmOptions, BrowseTable) {
    struct Row {
        const char* wrkDir;  // nullptr: no value stored
        QStringList chosen;
        const char* initDir;
        const char* text;
    };
    const QString program = ProgramFolder::Path();
    const Row rows[] = {
        {"/home/me/lists/", {QStringLiteral("/usr/bin/kate")}, "/home/me/lists", "/usr/bin/kate"},
        {"/opt", {QStringLiteral("/opt/My Editor/ed")}, "/opt", "\"/opt/My Editor/ed\""},
        {"/", {}, "/", "before"},  // cancelled: unchanged; the root keeps its "/"
        {nullptr, {}, nullptr, "before"},
    };
    for (const Row& r : rows) {
        ServiceTest::TempSettings settings;
        if (r.wrkDir) modRegistry::SetSetting(QStringLiteral("WrkDir"), QString::fromLatin1(r.wrkDir));
        ScriptedDialog dialog;
        dialog.answer = r.chosen;
        FrmOptions o;
        o.TxtEditor->setText(QStringLiteral("before"));
        o.ComEditor->click();
        ASSERT_EQ(dialog.asked.size(), 1);
        const modDialog::FileDialogRequest& q = dialog.asked.first();
        EXPECT_EQ(q.InitDir, r.initDir ? QString::fromLatin1(r.initDir) : program);
        EXPECT_EQ(q.Title, QStringLiteral("Select a File Editor Application"));
        EXPECT_EQ(q.OkCaption, QStringLiteral("Select"));
        EXPECT_EQ(q.CancelCaption, QStringLiteral("Cancel"));
        EXPECT_EQ(q.MaxFile, 4096);
        EXPECT_FALSE(q.Multiple);
        EXPECT_EQ(q.NameFilters, (QStringList{QStringLiteral("Exe files (*.exe)"), QStringLiteral("All files (*)")}));
        EXPECT_EQ(q.Owner, &o);
        EXPECT_EQ(o.TxtEditor->text(), QString::fromLatin1(r.text));
        // WrkDir is not written back.
        EXPECT_EQ(modRegistry::GetSetting(QStringLiteral("WrkDir"), QStringLiteral("<none>")),
                  r.wrkDir ? QString::fromLatin1(r.wrkDir) : QStringLiteral("<none>"));
    }
}

TEST(FrmOptions, OkStoresTheEditorAndCloseDiscardsIt) {
    struct Row {
        const char* text;
        bool ok;
        const char* editorPath;
        const char* stored;
    };
    const Row rows[] = {
        {"kate --block", true, "kate --block", "kate --block"},
        {"", true, "", ""},  // an empty command is stored and reads back empty
        {"vi", false, "gedit --wait", "<none>"},
    };
    for (const Row& r : rows) {
        ServiceTest::TempSettings settings;
        EditorPath = QStringLiteral("gedit --wait");
        FrmOptions o;
        o.Form_Load();
        TestHarness::WhenModal<FrmOptions>([&](FrmOptions* w) {
            w->TxtEditor->setText(QString::fromLatin1(r.text));
            if (r.ok) w->ComOK->click();
            else w->close();
        });
        o.exec();
        EXPECT_EQ(EditorPath, QString::fromLatin1(r.editorPath));
        EXPECT_EQ(modRegistry::GetSetting(QStringLiteral("Editor"), QStringLiteral("<none>")),
                  QString::fromLatin1(r.stored));
    }
    EditorPath.clear();
}

}  // namespace
