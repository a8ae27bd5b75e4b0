// The stand-ins for the desktop facilities.
#include <unistd.h>

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>

#include "IntervalTimer.h"
#include "MemoryStatus.h"
#include "OwnerEnabler.h"
#include "PictureBox.h"
#include "ProgramFolder.h"
#include "RichTextBox.h"
#include "Screen.h"
#include "TestHarness.h"

namespace {

TEST(IntervalTimer, FiresOnlyWhenEnabledWithAnInterval) {
    struct Row {
        int interval;
        bool enabled;
        bool fires;
    };
    const Row rows[] = {
        {0, true, false},   // an interval of 0 never fires
        {10, false, false}, // a disabled timer stays quiet
        {10, true, true},
    };
    for (const Row& r : rows) {
        IntervalTimer t(nullptr, r.interval);
        QSignalSpy ticks(&t, &IntervalTimer::Timer);
        // Started after t: by its third tick, a firing t has ticked.
        IntervalTimer reference(nullptr, 10);
        QSignalSpy referenceTicks(&reference, &IntervalTimer::Timer);
        t.SetEnabled(r.enabled);
        reference.SetEnabled(true);
        EXPECT_TRUE(QTest::qWaitFor([&] { return ticks.count() > 0 || referenceTicks.count() >= 3; }, 5000));
        EXPECT_EQ(ticks.count() > 0, r.fires) << "interval " << r.interval << " enabled " << r.enabled;
    }
}

TEST(IntervalTimer, SettingTheIntervalRestartsTheCount) {
    IntervalTimer t(nullptr, 1000);
    t.SetEnabled(true);
    EXPECT_TRUE(QTest::qWaitFor([&] { return t.RemainingTime() < 760; }, 5000));
    t.SetInterval(1000);
    EXPECT_GT(t.RemainingTime(), 900);
    t.SetInterval(0);
    EXPECT_EQ(t.RemainingTime(), -1);
    EXPECT_TRUE(t.Enabled());
}

TEST(OwnerEnabler, DisablesTheContentButNotTheOwnersWindows) {
    QMainWindow owner;
    auto* central = new QPushButton(QStringLiteral("work"), &owner);
    owner.setCentralWidget(central);
    owner.menuBar()->addMenu(QStringLiteral("File"));
    owner.statusBar();
    auto* progress = new QDialog(&owner);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), progress);
    owner.show();
    progress->show();

    OwnerEnabler::SetEnabled(&owner, false);
    EXPECT_FALSE(OwnerEnabler::IsEnabled(&owner));
    EXPECT_FALSE(central->isEnabled());
    EXPECT_FALSE(owner.menuBar()->isEnabled());
    EXPECT_FALSE(owner.statusBar()->isEnabled());
    EXPECT_TRUE(progress->isEnabled());
    EXPECT_TRUE(cancel->isEnabled());

    OwnerEnabler::SetEnabled(&owner, true);
    EXPECT_TRUE(OwnerEnabler::IsEnabled(&owner));
    EXPECT_TRUE(central->isEnabled());
    EXPECT_TRUE(owner.menuBar()->isEnabled());
}

TEST(OwnerEnabler, ControlsDisabledBeforeStayDisabled) {
    QDialog owner;
    auto* a = new QPushButton(&owner);
    auto* b = new QPushButton(&owner);
    b->setEnabled(false);
    OwnerEnabler::SetEnabled(&owner, false);
    OwnerEnabler::SetEnabled(&owner, false);  // twice, as nested work may do
    EXPECT_FALSE(a->isEnabled());
    OwnerEnabler::SetEnabled(&owner, true);
    EXPECT_TRUE(a->isEnabled());
    EXPECT_FALSE(b->isEnabled());
}

QRgb At(const PictureBox& p, int x, int y) { return p.Image().pixel(x, y) & 0xFFFFFF; }

TEST(PictureBox, NotXorFillCombinesWithWhatLiesUnder) {
    PictureBox p;
    p.resize(200, 20);
    p.SetForeColor(QColor(0, 0, 128));
    p.SetBackColor(Qt::white);
    p.SetDrawMode(PictureBox::kNotXorPen);
    p.SetScaleWidth(2000);
    const QRgb navy = 0x000080;
    const QRgb white = 0xFFFFFF;

    p.FillBox(0, 0, 1000, p.ScaleHeight(), p.ForeColor());
    EXPECT_EQ(At(p, 0, 0), navy);     // over white the fill shows its colour
    EXPECT_EQ(At(p, 99, 10), navy);   // 1000 of 2000 units is 100 of 200 pixels
    EXPECT_EQ(At(p, 100, 10), white);

    p.FillBox(0, 0, 1000, p.ScaleHeight(), p.ForeColor());
    EXPECT_EQ(At(p, 50, 10), white);  // a second pass gives the background back

    p.Cls();
    p.SetScaleWidth(200);
    p.FillBox(0, 0, 10, p.ScaleHeight(), QColor(Qt::black));
    p.SetDrawMode(PictureBox::kNotXorPen);
    p.FillBox(0, 0, 20, p.ScaleHeight(), p.ForeColor());
    EXPECT_EQ(At(p, 5, 5), 0xFFFF7Fu);  // over black: the inverse colour
    EXPECT_EQ(At(p, 15, 5), navy);

    p.SetDrawMode(PictureBox::kCopyPen);
    p.FillBox(0, 0, 20, p.ScaleHeight(), p.ForeColor());
    EXPECT_EQ(At(p, 5, 5), navy);
}

TEST(PictureBox, ScaleIsTwipsUntilSetAndPrintedTextsAreKept) {
    PictureBox p;
    p.resize(100, 20);
    EXPECT_DOUBLE_EQ(p.ScaleWidth(), 1500);
    EXPECT_DOUBLE_EQ(p.ScaleHeight(), 300);
    p.SetScaleWidth(10);
    EXPECT_DOUBLE_EQ(p.ScaleWidth(), 10);
    EXPECT_DOUBLE_EQ(p.ScaleHeight(), 300);
    p.Print(QStringLiteral("Loading 5%"));
    EXPECT_EQ(p.Printed(), QStringList{QStringLiteral("Loading 5%")});
    p.Cls();
    EXPECT_TRUE(p.Printed().isEmpty());
}

TEST(MemoryStatus, ReadsMemAvailableInBytes) {
    struct Row {
        const char* text;
        std::optional<int64_t> bytes;
    };
    const Row rows[] = {
        {"MemTotal:       16000000 kB\nMemFree:  100 kB\nMemAvailable:    1024 kB\n", 1048576},
        {"MemAvailable: 33554432000 kB\n", int64_t{33554432000} * 1024},  // above 32 bits
        {"MemTotal: 1 kB\nMemFree: 1 kB\n", std::nullopt},
        {"MemAvailable: lots kB\n", std::nullopt},
    };
    for (const Row& r : rows) EXPECT_EQ(MemoryStatus::ParseMemInfo(r.text), r.bytes) << r.text;
    const auto live = MemoryStatus::AvailableBytes();
    ASSERT_TRUE(live.has_value());
    EXPECT_GT(*live, 0);
}

TEST(RichTextBox, KeepsTheExactTextAndReportsEachChange) {
    RichTextBox box;
    QSignalSpy changes(&box, &RichTextBox::Change);
    box.SetText(QStringLiteral("one\r\n"));
    box.SetText(box.Text() + QStringLiteral("two\r\n\tthree\r\n"));
    EXPECT_EQ(box.Text(), QStringLiteral("one\r\ntwo\r\n\tthree\r\n"));
    EXPECT_EQ(box.toPlainText(), QStringLiteral("one\ntwo\n\tthree\n"));
    box.SetText(box.Text());
    EXPECT_EQ(changes.count(), 2);
    box.SetText(QString());
    EXPECT_EQ(box.toPlainText(), QString());
    EXPECT_EQ(changes.count(), 3);
}

TEST(Screen, PointerIsOneOverride) {
    Screen* s = Screen::Instance();
    s->SetMousePointer(11);
    s->SetMousePointer(11);
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    s->SetMousePointer(5);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::SizeAllCursor);
    s->SetMousePointer(0);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(s->MousePointer(), 0);
}

// Restores an environment variable when the test ends.
struct EnvGuard {
    QByteArray name, old;
    bool had;
    EnvGuard(const char* n, const QByteArray& value) : name(n), old(qgetenv(n)), had(qEnvironmentVariableIsSet(n)) {
        qputenv(n, value);
    }
    ~EnvGuard() { had ? qputenv(name.constData(), old) : qunsetenv(name.constData()); }
};

TEST(ProgramFolder, ExecutableFolderWhenWritableElseUserDataFolder) {
    const QString data = TestHarness::Folder() + "/data";
    EnvGuard xdg("XDG_DATA_HOME", QFile::encodeName(data));
    EXPECT_EQ(ProgramFolder::Decide(TestHarness::Folder()), TestHarness::Folder());
    // Nothing can be created in /proc, not even by root.
    EXPECT_EQ(ProgramFolder::Decide(QStringLiteral("/proc")), data + "/OrmidYRB100");
    EXPECT_TRUE(QFileInfo(data + "/OrmidYRB100").isDir());
    EXPECT_EQ(ProgramFolder::Decide(TestHarness::Folder() + "/missing"), data + "/OrmidYRB100");
}

TEST(ProgramFolder, UserDataFolderGetsTheShippedFilesOnce) {
    const QString exe = TestHarness::Folder() + "/bin";
    TestHarness::WriteFile("bin/DN_All.cfg", "shipped");
    TestHarness::WriteFile("bin/MA_Rules.cfg", "rules");
    TestHarness::WriteFile("bin/notes.txt", "not shipped");
    const QString data = TestHarness::Folder() + "/data";
    TestHarness::WriteFile("data/OrmidYRB100/MA_Rules.cfg", "edited by the user");
    EnvGuard xdg("XDG_DATA_HOME", QFile::encodeName(data));
    // Root may write anywhere, so the folder is declared read-only here.
    EXPECT_EQ(ProgramFolder::Decide(exe, false), data + "/OrmidYRB100");
    EXPECT_EQ(TestHarness::ReadFile(data + "/OrmidYRB100/DN_All.cfg"), QByteArray("shipped"));
    EXPECT_EQ(TestHarness::ReadFile(data + "/OrmidYRB100/MA_Rules.cfg"), QByteArray("edited by the user"));
    EXPECT_FALSE(QFile::exists(data + "/OrmidYRB100/notes.txt"));
}

}  // namespace
