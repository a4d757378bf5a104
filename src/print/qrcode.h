// A text made into a QR code's modules, through libqrencode.
#pragma once

#include <QByteArray>
#include <optional>
#include <vector>

namespace quarzello {

// The square of modules of one code, without its quiet zone.
struct QrMatrix {
    int size = 0;            // modules on a side
    std::vector<bool> dark;  // row by row from the top
    bool at(int column, int row) const {
        return dark[std::size_t(row) * std::size_t(size) + std::size_t(column)];
    }
};

enum class QrCorrection { Low, Medium };

// The bytes as one code in 8-bit mode, at the smallest version that holds them; nothing when no
// version does. Safe to call from any thread.
std::optional<QrMatrix> encodeQr(const QByteArray& bytes, QrCorrection correction);

}  // namespace quarzello
