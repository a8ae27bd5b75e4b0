// The status meters: elapsed time and free memory.
#include "IntervalTimer.h"
#include "MemoryStatus.h"
#include "RichTextBox.h"
#include "ServiceObjects.h"
#include "StatusPanel.h"
#include "TestHarness.h"
#include "clsChronometer.h"
#include "clsError.h"
#include "clsMemUsage.h"

namespace {

const QDateTime kStart(QDate(2026, 3, 8), QTime(9, 5, 3, 700));

TEST(clsChronometer, ElapsedTime) {
    struct Row {
        qint64 elapsedMs;
        const char* shown;
    };
    const Row rows[] = {
        {0, "00:00:00"},         {299, "00:00:00"},  // whole seconds: 09:05:03.7 to 09:05:03.999
        {300, "00:00:01"},       {59000, "00:00:59"},
        {3661000, "01:01:01"},   {25 * 3600000LL, "25:00:00"},  // hours go on past a day
        {(100 * 3600 + 5 * 60) * 1000LL, "100:05:00"},
    };
    for (const Row& r : rows) {
        TestHarness::SetClock(kStart);
        StatusPanel panel;
        QLabel label;
        IntervalTimer timer(nullptr, 250);
        clsChronometer c;
        c.Panel = &panel;
        c.Label = &label;
        c.Timer = &timer;
        c.Startup("hh:mm:ss", true);
        EXPECT_EQ(panel.Text(), QStringLiteral("00:00:00"));
        EXPECT_TRUE(timer.Enabled());
        TestHarness::AdvanceClock(r.elapsedMs);
        c.Update();
        EXPECT_EQ(panel.Text(), QString::fromLatin1(r.shown)) << r.elapsedMs;
        EXPECT_EQ(label.text(), QString::fromLatin1(r.shown));
    }
}

TEST(clsChronometer, StartStopAndIdleUpdates) {
    TestHarness::SetClock(kStart);
    StatusPanel panel;
    IntervalTimer timer(nullptr, 250);
    clsChronometer c;
    c.Panel = &panel;
    c.Timer = &timer;
    c.Update();  // before Startup: nothing
    EXPECT_EQ(panel.Text(), QString());
    c.Startup("hh:mm:ss", false);
    EXPECT_FALSE(timer.Enabled());
    EXPECT_EQ(panel.Text(), QStringLiteral("00:00:00"));
    TestHarness::AdvanceClock(62000);
    c.Update();
    c.Shutdown();
    EXPECT_FALSE(timer.Enabled());
    EXPECT_EQ(panel.Text(), QStringLiteral("00:01:02"));  // the last time stays
    TestHarness::AdvanceClock(5000);
    c.Update();
    EXPECT_EQ(panel.Text(), QStringLiteral("00:01:02"));
    c.Startup("hh:mm:ss", true);  // a restart takes a new start time
    EXPECT_EQ(panel.Text(), QStringLiteral("00:00:00"));
}

TEST(clsMemUsage, FreeMemoryInKilobytes) {
    struct Row {
        int64_t bytes;
        const char* shown;
    };
    const Row rows[] = {
        {1049088, "1024.5 KB"},
        {1048576, "1024 KB"},
        {int64_t{8} << 40, "8589934592 KB"},  // 8 TiB: beyond 32 bits
        {1536, "1.5 KB"},
        {0, "0 KB"},
    };
    for (const Row& r : rows) {
        MemoryStatus::Install([&] { return std::optional<int64_t>(r.bytes); });
        TestHarness::SetClock(kStart);
        StatusPanel panel;
        clsMemUsage m;
        m.Panel = &panel;
        m.Startup(true);
        EXPECT_EQ(panel.Text(), QStringLiteral("09:05:03"));  // the time of day until the first update
        m.Update();
        EXPECT_EQ(panel.Text(), QString::fromLatin1(r.shown)) << r.bytes;
    }
}

TEST(clsMemUsage, FailingUpdateStopsItsTimerAndReportsOnce) {
    QWidget form;
    auto* console = new RichTextBox(&form);
    console->setObjectName(QStringLiteral("TxtErrors"));
    ErrorObj()->LogScreen = &form;
    MemoryStatus::Install([] { return std::optional<int64_t>(2048); });
    StatusPanel panel;
    IntervalTimer timer(nullptr, 500);
    clsMemUsage m;
    m.MyError = ErrorObj();
    m.Panel = &panel;
    m.Timer = &timer;
    m.Startup(true);
    m.Update();
    EXPECT_EQ(panel.Text(), QStringLiteral("2 KB"));
    MemoryStatus::Install([] { return std::optional<int64_t>(); });
    m.Update();
    EXPECT_FALSE(timer.Enabled());
    EXPECT_EQ(panel.Text(), QStringLiteral("2 KB"));
    EXPECT_EQ(console->Text().count(QStringLiteral("Context : Error Updating Memory Status\r\n\t Module  : clsMemUsage")), 1);
    m.Shutdown();
    EXPECT_EQ(panel.Text(), QString());
    m.Update();  // idle: nothing
    EXPECT_EQ(panel.Text(), QString());
}

}  // namespace
