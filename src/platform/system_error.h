#pragma once
// The file system's refusals in the program's own words. The platform's texts ("No space left on device") are
// English; a teacher reads what happened in Japanese, with the file named by the caller.
#include <string>

namespace tavola {

// The reason for an error number (CP932): "ディスクに空きがありません" for ENOSPC, and so on; an error without
// words of its own is "エラー番号 N".
std::string systemErrorText(int error);

} // namespace tavola
