// What any printer list can tell before printing: whether the printer is still in it.
#include "printers/printersystem.h"

#include "printers/printermessages.h"

namespace quarzello {

Result<void> PrinterSystem::checkAvailable(const QString& name) const {
    if (printerNames().contains(name)) return {};
    return Failure{printerGoneText(name)};
}

}  // namespace quarzello
