// The result display's Initialize and first paint, offscreen: a duplicate
// report of 10^3, 10^5 and 10^6 rows (realistic addresses, as the engine
// writes the report) and an output file of 1 and 10 MB, each shown again in
// the same window as a second "Results" click does.  The files are made in
// a temporary folder.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <fstream>
#include <memory>
#include <string>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QWidget>

#include "FrmDisplay.h"
#include "ReportListView.h"
#include "RichTextBox.h"
#include "listgen.h"

namespace {

constexpr uint64_t kSeed = 20261210;

int64_t RssKb() {
    std::ifstream f("/proc/self/statm");
    int64_t size = 0, resident = 0;
    f >> size >> resident;
    return resident * 4;
}

QString Folder() {
    static const QString folder = [] {
        const QString f = QDir::tempPath() + QStringLiteral("/ormid-display-bench");
        QDir(f).removeRecursively();
        QDir().mkpath(f);
        return f;
    }();
    return folder;
}

// "Email Address\tOccurrences" and one row per repeated address, most
// frequent first.
QString DuplicateReport(int64_t rows) {
    const QString path = Folder() + QStringLiteral("/dup%1.dup").arg(rows);
    if (QFile::exists(path)) return path;
    std::ofstream out(QFile::encodeName(path).toStdString(), std::ios::binary);
    out << "Email Address\tOccurrences\r\n";
    for (int64_t k = 0; k < rows; ++k)
        out << benchgen::UniqueAddress(static_cast<uint64_t>(k), kSeed) << '\t' << (2 + (rows - k) % 7) << "\r\n";
    return path;
}

// An output file of about megabytes MB: addresses, CR LF.
QString OutputFile(int64_t megabytes) {
    const QString path = Folder() + QStringLiteral("/out-%1MB.out").arg(megabytes);
    if (QFile::exists(path)) return path;
    std::ofstream out(QFile::encodeName(path).toStdString(), std::ios::binary);
    const int64_t bytes = megabytes * 1000 * 1000;
    int64_t written = 0;
    for (uint64_t k = 0; written < bytes; ++k) {
        const std::string line = benchgen::UniqueAddress(k, kSeed) + "\r\n";
        out << line;
        written += static_cast<int64_t>(line.size());
    }
    return path;
}

struct Viewer {
    QWidget owner;
    FrmDisplay* display = new FrmDisplay(&owner);
    Viewer() {
        owner.resize(900, 700);
        display->Form_Load();
        display->OwnerForm = &owner;
        display->CForm = &owner;
    }
};

void Show(benchmark::State& state, clsEmailList& desc, const ResultKinds& kinds) {
    Viewer v;
    for (auto _ : state) {
        if (!v.display->Initialize(&desc, kinds)) state.SkipWithError("nothing shown");
        // Shown and painted, as the user sees it.
        v.display->show();
        QCoreApplication::processEvents();
    }
    state.counters["rows"] = v.display->LstDup->ItemCount();
    state.counters["text_chars"] = static_cast<double>(v.display->RtbOutput->Text().size());
    state.counters["rss_kb"] = static_cast<double>(RssKb());
}

void BM_InitializeDuplicates(benchmark::State& state) {
    clsEmailList desc;
    desc.NameDup = DuplicateReport(state.range(0));
    Show(state, desc, {.P_DoDup = true});
}

void BM_InitializeOutput(benchmark::State& state) {
    clsEmailList desc;
    desc.NameOut = OutputFile(state.range(0));
    Show(state, desc, {.P_DoOut = true});
}

BENCHMARK(BM_InitializeDuplicates)
    ->ArgName("rows")
    ->Arg(1000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK(BM_InitializeOutput)->ArgName("MB")->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    QDir(Folder()).removeRecursively();
    return 0;
}
