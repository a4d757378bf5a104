// Reading a printed PDF back with pdftotext -bbox and pdftoppm, both fed through a pipe.
#include "pdfbox.h"

#include <QRawFont>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>

#include "tools.h"

namespace quarzello {

namespace {

constexpr double kMmPerPt = 25.4 / 72.0;

// Feeds the PDF to a poppler tool on stdin and returns what it wrote on stdout.
bool runPoppler(const QString& tool, const QStringList& args, const QByteArray& pdf,
                QByteArray& output, QString* error) {
    if (!pdf.startsWith("%PDF")) {
        if (error) *error = tool + QStringLiteral(": the bytes are no PDF");
        return false;
    }
    const ToolRun run = runTool(tool, args, pdf);
    if (!run.ok) {
        if (error) *error = run.failure;
        return false;
    }
    output = run.output;
    return true;
}

QRawFont rawFont(const QString& family, bool bold, bool italic) {
    QFont font(family);
    font.setPixelSize(1000);
    font.setBold(bold);
    font.setItalic(italic);
    return QRawFont::fromFont(font);
}

QString unescape(QString text) {
    return text.replace(QStringLiteral("&lt;"), QStringLiteral("<"))
        .replace(QStringLiteral("&gt;"), QStringLiteral(">"))
        .replace(QStringLiteral("&quot;"), QStringLiteral("\""))
        .replace(QStringLiteral("&apos;"), QStringLiteral("'"))
        .replace(QStringLiteral("&amp;"), QStringLiteral("&"));
}

}  // namespace

double faceLineHeightMm(const QString& family, bool bold, bool italic, double points) {
    const QRawFont raw = rawFont(family, bold, italic);
    return points * kMmPerPt * (raw.ascent() + raw.descent()) / 1000.0;
}

double faceTextWidthMm(const QString& family, double points, const QString& text) {
    const QRawFont raw = rawFont(family, false, false);
    double units = 0;
    for (const QPointF& advance : raw.advancesForGlyphIndexes(raw.glyphIndexesForString(text)))
        units += advance.x();
    return points * kMmPerPt * units / 1000.0;
}

QList<PdfWord> pdfWords(const QByteArray& pdf, QString* error) {
    QByteArray html;
    if (!runPoppler(QStringLiteral("pdftotext"),
                    {QStringLiteral("-bbox"), QStringLiteral("-enc"), QStringLiteral("UTF-8"),
                     QStringLiteral("-"), QStringLiteral("-")},
                    pdf, html, error))
        return {};
    static const QRegularExpression wordRe(QStringLiteral(
        R"re(<word xMin="([-\d.]+)" yMin="([-\d.]+)" xMax="([-\d.]+)" yMax="([-\d.]+)">([^<]*)</word>)re"));
    QList<PdfWord> words;
    for (const QRegularExpressionMatch& m : wordRe.globalMatch(QString::fromUtf8(html))) {
        words.append({m.captured(1).toDouble() * kMmPerPt, m.captured(2).toDouble() * kMmPerPt,
                      m.captured(3).toDouble() * kMmPerPt, m.captured(4).toDouble() * kMmPerPt,
                      unescape(m.captured(5))});
    }
    return words;
}

QList<PdfLine> pdfLines(const QList<PdfWord>& words, double columnWidth) {
    QList<PdfWord> sorted = words;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const PdfWord& a, const PdfWord& b) { return a.xMin < b.xMin; });
    QList<PdfLine> lines;
    for (const PdfWord& word : sorted) {
        const int column = int(std::floor((word.xMin + word.xMax) / 2 / columnWidth));
        PdfLine* line = nullptr;
        for (PdfLine& candidate : lines) {
            if (candidate.column == column && std::abs(candidate.bottom - word.yMax) < 0.05)
                line = &candidate;
        }
        if (!line) {
            lines.append({column, word.xMin, word.yMin, word.xMax, word.yMax, word.text});
            continue;
        }
        line->left = std::min(line->left, word.xMin);
        line->top = std::min(line->top, word.yMin);
        line->right = std::max(line->right, word.xMax);
        line->text += QLatin1Char(' ') + word.text;
    }
    std::sort(lines.begin(), lines.end(), [](const PdfLine& a, const PdfLine& b) {
        return a.column != b.column ? a.column < b.column : a.bottom < b.bottom;
    });
    return lines;
}

bool PdfRaster::load(const QByteArray& pdf, int dpi, QString* error) {
    QByteArray pgm;
    if (!runPoppler(QStringLiteral("pdftoppm"),
                    {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-gray"),
                     QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-singlefile"),
                     QStringLiteral("-")},
                    pdf, pgm, error))
        return false;
    // Binary PGM: "P5", width, height and the largest value, separated by white space, then one
    // white-space byte before the pixels.
    static const QRegularExpression headRe(QStringLiteral(R"(^P5\s+(\d+)\s+(\d+)\s+255\s)"));
    const QRegularExpressionMatch head = headRe.match(QString::fromLatin1(pgm.left(64)));
    if (!head.hasMatch()) {
        if (error) *error = QStringLiteral("pdftoppm: no 8-bit PGM came out");
        return false;
    }
    width_ = head.captured(1).toInt();
    height_ = head.captured(2).toInt();
    dpi_ = dpi;
    pixels_ = pgm.mid(head.capturedLength());
    if (pixels_.size() != qsizetype(width_) * height_) {
        if (error) *error = QStringLiteral("pdftoppm: the picture is cut short");
        return false;
    }
    return true;
}

int PdfRaster::darkest(double xMm, double yMm, int radiusPx) const {
    const int cx = int(std::lround(xMm / 25.4 * dpi_));
    const int cy = int(std::lround(yMm / 25.4 * dpi_));
    return darkestPixels(cx - radiusPx, cy - radiusPx, cx + radiusPx, cy + radiusPx);
}

int PdfRaster::darkestIn(double x1Mm, double y1Mm, double x2Mm, double y2Mm) const {
    auto pixel = [this](double mm) { return int(std::lround(mm / 25.4 * dpi_)); };
    return darkestPixels(pixel(std::min(x1Mm, x2Mm)), pixel(std::min(y1Mm, y2Mm)),
                         pixel(std::max(x1Mm, x2Mm)), pixel(std::max(y1Mm, y2Mm)));
}

int PdfRaster::darkestPixels(int x1, int y1, int x2, int y2) const {
    int value = 255;
    for (int y = std::max(y1, 0); y <= std::min(y2, height_ - 1); ++y) {
        for (int x = std::max(x1, 0); x <= std::min(x2, width_ - 1); ++x)
            value = std::min(value, int(quint8(pixels_[qsizetype(y) * width_ + x])));
    }
    return value;
}

}  // namespace quarzello
