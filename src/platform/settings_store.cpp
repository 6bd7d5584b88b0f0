#include "platform/settings_store.h"

#include "platform/line_file.h"
#include "platform/sjis.h"

#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>

namespace tavola {
namespace {

// A key file holds one value per line: name, a tab, "sz" or "dword", a tab, the value. Texts are stored in
// UTF-8 with "\\", "\t", "\n" and "\r" escaped, so that the file can be read and edited as ordinary text.
struct Value {
    bool isText = false;
    std::string text;
    std::int32_t number = 0;
};
using Values = std::map<std::string, Value>;

std::string escape(const std::string& s)
{
    std::string out;
    for (char c : s) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string unescape(const std::string& s)
{
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size()) {
            char n = s[++i];
            out += n == 't' ? '\t' : n == 'n' ? '\n' : n == 'r' ? '\r' : n;
        } else {
            out += s[i];
        }
    }
    return out;
}

// Names of the system are ASCII; texts are CP932 inside the program. The key files are named by their real
// path, which need not be expressible in CP932 (a home folder "josé"), and a path the system refuses to look at
// (no permission, a name too long) is a read error, never an exception.
std::optional<Values> load(const std::string& file, bool& exists)
{
    std::error_code ec;
    exists = std::filesystem::exists(file, ec);
    if (ec) return std::nullopt;
    Values values;
    if (!exists) return values;
    auto bytes = readWholeFileAt(file);
    if (!bytes) return std::nullopt;
    for (const auto& line : splitLines(*bytes)) {
        std::size_t t1 = line.find('\t');
        std::size_t t2 = t1 == std::string::npos ? t1 : line.find('\t', t1 + 1);
        if (t2 == std::string::npos) continue;
        std::string name = line.substr(0, t1);
        std::string type = line.substr(t1 + 1, t2 - t1 - 1);
        std::string raw = line.substr(t2 + 1);
        Value v;
        if (type == "sz") {
            v.isText = true;
            v.text = sjis::fromUtf8(unescape(raw)).value_or(unescape(raw));
        } else if (type == "dword") {
            long long n = 0;
            auto [p, ec] = std::from_chars(raw.data(), raw.data() + raw.size(), n);
            if (ec != std::errc()) continue;
            v.number = static_cast<std::int32_t>(static_cast<std::uint32_t>(n));
        } else {
            continue;
        }
        values[name] = v;
    }
    return values;
}

Status save(const std::string& file, const Values& values)
{
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(file).parent_path(), ec);
    std::string bytes;
    for (const auto& [name, v] : values) {
        if (v.isText)
            bytes += name + "\tsz\t" + escape(sjis::toUtf8(v.text));
        else
            bytes += name + "\tdword\t" + std::to_string(v.number);
        bytes += "\r\n";
    }
    Status s = writeWholeFileAt(file, bytes);
    if (!s) return Status::failure("設定を書き込めません: "_sj + sjis::encode(file) + " (" + s.message() + ")");
    return s;
}

std::string typeError(const std::string& name)
{
    return "設定値 "_sj + name + " のデータ型が正しくありません"_sj;
}

std::string readError(const std::string& file)
{
    return "設定を読み込めません: "_sj + sjis::encode(file);
}

template <class T> Result<T> readValue(const std::string& file, const std::string& name, const T& def)
{
    bool exists = false;
    auto values = load(file, exists);
    if (!values) return Result<T>::failure(readError(file));
    auto it = values->find(name);
    if (it != values->end()) {
        constexpr bool wantText = std::is_same_v<T, std::string>;
        if (it->second.isText != wantText) return Result<T>::failure(typeError(name));
        if constexpr (wantText)
            return it->second.text;
        else
            return static_cast<T>(it->second.number);
    }
    Value v;
    if constexpr (std::is_same_v<T, std::string>) {
        v.isText = true;
        v.text = def;
    } else {
        v.number = static_cast<std::int32_t>(def);
    }
    (*values)[name] = v;
    Status s = save(file, *values);
    if (!s) return Result<T>::failure(s.message());
    return def;
}

Status writeValue(const std::string& file, const std::string& name, const Value& v)
{
    bool exists = false;
    auto values = load(file, exists);
    if (!values) return Status::failure(readError(file));
    (*values)[name] = v;
    return save(file, *values);
}

} // namespace

SettingsStore::SettingsStore(std::string folder) : folder_(folder.empty() ? defaultFolder() : std::move(folder)) {}

std::string SettingsStore::defaultFolder()
{
    if (const char* dir = std::getenv("TAVOLA_CONFIG_DIR"); dir != nullptr && *dir != '\0') return dir;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && *xdg != '\0')
        return std::string(xdg) + "/tavola";
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr ? home : ".") + "/.config/tavola";
}

std::string SettingsStore::keyFile(SettingsKey key) const
{
    return folder_ + (key == SettingsKey::Program ? "/Tavola++/Sheetpak.reg" : "/Tavola/Common.reg");
}

Result<bool> SettingsStore::readFlag(const std::string& name, bool def)
{
    auto r = readValue<std::int32_t>(keyFile(SettingsKey::Program), name, def ? 1 : 0);
    if (!r) return Result<bool>::failure(r.message());
    return *r != 0;
}

Result<std::int32_t> SettingsStore::readInteger(const std::string& name, std::int32_t def)
{
    return readValue<std::int32_t>(keyFile(SettingsKey::Program), name, def);
}

Result<std::string> SettingsStore::readText(const std::string& name, const std::string& def)
{
    return readValue<std::string>(keyFile(SettingsKey::Program), name, def);
}

Result<std::string> SettingsStore::readCommonText(const std::string& name, const std::string& def)
{
    return readValue<std::string>(keyFile(SettingsKey::Common), name, def);
}

Status SettingsStore::writeFlag(const std::string& name, bool value)
{
    return writeInteger(name, value ? 1 : 0);
}

Status SettingsStore::writeInteger(const std::string& name, std::int32_t value)
{
    Value v;
    v.number = value;
    return writeValue(keyFile(SettingsKey::Program), name, v);
}

Status SettingsStore::writeText(const std::string& name, const std::string& value)
{
    Value v;
    v.isText = true;
    v.text = value;
    return writeValue(keyFile(SettingsKey::Program), name, v);
}

} // namespace tavola
