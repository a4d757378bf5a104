// The real print surface: A4 pages drawn into a PDF document in memory, at 1200 dots per inch,
// measured with the same device's font metrics. The same bytes go to a CUPS queue or into a PDF
// file, so a sheet is the same to the hundredth of a millimetre wherever it goes.
#pragma once

#include <QByteArray>
#include <QFont>
#include <QImage>
#include <QLineF>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <memory>
#include <vector>

#include "print/printsurface.h"

class QPdfWriter;
class QBuffer;
class QPainter;
class QPaintDevice;

namespace quarzello {

class PdfSurface final : public PrintSurface {
  public:
    // deviceName: what the document is for, as failures name it (a printer, a file).
    explicit PdfSurface(const QString& deviceName);
    ~PdfSurface() override;

    PdfSurface(const PdfSurface&) = delete;
    PdfSurface& operator=(const PdfSurface&) = delete;

    void setPaperSize(int code) override;
    void setOrientation(int code) override;
    void setScaleMode(int code) override;

    void setFontName(const QString& name) override;
    void setFontBold(bool bold) override;
    void setFontItalic(bool italic) override;
    void setFontSize(float points) override;

    int paperWidth() const override;
    int paperHeight() const override;

    float textWidth(const QString& text) override;
    float textHeight(const QString& text) override;

    void setCurrentX(float x) override;
    void setCurrentY(float y) override;

    Result<void> printText(const QString& text) override;
    Result<void> drawLine(float x1, float y1, float x2, float y2) override;
    Result<void> drawImage(float x, float y, float width, float height,
                           const QImage& image) override;
    Result<void> drawEmblem(float x, float y, float width, float height,
                            const Emblem& emblem) override;

    Result<void> endPage() override;
    Result<void> endDoc() override;
    void abortDoc() override;
    QByteArray document() const override { return document_; }

    QString deviceName() const override;

    // The font text is printed in now, with its stand-in face already chosen.
    QFont currentFont() const;
    // True between the first drawing operation and the end or abandoning of the document.
    bool documentOpen() const { return open_; }
    // Paints the page drawn so far, not yet ended, with the painting the document gets, in this
    // device's pixels: a painter on another device scales them to its own.
    void paintPage(QPainter& painter) const { paint(painter, page_); }
    // The device the page is measured on, and whose pixels paintPage uses.
    const QPaintDevice& device() const;

  private:
    struct Operation {
        bool isText = false;
        QFont font;
        QPointF baseline;  // device pixels
        QString text;
        QLineF line;          // device pixels
        QImage image;         // a picture: drawn over rect
        bool smooth = false;  // the picture smoothed (an emblem), not as sharp blocks
        QByteArray svg;       // an SVG emblem: drawn as vectors over rect
        QRectF rect;          // device pixels
    };

    // The document being made, painted page by page as each is ended: only the page being
    // drawn is kept as operations, the rest is already PDF.
    struct Book;

    double pixelsPerMm() const;
    void paint(QPainter& painter, const std::vector<Operation>& page) const;
    bool printable() const;  // a size of zero points or less prints nothing

    QString name_;
    // Measures, and holds the page set-up; the document itself is painted afresh at its end.
    std::unique_ptr<QBuffer> scratch_;
    std::unique_ptr<QPdfWriter> device_;

    QString fontName_ = QStringLiteral("Times new roman");
    float fontSize_ = 12.0f;
    bool bold_ = false;
    bool italic_ = false;
    float x_ = 0;
    float y_ = 0;

    // The page is kept here and painted only when the document is ended: abandoning it then
    // leaves nothing behind.
    bool open_ = false;
    std::vector<Operation> page_;
    std::unique_ptr<Book> book_;
    QByteArray document_;
};

}  // namespace quarzello
