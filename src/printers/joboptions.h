// The options a job carries: the sheet's own, which nothing may change, and whatever else the
// user set for the printer in the lpoptions files (an instance "queue/instance" is such a set).
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace quarzello {

struct JobOption {
    QString name;
    QString value;
    bool operator==(const JobOption&) const = default;
};
using JobOptions = QList<JobOption>;

// Options as lpoptions writes them: name=value separated by spaces, a value quoted with ' or "
// or with \ before a character to take literally, a bare name for true and "noname" for false.
// A name given twice keeps its last value.
JobOptions parseOptions(const QString& text);

// The options the listed printer carries from these lpoptions files (the machine's first, then
// the user's): in each, the queue's own line, then the instance's, later values winning.
JobOptions printerOptions(const QString& name, const QStringList& files);
// The machine's lpoptions file, then the user's.
QStringList lpoptionsFiles();

// The options of every job: A4 paper, one side, no scaling, and the printer's options except
// those that would move, scale, turn, crop or repeat the sheet.
JobOptions jobOptions(const JobOptions& printer);

}  // namespace quarzello
