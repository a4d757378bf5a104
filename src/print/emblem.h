// The club's emblem as read from its picture file: a raster picture (PNG, JPEG) or vectors
// (SVG), checked before anything is drawn.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QSizeF>
#include <QString>
#include <memory>

#include "core/result.h"

namespace quarzello {

// A picture file larger than this, or decoding to more pixels than this, is refused.
inline constexpr qint64 kMaxEmblemBytes = 16 * 1024 * 1024;
inline constexpr qint64 kMaxEmblemPixels = 50'000'000;

struct Emblem {
    QString path;
    QImage image;    // a raster picture; null for vectors
    QByteArray svg;  // the SVG document; empty for a raster picture
    QSizeF svgSize;  // the SVG's own size
    // Its natural size, whose aspect the drawing keeps.
    QSizeF size() const;
};

// Reads and checks the picture; fails naming the file and saying why (not a picture, cannot be
// read, gone, too large).
Result<std::shared_ptr<const Emblem>> loadEmblem(const QString& path);

}  // namespace quarzello
