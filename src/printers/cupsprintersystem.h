// The system's CUPS printers, reached through libcups on a connection of each call's own that
// gives up at the call's deadline: Qt's printing cannot be bounded in time, cannot tell whether
// a job was taken, and loses the job's number.
#pragma once

#include "printers/printersystem.h"

namespace quarzello {

class CupsPrinterSystem final : public PrinterSystem {
  public:
    Result<QueueState> queueState(const QString& name, Deadline& deadline) override;
    Result<int> submitJob(const QString& name, const QByteArray& pdf, Deadline& deadline,
                          JobSides sides = JobSides::OneSided) override;
    Result<bool> printsTwoSided(const QString& name, Deadline& deadline) override;
    Result<JobReport> followJob(const QString& name, int job, qint64 followMs,
                                Deadline& deadline) override;
    Result<PrintableArea> printableArea(const QString& name, Deadline& deadline) override;

  private:
    Result<PrinterList> askPrinters(Deadline& deadline) override;
};

}  // namespace quarzello
