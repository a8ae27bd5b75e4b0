// load_peak FILE [column fieldsep recordsep]: loads one list once and prints
// the entry count, the wall time and the peak resident memory per entry
// (workers: ORMID_ENGINE_THREADS, or every core the process may use).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "OrmidYRB100.h"

static long PeakKb() {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
    return -1;
}

static std::string Unescape(const char* s) {
    std::string out;
    for (; *s; ++s) {
        if (*s == '\\' && s[1] == 'n') { out += '\n'; ++s; }
        else if (*s == '\\' && s[1] == 'r') { out += '\r'; ++s; }
        else out += *s;
    }
    return out;
}

static int32_t PrintError(const char* text) { std::fprintf(stderr, "error: %s\n", text); return 0; }

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: load_peak FILE [column fieldsep recordsep]\n");
        return 2;
    }
    const int column = argc > 2 ? std::atoi(argv[2]) : 0;
    const std::string fsep = argc > 3 ? Unescape(argv[3]) : "";
    const std::string rsep = argc > 4 ? Unescape(argv[4]) : "\n";
    YRB_CallbackTable t{};
    t.error = PrintError;
    YRB07(&t);
    const long before = PeakKb();
    const auto t0 = std::chrono::steady_clock::now();
    const int32_t n = YRB13(1, argv[1], column, fsep.c_str(), rsep.c_str());
    const auto t1 = std::chrono::steady_clock::now();
    if (n <= 0) return 1;
    const long peak = PeakKb();
    const double secs = std::chrono::duration<double>(t1 - t0).count();
    const double mb = static_cast<double>(std::filesystem::file_size(argv[1])) / 1e6;
    const char* pinned = std::getenv("ORMID_ENGINE_THREADS");
    std::printf("entries %d  file %.1f MB  load %.3f s  %.0f MB/s  peak RSS %.1f MB (%.0f B/entry, %.1f MB before)  workers %s\n",
                n, mb, secs, mb / secs, peak / 1024.0, peak * 1024.0 / n, before / 1024.0,
                pinned ? pinned : "all cores");
    return 0;
}
