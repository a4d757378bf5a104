// Placing one line of a card. The arithmetic is single precision, rounded where the card's
// original layout rounded, so that lines break and sit exactly where they always did.
#include "print/stampatesto.h"

#include <algorithm>
#include <cmath>

#include "print/printsurface.h"

namespace quarzello {

QString trimSpaces(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == QLatin1Char(' ')) ++begin;
    while (end > begin && text.at(end - 1) == QLatin1Char(' ')) --end;
    return text.mid(begin, end - begin);
}

namespace {

// Drops the last character, never half of a surrogate pair.
void dropLastCharacter(QString& text) {
    qsizetype cut = 1;
    if (text.size() >= 2 && text.back().isLowSurrogate() &&
        text.at(text.size() - 2).isHighSurrogate()) {
        cut = 2;
    }
    text.chop(cut);
}

// The length of the longest beginning of text narrower than limit, found by halving: dropping
// one character at a time would measure a long text once per character, and a value loaded
// from a file can be thousands of characters long.
qsizetype longestFittingPrefix(PrintSurface& surface, const QString& text, float limit) {
    qsizetype fits = 0;               // a prefix this long is narrower than the limit
    qsizetype tooWide = text.size();  // and this one is not
    while (tooWide - fits > 1) {
        const qsizetype middle = fits + (tooWide - fits) / 2;
        if (surface.textWidth(text.left(middle)) < limit)
            fits = middle;
        else
            tooWide = middle;
    }
    if (fits > 0 && text.at(fits - 1).isHighSurrogate()) --fits;
    return fits;
}

// Whether a code point takes room on the line by itself: combining marks, format and control
// characters can draw nothing.
bool takesRoom(char32_t c) {
    switch (QChar::category(c)) {
        case QChar::Mark_NonSpacing:
        case QChar::Mark_SpacingCombining:
        case QChar::Mark_Enclosing:
        case QChar::Other_Format:
        case QChar::Other_Control:
            return false;
        default:
            return true;
    }
}

// A hundredth of an em: less than any character that takes room advances, in any typeface, even
// when several join into one glyph (a ligature, a syllable, a conjunct of a few letters).
constexpr double kNarrowestAdvanceEm = 0.01;

// Where text (from `begin`) must end so that no more of it is measured than could fit `limit`
// mm at `size` points: past as many characters that take room as could sit in the limit were
// each the narrowest there is. A line that fits is never cut by it; a field of megabytes is
// measured as a few thousand characters, and its width cannot overflow the measuring.
qsizetype endOfWhatCouldFit(const QString& text, qsizetype begin, qsizetype end, float limit,
                            float size) {
    if (!(size > 0) || !std::isfinite(size) || !std::isfinite(limit)) return end;
    const double narrowestMm = double(size) * 25.4 / 72.0 * kNarrowestAdvanceEm;
    const double most = std::ceil(std::max(double(limit), 0.0) / narrowestMm) + 1;
    qsizetype counted = 0;
    for (qsizetype i = begin; i < end; ++i) {
        char32_t c = text.at(i).unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < end && text.at(i + 1).isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text.at(i), text.at(i + 1));
            ++i;
        }
        if (takesRoom(c) && double(++counted) > most) return i;
    }
    return end;
}

}  // namespace

float fitLimit(float daOrizz, float aOrizz) {
    // The fit allows the text 2 mm beyond the span; a text exactly that wide still loses a
    // character.
    return static_cast<float>(double(aOrizz) - double(daOrizz) + 2.0);
}

FittedLine fitLine(PrintSurface& surface, const QString& Txt, float daOrizz, float aOrizz,
                   bool Grassetto, bool Corsivo, float Size) {
    // Trimmed as trimSpaces does, but copying no more than could fit.
    qsizetype begin = 0;
    qsizetype end = Txt.size();
    while (begin < end && Txt.at(begin) == QLatin1Char(' ')) ++begin;
    while (end > begin && Txt.at(end - 1) == QLatin1Char(' ')) --end;
    if (begin == end) return {};
    const float limit = fitLimit(daOrizz, aOrizz);
    QString s = Txt.mid(begin, endOfWhatCouldFit(Txt, begin, end, limit, Size) - begin);

    surface.setFontBold(Grassetto);
    surface.setFontItalic(Corsivo);
    surface.setFontSize(Size);

    float w = surface.textWidth(s);
    if (w >= limit) {
        s.truncate(longestFittingPrefix(surface, s, limit));
        // Nothing of the text fits this span: nothing to print.
        if (s.isEmpty()) return {};
        w = surface.textWidth(s);
        // Characters go one at a time from the end until the text fits. The halving above
        // already stopped where that would, as widths grow with the text; this keeps the
        // rule exact for a font that ever measured a longer text narrower.
        while (w >= limit) {
            dropLastCharacter(s);
            if (s.isEmpty()) return {};
            w = surface.textWidth(s);
        }
    }
    // w is the width of the fitted text: the loop measured it last.
    const float h = surface.textHeight(s);
    return {s, w, h};
}

LineBox placedBox(const FittedLine& line, float RigaStampaVerticale, float daOrizz, float aOrizz,
                  qint16 Allineato) {
    float x = daOrizz;
    switch (Allineato) {
        case Centred: {
            const float middle =
                static_cast<float>(double(aOrizz) + (double(daOrizz) - double(aOrizz)) / 2.0);
            x = static_cast<float>(double(middle) - double(line.width) / 2.0 - 1.0);
            break;
        }
        case AlignedRight:
            x = static_cast<float>(double(aOrizz) - double(line.width) - 3.0);
            break;
        default:  // left, and any value nobody uses
            break;
    }
    const float y = static_cast<float>(double(RigaStampaVerticale) - double(line.height));
    return {x, y, line.width, line.height};
}

}  // namespace quarzello
