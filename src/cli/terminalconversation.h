// What a print asks and tells on the terminal: every question answered by the command line's
// options, every word on standard error.
#pragma once

#include <QElapsedTimer>

#include "flows/printflow.h"

namespace quarzello {

// Shortened lines and the printer's margins are only warnings (or, with --riduci, the sheet is
// reduced); a stopped printer is an error unless the user said to send all the same; a QR code
// that does not fit is an error.
class TerminalConversation final : public PrintConversation {
  public:
    TerminalConversation(bool evenIfStopped, bool reduce);

    bool printShortened(const QStringList& lines) override;
    void pageShortened(const QString& page, const QStringList& lines) override;
    // Told, with the largest grid where the code fits, and refused.
    bool printWithoutQr(const QString& page, const QString& notFit,
                        const std::function<QString()>& largest) override;
    // A count rewritten in place, for a run long enough to need it and a terminal to show it;
    // a file or a pipe gets nothing of it.
    void pageDrawn(int drawn, int pages) override;
    // --riduci first; else what the user answered in the window for this printer, said so.
    MarginReply printOutsideMargins(const QString& printer, const MarginLoss& loss,
                                    const PrintableArea& area,
                                    std::optional<MarginChoice> remembered) override;
    bool sendToStoppedPrinter(const QString& printer, const QString& reason) override;
    // Asked on standard error, answered on standard input's terminal: Enter (or "s") prints the
    // backs; "n", no terminal, the end of the input or Ctrl+C gives them up.
    bool printBacks(const QString& printer, const DuplexSetting& duplex, int sheets) override;
    void fail(const QString& text) override;
    // The job's outcome decides the exit status, not whether its closing word was written.
    void done(const QString& text) override;

  private:
    bool evenIfStopped_;
    bool reduce_;
    QElapsedTimer sinceStart_;
    bool showingProgress_ = false;
};

}  // namespace quarzello
