// The main window's services: wiring at load, the error console and its
// indicator, and long engine work through the registered callbacks.
#include <QDialog>
#include <QFile>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include "FrmMain.h"
#include "FrmProcess.h"
#include "IntervalTimer.h"
#include "MainFixture.h"
#include "OrmidYRB100.h"
#include "OwnerEnabler.h"
#include "PanelStatusBar.h"
#include "PictureBox.h"
#include "ProgramFolder.h"
#include "RichTextBox.h"
#include "Screen.h"
#include "ServiceObjects.h"
#include "StatusPanel.h"
#include "TestHarness.h"
#include "clsChronometer.h"
#include "clsError.h"
#include "clsInterrupt.h"
#include "clsMonitor.h"
#include "clsTrace.h"
#include "modCallBack.h"

namespace {

using TestHarness::Folder;

// A list of distinct addresses, one a line.
QString WriteList(const QString& name, int entries) {
    QByteArray bytes;
    bytes.reserve(static_cast<qsizetype>(entries) * 28);
    char line[64];
    for (int i = 0; i < entries; ++i) {
        const int n = std::snprintf(line, sizeof line, "user%07d@domain%03d.com\r\n", i, i % 997);
        bytes.append(line, n);
    }
    return TestHarness::WriteFile(name, bytes);
}

TEST(FrmMain, LoadWiresTheServices) {
    MainFixture::WriteReferenceFiles();
    FrmMain w;
    w.Form_Load();
    EXPECT_TRUE(w.isVisible());
    auto e = ErrorObj();
    EXPECT_FALSE(e->LogToFileFlag);
    EXPECT_EQ(e->LogDir, ProgramFolder::Path());
    EXPECT_EQ(e->LogFile, QStringLiteral("Error.log"));
    EXPECT_EQ(e->SBar, w.StatusBar);
    EXPECT_EQ(e->Tmr, w.TmrError);
    EXPECT_EQ(TraceObj()->TraceCtl, w.TxtErrors);
    EXPECT_FALSE(TraceObj()->DoTraceToScreen);
    auto m = MonitorObj();
    EXPECT_EQ(m->OFrm, &w);
    EXPECT_EQ(m->Timer, w.TmrProgress);
    EXPECT_EQ(m->Bar, w.Bar);
    EXPECT_EQ(m->Interrupt, InterruptObj());
    EXPECT_EQ(w.Bar->DrawMode(), PictureBox::kNotXorPen);
    EXPECT_FALSE(w.Bar->isVisible());

    struct Row {
        IntervalTimer* timer;
        int interval;
        bool enabled;
    };
    const Row timers[] = {{w.TmrProgress, 2000, false}, {w.TmrChrono, 250, false}, {w.TmrMemory, 500, true},
                          {w.TmrError, 600, false}};
    for (const Row& r : timers) {
        EXPECT_EQ(r.timer->Interval(), r.interval) << r.timer->objectName().toStdString();
        EXPECT_EQ(r.timer->Enabled(), r.enabled) << r.timer->objectName().toStdString();
    }
    EXPECT_EQ(modCallBack::EngineCallbackTable.error, &modCallBack::CBError);
    EXPECT_EQ(modCallBack::EngineCallbackTable.check_interrupt, &modCallBack::CBCheckInterrupt);
    EXPECT_EQ(modCallBack::EngineCallbackTable.reserved, nullptr);
    EXPECT_EQ(w.SSTab->count(), 5);
    EXPECT_EQ(w.SSTab->tabText(4), QStringLiteral("Console"));
    // The memory meter runs: the time of day first, then kilobytes.
    QTRY_VERIFY_WITH_TIMEOUT(w.StatusBar->Panel(2)->Text().endsWith(QStringLiteral(" KB")), 2000);
}

TEST(FrmMain, EngineErrorReachesTheConsoleAndTheIndicatorBlinks) {
    MainFixture::WriteReferenceFiles();
    FrmMain w;
    w.Form_Load();
    const QString path = Folder() + "/missing.txt";
    EXPECT_EQ(YRB13(1, QFile::encodeName(path).constData(), 1, "\t", "\r\n"), -1);
    EXPECT_TRUE(w.TxtErrors->Text().contains(QStringLiteral("Message : Cannot retrieve file infos : '%1'\r\n"
                                                            "\t Context : Error !\r\n\t Module  : modCallBack\r\n"
                                                            "\t Routine : CBError\r\n")
                                                 .arg(path)));
    EXPECT_TRUE(w.ErrorLogUnsaved);
    StatusPanel* indicator = w.StatusBar->Panel(4);
    EXPECT_EQ(indicator->Text(), QStringLiteral("ERROR"));
    EXPECT_TRUE(w.TmrError->Enabled());
    QTRY_COMPARE_WITH_TIMEOUT(indicator->Bevel(), 2, 2000);
    QTRY_COMPARE_WITH_TIMEOUT(indicator->Bevel(), 1, 2000);
    EXPECT_FALSE(QFile::exists(Folder() + "/Error.log"));  // after the load: console only

    w.StatusBar->Panel(3)->setFocus();
    QTest::mouseClick(w.StatusBar->Panel(3), Qt::LeftButton);
    EXPECT_TRUE(w.TmrError->Enabled());  // other panels do nothing
    QTest::mouseClick(indicator, Qt::LeftButton);
    EXPECT_FALSE(w.TmrError->Enabled());
    EXPECT_EQ(indicator->Bevel(), 1);
    EXPECT_EQ(w.SSTab->currentIndex(), 4);
    EXPECT_EQ(indicator->Text(), QStringLiteral("ERROR"));

    QTest::mouseClick(w.ComClearErrConsole, Qt::LeftButton);
    EXPECT_TRUE(w.TxtErrors->Text().isEmpty());
    EXPECT_EQ(indicator->Text(), QString());
    EXPECT_FALSE(w.ErrorLogUnsaved);
}

TEST(FrmMain, CancelStopsALongLoadThroughTheCallbacks) {
    const QString path = WriteList("big.txt", 3000000);
    FrmMain w;
    w.Form_Load();
    ChronoObj()->Startup("hh:mm:ss", true);
    MonitorObj()->Delay(100, "Loading list", "Loading big.txt", &w, true);
    Screen::Instance()->SetMousePointer(11);

    struct Seen {
        bool window = false;
        QString caption, action, barText;
        bool ownerDisabled = false, windowEnabled = false, barVisible = false;
    } seen;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        auto m = MonitorObj();
        if (seen.window || m->MFrm.isNull() || !m->MFrm->isVisible()) return;
        // The window can show between two steps; cancel once a step has named itself.
        if (m->BarText().isEmpty()) return;
        seen.window = true;
        seen.caption = m->MFrm->windowTitle();
        seen.action = m->MFrm->LabAction->text();
        seen.barText = m->BarText();
        seen.ownerDisabled = !OwnerEnabler::IsEnabled(&w) && !w.SSTab->isEnabled();
        seen.windowEnabled = m->MFrm->isEnabled() && m->MFrm->ComCancel->isEnabled();
        seen.barVisible = w.Bar->isVisible();
        QTest::mouseClick(m->MFrm->ComCancel, Qt::LeftButton);
    });
    watch.start(5);
    const int32_t result = YRB13(1, QFile::encodeName(path).constData(), 1, "\t", "\r\n");
    watch.stop();

    EXPECT_EQ(result, -2);
    EXPECT_TRUE(seen.window);
    EXPECT_EQ(seen.caption, QStringLiteral("Loading list"));
    EXPECT_EQ(seen.action, QStringLiteral("Loading big.txt"));
    EXPECT_FALSE(seen.barText.isEmpty());  // the engine's step names reach the bar
    EXPECT_TRUE(seen.ownerDisabled);
    EXPECT_TRUE(seen.windowEnabled);
    EXPECT_TRUE(seen.barVisible);
    EXPECT_FALSE(InterruptObj()->Active);  // the request was taken by the stop

    MonitorObj()->Shutdown();
    ChronoObj()->Shutdown();
    Screen::Instance()->SetMousePointer(0);
    EXPECT_TRUE(OwnerEnabler::IsEnabled(&w));
    EXPECT_TRUE(w.SSTab->isEnabled());
    EXPECT_TRUE(MonitorObj()->MFrm.isNull());
    EXPECT_FALSE(w.Bar->isVisible());
    EXPECT_TRUE(w.StatusBar->Panel(3)->Text().startsWith(QStringLiteral("00:00:0")));
    EXPECT_EQ(YRB14(1), 1);  // no half-loaded list is left
}

TEST(FrmMain, StaleStopRequestDoesNotStopTheNextLoad) {
    const QString path = WriteList("list.txt", 200000);
    FrmMain w;
    w.Form_Load();
    InterruptObj()->ISet("Operator");  // pressed after the last poll of an earlier operation
    MonitorObj()->Delay(2000, "Loading list", "Loading list.txt", &w, true);
    EXPECT_EQ(YRB13(1, QFile::encodeName(path).constData(), 1, "\t", "\r\n"), 200000);
    MonitorObj()->Shutdown();
}

TEST(FrmMain, ProgressWindowOfADialogEnablesThatDialogAgain) {
    FrmMain w;
    w.Form_Load();
    QDialog dialog(&w);
    auto* ok = new QPushButton(QStringLiteral("Ok"), &dialog);
    dialog.show();
    MonitorObj()->Delay(10, "Saving list", "Saving", &dialog, false);
    EXPECT_FALSE(ok->isEnabled());
    QTRY_VERIFY(!MonitorObj()->MFrm.isNull());
    EXPECT_EQ(MonitorObj()->MFrm->parentWidget(), &dialog);
    MonitorObj()->Shutdown();
    EXPECT_TRUE(ok->isEnabled());
    EXPECT_TRUE(OwnerEnabler::IsEnabled(&w));
}

TEST(FrmMain, IsInterruptTakesARequestOnce) {
    FrmMain w;
    w.Form_Load();
    EXPECT_FALSE(w.IsInterrupt());
    InterruptObj()->ISet("Operator");
    EXPECT_TRUE(w.IsInterrupt());
    EXPECT_FALSE(w.IsInterrupt());
}

TEST(FrmMain, ClosesOnlyWhenNoWorkRunsAndReleasesTheServices) {
    const QString path = WriteList("small.txt", 10);
    FrmMain w;
    w.Form_Load();
    ASSERT_EQ(YRB13(2, QFile::encodeName(path).constData(), 1, "\t", "\r\n"), 10);
    const auto monitor = MonitorObj();
    monitor->Delay(10000, "Sorting", "Sorting", &w, false);
    EXPECT_FALSE(w.close());
    EXPECT_TRUE(w.isVisible());
    monitor->Shutdown();
    EXPECT_TRUE(w.close());
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(YRB14(2), 1);               // the engine freed its lists
    EXPECT_NE(MonitorObj(), monitor);      // the window let its service objects go
    EXPECT_FALSE(w.TmrMemory->Enabled());
}

}  // namespace
