// What any printer list can tell before printing: whether the printer is still in it.
#include "printers/printersystem.h"

#include "printers/printermessages.h"

QString PrinterSystem::availabilityError(const QString& name) const {
    return printerNames().contains(name) ? QString() : printerGoneText(name);
}
