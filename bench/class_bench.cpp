// The class at a glance: the table of 40 learners against a lesson of 400 units (5 sections of 80) with 20 records
// of every unit each, read from disk (40 learner files of 8,000 records, some 500 KB each), and its CSV.
#include "bench_support.h"

#include "app/learner_files.h"
#include "courseware/index_file.h"
#include "courseware/unit_marks.h"
#include "platform/line_file.h"
#include "platform/prompts.h"
#include "platform/sjis.h"
#include "practice/TfrmGakkyu.h"
#include "practice/class_records.h"
#include "practice/learning_records.h"

#include <QTimer>

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

namespace {

using namespace tavola;

constexpr int kLearners = 40;
constexpr int kSections = 5;
constexpr int kUnitsPerSection = 80;
constexpr int kRecordsPerUnit = 20;

std::string unitLine(int s, int u)
{
    return "分数のたし算 "_sj + std::to_string(s) + "-" + std::to_string(u);
}

struct BigClass {
    bench::BenchFolder folder;
    CoursewareIndex index{folder.dir()};
    std::vector<std::string> learners;

    BigClass()
    {
        std::filesystem::create_directories(folder.real() + "/ls");
        writeLineFile(folder.dir() + "Main.ind", {"title", "", "lesson,ls\\\\ls", ">>"});
        Lines sub{"lesson"};
        for (int s = 1; s <= kSections; ++s) {
            sub.insert(sub.end(), {"[[sect" + std::to_string(s), "section " + std::to_string(s), "<<"});
            for (int u = 1; u <= kUnitsPerSection; ++u)
                sub.push_back(unitLine(s, u));
            sub.insert(sub.end(), {">>", "]]"});
        }
        writeLineFile(folder.dir() + "ls\\ls.ind", sub);
        for (int n = 1; n <= kLearners; ++n) {
            learners.push_back("learner" + std::to_string(n));
            Lines lines{"[password]", "pw=abcd"};
            for (int s = 1; s <= kSections; ++s) {
                for (int u = 1; u <= kUnitsPerSection; ++u) {
                    lines.push_back("[" + unitRecordSection(s, u, unitLine(s, u)) + "]");
                    for (int k = 1; k <= kRecordsPerUnit; ++k)
                        lines.push_back(std::to_string(k) + "=" +
                                        recordLine({{2026, 3, 1 + k % 28, 9, 7, 0},
                                                    k % 3,
                                                    k % 2 ? "0100" : "",
                                                    3,
                                                    4,
                                                    (n * 7 + u + k * 13) % 101,
                                                    135}));
                }
            }
            writeLineFile(fileOf(learners.back()), lines);
        }
        index.readMainIndex();
        index.readLesson(1);
    }
    std::string fileOf(const std::string& learner) const { return folder.dir() + "ls\\" + learner + ".ini"; }
};

void ClassTableOf40LearnersBy400Units(benchmark::State& state)
{
    BigClass c;
    for (auto _ : state) {
        ClassTable table =
            buildClassTable(c.index, 1, c.learners, [&](const std::string& learner) { return c.fileOf(learner); });
        benchmark::DoNotOptimize(table);
        if (table.columns.size() != kSections * kUnitsPerSection || table.rows.size() != kLearners ||
            table.rows.back().tests + table.rows.back().practices != kSections * kUnitsPerSection * kRecordsPerUnit ||
            !table.problems.empty())
            state.SkipWithError("wrong table");
    }
}
BENCHMARK(ClassTableOf40LearnersBy400Units)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void ClassTableCsv(benchmark::State& state)
{
    BigClass c;
    ClassTable table =
        buildClassTable(c.index, 1, c.learners, [&](const std::string& learner) { return c.fileOf(learner); });
    for (auto _ : state) {
        std::string csv = classTableCsv(table);
        benchmark::DoNotOptimize(csv);
    }
}
BENCHMARK(ClassTableCsv)->Unit(benchmark::kMillisecond);

// 学級の記録 from its opening to its first paint: the table read and filled into the grid, the window shown (and
// closed again at once, as the next event).
void ClassWindowOpensOn40By400(benchmark::State& state)
{
    bench::ensureGui();
    BigClass c;
    writeLineFile(c.folder.dir() + "sname.txt", c.learners);
    ScriptedPrompts prompts;
    for (auto _ : state) {
        TfrmGakkyu window(c.index, prompts, [&](const std::string& learner, int) { return c.fileOf(learner); });
        QTimer::singleShot(0, &window, [&window] { window.reject(); });
        window.showFor(1, c.folder.dir() + "sname.txt");
        if (window.table().rows.size() != kLearners) state.SkipWithError("wrong table");
    }
}
BENCHMARK(ClassWindowOpensOn40By400)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly(true);

// tavola-cli class on a name list of 10,000 learners none of whom has a file yet, in a lesson folder of 2,000 files:
// the list read, every learner's file looked for, the table built. The folder is listed once for the table, not
// once per learner.
void ClassTableOf10000NamesWithoutFilesIn2000Files(benchmark::State& state)
{
    bench::BenchFolder folder;
    std::filesystem::create_directories(folder.real() + "/ls");
    writeLineFile(folder.dir() + "Main.ind", {"title", "", "lesson,ls\\ls", ">>"});
    writeLineFile(folder.dir() + "ls\\ls.ind", {"lesson", "[[sect1", "section 1", "<<", "unit 1", ">>", "]]"});
    for (int i = 0; i < 2000; ++i)
        writeLineFile(folder.dir() + "ls\\other" + std::to_string(i) + ".ini", {"[password]", "pw=abcd"});
    Lines names;
    for (int i = 0; i < 10000; ++i)
        names.push_back("pupil" + std::to_string(i));
    writeLineFile(folder.dir() + "sname.txt", names);
    CoursewareIndex index(folder.dir());
    index.readMainIndex();
    index.readLesson(1);
    ShellState shell;
    shell.coursewareDir = folder.dir();
    for (auto _ : state) {
        auto learners = readClassLearners(folder.dir() + "sname.txt");
        ClassTable table = buildClassTable(
            index, 1, *learners, [&](const std::string& learner) { return learnerDataFile(shell, index, learner, 1); });
        benchmark::DoNotOptimize(table);
        if (table.rows.size() != 10000 || table.rows.back().state != RowState::NoFile)
            state.SkipWithError("wrong table");
    }
}
BENCHMARK(ClassTableOf10000NamesWithoutFilesIn2000Files)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
