// How a print asks and tells in the window: message boxes over it, and nothing at all once the
// window is closing.
#pragma once

#include "flows/printflow.h"

class QWidget;

namespace quarzello {

class Prompts;

class WindowConversation final : public PrintConversation {
  public:
    WindowConversation(Prompts& prompts, QWidget& window, const bool& closing)
        : prompts_(prompts), window_(window), closing_(closing) {}

    bool printShortened(const QStringList& lines) override;
    // A remembered answer is followed without a word.
    MarginReply printOutsideMargins(const QString& printer, const MarginLoss& loss,
                                    const PrintableArea& area,
                                    std::optional<MarginChoice> remembered) override;
    bool sendToStoppedPrinter(const QString& printer, const QString& reason) override;
    bool printWithoutQr(const QString& page, const QString& notFit,
                        const std::function<QString()>& largest) override;
    bool printBacks(const QString& printer, const DuplexSetting& duplex, int sheets) override;
    // The window is repainted before the sheet is drawn, as it always was.
    void beforeDrawing() override;
    void fail(const QString& text) override;
    void done(const QString& text) override;

  private:
    Prompts& prompts_;
    QWidget& window_;
    const bool& closing_;
};

}  // namespace quarzello
