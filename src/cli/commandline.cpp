// The command line's options and work. Exit status: 0 done, 1 the work failed (file, grid,
// printer, job), 2 a wrong command line.
#include "cli/commandline.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QTextStream>
#include <cstring>

#include "data/cardfile.h"
#include "flows/datalocation.h"
#include "flows/printflow.h"
#include "flows/servicewaiter.h"
#include "platform/qtprompts.h"
#include "printers/cupsprintersystem.h"

namespace quarzello {

namespace {

constexpr int kDone = 0;
constexpr int kFailed = 1;
constexpr int kWrongCommandLine = 2;

// Qt's own options, which it takes for itself; those that are followed by a value first.
const char* const kQtOptionsWithValue[] = {
    "-platform",     "-platformpluginpath", "-platformtheme", "-plugin",     "-qwindowgeometry",
    "-qwindowicon",  "-qwindowtitle",       "-style",         "-stylesheet", "-session",
    "-display",      "-geometry",           "-name",          "-title",      "-visual",
    "-qmljsdebugger"};
const char* const kQtOptions[] = {"-reverse", "-widgetcount", "-nograb", "-dograb", "-sync"};

template <size_t N>
bool isOneOf(const char* argument, const char* const (&names)[N]) {
    for (const char* name : names)
        if (std::strcmp(argument, name) == 0) return true;
    return false;
}

void say(FILE* stream, const QString& text) {
    QTextStream out(stream);
    out << QtPrompts::displayText(text) << '\n';
}

// What a print asks and tells, on the terminal: shortened lines are only a warning; a stopped
// printer is an error unless the user said to send all the same.
class TerminalConversation final : public PrintConversation {
  public:
    explicit TerminalConversation(bool evenIfStopped) : evenIfStopped_(evenIfStopped) {}
    bool failed() const { return failed_; }

    bool printShortened(const QStringList& lines) override {
        say(stderr, QStringLiteral("Attenzione: ") +
                        shortenedLinesQuestion(lines).section(QLatin1Char('\r'), 0, lines.size()));
        return true;
    }
    MarginReply printOutsideMargins(const QString&, const MarginLoss& loss,
                                    const PrintableArea& area,
                                    std::optional<MarginChoice> remembered) override {
        const MarginChoice choice = remembered.value_or(MarginChoice::PrintAsIs);
        say(stderr, choice == MarginChoice::Reduce ? reducedSheetNotice(loss)
                                                   : marginLossWarning(loss, area));
        return {choice, false};
    }
    bool sendToStoppedPrinter(const QString& printer, const QString& reason) override {
        if (evenIfStopped_) return true;
        fail(stoppedPrinterText(printer, reason) + QLatin1Char('\r') +
             QStringLiteral("Per inviarlo comunque, aggiungere --anche-se-ferma."));
        return false;
    }
    void fail(const QString& text) override {
        failed_ = true;
        say(stderr, text);
    }
    void done(const QString& text) override { say(stdout, text); }

  private:
    bool evenIfStopped_;
    bool failed_ = false;
};

QString absolute(const QString& startedIn, const QString& path) {
    return QDir(startedIn).absoluteFilePath(path);
}

}  // namespace

bool wantsCommandLine(int argc, char* argv[]) {
    // Anything but Qt's own options is for the command line, if only to be told it is wrong.
    for (int i = 1; i < argc; ++i) {
        if (isOneOf(argv[i], kQtOptionsWithValue)) {
            ++i;
            continue;
        }
        if (!isOneOf(argv[i], kQtOptions)) return true;
    }
    return false;
}

int runCommandLine(const QStringList& arguments, const QString& startedIn,
                   const DataLocation& location, const ServiceTimings& timings) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Quarzello del Camperista: stampa un foglio di biglietti da visita."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Mostra questo aiuto."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Mostra la versione del programma."));
    const QCommandLineOption pdf(
        QStringLiteral("pdf"),
        QStringLiteral("Salva il foglio dei biglietti nel file PDF indicato, senza finestra."),
        QStringLiteral("FILE.pdf"));
    const QCommandLineOption print(
        QStringLiteral("stampa"),
        QStringLiteral("Stampa il foglio dei biglietti sulla stampante indicata (il nome "
                       "esatto, come lo mostra --stampanti)."),
        QStringLiteral("STAMPANTE"));
    const QCommandLineOption evenIfStopped(
        QStringLiteral("anche-se-ferma"),
        QStringLiteral("Con --stampa: invia il lavoro anche se la stampante è ferma."));
    const QCommandLineOption list(QStringLiteral("stampanti"),
                                  QStringLiteral("Elenca le stampanti installate, una per riga."));
    const QCommandLineOption rows(QStringLiteral("righe"),
                                  QStringLiteral("Righe per pagina, al posto di quelle del file."),
                                  QStringLiteral("TESTO"));
    const QCommandLineOption columns(
        QStringLiteral("colonne"),
        QStringLiteral("Colonne per pagina, al posto di quelle del file."),
        QStringLiteral("TESTO"));
    parser.addOptions({help, version, pdf, print, evenIfStopped, list, rows, columns});
    parser.addPositionalArgument(
        QStringLiteral("FILE_DATI"),
        QStringLiteral("Il file dei dati dei biglietti; se manca, quello che legge la finestra."),
        QStringLiteral("[FILE_DATI]"));

    auto wrong = [](const QString& why) {
        say(stderr, QStringLiteral("quarzello: ") + why);
        say(stderr, QStringLiteral("Per l'aiuto: quarzello --help"));
        return kWrongCommandLine;
    };
    if (!parser.parse(arguments)) return wrong(parser.errorText());
    if (parser.isSet(help)) {
        QTextStream(stdout) << parser.helpText();
        return kDone;
    }
    if (parser.isSet(version)) {
        say(stdout, QCoreApplication::applicationName() + QLatin1Char(' ') +
                        QCoreApplication::applicationVersion());
        return kDone;
    }
    const int actions = int(parser.isSet(pdf)) + int(parser.isSet(print)) + int(parser.isSet(list));
    if (actions != 1)
        return wrong(QStringLiteral("indicare una sola tra --pdf, --stampa e --stampanti."));
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) return wrong(QStringLiteral("si può indicare un solo file dei dati."));
    if (parser.isSet(evenIfStopped) && !parser.isSet(print))
        return wrong(QStringLiteral("--anche-se-ferma vale solo con --stampa."));

    if (parser.isSet(list)) {
        if (!files.isEmpty() || parser.isSet(rows) || parser.isSet(columns))
            return wrong(QStringLiteral("--stampanti non legge un file dei dati."));
        CupsPrinterSystem printers;
        DirectWaiter waiter(timings.budgetMs);
        const std::optional<Result<PrinterList>> found = waiter.run<Result<PrinterList>>(
            [&printers](Deadline& deadline) { return printers.listPrinters(deadline); });
        if (!*found) {
            say(stderr, found->error());
            return kFailed;
        }
        if ((*found)->serviceDown) {
            say(stderr, QStringLiteral("Il servizio di stampa non risponde: non è possibile "
                                       "sapere quali stampanti sono installate."));
            return kFailed;
        }
        for (const QString& name : (*found)->names) say(stdout, name);
        return kDone;
    }

    const QString cardFile =
        files.isEmpty() ? location.dataFile : absolute(startedIn, files.first());
    const Result<QByteArray> bytes = readCardFileBytes(cardFile);
    if (!bytes) {
        say(stderr, bytes.error());
        return kFailed;
    }
    // A card data file is text: a file given by mistake (a picture, a program) is not read.
    if (bytes->contains('\0')) {
        say(stderr, QStringLiteral("Il file %1 non è un file di dati dei biglietti: contiene dati "
                                   "binari.")
                        .arg(cardFile));
        return kFailed;
    }
    const QStringList lines = cardLinesOf(*bytes);
    CardRecord record = recordFromLines(lines, CardRecord{});
    if (parser.isSet(rows)) record.rows = parser.value(rows);
    if (parser.isSet(columns)) record.columns = parser.value(columns);

    TerminalConversation talk(parser.isSet(evenIfStopped));
    if (parser.isSet(print)) {
        CupsPrinterSystem printers;
        DirectWaiter waiter(timings.budgetMs);
        printOnPrinter({record, parser.value(print), printers, pdfDocuments(), timings.followMs},
                       waiter, talk, [](const PrintOutcome&) {});
        return talk.failed() ? kFailed : kDone;
    }

    const QString target = absolute(startedIn, parser.value(pdf));
    const std::optional<QByteArray> document = pdfOfSheet(record, target, pdfDocuments(), talk);
    if (!document) return kFailed;
    if (const Result<void> written = writeFileAtomically(target, *document); !written) {
        say(stderr, written.error());
        return kFailed;
    }
    return kDone;
}

}  // namespace quarzello
