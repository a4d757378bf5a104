// libqrencode keeps state of its own between calls and is not safe from two threads at once, so
// every call goes through one lock.
#include "print/qrcode.h"

#include <qrencode.h>

#include <algorithm>
#include <array>
#include <mutex>

namespace quarzello {

namespace {

std::mutex& encoderLock() {
    static std::mutex lock;
    return lock;
}

// The most bytes a code of each version (1 to 40) holds in 8-bit mode, by error correction.
constexpr std::array<int, 40> kLowBytes{17,   32,   53,   78,   106,  134,  154,  192,  230,  271,
                                        321,  367,  425,  458,  520,  586,  644,  718,  792,  858,
                                        929,  1003, 1091, 1171, 1273, 1367, 1465, 1528, 1628, 1732,
                                        1840, 1952, 2068, 2188, 2303, 2431, 2563, 2699, 2809, 2953};
constexpr std::array<int, 40> kMediumBytes{
    14,   26,   42,   62,   84,   106,  122,  152,  180,  213,  251,  287,  331,  362,
    412,  450,  504,  560,  624,  666,  711,  779,  857,  911,  997,  1059, 1125, 1190,
    1264, 1370, 1452, 1538, 1628, 1722, 1809, 1911, 1989, 2099, 2213, 2331};

// The modules of the code; a null picture when the encoder fails or gives another size.
QImage encode(const QByteArray& bytes, QrCorrection correction, int size) {
    const QRecLevel level = correction == QrCorrection::Medium ? QR_ECLEVEL_M : QR_ECLEVEL_L;
    std::unique_ptr<QRcode, decltype(&QRcode_free)> code(nullptr, &QRcode_free);
    {
        const std::lock_guard<std::mutex> guard(encoderLock());
        code.reset(QRcode_encodeData(int(bytes.size()),
                                     reinterpret_cast<const unsigned char*>(bytes.constData()), 0,
                                     level));
    }
    if (!code || code->width != size) return {};
    QImage modules(size, size, QImage::Format_Mono);
    if (modules.isNull()) return {};
    // Bits from the most significant, a set bit white: a dark module clears its bit.
    const unsigned char* module = code->data;
    for (int row = 0; row < size; ++row) {
        uchar* line = modules.scanLine(row);
        std::fill(line, line + modules.bytesPerLine(), uchar(0xff));
        for (int column = 0; column < size; ++column, ++module)
            if ((*module & 1) != 0) line[column >> 3] &= uchar(~(0x80 >> (column & 7)));
    }
    return modules;
}

}  // namespace

struct QrMatrix::Encoding {
    QByteArray bytes;
    QrCorrection correction;
    std::once_flag once;
    QImage modules;
};

const QImage& QrMatrix::modules() const {
    static const QImage none;
    if (!encoding) return none;
    Encoding& e = *encoding;
    std::call_once(e.once, [&e, this] {
        e.modules = encode(e.bytes, e.correction, size);
        e.bytes.clear();
    });
    return e.modules;
}

std::optional<QrMatrix> encodeQr(const QByteArray& bytes, QrCorrection correction) {
    if (bytes.isEmpty()) return std::nullopt;
    const std::array<int, 40>& capacity =
        correction == QrCorrection::Medium ? kMediumBytes : kLowBytes;
    const auto fits = std::lower_bound(capacity.begin(), capacity.end(), bytes.size());
    if (fits == capacity.end()) return std::nullopt;
    const int version = int(fits - capacity.begin()) + 1;
    QrMatrix matrix;
    matrix.size = 17 + 4 * version;
    matrix.encoding = std::make_shared<QrMatrix::Encoding>();
    matrix.encoding->bytes = bytes;
    matrix.encoding->correction = correction;
    return matrix;
}

}  // namespace quarzello
