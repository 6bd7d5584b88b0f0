#include "fuzz_support.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace tavola::fuzz {
namespace {

struct Scratch {
    std::string path;
    Scratch()
    {
        // In memory where the system has such a folder: the writers flush every file to the disk, which would
        // make each input wait for it.
        std::error_code ec;
        const std::filesystem::path base =
            std::filesystem::is_directory("/dev/shm", ec) ? "/dev/shm" : std::filesystem::temp_directory_path();
        std::string pattern = (base / "tavola-fuzz-XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr) path = pattern + "/";
    }
    ~Scratch()
    {
        std::error_code ec;
        if (!path.empty()) std::filesystem::remove_all(path, ec);
    }
};

} // namespace

const std::string& scratchFolder()
{
    static Scratch scratch;
    return scratch.path;
}

std::string writeScratch(const std::string& name, std::string_view bytes)
{
    const std::filesystem::path file = scratchFolder() + name;
    std::error_code ec;
    std::filesystem::create_directories(file.parent_path(), ec);
    std::ofstream(file, std::ios::binary | std::ios::trunc)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return scratchFolder() + name;
}

void writeOneLessonCourseware()
{
    static const bool made = [] {
        writeScratch("Main.ind", "title\r\n\r\nlesson,l\\\\l\r\n>>\r\n");
        return true;
    }();
    (void)made;
}

std::string firstBracketed(std::string_view bytes, const std::string& fallback)
{
    const std::size_t open = bytes.find('[');
    if (open == std::string_view::npos) return fallback;
    const std::size_t close = bytes.find(']', open);
    if (close == std::string_view::npos) return fallback;
    return std::string(bytes.substr(open + 1, close - open - 1));
}

} // namespace tavola::fuzz
