// A record as the practice window writes it, to a learner file that already holds 5,000: the file's lock is taken,
// the file read, the record added one above the largest key, the file written whole and safely and the lock given
// back. Also the lock alone (made, taken, checked, removed), and reading the whole file under the lock with every
// record parsed and checked, as the records viewer and the command line read it.
#include "bench_support.h"

#include "courseware/unit_marks.h"
#include "platform/file_lock.h"
#include "platform/line_file.h"
#include "platform/paths.h"
#include "platform/sjis.h"
#include "practice/learning_records.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

using namespace tavola;

// 100 units practised 50 times each, and a password.
std::string writeLearnerFile(const std::string& file)
{
    const std::string record = recordLine({{2026, 3, 5, 9, 7, 0}, 0, "0100", 3, 4, 75, 135});
    Lines lines{"[password]", "pw=abcd"};
    for (int u = 1; u <= 100; ++u) {
        lines.push_back("[" + unitRecordSection(1 + u / 80, 1 + u % 80, "分数のたし算 "_sj + std::to_string(u)) + "]");
        for (int k = 1; k <= 50; ++k)
            lines.push_back(std::to_string(k) + "=" + record);
    }
    writeLineFile(file, lines);
    return *readWholeFile(file);
}

void LockedAppendTo5000(benchmark::State& state)
{
    bench::BenchFolder folder;
    const std::string file = folder.dir() + "learner.ini";
    const std::string original = writeLearnerFile(file);
    const std::string section = unitRecordSection(1, 40, "分数のたし算 "_sj + std::to_string(39));
    const PracticeRecord record{{2026, 3, 5, 9, 7, 0}, 0, "0100", 3, 4, 75, 135};
    PendingRecords writer;
    for (auto _ : state) {
        state.PauseTiming();
        writeWholeFile(file, original);
        state.ResumeTiming();
        Status written = writer.write(file, section, record);
        if (!written || writer.waiting() != 0) state.SkipWithError("not written");
    }
}
BENCHMARK(LockedAppendTo5000)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void TakeAndGiveBackTheLock(benchmark::State& state)
{
    bench::BenchFolder folder;
    const std::string real = folder.real() + "/learner.ini";
    for (auto _ : state) {
        FileLock lock(real);
        if (lock.state() != FileLock::State::Held) state.SkipWithError("not held");
    }
}
BENCHMARK(TakeAndGiveBackTheLock)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

void ReadLearnerFileOf5000(benchmark::State& state)
{
    bench::BenchFolder folder;
    const std::string file = folder.dir() + "learner.ini";
    writeLearnerFile(file);
    for (auto _ : state) {
        auto contents = readLearnerFile(file);
        if (!contents || contents->sections.size() != 100 || !contents->damaged.empty())
            state.SkipWithError("wrong reading");
        benchmark::DoNotOptimize(contents);
    }
}
BENCHMARK(ReadLearnerFileOf5000)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace
