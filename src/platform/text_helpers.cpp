#include "platform/text_helpers.h"

#include "platform/paths.h"
#include "platform/seams.h"
#include "platform/sjis.h"

#include <algorithm>
#include <ctime>

namespace tavola {

std::string fileNotFoundMessage(const std::string& path)
{
    return "ファイル "_sj + path + " が見つかりません"_sj;
}

std::string folderNotFoundMessage(const std::string& path)
{
    return "ディレクトリ "_sj + path + " が見つかりません"_sj;
}

bool checkFileExists(Prompts& prompts, const std::string& path)
{
    if (paths::fileExists(path)) return true;
    prompts.message(fileNotFoundMessage(path));
    return false;
}

std::string extensionOf(std::string_view name)
{
    std::size_t dot = name.find('.');
    if (dot == std::string_view::npos) return {};
    std::string ext(name.substr(dot, 4));
    for (char& c : ext)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return ext;
}

namespace {
int splitAt(std::string_view text, char separator, std::vector<std::string>& parts)
{
    parts.clear();
    int count = 0;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); i += sjis::charLength(text, i)) {
        if (text[i] == separator) {
            parts.emplace_back(text.substr(start, i - start));
            start = i + 1;
            ++count;
        }
    }
    parts.emplace_back(text.substr(start));
    return count;
}
} // namespace

int splitAtHash(std::string_view text, std::vector<std::string>& parts)
{
    return splitAt(text, '#', parts);
}

int splitAtSemicolon(std::string_view text, std::vector<std::string>& parts)
{
    splitAt(text, ';', parts);
    return static_cast<int>(parts.size());
}

namespace {

// Blanks (as isBlank says) off both ends, then full-width spaces off both ends. A trailing 81 40 is a full-width
// space only when it starts on a character boundary (the second byte of a double-byte character may be 81 and the
// next byte 40): one walk over the characters finds where the last one that is not such a space ends, so the trim
// is linear however many spaces there are.
template <class IsBlank> std::string trimBlanksThenSpaces(std::string_view text, IsBlank isBlank)
{
    std::size_t b = 0;
    std::size_t e = text.size();
    while (b < e && isBlank(static_cast<unsigned char>(text[b])))
        ++b;
    while (e > b && isBlank(static_cast<unsigned char>(text[e - 1])))
        --e;
    static const std::string space = "　"_sj;
    while (e - b >= 2 && text.substr(b, 2) == space)
        b += 2;
    std::size_t kept = b;
    for (std::size_t i = b; i < e;) {
        const std::size_t n = sjis::charLength(text, i);
        if (!(n == 2 && i + 2 <= e && text.substr(i, 2) == space)) kept = std::min(i + n, e);
        i += n;
    }
    return std::string(text.substr(b, kept - b));
}

} // namespace

std::string trimFullWidth(std::string_view text)
{
    return trimBlanksThenSpaces(text, [](unsigned char c) { return c == ' '; });
}

std::string trimAnswerText(std::string_view text)
{
    return trimBlanksThenSpaces(text, [](unsigned char c) { return c <= 0x20; });
}

std::string padToModel(std::string_view text, std::string_view model)
{
    if (text.size() >= model.size()) return std::string(text);
    std::string padded = text.empty() ? std::string(12, ' ') : " " + std::string(text) + std::string(12, ' ');
    return padded.substr(0, model.size());
}

void shuffleList(std::vector<std::string>& items, Random& random)
{
    int n = static_cast<int>(items.size());
    for (int i = 0; i < n; ++i) {
        int j = random.below(n);
        if (j != i) std::swap(items[static_cast<std::size_t>(i)], items[static_cast<std::size_t>(j)]);
    }
}

std::string textAfterLast(std::string_view text, char c)
{
    std::size_t last = std::string_view::npos;
    for (std::size_t i = 0; i < text.size(); i += sjis::charLength(text, i))
        if (text[i] == c) last = i;
    if (last == std::string_view::npos) return std::string(text);
    return std::string(text.substr(last + 1));
}

std::string twoDigits(int n)
{
    return n > 9 ? std::to_string(n) : "0" + std::to_string(n);
}

std::string dottedDate(const Clock& clock)
{
    DateTime t = clock.now();
    return std::to_string(t.year) + "." + twoDigits(t.month) + "." + twoDigits(t.day);
}

DateTime SystemClock::now() const
{
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return DateTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec};
}

SystemRandom::SystemRandom() : engine_(std::random_device{}()) {}

int SystemRandom::below(int n)
{
    if (n <= 0) return 0;
    return std::uniform_int_distribution<int>(0, n - 1)(engine_);
}

Clock& systemClock()
{
    static SystemClock clock;
    return clock;
}

Random& systemRandom()
{
    static SystemRandom random;
    return random;
}

} // namespace tavola
