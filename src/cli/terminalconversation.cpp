// The command line's side of a print's conversation.
#include "cli/terminalconversation.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>

#include "cli/terminaltext.h"
#include "core/linebreak.h"
#include "flows/printpages.h"

namespace quarzello {

namespace {

// The shortened-lines question without its question: what will print shortened.
QString shortenedLinesText(const QStringList& lines) {
    return shortenedLinesQuestion(lines).section(CR, 0, int(lines.size()));
}

// How wide standard error's terminal is; 0 when it does not say.
int terminalColumns() {
    winsize size{};
    if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) != 0) return 0;
    return size.ws_col;
}

volatile std::sig_atomic_t interrupted = 0;

void noteInterrupt(int) { interrupted = 1; }

// One line typed on standard input, read while Ctrl+C interrupts the reading rather than the
// program; nothing on Ctrl+C or at the end of the input.
std::optional<QByteArray> typedLine() {
    struct sigaction interrupt {
    }, before{};
    interrupt.sa_handler = noteInterrupt;  // no SA_RESTART: the read returns
    sigemptyset(&interrupt.sa_mask);
    interrupted = 0;
    ::sigaction(SIGINT, &interrupt, &before);
    QByteArray line;
    std::optional<QByteArray> typed;
    for (;;) {
        char c = 0;
        const ssize_t got = ::read(STDIN_FILENO, &c, 1);
        if (got < 0 && errno == EINTR && !interrupted) continue;
        if (got <= 0) break;
        if (c == '\n') {
            typed = line;
            break;
        }
        if (line.size() < 80) line += c;
    }
    ::sigaction(SIGINT, &before, nullptr);
    return typed;
}

}  // namespace

TerminalConversation::TerminalConversation(bool evenIfStopped, bool reduce)
    : evenIfStopped_(evenIfStopped), reduce_(reduce) {
    sinceStart_.start();
}

bool TerminalConversation::printShortened(const QStringList& lines) {
    say(stderr, QStringLiteral("Attenzione: ") + shortenedLinesText(lines));
    return true;
}

bool TerminalConversation::printWithoutQr(const QString& page, const QString& notFit,
                                          const std::function<QString()>& largest) {
    // Asked for on the command line, the code is never left out behind the user's back.
    const QString why = notFit + CR + largest();
    fail(page.isEmpty() ? why : pageRefusedText(page, why));
    return false;
}

void TerminalConversation::pageShortened(const QString& page, const QStringList& lines) {
    QString text = shortenedLinesText(lines);
    if (!text.isEmpty()) text[0] = text[0].toLower();
    say(stderr, QStringLiteral("Attenzione, per %1: ").arg(page) + text);
}

void TerminalConversation::pageDrawn(int drawn, int pages) {
    if (!showingProgress_ && (sinceStart_.elapsed() < 1000 || !::isatty(STDERR_FILENO))) return;
    showingProgress_ = true;
    // A line as wide as the terminal wraps, and each rewrite would then start a new line: the
    // count is made shorter, or cut, to stay within the width.
    QByteArray line = QStringLiteral("Foglio %1 di %2").arg(drawn).arg(pages).toUtf8();
    const int columns = terminalColumns();
    if (columns > 0 && line.size() >= columns) {
        line = QByteArray::number(drawn) + '/' + QByteArray::number(pages);
        if (line.size() >= columns) line.truncate(std::max(columns - 1, 0));
    }
    std::fprintf(stderr, "\r%s", line.constData());
    if (drawn == pages) std::fputc('\n', stderr);
    std::fflush(stderr);
}

MarginReply TerminalConversation::printOutsideMargins(const QString& printer,
                                                      const MarginLoss& loss,
                                                      const PrintableArea& area,
                                                      std::optional<MarginChoice> remembered) {
    MarginChoice choice = reduce_ ? MarginChoice::Reduce : MarginChoice::PrintAsIs;
    if (!reduce_ && remembered) {
        choice = *remembered;
        say(stderr, QStringLiteral("Per la stampante %1 vale la risposta memorizzata nella "
                                   "finestra (\"Non chiedere più per questa stampante\").")
                        .arg(printer));
    }
    say(stderr, choice == MarginChoice::Reduce
                    ? reducedSheetNotice(loss)
                    : QStringLiteral("Attenzione: ") + marginLossText(loss, area) + CR +
                          QStringLiteral("Con --riduci il foglio è stampato al %1 % ed entra "
                                         "tutto.")
                              .arg(loss.factorPercent));
    return {choice, false};
}

bool TerminalConversation::sendToStoppedPrinter(const QString& printer, const QString& reason) {
    if (evenIfStopped_) return true;
    fail(stoppedPrinterText(printer, reason) + CR +
         QStringLiteral("Per inviarlo comunque, aggiungere --anche-se-ferma."));
    return false;
}

bool TerminalConversation::printBacks(const QString& printer, const DuplexSetting& duplex,
                                      int sheets) {
    if (!::isatty(STDIN_FILENO)) {
        say(stderr, QStringLiteral("Non c'è un terminale per rispondere se stampare il retro: "
                                   "il retro non è stampato. Per stamparlo: --lato retro."));
        return false;
    }
    say(stderr, printBacksQuestion(printer, duplex, sheets));
    std::fputs("Invio: stampa il retro; n e Invio, o Ctrl+C: non lo stampa. ", stderr);
    std::fflush(stderr);
    const std::optional<QByteArray> answer = typedLine();
    if (!answer) std::fputc('\n', stderr);
    const QByteArray word = answer ? answer->trimmed().toLower() : QByteArray("n");
    return word.isEmpty() || word == "s" || word == "si" || word == "sì";
}

void TerminalConversation::fail(const QString& text) { say(stderr, text); }

void TerminalConversation::done(const QString& text) { say(stderr, text); }

}  // namespace quarzello
