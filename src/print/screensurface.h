// A surface that shows the page on the screen: it measures and records exactly as the PDF does,
// then paints the recorded page at any resolution, or any part of it enlarged.
#pragma once

#include <QImage>
#include <QRectF>

#include "print/pdfsurface.h"

namespace quarzello {

class ScreenSurface final : public PrintSurface {
  public:
    ScreenSurface();

    void setPaperSize(int code) override { pdf_.setPaperSize(code); }
    void setOrientation(int code) override { pdf_.setOrientation(code); }
    void setScaleMode(int code) override { pdf_.setScaleMode(code); }

    void setFontName(const QString& name) override { pdf_.setFontName(name); }
    void setFontBold(bool bold) override { pdf_.setFontBold(bold); }
    void setFontItalic(bool italic) override { pdf_.setFontItalic(italic); }
    void setFontSize(float points) override { pdf_.setFontSize(points); }

    int paperWidth() const override { return pdf_.paperWidth(); }
    int paperHeight() const override { return pdf_.paperHeight(); }

    float textWidth(const QString& text) override { return pdf_.textWidth(text); }
    float textHeight(const QString& text) override { return pdf_.textHeight(text); }

    void setCurrentX(float x) override { pdf_.setCurrentX(x); }
    void setCurrentY(float y) override { pdf_.setCurrentY(y); }

    Result<void> printText(const QString& text) override;
    Result<void> drawLine(float x1, float y1, float x2, float y2) override;
    Result<void> drawImage(float x, float y, float width, float height,
                           const QImage& image) override;
    Result<void> drawEmblem(float x, float y, float width, float height,
                            const Emblem& emblem) override;

    // The page stays to be shown until something is drawn after it: nothing is handed over.
    Result<void> endPage() override;
    Result<void> endDoc() override { return endPage(); }
    void abortDoc() override;
    QByteArray document() const override { return {}; }

    QString deviceName() const override { return pdf_.deviceName(); }

    // The paper, in millimetres from its top-left corner.
    QRectF paperMm() const;
    // The part of the page given in millimetres (white paper, black ink) as a picture of the
    // size given, scaled to fit it whole and centred.
    QImage picture(const QRectF& partMm, const QSize& size) const;
    // The whole paper at the resolution given: what the page will look like printed.
    QImage picture(double dotsPerInch) const;

  private:
    // Measures, records, and paints the page as the document would.
    PdfSurface pdf_;
    // The page ended last is kept until the next drawing starts a new one.
    bool ended_ = false;
};

}  // namespace quarzello
