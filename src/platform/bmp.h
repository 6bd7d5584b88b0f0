#pragma once
// A reader for BMP files (figures, the class flag, the title picture): uncompressed 1, 4, 8, 16, 24 and 32 bits
// per pixel, 16 and 32 bits also with bit-field masks, rows stored bottom-up or top-down, with the Windows info
// headers and the old OS/2 core header. Compressed (RLE, JPEG, PNG) bitmaps are refused. Any bytes, however
// broken, give either a picture or a failure; nothing is read outside the buffer and no size is trusted before it
// has been checked against the buffer.
#include "platform/canvas.h"
#include "platform/result.h"

#include <string>
#include <string_view>

namespace tavola::bmp {

// Pictures larger than this many pixels are refused rather than allocated.
inline constexpr long long kMaxPixels = 64LL * 1024 * 1024;

// Decodes a whole file's bytes. The failure message is the reason in English (for logs and tests); callers that
// show it to the user use unreadableMessage.
Result<Picture> decode(std::string_view bytes);

// Reads and decodes the file at a system path. A missing file fails with fileNotFoundMessage's text.
Result<Picture> readFile(const std::string& systemPath);

// path + " は正しいビットマップではありません": shown when a figure file exists but cannot be read.
std::string unreadableMessage(const std::string& systemPath);

} // namespace tavola::bmp
