// Where a printer prints on A4, read from its IPP attributes.
#pragma once

#include "core/printablearea.h"
#include "printers/cupslibrary.h"

namespace quarzello {

// The margins of the printer's A4 entry, an area past the paper's edge clipped to the paper;
// unknown when it describes no A4 paper with margins. Never another paper's margins.
PrintableArea a4PrintableArea(ipp_t* printer);

}  // namespace quarzello
