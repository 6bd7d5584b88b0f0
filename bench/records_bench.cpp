// The learning records: appending one record to a learner file that already holds 5,000 (the whole file is read
// and written back safely), and counting the records of 6,400 units (80 sections × 80 units) for the marks from
// one reading of the file.
#include "bench_support.h"

#include "courseware/unit_marks.h"
#include "platform/line_file.h"
#include "platform/sjis.h"
#include "practice/learning_records.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

using namespace tavola;

std::string unitLine(int s, int u)
{
    return "分数のたし算 "_sj + std::to_string(s) + "-" + std::to_string(u);
}

const std::string& sampleRecord()
{
    static const std::string line = recordLine({{2026, 3, 5, 9, 7, 0}, 0, "0100", 3, 4, 75, 135});
    return line;
}

void AppendRecordTo5000(benchmark::State& state)
{
    bench::BenchFolder folder;
    std::string file = folder.dir() + "learner.ini";
    // 100 units practised 50 times each, and a password.
    Lines lines{"[password]", "pw=abcd"};
    for (int u = 1; u <= 100; ++u) {
        lines.push_back("[" + unitRecordSection(1 + u / 80, 1 + u % 80, unitLine(1 + u / 80, 1 + u % 80)) + "]");
        for (int k = 1; k <= 50; ++k)
            lines.push_back(std::to_string(k) + "=" + sampleRecord());
    }
    writeLineFile(file, lines);
    std::string original = *readWholeFile(file);
    std::string section = unitRecordSection(1, 40, unitLine(1, 40));
    PracticeRecord record{{2026, 3, 5, 9, 7, 0}, 0, "0100", 3, 4, 75, 135};
    for (auto _ : state) {
        state.PauseTiming();
        writeWholeFile(file, original);
        state.ResumeTiming();
        auto key = appendRecord(file, section, record);
        benchmark::DoNotOptimize(key);
        if (!key || *key != 51) state.SkipWithError("wrong key");
    }
}
BENCHMARK(AppendRecordTo5000)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void CountRecordsOf6400Units(benchmark::State& state)
{
    bench::BenchFolder folder;
    std::string file = folder.dir() + "learner.ini";
    Lines lines{"[password]", "pw=abcd"};
    std::vector<std::string> sections;
    for (int s = 1; s <= kMaxSections; ++s) {
        for (int u = 1; u <= kMaxUnits; ++u) {
            sections.push_back(unitRecordSection(s, u, unitLine(s, u)));
            lines.push_back("[" + sections.back() + "]");
            for (int k = 1; k <= 1 + (u % 3); ++k)
                lines.push_back(std::to_string(k) + "=" + sampleRecord());
        }
    }
    writeLineFile(file, lines);
    for (auto _ : state) {
        RecordCounts counts(file);
        int total = 0;
        for (const std::string& section : sections)
            total += counts.count(section);
        benchmark::DoNotOptimize(total);
        if (total != 80 * (27 * 2 + 27 * 3 + 26 * 1)) state.SkipWithError("wrong count");
    }
}
BENCHMARK(CountRecordsOf6400Units)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace
