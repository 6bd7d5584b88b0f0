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

} // namespace tavola::fuzz
