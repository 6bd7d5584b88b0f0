#pragma once
// A temporary folder for one test, removed at the end.
#include "platform/sjis.h"

#include <cstdlib>
#include <filesystem>
#include <string>

namespace tavola::test {

class TempFolder {
public:
    TempFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "tavola-test-XXXXXX").string();
        char* made = ::mkdtemp(pattern.data());
        path_ = made != nullptr ? std::string(made) : pattern;
    }
    ~TempFolder()
    {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The real path, without a trailing separator.
    const std::string& path() const { return path_; }
    // A system path (CP932) of a name inside the folder; name is CP932 and may use "\".
    std::string systemPath(const std::string& name = {}) const { return sjis::encode(path_) + "/" + name; }

private:
    std::string path_;
};

} // namespace tavola::test
