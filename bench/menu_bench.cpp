// Refresh marks on a lesson of 80 sections × 80 units: every master file read and scanned for its similar-problem
// markers (stale marks) or only checked (counts alone), and the learner's record file counted once.
#include "bench_support.h"

#include "courseware/index_file.h"
#include "courseware/unit_marks.h"
#include "platform/line_file.h"
#include "platform/profile_file.h"
#include "platform/sjis.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

namespace {

using namespace tavola;

class BigLesson {
public:
    BigLesson()
    {
        std::filesystem::create_directories(folder_.real() + "/L1");
        const std::string& dir = folder_.dir();
        writeLineFile(dir + "Main.ind", {"bench", "", "lesson,L1\\\\big"});

        Lines subIndex{"big lesson"};
        Lines records;
        for (int s = 1; s <= kMaxSections; ++s) {
            subIndex.insert(subIndex.end(), {"[[sect" + std::to_string(s), "section " + std::to_string(s), "<<"});
            Lines master;
            for (int u = 1; u <= kMaxUnits; ++u) {
                std::string line = "分数のたし算 "_sj + std::to_string(s) + "-" + std::to_string(u);
                subIndex.push_back(line);
                // A unit record of about twenty lines, every third unit with two similar problems.
                for (int r = 0; r <= (u % 3 == 0 ? 2 : 0); ++r) {
                    master.push_back("[[unit" + std::to_string(u) + (r > 0 ? "R" + std::to_string(r) : ""));
                    for (int k = 0; k < 18; ++k)
                        master.push_back("1/" + std::to_string(k + 2) + "+1/3=#…#"_sj);
                    master.push_back(">>");
                }
                // The learner practised every fourth unit five times.
                if (u % 4 == 0) {
                    records.push_back("[S" + std::to_string(s) + std::to_string(u) + line + "]");
                    for (int k = 1; k <= 5; ++k)
                        records.push_back(std::to_string(k) + "=2005年03月05日 09:07 [0100]  3/ 4  75点 02:15"_sj);
                }
            }
            subIndex.insert(subIndex.end(), {">>", "]]"});
            writeLineFile(dir + "L1\\big" + std::to_string(s) + ".que", master);
        }
        writeLineFile(dir + "L1\\big.ind", subIndex);
        writeLineFile(recordFile(), records);
        index_.setCoursewareDir(dir);
        index_.readMainIndex();
        index_.readLesson(1);
    }
    std::string recordFile() const { return folder_.dir() + "L1\\learner.ini"; }
    const CoursewareIndex& index() const { return index_; }

private:
    bench::BenchFolder folder_;
    CoursewareIndex index_;
};

BigLesson& bigLesson()
{
    static BigLesson lesson;
    return lesson;
}

void RefreshMarksRescanning(benchmark::State& state)
{
    BigLesson& lesson = bigLesson();
    UnitMarks marks;
    for (auto _ : state) {
        bool stale = true;
        auto outcome = marks.refresh(lesson.index(), 1, lesson.recordFile(), stale);
        benchmark::DoNotOptimize(outcome);
    }
    if (marks.count(80, 80) != 5 || !marks.hasSimilar(80, 78)) state.SkipWithError("wrong marks");
}
BENCHMARK(RefreshMarksRescanning)->Unit(benchmark::kMillisecond);

void RefreshMarksCountsOnly(benchmark::State& state)
{
    BigLesson& lesson = bigLesson();
    UnitMarks marks;
    bool stale = true;
    marks.refresh(lesson.index(), 1, lesson.recordFile(), stale);
    for (auto _ : state) {
        auto outcome = marks.refresh(lesson.index(), 1, lesson.recordFile(), stale);
        benchmark::DoNotOptimize(outcome);
    }
    if (marks.count(80, 80) != 5) state.SkipWithError("wrong marks");
}
BENCHMARK(RefreshMarksCountsOnly)->Unit(benchmark::kMillisecond);

} // namespace
