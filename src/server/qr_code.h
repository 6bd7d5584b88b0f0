#pragma once
// The QR code of the address pupils type, for a tablet's camera.
#include <string>
#include <vector>

namespace tavola {

// The modules of the code, row by row (true: dark), without the quiet zone; empty when the text cannot be encoded.
std::vector<std::vector<bool>> qrModules(const std::string& text);

} // namespace tavola
