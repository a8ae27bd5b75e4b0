#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "buffered_writer.h"
#include "callbacks.h"
#include "fixture.h"

using fx::Recorder;
using V = std::vector<std::string>;

namespace {

TEST(Callbacks, RegisterNullKeepsTable) {
    Recorder rec;
    rec.Register();
    YRB07(nullptr);
    yrb::SendError(&yrb::g_registered, "still here");
    EXPECT_EQ(rec.Texts('E'), (V{"still here"}));
}

TEST(Callbacks, ProgressStepCadence) {
    struct Row {
        uint32_t total;
        size_t reports;  // for positions 0..total
    } rows[] = {{5, 6}, {99, 100}, {100, 101}, {1000, 101}, {12345, 101}};
    for (const auto& r : rows) {
        Recorder rec;
        yrb::ProgressStep step(rec.Table(), r.total);
        for (uint32_t p = 0; p <= r.total; ++p) step(p);
        EXPECT_EQ(rec.Count('P'), r.reports) << r.total;
        EXPECT_EQ(rec.Values('P').front(), 0);
    }
    // Without a table nothing is called, not even the registered table, and
    // the pacing still moves on.
    Recorder rec;
    rec.Register();
    yrb::ProgressStep none(nullptr, 10);
    none(3);
    none(3);
    EXPECT_TRUE(rec.events.empty());
    EXPECT_EQ(none.counter, 2u);
    EXPECT_EQ(none.next, 2u);
}

TEST(Callbacks, PollAsksOnEvery10002ndPollAcrossOperations) {
    Recorder rec;
    yrb::g_pollCounter = 0;
    for (int i = 0; i < 30005; ++i) yrb::PollInterrupt(rec.Table());
    EXPECT_EQ(rec.Count('C'), 2u);  // polls 10,002 and 20,004
    // The counter carries over, so the next operation can be asked sooner.
    yrb::g_pollCounter = 10001;
    rec.onCheck = [](int) { return 1; };
    EXPECT_TRUE(yrb::PollInterrupt(rec.Table()));
    EXPECT_EQ(yrb::g_pollCounter, 0u);
    // An empty slot never stops.
    yrb::g_pollCounter = 10001;
    EXPECT_FALSE(yrb::PollInterrupt(&yrb::g_silent));
}

TEST(Callbacks, AnimationEvery30002ndStep) {
    Recorder rec;
    yrb::g_animCounter = 0;
    for (int i = 0; i < 60004; ++i) yrb::PollAnimation(rec.Table());
    EXPECT_EQ(rec.Count('A'), 2u);
}

TEST(Callbacks, OpenCheckedMessages) {
    fx::TempDir dir;
    Recorder rec;
    rec.Register();
    yrb::BufferedWriter w;
    EXPECT_FALSE(w.OpenChecked(nullptr, "a+b"));
    EXPECT_FALSE(w.OpenChecked("", "a+b"));
    const std::string missing = dir.Path("no/such/file");
    EXPECT_FALSE(w.OpenChecked(missing.c_str(), "a+b"));
    EXPECT_EQ(rec.Texts('E'), (V{"Could not open file : No file name specified (empty string)",
                                 "Could not open file : No file name specified (length = 0)",
                                 "Could not open file : " + missing + " (No such file or directory)"}));
    EXPECT_TRUE(w.OpenChecked(dir.Path("report.dup").c_str(), "a+b"));
    EXPECT_TRUE(w.Close());
}

TEST(Callbacks, LongMessagesAreNotCut) {
    const std::string longPath(5000, 'p');
    const std::string msg = yrb::Format("Could not open file : %s", longPath.c_str());
    EXPECT_EQ(msg.size(), 5000u + 22u);
}

TEST(Callbacks, EmptySlotsAreSkipped) {
    YRB_CallbackTable none{};
    YRB07(&none);
    yrb::SendError(&yrb::g_registered, "nobody hears");
    EXPECT_EQ(yrb::CallText(nullptr, "x"), -1);
    EXPECT_EQ(yrb::CallValue(nullptr, 1), 0);
}

}  // namespace
