// The options a job carries: the sheet's own, which nothing may change, and whatever else the
// user set for the printer in the lpoptions files (an instance "queue/instance" is such a set).
#pragma once

#include <QList>
#include <QString>

namespace quarzello {

struct JobOption {
    QString name;
    QString value;
    bool operator==(const JobOption&) const = default;
};
using JobOptions = QList<JobOption>;

// The sides a job prints on: one, or both with the sheet turned on its long or its short edge.
enum class JobSides { OneSided, LongEdge, ShortEdge };

// The options of every job: an explicit value for each option that changes the sheet (the
// paper, the side, its size, place, turn, frame, repeats and cover pages), so that no default of
// the queue, an instance or the user's lpoptions can change it; then the printer's other options.
JobOptions jobOptions(const JobOptions& printer, JobSides sides = JobSides::OneSided);

}  // namespace quarzello
