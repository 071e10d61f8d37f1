// Micro-benchmarks of the engine's per-line work, line by line and in bulk.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "bench_files.h"
#include "check_code.h"
#include "salary_media_reader.h"
#include "salary_record_fields.h"

namespace {

using namespace vantrelo;

// The lines of a file of `kind`, split as the reader would (CR LF here).
std::vector<std::string> linesOf(std::string_view kind, std::size_t bytes) {
    std::ostringstream out;
    bench::writeBenchFile(out, kind, bytes);
    std::vector<std::string> lines;
    std::string text = out.str();
    for (std::size_t from = 0; from < text.size();) {
        const auto cr = text.find('\r', from);
        lines.push_back(text.substr(from, (cr == std::string::npos ? text.size() : cr) - from));
        from = cr == std::string::npos ? text.size() : cr + 1;
        if (from < text.size() && text[from] == '\n') {
            ++from;
        }
    }
    return lines;
}

// The line-by-line route's work for one line: fields, numeric test, terms.
void lineByLineWork(benchmark::State& state, std::string_view kind) {
    const auto lines = linesOf(kind, 1 << 20);
    SalaryRecordFields fields;
    CheckCodeSums sums;
    std::size_t next = 0;
    for (auto _ : state) {
        fields = takeRecordFields(lines[next], fields);
        bool numeric = true;
        for (const auto& text : fields.texts) {
            numeric = numeric && isNumericText(text.view());
        }
        if (numeric) {
            if (const auto added = addRecordTerms(CheckCodeSums{}, fields)) {
                sums.sums[0] += added->sums[0];
            }
        }
        benchmark::DoNotOptimize(sums);
        next = next + 1 == lines.size() ? 0 : next + 1;
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_TakeRecordFields(benchmark::State& state) {
    const auto lines = linesOf("records", 1 << 20);
    SalaryRecordFields fields;
    std::size_t next = 0;
    for (auto _ : state) {
        fields = takeRecordFields(lines[next], fields);
        benchmark::DoNotOptimize(fields);
        next = next + 1 == lines.size() ? 0 : next + 1;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_TakeRecordFields);

void BM_NumericValue(benchmark::State& state) {
    const std::vector<std::string> texts = {"123456", "00123456", "  100 ", "-00100", "0012.5"};
    std::size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(isNumericText(texts[next]) ? numericValue(texts[next]) : 0.0);
        next = next + 1 == texts.size() ? 0 : next + 1;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_NumericValue);

BENCHMARK_CAPTURE(lineByLineWork, records, "records");
BENCHMARK_CAPTURE(lineByLineWork, big5, "big5");

// A whole file of `kind` through a reader, by either route, from the page
// cache: bytes and lines per second.
void wholeFile(benchmark::State& state, std::string_view kind, bool bulk) {
    const auto path =
        std::filesystem::temp_directory_path() / ("vantrelo-bench-" + std::string(kind) + "-" +
                                                  std::to_string(std::random_device{}()) + ".txt");
    const std::uint64_t bytes = 8u << 20;
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        bench::writeBenchFile(out, kind, bytes);
    }
    SalaryMediaReader reader;
    for (auto _ : state) {
        if (reader.open(path)) {
            state.SkipWithError("cannot open the benchmark file");
            break;
        }
        benchmark::DoNotOptimize(bulk ? computeCheckCodeInBulk(reader)
                                      : computeCheckCodeLineByLine(reader));
        reader.close();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes));
    std::filesystem::remove(path);
}

BENCHMARK_CAPTURE(wholeFile, records_line_by_line, "records", false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(wholeFile, records_bulk, "records", true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(wholeFile, big5_line_by_line, "big5", false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(wholeFile, big5_bulk, "big5", true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(wholeFile, short_line_by_line, "short", false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(wholeFile, short_bulk, "short", true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(wholeFile, lf_bulk, "lf", true)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
