#pragma once
// The settings store in place of the registry: one file per key under the configuration folder
// ($TAVOLA_CONFIG_DIR, else $XDG_CONFIG_HOME/tavola, else ~/.config/tavola), holding typed values (text and 32-bit
// integer; flags are integers, any non-zero reads as true). Every operation opens, uses and closes its file:
// nothing is cached, so a value changed by another program between two calls is seen by the second.
//
// Reading with a default creates the missing value (and its key) with the default, so that every value the program
// reads exists after its first reading. A value stored with another type than the read expects is an error,
// as the registry's invalid-data-type error was; nothing is changed then.
#include "platform/result.h"

#include <cstdint>
#include <string>

namespace tavola {

enum class SettingsKey {
    Program, // "SoftWare\Tavola++\Sheetpak"
    Common,  // "SoftWare\Tavola\Common", shared with the other programs of the family
};

class SettingsStore {
public:
    // folder: where the key files live; empty means the default folder of the environment.
    explicit SettingsStore(std::string folder = {});

    static std::string defaultFolder();

    Result<bool> readFlag(const std::string& name, bool def);
    Result<std::int32_t> readInteger(const std::string& name, std::int32_t def);
    Result<std::string> readText(const std::string& name, const std::string& def);
    Result<std::string> readCommonText(const std::string& name, const std::string& def);

    Status writeFlag(const std::string& name, bool value);
    Status writeInteger(const std::string& name, std::int32_t value);
    Status writeText(const std::string& name, const std::string& value);

    // The file that holds a key.
    std::string keyFile(SettingsKey key) const;

private:
    std::string folder_;
};

} // namespace tavola
