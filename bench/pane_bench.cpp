// Benchmarks of the list panes: an engine-bound view over generated lists of
// 10^3 and 10^7 entries (setting the count, scrolling to the end and
// painting a page), and sorting the own row index of a view by a text
// column.  Runs on the offscreen platform; data as for engine_bench
// (ORMID_BENCH_DATA, default /tmp/ormid-bench-data).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <QWidget>

#include "OrmidYRB100.h"
#include "OwnerDataListView.h"
#include "clsVL2.h"
#include "clsVirtualListview.h"
#include "listgen.h"

namespace {

int64_t RssKb() {
    std::ifstream f("/proc/self/statm");
    int64_t size = 0, resident = 0;
    f >> size >> resident;
    return resident * 4;
}

// The left list of the workspace: engine list 1 shown in a window.
struct EngineView {
    QWidget form;
    QWidget* pic = new QWidget(&form);
    clsVL2 pane;
    int32_t entries = 0;

    explicit EngineView(int64_t n) {
        const benchgen::Files files = benchgen::Generate(benchgen::DataDir(), static_cast<uint64_t>(n));
        entries = YRB13(1, files.lf.c_str(), 0, "", "\n");
        form.resize(820, 620);
        pic->setGeometry(10, 10, 800, 600);
        pane.VListNb = 1;
        pane.Initialize(pic);
        pane.InsertColumn(0, QStringLiteral("Address"), 300, 2);
        pane.InsertColumn(1, QStringLiteral("User"), 150, 1);
        pane.InsertColumn(2, QStringLiteral("Domain"), 150, 1);
        QObject::connect(&pane, &clsVirtualListview::ItemTextCallback, [](int32_t item, int32_t sub, QString& s) {
            char buf[260];
            if (YRB18(1, item, sub, buf, 259) >= 0) s = QString::fromLatin1(buf);
        });
        QObject::connect(&pane, &clsVirtualListview::ItemImageCallback, [](int32_t item, int32_t sub, int16_t& image) {
            if (sub == 0) image = YRB17(1, item, 0xFF) > 0 ? 1 : 0;
        });
        form.show();
        QCoreApplication::processEvents();
    }
    ~EngineView() { YRB20(1); }
    OwnerDataListView* list() const { return pane.ListWindow(); }
};

// One view at a time; released before the application ends.
std::unique_ptr<EngineView> g_view;

EngineView& ViewFor(int64_t n) {
    static int64_t shown = -1;
    if (!g_view || shown != n) {
        g_view.reset();
        g_view = std::make_unique<EngineView>(n);
        shown = n;
    }
    return *g_view;
}

void BM_EngineViewSetCount(benchmark::State& state) {
    EngineView& v = ViewFor(state.range(0));
    if (v.entries != state.range(0)) state.SkipWithError("load failed");
    // What the view holds for the list: memory after showing it, against an
    // empty view (posted events handled, so only the view's own remain).
    v.pane.SetCount(0);
    QCoreApplication::processEvents();
    const int64_t before = RssKb();
    v.pane.SetCount(v.entries);
    QCoreApplication::processEvents();
    v.list()->viewport()->repaint();
    state.counters["view_rows"] = v.list()->model()->rowCount();
    state.counters["view_rss_kb"] = static_cast<double>(RssKb() - before);
    for (auto _ : state) {
        v.pane.SetCount(v.entries);
        state.PauseTiming();
        v.pane.SetCount(0);
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}

// Alternates between the last page and the first, painting each.
void BM_EngineViewScrollToEndAndPaint(benchmark::State& state) {
    EngineView& v = ViewFor(state.range(0));
    v.pane.SetCount(v.entries);
    bool end = false;
    const int64_t cells = v.list()->CellRequests();
    for (auto _ : state) {
        end = !end;
        v.pane.SetVisible(end ? v.entries - 1 : 0);
        v.list()->viewport()->repaint();
    }
    state.counters["cells_per_page"] =
        static_cast<double>(v.list()->CellRequests() - cells) / static_cast<double>(state.iterations());
    state.counters["top_row"] = v.list()->TopIndex();
}

void BM_EngineViewPaintPage(benchmark::State& state) {
    EngineView& v = ViewFor(state.range(0));
    v.pane.SetCount(v.entries);
    v.pane.SetVisible(v.entries / 2);
    for (auto _ : state) v.list()->viewport()->repaint();
}

// The form's data: the addresses of a generated list, as texts.
const std::vector<QString>& Addresses(int64_t n) {
    static std::map<int64_t, std::vector<QString>> cache;
    auto it = cache.find(n);
    if (it != cache.end()) return it->second;
    std::vector<QString> texts;
    texts.reserve(static_cast<size_t>(n));
    std::ifstream in(benchgen::Generate(benchgen::DataDir(), static_cast<uint64_t>(n)).lf);
    std::string line;
    while (static_cast<int64_t>(texts.size()) < n && std::getline(in, line))
        texts.push_back(QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size())));
    return cache.emplace(n, std::move(texts)).first->second;
}

// A whole sort of the row index by a text column, the window kept alive by
// a 10 ms timer whose longest wait is reported.
void BM_LocalIndexSortByText(benchmark::State& state) {
    const std::vector<QString>& texts = Addresses(state.range(0));
    const auto n = static_cast<int32_t>(texts.size());
    QWidget form;
    auto* pic = new QWidget(&form);
    form.resize(620, 420);
    pic->setGeometry(10, 10, 600, 400);
    clsVirtualListview pane;
    pane.Initialize(pic);
    pane.InsertColumn(0, QStringLiteral("Address"), 300, 1);
    QObject::connect(&pane, &clsVirtualListview::evCompare,
                     [&texts](int32_t a, int32_t b, int16_t, int16_t dir, int16_t& result) {
                         const int c = texts[static_cast<size_t>(a - 1)].compare(texts[static_cast<size_t>(b - 1)]);
                         result = static_cast<int16_t>((c < 0 ? -1 : c > 0 ? 1 : 0) * dir);
                     });
    form.show();
    QCoreApplication::processEvents();

    QTimer ticker;
    ticker.setInterval(10);
    QElapsedTimer sinceTick;
    int64_t longestWait = 0, ticks = 0;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        longestWait = std::max<int64_t>(longestWait, sinceTick.restart());
        ++ticks;
    });
    bool sorted = true;
    for (auto _ : state) {
        state.PauseTiming();
        pane.SetCount(n);
        ticker.start();
        sinceTick.start();
        state.ResumeTiming();
        sorted = pane.Sort(1, true) && sorted;
        state.PauseTiming();
        ticker.stop();
        state.ResumeTiming();
    }
    if (!sorted) state.SkipWithError("sort failed");
    for (int32_t p = 2; p <= n; ++p)
        if (texts[static_cast<size_t>(pane.Idx(p - 1) - 1)] > texts[static_cast<size_t>(pane.Idx(p) - 1)]) {
            state.SkipWithError("not in order");
            break;
        }
    state.counters["rows"] = n;
    state.counters["longest_wait_ms"] = static_cast<double>(longestWait);
    state.counters["timer_ticks"] = static_cast<double>(ticks);
}

}  // namespace

BENCHMARK(BM_EngineViewSetCount)->Arg(1000)->Arg(10000000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EngineViewScrollToEndAndPaint)->Arg(1000)->Arg(10000000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EngineViewPaintPage)->Arg(1000)->Arg(10000000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LocalIndexSortByText)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(1);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    g_view.reset();
    benchmark::Shutdown();
    return 0;
}
