// The lpoptions files, read in one place: the printer the user chose as default, the instances
// ("queue/instance", a queue with options of the user's own), and each one's options.
#pragma once

#include <QString>
#include <QStringList>

#include "printers/joboptions.h"

namespace quarzello {

// The machine's lpoptions file (in CUPS_SERVERROOT, or /etc/cups), then the user's.
QStringList lpoptionsFiles();

// Options as lpoptions writes them (name=value, quoted or escaped values, "noname" for false),
// parsed by libcups itself; none when this machine has no libcups.
JobOptions parseOptions(const QString& text);

// Whether a destination written in lpoptions is the listed one: the queue's name without
// regard to case, as the scheduler takes it; the instance's exactly as typed.
bool sameDestination(const QString& listed, const QString& written);

// The options the listed printer carries from these files (the machine's first, then the
// user's): in each, the queue's own lines, then the instance's, later values winning.
JobOptions printerOptions(const QString& name, const QStringList& files);

struct UserDestinations {
    QString defaultName;    // as written in the files or the environment; empty when none
    QStringList instances;  // "queue/instance", in the order first written
};
// The default printer and the instances from these files, the environment's PRINTER or LPDEST
// overriding the files' default, as for every CUPS program.
UserDestinations userDestinations(const QStringList& files);

}  // namespace quarzello
