// The find window's three commands on a long left list through the real
// window (offscreen), how soon a Cancel stops a Count All, and what a key
// down in the pane and the popup menu's profile cost (both count the list).  Data as for
// engine_bench (ORMID_BENCH_DATA, default /tmp/ormid-bench-data); size from
// ORMID_BENCH_ENTRIES (default 10^7).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QTimer>

#include "FindHistory.h"
#include "FrmFind.h"
#include "FrmMain.h"
#include "ListsCol.h"
#include "MessageBoxSeam.h"
#include "OrmidYRB100.h"
#include "ProgramFolder.h"
#include "ServiceObjects.h"
#include "clsInterrupt.h"
#include "clsVL2.h"
#include "listgen.h"
#include "modGlobalFunctionsFiles.h"
#include "modRegistry.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Window {
    QString folder;
    std::unique_ptr<FrmMain> w;
    FrmFind* find = nullptr;

    Window() {
        folder = QDir::tempPath() + QStringLiteral("/ormid-find-bench");
        QDir(folder).removeRecursively();
        QDir().mkpath(folder);
        ProgramFolder::Set(folder);
        modRegistry::SetSettingsFile(folder + QStringLiteral("/settings.conf"));
        modRegistry::SetSetting(QStringLiteral("Hide"), QStringLiteral("1"));
        MessageBoxSeam::Install([](const MsgBoxRequest&) { return MsgBoxButton::Ok; });
        w = std::make_unique<FrmMain>();
        w->Form_Load();
        const std::string list = benchgen::Generate(benchgen::DataDir(), static_cast<uint64_t>(benchgen::Entries())).crlf;
        YRB13(1, list.c_str(), 2, ";", "\r\n");
        w->VL_left->SetCount(w->VL_left->GetCnt(true));
        w->ComSLFind_Click();
        find = qobject_cast<FrmFind*>(modGlobalFunctions::IsFormLoaded(QStringLiteral("FrmFind")));
        // A text most entries lack, so Find runs far before its hit.
        find->TxtFind->setEditText(QStringLiteral("zzq"));
    }
    ~Window() {
        find->ComDone_Click();
        w.reset();
        YRB20(1);
        FindHistory().clear();
        QDir(folder).removeRecursively();
    }
};

std::unique_ptr<Window> g_window;
Window& Space() {
    if (!g_window) g_window = std::make_unique<Window>();
    return *g_window;
}

enum Command { kFind, kCount, kSelect };

void BM_FindCommand(benchmark::State& state) {
    Window& s = Space();
    for (auto _ : state) {
        switch (state.range(0)) {
            case kFind:
                s.find->EnginePos = 0;
                s.find->ComFind_Click();
                break;
            case kCount:
                s.find->ComCount_Click();
                break;
            default:
                s.find->ComSelectMatch_Click();
                break;
        }
    }
    state.counters["selected"] = YRB16(1, YRB_FLAG_SELECTED, 0, nullptr);
}

// Count All stopped 100 ms in, as the progress window's Cancel does: the
// time from the stop request to the window's return.
void BM_CountCancel(benchmark::State& state) {
    Window& s = Space();
    double worstMs = 0;
    for (auto _ : state) {
        Clock::time_point asked{};
        QTimer::singleShot(100, [&] {
            asked = Clock::now();
            InterruptObj()->ISet(QStringLiteral("Operator"));
        });
        s.find->ComCount_Click();
        const Clock::time_point done = Clock::now();
        InterruptObj()->IReset();
        const double ms = asked == Clock::time_point{} ? -1 : std::chrono::duration<double, std::milli>(done - asked).count();
        worstMs = std::max(worstMs, ms);
    }
    state.counters["stop_ms_worst"] = worstMs;
}

// A key without Ctrl: the pane works out the menu's profile and runs nothing.
void BM_KeyDown(benchmark::State& state) {
    Window& s = Space();
    for (auto _ : state) s.w->VL_left_KeyDown('A', false, false, false);
}

// What a right click does before the menu shows: the profile on a row, the items set.
void BM_PopupProfile(benchmark::State& state) {
    Window& s = Space();
    FrmMain::Popup1Flags visible{}, enabled{};
    for (auto _ : state) {
        s.w->VL_left->Item = 0;
        s.w->SetPopup1Access(s.w->VL_left, visible, enabled, 0);
        s.w->ActivatePopup1Access(visible, enabled);
    }
}

BENCHMARK(BM_FindCommand)->ArgName("command")->DenseRange(kFind, kSelect)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_CountCancel)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_KeyDown)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PopupProfile)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    g_window.reset();
    benchmark::Shutdown();
    return 0;
}
