// The recording surface's metrics and its log.
#include "recordingsurface.h"

float RecordingSurface::widthOf(qsizetype characters, float size) {
    return static_cast<float>(double(characters) * double(size) / 12.0);
}

float RecordingSurface::heightOf(float size) { return static_cast<float>(double(size) / 2.0); }

float RecordedText::right() const {
    return static_cast<float>(double(x) + RecordingSurface::widthOf(text.size(), font.size));
}

float RecordedText::bottom() const {
    return static_cast<float>(double(y) + RecordingSurface::heightOf(font.size));
}

void RecordingSurface::clearRecord() {
    log.clear();
    texts.clear();
    lines.clear();
    measured.clear();
    printTextCalls = drawLineCalls = 0;
    pagesHandedOver = pagesAbandoned = 0;
}

bool RecordingSurface::touchedPaper() const {
    return !texts.isEmpty() || !lines.isEmpty() || log.contains(QStringLiteral("printText")) ||
           log.contains(QStringLiteral("drawLine")) || log.contains(QStringLiteral("endDoc")) ||
           log.contains(QStringLiteral("abortDoc"));
}

void RecordingSurface::setPaperSize(int code) {
    log << QStringLiteral("paperSize");
    paperSizeCode = code;
}

void RecordingSurface::setOrientation(int code) {
    log << QStringLiteral("orientation");
    orientationCode = code;
}

void RecordingSurface::setScaleMode(int code) {
    log << QStringLiteral("scaleMode");
    scaleCode = code;
}

void RecordingSurface::setFontName(const QString& value) {
    log << QStringLiteral("fontName");
    font.name = value;
}

void RecordingSurface::setFontBold(bool bold) {
    log << QStringLiteral("bold");
    font.bold = bold;
}

void RecordingSurface::setFontItalic(bool italic) {
    log << QStringLiteral("italic");
    font.italic = italic;
}

void RecordingSurface::setFontSize(float points) {
    log << QStringLiteral("size");
    font.size = points;
}

float RecordingSurface::textWidth(const QString& text) {
    log << QStringLiteral("textWidth");
    measured.append({text, font});
    return widthOf(text.size(), font.size);
}

float RecordingSurface::textHeight(const QString& text) {
    log << QStringLiteral("textHeight");
    Q_UNUSED(text);
    return heightOf(font.size);
}

void RecordingSurface::setCurrentX(float value) {
    log << QStringLiteral("x");
    x = value;
}

void RecordingSurface::setCurrentY(float value) {
    log << QStringLiteral("y");
    y = value;
}

bool RecordingSurface::printText(const QString& text) {
    log << QStringLiteral("printText");
    if (++printTextCalls == failPrintTextAt) {
        error_ = failureText;
        return false;
    }
    documentOpen = true;
    texts.append({text, x, y, font});
    return true;
}

bool RecordingSurface::drawLine(float x1, float y1, float x2, float y2) {
    log << QStringLiteral("drawLine");
    if (++drawLineCalls == failDrawLineAt) {
        error_ = failureText;
        return false;
    }
    documentOpen = true;
    lines.append({x1, y1, x2, y2});
    return true;
}

bool RecordingSurface::endDoc() {
    log << QStringLiteral("endDoc");
    if (failEndDoc) {
        error_ = failureText;
        return false;
    }
    if (documentOpen) ++pagesHandedOver;
    documentOpen = false;
    return true;
}

void RecordingSurface::abortDoc() {
    log << QStringLiteral("abortDoc");
    if (documentOpen) ++pagesAbandoned;
    documentOpen = false;
}
