// Reading courseware at its largest: a 2 MB master file of 500 units whose last unit is opened, and an index of
// 80 lessons of 80 sections each. The data is generated in a temporary folder when the program starts.
#include "bench_support.h"

#include "courseware/index_file.h"
#include "platform/line_file.h"
#include "platform/sjis.h"
#include "question/unit_reader.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

using namespace tavola;

constexpr int kUnits = 500;
constexpr int kLessons = 80;
constexpr int kSections = 80;
constexpr int kUnitsPerSection = 12;

class Courseware {
public:
    Courseware()
    {
        writeMaster();
        writeIndex();
    }
    const std::string& dir() const { return folder_.dir(); }
    std::string masterPath() const { return folder_.dir() + "big.que"; }

private:
    // 500 units of 60 problem lines, layout blocks and a figure: about 2 MB.
    void writeMaster()
    {
        Lines lines;
        for (int u = 1; u <= kUnits; ++u) {
            lines.push_back("[[unit" + std::to_string(u));
            lines.push_back("<<ques");
            lines.push_back("{");
            lines.push_back(sjis::encode("分数のたし算とひき算の練習問題です。"));
            lines.push_back("}");
            lines.push_back(sjis::encode("１．次の計算をしましょう。答えは約分して書きましょう。"));
            for (int k = 1; k < 60; ++k) {
                std::string line = "(";
                for (auto part : {std::to_string(k), std::string(")  "), std::to_string(k), std::string("/"),
                                  std::to_string(k + 1), std::string("+"), std::to_string(k + 2), std::string("/"),
                                  std::to_string(k + 3), std::string("=#"), std::to_string(k), std::string("&1/2;"),
                                  std::to_string(2 * k + 1), std::string("/2#")})
                    line += part;
                lines.push_back(std::move(line));
            }
            lines.insert(lines.end(), {">>", "<<dummy", ">>", "<<graph", "fig.bmp", "-1", "-1", ">>"});
            lines.insert(lines.end(), {"<<value", "630", "False", "70", "5", "5", "1", "7", ">>"});
            lines.insert(lines.end(), {"<<font", "14", "MS", "False", "False", "False", "False", "0", ">>"});
            lines.insert(lines.end(), {"<<kran", "1", "12", "10", "0", "30", "0", "15", "10", "0", "0", ">>", "]]"});
        }
        if (!writeLineFile(masterPath(), lines)) std::abort();
    }

    void writeIndex()
    {
        Lines main{sjis::encode("大きな教材"), ""};
        for (int n = 1; n <= kLessons; ++n) {
            std::string stem = "les" + std::to_string(n);
            main.push_back(sjis::encode("第") + std::to_string(n) + sjis::encode("課") + "," + stem + "\\\\" + stem);
            std::filesystem::create_directories(folder_.real() + "/" + stem);
            Lines sub{sjis::encode("分数の計算 ") + std::to_string(n)};
            for (int s = 1; s <= kSections; ++s) {
                sub.push_back("[[sect" + std::to_string(s));
                sub.push_back(sjis::encode("区分") + std::to_string(s));
                sub.push_back("<<");
                for (int u = 1; u <= kUnitsPerSection; ++u)
                    sub.push_back(sjis::encode("分母がちがう分数のたし算 ") + std::to_string(u));
                sub.push_back(">>");
                sub.push_back("]]");
            }
            if (!writeLineFile(folder_.dir() + stem + "\\" + stem + ".ind", sub)) std::abort();
        }
        main.push_back(">>");
        if (!writeLineFile(folder_.dir() + "Main.ind", main)) std::abort();
    }

    bench::BenchFolder folder_;
};

const Courseware& courseware()
{
    static Courseware c;
    return c;
}

// Opening the last unit of a 2 MB master file: load the file, find the marker, read the record.
void BM_OpenLastUnitOfBigMasterFile(benchmark::State& state)
{
    ReadRequest request;
    request.path = courseware().masterPath();
    request.marker = "[[unit" + std::to_string(kUnits);
    request.position = {1, 1, kUnits, 0};
    UnitReader reader;
    for (auto _ : state) {
        if (!reader.read(request)) state.SkipWithError("the unit was not read");
        benchmark::DoNotOptimize(reader.unit().problemLines.data());
    }
}
BENCHMARK(BM_OpenLastUnitOfBigMasterFile)->Unit(benchmark::kMillisecond);

// Reading Main.ind and every lesson's sub-index: 80 lessons of 80 sections.
void BM_ReadIndexOf80LessonsOf80Sections(benchmark::State& state)
{
    for (auto _ : state) {
        CoursewareIndex index(courseware().dir());
        if (!index.readMainIndex()) state.SkipWithError("Main.ind was not read");
        int sections = 0;
        for (int n = 1; n <= index.lessonCount(); ++n) {
            if (!index.readLesson(n)) state.SkipWithError("a lesson was not read");
            sections += index.sectionCount();
        }
        if (sections != kLessons * kSections) state.SkipWithError("sections missing");
        benchmark::DoNotOptimize(sections);
    }
}
BENCHMARK(BM_ReadIndexOf80LessonsOf80Sections)->Unit(benchmark::kMillisecond);

} // namespace
