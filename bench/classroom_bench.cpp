// The classroom server under a class: simulated pupils on the loopback, all at once, each logging on, opening a
// unit of 20 boxes, answering every box (one wrong try on the fifth) and scoring, round after round. Every Enter is
// timed from request to reply. Afterwards every learner file must hold exactly one record per round, none lost
// or torn. Counters: Enter latency p50 / p99 in milliseconds, records, and the process's peak memory (MiB).
#include "bench_support.h"

#include "platform/line_file.h"
#include "platform/paths.h"
#include "platform/sjis.h"
#include "practice/learning_records.h"
#include "server/http_server.h"
#include "server/qt_measure_canvas.h"

#include <benchmark/benchmark.h>
#include <httplib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <fstream>
#include <mutex>
#include <thread>

namespace {

using namespace tavola;
constexpr int kBoxes = 20;

void writeCourseware(const std::string& dir, int pupils)
{
    writeLineFile(dir + "Main.ind", {"ベンチ"_sj, "負荷の確認"_sj, "ベンチ,b\\\\b"_sj, ">>"});
    paths::ensureParentFolder(dir + "b/b.ind");
    writeLineFile(dir + "b/b.ind", {"ベンチ"_sj, "[[sect1", "計算"_sj, "<<", "二十問"_sj, ">>", "]]"});
    Lines master{"[[unit1", "<<ques", "１．計算しましょう。"_sj};
    for (int k = 1; k <= kBoxes; ++k)
        master.push_back("(" + std::to_string(k) + ")  1/" + std::to_string(k + 1) + "+1/" + std::to_string(k + 1) +
                         "=# 2/" + std::to_string(k + 1) + " #");
    for (const char* line : {">>",      "<<hint",  "分母はそのままです。",
                             ">>",      "<<value", "630",
                             "False",   "80",      "5",
                             "5",       "1",       "7",
                             ">>",      "<<font",  "14",
                             "MS 明朝", "False",   "False",
                             "False",   "False",   "0",
                             ">>",      "]]"})
        master.push_back(sjis::encode(line));
    writeLineFile(dir + "b/b1.que", master);
    Lines names;
    for (int p = 1; p <= pupils; ++p)
        names.push_back("児童"_sj + std::to_string(p));
    paths::ensureParentFolder(dir + "LogOn/sname.txt");
    writeLineFile(dir + "LogOn/sname.txt", names);
}

double percentile(std::vector<double>& values, double q)
{
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const auto k = static_cast<std::size_t>(q * static_cast<double>(values.size() - 1) + 0.5);
    return values[k];
}

long peakMemoryKiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
    return 0;
}

void ClassroomUnderAClass(benchmark::State& state)
{
    const int pupils = static_cast<int>(state.range(0));
    const int rounds = static_cast<int>(state.range(1));
    bench::ensureGui();
    for (auto _ : state) {
        bench::BenchFolder folder;
        writeCourseware(folder.dir(), pupils);
        ClassroomOptions options;
        options.places.coursewareDir = folder.dir();
        options.places.windowsDir = folder.dir() + "user/";
        options.maxSessions = static_cast<std::size_t>(pupils) * 2;
        Classroom room(options, qtMeasureCanvases());
        if (!room.load()) return state.SkipWithError("the courseware cannot be read");
        ClassroomServer server(room);
        if (!server.bind("127.0.0.1", 0)) return state.SkipWithError("no port");
        server.start();

        std::mutex timesMutex;
        std::vector<double> enterMs;
        std::atomic<int> failures{0};
        auto pupil = [&](int p) {
            httplib::Client client("127.0.0.1", server.port());
            client.set_keep_alive(true);
            client.set_read_timeout(30);
            std::vector<double> mine;
            for (int round = 0; round < rounds; ++round) {
                const Json logOn{{"learner", p}, {"password", "pass"}, {"confirmation", "pass"}};
                auto r = client.Post("/api/logon", logOn.dump(), "application/json");
                if (!r || r->status != 200) {
                    ++failures;
                    return;
                }
                const std::string cookie = r->get_header_value("Set-Cookie").substr(0, 15 + 64);
                const httplib::Headers headers{{"Cookie", cookie}};
                auto post = [&](const Json& body) {
                    return client.Post("/api/act", headers, body.dump(), "application/json");
                };
                r = client.Post("/api/open", headers, Json{{"section", 1}, {"unit", 1}}.dump(), "application/json");
                if (!r || r->status != 200 || !post({{"action", "practice"}})) {
                    ++failures;
                    return;
                }
                std::vector<std::string> texts(kBoxes);
                for (int k = 1; k <= kBoxes; ++k) {
                    const std::string answer = "2/" + std::to_string(k + 1);
                    for (const std::string& text :
                         k == 5 ? std::vector<std::string>{"1/2", answer} : std::vector<std::string>{answer}) {
                        texts[static_cast<std::size_t>(k - 1)] = text;
                        const auto start = std::chrono::steady_clock::now();
                        auto reply = post({{"action", "enter"}, {"box", k}, {"texts", texts}});
                        mine.push_back(
                            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                                .count());
                        if (!reply || reply->status != 200) ++failures;
                    }
                }
                post({{"action", "close"}});
            }
            std::lock_guard lock(timesMutex);
            enterMs.insert(enterMs.end(), mine.begin(), mine.end());
        };
        std::vector<std::thread> threads;
        for (int p = 0; p < pupils; ++p)
            threads.emplace_back(pupil, p);
        for (std::thread& t : threads)
            t.join();
        server.stop();

        // Every pupil's file holds one sound record per round.
        int records = 0;
        int bad = 0;
        for (int p = 1; p <= pupils; ++p) {
            auto contents = readLearnerFile(folder.dir() + "b/" + "児童"_sj + std::to_string(p) + ".ini");
            if (!contents || !contents->damaged.empty()) {
                ++bad;
                continue;
            }
            const RecordSection* section = contents->section("S11"_sj + "二十問"_sj);
            const int n = section ? static_cast<int>(section->records.size()) : 0;
            records += n;
            if (n != rounds) ++bad;
        }
        state.counters["enter_p50_ms"] = percentile(enterMs, 0.50);
        state.counters["enter_p99_ms"] = percentile(enterMs, 0.99);
        state.counters["enters"] = static_cast<double>(enterMs.size());
        state.counters["records"] = records;
        state.counters["peak_MiB"] = static_cast<double>(peakMemoryKiB()) / 1024.0;
        if (failures > 0 || bad > 0)
            state.SkipWithError(
                ("failed requests " + std::to_string(failures.load()) + ", learner files wrong " + std::to_string(bad))
                    .c_str());
    }
}
// 40 pupils × 10 rounds and 200 pupils × 2 rounds: 400 records each time.
BENCHMARK(ClassroomUnderAClass)->Args({40, 10})->Args({200, 2})->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

} // namespace
