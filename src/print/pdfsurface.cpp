// The PDF surface. Lengths come in as millimetres and are turned into the writer's device
// pixels; fonts are sized in points against that device, never against a scaled painter, so
// that a measured width is the printed width and a 9-point line is 9 points on paper.
#include "print/pdfsurface.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPen>
#include <QSvgRenderer>
#include <algorithm>
#include <cmath>

#include "core/windowtitle.h"
#include "print/emblem.h"
#include "print/fonts.h"

namespace quarzello {

namespace {

constexpr double kMmPerInch = 25.4;

QString composeFailedText(const QString& target) {
    return QStringLiteral("Il documento PDF del foglio per %1 non ha potuto essere composto.")
        .arg(target);
}
constexpr double kTwipsPerInch = 1440.0;
constexpr double kLineWidthMm = 0.1;
constexpr int kDotsPerInch = 1200;
constexpr int kWindowsPortrait = 1;
constexpr int kWindowsLandscape = 2;
const QString kDocumentName = QStringLiteral("Biglietti da visita");

// A writer with the document's set-up: the origin is the paper's corner, no margins.
void setUp(QPdfWriter& writer, const QPageLayout& layout) {
    writer.setResolution(kDotsPerInch);
    writer.setTitle(kDocumentName);
    writer.setCreator(kWindowTitle);
    writer.setPageLayout(layout);
}

}  // namespace

struct PdfSurface::Book {
    QByteArray bytes;
    QBuffer out{&bytes};
    QPdfWriter writer{&out};
    QPainter painter;
    int pages = 0;
};

PdfSurface::PdfSurface(const QString& deviceName)
    : name_(deviceName),
      scratch_(std::make_unique<QBuffer>()),
      device_(std::make_unique<QPdfWriter>(scratch_.get())) {
    setUp(*device_, QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
}

PdfSurface::~PdfSurface() = default;

void PdfSurface::setPaperSize(int code) {
    if (open_) return;  // the page being drawn keeps its paper
    const QPageSize::PageSizeId id = QPageSize::id(code);
    if (id != QPageSize::Custom) device_->setPageSize(QPageSize(id));
}

void PdfSurface::setOrientation(int code) {
    if (open_) return;
    if (code == kWindowsPortrait) device_->setPageOrientation(QPageLayout::Portrait);
    if (code == kWindowsLandscape) device_->setPageOrientation(QPageLayout::Landscape);
}

void PdfSurface::setScaleMode(int code) {
    // Millimetres are the only unit the cards are laid out in; the surface always works in them.
    Q_UNUSED(code);
}

void PdfSurface::setFontName(const QString& name) { fontName_ = name; }
void PdfSurface::setFontBold(bool bold) { bold_ = bold; }
void PdfSurface::setFontItalic(bool italic) { italic_ = italic; }
void PdfSurface::setFontSize(float points) { fontSize_ = points; }

int PdfSurface::paperWidth() const {
    const QRectF paper = device_->pageLayout().fullRect(QPageLayout::Millimeter);
    return qRound(paper.width() * kTwipsPerInch / kMmPerInch);
}

int PdfSurface::paperHeight() const {
    const QRectF paper = device_->pageLayout().fullRect(QPageLayout::Millimeter);
    return qRound(paper.height() * kTwipsPerInch / kMmPerInch);
}

QFont PdfSurface::currentFont() const {
    // The stand-in face is chosen here rather than left to QFont's substitution table, so the
    // surface prints the same even where that table was never filled.
    QFont font(resolveFontFamily(fontName_));
    if (printable()) font.setPointSizeF(fontSize_);
    font.setBold(bold_);
    font.setItalic(italic_);
    // Outlines exactly as designed: what is measured is what the printer draws.
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

const QPaintDevice& PdfSurface::device() const { return *device_; }

double PdfSurface::pixelsPerMm() const { return device_->resolution() / kMmPerInch; }

bool PdfSurface::printable() const { return std::isfinite(fontSize_) && fontSize_ > 0; }

float PdfSurface::textWidth(const QString& text) {
    if (!printable()) return 0;
    const QFontMetricsF metrics(currentFont(), device_.get());
    // Qt adds advances in 26.6 fixed point, which overflows past a few tens of thousands of
    // wide characters: a long text is measured in pieces (never half a surrogate pair).
    constexpr qsizetype kPiece = 4096;
    double width = 0;
    for (qsizetype at = 0; at < text.size();) {
        qsizetype length = std::min(kPiece, text.size() - at);
        if (at + length < text.size() && text.at(at + length - 1).isHighSurrogate()) --length;
        width += metrics.horizontalAdvance(text.mid(at, length));
        at += length;
    }
    return static_cast<float>(width / pixelsPerMm());
}

float PdfSurface::textHeight(const QString& text) {
    Q_UNUSED(text);  // one line of the current font, whatever it holds
    if (!printable()) return 0;
    const QFontMetricsF metrics(currentFont(), device_.get());
    return static_cast<float>(metrics.height() / pixelsPerMm());
}

void PdfSurface::setCurrentX(float x) { x_ = x; }
void PdfSurface::setCurrentY(float y) { y_ = y; }

Result<void> PdfSurface::printText(const QString& text) {
    open_ = true;
    if (!printable() || text.isEmpty() || !std::isfinite(x_) || !std::isfinite(y_)) return {};
    Operation op;
    op.isText = true;
    op.font = currentFont();
    const QFontMetricsF metrics(op.font, device_.get());
    // The position is the top-left corner of the line box; Qt draws from the baseline.
    op.baseline = QPointF(x_ * pixelsPerMm(), y_ * pixelsPerMm() + metrics.ascent());
    op.text = text;
    page_.push_back(std::move(op));
    return {};
}

Result<void> PdfSurface::drawLine(float x1, float y1, float x2, float y2) {
    open_ = true;
    if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2))
        return {};
    const double ppm = pixelsPerMm();
    Operation op;
    op.line = QLineF(x1 * ppm, y1 * ppm, x2 * ppm, y2 * ppm);
    page_.push_back(std::move(op));
    return {};
}

namespace {

// A box a picture can be drawn in: finite, and not empty.
bool drawableBox(float x, float y, float width, float height) {
    return std::isfinite(x) && std::isfinite(y) && std::isfinite(width) && std::isfinite(height) &&
           width > 0 && height > 0;
}

}  // namespace

Result<void> PdfSurface::drawImage(float x, float y, float width, float height,
                                   const QImage& image) {
    open_ = true;
    if (!drawableBox(x, y, width, height) || image.isNull()) return {};
    const double ppm = pixelsPerMm();
    Operation op;
    op.image = image;  // shared, not copied: the writer knows it again by its cache key
    op.rect = QRectF(x * ppm, y * ppm, width * ppm, height * ppm);
    page_.push_back(std::move(op));
    return {};
}

Result<void> PdfSurface::drawEmblem(float x, float y, float width, float height,
                                    const Emblem& emblem) {
    open_ = true;
    if (!drawableBox(x, y, width, height) || (emblem.image.isNull() && emblem.svg.isEmpty()))
        return {};
    const double ppm = pixelsPerMm();
    Operation op;
    op.image = emblem.image;  // shared: every card's emblem is the one object of the document
    op.smooth = true;
    op.svg = emblem.svg;
    op.rect = QRectF(x * ppm, y * ppm, width * ppm, height * ppm);
    page_.push_back(std::move(op));
    return {};
}

void PdfSurface::paint(QPainter& painter, const std::vector<Operation>& page) const {
    const QPen linePen(Qt::black, kLineWidthMm * pixelsPerMm(), Qt::SolidLine, Qt::FlatCap);
    const QPen textPen(Qt::black);
    // An SVG emblem is read once for the page, and drawn as vectors on every card.
    QByteArray svgRead;
    std::unique_ptr<QSvgRenderer> svg;
    for (const Operation& op : page) {
        if (!op.svg.isEmpty()) {
            if (!svg || op.svg.constData() != svgRead.constData()) {
                svgRead = op.svg;
                svg = std::make_unique<QSvgRenderer>(svgRead);
            }
            painter.save();
            // Text in the SVG without a face of its own takes the painter's font: the same
            // upright sans on every card, never the font of the line drawn before.
            painter.setFont(QFont(resolveFontFamily(QStringLiteral("Arial"))));
            svg->render(&painter, op.rect);
            painter.restore();
        } else if (op.smooth) {
            painter.save();
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.drawImage(op.rect, op.image);
            painter.restore();
        } else if (!op.image.isNull()) {
            // The whole picture over the rectangle: the PDF writer then refers to the one copy it
            // keeps of it, and neither it nor a screen painter without SmoothPixmapTransform
            // smooths the pixels.
            painter.drawImage(op.rect, op.image);
        } else if (op.isText) {
            painter.setPen(textPen);
            painter.setFont(op.font);
            painter.drawText(op.baseline, op.text);
        } else {
            painter.setPen(linePen);
            painter.drawLine(op.line);
        }
    }
}

Result<void> PdfSurface::endPage() {
    if (!open_) return {};  // nothing drawn: no page
    const std::vector<Operation> page = std::move(page_);
    page_.clear();
    open_ = false;
    if (!book_) {
        document_.clear();  // a new document replaces the one ended last
        book_ = std::make_unique<Book>();
        book_->out.open(QIODevice::WriteOnly);
        setUp(book_->writer, device_->pageLayout());
        if (!book_->painter.begin(&book_->writer)) {
            book_.reset();
            return Failure{composeFailedText(name_)};
        }
    } else if (!book_->writer.newPage()) {
        abortDoc();
        return Failure{composeFailedText(name_)};
    }
    paint(book_->painter, page);
    ++book_->pages;
    return {};
}

Result<void> PdfSurface::endDoc() {
    // The page drawn last is ended here, as every page before it was.
    if (const Result<void> ended = endPage(); !ended) return ended;
    if (!book_) return {};  // nothing drawn: no document
    const bool finished = book_->painter.end();
    document_ = finished ? std::move(book_->bytes) : QByteArray();
    book_.reset();
    if (!finished) return Failure{composeFailedText(name_)};
    return {};
}

void PdfSurface::abortDoc() {
    // Nothing has left the surface yet: forgetting the page, and the pages before it, is enough.
    page_.clear();
    open_ = false;
    book_.reset();
}

QString PdfSurface::deviceName() const { return name_; }

}  // namespace quarzello
