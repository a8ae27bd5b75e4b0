// make_lists N [dir] [seed]: writes the benchmark lists and prints their paths.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "listgen.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: make_lists N [dir] [seed]\n");
        return 2;
    }
    const uint64_t n = std::strtoull(argv[1], nullptr, 10);
    const std::string dir = argc > 2 ? argv[2] : "bench-data";
    const uint64_t seed = argc > 3 ? std::strtoull(argv[3], nullptr, 10) : 20261210;
    const auto f = benchgen::Generate(dir, n, seed);
    std::printf("%s\n%s\n", f.lf.c_str(), f.crlf.c_str());
    return 0;
}
