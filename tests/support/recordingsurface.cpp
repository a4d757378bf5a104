// The recording surface's metrics, its log, and the calls it passes on.
#include "recordingsurface.h"

#include <cmath>

#include "print/emblem.h"

namespace quarzello {

float RecordingSurface::widthOf(const QString& text, float size) {
    qsizetype characters = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        ++characters;
    }
    return static_cast<float>(double(characters) * double(size) / 12.0);
}

float RecordingSurface::heightOf(float size) { return static_cast<float>(double(size) / 2.0); }

bool near(double a, double b) { return std::abs(a - b) <= kRecordedTolerance; }

QString describe(const RecordedLine& l) {
    return QStringLiteral("(%1, %2)-(%3, %4)").arg(l.x1).arg(l.y1).arg(l.x2).arg(l.y2);
}

float RecordedText::right() const {
    return static_cast<float>(double(x) + RecordingSurface::widthOf(text, font.size));
}

float RecordedText::bottom() const {
    return static_cast<float>(double(y) + RecordingSurface::heightOf(font.size));
}

void RecordingSurface::clearRecord() {
    log.clear();
    texts.clear();
    lines.clear();
    images.clear();
    emblems.clear();
    measured.clear();
    printTextCalls = drawLineCalls = 0;
    pagesHandedOver = pagesAbandoned = 0;
    pageEnds.clear();
}

bool RecordingSurface::touchedPaper() const {
    return !texts.isEmpty() || !lines.isEmpty() || log.contains(QStringLiteral("printText")) ||
           log.contains(QStringLiteral("drawLine")) || log.contains(QStringLiteral("drawImage")) ||
           log.contains(QStringLiteral("drawEmblem")) || log.contains(QStringLiteral("endDoc")) ||
           log.contains(QStringLiteral("abortDoc"));
}

void RecordingSurface::setPaperSize(int code) {
    log << QStringLiteral("paperSize");
    paperSizeCode = code;
    if (target_) target_->setPaperSize(code);
}

void RecordingSurface::setOrientation(int code) {
    log << QStringLiteral("orientation");
    orientationCode = code;
    if (target_) target_->setOrientation(code);
}

void RecordingSurface::setScaleMode(int code) {
    log << QStringLiteral("scaleMode");
    scaleCode = code;
    if (target_) target_->setScaleMode(code);
}

void RecordingSurface::setFontName(const QString& value) {
    log << QStringLiteral("fontName");
    font.name = value;
    if (target_) target_->setFontName(value);
}

void RecordingSurface::setFontBold(bool bold) {
    log << QStringLiteral("bold");
    font.bold = bold;
    if (target_) target_->setFontBold(bold);
}

void RecordingSurface::setFontItalic(bool italic) {
    log << QStringLiteral("italic");
    font.italic = italic;
    if (target_) target_->setFontItalic(italic);
}

void RecordingSurface::setFontSize(float points) {
    log << QStringLiteral("size");
    font.size = points;
    if (target_) target_->setFontSize(points);
}

int RecordingSurface::paperWidth() const {
    return target_ ? target_->paperWidth() : paperWidthTwips;
}

int RecordingSurface::paperHeight() const {
    return target_ ? target_->paperHeight() : paperHeightTwips;
}

float RecordingSurface::textWidth(const QString& text) {
    log << QStringLiteral("textWidth");
    measured.append({text, font});
    return target_ ? target_->textWidth(text) : widthOf(text, font.size);
}

float RecordingSurface::textHeight(const QString& text) {
    log << QStringLiteral("textHeight");
    return target_ ? target_->textHeight(text) : heightOf(font.size);
}

void RecordingSurface::setCurrentX(float value) {
    log << QStringLiteral("x");
    x = value;
    if (target_) target_->setCurrentX(value);
}

void RecordingSurface::setCurrentY(float value) {
    log << QStringLiteral("y");
    y = value;
    if (target_) target_->setCurrentY(value);
}

Result<void> RecordingSurface::printText(const QString& text) {
    log << QStringLiteral("printText");
    if (++printTextCalls == failPrintTextAt) return Failure{failureText};
    if (target_) {
        if (Result<void> printed = target_->printText(text); !printed) return printed;
    }
    documentOpen = true;
    texts.append({text, x, y, font});
    return {};
}

Result<void> RecordingSurface::drawLine(float x1, float y1, float x2, float y2) {
    log << QStringLiteral("drawLine");
    if (++drawLineCalls == failDrawLineAt) return Failure{failureText};
    if (target_) {
        if (Result<void> drawn = target_->drawLine(x1, y1, x2, y2); !drawn) return drawn;
    }
    documentOpen = true;
    lines.append({x1, y1, x2, y2});
    return {};
}

Result<void> RecordingSurface::drawImage(float left, float top, float width, float height,
                                         const QImage& image) {
    log << QStringLiteral("drawImage");
    if (target_) {
        if (Result<void> drawn = target_->drawImage(left, top, width, height, image); !drawn)
            return drawn;
    }
    documentOpen = true;
    images.append({QRectF(left, top, width, height), image});
    return {};
}

Result<void> RecordingSurface::drawEmblem(float left, float top, float width, float height,
                                          const Emblem& emblem) {
    log << QStringLiteral("drawEmblem");
    if (target_) {
        if (Result<void> drawn = target_->drawEmblem(left, top, width, height, emblem); !drawn)
            return drawn;
    }
    documentOpen = true;
    emblems.append({QRectF(left, top, width, height), &emblem});
    return {};
}

Result<void> RecordingSurface::endPage() {
    log << QStringLiteral("endPage");
    if (target_) {
        if (Result<void> ended = target_->endPage(); !ended) return ended;
    }
    if (documentOpen) pageEnds << texts.size();
    return {};
}

Result<void> RecordingSurface::endDoc() {
    log << QStringLiteral("endDoc");
    if (failEndDoc) return Failure{failureText};
    if (target_) {
        if (Result<void> ended = target_->endDoc(); !ended) return ended;
    }
    if (documentOpen) ++pagesHandedOver;
    documentOpen = false;
    QStringList printed;
    for (qsizetype i = 0; i < texts.size(); ++i) {
        if (pageEnds.contains(i)) printed << QStringLiteral("\f");
        printed << texts[i].text;
    }
    pageEnds.clear();
    document_ = printed.join(QLatin1Char('\n')).toUtf8();
    return {};
}

void RecordingSurface::abortDoc() {
    log << QStringLiteral("abortDoc");
    if (target_) target_->abortDoc();
    if (documentOpen) ++pagesAbandoned;
    documentOpen = false;
    pageEnds.clear();
}

QByteArray RecordingSurface::document() const { return target_ ? target_->document() : document_; }

QString RecordingSurface::deviceName() const { return target_ ? target_->deviceName() : name; }

}  // namespace quarzello
