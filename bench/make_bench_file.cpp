// Writes a salary media file for the benchmarks (see bench_files.h).
//
//   make_bench_file KIND BYTES OUTPUT
#include <cstdlib>
#include <fstream>
#include <iostream>

#include "bench_files.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "usage: make_bench_file records|big5|short|lf|empty BYTES OUTPUT\n";
        return 2;
    }
    std::ofstream out(argv[3], std::ios::binary | std::ios::trunc);
    if (!vantrelo::bench::writeBenchFile(out, argv[1], std::strtoull(argv[2], nullptr, 10))) {
        std::cerr << "make_bench_file: unknown kind '" << argv[1] << "'\n";
        return 2;
    }
    return out ? 0 : 1;
}
