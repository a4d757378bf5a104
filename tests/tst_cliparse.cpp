// The command line read into its plain value, and its texts for the terminal, with nothing run.
#include <QTest>

#include "cli/options.h"
#include "cli/terminaltext.h"

using namespace quarzello;
using Action = CommandLine::Action;

class CliParseTest : public QObject {
    Q_OBJECT

  private slots:
    void reads_data();
    void reads();
    void refuses_data();
    void refuses();
    void escapesControlCharacters_data();
    void escapesControlCharacters();
    void showsBytesThatAreNotUtf8();
};

void CliParseTest::reads_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("action");
    QTest::addColumn<QStringList>("values");  // data files, PDF file, printer, rows, columns
    QTest::addColumn<bool>("evenIfStopped");
    QTest::newRow("PDF with file and grid")
        << QStringList{"--pdf", "x.pdf", "f.qcf", "--righe", "8", "--colonne", "4"}
        << int(Action::Pdf) << QStringList{"f.qcf", "x.pdf", "", "8", "4"} << false;
    QTest::newRow("several files into one PDF")
        << QStringList{"--pdf", "x.pdf", "a.qcf", "b.qcf"} << int(Action::Pdf)
        << QStringList{"a.qcf,b.qcf", "x.pdf", "", "-", "-"} << false;
    QTest::newRow("PDF on standard output") << QStringList{"--pdf", "-"} << int(Action::Pdf)
                                            << QStringList{"", "-", "", "-", "-"} << false;
    QTest::newRow("print even if stopped")
        << QStringList{"--anche-se-ferma", "--stampa", "Alfa"} << int(Action::Print)
        << QStringList{"", "", "Alfa", "-", "-"} << true;
    QTest::newRow("list") << QStringList{"--stampanti"} << int(Action::ListPrinters)
                          << QStringList{"", "", "", "-", "-"} << false;
    QTest::newRow("help before the rest")
        << QStringList{"--pdf", "x.pdf", "-h"} << int(Action::Help)
        << QStringList{"", "", "", "-", "-"} << false;
    QTest::newRow("version") << QStringList{"--version"} << int(Action::Version)
                             << QStringList{"", "", "", "-", "-"} << false;
}

void CliParseTest::reads() {
    QFETCH(QStringList, args);
    QFETCH(int, action);
    QFETCH(QStringList, values);
    QFETCH(bool, evenIfStopped);
    const CommandLine line = parseCommandLine(QStringList{"quarzello"} + args);
    QCOMPARE(line.wrong, QString());
    QCOMPARE(int(line.action), action);
    QCOMPARE((QStringList{line.dataFiles.join(','), line.pdfFile, line.printer,
                          line.rows.value_or("-"), line.columns.value_or("-")}),
             values);
    QCOMPARE(line.evenIfStopped, evenIfStopped);
}

void CliParseTest::refuses_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("why");
    QTest::newRow("empty PDF name") << QStringList{"--pdf", ""} << "il valore di --pdf è vuoto.";
    QTest::newRow("empty printer")
        << QStringList{"--stampa", ""} << "il valore di --stampa è vuoto.";
    QTest::newRow("empty rows") << QStringList{"--pdf", "x.pdf", "--righe", ""}
                                << "il valore di --righe è vuoto.";
    QTest::newRow("empty data file")
        << QStringList{"--pdf", "x.pdf", ""} << "il nome del file dei dati è vuoto.";
    QTest::newRow("PDF twice") << QStringList{"--pdf", "a.pdf", "--pdf", "b.pdf"}
                               << "l'opzione --pdf è indicata più di una volta.";
    QTest::newRow("list twice") << QStringList{"--stampanti", "--stampanti"}
                                << "l'opzione --stampanti è indicata più di una volta.";
    QTest::newRow("help, short and long")
        << QStringList{"-h", "--help"} << "l'opzione --help è indicata più di una volta.";
    QTest::newRow("two things at once")
        << QStringList{"--pdf", "x.pdf", "--stampanti"}
        << "indicare una sola tra --pdf, --stampa, --stampanti e --carte.";
    QTest::newRow("nothing to do")
        << QStringList{"f.qcf"}
        << "manca che cosa fare: indicare una tra --pdf, --stampa, --stampanti e --carte.";
    QTest::newRow("a QR code on the stock list")
        << QStringList{"--carte", "--qr"} << "--qr vale solo con --pdf o --stampa.";
    QTest::newRow("letters swapped")
        << QStringList{"--pfd", "x.pdf"} << "l'opzione --pfd non esiste: forse --pdf?";
    QTest::newRow("a test sheet per member")
        << QStringList{"--pdf", "x.pdf", "--prova", "--elenco", "soci.csv"}
        << "--prova stampa un foglio solo: non vale con --elenco né con più file dei dati.";
    QTest::newRow("member list and card files")
        << QStringList{"--pdf", "x.pdf", "--elenco", "soci.csv", "a.qcf"}
        << "--elenco non si può indicare insieme a file dei dati.";
    QTest::newRow("even if stopped, for a PDF") << QStringList{"--pdf", "x.pdf", "--anche-se-ferma"}
                                                << "--anche-se-ferma vale solo con --stampa.";
    QTest::newRow("reduced PDF") << QStringList{"--pdf", "x.pdf", "--riduci"}
                                 << "--riduci vale solo con --stampa.";
    QTest::newRow("list with a grid")
        << QStringList{"--stampanti", "--righe", "2"} << "--stampanti non legge un file dei dati.";
    QTest::newRow("stock list with a stock")
        << QStringList{"--carte", "--carta", "x"} << "--carte non legge un file dei dati.";
}

void CliParseTest::refuses() {
    QFETCH(QStringList, args);
    QFETCH(QString, why);
    const CommandLine line = parseCommandLine(QStringList{"quarzello"} + args);
    QCOMPARE(int(line.action), int(Action::Wrong));
    QCOMPARE(line.wrong, why);
}

void CliParseTest::escapesControlCharacters_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    QTest::newRow("title and clear screen")
        << QString("\x1b]0;X\x07\x1b[2J") << QString("\\x1b]0;X\\x07\\x1b[2J");
    QTest::newRow("DEL, C1, tab, lone LF") << QString(
                                                  "a\x7f"
                                                  "b") +
                                                  QChar(0x9d) + QChar(0x81) + "\t\n"
                                           << QString("a\\x7fb\\x9d\\x81\\x09\\x0a");
    QTest::newRow("the program's line breaks")
        << QString("uno\rdue\r\ntre") << QString("uno\ndue\ntre");
    QTest::newRow("letters kept") << QString("città › €") << QString("città › €");
}

void CliParseTest::escapesControlCharacters() {
    QFETCH(QString, text);
    QFETCH(QString, shown);
    QCOMPARE(terminalText(text), shown);
}

void CliParseTest::showsBytesThatAreNotUtf8() {
    QCOMPARE(argumentNotUtf8({"quarzello", "--pdf", "x.pdf"}), std::nullopt);
    QCOMPARE(argumentNotUtf8({"\xff", "--pdf", "citt\xc3\xa0\xe8\x1b.qcf", "\xff"}),
             std::optional<QString>("città\\xe8\\x1b.qcf"));
}

QTEST_GUILESS_MAIN(CliParseTest)
#include "tst_cliparse.moc"
