// The file pane on ten generated CR LF files (";" fields, the address in
// column 2), offscreen: the record pass and the invalid/duplicate pass
// through the counter boxes against the engine calls they make, and the
// merge of every file through the "Merge" button against the same reads,
// writes and engine calls made directly.  The merge reports its text pass
// and its engine pass apart, the text pass's throughput and the merge's
// peak memory above what the process held before, with the target it must
// stay under.  Data as for engine_bench (ORMID_BENCH_DATA, default
// /tmp/ormid-bench-data); entries per file from ORMID_BENCH_ENTRIES, at
// most 10^6 (the default).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
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
#include "ListDialogSeam.h"
#include "MessageBoxSeam.h"
#include "OrmidYRB100.h"
#include "ProgramFolder.h"
#include "clsVirtualListview.h"
#include "listgen.h"
#include "modCallBack.h"
#include "modDialog.h"
#include "modRegistry.h"

namespace {

constexpr int kFiles = 10;
constexpr uint64_t kMaxEntries = 1000000;
constexpr uint32_t kReadChunk = 100000;
constexpr int32_t kScratchSlot = 3;
constexpr int32_t kColumn = 2;
const char* const kFieldSep = ";";
const char* const kRecordSep = "\r\n";
constexpr double kMB = 1024.0 * 1024.0;

using Clock = std::chrono::steady_clock;

// A value of /proc/self/status in kB ("VmRSS", "VmHWM").
int64_t StatusKb(const char* key) {
    std::ifstream f("/proc/self/status");
    std::string name;
    int64_t value = 0;
    while (f >> name) {
        if (name == std::string(key) + ":") {
            f >> value;
            return value;
        }
        std::getline(f, name);
    }
    return 0;
}

// The peak (VmHWM) starts again from what the process holds now.
void ResetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

struct Files {
    QString folder;
    QStringList sources;
    int64_t largest = 0;
    int64_t total = 0;
    std::unique_ptr<FrmMain> w;

    Files() {
        folder = QDir::tempPath() + QStringLiteral("/ormid-filepane-bench");
        QDir(folder).removeRecursively();
        QDir().mkpath(folder);
        ProgramFolder::Set(folder);
        modRegistry::SetSettingsFile(folder + QStringLiteral("/settings.conf"));
        modRegistry::SetSetting(QStringLiteral("Hide"), QStringLiteral("1"));
        for (const char* name : {"DN_All.cfg", "DN_Exclude.cfg", "DN_Reject.cfg", "DN_Country.cfg", "DN_Generic.cfg",
                                 "DN_Keyword.cfg", "DN_User.cfg"})
            QFile::copy(QStringLiteral(ORMID_DATA_DIR "/") + name, folder + QLatin1Char('/') + name);
        const uint64_t n = std::min<uint64_t>(benchgen::Entries(), kMaxEntries);
        for (int k = 0; k < kFiles; ++k) {
            const std::string dir = benchgen::DataDir() + "/filepane/" + std::to_string(k);
            const QString generated = QString::fromStdString(benchgen::Generate(dir, n, 1000 + k).crlf);
            // The dialog hands back files of one folder.
            const QString path = folder + QStringLiteral("/list%1.mal").arg(k);
            std::error_code linked;
            std::filesystem::create_hard_link(QFile::encodeName(generated).toStdString(),
                                              QFile::encodeName(path).toStdString(), linked);
            if (linked) QFile::copy(generated, path);
            sources << path;
            largest = std::max<int64_t>(largest, QFileInfo(path).size());
            total += QFileInfo(path).size();
        }
        // Every question is answered Yes (or Ok).
        MessageBoxSeam::Install([](const MsgBoxRequest& r) { return r.ShowYes ? MsgBoxButton::Yes : MsgBoxButton::Ok; });
        w = std::make_unique<FrmMain>();
        w->Form_Load();
        modDialog::InstallChooser([this](const modDialog::FileDialogRequest&) { return sources; });
        ListDialogSeam::Install([](QDialog* dialog) {
            auto* d = qobject_cast<FrmStructure*>(dialog);
            d->OptFldCol->click();
            d->CboField->setCurrentIndex(kColumn - 1);
            d->ComDone->click();
        });
        w->ComAddFiles_Click();
        w->ComSelAll_Click();
        if (w->VL_file->GetSel() != kFiles) std::fprintf(stderr, "only %d files in the pane\n", w->VL_file->GetSel());
    }
    ~Files() {
        w.reset();
        YRB20(kScratchSlot);
        QDir(folder).removeRecursively();
    }
    QString Merged() const { return folder + QStringLiteral("/merged.txt"); }
};

std::unique_ptr<Files> g_files;
Files& Space() {
    if (!g_files) g_files = std::make_unique<Files>();
    return *g_files;
}

enum Way { kDirect, kHandlers };

void BM_RecordPass(benchmark::State& state) {
    Files& f = Space();
    int64_t records = 0;
    for (auto _ : state) {
        if (state.range(0) == kHandlers) {
            state.PauseTiming();
            f.w->ChkCntRec->setChecked(false);
            state.ResumeTiming();
            f.w->ChkCntRec->setChecked(true);
        } else {
            records = 0;
            for (const QString& s : f.sources)
                records += YRB22(QFile::encodeName(s).constData(), kRecordSep, &modCallBack::EngineCallbackTable);
        }
    }
    if (records) state.counters["records"] = static_cast<double>(records);
    state.counters["MB/s"] = benchmark::Counter(static_cast<double>(f.total) / kMB * state.iterations(),
                                                benchmark::Counter::kIsRate);
}

void BM_InvDupPass(benchmark::State& state) {
    Files& f = Space();
    int64_t duplicates = 0;
    for (auto _ : state) {
        if (state.range(0) == kHandlers) {
            state.PauseTiming();
            f.w->ChkCntInvDup->setChecked(false);
            state.ResumeTiming();
            f.w->ChkCntInvDup->setChecked(true);
        } else {
            duplicates = 0;
            for (const QString& s : f.sources) {
                YRB13(kScratchSlot, QFile::encodeName(s).constData(), kColumn, kFieldSep, kRecordSep);
                YRB12(kScratchSlot, YRB_FLAG_SELECTED, 0, 0, "");
                duplicates += YRB11(kScratchSlot, YRB_PART_ADDRESS, YRB_FLAG_SELECTED, 0, 0, "");
                YRB20(kScratchSlot);
            }
        }
    }
    if (duplicates) state.counters["duplicates"] = static_cast<double>(duplicates);
}

// The times at which the engine names the steps of a merge: the text pass
// reads each source ("Loading file"), the engine pass starts by loading
// the merged text the same way.
struct StepClock {
    static inline int loads = 0;
    static inline Clock::time_point enginePass;
    static int32_t Information(const char* text) {
        if (std::strcmp(text, "Loading file") == 0 && ++loads == kFiles + 1) enginePass = Clock::now();
        return 0;
    }
};

// What the engine holds for the merged text, measured on a load of it.
int64_t EngineListKb(const QString& text) {
    YRB20(kScratchSlot);
    const int64_t before = StatusKb("VmRSS");
    YRB13(kScratchSlot, QFile::encodeName(text).constData(), kColumn, kFieldSep, kRecordSep);
    const int64_t held = StatusKb("VmRSS") - before;
    YRB20(kScratchSlot);
    return held;
}

void BM_MergeThroughTheWindow(benchmark::State& state) {
    Files& f = Space();
    ListDialogSeam::Install([&f](QDialog* dialog) {
        auto* d = qobject_cast<FrmSaveList*>(dialog);
        d->TxtOutFile->setText(f.Merged());
        d->ComSave->click();
    });
    const YRB_CallbackTable saved = modCallBack::EngineCallbackTable;
    modCallBack::EngineCallbackTable.information = &StepClock::Information;
    YRB07(&modCallBack::EngineCallbackTable);
    double textSeconds = 0, engineSeconds = 0;
    int64_t peakKb = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QCoreApplication::processEvents();
        StepClock::loads = 0;
        const int64_t baseKb = StatusKb("VmRSS");
        ResetPeak();
        state.ResumeTiming();
        const Clock::time_point start = Clock::now();
        f.w->ComBigMerge_Click();
        const Clock::time_point end = Clock::now();
        state.PauseTiming();
        peakKb = std::max(peakKb, StatusKb("VmHWM") - baseKb);
        textSeconds += std::chrono::duration<double>(StepClock::enginePass - start).count();
        engineSeconds += std::chrono::duration<double>(end - StepClock::enginePass).count();
        state.ResumeTiming();
    }
    modCallBack::EngineCallbackTable = saved;
    YRB07(&modCallBack::EngineCallbackTable);
    const double runs = static_cast<double>(state.iterations());
    state.counters["text_pass_s"] = textSeconds / runs;
    state.counters["text_MB/s"] = static_cast<double>(f.total) / kMB / (textSeconds / runs);
    state.counters["engine_pass_s"] = engineSeconds / runs;
    state.counters["written_MB"] = static_cast<double>(QFileInfo(f.Merged()).size()) / kMB;
    state.counters["peak_MB"] = static_cast<double>(peakKb) / 1024.0;

    // The raw text of the text pass, for the target's engine list.
    const QString raw = f.folder + QStringLiteral("/raw.txt");
    {
        QFile out(raw);
        out.open(QIODevice::WriteOnly | QIODevice::Truncate);
        for (const QString& s : f.sources) {
            QFile in(s);
            in.open(QIODevice::ReadOnly);
            out.write(in.readAll());
            out.write(kRecordSep);
        }
    }
    const int64_t listKb = EngineListKb(raw);
    QFile::remove(raw);
    state.counters["target_MB"] = (static_cast<double>(f.largest) / 1024.0 + static_cast<double>(listKb)) / 1024.0 + 64;
}

// The same reads, writes and engine calls made directly.
void BM_MergeDirect(benchmark::State& state) {
    Files& f = Space();
    const QByteArray out = QFile::encodeName(f.Merged());
    double textSeconds = 0, engineSeconds = 0;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        {
            QFile merged(f.Merged());
            merged.open(QIODevice::WriteOnly | QIODevice::Truncate);
            auto buffer = std::make_unique_for_overwrite<char[]>(static_cast<size_t>(f.largest) + 1);
            for (int k = 0; k < f.sources.size(); ++k) {
                const int64_t length = QFileInfo(f.sources[k]).size();
                const int32_t read = YRB28(QFile::encodeName(f.sources[k]).constData(), kReadChunk, buffer.get(),
                                           static_cast<uint32_t>(length));
                if (k > 0) merged.write(kRecordSep);
                merged.write(buffer.get(), read);
            }
        }
        const Clock::time_point middle = Clock::now();
        YRB13(kScratchSlot, out.constData(), kColumn, kFieldSep, kRecordSep);
        YRB01(kScratchSlot, 0, 0, 0, 0, kFieldSep, kRecordSep, out.constData(), 0, "w+b");
        YRB20(kScratchSlot);
        const Clock::time_point end = Clock::now();
        textSeconds += std::chrono::duration<double>(middle - start).count();
        engineSeconds += std::chrono::duration<double>(end - middle).count();
    }
    const double runs = static_cast<double>(state.iterations());
    state.counters["text_pass_s"] = textSeconds / runs;
    state.counters["text_MB/s"] = static_cast<double>(f.total) / kMB / (textSeconds / runs);
    state.counters["engine_pass_s"] = engineSeconds / runs;
}

void Ways(benchmark::internal::Benchmark* b) {
    b->ArgName("handlers")->Arg(kDirect)->Arg(kHandlers)->Unit(benchmark::kMillisecond)->Iterations(3);
}

BENCHMARK(BM_RecordPass)->Apply(Ways);
BENCHMARK(BM_InvDupPass)->Apply(Ways);
BENCHMARK(BM_MergeDirect)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_MergeThroughTheWindow)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    g_files.reset();
    benchmark::Shutdown();
    return 0;
}
