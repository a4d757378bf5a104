// A document of one sheet made as the print makes each page: the paper worked out, the sheet
// planned and drawn, the document ended.
#pragma once

#include "core/cardrecord.h"
#include "core/result.h"

namespace quarzello {

class PrintSurface;
struct SheetOptions;

// Nothing is drawn when the record's grid cannot print; a failure on the way abandons the
// document.
Result<void> drawSheet(PrintSurface& surface, const CardRecord& record);
Result<void> drawSheet(PrintSurface& surface, const CardRecord& record,
                       const SheetOptions& options);

}  // namespace quarzello
