// Seeded generator of realistic address lists for the benchmarks.
#pragma once

#include <cstdint>
#include <string>

namespace benchgen {

struct Files {
    std::string lf;    // one address per line, LF
    std::string crlf;  // "id;address;name;date" records, CR LF, address in column 2
};

// Writes both files for n entries into dir (created if needed) unless they
// already exist with the same seed and size.  About 20 % of the entries
// repeat an earlier address (half of them in other letter case), domains
// follow a Zipf law over 30,000 domains and about 3 % are malformed.
Files Generate(const std::string& dir, uint64_t n, uint64_t seed = 20261210);

// Where the generated lists are kept: ORMID_BENCH_DATA, default
// /tmp/ormid-bench-data.
std::string DataDir();
// How many entries a benchmark's list holds: ORMID_BENCH_ENTRIES, default 10^7.
uint64_t Entries();

// The address of unique number k (lower case), as the generator writes it.
std::string UniqueAddress(uint64_t k, uint64_t seed);

}  // namespace benchgen
