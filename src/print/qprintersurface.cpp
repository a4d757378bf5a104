// The real print surface. Lengths come in as millimetres and are turned into the printer's own
// device pixels; fonts are sized in points against the printer, never against a scaled painter,
// so that a measured width is the printed width and a 9-point line is 9 points on paper.
#include "print/qprintersurface.h"

#include <QFile>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPen>
#include <QPrinter>
#include <QPrinterInfo>
#include <cmath>

#include "print/fonts.h"

namespace quarzello {

namespace {

constexpr double kMmPerInch = 25.4;
constexpr double kTwipsPerInch = 1440.0;
constexpr double kLineWidthMm = 0.1;
constexpr int kWindowsPortrait = 1;
constexpr int kWindowsLandscape = 2;
const QString kDocumentName = QStringLiteral("Biglietti da visita");

}  // namespace

QPrinterSurface::QPrinterSurface(const QPrinterInfo& printer, Verifier verifier)
    : verifier_(std::move(verifier)), name_(printer.printerName()) {
    if (printer.isNull()) {
        // Still a device to measure with, but nothing to print on.
        hasPrinter_ = false;
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    } else {
        printer_ = std::make_unique<QPrinter>(printer, QPrinter::HighResolution);
    }
    setUp();
}

QPrinterSurface::QPrinterSurface(const QString& pdfPath, Verifier verifier)
    : printer_(std::make_unique<QPrinter>(QPrinter::HighResolution)),
      verifier_(std::move(verifier)),
      name_(pdfPath),
      pdfPath_(pdfPath) {
    // The format first: a file name without the .pdf suffix keeps the format already set.
    printer_->setOutputFormat(QPrinter::PdfFormat);
    printer_->setOutputFileName(pdfPath);
    setUp();
}

QPrinterSurface::~QPrinterSurface() = default;

void QPrinterSurface::setUp() {
    printer_->setFullPage(true);  // the origin is the paper's corner, not the printable area's
    printer_->setDocName(kDocumentName);
    printer_->setCreator(QStringLiteral("Quarzello del Camperista"));
}

void QPrinterSurface::setPaperSize(int code) {
    if (open_) return;  // the page being drawn keeps its paper
    const QPageSize::PageSizeId id = QPageSize::id(code);
    if (id != QPageSize::Custom) printer_->setPageSize(QPageSize(id));
}

void QPrinterSurface::setOrientation(int code) {
    if (open_) return;
    if (code == kWindowsPortrait) printer_->setPageOrientation(QPageLayout::Portrait);
    if (code == kWindowsLandscape) printer_->setPageOrientation(QPageLayout::Landscape);
}

void QPrinterSurface::setScaleMode(int code) {
    // Millimetres are the only unit the cards are laid out in; the surface always works in them.
    Q_UNUSED(code);
}

void QPrinterSurface::setFontName(const QString& name) { fontName_ = name; }
void QPrinterSurface::setFontBold(bool bold) { bold_ = bold; }
void QPrinterSurface::setFontItalic(bool italic) { italic_ = italic; }
void QPrinterSurface::setFontSize(float points) { fontSize_ = points; }

int QPrinterSurface::paperWidth() const {
    const QRectF paper = printer_->pageLayout().fullRect(QPageLayout::Millimeter);
    return qRound(paper.width() * kTwipsPerInch / kMmPerInch);
}

int QPrinterSurface::paperHeight() const {
    const QRectF paper = printer_->pageLayout().fullRect(QPageLayout::Millimeter);
    return qRound(paper.height() * kTwipsPerInch / kMmPerInch);
}

QFont QPrinterSurface::currentFont() const {
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

double QPrinterSurface::pixelsPerMm() const { return printer_->resolution() / kMmPerInch; }

bool QPrinterSurface::printable() const { return std::isfinite(fontSize_) && fontSize_ > 0; }

float QPrinterSurface::textWidth(const QString& text) {
    if (!printable()) return 0;
    const QFontMetricsF metrics(currentFont(), printer_.get());
    return static_cast<float>(metrics.horizontalAdvance(text) / pixelsPerMm());
}

float QPrinterSurface::textHeight(const QString& text) {
    Q_UNUSED(text);  // one line of the current font, whatever it holds
    if (!printable()) return 0;
    const QFontMetricsF metrics(currentFont(), printer_.get());
    return static_cast<float>(metrics.height() / pixelsPerMm());
}

void QPrinterSurface::setCurrentX(float x) { x_ = x; }
void QPrinterSurface::setCurrentY(float y) { y_ = y; }

Result<void> QPrinterSurface::openDocument() {
    if (open_) return {};
    if (!hasPrinter_)
        return Failure{QStringLiteral("Nessuna stampante installata: la stampa non è possibile.")};
    if (pdfPath_.isEmpty() &&
        (!printer_->isValid() || printer_->outputFormat() != QPrinter::NativeFormat))
        return Failure{QStringLiteral("La stampante \"%1\" non è disponibile.").arg(name_)};
    open_ = true;
    page_.clear();
    return {};
}

Result<void> QPrinterSurface::printText(const QString& text) {
    if (Result<void> opened = openDocument(); !opened) return opened;
    if (!printable() || text.isEmpty() || !std::isfinite(x_) || !std::isfinite(y_)) return {};
    Operation op;
    op.isText = true;
    op.font = currentFont();
    const QFontMetricsF metrics(op.font, printer_.get());
    // The position is the top-left corner of the line box; Qt draws from the baseline.
    op.baseline = QPointF(x_ * pixelsPerMm(), y_ * pixelsPerMm() + metrics.ascent());
    op.text = text;
    page_.push_back(std::move(op));
    return {};
}

Result<void> QPrinterSurface::drawLine(float x1, float y1, float x2, float y2) {
    if (Result<void> opened = openDocument(); !opened) return opened;
    if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2))
        return {};
    const double ppm = pixelsPerMm();
    Operation op;
    op.line = QLineF(x1 * ppm, y1 * ppm, x2 * ppm, y2 * ppm);
    page_.push_back(std::move(op));
    return {};
}

Result<void> QPrinterSurface::endDoc() {
    if (!open_) return {};  // nothing drawn: no sheet
    const std::vector<Operation> page = std::move(page_);
    page_.clear();
    open_ = false;
    if (page.empty()) return {};

    const bool toFile = !pdfPath_.isEmpty();
    QPainter painter;
    if (!painter.begin(printer_.get())) {
        return Failure{toFile
                           ? QStringLiteral("Impossibile creare il file PDF \"%1\".").arg(name_)
                           : QStringLiteral("Impossibile avviare la stampa sulla stampante \"%1\".")
                                 .arg(name_)};
    }
    const QPen linePen(Qt::black, kLineWidthMm * pixelsPerMm(), Qt::SolidLine, Qt::FlatCap);
    const QPen textPen(Qt::black);
    for (const Operation& op : page) {
        if (op.isText) {
            painter.setPen(textPen);
            painter.setFont(op.font);
            painter.drawText(op.baseline, op.text);
        } else {
            painter.setPen(linePen);
            painter.drawLine(op.line);
        }
    }
    if (!painter.end() || printer_->printerState() == QPrinter::Error) {
        return Failure{toFile ? QStringLiteral("Il file PDF \"%1\" non è stato scritto.").arg(name_)
                              : QStringLiteral("La stampante \"%1\" ha segnalato un errore: "
                                               "la stampa non è stata eseguita.")
                                    .arg(name_)};
    }
    if (toFile) {
        // Qt's PDF writer does not notice a full disk; a file without its end marker is a
        // truncated one.
        QFile pdf(pdfPath_);
        const qint64 tail = 64;
        bool complete = pdf.open(QIODevice::ReadOnly) && pdf.size() > tail &&
                        pdf.seek(pdf.size() - tail) && pdf.read(tail).contains("%%EOF");
        if (!complete)
            return Failure{
                QStringLiteral("Il file PDF \"%1\" non è stato scritto per intero.").arg(name_)};
    }
    if (verifier_) return verifier_();
    return {};
}

void QPrinterSurface::abortDoc() {
    // Nothing has reached the printer yet: forgetting the page is enough.
    page_.clear();
    open_ = false;
}

QString QPrinterSurface::deviceName() const { return name_; }

}  // namespace quarzello
