// The print's questions and words as message boxes over the window.
#include "window/windowconversation.h"

#include <QWidget>

#include "flows/cardfilecommands.h"
#include "platform/prompts.h"

namespace quarzello {

bool WindowConversation::printShortened(const QStringList& lines) {
    return !closing_ && prompts_.askYesNo(shortenedLinesQuestion(lines), PromptAnswer::Yes);
}

MarginReply WindowConversation::printOutsideMargins(const QString&, const MarginLoss& loss,
                                                    const PrintableArea& area,
                                                    std::optional<MarginChoice> remembered) {
    if (closing_) return {MarginChoice::Cancel, false};
    if (remembered) return {*remembered, false};
    return prompts_.askMargins(marginLossQuestion(loss, area), loss.factorPercent);
}

bool WindowConversation::printWithoutQr(const QString&, const QString& notFit,
                                        const std::function<QString()>&) {
    return !closing_ && prompts_.askYesNo(notFit + QStringLiteral(" Stampare senza codice QR?"),
                                          PromptAnswer::Yes);
}

bool WindowConversation::sendToStoppedPrinter(const QString& printer, const QString& reason) {
    return !closing_ && prompts_.askYesNo(twoParagraphs(stoppedPrinterText(printer, reason),
                                                        QStringLiteral("Inviarlo comunque?")),
                                          PromptAnswer::No);
}

bool WindowConversation::printBacks(const QString& printer, const DuplexSetting& duplex,
                                    int sheets) {
    return !closing_ &&
           prompts_.askYesNo(printBacksQuestion(printer, duplex, sheets), PromptAnswer::Yes);
}

void WindowConversation::beforeDrawing() {
    // The window is painted again at once where the questions' boxes covered it, before the
    // sheet is drawn; repaint() paints without running other events, so no command can slip in
    // halfway through a print.
    window_.repaint();
}

void WindowConversation::fail(const QString& text) {
    if (!closing_) prompts_.warn(text);
}

void WindowConversation::done(const QString& text) {
    if (!closing_)
        prompts_.message(
            {kPrintDoneTitle, text, PromptButtons::Ok, PromptIcon::Information, PromptAnswer::Ok});
}

}  // namespace quarzello
