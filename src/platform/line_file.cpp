#include "platform/line_file.h"

#include "platform/paths.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace tavola {

Lines splitLines(std::string_view bytes)
{
    Lines lines;
    std::size_t start = 0;
    std::size_t i = 0;
    while (i < bytes.size()) {
        char c = bytes[i];
        if (c == '\r' || c == '\n') {
            lines.emplace_back(bytes.substr(start, i - start));
            if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
            start = i + 1;
        }
        ++i;
    }
    if (start < bytes.size()) lines.emplace_back(bytes.substr(start));
    return lines;
}

std::optional<std::string> readWholeFile(const std::string& systemPath)
{
    return readWholeFileAt(paths::realPath(systemPath));
}

std::optional<std::string> readWholeFileAt(const std::string& real)
{
    std::ifstream in(real, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    if (in.bad()) return std::nullopt;
    return std::move(buffer).str();
}

std::optional<Lines> readLineFile(const std::string& systemPath)
{
    auto bytes = readWholeFile(systemPath);
    if (!bytes) return std::nullopt;
    return splitLines(*bytes);
}

Status writeWholeFile(const std::string& systemPath, std::string_view bytes)
{
    return writeWholeFileAt(paths::realPath(systemPath), bytes);
}

Status writeWholeFileAt(const std::string& real, std::string_view bytes)
{
    std::string temp = real + ".tmp" + std::to_string(::getpid());
    std::FILE* f = std::fopen(temp.c_str(), "wb");
    if (f == nullptr) return Status::failure(std::strerror(errno));
    bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    int err = errno;
    ok = (std::fflush(f) == 0) && ok;
    if (ok) ok = ::fsync(::fileno(f)) == 0 || errno == EINVAL;
    if (!ok) err = errno;
    if (std::fclose(f) != 0 && ok) {
        ok = false;
        err = errno;
    }
    if (ok && std::rename(temp.c_str(), real.c_str()) != 0) {
        ok = false;
        err = errno;
    }
    if (!ok) {
        std::remove(temp.c_str());
        return Status::failure(std::strerror(err));
    }
    return {};
}

Status writeLineFile(const std::string& systemPath, const Lines& lines)
{
    std::string bytes;
    std::size_t total = 0;
    for (const auto& line : lines)
        total += line.size() + 2;
    bytes.reserve(total);
    for (const auto& line : lines) {
        bytes += line;
        bytes += "\r\n";
    }
    return writeWholeFile(systemPath, bytes);
}

} // namespace tavola
