// A text made into a QR code's modules, through libqrencode.
#pragma once

#include <QByteArray>
#include <QImage>
#include <memory>
#include <optional>

namespace quarzello {

enum class QrCorrection { Low, Medium };

// The square of modules of one code, without its quiet zone. Its size is known from the bytes'
// length alone; the modules are worked out the first time they are asked for (from any thread)
// and kept by every copy: a page is planned for its checks and again to be drawn, and only the
// drawing needs them.
struct QrMatrix {
    int size = 0;  // modules on a side
    // One pixel a module, 1 bit a pixel with the default colour table: a dark module is pixel
    // value 0, black. Every card drawn with the code shares this one picture, so a document
    // stores it once. Null when the encoder failed.
    const QImage& modules() const;

    struct Encoding;
    std::shared_ptr<Encoding> encoding;
};

// The bytes as one code in 8-bit mode, at the smallest version that holds them; nothing when no
// version does. Safe to call from any thread.
std::optional<QrMatrix> encodeQr(const QByteArray& bytes, QrCorrection correction);

}  // namespace quarzello
