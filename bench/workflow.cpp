// workflow: runs one whole engine workflow through the exports and prints
// its wall time, for comparison with command-line tools on the same files.
//   workflow dedup FILE OUT            load, flag repeats with a ".dup" report, save the kept entries
//   workflow compare FILE1 FILE2 OUT   load both, flag addresses found in both, save list 1's common entries
//   workflow validate FILE BLACK VALID EXCLUDED KEYWORDS   load references and list, flag invalid entries
//   workflow sort FILE                 load, then sort by address
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "OrmidYRB100.h"

namespace {

int32_t PrintError(const char* text) {
    std::fprintf(stderr, "engine: %s\n", text);
    return 0;
}

using Clock = std::chrono::steady_clock;

double Since(Clock::time_point t0) { return std::chrono::duration<double>(Clock::now() - t0).count(); }

void Check(int32_t r, const char* what) {
    if (r < 0) {
        std::fprintf(stderr, "%s failed: %d\n", what, r);
        std::exit(1);
    }
}

constexpr int32_t kRemoved = YRB_MASK_REMOVED;

}  // namespace

int main(int argc, char** argv) {
    YRB_CallbackTable t{};
    t.error = PrintError;
    YRB07(&t);
    const std::string cmd = argc > 1 ? argv[1] : "";
    const auto t0 = Clock::now();
    if (cmd == "dedup" && argc == 4) {
        const std::string dup = std::string(argv[3]) + ".dup";
        std::remove(dup.c_str());
        const int32_t n = YRB13(1, argv[2], 0, "", "\n");
        Check(n, "load");
        const double tLoad = Since(t0);
        const int32_t repeats = YRB11(1, YRB_PART_ADDRESS, YRB_FLAG_DUPLICATE, 0, kRemoved, dup.c_str());
        Check(repeats, "duplicates");
        const double tDup = Since(t0);
        const int32_t saved = YRB01(1, 0, kRemoved, 0, 0, "", "\n", argv[3], 0, "wb");
        Check(saved, "save");
        std::printf("entries %d repeats %d saved %d  load %.3f s  duplicates %.3f s  save %.3f s  total %.3f s\n", n,
                    repeats, saved, tLoad, tDup - tLoad, Since(t0) - tDup, Since(t0));
    } else if (cmd == "compare" && argc == 5) {
        Check(YRB13(1, argv[2], 0, "", "\n"), "load 1");
        Check(YRB13(2, argv[3], 0, "", "\n"), "load 2");
        const double tLoad = Since(t0);
        Check(YRB24(0, YRB_FLAG_IN_BOTH, 0, kRemoved, 0), "compare");
        const double tCmp = Since(t0);
        const int32_t both = YRB16(1, YRB_FLAG_IN_BOTH, 0, nullptr);
        Check(YRB01(1, YRB_FLAG_IN_BOTH, kRemoved, 0, 0, "", "\n", argv[4], 0, "wb"), "save");
        std::printf("in both (list 1) %d  load %.3f s  compare %.3f s  total %.3f s\n", both, tLoad, tCmp - tLoad,
                    tCmp);
    } else if (cmd == "validate" && argc == 7) {
        Check(YRB08(argv[3], 0, "", "\n"), "black list");
        Check(YRB06(argv[4], 0, "", "\n"), "valid extensions");
        Check(YRB04(argv[5], 0, "", "\n"), "excluded extensions");
        Check(YRB05(argv[6], 0, "", "\n"), "keywords");
        Check(YRB13(1, argv[2], 0, "", "\n"), "load");
        const auto t1 = Clock::now();
        const int32_t invalid = YRB12(1, YRB_FLAG_INVALID, 0, 0, "");
        Check(invalid, "validate");
        std::printf("invalid %d  validate %.3f s  total %.3f s\n", invalid, Since(t1), Since(t0));
    } else if (cmd == "sort" && argc == 3) {
        Check(YRB13(1, argv[2], 0, "", "\n"), "load");
        const auto t1 = Clock::now();
        Check(YRB02(1, YRB_SORT_ADDRESS, YRB_INDEX_DISPLAY, 0), "sort");
        std::printf("sort %.3f s\n", Since(t1));
    } else {
        std::fprintf(stderr, "usage: see the comment at the top of workflow.cpp\n");
        return 2;
    }
    YRB09();
    YRB20(3);
    return 0;
}
