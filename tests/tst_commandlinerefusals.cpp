// The command line's wrong input and odd places, as the real program run as a process: every
// refusal told with the right exit status and nothing half written, devices and pipes written
// into, standard output that cannot be written, names that are not UTF-8, no display.
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

#include <QDir>
#include <QTest>
#include <filesystem>

#include "commandlinefixture.h"

using namespace quarzello;
using datafiles::readBytes;
using datafiles::writeBytes;

class CommandLineRefusalsTest : public CommandLineFixture {
    Q_OBJECT

  private slots:
    void refusals_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("told");
        const QString card = "socio.qcf";
        QTest::newRow("grid refused") << QStringList{"--pdf", "x.pdf", card, "--righe", "20"} << 2
                                      << "Righe per pagina: il valore \"20\" non è valido.\n";
        const QStringList product{"--carta", "avery c32011-10"};
        QTest::newRow("grid refused on a product too")
            << QStringList{"--pdf", "x.pdf", card, "--colonne", "0"} + product << 2
            << "Colonne per pagina: il valore \"0\" non è valido.\n";
        // A run that goes on (status 0) says what it did not do as asked.
        QTest::newRow("test sheet, no card data")
            << QStringList{"--pdf", "/dev/null", "--prova"} + product << 0 << QString();
        QTest::newRow("a grid given for a product")
            << QStringList{"--pdf", "/dev/null", card, "--righe", "3"} + product << 0
            << "quarzello: Su Avery C32011-10 le righe e le colonne sono quelle della carta";
        QTest::newRow("a member with nothing to print")
            << QStringList{"--pdf", "/dev/null", "--elenco", "vuoti.csv"} + product << 0
            << "quarzello: La riga 3 dell'elenco non ha nessun dato da stampare: il suo foglio è "
               "saltato.\n";
        QTest::newRow("nothing to print")
            << QStringList{"--pdf", "x.pdf", "vuoto.qcf"} + product << 1
            << "quarzello: Tutti i campi sono vuoti: non c'è niente da stampare.\n";
        QTest::newRow("control bytes from the file")
            << QStringList{"--pdf", "x.pdf", "titolo.qcf"} << 1
            << "Righe per pagina: il valore \"\\x1b]0;X\\x07\\x1b[2J\\x9d\" non è valido.\n";
        QTest::newRow("binary")
            << QStringList{"--pdf", "x.pdf", "programma"} << 1
            << "Il file " + path("programma") +
                   " non è un file di dati dei biglietti: contiene dati binari.";
        const QString nothingOut = "\nNon è stato scritto né inviato nessun foglio.\n";
        QTest::newRow("several files, one missing")
            << QStringList{"--pdf", "x.pdf", card, "manca.qcf"} << 1
            << "Il file " + path("manca.qcf") + " non esiste." + nothingOut;
        QTest::newRow("several files, a grid refused")
            << QStringList{"--stampa", "Alfa", card, "titolo.qcf"} << 1
            << "Per il file " + path("titolo.qcf") +
                   ":\nRighe per pagina: il valore \"\\x1b]0;X\\x07\\x1b[2J\\x9d\" non è valido.\n"
                   "Indicare un numero intero da 1 a 19." +
                   nothingOut;
        QTest::newRow("PDF onto the member list")
            << QStringList{"--pdf", "soci.csv", "--elenco", "soci.csv"} << 1
            << "Il PDF non può essere scritto nel file " + path("soci.csv") +
                   ": è l'elenco dei soci " + path("soci.csv") + ", che andrebbe perso.";
        QTest::newRow("member list on a pipe")
            << QStringList{"--pdf", "x.pdf", "--elenco", "tubo"} << 1
            << "Il file " + path("tubo") +
                   " non è un elenco dei soci: è un file speciale del sistema.";
        QTest::newRow("PDF in a missing folder")
            << QStringList{"--pdf", "manca/x.pdf", card} << 1 << "la cartella";
        QTest::newRow("PDF onto the card file")
            << QStringList{"--pdf", card, card} << 1
            << "Il PDF non può essere scritto nel file " + path(card) +
                   ": è il file dei dati dei biglietti " + path(card) + ", che andrebbe perso.";
        QTest::newRow("PDF onto a link to the card file")
            << QStringList{"--pdf", "link.pdf", card} << 1
            << "è il file dei dati dei biglietti " + path(card) + ", che andrebbe perso.";
        QTest::newRow("full device")
            << QStringList{"--pdf", "pieno", card} << 1
            << "Il file " + path("pieno") + " non può essere scritto: il disco è pieno.";
        QTest::newRow("pipe nobody reads")
            << QStringList{"--pdf", "tubo", card} << 1
            << "Il file " + path("tubo") +
                   " non può essere scritto: nessun programma lo sta leggendo.";
        QTest::newRow("socket") << QStringList{"--pdf", "presa", card} << 1
                                << "Il file " + path("presa") +
                                       " non può essere scritto: è un file speciale del sistema.";
        QTest::newRow("printer in other case")
            << QStringList{"--stampa", "alfa", card} << 1 << "La stampante alfa non esiste";
        QTest::newRow("unknown card stock")
            << QStringList{"--pdf", "x.pdf", card, "--carta", "avery c32011"} << 2
            << "la carta \"avery c32011\" non è installata; le più simili: Avery C32015, Avery "
               "32015, "
               "Avery C32011-10";
        QTest::newRow("offset on a PDF")
            << QStringList{"--pdf", "x.pdf", card, "--spostamento", "1;1"} << 2
            << "--spostamento vale solo con --stampa.";
        QTest::newRow("offset out of range")
            << QStringList{"--stampa", "Alfa", card, "--spostamento", "10,5;0"} << 2
            << "lo spostamento \"10,5;0\" non è valido";
        QTest::newRow("wrong command line")
            << QStringList{"--pdf", "x.pdf", "--pdf", "y.pdf", card} << 2
            << "quarzello: l'opzione --pdf è indicata più di una volta.\nPer l'aiuto: quarzello "
               "--help\n";
    }
    void refusals() {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QString, told);
        QVERIFY(writeBytes(path("programma"), QByteArray("\x7f"
                                                         "ELF\x02\x01\x01\0\0\r\n6\r\n2",
                                                         15)));
        QVERIFY(writeBytes(path("titolo.qcf"),
                           "\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n"
                           "\x1b]0;X\a\x1b[2J\x9d\r\n2\r\n"));
        QVERIFY(writeBytes(path("vuoto.qcf"), encodeCardFile(CardRecord{})));
        QVERIFY(writeBytes(path("vuoti.csv"), "Titolo;Nome;Righe\nDott.;Ugo;5\n;;8\nIng.;Lia;3\n"));
        QFile::link(card_, path("link.pdf"));
        ::mkfifo(QFile::encodeName(path("tubo")).constData(), 0600);
        // A device of the test's own (as /dev/full), so that a fault replaces nothing of the
        // system's.
        if (::mknod(QFile::encodeName(path("pieno")).constData(), S_IFCHR | 0600, makedev(1, 7)) !=
                0 &&
            errno != EEXIST && QTest::currentDataTag() == QLatin1String("full device"))
            QSKIP("Making a device node needs root.");
        sockaddr_un socket{AF_UNIX, {}};
        qstrncpy(socket.sun_path, QFile::encodeName(path("presa")).constData(),
                 sizeof socket.sun_path);
        const int listening = ::socket(AF_UNIX, SOCK_STREAM, 0);
        ::bind(listening, reinterpret_cast<sockaddr*>(&socket), sizeof socket);
        const QByteArray cardBytes = readBytes(card_);
        const int alfa = cups_.jobCount("Alfa");
        const ToolRun run = quarzello(args);
        ::close(listening);
        QCOMPARE(run.exitCode, status);
        QVERIFY2(QString::fromUtf8(run.errors).contains(told), run.errors.constData());
        QVERIFY(!run.errors.contains('\x1b'));
        // The installed templates' faults are told by --carte, not by a print on another product.
        QVERIFY(!run.errors.contains("si sovrappongono"));
        QVERIFY(!QFileInfo::exists(path("x.pdf")));
        QCOMPARE(readBytes(card_), cardBytes);
        QCOMPARE(cups_.jobCount("Alfa"), alfa);
    }
    void devicesAndPipesAreWrittenIntoNotReplaced() {
        const ToolRun out = quarzello({"--pdf", "-", card_});
        QVERIFY2(out.ok, out.errors.constData());
        QVERIFY(PrivateCups::pdfText(out.output).contains("Dott. Ugo Neri"));
        // A null device of the test's own, as /dev/null: it takes the PDF and stays a device.
        const QByteArray null = QFile::encodeName(path("nulla"));
        if (::mknod(null.constData(), S_IFCHR | 0600, makedev(1, 3)) != 0)
            QSKIP("Making a device node needs root.");
        const ToolRun intoNull = quarzello({"--pdf", path("nulla"), card_});
        QVERIFY2(intoNull.ok, intoNull.errors.constData());
        struct stat status;
        QVERIFY(::stat(null.constData(), &status) == 0 && S_ISCHR(status.st_mode));
    }
    void standardOutputThatCannotBeWritten_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::newRow("help") << QStringList{"--help"} << 1;
        QTest::newRow("printers") << QStringList{"--stampanti"} << 1;
        QTest::newRow("a sheet that printed") << QStringList{"--stampa", "Alfa", card_} << 0;
    }
    void standardOutputThatCannotBeWritten() {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        const ToolRun run = quarzello(args, {}, {}, "/dev/full");
        QCOMPARE(run.exitCode, status);
        if (status == 1)
            QCOMPARE(run.errors, QByteArray("quarzello: Lo standard output non può essere scritto: "
                                            "il disco è pieno.\n"));
    }
    void namesThatAreNotUtf8() {
        // Bytes a QString cannot carry: the shell makes the names.
        QVERIFY(writeBytes(QFile::decodeName(QFile::encodeName(path("")) + "\xe8.qcf"), "x\r\n"));
        const QStringList pdfs = QDir(dir_.path()).entryList({"*.pdf"});
        for (const char* args : {"--pdf \"$(printf '\\377.pdf')\" socio.qcf",
                                 "--pdf x.pdf \"$(printf '\\350.qcf')\""}) {
            QProcess shell;
            shell.setWorkingDirectory(dir_.path());
            shell.start("/bin/sh", {"-c", QStringLiteral("exec \"$0\" ") + args, QUARZELLO_EXE});
            QVERIFY(shell.waitForFinished(60000));
            QCOMPARE(shell.exitCode(), 2);
            QVERIFY2(
                shell.readAllStandardError().contains(" non è un testo UTF-8: nessun file con quel "
                                                      "nome può essere usato."),
                args);
        }
        // No PDF made, under any name.
        QCOMPARE(QDir(dir_.path()).entryList({"*.pdf"}), pdfs);
    }
    void noDisplayIsNeededAndAGoneOneIsTold() {
        const QStringList gone{"DISPLAY=:7391", "WAYLAND_DISPLAY=" + path("spento")};
        const ToolRun pdf = quarzello({"--pdf", "schermo.pdf", card_}, {}, gone);
        QVERIFY2(pdf.ok, pdf.errors.constData());
        const ToolRun window = quarzello({}, {}, gone);
        QCOMPARE(window.exitCode, 1);
        QCOMPARE(window.errors,
                 "quarzello: la finestra non può essere aperta: lo schermo indicato "
                 "(WAYLAND_DISPLAY=" +
                     path("spento").toUtf8() +
                     ", DISPLAY=:7391) non risponde. Senza finestra, per le altre "
                     "possibilità: quarzello --help\n");
    }
    void programFolderWithAnOddName() {
        // A folder named in Latin-1, as on an old USB stick, reached through a link with a plain
        // name.
        const std::filesystem::path odd = QFile::encodeName(path("Citt")).toStdString() + "\xe0";
        std::filesystem::create_directory(odd);
        std::filesystem::copy_file(QUARZELLO_EXE, odd / "quarzello");
        QCOMPARE(
            ::symlink((odd / "quarzello").c_str(), QFile::encodeName(path("avvio")).constData()),
            0);
        QVERIFY(QDir().mkpath(path("data/quarzello")) && QDir().mkpath(path("altrove")));
        QVERIFY(writeBytes(path("data/quarzello/Quarzo.qdf"),
                           encodeCardFile(clubRecord("Lia", "Bassi", "6", "2"))));

        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_DATA_HOME", path("data"));
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(path("altrove"));
        process.start(path("avvio"), {"--pdf", path("lia.pdf")});
        QVERIFY(process.waitForFinished(60000));
        QVERIFY2(process.exitCode() == 0, process.readAllStandardError().constData());
        // The user's data were found, and nothing was written where it was started from.
        QVERIFY(PrivateCups::pdfText(readBytes(path("lia.pdf"))).contains("Dott. Lia Bassi"));
        QCOMPARE(QDir(path("altrove")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList());
        // The default data file is never the PDF's to take, whatever the run reads: itself, one
        // card file, several, or a member list.
        const QString data = path("data/quarzello/Quarzo.qdf");
        for (const QStringList& reads :
             {QStringList{}, QStringList{card_}, QStringList{card_, card_},
              QStringList{"--elenco", path("soci.csv")}}) {
            process.start(path("avvio"), QStringList{"--pdf", data} + reads);
            QVERIFY(process.waitForFinished(60000));
            QCOMPARE(process.exitCode(), 1);
            QCOMPARE(readBytes(data), encodeCardFile(clubRecord("Lia", "Bassi", "6", "2")));
        }
        std::filesystem::remove_all(odd);  // a name QTemporaryDir cannot remove
    }
};

QTEST_MAIN(CommandLineRefusalsTest)
#include "tst_commandlinerefusals.moc"
