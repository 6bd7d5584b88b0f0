// New numbers for a worksheet: a page of 20 problems of the kinds the fraction courseware holds (same and different
// denominators, mixed numbers that carry and borrow, ×, ÷, brackets, decimals, improper and mixed conversions),
// varied for copy after copy of a class set. The goal is well under 0.2 ms a page.
#include "platform/line_file.h"
#include "platform/sjis.h"
#include "variant/variant_generator.h"

#include <benchmark/benchmark.h>

namespace {

using namespace tavola;

Lines twentyProblems()
{
    return {
        sjis::encode("１．次の計算をしましょう。答えは約分して書きましょう。"),
        "(1)  3/6+1/6=# 4/6;2/3 #",
        "(2)  5/9-2/9=# 3/9;1/3 #",
        "(3)  1/2+1/9=# 11/18 #",
        "(4)  5/7+2/5=# 39/35;1&4/35 #",
        "(5)  5/6-1/2=# 1/3 #",
        "(6)  3&5/9+3&7/9=# 7&3/9;7&1/3;22/3 #",
        "(7)  5&2/4-2&3/4=# 2&3/4;11/4 #",
        "(8)  4&1/4-2&2/4=# 1&3/4;7/4 #",
        "(9)  9/7=# 1&2/7 #",
        "(10) 2&1/3=# 7/3 #",
        "(11) 2/3*3/4=# 1/2 #",
        "(12) 5/6*3=# 5/2;2&1/2 #",
        "(13) 3/4\\3/8=# 2 #",
        "(14) 4/9\\2=# 2/9 #",
        "(15) 2\\3=# 2/3 #",
        "(16) (3/4+2/5)*20=# 23 #",
        "(17) 1/5+1/4\\1/3=# 19/20 #",
        "(18) 4/5=# 0.8 #",
        "(19) 1.2=# 6/5;1&1/5 #",
        "(20) 0.5\\1/8=# 4 #",
    };
}

// One page per iteration, each for the next copy of the set, so that no single lucky seed is measured.
void BM_VaryTwentyProblemPage(benchmark::State& state)
{
    const Lines page = twentyProblems();
    int copy = 2;
    for (auto _ : state) {
        Lines varied = variant::variantLines(page, "bench.que-U1", copy);
        benchmark::DoNotOptimize(varied.data());
        copy = copy == 31 ? 2 : copy + 1;
    }
}
BENCHMARK(BM_VaryTwentyProblemPage)->Unit(benchmark::kMicrosecond);

// A class set of 30: copies 2 to 30 varied (copy 1 is the page as authored).
void BM_VaryClassSetOfThirty(benchmark::State& state)
{
    const Lines page = twentyProblems();
    for (auto _ : state) {
        for (int copy = 1; copy <= 30; ++copy) {
            Lines varied = variant::variantLines(page, "bench.que-U1", copy);
            benchmark::DoNotOptimize(varied.data());
        }
    }
}
BENCHMARK(BM_VaryClassSetOfThirty)->Unit(benchmark::kMillisecond);

} // namespace
