// A CUPS scheduler of the test program's own, in a temporary folder, with queues (raw, or with a
// PPD of the tests' own and the real filters) whose jobs land in files the test can read back: real
// printing without touching the machine's printers.
//
// Typical use, in a test class:
//
//     PrivateCups cups;                            // a member of the test object
//     void initTestCase() {                        // before ANY printer API is used
//         QVERIFY2(cups.start(), qPrintable(cups.errorString()));
//         QVERIFY2(cups.addPrinter("Alfa"), qPrintable(cups.errorString()));
//     }
//     ... print on "Alfa" through Qt ...
//     const QByteArray pdf = cups.waitForJob("Alfa");
//     QVERIFY2(!pdf.isEmpty(), qPrintable(cups.errorString()));
//     QVERIFY(PrivateCups::pdfText(pdf).contains("..."));
//
// start() points this process at the private scheduler by setting CUPS_SERVER (and
// CUPS_SERVERROOT, and clearing PRINTER and LPDEST). libcups reads these once, at its first call
// on a thread, and keeps the answer: start() must therefore run before anything in the process
// has asked for a printer (QPrinterInfo, QPrinter, ...). It checks this and fails if it is too
// late. Child processes started afterwards inherit the variables and so see the same printers.
//
// Works as root (the scheduler then runs the capture backend as root) and as an ordinary user.
// Keep the object alive for as long as the test prints; the destructor stops the scheduler and
// removes its folder.
#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

namespace quarzello {

class PrivateCups {
  public:
    PrivateCups();
    ~PrivateCups();
    PrivateCups(const PrivateCups&) = delete;
    PrivateCups& operator=(const PrivateCups&) = delete;

    // Starts the scheduler and waits until it answers. False, with errorString(), on failure.
    bool start();
    // Stops the scheduler, as if the print service went away; start() brings it back with the
    // same socket and queues. The destructor stops it too.
    void stop();
    bool isRunning() const;
    // The scheduler's socket: the value of CUPS_SERVER for anyone who should reach it.
    QString socketPath() const;
    // What went wrong in the last call that failed, with the tool's or the scheduler's output.
    QString errorString() const;

    // A queue, enabled and accepting, whose jobs are written to capturePath(name): raw, so
    // unchanged; or with the PPD given, through the real filters it names.
    bool addPrinter(const QString& name, const QString& ppd = {});
    // A queue on another device (CUPS's own socket backend is there too), with lpadmin -o options.
    bool addPrinter(const QString& name, const QString& deviceUri, const QStringList& options);
    // A queue from a PPD with a two-sided option (tests/cups/fronteretro.ppd: A4 to its edges),
    // which the scheduler lists with two-sided values among its sides-supported; its jobs go
    // through the real filters and come out as PDF.
    bool addTwoSidedPrinter(const QString& name);
    // lpadmin -o: a default of the queue ("fit-to-page-default=true"), added to every job.
    bool setQueueOption(const QString& name, const QString& option);
    // Deletes the queue, as an administrator would with lpadmin -x.
    bool removePrinter(const QString& name);
    // cupsreject / cupsaccept: the queue refuses, or accepts again, new jobs.
    bool rejectJobs(const QString& name);
    bool acceptJobs(const QString& name);
    // Makes the queue the scheduler's default destination.
    bool setDefault(const QString& name);
    // cupsdisable / cupsenable: the queue stops (still taking jobs, which wait), or goes again.
    bool stopPrinter(const QString& name, const QString& reason);
    bool restartPrinter(const QString& name);
    // The queue's backend fails every job from now on, with this message; or works again.
    bool failJobs(const QString& name, const QString& message);
    bool succeedJobs(const QString& name);
    // The queue's backend takes this long over each job before writing it out.
    bool slowJobs(const QString& name, int seconds);
    // Holds the scheduler still (SIGSTOP), as a print service that stops answering; and lets it
    // go on again (SIGCONT).
    bool freeze();
    bool thaw();
    // Kills the scheduler outright (SIGKILL), as a crash; its backends go on (until this object
    // goes, which ends them). start() again.
    void kill();
    // The queue is printing a job: its backend has it.
    bool isPrinting(const QString& name);

    // Where the next job of the queue will be written.
    QString capturePath(const QString& name) const;
    // Waits (up to timeoutMs) for the queue's next job to be written out, returns its bytes and
    // removes the file, so that the next call waits for the next job. Empty on timeout, with
    // errorString() saying what the scheduler knows. Jobs are handed to the backend
    // asynchronously: this is the way to know that one has come out.
    QByteArray waitForJob(const QString& name, int timeoutMs = 30000);
    // How many jobs the scheduler has ever received for the queue, finished or not, or -1 when it
    // cannot be asked. A job is counted as soon as the printing program has handed it over, so
    // this tells at once (no waiting) whether anything was sent.
    int jobCount(const QString& name);

    // The value of a job attribute ("sides", "copies") of every job of the queue that has it,
    // first job first, as IPP spells it; none, with errorString(), when it cannot be asked.
    QStringList jobAttributes(const QString& name, const QString& attribute);

    // The text of a PDF as pdftotext reads it back (layout kept); empty when it is not a PDF.
    static QString pdfText(const QByteArray& pdf);
    // The scheduler's error log (at debug level), for failure messages.
    QString schedulerLog() const;

  private:
    bool prepare();
    bool launch();
    bool run(const QString& tool, const QStringList& args, QString* output = nullptr);
    bool fail(const QString& message);
    QString path(const QString& relative) const;

    // Ends the scheduler's backends and filters left behind, which would otherwise go on
    // retrying a printer long after the test.
    void endLeftBehind();

    std::unique_ptr<QTemporaryDir> m_dir;
    QStringList m_leftBehind;  // processes below a scheduler that was stopped or killed
    QProcess m_cupsd;
    QString m_error;
};

}  // namespace quarzello
