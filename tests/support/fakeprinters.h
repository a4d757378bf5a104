// A print service for window tests: a fixed list of printers, queues in any state, jobs kept as
// the documents they carried, and every job's drawing recorded on one recording surface the
// test owns. It answers at once.
#pragma once

#include <QMap>
#include <functional>
#include <map>
#include <memory>

#include "printers/printermessages.h"
#include "printers/printersystem.h"
#include "recordingsurface.h"

namespace quarzello {

class FakePrinterSystem : public PrinterSystem {
  public:
    QStringList names;
    QString defaultName;
    bool serviceDown = false;
    // A queue's state; a printer not in here takes jobs and is not stopped.
    QMap<QString, QueueState> queues;
    // A printer in here refuses every job with this text.
    QMap<QString, QString> refusals;
    // What the service tells of a printer's jobs at the end of the follow; a printer not in
    // here completes them.
    QMap<QString, JobSnapshot> fates;
    // The service stops answering once it has a job: asked about it, it answers as a real one
    // whose time ran out.
    bool silentAfterJob = false;

    // A printer's A4 margins; a printer not in here does not say.
    QMap<QString, PrintableArea> areas;

    // Every job's sheet is drawn on a surface that records into this one.
    RecordingSurface drawing;
    // The documents each printer received, in order, and the sides each was sent on.
    std::map<QString, QList<QByteArray>> jobs;
    std::map<QString, QList<JobSides>> jobSides;
    // The printers that print both sides by themselves.
    QStringList twoSided;

    Result<PrinterList> askPrinters(Deadline&) override {
        if (serviceDown) return Failure{printerListDownText(), Failure::Kind::ServiceDown};
        return PrinterList{names, defaultName};
    }
    Result<QueueState> queueState(const QString& name, Deadline&) override {
        if (serviceDown) return Failure{printServiceDownText(name)};
        if (!names.contains(name)) return Failure{printerGoneText(name)};
        return queues.value(name);
    }
    Result<bool> printsTwoSided(const QString& name, Deadline&) override {
        if (serviceDown) return Failure{printServiceDownText(name)};
        return twoSided.contains(name);
    }
    Result<int> submitJob(const QString& name, const QByteArray& pdf, Deadline& deadline,
                          JobSides sides = JobSides::OneSided) override {
        jobSides[name] << sides;
        if (refusals.contains(name)) return Failure{refusals.value(name)};
        if (!deadline.noteDocumentSent()) return Failure{printServiceDownText(name)};
        jobs[name] << pdf;
        return int(jobs[name].size());
    }
    Result<JobReport> followJob(const QString& name, int job, qint64, Deadline& deadline) override {
        if (silentAfterJob) return Failure{printServiceSilentText(name, deadline.documentSent())};
        JobSnapshot completed;
        completed.jobState = 9;
        return decideOutcome(name, job, fates.value(name, completed));
    }
    Result<PrintableArea> printableArea(const QString& name, Deadline&) override {
        if (serviceDown) return Failure{printServiceDownText(name)};
        return areas.value(name);
    }
    // The documents of the window's prints, each recording into `drawing`.
    std::function<std::unique_ptr<PrintSurface>(const QString&)> surfaces() {
        return [this](const QString&) { return std::make_unique<RecordingSurface>(&drawing); };
    }
};

}  // namespace quarzello
