// Output written by a library (the printer's PDF, an image's PNG) goes through a checked temporary file: a PDF
// that stops half way, a full device or a missing folder leaves an earlier file as it was and no temporary file.
#include "platform/output_file.h"

#include "platform/sjis.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

using namespace tavola;

namespace {

namespace fs = std::filesystem;

void put(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string bytesOf(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::set<std::string> namesIn(const std::string& dir)
{
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(dir))
        names.insert(e.path().filename().string());
    return names;
}

const std::string kPdf = "%PDF-1.4\n1 0 obj\n<<>>\nendobj\ntrailer\n<<>>\n%%EOF\n";
const std::string kPng =
    std::string("\x89PNG\r\n\x1a\n", 8) + "IHDR....." + std::string("\0\0\0\0IEND\xae\x42\x60\x82", 12);

} // namespace

TEST(OutputFile, OnlyAWholeFileReplacesTheOneThere)
{
    struct Case {
        const char* what;
        OutputKind kind;
        std::string written;
        bool whole;
    } cases[] = {
        {"a whole PDF", OutputKind::Pdf, kPdf, true},
        {"a PDF with blanks after the marker", OutputKind::Pdf, kPdf + "\r\n  \n", true},
        {"a PDF cut short", OutputKind::Pdf, kPdf.substr(0, 30), false},
        {"nothing written", OutputKind::Pdf, "", false},
        {"a marker not at the end", OutputKind::Pdf, kPdf + "more objects\n", false},
        {"a whole PNG", OutputKind::Png, kPng, true},
        {"a PNG cut short", OutputKind::Png, kPng.substr(0, 16), false},
        {"a PDF where a PNG belongs", OutputKind::Png, kPdf, false},
    };
    for (const Case& c : cases) {
        test::TempFolder dir;
        const std::string target = dir.path() + "/class set.pdf";
        put(target, "the earlier file");
        auto out = OutputFile::begin(target, c.kind);
        ASSERT_TRUE(out) << c.what;
        EXPECT_EQ(fs::path(out->writePath()).parent_path().string(), dir.path()) << c.what;
        put(out->writePath(), c.written);
        Status finished = out->finish();
        EXPECT_EQ(finished.ok(), c.whole) << c.what;
        EXPECT_EQ(bytesOf(target), c.whole ? c.written : "the earlier file") << c.what;
        if (!c.whole) {
            EXPECT_EQ(sjis::toUtf8(finished.message()),
                      "ファイル " + target + " に書き込めませんでした (途中で書けなくなりました)")
                << c.what;
        }
        EXPECT_EQ(namesIn(dir.path()), std::set<std::string>{"class set.pdf"}) << c.what;
    }
}

TEST(OutputFile, FoldersDevicesAndLinks)
{
    test::TempFolder dir;
    // A folder that is not there: nothing can be written, and that is said before any drawing.
    auto missing = OutputFile::begin(dir.path() + "/no/such/x.pdf", OutputKind::Pdf);
    EXPECT_EQ(sjis::toUtf8(missing.message()),
              "ファイル " + dir.path() + "/no/such/x.pdf に書き込めませんでした (No such file or directory)");

    // A device is written into, every write checked: a full one fails.
    if (fs::exists("/dev/full")) {
        auto full = OutputFile::begin("/dev/full", OutputKind::Pdf);
        ASSERT_TRUE(full);
        EXPECT_NE(fs::path(full->writePath()).parent_path(), fs::path("/dev"));
        put(full->writePath(), kPdf);
        const std::string temp = full->writePath();
        EXPECT_EQ(sjis::toUtf8(full->finish().message()),
                  "ファイル /dev/full に書き込めませんでした (No space left on device)");
        EXPECT_FALSE(fs::exists(temp));
    }

    // A symbolic link stays a link; its target gets the file.
    put(dir.path() + "/real.pdf", "old");
    fs::create_symlink("real.pdf", dir.path() + "/link.pdf");
    auto linked = OutputFile::begin(dir.path() + "/link.pdf", OutputKind::Pdf);
    ASSERT_TRUE(linked);
    put(linked->writePath(), kPdf);
    ASSERT_TRUE(linked->finish());
    EXPECT_TRUE(fs::is_symlink(dir.path() + "/link.pdf"));
    EXPECT_EQ(bytesOf(dir.path() + "/real.pdf"), kPdf);

    // Given up, or dropped without finishing: no temporary file stays.
    {
        auto dropped = OutputFile::begin(dir.path() + "/x.pdf", OutputKind::Pdf);
        ASSERT_TRUE(dropped);
        put(dropped->writePath(), kPdf);
    }
    EXPECT_EQ(namesIn(dir.path()), (std::set<std::string>{"real.pdf", "link.pdf"}));
}
