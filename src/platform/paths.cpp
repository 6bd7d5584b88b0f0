#include "platform/paths.h"

#include "platform/sjis.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <strings.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace tavola::paths {
namespace {

bool exists(const std::string& real)
{
    struct stat st {};
    return ::stat(real.c_str(), &st) == 0;
}

bool isDriveText(const std::string& p)
{
    return p.size() >= 2 && p[1] == ':' && ((p[0] >= 'A' && p[0] <= 'Z') || (p[0] >= 'a' && p[0] <= 'z'));
}

// Looks for a name in the folder that equals name without regard to ASCII case.
std::optional<std::string> caseInsensitiveMatch(const std::string& folder, const std::string& name)
{
    std::error_code ec;
    fs::directory_iterator it(folder.empty() ? fs::path(".") : fs::path(folder), ec);
    if (ec) return std::nullopt;
    for (fs::directory_iterator end; !ec && it != end; it.increment(ec)) {
        std::string candidate = it->path().filename().string();
        if (::strcasecmp(candidate.c_str(), name.c_str()) == 0) return candidate;
    }
    return std::nullopt;
}

} // namespace

std::string dataFolder()
{
    const char* xdg = std::getenv("XDG_DATA_HOME");
    std::string base;
    if (xdg != nullptr && *xdg != '\0') {
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        base = std::string(home != nullptr ? home : ".") + "/.local/share";
    }
    return base + "/tavola";
}

std::string realPath(const std::string& systemPath)
{
    std::string p = sjis::toUtf8(systemPath);
    for (char& c : p)
        if (c == '\\') c = '/';
    if (isDriveText(p)) p = dataFolder() + "/" + (p.size() > 2 && p[2] == '/' ? p.substr(3) : p.substr(2));
    if (p.empty() || exists(p)) return p;

    // Resolve folder by folder, taking a case-insensitive match where the exact name is missing.
    std::string resolved = p[0] == '/' ? "/" : "";
    std::size_t pos = p[0] == '/' ? 1 : 0;
    bool searching = true;
    while (pos <= p.size()) {
        std::size_t slash = p.find('/', pos);
        std::string part = p.substr(pos, slash == std::string::npos ? std::string::npos : slash - pos);
        bool last = slash == std::string::npos;
        if (!part.empty()) {
            std::string candidate = resolved + part;
            if (searching && part != "." && part != ".." && !exists(candidate)) {
                if (auto match = caseInsensitiveMatch(resolved, part)) {
                    candidate = resolved + *match;
                } else {
                    searching = false;
                }
            }
            resolved = candidate;
        }
        if (last) break;
        if (!resolved.empty() && resolved.back() != '/') resolved += '/';
        pos = slash + 1;
    }
    return resolved;
}

std::optional<std::string> systemPathOf(const std::string& realPath) { return sjis::fromUtf8(realPath); }

std::optional<std::string> currentDirectory()
{
    std::error_code ec;
    fs::path cwd = fs::current_path(ec);
    if (ec) return std::nullopt;
    return systemPathOf(cwd.string());
}

bool fileExists(const std::string& systemPath)
{
    struct stat st {};
    // Only a regular file is a file: a named pipe or a device in its place would block whoever reads it.
    return ::stat(realPath(systemPath).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool directoryExists(const std::string& systemPath)
{
    struct stat st {};
    return ::stat(realPath(systemPath).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool createDirectory(const std::string& systemPath)
{
    std::error_code ec;
    std::string real = realPath(systemPath);
    fs::create_directories(real, ec);
    return !ec && fs::is_directory(real, ec);
}

bool ensureParentFolder(const std::string& systemPath)
{
    std::error_code ec;
    fs::path parent = fs::path(realPath(systemPath)).parent_path();
    if (parent.empty() || fs::is_directory(parent, ec)) return true;
    fs::create_directories(parent, ec);
    return fs::is_directory(parent, ec);
}

bool isReadOnlyFolder(const std::string& systemPath)
{
    std::string real = realPath(systemPath);
    struct statvfs vfs {};
    if (::statvfs(real.c_str(), &vfs) == 0 && (vfs.f_flag & ST_RDONLY) != 0) return true;
    return ::access(real.c_str(), W_OK) != 0;
}

std::vector<std::string> listFolder(const std::string& systemFolder)
{
    std::vector<std::string> names;
    std::error_code ec;
    std::string real = realPath(systemFolder);
    for (fs::directory_iterator it(real.empty() ? "." : real, ec), end; !ec && it != end; it.increment(ec)) {
        if (auto name = systemPathOf(it->path().filename().string())) names.push_back(*name);
    }
    return names;
}

std::vector<std::string> filesWithExtension(const std::string& systemFolder, std::string_view extension)
{
    std::vector<std::string> files;
    for (const std::string& name : listFolder(systemFolder)) {
        if (name.size() < extension.size()) continue;
        std::string end = name.substr(name.size() - extension.size());
        std::transform(end.begin(), end.end(), end.begin(), [](unsigned char c) { return std::tolower(c); });
        if (end == extension && fileExists(systemFolder + name)) files.push_back(name);
    }
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace tavola::paths
