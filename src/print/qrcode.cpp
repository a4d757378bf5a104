// libqrencode keeps state of its own between calls and is not safe from two threads at once, so
// every call goes through one lock.
#include "print/qrcode.h"

#include <qrencode.h>

#include <memory>
#include <mutex>

namespace quarzello {

namespace {

std::mutex& encoderLock() {
    static std::mutex lock;
    return lock;
}

}  // namespace

std::optional<QrMatrix> encodeQr(const QByteArray& bytes, QrCorrection correction) {
    if (bytes.isEmpty()) return std::nullopt;
    const QRecLevel level = correction == QrCorrection::Medium ? QR_ECLEVEL_M : QR_ECLEVEL_L;
    std::unique_ptr<QRcode, decltype(&QRcode_free)> code(nullptr, &QRcode_free);
    {
        const std::lock_guard<std::mutex> guard(encoderLock());
        code.reset(QRcode_encodeData(int(bytes.size()),
                                     reinterpret_cast<const unsigned char*>(bytes.constData()), 0,
                                     level));
    }
    if (!code || code->width <= 0) return std::nullopt;
    QrMatrix matrix;
    matrix.size = code->width;
    const std::size_t count = std::size_t(code->width) * std::size_t(code->width);
    matrix.dark.resize(count);
    for (std::size_t i = 0; i < count; ++i) matrix.dark[i] = (code->data[i] & 1) != 0;
    return matrix;
}

}  // namespace quarzello
