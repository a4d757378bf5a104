// The command line's options and work.
#include "cli/commandline.h"

#include <unistd.h>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTextStream>
#include <csignal>
#include <cstdio>
#include <cstring>

#include "data/cardfile.h"
#include "data/memberlist.h"
#include "flows/batchprint.h"
#include "flows/datalocation.h"
#include "flows/printflow.h"
#include "platform/marginmemory.h"
#include "flows/servicewaiter.h"
#include "printers/cupsprintersystem.h"

namespace quarzello {

namespace {

// What each exit status means, in the order --help lists them.
struct ExitStatusText {
    int status;
    const char* meaning;
};
constexpr ExitStatusText kExitStatusTexts[] = {
    {kExitDone, "fatto."},
    {kExitFailed, "il lavoro non è riuscito (un file, la griglia, la stampante, la stampa)."},
    {kExitWrongCommandLine, "la riga di comando è sbagliata."},
    {kExitNotPrintedYet, "consegnato, non ancora stampato (in coda, in attesa, trattenuto)."},
    {kExitMayPrint, "consegnato, poi il servizio di stampa ha taciuto: potrebbe essere stampato."},
};

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
            break;
    }
    return kExitFailed;
}

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

// The options, for reading the arguments and for --help alike.
struct Options {
    QCommandLineParser parser;
    const QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Mostra questo aiuto.")};
    const QCommandLineOption version{{QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Mostra la versione del programma.")};
    const QCommandLineOption pdf{
        QStringLiteral("pdf"),
        QStringLiteral("Salva il foglio dei biglietti nel file PDF indicato, senza finestra "
                       "(\"-\": sullo standard output)."),
        QStringLiteral("FILE.pdf")};
    const QCommandLineOption print{
        QStringLiteral("stampa"),
        QStringLiteral("Stampa il foglio dei biglietti sulla stampante indicata (il nome "
                       "esatto, come lo mostra --stampanti)."),
        QStringLiteral("STAMPANTE")};
    const QCommandLineOption evenIfStopped{
        QStringLiteral("anche-se-ferma"),
        QStringLiteral("Con --stampa: invia il lavoro anche se la stampante è ferma.")};
    const QCommandLineOption reduce{
        QStringLiteral("riduci"),
        QStringLiteral("Con --stampa: se i margini della stampante taglierebbero parte del "
                       "foglio, lo riduce quanto basta perché entri tutto (un solo fattore "
                       "per tutti i fogli della stampa).")};
    const QCommandLineOption list{QStringLiteral("stampanti"),
                                  QStringLiteral("Elenca le stampanti installate, una per riga.")};
    const QCommandLineOption rows{
        QStringLiteral("righe"),
        QStringLiteral("Righe per pagina, al posto di quelle dei file o dell'elenco."),
        QStringLiteral("TESTO")};
    const QCommandLineOption columns{
        QStringLiteral("colonne"),
        QStringLiteral("Colonne per pagina, al posto di quelle dei file o dell'elenco."),
        QStringLiteral("TESTO")};
    const QCommandLineOption memberList{
        QStringLiteral("elenco"),
        QStringLiteral("Un foglio per ogni socio dell'elenco, esportato dal foglio di calcolo in "
                       "CSV: la prima riga dà i nomi delle colonne (Titolo, Nome, Cognome, "
                       "Incarico, Indirizzo, CAP, Città, Telefono, Cellulare, E-mail, Sito; "
                       "Righe e Colonne facoltative)."),
        QStringLiteral("FILE.csv")};
    const QList<const QCommandLineOption*> all{&help,   &version, &pdf,  &print,   &evenIfStopped,
                                               &reduce, &list,    &rows, &columns, &memberList};

    Options() {
        parser.setApplicationDescription(
            QStringLiteral("Quarzello del Camperista: stampa un foglio di biglietti da visita."));
        for (const QCommandLineOption* option : all) parser.addOption(*option);
        parser.addPositionalArgument(
            QStringLiteral("FILE_DATI"),
            QStringLiteral("I file dei dati dei biglietti, un foglio ciascuno nell'ordine dato, "
                           "in un solo PDF o in una sola stampa; se mancano, quello che legge la "
                           "finestra."),
            QStringLiteral("[FILE_DATI…]"));
    }

    // How many times the arguments name the option, under any of its names.
    qsizetype timesGiven(const QCommandLineOption& option) const {
        qsizetype times = 0;
        for (const QString& name : parser.optionNames()) times += option.names().contains(name);
        return times;
    }
};

CommandLine wrong(const QString& why) {
    CommandLine line;
    line.wrong = why;
    return line;
}

void say(FILE* stream, const QString& text) {
    QTextStream out(stream);
    out << terminalText(text) << '\n';
}

// Standard output is written at once and checked: a list or a help that did not reach it is a
// failure (a full disk, a reader gone).
Result<void> sayOut(const QString& text) {
    return writeIntoStream(STDOUT_FILENO, QStringLiteral("Lo standard output"), text.toUtf8());
}

int toldFailed(const QString& text) {
    say(stderr, text);
    return kExitFailed;
}

// What a print asks and tells, on the terminal: shortened lines and the printer's margins are
// only warnings (or, with --riduci, the sheet is reduced); a stopped printer is an error unless
// the user said to send all the same.
class TerminalConversation final : public BatchConversation {
  public:
    TerminalConversation(bool evenIfStopped, bool reduce)
        : evenIfStopped_(evenIfStopped), reduce_(reduce) {
        sinceStart_.start();
    }
    bool failed() const { return failed_; }

    bool printShortened(const QStringList& lines) override {
        say(stderr, QStringLiteral("Attenzione: ") + shortenedLinesText(lines));
        return true;
    }
    void pageShortened(const QString& page, const QStringList& lines) override {
        QString text = shortenedLinesText(lines);
        if (!text.isEmpty()) text[0] = text[0].toLower();
        say(stderr, QStringLiteral("Attenzione, per %1: ").arg(page) + text);
    }
    // A count rewritten in place, for a run long enough to need it and a terminal to show it;
    // a file or a pipe gets nothing of it.
    void pageDrawn(int drawn, int pages) override {
        if (!showingProgress_ && (sinceStart_.elapsed() < 1000 || !::isatty(STDERR_FILENO))) return;
        showingProgress_ = true;
        std::fprintf(stderr, "\rFoglio %d di %d", drawn, pages);
        if (drawn == pages) std::fputc('\n', stderr);
        std::fflush(stderr);
    }
    // --riduci first; else what the user answered in the window for this printer, said so.
    MarginReply printOutsideMargins(const QString& printer, const MarginLoss& loss,
                                    const PrintableArea& area,
                                    std::optional<MarginChoice> remembered) override {
        MarginChoice choice = reduce_ ? MarginChoice::Reduce : MarginChoice::PrintAsIs;
        if (!reduce_ && remembered) {
            choice = *remembered;
            say(stderr, QStringLiteral("Per la stampante %1 vale la risposta memorizzata nella "
                                       "finestra (\"Non chiedere più per questa stampante\").")
                            .arg(printer));
        }
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
    // The job's outcome decides the status: a sheet that printed is not a failure because its
    // closing word could not be written.
    void done(const QString& text) override { (void)sayOut(terminalText(text) + '\n'); }

  private:
    static QString shortenedLinesText(const QStringList& lines) {
        return shortenedLinesQuestion(lines).section(QLatin1Char('\r'), 0, lines.size());
    }

    bool evenIfStopped_;
    bool reduce_;
    bool failed_ = false;
    QElapsedTimer sinceStart_;
    bool showingProgress_ = false;
};

QString absolute(const QString& startedIn, const QString& path) {
    return QDir(startedIn).absoluteFilePath(path);
}

QString escapedByte(uchar byte) {
    return QStringLiteral("\\x%1").arg(byte, 2, 16, QLatin1Char('0'));
}

int listPrinters(const ServiceTimings& timings) {
    CupsPrinterSystem printers;
    DirectWaiter waiter(timings.budgetMs);
    const std::optional<Result<PrinterList>> found = waiter.run<Result<PrinterList>>(
        [&printers](Deadline& deadline) { return printers.listPrinters(deadline); });
    if (!*found) return toldFailed(found->error());
    if ((*found)->serviceDown)
        return toldFailed(
            QStringLiteral("Il servizio di stampa non risponde: non è possibile "
                           "sapere quali stampanti sono installate."));
    QString names;
    for (const QString& name : (*found)->names) names += terminalText(name) + '\n';
    if (const Result<void> written = sayOut(names); !written) return toldFailed(written.error());
    return kExitDone;
}

const QString kNothingOut = QStringLiteral("Non è stato scritto né inviato nessun foglio.");

// A file the run reads, and what it is to the user, for the PDF that would take its place.
struct Input {
    QString path;
    QString what;  // "il file dei dati dei biglietti", "l'elenco dei soci"
};

// Where the PDF goes (a file, or standard output as /dev/stdout), or the failure when that is
// one of the files the run reads, whatever name leads there.
Result<QString> pdfTarget(const QString& startedIn, const QString& pdfFile,
                          const QList<Input>& inputs) {
    const bool toStandardOutput = pdfFile == QStringLiteral("-");
    const QString target =
        toStandardOutput ? QStringLiteral("/dev/stdout") : absolute(startedIn, pdfFile);
    for (const Input& input : inputs) {
        if (isSameFile(input.path, target))
            return Failure{QStringLiteral("Il PDF non può essere scritto %1: è %2 %3, che andrebbe "
                                          "perso.")
                               .arg(toStandardOutput ? QStringLiteral("sullo standard output")
                                                     : QStringLiteral("nel file ") + target,
                                    input.what, input.path)};
    }
    return target;
}

int writePdf(const QString& pdfFile, const QString& target, const QByteArray& document) {
    const Result<void> written =
        pdfFile == QStringLiteral("-")
            ? writeIntoStream(STDOUT_FILENO, QStringLiteral("Lo standard output"), document)
            : writeOutputFile(target, document);
    if (!written) return toldFailed(written.error());
    return kExitDone;
}

const QString kCardFileWhat = QStringLiteral("il file dei dati dei biglietti");

// The grid a member's page takes when neither the command line nor the list gives one: the
// default data file's, else 6 rows and 2 columns.
CardRecord defaultGrid(const DataLocation& location, QList<Input>& inputs) {
    CardRecord grid;
    if (!QFileInfo::exists(location.dataFile)) return grid;
    const Result<QByteArray> bytes = readCardFileBytes(location.dataFile);
    if (!bytes) {
        say(stderr, QStringLiteral("Attenzione: ") + bytes.error() + QLatin1Char('\r') +
                        QStringLiteral("Dove l'elenco non dà la griglia, valgono 6 righe e 2 "
                                       "colonne."));
        return grid;
    }
    inputs << Input{location.dataFile, kCardFileWhat};
    const CardRecord read = recordFromLines(cardLinesOf(*bytes), CardRecord{});
    if (!read.rows.isEmpty()) grid.rows = read.rows;
    if (!read.columns.isEmpty()) grid.columns = read.columns;
    return grid;
}

// Several card files, or a member list: every page read before anything is drawn, then one
// PDF or one job.
int runSeveral(const CommandLine& line, const QString& startedIn, const DataLocation& location,
               const ServiceTimings& timings, TerminalConversation& talk) {
    std::vector<SheetPage> pages;
    QList<Input> inputs;
    if (!line.memberList.isEmpty()) {
        const QString listFile = absolute(startedIn, line.memberList);
        inputs << Input{listFile, QStringLiteral("l'elenco dei soci")};
        const Result<MemberList> list = readMemberList(listFile);
        if (!list) return toldFailed(list.error());
        for (const QString& warning : list->warnings) say(stderr, warning);
        const CardRecord fallback = defaultGrid(location, inputs);
        pages.reserve(list->members.size());
        for (const Member& member : list->members) {
            SheetPage page{
                member.record,
                QStringLiteral("la riga %1 dell'elenco (%2)").arg(member.line).arg(member.name())};
            CardRecord& record = page.record;
            record.rows = line.rows               ? *line.rows
                          : record.rows.isEmpty() ? fallback.rows
                                                  : record.rows;
            record.columns = line.columns               ? *line.columns
                             : record.columns.isEmpty() ? fallback.columns
                                                        : record.columns;
            pages.push_back(std::move(page));
        }
    } else {
        for (const QString& given : line.dataFiles) {
            const QString path = absolute(startedIn, given);
            inputs << Input{path, kCardFileWhat};
            const Result<QByteArray> bytes = readCardFileBytes(path);
            if (!bytes) return toldFailed(bytes.error() + QLatin1Char('\r') + kNothingOut);
            // A file's own grid as it stands: an empty one is refused, as for one file.
            SheetPage page{recordFromLines(cardLinesOf(*bytes), CardRecord{}),
                           QStringLiteral("il file ") + path};
            if (line.rows) page.record.rows = *line.rows;
            if (line.columns) page.record.columns = *line.columns;
            pages.push_back(std::move(page));
        }
    }

    if (line.action == CommandLine::Action::Print) {
        CupsPrinterSystem printers;
        SettingsMarginMemory margins;
        DirectWaiter waiter(timings.budgetMs);
        PrintOutcome outcome;
        printPagesOnPrinter(std::move(pages), {line.printer, printers, timings.followMs, &margins},
                            pdfDocuments(), waiter, talk,
                            [&outcome](const PrintOutcome& ended) { outcome = ended; });
        return exitStatusOf(outcome.end);
    }
    const Result<QString> target = pdfTarget(startedIn, line.pdfFile, inputs);
    if (!target) return toldFailed(target.error());
    const std::optional<QByteArray> document = pdfOfPages(pages, *target, pdfDocuments(), talk);
    if (!document) return kExitFailed;
    return writePdf(line.pdfFile, *target, *document);
}

}  // namespace

CommandLine parseCommandLine(const QStringList& arguments) {
    Options options;
    QCommandLineParser& parser = options.parser;
    if (!parser.parse(arguments)) return wrong(parser.errorText());
    for (const QCommandLineOption* option : options.all) {
        const QString name = QStringLiteral("--") + option->names().constLast();
        if (options.timesGiven(*option) > 1)
            return wrong(QStringLiteral("l'opzione %1 è indicata più di una volta.").arg(name));
        if (!option->valueName().isEmpty() && parser.isSet(*option) &&
            parser.value(*option).isEmpty())
            return wrong(QStringLiteral("il valore di %1 è vuoto.").arg(name));
    }
    const QStringList files = parser.positionalArguments();
    if (files.contains(QString()))
        return wrong(QStringLiteral("il nome del file dei dati è vuoto."));

    CommandLine line;
    if (parser.isSet(options.help)) {
        line.action = CommandLine::Action::Help;
        return line;
    }
    if (parser.isSet(options.version)) {
        line.action = CommandLine::Action::Version;
        return line;
    }
    const bool pdf = parser.isSet(options.pdf);
    const bool print = parser.isSet(options.print);
    const bool list = parser.isSet(options.list);
    if (int(pdf) + int(print) + int(list) != 1)
        return wrong(QStringLiteral("indicare una sola tra --pdf, --stampa e --stampanti."));
    if (parser.isSet(options.memberList) && !files.isEmpty())
        return wrong(QStringLiteral("--elenco non si può indicare insieme a file dei dati."));
    line.evenIfStopped = parser.isSet(options.evenIfStopped);
    if (line.evenIfStopped && !print)
        return wrong(QStringLiteral("--anche-se-ferma vale solo con --stampa."));
    // A PDF has no margins: it is always the whole sheet at 100 %.
    line.reduce = parser.isSet(options.reduce);
    if (line.reduce && !print) return wrong(QStringLiteral("--riduci vale solo con --stampa."));
    if (parser.isSet(options.rows)) line.rows = parser.value(options.rows);
    if (parser.isSet(options.columns)) line.columns = parser.value(options.columns);
    if (list && (!files.isEmpty() || line.rows || line.columns || parser.isSet(options.memberList)))
        return wrong(QStringLiteral("--stampanti non legge un file dei dati."));

    line.action = pdf     ? CommandLine::Action::Pdf
                  : print ? CommandLine::Action::Print
                          : CommandLine::Action::ListPrinters;
    line.dataFiles = files;
    line.memberList = parser.value(options.memberList);
    line.pdfFile = parser.value(options.pdf);
    line.printer = parser.value(options.print);
    return line;
}

QString commandLineHelp() {
    Options options;
    QString text = options.parser.helpText() + QStringLiteral("\nStato di uscita:\n");
    for (const ExitStatusText& row : kExitStatusTexts)
        text += QStringLiteral("  %1  %2\n").arg(row.status).arg(QString::fromUtf8(row.meaning));
    text += QStringLiteral(
        "\nUn elenco dei soci (soci.csv), salvato dal foglio di calcolo come CSV; il separatore è\n"
        "\";\", \",\" o una tabulazione, i campi tra virgolette possono contenerlo; Righe e "
        "Colonne\nvuote: quelle del file della finestra, o 6 righe e 2 colonne:\n"
        "  Titolo;Nome;Cognome;Incarico;Città;E-mail;Righe\n"
        "  Dott.;Mario;Rossi;Presidente;Roma;mario.rossi@esempio.it;8\n"
        "  ;Lia;Bassi;\"Tesoriera; soci\";Forlì;;\n"
        "Un foglio per socio, in un solo PDF:\n"
        "  quarzello --pdf soci.pdf --elenco soci.csv\n");
    return text;
}

QString terminalText(const QString& text) {
    QString shown;
    shown.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (c == u'\r') {
            shown += u'\n';
            if (i + 1 < text.size() && text.at(i + 1) == u'\n') ++i;
        } else if (c < 0x20 || (c >= 0x7f && c <= 0x9f)) {
            shown += escapedByte(uchar(c));
        } else {
            shown += QChar(c);
        }
    }
    return shown;
}

std::optional<QString> argumentNotUtf8(const QByteArrayList& arguments) {
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QByteArray& bytes = arguments.at(i);
        if (bytes.isValidUtf8()) continue;
        // Each well-formed character kept, each stray byte written out.
        QString shown;
        for (qsizetype at = 0; at < bytes.size();) {
            const uchar lead = uchar(bytes.at(at));
            const qsizetype length = lead < 0x80 ? 1 : lead >= 0xf0 ? 4 : lead >= 0xe0 ? 3 : 2;
            const QByteArray character = bytes.mid(at, length);
            if (lead >= 0xc0 && character.size() == length && character.isValidUtf8()) {
                shown += QString::fromUtf8(character);
                at += length;
            } else {
                shown += lead < 0x80 ? QString(QChar(lead)) : escapedByte(lead);
                ++at;
            }
        }
        return terminalText(shown);
    }
    return std::nullopt;
}

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

int runCommandLine(const QStringList& arguments, const QByteArrayList& rawArguments,
                   const QString& startedIn, const DataLocation& location,
                   const ServiceTimings& timings) {
    // A reader that goes away is told as a failed write, not by a silent death.
    std::signal(SIGPIPE, SIG_IGN);
    auto refuse = [](const QString& why) {
        say(stderr, QStringLiteral("quarzello: ") + why);
        say(stderr, QStringLiteral("Per l'aiuto: quarzello --help"));
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
        case CommandLine::Action::Pdf:
        case CommandLine::Action::Print:
            break;
    }

    TerminalConversation talk(line.evenIfStopped, line.reduce);
    if (!line.memberList.isEmpty() || line.dataFiles.size() > 1)
        return runSeveral(line, startedIn, location, timings, talk);

    const QString cardFile = line.dataFiles.isEmpty()
                                 ? location.dataFile
                                 : absolute(startedIn, line.dataFiles.constFirst());
    const Result<QByteArray> bytes = readCardFileBytes(cardFile);
    if (!bytes) return toldFailed(bytes.error());
    CardRecord record = recordFromLines(cardLinesOf(*bytes), CardRecord{});
    if (line.rows) record.rows = *line.rows;
    if (line.columns) record.columns = *line.columns;

    if (line.action == CommandLine::Action::Print) {
        CupsPrinterSystem printers;
        SettingsMarginMemory margins;
        DirectWaiter waiter(timings.budgetMs);
        PrintOutcome outcome;
        printOnPrinter({record, line.printer, printers, pdfDocuments(), timings.followMs, &margins},
                       waiter, talk, [&outcome](const PrintOutcome& ended) { outcome = ended; });
        return exitStatusOf(outcome.end);
    }

    // The PDF never takes the place of the data it is made from, whatever name leads there.
    const Result<QString> target =
        pdfTarget(startedIn, line.pdfFile,
                  {Input{cardFile, kCardFileWhat}, Input{location.dataFile, kCardFileWhat}});
    if (!target) return toldFailed(target.error());
    const std::optional<QByteArray> document = pdfOfSheet(record, *target, pdfDocuments(), talk);
    if (!document) return kExitFailed;
    return writePdf(line.pdfFile, *target, *document);
}

}  // namespace quarzello
