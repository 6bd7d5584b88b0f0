#pragma once
// What the fuzz targets share: a scratch courseware folder of their own (made once per process, removed at exit)
// into which a target writes the input as the file a reader opens, and the entry point every target defines.
#include "platform/sjis.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace tavola::fuzz {

// The scratch folder as a system path ending in "/".
const std::string& scratchFolder();
// Writes bytes to a file of the scratch folder (name may name a subfolder, which is made); returns its system path.
std::string writeScratch(const std::string& name, std::string_view bytes);

// Writes, once per process, a Main.ind naming one lesson "lesson" whose folder and stem are "l" (so its sub-index
// is l/l.ind and its master files l/l1.que, …).
void writeOneLessonCourseware();
// The section named by the input's first "[" … "]", or fallback when there is none.
std::string firstBracketed(std::string_view bytes, const std::string& fallback);

inline std::string_view bytesOf(const std::uint8_t* data, std::size_t size)
{
    return {reinterpret_cast<const char*>(data), size};
}

} // namespace tavola::fuzz
