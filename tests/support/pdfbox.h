// A printed PDF read back for tests with poppler's tools: the words and their boxes as
// `pdftotext -bbox` finds them, grouped into printed lines, and the page rendered in grey by
// `pdftoppm`, so that positions and cut marks can be checked in millimetres.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace quarzello {

// A word's box in millimetres from the top-left corner of the paper. pdftotext puts yMin on the
// font's ascent line and yMax on its descent line, so a line printed with the bottom of its line
// box at y has yMax == y (the box is ascent + descent high, no leading).
struct PdfWord {
    double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
    QString text;
};

// The words of one printed line: one column of cards, one box bottom.
struct PdfLine {
    int column = 0;  // the column of cards the line stands in
    double left = 0, top = 0, right = 0, bottom = 0;
    QString text;  // its words joined by single spaces
};

// The words of every page, in pdftotext's reading order. Empty, with *error set, when the tool
// fails or the bytes are no PDF.
QList<PdfWord> pdfWords(const QByteArray& pdf, QString* error = nullptr);

// Groups words into lines: the column of cards is where the word's middle falls (cards are
// columnWidth wide), and words of a column whose yMax agree within 0.05 mm are one line.
// A line's right end is the largest xMax of its words. Sorted by column, then top to bottom.
QList<PdfLine> pdfLines(const QList<PdfWord>& words, double columnWidth);

// Height of one line (ascent + descent) of the installed face at `points`, in mm, and the width
// of a text in it, read from the font file itself: what a PDF's word boxes must measure.
double faceLineHeightMm(const QString& family, bool bold, bool italic, double points);
double faceTextWidthMm(const QString& family, double points, const QString& text);

// The first page rendered in grey (`pdftoppm -gray`), one byte a pixel, 0 black to 255 white.
class PdfRaster {
  public:
    bool load(const QByteArray& pdf, int dpi, QString* error = nullptr);
    int width() const { return width_; }
    int height() const { return height_; }
    int dpi() const { return dpi_; }
    // The grey of one pixel.
    int grey(int x, int y) const { return quint8(pixels_[qsizetype(y) * width_ + x]); }
    // The darkest pixel within radiusPx pixels (a square) of the point given in millimetres.
    int darkest(double xMm, double yMm, int radiusPx = 2) const;
    // The darkest pixel of a rectangle given by two corners in millimetres.
    int darkestIn(double x1Mm, double y1Mm, double x2Mm, double y2Mm) const;

  private:
    int darkestPixels(int x1, int y1, int x2, int y2) const;  // inclusive, clipped to the page

    int width_ = 0, height_ = 0, dpi_ = 0;
    QByteArray pixels_;
};

}  // namespace quarzello
