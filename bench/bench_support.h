#pragma once
// What the benchmarks share: the Qt application the canvas needs, and a temporary folder for the courseware they
// generate.
#include <string>

namespace tavola::bench {

// A QGuiApplication (offscreen unless a platform is named) with the program's font substitutions, made once for
// the whole run.
void ensureGui();

// A temporary folder, removed with everything in it at the end. The program stops when it cannot be made, so that
// nothing is generated anywhere else.
class BenchFolder {
public:
    BenchFolder();
    ~BenchFolder();
    BenchFolder(const BenchFolder&) = delete;
    BenchFolder& operator=(const BenchFolder&) = delete;

    // The real path, without a trailing separator.
    const std::string& real() const { return real_; }
    // The system path (CP932), ending in a separator.
    const std::string& dir() const { return dir_; }

private:
    std::string real_;
    std::string dir_;
};

} // namespace tavola::bench
