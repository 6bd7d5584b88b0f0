#pragma once
// The pages, script and style the tablets load, compiled into the program from resources/tablet/.
#include <optional>
#include <string_view>

namespace tavola {

struct TabletPage {
    std::string_view bytes;
    const char* contentType;
};

// The page served at a path ("/", "/app.js", "/app.css"); nullopt for any other path.
std::optional<TabletPage> tabletPage(std::string_view path);

} // namespace tavola
