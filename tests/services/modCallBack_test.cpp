// The engine callbacks on the program side, and the interrupt flag.
#include <QImage>
#include <QThread>
#include <QTimer>

#include "IntervalTimer.h"
#include "PictureBox.h"
#include "RichTextBox.h"
#include "Screen.h"
#include "ServiceObjects.h"
#include "TestHarness.h"
#include "clsError.h"
#include "clsInterrupt.h"
#include "clsMonitor.h"
#include "modCallBack.h"

namespace {

using namespace modCallBack;

// The global monitor on a form with a 2000-pixel bar, armed for an operation.
struct Armed {
    QWidget form;
    PictureBox* bar;
    RichTextBox* console;
    Armed() {
        bar = new PictureBox(&form);
        bar->setGeometry(0, 0, 2000, 17);
        bar->SetForeColor(QColor(0, 0, 128));
        bar->SetDrawMode(PictureBox::kNotXorPen);
        console = new RichTextBox(&form);
        console->setObjectName(QStringLiteral("TxtErrors"));
        ErrorObj()->LogScreen = &form;
        auto m = MonitorObj();
        m->Bar = bar;
        m->Interrupt = InterruptObj();
        m->Delay(10000, "c", "m", &form, true);
    }
    ~Armed() { MonitorObj()->Shutdown(); }
};

TEST(clsInterrupt, RequestsAndResets) {
    clsInterrupt i;
    EXPECT_FALSE(i.Active);
    EXPECT_EQ(i.Origin, QStringLiteral("Operator"));
    i.IReset();
    EXPECT_EQ(i.Origin, QString());
    i.ISet("Operator");
    i.ISet("Operator");
    EXPECT_TRUE(i.Active);
    i.IReset();
    EXPECT_FALSE(i.Active);
}

TEST(modCallBack, CheckInterruptTakesARequestOnce) {
    InterruptObj()->ISet("Operator");
    InterruptObj()->ISet("Operator");  // pressed twice before anyone looked
    EXPECT_EQ(CBCheckInterrupt(0), -1);
    EXPECT_FALSE(InterruptObj()->Active);
    EXPECT_EQ(CBCheckInterrupt(0), 0);
}

TEST(modCallBack, CheckInterruptDuringAPumpAnswersZero) {
    int inner = 99;
    bool innerSawRequest = false;
    QTimer::singleShot(0, [&] {
        InterruptObj()->ISet("Operator");
        inner = CBCheckInterrupt(0);
        innerSawRequest = InterruptObj()->Active;
    });
    EXPECT_EQ(CBCheckInterrupt(0), 0);  // the Cancel handled in its pump is taken next time
    EXPECT_EQ(inner, 0);
    EXPECT_TRUE(innerSawRequest);
    EXPECT_FALSE(BusyFlags.CheckInterrupt);
    EXPECT_EQ(CBCheckInterrupt(0), -1);
}

TEST(modCallBack, BusyCallbacksRefuseAndLeaveTheirFlag) {
    struct Row {
        bool CallbackBusyFlags::*flag;
        int32_t (*call)();
        int32_t refused;
    };
    const Row rows[] = {
        {&CallbackBusyFlags::CheckInterrupt, [] { return CBCheckInterrupt(0); }, 0},
        {&CallbackBusyFlags::ShowInfo, [] { return CBShowInfo("Loading file"); }, -1},
        {&CallbackBusyFlags::ShowProgress, [] { return CBShowProgress(5); }, -1},
        {&CallbackBusyFlags::AnimateBar, [] { return CBAnimateBar(0, 0); }, -1},
        {&CallbackBusyFlags::InitMonitor, [] { return CBInitMonitor(10); }, -1},
    };
    InterruptObj()->ISet("Operator");
    for (const Row& r : rows) {
        BusyFlags = {};
        BusyFlags.*r.flag = true;
        EXPECT_EQ(r.call(), r.refused);
        EXPECT_TRUE(BusyFlags.*r.flag);
    }
    EXPECT_TRUE(InterruptObj()->Active);  // a refused check does not take the request
    BusyFlags = {};
}

TEST(modCallBack, ProgressReachesTheBar) {
    Armed a;
    auto m = MonitorObj();
    EXPECT_EQ(CBShowProgress(100), 1);  // before any total: an empty bar at 0%
    EXPECT_EQ(a.bar->Printed(), QStringList{QStringLiteral(" 0%")});
    EXPECT_EQ(CBInitMonitor(200), 1);
    EXPECT_EQ(CBShowInfo("Counting entries"), 1);
    EXPECT_EQ(m->BarText(), QStringLiteral("Counting entries"));
    EXPECT_EQ(CBShowInfo(""), 1);  // empty: the text stays
    EXPECT_EQ(CBShowInfo(nullptr), 1);
    EXPECT_EQ(m->BarText(), QStringLiteral("Counting entries"));
    EXPECT_EQ(CBShowProgress(100), 1);
    EXPECT_EQ(a.bar->Printed(), QStringList{QStringLiteral("Counting entries 50%")});
    EXPECT_EQ(CBAnimateBar(0, 0), 1);
    EXPECT_FALSE(BusyFlags.ShowInfo || BusyFlags.ShowProgress || BusyFlags.InitMonitor || BusyFlags.AnimateBar);
}

// Frames asked for faster than the eye needs are dropped: the block moves
// again only once the frame time has passed.
TEST(modCallBack, AnimationFramesAreSpaced) {
    Armed a;
    MonitorObj()->InitializeBar(2000);
    QThread::msleep(50);
    ASSERT_EQ(CBAnimateBar(0, 0), 1);
    const QImage first = a.bar->Image();
    for (int i = 0; i < 20; ++i) EXPECT_EQ(CBAnimateBar(0, 0), 1);
    EXPECT_EQ(a.bar->Image(), first);
    QThread::msleep(50);
    EXPECT_EQ(CBAnimateBar(0, 0), 1);
    EXPECT_NE(a.bar->Image(), first);
}

TEST(modCallBack, ErrorTextGoesToTheConsoleOnly) {
    Armed a;
    EXPECT_EQ(CBError("Cannot retrieve file infos : '/tmp/caf\xE9.txt'"), 1);
    EXPECT_TRUE(a.console->Text().contains(
        QStringLiteral("Message : Cannot retrieve file infos : '/tmp/caf\u00E9.txt'\r\n\t Context : Error !\r\n"
                       "\t Module  : modCallBack\r\n\t Routine : CBError\r\n")));
    EXPECT_TRUE(TestHarness::AskedMessages().isEmpty());
    EXPECT_EQ(CBError(nullptr), 1);
}

TEST(modCallBack, TableHoldsTheProceduresUnchanged) {
    EXPECT_EQ(FnPtrToLong(&CBError), &CBError);
    EXPECT_EQ(FnPtrToLong(&CBAnimateBar), &CBAnimateBar);
}

}  // namespace
