// A print surface with fixed metrics for the fuzz targets: no fonts, no printer, every drawn
// text and line kept in order so that a target can check what a print job did.
#pragma once

#include <QList>
#include <QString>

#include "print/printsurface.h"

class FixedMetricSurface : public PrintSurface {
  public:
    struct Font {
        QString name = QStringLiteral("Courier");
        float size = 10;
        bool bold = false;
        bool italic = false;
    };
    // One drawing operation: a text (line false) or a line (line true).
    struct Drawn {
        bool line = false;
        QString text;
        Font font;
        float x = 0, y = 0;  // text: the current position; line: its first end
    };

    // Every character (code point) is size / 12 mm wide, a line is size / 2 mm high. Counting
    // code points walks the whole text, as a real font does: a fit that measures too often shows
    // up here as slowness too.
    static float widthOf(const QString& text, float size);
    static float heightOf(float size);

    int paperWidthTwips = 11904;  // A4 with the sheet's divisors
    int paperHeightTwips = 16836;
    Font font;

    QList<Drawn> drawn;
    int textWidthCalls = 0;
    int endDocCalls = 0;
    int abortDocCalls = 0;

    void setPaperSize(int) override {}
    void setOrientation(int) override {}
    void setScaleMode(int) override {}
    void setFontName(const QString& name) override { font.name = name; }
    void setFontBold(bool bold) override { font.bold = bold; }
    void setFontItalic(bool italic) override { font.italic = italic; }
    void setFontSize(float points) override { font.size = points; }
    int paperWidth() const override { return paperWidthTwips; }
    int paperHeight() const override { return paperHeightTwips; }
    float textWidth(const QString& text) override;
    float textHeight(const QString&) override { return heightOf(font.size); }
    void setCurrentX(float value) override { x_ = value; }
    void setCurrentY(float value) override { y_ = value; }
    bool printText(const QString& text) override;
    bool drawLine(float x1, float y1, float x2, float y2) override;
    bool endDoc() override;
    void abortDoc() override { ++abortDocCalls; }
    QString deviceName() const override { return QStringLiteral("Superficie fissa"); }
    QString errorText() const override { return {}; }

  private:
    float x_ = 0, y_ = 0;
};
