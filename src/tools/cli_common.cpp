#include "tools/cli_commands.h"

#include "platform/paths.h"
#include "platform/sjis.h"

#include <filesystem>
#include <iostream>

namespace tavola::cli {

std::optional<std::string> coursewareDir(const std::string& dirArg)
{
    std::error_code ec;
    std::filesystem::path dir = std::filesystem::absolute(dirArg.empty() ? "." : dirArg, ec);
    if (ec) return std::nullopt;
    std::string real = dir.lexically_normal().string();
    if (real.empty() || real.back() != '/') real += '/';
    return paths::systemPathOf(real);
}

std::string utf8(const std::string& cp932)
{
    return sjis::toUtf8(cp932);
}

Json utf8List(const Lines& lines)
{
    Json list = Json::array();
    for (const std::string& line : lines)
        list.push_back(utf8(line));
    return list;
}

void printJson(const Json& value)
{
    std::cout << value.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
}

void printSystemMessage(const std::string& cp932)
{
    std::cerr << utf8(cp932) << '\n';
}

void printError(const std::string& utf8Text)
{
    std::cerr << utf8Text << '\n';
}

} // namespace tavola::cli
