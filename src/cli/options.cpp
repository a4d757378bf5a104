// Reading the command line's arguments, and --help.
#include "cli/options.h"

#include <QCommandLineParser>
#include <algorithm>
#include <cstring>

#include "core/cardback.h"

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
    {kExitWrongCommandLine,
     "la riga di comando è sbagliata, o chiede il fronte-retro a una stampante che non lo fa."},
    {kExitNotPrintedYet, "consegnato, non ancora stampato (in coda, in attesa, trattenuto)."},
    {kExitMayPrint, "consegnato, poi il servizio di stampa ha taciuto: potrebbe essere stampato."},
};

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
                       "Righe e Colonne facoltative); oppure i contatti di una rubrica in un file "
                       "vCard (2.1, 3.0 o 4.0), riconosciuto da BEGIN:VCARD."),
        QStringLiteral("FILE.csv|FILE.vcf")};
    const QCommandLineOption qr{
        QStringLiteral("qr"),
        QStringLiteral("Con --pdf o --stampa: su ogni biglietto un codice QR con i dati del "
                       "biglietto come contatto (vCard), che il telefono legge in rubrica.")};
    const QCommandLineOption stock{
        QStringLiteral("carta"),
        QStringLiteral("Stampa sulla carta prefustellata indicata, per marca e codice (maiuscole "
                       "e minuscole sono uguali), come la mostra --carte; senza: A4 da tagliare."),
        QStringLiteral("TESTO")};
    const QCommandLineOption stocks{
        QStringLiteral("carte"),
        QStringLiteral("Elenca le carte prefustellate per biglietti da visita installate, una "
                       "per riga.")};
    const QCommandLineOption testSheet{
        QStringLiteral("prova"),
        QStringLiteral("Stampa il foglio di prova al posto dei biglietti: il contorno di ogni "
                       "biglietto e, al centro del foglio, una croce con le scale in millimetri.")};
    const QCommandLineOption offset{
        QStringLiteral("spostamento"),
        QStringLiteral("Con --stampa: sposta tutto il foglio di X mm a destra e Y mm in basso "
                       "(da -10 a 10, per decimi, es. \"1,5;-0,8\"), al posto dello "
                       "spostamento ricordato per la stampante."),
        QStringLiteral("X;Y")};
    const QCommandLineOption back{
        QStringLiteral("retro"),
        QStringLiteral("Stampa anche il retro dei biglietti, come è impostato nella finestra "
                       "(\"Retro…\"): lo stemma del club, le sue righe, il codice QR se è "
                       "sul retro.")};
    const QCommandLineOption emblem{
        QStringLiteral("stemma"),
        QStringLiteral("Sul retro lo stemma del club da questo file (PNG, JPEG o SVG), al posto "
                       "di quello della finestra."),
        QStringLiteral("FILE")};
    const QCommandLineOption backLine{
        QStringLiteral("riga-retro"),
        QStringLiteral("Una riga sul retro, sotto lo stemma (fino a tre volte, nell'ordine: la "
                       "prima in grassetto), al posto di quelle della finestra."),
        QStringLiteral("TESTO")};
    const QCommandLineOption qrOnBack{
        QStringLiteral("qr-retro"),
        QStringLiteral("Con --qr: il codice QR sul retro invece che sul fronte.")};
    const QCommandLineOption twoSided{
        QStringLiteral("fronte-retro"),
        QStringLiteral("Come si stampano i due lati: \"lungo\" o \"corto\", dalla stampante "
                       "stessa, il foglio girato sul lato lungo o corto; \"manuale\", il "
                       "fronte, poi i fogli rimessi nel vassoio e, alla conferma, il retro. "
                       "Senza: come è impostato per la stampante, altrimenti \"lungo\" se "
                       "la stampante lo sa fare, o \"manuale\". Con --pdf il retro è "
                       "disposto per il lato lungo, salvo \"corto\"."),
        QStringLiteral("lungo|corto|manuale")};
    const QCommandLineOption side{
        QStringLiteral("lato"),
        QStringLiteral("Stampa un lato solo di ogni foglio: \"fronte\" o \"retro\" (la stampa "
                       "dei due lati a mano, da uno script)."),
        QStringLiteral("fronte|retro")};
    // In the order --help lists them: what to do first, then what changes it.
    const QList<const QCommandLineOption*> all{
        &help,   &version,  &pdf,        &print,    &evenIfStopped, &reduce, &offset,    &list,
        &rows,   &columns,  &memberList, &qr,       &stock,         &stocks, &testSheet, &back,
        &emblem, &backLine, &qrOnBack,   &twoSided, &side};

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

// True when `typed` is `known` with one letter changed, added, left out, or two swapped.
bool oneSlipFrom(const QString& typed, const QString& known) {
    const qsizetype common =
        std::mismatch(typed.begin(), typed.end(), known.begin(), known.end()).first - typed.begin();
    const QStringView a = QStringView(typed).mid(common), b = QStringView(known).mid(common);
    if (a.isEmpty() && b.isEmpty()) return false;
    if (a.mid(1) == b.mid(1) || a.mid(1) == b || a == b.mid(1)) return true;
    return a.size() >= 2 && b.size() >= 2 && a[0] == b[1] && a[1] == b[0] && a.mid(2) == b.mid(2);
}

CommandLine wrong(const QString& why) {
    CommandLine line;
    line.wrong = why;
    return line;
}

}  // namespace

CommandLine parseCommandLine(const QStringList& arguments) {
    Options options;
    QCommandLineParser& parser = options.parser;
    if (!parser.parse(arguments)) {
        const QStringList unknown = parser.unknownOptionNames();
        if (unknown.isEmpty()) return wrong(parser.errorText());
        const QString typed = unknown.constFirst().left(80);
        QString why =
            QStringLiteral("l'opzione %1%2 non esiste")
                .arg(typed.size() == 1 ? QStringLiteral("-") : QStringLiteral("--"), typed);
        for (const QCommandLineOption* option : options.all)
            if (oneSlipFrom(typed, option->names().constLast()))
                return wrong(why +
                             QStringLiteral(": forse --%1?").arg(option->names().constLast()));
        return wrong(why + QLatin1Char('.'));
    }
    for (const QCommandLineOption* option : options.all) {
        const QString name = QStringLiteral("--") + option->names().constLast();
        const qsizetype times = options.timesGiven(*option);
        if (option == &options.backLine && times > kBackLines)
            return wrong(QStringLiteral("%1 si può indicare al massimo %2 volte.")
                             .arg(name)
                             .arg(kBackLines));
        if (option != &options.backLine && times > 1)
            return wrong(QStringLiteral("l'opzione %1 è indicata più di una volta.").arg(name));
        if (!option->valueName().isEmpty() && parser.values(*option).contains(QString()))
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
    const bool stocks = parser.isSet(options.stocks);
    const int actions = int(pdf) + int(print) + int(list) + int(stocks);
    if (actions == 0)
        return wrong(QStringLiteral(
            "manca che cosa fare: indicare una tra --pdf, --stampa, --stampanti e --carte."));
    if (actions > 1)
        return wrong(
            QStringLiteral("indicare una sola tra --pdf, --stampa, --stampanti e --carte."));
    if (parser.isSet(options.memberList) && !files.isEmpty())
        return wrong(QStringLiteral("--elenco non si può indicare insieme a file dei dati."));
    line.evenIfStopped = parser.isSet(options.evenIfStopped);
    if (line.evenIfStopped && !print)
        return wrong(QStringLiteral("--anche-se-ferma vale solo con --stampa."));
    // A PDF has no margins: it is always the whole sheet at 100 %.
    line.reduce = parser.isSet(options.reduce);
    if (line.reduce && !print) return wrong(QStringLiteral("--riduci vale solo con --stampa."));
    line.qrCode = parser.isSet(options.qr);
    if (line.qrCode && (list || stocks))
        return wrong(QStringLiteral("--qr vale solo con --pdf o --stampa."));
    if (parser.isSet(options.rows)) line.rows = parser.value(options.rows);
    if (parser.isSet(options.columns)) line.columns = parser.value(options.columns);
    line.stock = parser.value(options.stock);
    line.testSheet = parser.isSet(options.testSheet);
    // The test sheet is one sheet, whoever's cards come after it.
    if (line.testSheet && (parser.isSet(options.memberList) || files.size() > 1))
        return wrong(
            QStringLiteral("--prova stampa un foglio solo: non vale con --elenco né con più file "
                           "dei dati."));
    // A PDF is no printer: it is never off, so nothing puts it right.
    if (parser.isSet(options.offset)) {
        if (!print) return wrong(QStringLiteral("--spostamento vale solo con --stampa."));
        line.offset = parser.value(options.offset);
    }
    if ((list || stocks) &&
        (!files.isEmpty() || line.rows || line.columns || parser.isSet(options.memberList) ||
         !line.stock.isEmpty() || line.testSheet))
        return wrong(QStringLiteral("%1 non legge un file dei dati.")
                         .arg(list ? QStringLiteral("--stampanti") : QStringLiteral("--carte")));

    line.back = parser.isSet(options.back);
    line.emblem = parser.value(options.emblem);
    line.backLines = parser.values(options.backLine);
    line.qrOnBack = parser.isSet(options.qrOnBack);
    if (line.qrOnBack && !line.qrCode)
        return wrong(QStringLiteral("--qr-retro vale solo con --qr."));
    if (line.wantsBack() && (list || stocks))
        return wrong(QStringLiteral("il retro vale solo con --pdf o --stampa."));
    if (parser.isSet(options.twoSided)) {
        const QString how = parser.value(options.twoSided);
        if (how == QStringLiteral("lungo"))
            line.twoSided = CommandLine::TwoSided::Long;
        else if (how == QStringLiteral("corto"))
            line.twoSided = CommandLine::TwoSided::Short;
        else if (how == QStringLiteral("manuale"))
            line.twoSided = CommandLine::TwoSided::ByHand;
        else
            return wrong(QStringLiteral("il valore di --fronte-retro è \"%1\": indicare lungo, "
                                        "corto o manuale.")
                             .arg(how.left(80)));
        // A PDF is no printer: nobody turns its sheets.
        if (line.twoSided == CommandLine::TwoSided::ByHand && !print)
            return wrong(QStringLiteral("--fronte-retro manuale vale solo con --stampa."));
    }
    if (parser.isSet(options.side)) {
        const QString which = parser.value(options.side);
        if (which == QStringLiteral("fronte"))
            line.side = CommandLine::Side::Front;
        else if (which == QStringLiteral("retro"))
            line.side = CommandLine::Side::Back;
        else
            return wrong(QStringLiteral("il valore di --lato è \"%1\": indicare fronte o retro.")
                             .arg(which.left(80)));
    }
    if ((parser.isSet(options.twoSided) || parser.isSet(options.side)) && !line.wantsBack())
        return wrong(QStringLiteral("%1 vale solo con il retro: --retro, --stemma, --riga-retro "
                                    "o --qr-retro.")
                         .arg(parser.isSet(options.twoSided) ? QStringLiteral("--fronte-retro")
                                                             : QStringLiteral("--lato")));

    line.action = pdf      ? CommandLine::Action::Pdf
                  : print  ? CommandLine::Action::Print
                  : stocks ? CommandLine::Action::ListStocks
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
        "  quarzello --pdf soci.pdf --elenco soci.csv\n"
        "Un foglio per contatto della rubrica del telefono o della posta (vCard): cognome, nome e\n"
        "titolo da N (o FN), incarico da TITLE o ROLE, indirizzo da ADR (di lavoro, se c'è),\n"
        "telefono, cellulare, e-mail e sito da TEL, EMAIL e URL:\n"
        "  quarzello --pdf soci.pdf --elenco contatti.vcf\n"
        "\nLe carte prefustellate sono quelle dei modelli di etichette installati (pacchetto\n"
        "glabels-data, in /usr/share/libglabels-3.0/templates) e di quelli propri dell'utente\n"
        "(~/.config/libglabels/templates). Dieci biglietti su un foglio Avery C32011-10:\n"
        "  quarzello --stampa Ufficio --carta \"avery c32011-10\"\n"
        "\nIl retro: lo stemma del club e fino a tre righe, uguali su ogni biglietto; il PDF "
        "alterna\nfronte e retro, come lo chiede una tipografia:\n"
        "  quarzello --pdf soci.pdf --elenco soci.csv --stemma stemma.svg \\\n"
        "    --riga-retro \"Camper Club Roma\" --riga-retro \"dal 1987\"\n"
        "Su una stampante che non stampa i due lati da sola, prima i fronti, poi i retri:\n"
        "  quarzello --stampa Ufficio --retro --lato fronte\n"
        "  quarzello --stampa Ufficio --retro --lato retro\n");
    return text;
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

}  // namespace quarzello
