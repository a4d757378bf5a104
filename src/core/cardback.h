// The back of the card: the club's, the same on every card and for every member, as the user
// set it; and how a printer prints the backs.
#pragma once

#include <QString>
#include <QStringList>

namespace quarzello {

// At most this many lines of text on the back.
inline constexpr int kBackLines = 3;

// What the user set for the back, kept in the settings file (the emblem by its path, read again
// at each print).
struct CardBack {
    QString emblem;         // the picture's path; empty: no emblem
    QStringList lines;      // up to kBackLines; an empty line prints nothing
    bool qrOnBack = false;  // the card's QR code (when chosen) on the back instead of the front
    bool print = false;     // the sheet is printed with its back
    // Something is there to print on the back, given whether the cards carry a QR code.
    bool hasContent(bool qrCode) const {
        if (!emblem.isEmpty() || (qrCode && qrOnBack)) return true;
        for (const QString& line : lines)
            if (!line.trimmed().isEmpty()) return true;
        return false;
    }
    bool operator==(const CardBack&) const = default;
};

// The edge the sheet is turned on between its front and its back.
enum class TurnEdge { Long, Short };

// How a printer prints both sides: by itself (one job, fronts and backs in turn) or by hand
// (the fronts, the sheets put back in the tray, then the backs as a second job).
struct DuplexSetting {
    bool automatic = false;
    TurnEdge edge = TurnEdge::Long;
    // By hand: the backs are sent last sheet first (the printer stacks its sheets face up).
    bool reverseBacks = false;
    bool operator==(const DuplexSetting&) const = default;
};

}  // namespace quarzello
