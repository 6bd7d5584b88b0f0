// The settings store: the bytes as the program's key file, every value read with each type (a default written
// where one is missing), and a text, an integer and a flag written and read back.
#include "fuzz_support.h"

#include "platform/line_file.h"
#include "platform/settings_store.h"

#include <cstdlib>
#include <vector>

using namespace tavola;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes = fuzz::bytesOf(data, size);
    SettingsStore store(fuzz::scratchFolder() + "settings");
    const std::string file = store.keyFile(SettingsKey::Program);
    fuzz::writeScratch(file.substr(fuzz::scratchFolder().size()), bytes);

    // The names of the file's first lines, as well as fixed ones (a value missing is written with its default).
    std::vector<std::string> names{"KeyLock"};
    for (const std::string& line : splitLines(bytes)) {
        names.push_back(line.substr(0, line.find('\t')));
        if (names.size() == 3) break;
    }
    for (const std::string& name : names) {
        (void)store.readFlag(name, true);
        (void)store.readInteger(name, 7);
        (void)store.readText(name, "x");
    }
    const std::string text = names.back();
    if (store.writeText("Text", text)) {
        // A text the settings keep as UTF-8 reads back as it was written.
        auto back = store.readText("Text", "");
        if (sjis::fromUtf8(sjis::toUtf8(text)) == text && (!back || *back != text)) std::abort();
    }
    if (store.writeInteger("Number", static_cast<std::int32_t>(size) - 1000)) {
        auto back = store.readInteger("Number", 0);
        if (!back || *back != static_cast<std::int32_t>(size) - 1000) std::abort();
    }
    (void)store.writeFlag("KeyLock", size % 2 == 0);
    (void)store.readCommonText("Name", "");
    return 0;
}
