// The two-list workspace's main road through the main window's handlers,
// offscreen, against the same engine calls made directly: import, a header
// sort, the invalid and duplicate boxes, a compare of two lists and a save
// of the kept entries.  Dialogs and messages are answered through their
// seams.  Data as for engine_bench (ORMID_BENCH_DATA, default
// /tmp/ormid-bench-data); size from ORMID_BENCH_ENTRIES (default 10^7).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "FrmMain.h"
#include "FrmSaveList.h"
#include "FrmStructure.h"
#include "ListsCol.h"
#include "ListDialogSeam.h"
#include "MessageBoxSeam.h"
#include "OrmidYRB100.h"
#include "OwnerDataListView.h"
#include "ProgramFolder.h"
#include "clsVL2.h"
#include "listgen.h"
#include "modCallBack.h"
#include "modDialog.h"
#include "modRegistry.h"

namespace {

int64_t RssKb() {
    std::ifstream f("/proc/self/statm");
    int64_t size = 0, resident = 0;
    f >> size >> resident;
    return resident * 4;
}

const QByteArray kRecordSep = "\r\n";
const char* const kFieldSep = ";";
constexpr int32_t kColumn = 2;

struct Workspace {
    QString folder;
    QString list;   // "id;address;name;date" records, the address in column 2
    QString other;  // a second list for the right side
    std::unique_ptr<FrmMain> w;

    Workspace() {
        folder = QDir::tempPath() + QStringLiteral("/ormid-workspace-bench");
        QDir(folder).removeRecursively();
        QDir().mkpath(folder);
        ProgramFolder::Set(folder);
        modRegistry::SetSettingsFile(folder + QStringLiteral("/settings.conf"));
        modRegistry::SetSetting(QStringLiteral("Hide"), QStringLiteral("1"));
        for (const char* name : {"DN_All.cfg", "DN_Exclude.cfg", "DN_Reject.cfg", "DN_Country.cfg", "DN_Generic.cfg",
                                 "DN_Keyword.cfg", "DN_User.cfg"})
            QFile::copy(QStringLiteral(ORMID_DATA_DIR "/") + name, folder + QLatin1Char('/') + name);
        const uint64_t n = static_cast<uint64_t>(benchgen::Entries());
        list = QString::fromStdString(benchgen::Generate(benchgen::DataDir(), n).crlf);
        other = QString::fromStdString(benchgen::Generate(benchgen::DataDir() + "/other", n, 7).crlf);
        // Every question is answered Yes (or Ok).
        MessageBoxSeam::Install([](const MsgBoxRequest& r) { return r.ShowYes ? MsgBoxButton::Yes : MsgBoxButton::Ok; });
        w = std::make_unique<FrmMain>();
        w->Form_Load();
    }
    ~Workspace() {
        w.reset();
        YRB20(1);
        YRB20(2);
        QDir(folder).removeRecursively();
    }
    void AnswerImport(const QString& path) {
        modDialog::InstallChooser([path](const modDialog::FileDialogRequest&) { return QStringList{path}; });
        ListDialogSeam::Install([](QDialog* dialog) {
            auto* d = qobject_cast<FrmStructure*>(dialog);
            d->OptFldCol->click();
            d->CboField->setCurrentIndex(kColumn - 1);
            d->ComDone->click();
        });
    }
    void Import(int32_t slot, const QString& path) {
        AnswerImport(path);
        w->ImportEmailList(slot == 1 ? static_cast<ListPane*>(w->VL_left.get()) : w->VL_right.get());
    }
    static void Direct(int32_t slot, const QString& path) {
        YRB13(slot, QFile::encodeName(path).constData(), kColumn, kFieldSep, kRecordSep.constData());
    }
};

std::unique_ptr<Workspace> g_space;
Workspace& Space() {
    if (!g_space) g_space = std::make_unique<Workspace>();
    return *g_space;
}

enum Way { kDirect, kHandlers };

void BM_Import(benchmark::State& state) {
    Workspace& s = Space();
    int64_t rss = 0;
    for (auto _ : state) {
        state.PauseTiming();
        YRB20(1);
        s.w->VL_left->SetCount(0);
        state.ResumeTiming();
        if (state.range(0) == kHandlers)
            s.Import(1, s.list);
        else
            Workspace::Direct(1, s.list);
        state.PauseTiming();
        QCoreApplication::processEvents();
        rss = RssKb();
        state.ResumeTiming();
    }
    state.counters["entries"] = s.w->VL_left->GetCnt(true);
    state.counters["rss_kb"] = static_cast<double>(rss);
}

void LoadLeft(Workspace& s) {
    if (YRB14(1) != 0) Workspace::Direct(1, s.list);
    s.w->VL_left->SetCount(s.w->VL_left->GetCnt(true));
}

// A header click with a current row halfway down, which the handler moves
// to where its entry went.  follow_ms: finding that place again (the
// engine's walk of the display order to the entry), worst_ms: the same for
// the entry sorted last, both measured apart from the sort.
void BM_HeaderSort(benchmark::State& state, int32_t column, int32_t key) {
    Workspace& s = Space();
    LoadLeft(s);
    const int32_t n = s.w->VL_left->GetCnt(true);
    OwnerDataListView* list = s.w->VL_left->ListWindow();
    s.w->VL_left->SetActiveItem(n / 2);
    const int32_t id = YRB26(1, n / 2);
    int32_t order = 0;
    double follow = 0;
    double worst = 0;
    const int32_t both = OwnerDataListView::LVIS_FOCUSED | OwnerDataListView::LVIS_SELECTED;
    bool followed = true;
    for (auto _ : state) {
        if (state.range(0) == kHandlers) {
            s.w->VL_left_ColumnClick(column);
        } else {
            YRB02(1, key, YRB_INDEX_DISPLAY, order);
            order = 1 - order;
        }
        state.PauseTiming();
        using Clock = std::chrono::steady_clock;
        const auto start = Clock::now();
        const int32_t at = YRB27(1, id);
        const auto found = Clock::now();
        YRB27(1, YRB26(1, n - 1));
        const auto end = Clock::now();
        follow += std::chrono::duration<double, std::milli>(found - start).count();
        worst += std::chrono::duration<double, std::milli>(end - found).count();
        if (state.range(0) == kHandlers) followed = followed && list->GetItemState(at, both) == both;
        state.ResumeTiming();
    }
    if (!followed) state.SkipWithError("the current row did not follow its entry");
    state.counters["follow_ms"] = follow / static_cast<double>(state.iterations());
    state.counters["worst_ms"] = worst / static_cast<double>(state.iterations());
}

void BM_HeaderSortByDomain(benchmark::State& state) { BM_HeaderSort(state, 2, YRB_SORT_DOMAIN); }
void BM_HeaderSortBySelection(benchmark::State& state) { BM_HeaderSort(state, 0, YRB_SORT_SELECTED); }

// A flag box ticked, against its engine call and the sort that follows it.
void BM_FlagBox(benchmark::State& state, bool invalid) {
    Workspace& s = Space();
    LoadLeft(s);
    s.w->LeftListDesc.NameInv = s.folder + QStringLiteral("/list.inv");
    s.w->LeftListDesc.NameDup = s.folder + QStringLiteral("/list.dup");
    QCheckBox* box = invalid ? s.w->ChkMarkInvLeft : s.w->ChkMarkDupLeft;
    const int32_t flag = invalid ? YRB_FLAG_INVALID : YRB_FLAG_DUPLICATE;
    const QString report = invalid ? s.w->LeftListDesc.NameInv : s.w->LeftListDesc.NameDup;
    for (auto _ : state) {
        state.PauseTiming();
        s.w->SuppressMarkClicks = true;
        box->setChecked(false);
        s.w->SuppressMarkClicks = false;
        YRB10(1, YRB_ALL_ENTRIES, YRB_MODE_CLEAR, flag, 0, 0, nullptr);
        QFile::remove(report);
        state.ResumeTiming();
        if (state.range(0) == kHandlers) {
            box->setChecked(true);
        } else {
            const QByteArray path = QFile::encodeName(report);
            if (invalid)
                YRB12(1, flag, 0, 0, path.constData());
            else
                YRB11(1, YRB_PART_ADDRESS, flag, 0, 0, path.constData());
            YRB02(1, invalid ? YRB_SORT_INVALID : YRB_SORT_DUPLICATE, YRB_INDEX_DISPLAY, 1);
        }
    }
    state.counters["flagged"] = YRB16(1, flag, 0, nullptr);
}

void BM_InvalidBox(benchmark::State& state) { BM_FlagBox(state, true); }
void BM_DuplicateBox(benchmark::State& state) { BM_FlagBox(state, false); }

void BM_Compare(benchmark::State& state) {
    Workspace& s = Space();
    LoadLeft(s);
    if (YRB14(2) != 0) Workspace::Direct(2, s.other);
    s.w->VL_right->SetCount(s.w->VL_right->GetCnt(true));
    s.w->OptCmpDif->setChecked(true);
    auto* table = &modCallBack::EngineCallbackTable;
    for (auto _ : state) {
        if (state.range(0) == kHandlers) {
            s.w->ComCompare_Click();
        } else {
            for (int32_t slot : {1, 2})
                YRB10(slot, YRB_ALL_ENTRIES, YRB_MODE_CLEAR, YRB_FLAG_SELECTED | YRB_MASK_COMPARE, 0, 0, table);
            YRB24(0, YRB_FLAG_IN_BOTH, 0, 0, 0);
            for (int32_t slot : {1, 2})
                YRB10(slot, YRB_ALL_ENTRIES, YRB_MODE_SET, YRB_FLAG_NOT_IN_OTHER, 0, YRB_FLAG_IN_BOTH, table);
            for (int32_t slot : {1, 2})
                YRB10(slot, YRB_ALL_ENTRIES, YRB_MODE_TOGGLE, YRB_FLAG_SELECTED, YRB_FLAG_NOT_IN_OTHER,
                      YRB_MASK_REMOVED, table);
        }
    }
    state.counters["selected_left"] = YRB16(1, YRB_FLAG_SELECTED, YRB_MASK_REMOVED, nullptr);
}

// Select All and Save of the entries not flagged removed.
void BM_SaveKept(benchmark::State& state) {
    Workspace& s = Space();
    LoadLeft(s);
    const QString out = s.folder + QStringLiteral("/kept.out");
    s.w->LeftListDesc.NameOut = out;
    s.w->LeftListDesc.FldTab = false;
    s.w->LeftListDesc.FldCol = true;
    ListDialogSeam::Install([](QDialog* dialog) { qobject_cast<FrmSaveList*>(dialog)->ComSave->click(); });
    ThisList = s.w->VL_left;
    int32_t written = 0;
    for (auto _ : state) {
        if (state.range(0) == kHandlers) {
            s.w->M_Popup1SelectAll_Click();
            s.w->M_Popup1Save_Click();
        } else {
            QFile::remove(out);
            YRB10(1, YRB_ALL_ENTRIES, YRB_MODE_SET, YRB_FLAG_SELECTED, 0, YRB_MASK_REMOVED, nullptr);
            written = YRB01(1, YRB_FLAG_SELECTED, YRB_MASK_REMOVED, 0, 1, kFieldSep, kRecordSep.constData(),
                            QFile::encodeName(out).constData(), 0, "wb");
        }
    }
    state.counters["bytes"] = static_cast<double>(QFileInfo(out).size());
    if (written) state.counters["written"] = written;
}

void Ways(benchmark::internal::Benchmark* b) {
    b->ArgName("handlers")->Arg(kDirect)->Arg(kHandlers)->Unit(benchmark::kMillisecond)->Iterations(3);
}

BENCHMARK(BM_Import)->Apply(Ways);
BENCHMARK(BM_HeaderSortByDomain)->Apply(Ways);
BENCHMARK(BM_HeaderSortBySelection)->Apply(Ways);
BENCHMARK(BM_InvalidBox)->Apply(Ways);
BENCHMARK(BM_DuplicateBox)->Apply(Ways);
BENCHMARK(BM_Compare)->Apply(Ways);
BENCHMARK(BM_SaveKept)->Apply(Ways);

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    g_space.reset();
    benchmark::Shutdown();
    return 0;
}
