// The fixed-metric surface's measures and its record of what was drawn.
#include "fixedsurface.h"

float FixedMetricSurface::widthOf(const QString& text, float size) {
    qsizetype characters = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        ++characters;
    }
    return static_cast<float>(double(characters) * double(size) / 12.0);
}

float FixedMetricSurface::heightOf(float size) { return static_cast<float>(double(size) / 2.0); }

float FixedMetricSurface::textWidth(const QString& text) {
    ++textWidthCalls;
    return widthOf(text, font.size);
}

bool FixedMetricSurface::printText(const QString& text) {
    drawn.append({false, text, font, x_, y_});
    return true;
}

bool FixedMetricSurface::drawLine(float x1, float y1, float, float) {
    drawn.append({true, {}, font, x1, y1});
    return true;
}

bool FixedMetricSurface::endDoc() {
    ++endDocCalls;
    return true;
}
