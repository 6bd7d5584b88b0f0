// Profile (INI) files, the learner data files: reading a value, the keys of a section, the counts of all
// sections, and the rewrites (a value written, a section erased) over whatever the file holds.
#include "fuzz_support.h"

#include "platform/profile_file.h"

using namespace tavola;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes = fuzz::bytesOf(data, size);
    const std::string path = fuzz::writeScratch("learner.dat", bytes);
    // A section named by the input's own first bracket, as well as the fixed ones.
    const std::string named = fuzz::firstBracketed(bytes, "S111");
    (void)profile::readString(path, "PassWord", "pw", "");
    (void)profile::readString(path, named, "1", "none");
    (void)profile::sectionKeys(path, named);
    (void)profile::SectionKeyCounts(path).count(named);
    (void)profile::writeString(path, named, "2", "2005.03.05 09:07");
    (void)profile::writeString(path, "PassWord", "pw", "abc");
    (void)profile::eraseSection(path, named);
    (void)profile::sectionKeys(path, "PassWord");
    return 0;
}
