#include "server/qr_code.h"

#include <qrencode.h>

namespace tavola {

std::vector<std::vector<bool>> qrModules(const std::string& text)
{
    std::vector<std::vector<bool>> rows;
    QRcode* code = QRcode_encodeString8bit(text.c_str(), 0, QR_ECLEVEL_M);
    if (code == nullptr) return rows;
    const int n = code->width;
    rows.assign(static_cast<std::size_t>(n), std::vector<bool>(static_cast<std::size_t>(n)));
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x)
            rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] = (code->data[y * n + x] & 1) != 0;
    QRcode_free(code);
    return rows;
}

} // namespace tavola
