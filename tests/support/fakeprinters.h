// A print service for window tests: a fixed list of printers, queues in any state, jobs kept as
// the documents they carried, and every job's drawing recorded on one recording surface the
// test owns. It answers at once.
#pragma once

#include <QMap>
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
    // What becomes of a printer's jobs; a printer not in here completes them.
    QMap<QString, JobState> fates;
    // The service stops answering once it has a job: asked about it, it answers as a real one
    // whose time ran out.
    bool silentAfterJob = false;

    // A printer's A4 margins; a printer not in here does not say.
    QMap<QString, PrintableArea> areas;

    // Every job's sheet is drawn on a surface that records into this one.
    RecordingSurface drawing;
    // The documents each printer received, in order.
    std::map<QString, QList<QByteArray>> jobs;

    Result<PrinterList> listPrinters(Deadline&) override {
        return PrinterList{serviceDown ? QStringList() : names, defaultName, serviceDown};
    }
    Result<QueueState> queueState(const QString& name, Deadline&) override {
        if (serviceDown) return Failure{printServiceDownText(name)};
        if (!names.contains(name)) return Failure{printerGoneText(name)};
        return queues.value(name);
    }
    Result<int> submitJob(const QString& name, const QByteArray& pdf, Deadline& deadline) override {
        if (refusals.contains(name)) return Failure{refusals.value(name)};
        if (!deadline.noteDocumentSent()) return Failure{printServiceDownText(name)};
        jobs[name] << pdf;
        return int(jobs[name].size());
    }
    Result<JobState> jobState(const QString& name, int, Deadline& deadline) override {
        if (silentAfterJob) return Failure{printServiceSilentText(name, deadline.documentSent())};
        return fates.value(name, JobState{JobPhase::Completed, false, {}});
    }
    Result<PrintableArea> printableArea(const QString& name, Deadline&) override {
        if (serviceDown) return Failure{printServiceDownText(name)};
        return areas.value(name);
    }
    std::unique_ptr<PrintSurface> newDocumentSurface(const QString&) override {
        return std::make_unique<RecordingSurface>(&drawing);
    }
};

}  // namespace quarzello
