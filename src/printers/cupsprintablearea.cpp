// The printable area of A4 from a printer's media-col entries.
#include "printers/cupsprintablearea.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <optional>

namespace quarzello {

namespace {

// A4 in hundredths of a millimetre, with room for a printer that rounds its sizes.
constexpr int kA4Width = 21000, kA4Height = 29700, kSizeSlack = 100;

int memberOf(ipp_t* collection, const char* name) {
    ipp_attribute_t* found = cups().ippFindAttribute(collection, name, IPP_TAG_INTEGER);
    return found ? cups().ippGetInteger(found, 0) : -1;
}

// The margins of a media-col that describes A4 paper, in hundredths of a millimetre; none for
// another paper, or one whose margins are not all given. A negative margin is an area that runs
// past the paper's edge (a PPD's ImageableArea larger than its PageSize): it prints up to it.
std::optional<std::array<int, 4>> a4Margins(ipp_t* col) {
    ipp_attribute_t* size = cups().ippFindAttribute(col, "media-size", IPP_TAG_BEGIN_COLLECTION);
    ipp_t* dimensions = size ? cups().ippGetCollection(size, 0) : nullptr;
    if (!dimensions || std::abs(memberOf(dimensions, "x-dimension") - kA4Width) > kSizeSlack ||
        std::abs(memberOf(dimensions, "y-dimension") - kA4Height) > kSizeSlack)
        return std::nullopt;
    std::array<int, 4> margins{};
    const char* names[] = {"media-left-margin", "media-right-margin", "media-top-margin",
                           "media-bottom-margin"};
    for (std::size_t side = 0; side < margins.size(); ++side) {
        ipp_attribute_t* found = cups().ippFindAttribute(col, names[side], IPP_TAG_INTEGER);
        if (!found) return std::nullopt;
        margins[side] = std::max(cups().ippGetInteger(found, 0), 0);
    }
    // An empty or inverted area says nothing of where the printer prints.
    if (margins[0] + margins[1] >= kA4Width || margins[2] + margins[3] >= kA4Height)
        return std::nullopt;
    return margins;
}

}  // namespace

// Of several A4 entries (a borderless one beside the ordinary one), the one with the widest
// margins: a job that asks for A4 and no margins of its own gets the ordinary one.
PrintableArea a4PrintableArea(ipp_t* printer) {
    std::optional<std::array<int, 4>> widest;
    const auto total = [](const std::array<int, 4>& m) { return m[0] + m[1] + m[2] + m[3]; };
    for (const char* name : {"media-col-default", "media-col-database"}) {
        ipp_attribute_t* cols = cups().ippFindAttribute(printer, name, IPP_TAG_BEGIN_COLLECTION);
        for (int i = 0; cols && i < cups().ippGetCount(cols); ++i) {
            const auto margins = a4Margins(cups().ippGetCollection(cols, i));
            if (margins && (!widest || total(*margins) > total(*widest))) widest = margins;
        }
    }
    if (!widest) return {};
    const std::array<int, 4>& m = *widest;
    return {true, m[0] / 100.0, m[1] / 100.0, m[2] / 100.0, m[3] / 100.0};
}

}  // namespace quarzello
