// The drawing surface a print job works on: page set-up, a current font, a current position,
// measuring, text, lines and black-and-white pictures, in millimetres from the paper's top-left
// corner.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include "core/result.h"

namespace quarzello {

struct Emblem;

class PrintSurface {
  public:
    // Page set-up codes the sheet uses.
    static constexpr int kPaperA4 = 9;
    static constexpr int kPortrait = 1;
    static constexpr int kMillimetres = 6;

    virtual ~PrintSurface() = default;

    virtual void setPaperSize(int code) = 0;
    virtual void setOrientation(int code) = 0;
    virtual void setScaleMode(int code) = 0;

    virtual void setFontName(const QString& name) = 0;
    virtual void setFontBold(bool bold) = 0;
    virtual void setFontItalic(bool italic) = 0;
    virtual void setFontSize(float points) = 0;

    // Size of the paper in twips (1/1440 inch).
    virtual int paperWidth() const = 0;
    virtual int paperHeight() const = 0;

    // Width of the text and height of one line, in the current font.
    virtual float textWidth(const QString& text) = 0;
    virtual float textHeight(const QString& text) = 0;

    virtual void setCurrentX(float x) = 0;
    virtual void setCurrentY(float y) = 0;

    // Drawing opens the document on first use; it fails when the document cannot be opened or
    // drawn on.
    virtual Result<void> printText(const QString& text) = 0;
    virtual Result<void> drawLine(float x1, float y1, float x2, float y2) = 0;
    // A picture of one bit a pixel (QImage::Format_Mono, its default black-and-white colours)
    // stretched over the rectangle with its top-left corner at (x, y): every pixel a sharp-edged
    // block, never smoothed. A document keeps one copy of a picture however often it is drawn
    // (the same QImage, or a copy of it).
    virtual Result<void> drawImage(float x, float y, float width, float height,
                                   const QImage& image) = 0;
    // The emblem stretched over the rectangle with its top-left corner at (x, y) (its aspect is
    // the caller's to keep): a raster picture smoothed, kept once in the document however often
    // it is drawn; an SVG drawn as vectors.
    virtual Result<void> drawEmblem(float x, float y, float width, float height,
                                    const Emblem& emblem) = 0;

    // Ends the page drawn so far and keeps the document open: what is drawn next goes on a new
    // page of the same document. Fails when the page cannot be added.
    virtual Result<void> endPage() = 0;
    // Closes the document (with every page ended before) and hands it to the printer; fails when
    // the printer did not take it.
    virtual Result<void> endDoc() = 0;
    // Throws away a partly drawn document, pages already ended too, so that nothing half
    // printed comes out.
    virtual void abortDoc() = 0;
    // The document ended last, as it goes to a printer or into a file (for a PDF surface, the
    // PDF's bytes); empty before the first.
    virtual QByteArray document() const = 0;

    virtual QString deviceName() const = 0;
};

}  // namespace quarzello
