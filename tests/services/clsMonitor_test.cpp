// The progress monitor: states, window, placement and the bar model.
#include <algorithm>
#include <cmath>

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "FrmProcess.h"
#include "IntervalTimer.h"
#include "OwnerEnabler.h"
#include "PictureBox.h"
#include "Screen.h"
#include "TestHarness.h"
#include "Twips.h"
#include "clsInterrupt.h"
#include "clsMonitor.h"

namespace {

constexpr QRgb kNavy = 0x000080;

// An owner window with a control, its delay timer (whose tick opens the
// window, as the main window's does) and a 2000-pixel bar.
struct Rig {
    QWidget owner;
    QPushButton* work;
    IntervalTimer* timer;
    PictureBox* bar;
    std::shared_ptr<clsInterrupt> interrupt = std::make_shared<clsInterrupt>();
    std::shared_ptr<clsMonitor> m = std::make_shared<clsMonitor>();

    Rig() {
        owner.setGeometry(50, 60, 600, 400);
        work = new QPushButton(QStringLiteral("work"), &owner);
        timer = new IntervalTimer(&owner, 2000);
        bar = new PictureBox(&owner);
        bar->setGeometry(0, 380, 2000, 17);
        bar->SetForeColor(QColor(0, 0, 128));
        bar->SetBackColor(Qt::white);
        bar->SetDrawMode(PictureBox::kNotXorPen);
        bar->hide();
        owner.show();
        Wire(*m);
    }
    ~Rig() { m.reset(); }
    void Wire(clsMonitor& monitor) {
        monitor.Interrupt = interrupt;
        monitor.Screen = Screen::Instance();
        monitor.Timer = timer;
        monitor.Bar = bar;
        QObject::connect(timer, &IntervalTimer::Timer, &owner, [this, &monitor] {
            timer->SetEnabled(false);
            monitor.Startup(monitor.Caption, monitor.message, monitor.OFrm, monitor.UseBar);
        });
    }
    // Width in pixels of the fill from the left edge, on the bar's top row.
    int Filled() const {
        const QImage& img = bar->Image();
        int x = 0;
        while (x < img.width() && (img.pixel(x, 0) & 0xFFFFFF) == kNavy) ++x;
        return x;
    }
    std::pair<int, int> Block() const {
        const QImage& img = bar->Image();
        int first = -1, last = -1;
        for (int x = 0; x < img.width(); ++x)
            if ((img.pixel(x, 0) & 0xFFFFFF) == kNavy) {
                if (first < 0) first = x;
                last = x;
            }
        return {first, last};
    }
};

TEST(clsMonitor, WorkEndingBeforeItsDelayNeverOpensTheWindow) {
    Rig r;
    r.m->Delay(10000, "Loading", "Loading list", &r.owner, true);
    EXPECT_FALSE(OwnerEnabler::IsEnabled(&r.owner));
    EXPECT_FALSE(r.work->isEnabled());
    EXPECT_TRUE(r.bar->isVisible());
    EXPECT_TRUE(r.timer->Enabled());
    EXPECT_EQ(r.timer->Interval(), 10000);
    r.m->Shutdown();
    EXPECT_FALSE(r.timer->Enabled());
    EXPECT_TRUE(r.work->isEnabled());
    EXPECT_FALSE(r.bar->isVisible());
    EXPECT_TRUE(r.m->MFrm.isNull());
    r.m->Shutdown();  // again: harmless
    EXPECT_TRUE(r.work->isEnabled());
}

TEST(clsMonitor, ZeroDelayNeverOpensTheWindow) {
    Rig r;
    r.m->Delay(0, "Loading", "Loading list", &r.owner, false);
    QTest::qWait(60);
    EXPECT_TRUE(r.m->MFrm.isNull());
    EXPECT_FALSE(r.bar->isVisible());
    r.m->Shutdown();
}

TEST(clsMonitor, ExpiredDelayShowsAUsableWindowOnce) {
    Rig r;
    r.m->Delay(20, "Loading", "Loading list", &r.owner, true);
    QTRY_VERIFY_WITH_TIMEOUT(!r.m->MFrm.isNull(), 2000);
    FrmProcess* w = r.m->MFrm;
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Loading"));
    EXPECT_EQ(w->LabAction->text(), QStringLiteral("Loading list"));
    EXPECT_FALSE(r.timer->Enabled());
    EXPECT_FALSE(r.work->isEnabled());
    EXPECT_TRUE(w->isEnabled());
    EXPECT_TRUE(w->ComCancel->isEnabled());
    EXPECT_EQ(w->size(), QSize(345, 81));

    QTest::mouseClick(w->ComCancel, Qt::LeftButton);
    EXPECT_TRUE(r.interrupt->Active);
    EXPECT_EQ(r.interrupt->Origin, QStringLiteral("Operator"));
    EXPECT_TRUE(w->isVisible());  // Cancel only raises the flag

    r.m->Action("Counting entries");
    EXPECT_EQ(w->LabAction->text(), QStringLiteral("Counting entries"));
    QPointer<FrmProcess> gone = w;
    r.m->Shutdown();
    EXPECT_TRUE(r.m->MFrm.isNull());
    EXPECT_FALSE(w->isVisible());
    EXPECT_TRUE(r.work->isEnabled());
    EXPECT_FALSE(r.bar->isVisible());
    QTRY_VERIFY(gone.isNull());
}

TEST(clsMonitor, DelayWhileShownKeepsTheSameWindow) {
    Rig r;
    r.m->Delay(10, "First", "step 1", &r.owner, false);
    QTRY_VERIFY(!r.m->MFrm.isNull());
    FrmProcess* w = r.m->MFrm;
    r.m->Delay(10, "Second", "step 2", &r.owner, false);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->windowTitle(), QStringLiteral("First"));
    QTRY_COMPARE(w->windowTitle(), QStringLiteral("Second"));
    EXPECT_EQ(r.m->MFrm, w);
    EXPECT_EQ(w->LabAction->text(), QStringLiteral("step 2"));
    r.m->Shutdown();
}

TEST(clsMonitor, DelayStartsEachOperationClean) {
    Rig r;
    r.m->Delay(10000, "Sort", "Sorting", &r.owner, true);
    r.m->SetBarText("Sorting entries");
    EXPECT_EQ(r.m->BarText(), QStringLiteral("Sorting entries"));
    r.m->Shutdown();
    r.interrupt->ISet("Operator");  // pressed after the last poll of that operation

    r.m->Delay(10000, "Merge", "Merging", &r.owner, true);
    EXPECT_FALSE(r.interrupt->Active);
    EXPECT_TRUE(r.m->BarText().isEmpty());
    r.m->InitializeBar(100);
    r.m->Animate();
    EXPECT_TRUE(r.bar->Printed().isEmpty());
    r.m->Shutdown();
}

TEST(clsMonitor, ShutdownEnablesTheRecordedOwnerAndReleaseShutsDown) {
    Rig r;
    QWidget dialog(&r.owner, Qt::Dialog);
    auto* ok = new QPushButton(&dialog);
    dialog.show();
    r.m->Delay(10000, "Save", "Saving", &dialog, false);
    EXPECT_FALSE(ok->isEnabled());
    EXPECT_TRUE(r.work->isEnabled());
    r.m->Shutdown();
    EXPECT_TRUE(ok->isEnabled());

    r.m->Delay(10000, "Save", "Saving", &r.owner, true);
    r.m.reset();
    EXPECT_TRUE(r.work->isEnabled());
    EXPECT_FALSE(r.timer->Enabled());
    EXPECT_FALSE(r.bar->isVisible());
}

TEST(clsMonitor, WindowPlacement) {
    // Rules in twips, halves to even: owner-centred, screen-centred, 330 from
    // the top, 390 from the bottom, 400 from the left or right.
    auto half = [](int64_t v) { return static_cast<int64_t>(std::nearbyint(v / 2.0)); };
    Rig r;
    const QRect of = r.owner.frameGeometry();
    const int64_t ol = Twips::FromPixels(of.x()), ot = Twips::FromPixels(of.y());
    const int64_t ow = Twips::FromPixels(of.width()), oh = Twips::FromPixels(of.height());
    const int64_t sw = Screen::Instance()->Width(), sh = Screen::Instance()->Height();
    const int64_t fw = 5175, fh = 1215;
    using V = FormPlacement::Vertical;
    using H = FormPlacement::Horizontal;
    struct Row {
        bool owner;
        FormPlacement where;
        int64_t x, y;
    };
    const Row rows[] = {
        {true, {}, ol + half(ow - fw), ot + half(oh - fh)},
        {false, {}, half(sw - fw), half(sh - fh)},
        {true, {V::Top, H::Centre}, ol + half(ow - fw), ot + 330},
        {true, {V::Bottom, H::Right}, ol + ow - fw - 400, ot + oh - fh - 390},
        {false, {V::Centre, H::Left}, 400, half(sh - fh)},
    };
    for (const Row& row : rows) {
        r.m->Startup("c", "m", row.owner ? &r.owner : nullptr, false, row.where);
        ASSERT_FALSE(r.m->MFrm.isNull());
        const QPoint want(Twips::ToPixels(static_cast<double>(row.x)), Twips::ToPixels(static_cast<double>(row.y)));
        EXPECT_EQ(r.m->MFrm->frameGeometry().topLeft(), want) << row.x << "," << row.y;
        r.m->Shutdown();
    }
}

TEST(clsMonitor, BarModel) {
    struct Row {
        bool initialize;
        int32_t total;
        int32_t value;
        bool percent;
        const char* text;
        int filled;
        const char* printed;
        double factor;
    };
    const Row rows[] = {
        {true, 200, 100, true, "", 1000, " 50%", 1},
        {true, 200, 250, true, "", 2000, " 100%", 1},              // beyond the total: full
        {true, 0, 1, true, "", 2000, " 100%", 1},                  // a total of 0 counts as 1
        {true, -5, 0, true, "", 0, " 0%", 1},
        {true, 2000000, 1499, true, "", 1, " 0%", 0.001},          // thousands: 1,499 fills one unit
        {true, 2000000, 1000000, true, "Parsing entries", 1000, "Parsing entries 50%", 0.001},
        {true, 1000, 500, false, "Loading", 1000, "Loading", 1},
        {true, 3, 1, true, "", 667, " 33%", 1},
        {false, 0, 500, true, "", 0, " 0%", 0},                    // before any total: empty, 0%
    };
    for (const Row& row : rows) {
        Rig r;
        r.m->Delay(10000, "c", "m", &r.owner, true);
        if (*row.text) r.m->SetBarText(row.text);
        if (row.initialize) r.m->InitializeBar(row.total);
        r.m->UpdateBar(row.value, row.percent, false);
        EXPECT_EQ(r.Filled(), row.filled) << row.total << " " << row.value;
        EXPECT_EQ(r.bar->Printed(), QStringList{QString::fromLatin1(row.printed)}) << row.total << " " << row.value;
        EXPECT_DOUBLE_EQ(r.m->BarFactor(), row.factor) << row.total;
        r.m->Shutdown();
    }
}

TEST(clsMonitor, BarTextRules) {
    Rig r;
    r.m->Delay(10000, "c", "m", &r.owner, true);
    r.m->SetBarText("Counting entries");
    r.m->SetBarText("");  // an empty text keeps the last one
    EXPECT_EQ(r.m->BarText(), QStringLiteral("Counting entries"));
    EXPECT_EQ(r.bar->Printed(), QStringList{QStringLiteral("Counting entries")});
    r.m->DisplayBarText("more");  // printed over, not cleared
    EXPECT_EQ(r.bar->Printed().size(), 2);
    r.m->Shutdown();

    r.m->Delay(10000, "c", "m", &r.owner, false);  // no bar for this one
    r.m->SetBarText("ignored");
    r.m->UpdateBar(5, true, false);
    EXPECT_TRUE(r.bar->Printed().isEmpty());
    r.m->Shutdown();
}

TEST(clsMonitor, UpdateBarRefusesReentry) {
    Rig r;
    r.m->Delay(10000, "c", "m", &r.owner, true);
    r.m->InitializeBar(200);
    bool innerRan = false;
    QTimer::singleShot(0, [&] {
        innerRan = true;
        r.m->UpdateBar(200, true, false);
    });
    r.m->UpdateBar(100, true, false);
    EXPECT_TRUE(innerRan);
    EXPECT_EQ(r.Filled(), 1000);
    r.m->UpdateBar(200, true, false);  // the guard was cleared by the call that set it
    EXPECT_EQ(r.Filled(), 2000);
    r.m->Shutdown();
}

TEST(clsMonitor, MovingBlockSweepsAndComesBack) {
    Rig r;
    r.m->Delay(10000, "c", "m", &r.owner, true);
    r.m->InitializeBar(2000);
    r.m->Animate();
    EXPECT_EQ(r.Block(), std::make_pair(0, 199));
    r.m->Animate();
    EXPECT_EQ(r.Block(), std::make_pair(0, 219));
    bool reachedRight = false, cameBack = false;
    int widest = 0;
    for (int i = 0; i < 140; ++i) {
        r.m->Animate();
        const auto [first, last] = r.Block();
        if (first >= 0) widest = std::max(widest, last - first);
        if (first > 1700) reachedRight = true;
        if (reachedRight && first == 0) cameBack = true;
    }
    // A tenth of the bar either side of the moving centre, at most.
    EXPECT_GT(widest, 200);
    EXPECT_LE(widest, 400);
    EXPECT_TRUE(reachedRight);
    EXPECT_TRUE(cameBack);
    r.m->Shutdown();
}

}  // namespace
