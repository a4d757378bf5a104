// The screen surface. Fonts are sized against the PDF's own device, so a painter on the screen
// only scales what the PDF would draw: the same fitting, the same shortening, the same ink.
#include "print/screensurface.h"

#include <QPaintDevice>
#include <QPainter>
#include <algorithm>

namespace quarzello {

namespace {
constexpr double kMmPerInch = 25.4;
constexpr double kTwipsPerInch = 1440.0;
}  // namespace

ScreenSurface::ScreenSurface() : pdf_(QStringLiteral("l'anteprima")) {}

Result<void> ScreenSurface::printText(const QString& text) {
    if (ended_) abortDoc();
    return pdf_.printText(text);
}

Result<void> ScreenSurface::drawLine(float x1, float y1, float x2, float y2) {
    if (ended_) abortDoc();
    return pdf_.drawLine(x1, y1, x2, y2);
}

Result<void> ScreenSurface::drawImage(float x, float y, float width, float height,
                                      const QImage& image) {
    if (ended_) abortDoc();
    return pdf_.drawImage(x, y, width, height, image);
}

Result<void> ScreenSurface::drawEmblem(float x, float y, float width, float height,
                                       const Emblem& emblem) {
    if (ended_) abortDoc();
    return pdf_.drawEmblem(x, y, width, height, emblem);
}

Result<void> ScreenSurface::endPage() {
    ended_ = true;
    return {};
}

void ScreenSurface::abortDoc() {
    pdf_.abortDoc();
    ended_ = false;
}

QRectF ScreenSurface::paperMm() const {
    return {0, 0, pdf_.paperWidth() * kMmPerInch / kTwipsPerInch,
            pdf_.paperHeight() * kMmPerInch / kTwipsPerInch};
}

QImage ScreenSurface::picture(const QRectF& partMm, const QSize& size) const {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    if (partMm.isEmpty() || image.isNull()) return image;
    // The fonts are in points of the PDF's device: on a picture of the same resolution they
    // have the same size in pixels, and the painter's scale does the rest.
    const double dotsPerInch = pdf_.device().logicalDpiX();
    const int dotsPerMetre = qRound(dotsPerInch / (kMmPerInch / 1000.0));
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    const double pixelsPerMm = dotsPerInch / kMmPerInch;
    const double scale = std::min(size.width() / partMm.width(), size.height() / partMm.height());
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    painter.translate((size.width() - partMm.width() * scale) / 2,
                      (size.height() - partMm.height() * scale) / 2);
    painter.scale(scale / pixelsPerMm, scale / pixelsPerMm);
    painter.translate(-partMm.left() * pixelsPerMm, -partMm.top() * pixelsPerMm);
    pdf_.paintPage(painter);
    return image;
}

QImage ScreenSurface::picture(double dotsPerInch) const {
    const QRectF paper = paperMm();
    const QSize size(qRound(paper.width() * dotsPerInch / kMmPerInch),
                     qRound(paper.height() * dotsPerInch / kMmPerInch));
    return picture(paper, size);
}

}  // namespace quarzello
