// Sorting the own row index of a list view.
#include <algorithm>
#include <random>

#include "PaneFixture.h"
#include "TestHarness.h"
#include "clsInterrupt.h"

namespace {

// A form's data: one key per data item (item d has keys[d - 1]); the form
// applies the direction itself.
struct KeyedForm {
    PaneForm<clsVirtualListview> f;
    QList<int> keys;
    int64_t compares = 0;
    std::function<void()> onCompare;

    explicit KeyedForm(const QList<int>& k) : keys(k) {
        QObject::connect(&f.pane, &clsVirtualListview::evCompare,
                         [this](int32_t a, int32_t b, int16_t, int16_t dir, int16_t& result) {
                             ++compares;
                             if (onCompare) onCompare();
                             const int ka = keys.at(a - 1), kb = keys.at(b - 1);
                             result = static_cast<int16_t>((ka < kb ? -1 : ka > kb ? 1 : 0) * dir);
                         });
        f.pane.SetCount(static_cast<int32_t>(keys.size()));
    }
    QList<int32_t> Order() {
        QList<int32_t> order;
        for (int32_t p = 1; p <= f.pane.GetCnt(); ++p) order.append(f.pane.Idx(p));
        return order;
    }
    // Idx is a permutation of 1..n and RevIdx its inverse.
    void ExpectConsistent() {
        const int32_t n = f.pane.GetCnt();
        QList<bool> seen(n + 1, false);
        for (int32_t p = 1; p <= n; ++p) {
            const int32_t d = f.pane.Idx(p);
            ASSERT_GE(d, 1);
            ASSERT_LE(d, n);
            ASSERT_FALSE(seen[d]) << "data item " << d << " shown twice";
            seen[d] = true;
            ASSERT_EQ(f.pane.RevIdx(d), p);
        }
    }
};

QList<int> RandomKeys(int n, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> dist(0, n / 3);
    QList<int> keys;
    for (int i = 0; i < n; ++i) keys.append(dist(rng));
    return keys;
}

}  // namespace

TEST(VirtualListviewSort, OrdersTable) {
    struct Case {
        const char* name;
        QList<int> keys;
        bool ascending;
        QList<int32_t> order;
    };
    const Case cases[] = {
        {"descending 2 < 1 < 3", {2, 1, 3}, false, {3, 1, 2}},
        {"ascending 2 < 1 < 3", {2, 1, 3}, true, {2, 1, 3}},
        {"five rows by insertion keep equal rows in order", {5, 1, 5, 1, 5}, true, {2, 4, 1, 3, 5}},
        {"quicksort range", {9, 3, 7, 1, 8, 2, 6, 4, 5, 0, 11, 10}, true, {10, 4, 6, 2, 8, 9, 7, 3, 5, 1, 12, 11}},
        {"quicksort range descending", {9, 3, 7, 1, 8, 2, 6, 4, 5, 0, 11, 10}, false,
         {11, 12, 1, 5, 3, 7, 9, 8, 2, 6, 4, 10}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        KeyedForm k(c.keys);
        EXPECT_TRUE(k.f.pane.Sort(1, c.ascending));
        EXPECT_EQ(k.Order(), c.order);
        k.ExpectConsistent();
    }
}

TEST(VirtualListviewSort, EmptySingleAndTicks) {
    {
        KeyedForm k({});
        EXPECT_FALSE(k.f.pane.Sort(1, true));
    }
    {
        KeyedForm k({4});
        EXPECT_TRUE(k.f.pane.Sort(1, true));
        EXPECT_EQ(k.Order(), QList<int32_t>{1});
    }
    {
        // By 0: unticked rows first, ticks travel with their items.
        KeyedForm k({0, 0, 0, 0, 0, 0, 0, 0});
        for (int32_t p : {1, 4, 5, 8}) k.f.pane.SetCheckState(p, true);
        EXPECT_TRUE(k.f.pane.Sort(0, true));
        const QList<int32_t> order = k.Order();
        for (int32_t p = 1; p <= 4; ++p) EXPECT_FALSE(k.f.pane.GetCheckState(p)) << p;
        for (int32_t p = 5; p <= 8; ++p) EXPECT_TRUE(k.f.pane.GetCheckState(p)) << p;
        for (int32_t p = 5; p <= 8; ++p) EXPECT_TRUE(QList<int32_t>({1, 4, 5, 8}).contains(order[p - 1]));
        EXPECT_EQ(k.compares, 0);  // the form is not asked
        EXPECT_TRUE(k.f.pane.Sort(0, false));
        EXPECT_TRUE(k.f.pane.GetCheckState(1));
        k.ExpectConsistent();
    }
}

TEST(VirtualListviewSort, ListsFarAboveThirtyTwoThousandRows) {
    const QList<int> keys = RandomKeys(70000, 7);
    KeyedForm k(keys);
    k.f.pane.SetCheckState(1, true);
    ASSERT_TRUE(k.f.pane.Sort(1, true));
    const QList<int32_t> order = k.Order();
    for (int i = 1; i < order.size(); ++i) ASSERT_LE(keys[order[i - 1] - 1], keys[order[i] - 1]) << i;
    k.ExpectConsistent();
    EXPECT_TRUE(k.f.pane.GetCheckState(k.f.pane.RevIdx(1)));  // the tick went with item 1
}

TEST(VirtualListviewSort, StoppedSortKeepsEveryItemAndAnExactReverseIndex) {
    const QList<int> keys = RandomKeys(5000, 11);
    const int64_t full = [&] {
        KeyedForm probe(keys);
        probe.f.pane.Sort(1, true);
        return probe.compares;
    }();
    // Stopped inside the quicksort, and inside the final insertion pass.
    for (int64_t stopAfter : {full / 3, full - 50}) {
        SCOPED_TRACE(stopAfter);
        KeyedForm k(keys);
        auto interrupt = std::make_shared<clsInterrupt>();
        k.f.pane.Interrupt = interrupt;
        k.onCompare = [&] {
            if (k.compares == stopAfter) interrupt->ISet(QStringLiteral("Operator"));
        };
        EXPECT_FALSE(k.f.pane.Sort(1, true));
        EXPECT_LT(k.compares, full);
        k.ExpectConsistent();
        EXPECT_FALSE(interrupt->Active);  // the stop request was taken
    }
}

TEST(VirtualListviewSort, StopRequestAlreadySet) {
    KeyedForm k({3, 1, 2});
    auto interrupt = std::make_shared<clsInterrupt>();
    interrupt->Active = true;
    k.f.pane.Interrupt = interrupt;
    EXPECT_FALSE(k.f.pane.Sort(1, true));
    EXPECT_EQ(k.Order(), (QList<int32_t>{1, 2, 3}));
    k.ExpectConsistent();
}

TEST(VirtualListviewSort, NewRowCountDuringTheSortEndsIt) {
    KeyedForm k(RandomKeys(3000, 3));
    bool reset = false;
    k.onCompare = [&] {
        if (k.compares == 200 && !reset) {
            reset = true;
            k.f.pane.SetCount(10);  // the form reloads from a message handler
        }
    };
    EXPECT_FALSE(k.f.pane.Sort(1, true));
    EXPECT_EQ(k.f.pane.GetCnt(), 10);
    k.keys = QList<int>(10, 0);
    k.ExpectConsistent();
}
