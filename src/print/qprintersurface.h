// The print surface on a real printer (or a PDF file): QPainter on a QPrinter at the printer's
// high resolution, measured with the printer's own font metrics, in millimetres from the
// paper's top-left corner.
#pragma once

#include <QFont>
#include <QLineF>
#include <QPointF>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "print/printsurface.h"

class QPrinter;
class QPrinterInfo;

namespace quarzello {

class QPrinterSurface final : public PrintSurface {
  public:
    // Says whether the printer really took the job just handed over, which QPainter::end()
    // cannot tell.
    using Verifier = std::function<Result<void>()>;

    // Prints on an installed printer (a null QPrinterInfo means there is none).
    explicit QPrinterSurface(const QPrinterInfo& printer, Verifier verifier = {});
    // Writes the page to a PDF file instead.
    explicit QPrinterSurface(const QString& pdfPath, Verifier verifier = {});
    ~QPrinterSurface() override;

    QPrinterSurface(const QPrinterSurface&) = delete;
    QPrinterSurface& operator=(const QPrinterSurface&) = delete;

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

    Result<void> endDoc() override;
    void abortDoc() override;

    QString deviceName() const override;

    // The font text is printed in now, with its stand-in face already chosen.
    QFont currentFont() const;
    // True between the first drawing operation and the end or abandoning of the document.
    bool documentOpen() const { return open_; }

  private:
    struct Operation {
        bool isText = false;
        QFont font;
        QPointF baseline;  // device pixels
        QString text;
        QLineF line;  // device pixels
    };

    void setUp();
    Result<void> openDocument();
    double pixelsPerMm() const;
    bool printable() const;  // a size of zero points or less prints nothing

    std::unique_ptr<QPrinter> printer_;
    Verifier verifier_;
    QString name_;
    QString pdfPath_;
    bool hasPrinter_ = true;

    QString fontName_ = QStringLiteral("Times new roman");
    float fontSize_ = 12.0f;
    bool bold_ = false;
    bool italic_ = false;
    float x_ = 0;
    float y_ = 0;

    // Qt's CUPS engine sends whatever was painted as soon as the painter ends and cannot abort
    // a job, so the page is kept here and painted only when the document is ended: abandoning
    // it then sends nothing at all.
    bool open_ = false;
    std::vector<Operation> page_;
};

}  // namespace quarzello
