// The one print surface for exact tests, benchmarks and fuzz targets: simple metrics that a
// test can work out by hand, every operation recorded in order, failures on demand; or, made
// over another surface, the same record of a real printer's or PDF's job.
#pragma once

#include <QImage>
#include <QList>
#include <QPair>
#include <QRectF>
#include <QString>
#include <QStringList>

#include "print/printsurface.h"

namespace quarzello {

struct RecordedFont {
    QString name;
    float size = 0;
    bool bold = false;
    bool italic = false;
    bool operator==(const RecordedFont&) const = default;
};

struct RecordedText {
    QString text;
    float x = 0;  // top-left corner of the line box, mm
    float y = 0;
    RecordedFont font;
    // Where the line ends and where the bottom of its box lies, by the fixed metrics.
    float right() const;
    float bottom() const;
};

struct RecordedLine {
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

// How far apart two lengths on the surface may be and still be the same, in millimetres.
constexpr float kRecordedTolerance = 0.01f;
bool near(double a, double b);
// A recorded line as "(x1, y1)-(x2, y2)", for a test's message.
QString describe(const RecordedLine& l);

struct RecordedImage {
    QRectF rect;  // x, y, width, height in millimetres
    QImage image;
};

// An emblem drawn: where, and which (the plan's, valid while the plan is).
struct RecordedEmblem {
    QRectF rect;  // x, y, width, height in millimetres
    const Emblem* emblem = nullptr;
};

class RecordingSurface : public PrintSurface {
  public:
    // A surface of its own, with the fixed metrics below.
    RecordingSurface() = default;
    // Records every call and passes it on to `target`, whose metrics, answers and failures are
    // then the ones that count.
    explicit RecordingSurface(PrintSurface* target) : target_(target) {}

    // Fixed metrics: every character (a surrogate pair is one) is size / 12 mm wide (1 mm at 12
    // points), a line is size / 2 mm high. Both are exact in float for the sizes tests use.
    static float widthOf(const QString& text, float size);
    static float heightOf(float size);

    // Paper size in twips. The default gives exactly 210 x 297 mm with the sheet's divisors.
    int paperWidthTwips = 11904;
    int paperHeightTwips = 16836;
    QString name = QStringLiteral("Registratore");

    // Failures on demand: the n-th call (counted from 1) of printText or drawLine fails, 0 never.
    int failPrintTextAt = 0;
    int failDrawLineAt = 0;
    bool failEndDoc = false;
    QString failureText = QStringLiteral("La stampante \"Registratore\" non risponde.");

    // The current state, as the operations left it.
    RecordedFont font{QStringLiteral("Courier"), 10, false, false};
    float x = 0, y = 0;
    int paperSizeCode = -1, orientationCode = -1, scaleCode = -1;
    bool documentOpen = false;

    // What happened: names of all operations in order ("bold", "textWidth", "drawLine", ...),
    // what was drawn, what was measured in which font, and how documents ended.
    QStringList log;
    QList<RecordedText> texts;
    QList<RecordedLine> lines;
    QList<RecordedImage> images;
    QList<RecordedEmblem> emblems;
    QList<QPair<QString, RecordedFont>> measured;
    int printTextCalls = 0, drawLineCalls = 0;
    int pagesHandedOver = 0, pagesAbandoned = 0;
    // Where each page ended by endPage stops in texts, for the document's page breaks.
    QList<qsizetype> pageEnds;

    // Forgets what was recorded (the font and the position stay, as on a real printer).
    void clearRecord();
    // True when something was drawn or a document ended or abandoned.
    bool touchedPaper() const;

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
    void setCurrentX(float value) override;
    void setCurrentY(float value) override;
    Result<void> printText(const QString& text) override;
    Result<void> drawLine(float x1, float y1, float x2, float y2) override;
    Result<void> drawImage(float x, float y, float width, float height,
                           const QImage& image) override;
    Result<void> drawEmblem(float x, float y, float width, float height,
                            const Emblem& emblem) override;
    Result<void> endPage() override;
    Result<void> endDoc() override;
    void abortDoc() override;
    // What the ended document held: its texts, one a line, a page break as a line "\f" (or the
    // target's document).
    QByteArray document() const override;
    QString deviceName() const override;

  private:
    PrintSurface* target_ = nullptr;
    QByteArray document_;
};

}  // namespace quarzello
