// The command line's run: the arguments checked, the pages read, then one PDF or one job.
#include "cli/commandline.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <csignal>

#include "cli/terminalconversation.h"
#include "cli/terminaltext.h"
#include "data/cardfile.h"
#include "data/outputfile.h"
#include "data/stockcatalogue.h"
#include "flows/pagesources.h"
#include "flows/printpages.h"
#include "flows/servicewaiter.h"
#include "platform/offsetmemory.h"
#include "platform/settingslocation.h"
#include "platform/settingsstore.h"
#include "print/backside.h"
#include "print/gridtext.h"
#include "printers/cupsprintersystem.h"
#include "printers/printermessages.h"

namespace quarzello {

namespace {

// A print's end as the exit status says it.
int exitStatusOf(PrintEnd end) {
    switch (end) {
        case PrintEnd::Printed:
            return kExitDone;
        case PrintEnd::Pending:
            return kExitNotPrintedYet;
        case PrintEnd::Unknown:
            return kExitMayPrint;
        case PrintEnd::NotSent:
        case PrintEnd::Failed:
        case PrintEnd::FrontsOnly:
            break;
    }
    return kExitFailed;
}

int toldFailed(const QString& text) {
    say(stderr, text);
    return kExitFailed;
}

QString absolute(const QString& startedIn, const QString& path) {
    return QDir(startedIn).absoluteFilePath(path);
}

int listPrinters(const ServiceTimings& timings) {
    CupsPrinterSystem printers;
    DirectWaiter waiter(timings.budgetMs);
    // No answer at all: the wait ran out.
    const std::optional<Result<PrinterList>> found = waiter.run<Result<PrinterList>>(
        [&printers](Deadline& deadline) { return printers.listPrinters(deadline); });
    if (!found) return toldFailed(printerListDownText());
    if (!*found) return toldFailed(found->error());
    QString names;
    for (const QString& name : (*found)->names) names += terminalText(name) + '\n';
    if (const Result<void> written = sayOut(names); !written) return toldFailed(written.error());
    return kExitDone;
}

// What to tell when there is no product at all to choose from.
QString noStocksText() {
    return QStringLiteral(
        "Non è installata nessuna carta prefustellata per biglietti da visita: "
        "si può stampare solo su A4 da tagliare. Per avere le carte dei "
        "produttori: apt install glabels-data");
}

int listStocks() {
    // Every template left out is told here, and only here: a print on one product is not about
    // the others.
    const StockCatalogue catalogue = readStockCatalogue(stockFolders());
    for (const QString& warning : catalogue.warnings) say(stderr, warning);
    if (catalogue.stocks.empty()) say(stderr, noStocksText());
    QString lines;
    for (const CardStock& stock : catalogue.stocks) lines += terminalText(stockLabel(stock)) + '\n';
    if (const Result<void> written = sayOut(lines); !written) return toldFailed(written.error());
    return kExitDone;
}

// The product the command line names, read from the catalogue; or why the line is wrong.
Result<SheetOptions> sheetOptionsOf(const CommandLine& line) {
    SheetOptions options;
    options.testSheet = line.testSheet;
    options.qrCode = line.qrCode;
    if (line.stock.isEmpty()) return options;
    const StockCatalogue catalogue = readStockCatalogue(stockFolders());
    if (const CardStock* stock = findStock(catalogue, line.stock)) {
        options.stock = std::make_shared<const CardStock>(*stock);
        if (line.rows || line.columns)
            say(stderr, QStringLiteral("Su %1 le righe e le colonne sono quelle della carta: "
                                       "--righe e --colonne non sono usate.")
                            .arg(stock->name()));
        return options;
    }
    if (const QString why = whyLeftOut(catalogue, line.stock); !why.isEmpty()) return Failure{why};
    if (catalogue.stocks.empty())
        return Failure{QStringLiteral("la carta \"%1\" non è installata. %2")
                           .arg(terminalText(line.stock), noStocksText())};
    return Failure{QStringLiteral("la carta \"%1\" non è installata; le più simili: %2 (tutte: "
                                  "quarzello --carte).")
                       .arg(terminalText(line.stock),
                            closestStocks(catalogue, line.stock).join(QStringLiteral(", ")))};
}

// The pages into a PDF file, or onto standard output.
int writePdf(const CommandLine& line, const QString& startedIn, const AssembledPages& assembled,
             const PageRun& run, PrintConversation& talk) {
    const bool toStandardOutput = line.pdfFile == QStringLiteral("-");
    const Result<QString> target =
        outputTarget(absolute(startedIn, line.pdfFile), toStandardOutput, assembled.inputs);
    if (!target) return toldFailed(target.error());
    const std::optional<QByteArray> document = pdfOfPages(run, *target, pdfDocuments(), talk);
    if (!document) return kExitFailed;
    const Result<void> written =
        toStandardOutput
            ? writeIntoStream(STDOUT_FILENO, QStringLiteral("Lo standard output"), *document)
            : writeOutputFile(*target, *document);
    if (!written) return toldFailed(written.error());
    return kExitDone;
}

// The back the options ask for: the window's (--retro), with what the command line sets in its
// place; its emblem read and checked. A failure names the file, or says nothing is set.
Result<std::shared_ptr<const BackContent>> backOf(const CommandLine& line, const QString& startedIn,
                                                  SettingsStore* settings) {
    CardBack back = line.back && settings ? settings->back() : CardBack{};
    if (!line.emblem.isEmpty()) back.emblem = absolute(startedIn, line.emblem);
    if (!line.backLines.isEmpty()) back.lines = line.backLines;
    if (line.qrOnBack) back.qrOnBack = true;
    const TurnEdge edge =
        line.twoSided == CommandLine::TwoSided::Short ? TurnEdge::Short : TurnEdge::Long;
    Result<std::shared_ptr<const BackContent>> content =
        backContent(back, line.qrCode, edge, PrinterOffset{});
    if (content && !*content)
        return Failure{QStringLiteral(
            "Il retro dei biglietti non ha niente da stampare: impostarlo nella finestra "
            "(\"Retro…\"), oppure indicare --stemma o --riga-retro.")};
    return content;
}

// How the printer prints both sides: as the command line says, else as remembered for the
// printer, else by the printer on the long edge where it can and by hand where it cannot.
void setTwoSided(JobRequest& request, const CommandLine& line, SettingsStore& settings) {
    const std::optional<DuplexSetting> remembered = settings.duplex(line.printer);
    switch (line.twoSided) {
        case CommandLine::TwoSided::Long:
        case CommandLine::TwoSided::Short:
            request.duplex.automatic = true;
            request.duplex.edge =
                line.twoSided == CommandLine::TwoSided::Short ? TurnEdge::Short : TurnEdge::Long;
            break;
        case CommandLine::TwoSided::ByHand:
            if (remembered) request.duplex = *remembered;
            request.duplex.automatic = false;
            break;
        case CommandLine::TwoSided::Default:
            request.duplex = remembered.value_or(DuplexSetting{true, TurnEdge::Long, false});
            request.byHandWhenOneSided = !remembered;
            break;
    }
    request.backOffset = settings.backOffset(line.printer).offset;
}

int printOrWrite(const CommandLine& line, const QString& startedIn, const DataLocation& location,
                 const ServiceTimings& timings, SheetOptions options) {
    // The settings are read for a printer, or for the window's back.
    std::optional<SettingsStore> settings;
    if (line.action == CommandLine::Action::Print || line.back)
        settings.emplace(settingsFilePath());
    // The emblem is read before any page: a picture that cannot be used stops everything.
    if (line.wantsBack()) {
        Result<std::shared_ptr<const BackContent>> back =
            backOf(line, startedIn, settings ? &*settings : nullptr);
        if (settings)
            for (const QString& warning : settings->takeWarnings()) say(stderr, warning);
        if (!back) return toldFailed(back.error());
        options.back = std::move(*back);
    }

    PageSources sources;
    for (const QString& given : line.dataFiles) sources.cardFiles << absolute(startedIn, given);
    if (!line.memberList.isEmpty()) sources.memberList = absolute(startedIn, line.memberList);
    sources.testSheet = line.testSheet;
    sources.onStock = options.stock != nullptr;
    sources.rows = line.rows;
    sources.columns = line.columns;
    Result<AssembledPages> assembled = assemblePages(sources, location.dataFile);
    if (!assembled) return toldFailed(assembled.error());
    for (const QString& warning : assembled->warnings) say(stderr, warning);

    TerminalConversation talk(line.evenIfStopped, line.reduce);
    std::optional<PageRun> run = readPageRun(std::move(assembled.value().pages), talk, options);
    if (!run) return kExitFailed;
    run->sides = line.side == CommandLine::Side::Front  ? SheetSides::Front
                 : line.side == CommandLine::Side::Back ? SheetSides::Back
                                                        : SheetSides::Both;
    if (line.action == CommandLine::Action::Pdf)
        return writePdf(line, startedIn, *assembled, *run, talk);

    // Given on the command line (checked before anything was read), or the printer's own.
    const PrinterOffset offset =
        line.offset ? *readOffset(*line.offset) : settings->offset(line.printer).offset;
    CupsPrinterSystem printers;
    JobRequest request{line.printer, printers, timings.followMs, &*settings, offset};
    if (options.back) setTwoSided(request, line, *settings);
    for (const QString& warning : settings->takeWarnings()) say(stderr, warning);
    DirectWaiter waiter(timings.budgetMs);
    PrintOutcome outcome;
    printPagesOnPrinter(std::move(*run), std::move(request), pdfDocuments(), waiter, talk,
                        [&outcome](const PrintOutcome& ended) { outcome = ended; });
    // Asked of a printer that cannot: the command line asked for what cannot be.
    if (outcome.oneSidedPrinter) return kExitWrongCommandLine;
    return exitStatusOf(outcome.end);
}

}  // namespace

int runCommandLine(const QStringList& arguments, const QByteArrayList& rawArguments,
                   const QString& startedIn, const DataLocation& location,
                   const ServiceTimings& timings) {
    // A reader that goes away is told as a failed write, not by a silent death.
    std::signal(SIGPIPE, SIG_IGN);
    auto refuse = [](const QString& why) {
        say(stderr, why + QChar(13) + QStringLiteral("Per l'aiuto: quarzello --help"));
        return kExitWrongCommandLine;
    };
    // Qt would turn such bytes into other characters, and so into another file's name.
    if (const std::optional<QString> bad = argumentNotUtf8(rawArguments))
        return refuse(QStringLiteral("l'argomento %1 non è un testo UTF-8: nessun file con quel "
                                     "nome può essere usato.")
                          .arg(*bad));
    const CommandLine line = parseCommandLine(arguments);
    switch (line.action) {
        case CommandLine::Action::Wrong:
            return refuse(line.wrong);
        case CommandLine::Action::Help:
            if (const Result<void> written = sayOut(commandLineHelp()); !written)
                return toldFailed(written.error());
            return kExitDone;
        case CommandLine::Action::Version:
            if (const Result<void> written =
                    sayOut(QCoreApplication::applicationName() + QLatin1Char(' ') +
                           QCoreApplication::applicationVersion() + QLatin1Char('\n'));
                !written)
                return toldFailed(written.error());
            return kExitDone;
        case CommandLine::Action::ListPrinters:
            return listPrinters(timings);
        case CommandLine::Action::ListStocks:
            return listStocks();
        case CommandLine::Action::Pdf:
        case CommandLine::Action::Print:
            break;
    }
    if (line.offset && !readOffset(*line.offset))
        return refuse(QStringLiteral("lo spostamento \"%1\" non è valido: due numeri in "
                                     "millimetri da -10 a 10, per decimi, separati da un punto e "
                                     "virgola, per esempio \"1,5;-0,8\".")
                          .arg(terminalText(*line.offset)));
    // A grid that cannot print is a wrong command line, as a wrong offset is, product or not.
    if (line.rows || line.columns)
        if (const Result<Grid> grid = readGrid(line.rows.value_or(QStringLiteral("1")),
                                               line.columns.value_or(QStringLiteral("1")));
            !grid)
            return refuse(grid.error());
    // An unknown product is a wrong command line: nothing is read or printed.
    const Result<SheetOptions> options = sheetOptionsOf(line);
    if (!options) return refuse(options.error());
    return printOrWrite(line, startedIn, location, timings, *options);
}

}  // namespace quarzello
