#include "listgen.h"

#include <cstdlib>

// g++ 12 warns falsely about std::string concatenation (-Wrestrict).
#pragma GCC diagnostic ignored "-Wrestrict"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <random>
#include <stdexcept>
#include <vector>

namespace benchgen {

namespace {

constexpr int kDomains = 30000;
const char* const kTlds[] = {"com", "net", "org", "de", "fr", "co.uk", "it", "nl", "info", "biz", "ch", "at"};
const char* const kLetters = "abcdefghijklmnopqrstuvwxyz";

uint64_t Mix(uint64_t x) {  // splitmix64
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

std::string Word(uint64_t& h, int minLen, int maxLen) {
    h = Mix(h);
    const int len = minLen + static_cast<int>(h % static_cast<uint64_t>(maxLen - minLen + 1));
    std::string w;
    for (int i = 0; i < len; ++i) {
        h = Mix(h);
        w.push_back(kLetters[h % 26]);
    }
    return w;
}

std::string Domain(int rank, uint64_t seed) {
    uint64_t h = Mix(seed ^ (0xD0D0ull << 32) ^ static_cast<uint64_t>(rank));
    std::string d = Word(h, 5, 12);
    h = Mix(h);
    return d + "." + kTlds[h % (sizeof kTlds / sizeof *kTlds)];
}

struct Zipf {
    std::vector<double> cdf;
    Zipf() {
        cdf.resize(kDomains);
        double sum = 0;
        for (int i = 0; i < kDomains; ++i) cdf[i] = (sum += 1.0 / (i + 1));
        for (auto& c : cdf) c /= sum;
    }
    int Pick(double u) const {
        return static_cast<int>(std::lower_bound(cdf.begin(), cdf.end(), u) - cdf.begin());
    }
};

const Zipf& ZipfTable() {
    static const Zipf z;
    return z;
}

std::string Malform(std::string a, uint64_t h) {
    const size_t at = a.find('@');
    switch (h % 4) {
        case 0: return a.erase(at, 1);                 // no "@"
        case 1: return a.substr(at);                   // no user
        case 2: return a.substr(0, at + 1);            // no domain
        default: return a.insert(at, "@");             // two "@"
    }
}

std::string Upcase(std::string a, uint64_t h) {
    for (auto& c : a) {
        h = Mix(h);
        if (c >= 'a' && c <= 'z' && (h & 1)) c = static_cast<char>(c - 32);
    }
    return a;
}

}  // namespace

std::string UniqueAddress(uint64_t k, uint64_t seed) {
    uint64_t h = Mix(seed ^ Mix(k + 1));
    std::string user = Word(h, 4, 10);
    h = Mix(h);
    if (h % 3 == 0) user += "." + Word(h, 2, 6);
    h = Mix(h);
    if (h % 4 == 0) user += std::to_string(h % 100);
    h = Mix(h);
    const double u = static_cast<double>(h >> 11) / 9007199254740992.0;
    return user + "@" + Domain(ZipfTable().Pick(u), seed);
}

Files Generate(const std::string& dir, uint64_t n, uint64_t seed) {
    std::filesystem::create_directories(dir);
    const std::string tag = std::to_string(n) + "_" + std::to_string(seed);
    Files f{dir + "/lf_" + tag + ".mal", dir + "/crlf_" + tag + ".mal"};
    if (std::filesystem::exists(f.lf) && std::filesystem::exists(f.crlf)) return f;
    const std::string tmpLf = f.lf + ".part", tmpCrlf = f.crlf + ".part";
    std::FILE* lf = std::fopen(tmpLf.c_str(), "wb");
    std::FILE* crlf = std::fopen(tmpCrlf.c_str(), "wb");
    if (!lf || !crlf) throw std::runtime_error("cannot write benchmark lists in " + dir);
    std::vector<char> b1(1 << 20), b2(1 << 20);
    std::setvbuf(lf, b1.data(), _IOFBF, b1.size());
    std::setvbuf(crlf, b2.data(), _IOFBF, b2.size());
    uint64_t uniques = 0;
    uint64_t h = Mix(seed);
    std::string line;
    for (uint64_t i = 0; i < n; ++i) {
        h = Mix(h);
        const unsigned roll = static_cast<unsigned>(h % 1000);
        std::string a;
        if (roll < 200 && uniques > 0) {  // a repeat, half of them in other case
            a = UniqueAddress(Mix(h >> 7) % uniques, seed);
            if (roll < 100) a = Upcase(a, h);
        } else {
            a = UniqueAddress(uniques++, seed);
            if (roll >= 970) a = Malform(a, h >> 13);
        }
        std::fwrite(a.data(), 1, a.size(), lf);
        std::fputc('\n', lf);
        line = std::to_string(i + 1) + ";" + a + ";Name " + std::to_string(h % 9973) + ";2026-" +
               std::to_string(1 + h % 12) + "-" + std::to_string(1 + (h >> 8) % 28) + "\r\n";
        std::fwrite(line.data(), 1, line.size(), crlf);
    }
    if (std::fclose(lf) != 0 || std::fclose(crlf) != 0) throw std::runtime_error("write failed in " + dir);
    std::filesystem::rename(tmpLf, f.lf);
    std::filesystem::rename(tmpCrlf, f.crlf);
    return f;
}

std::string DataDir() {
    const char* d = std::getenv("ORMID_BENCH_DATA");
    return d && *d ? d : "/tmp/ormid-bench-data";
}

uint64_t Entries() {
    const char* n = std::getenv("ORMID_BENCH_ENTRIES");
    return n && *n ? std::strtoull(n, nullptr, 10) : 10000000;
}

}  // namespace benchgen
