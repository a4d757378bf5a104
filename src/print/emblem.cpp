// Reading the emblem. Every limit is checked before the bytes or the pixels it bounds are read:
// the file's size before it is read, the picture's size before it is decoded.
#include "print/emblem.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QSvgRenderer>

namespace quarzello {

namespace {

QString shown(const QString& path) { return QDir::toNativeSeparators(path); }

Failure notAPicture(const QString& path) {
    return {QStringLiteral("Il file %1 non è un'immagine (PNG, JPEG o SVG).").arg(shown(path))};
}

Failure unreadable(const QString& path, const QString& why) {
    return {QStringLiteral("Il file %1 non si può leggere: %2.").arg(shown(path), why)};
}

Failure tooLarge(const QString& path, const QString& why) {
    return {QStringLiteral("Il file %1 è troppo grande: %2.").arg(shown(path), why)};
}

QString bytesTooMany() {
    return QStringLiteral("uno stemma può essere al massimo di %1 MiB")
        .arg(kMaxEmblemBytes / (qint64(1024) * 1024));
}

// An SVG document, plain or compressed: by its name, or by its text opening as XML or SVG.
bool looksLikeSvg(const QString& path, const QByteArray& bytes) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("svg") || suffix == QLatin1String("svgz")) return true;
    const QByteArray start = bytes.left(256).trimmed();
    return start.startsWith("<?xml") || start.startsWith("<svg");
}

}  // namespace

QSizeF Emblem::size() const { return svg.isEmpty() ? QSizeF(image.size()) : svgSize; }

Result<std::shared_ptr<const Emblem>> loadEmblem(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists()) return Failure{QStringLiteral("Il file %1 non c'è più.").arg(shown(path))};
    if (!info.isFile()) return notAPicture(path);
    if (info.size() > kMaxEmblemBytes) return tooLarge(path, bytesTooMany());

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return unreadable(path, file.errorString());
    // Never more than the limit and one byte: a file that grew since it was measured is refused.
    QByteArray bytes = file.read(kMaxEmblemBytes + 1);
    if (file.error() != QFileDevice::NoError) return unreadable(path, file.errorString());
    if (bytes.size() > kMaxEmblemBytes) return tooLarge(path, bytesTooMany());

    auto emblem = std::make_shared<Emblem>();
    emblem->path = path;
    if (looksLikeSvg(path, bytes)) {
        const QSvgRenderer renderer(bytes);
        const QSizeF size = renderer.defaultSize();
        if (!renderer.isValid() || size.isEmpty()) return notAPicture(path);
        emblem->svg = std::move(bytes);
        emblem->svgSize = size;
        return std::shared_ptr<const Emblem>(std::move(emblem));
    }

    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    const QByteArray format = reader.format();
    if (format != "png" && format != "jpeg" && format != "jpg") return notAPicture(path);
    // The size the header claims, before a single pixel is decoded.
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty()) return notAPicture(path);
    if (qint64(size.width()) * size.height() > kMaxEmblemPixels)
        return tooLarge(path, QStringLiteral("%1 × %2 pixel, uno stemma può averne al massimo "
                                             "%3 milioni")
                                  .arg(size.width())
                                  .arg(size.height())
                                  .arg(kMaxEmblemPixels / 1'000'000));
    reader.setAutoTransform(true);
    QImage image = reader.read();
    if (image.isNull()) return unreadable(path, reader.errorString());
    // One format the PDF writer takes as it is; the same QImage is then drawn on every card, and
    // the document keeps it once.
    emblem->image = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32
                                                                  : QImage::Format_RGB32);
    return std::shared_ptr<const Emblem>(std::move(emblem));
}

}  // namespace quarzello
