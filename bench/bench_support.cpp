#include "bench_support.h"

#include "platform/paths.h"
#include "platform/qt/qt_fonts.h"

#include <QApplication>

#include <cstdlib>
#include <filesystem>

namespace tavola::bench {

void ensureGui()
{
    if (QGuiApplication::instance() != nullptr) return;
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "tavola_bench";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv); // widgets too: the class records window is measured
    installFontSubstitutions();
}

BenchFolder::BenchFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "tavola-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    real_ = pattern;
    auto dir = paths::systemPathOf(real_ + "/");
    if (!dir) std::abort();
    dir_ = *dir;
}

BenchFolder::~BenchFolder()
{
    std::error_code ec;
    std::filesystem::remove_all(real_, ec);
}

} // namespace tavola::bench
