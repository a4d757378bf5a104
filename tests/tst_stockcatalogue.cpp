// The catalogue of pre-cut card stock, read from template files written by the test, and once
// from the label makers' files installed on the system.
#include <sys/stat.h>

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "data/stockcatalogue.h"

using namespace quarzello;

namespace {

QString templateFile(const QString& templates) {
    return "<?xml version=\"1.0\"?>\n<Glabels-templates>\n" + templates + "</Glabels-templates>\n";
}

// A business card of the given size and margin, with the given layouts.
QString card(const QString& part, const QString& size, const QString& width, const QString& height,
             const QString& layouts, const QString& extra = {}) {
    return QStringLiteral(
               "<Template brand=\"Prova\" part=\"%1\" size=\"%2\">"
               "<Meta category=\"business-card\"/>%6"
               "<Label-rectangle id=\"0\" width=\"%3\" height=\"%4\">"
               "<Markup-margin size=\"2mm\"/>%5</Label-rectangle></Template>\n")
        .arg(part, size, width, height, layouts, extra);
}

const QString kLayout = QStringLiteral(
    "<Layout nx=\"2\" ny=\"5\" x0=\"15mm\" y0=\"13.5mm\" "
    "dx=\"95mm\" dy=\"54mm\"/>");

}  // namespace

class StockCatalogueTest : public QObject {
    Q_OBJECT

  private slots:
    void readsTemplates_data();
    void readsTemplates();
    void readsInstalledCatalogue();
};

void StockCatalogueTest::readsTemplates_data() {
    QTest::addColumn<QStringList>("files");  // contents of a-templates.xml, b-templates.xml, ...
    QTest::addColumn<QString>("wanted");
    QTest::addColumn<QList<double>>("geometry");  // width, height, margin, then x0 y0 dx dy each
    QTest::addColumn<QString>("warning");  // a part of each warning, "|" between; empty: none

    const QString a4 = "A4";
    QTest::newRow("millimetres") << QStringList{templateFile(
                                        card("M", a4, "85mm", "54mm", kLayout))}
                                 << "prova  m" << QList<double>{85, 54, 2, 15, 13.5, 95, 54}
                                 << QString();
    QTest::newRow("points, inches, centimetres, picas")
        << QStringList{templateFile(
               card("U", a4, "144", "2in",
                    "<Layout nx=\"1\" ny=\"1\" x0=\"1cm\" y0=\"6pc\" dx=\"0\" dy=\"0\"/>"))}
        << "Prova U" << QList<double>{50.8, 50.8, 2, 10, 25.4, 0, 0} << QString();
    QTest::newRow("several layouts")
        << QStringList{templateFile(
               card("S", a4, "50mm", "20mm",
                    "<Layout nx=\"2\" ny=\"1\" x0=\"0\" y0=\"0\" dx=\"60mm\" dy=\"0\"/>"
                    "<Layout nx=\"1\" ny=\"2\" x0=\"0\" y0=\"30mm\" dx=\"0\" dy=\"25mm\"/>"))}
        << "Prova S" << QList<double>{50, 20, 2, 0, 0, 60, 0, 0, 30, 0, 25} << QString();
    QTest::newRow("equiv in another file")
        << QStringList{templateFile("<Template brand=\"Prova\" part=\"E\" equiv=\"M\"/>"),
                       templateFile(card("M", a4, "85mm", "54mm", kLayout))}
        << "Prova E" << QList<double>{85, 54, 2, 15, 13.5, 95, 54} << QString();
    QTest::newRow("broken file skipped, the next read")
        << QStringList{"<Glabels-templates><Template brand=",
                       templateFile(card("M", a4, "85mm", "54mm", kLayout))}
        << "Prova M" << QList<double>{85, 54, 2, 15, 13.5, 95, 54} << "a-templates.xml";
    QTest::newRow("cards off the page")
        << QStringList{templateFile(
               card("F", a4, "85mm", "54mm", QString(kLayout).replace("13.5mm", "30mm")))}
        << "Prova F" << QList<double>{} << "fuori dal foglio";
    QTest::newRow("cards overlap")
        << QStringList{templateFile(card("O", a4, "96mm", "54mm", kLayout))} << "Prova O"
        << QList<double>{} << "si sovrappongono";
    QTest::newRow("unknown unit") << QStringList{templateFile(
                                         card("K", a4, "85furlong", "54mm", kLayout))}
                                  << "Prova K" << QList<double>{} << "85furlong";
    QTest::newRow("not A4: left out, nothing said")
        << QStringList{templateFile(card("L", "US-Letter", "85mm", "54mm", kLayout))} << "Prova L"
        << QList<double>{} << QString();
    QTest::newRow("round labels: left out, nothing said")
        << QStringList{templateFile(
               card("R", a4, "85mm", "54mm", kLayout, "<Label-round radius=\"9\"/>"))}
        << "Prova R" << QList<double>{} << QString();
    QTest::newRow("nests without end") << QStringList{templateFile(QString("<a>").repeated(100000))}
                                       << "Prova M" << QList<double>{} << "annidato";
    const QString one = "<Layout nx=\"1\" ny=\"1\" x0=\"0\" y0=\"0\" dx=\"%1\" dy=\"0\"/>";
    QTest::newRow("figures beyond a double, or made so by the unit")
        << QStringList{templateFile(card("D", a4, "85mm", "54mm", one.arg("1e400")) +
                                    card("I", a4, "85mm", "54mm", one.arg("1e308in")))}
        << "Prova D" << QList<double>{} << "1e400|1e308in";
    QTest::newRow("cards too small to measure")
        << QStringList{templateFile(card("P", a4, "85mm", "1e-7mm", one.arg(0)))} << "Prova P"
        << QList<double>{} << "troppo piccoli";
    QTest::newRow("a margin that leaves no room")
        << QStringList{templateFile(card("N", a4, "85mm", "54mm", kLayout).replace("2mm", "27mm"))}
        << "Prova N" << QList<double>{} << "margine interno";
    QTest::newRow("more rows than the paper list keeps, in bounded time")
        << QStringList{templateFile(
               card("T", a4, "10mm", "10mm",
                    QString("<Layout nx=\"100\" ny=\"100\" x0=\"0\" y0=\"0\" dx=\"0\" dy=\"0\"/>")
                        .repeated(90)))}
        << "Prova T" << QList<double>{} << "più di 100 righe";
    const QString equiv = "<Template brand=\"Prova\" part=\"%1\" equiv=\"%2\"/>";
    // To itself, to a part that is not there, in a circle, five steps; four are followed.
    QTest::newRow("equiv leading nowhere")
        << QStringList{templateFile(equiv.arg("Q", "Q") + equiv.arg("R", "Avery M") +
                                    equiv.arg("C", "D") + equiv.arg("D", "C") +
                                    equiv.arg("S", "1") + equiv.arg("1", "2") +
                                    equiv.arg("2", "3") + equiv.arg("3", "4") +
                                    equiv.arg("4", "M") + card("M", a4, "85mm", "54mm", kLayout))}
        << "Prova 1" << QList<double>{85, 54, 2, 15, 13.5, 95, 54}
        << "sé stesso|\"Avery M\", che non c'è|in cerchio|in cerchio|più di 4 passaggi";
    QTest::newRow("no brand, and another brand's name read alike")
        << QStringList{templateFile(
               card("M", a4, "85mm", "54mm", kLayout).replace("Prova", "") +
               card("Dup X", a4, "85mm", "54mm", kLayout) +
               card("X", a4, "85mm", "54mm", kLayout).replace("Prova", "Prova Dup"))}
        << "Prova Dup X" << QList<double>{} << "non ha marca|un'altra marca";
    QTest::newRow("a FIFO never waited on, a file that cannot be read")
        << QStringList{"FIFO", "DANGLING", templateFile(card("M", a4, "85mm", "54mm", kLayout))}
        << "Prova M" << QList<double>{85, 54, 2, 15, 13.5, 95, 54}
        << "non è un file normale|non può essere aperto";
    QTest::newRow("hundreds of megabytes, in effect")
        << QStringList{templateFile(QString(int(kMaxTemplateFileBytes), QLatin1Char(' ')))}
        << "Prova M" << QList<double>{} << "troppo grande";
}

void StockCatalogueTest::readsTemplates() {
    QFETCH(QStringList, files);
    QFETCH(QString, wanted);
    QFETCH(QList<double>, geometry);
    QFETCH(QString, warning);
    QTemporaryDir folder;
    for (int i = 0; i < files.size(); ++i) {
        const QString path = folder.filePath(QString(QChar('a' + i)) + "-templates.xml");
        if (files[i] == "FIFO") {
            QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
            continue;
        }
        if (files[i] == "DANGLING") {
            QVERIFY(QFile::link(folder.filePath("nowhere"), path));
            continue;
        }
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(files[i].toUtf8());
    }
    const StockCatalogue catalogue = readStockCatalogue({folder.path(), folder.filePath("none")});
    const QStringList warnings = warning.split('|', Qt::SkipEmptyParts);
    QCOMPARE(catalogue.warnings.size(), warnings.size());
    for (qsizetype i = 0; i < warnings.size(); ++i)
        QVERIFY2(catalogue.warnings[i].contains(warnings[i]), qPrintable(catalogue.warnings[i]));
    const CardStock* stock = findStock(catalogue, wanted);
    QCOMPARE(stock != nullptr, !geometry.isEmpty());
    if (!stock) return;
    QList<double> read{stock->width, stock->height, stock->markupMargin};
    for (const StockLayout& layout : stock->layouts)
        read << layout.x0 << layout.y0 << layout.dx << layout.dy;
    QCOMPARE(read.size(), geometry.size());
    for (int i = 0; i < read.size(); ++i)
        QVERIFY2(std::abs(read[i] - geometry[i]) < 0.001, qPrintable(QString::number(i)));
}

void StockCatalogueTest::readsInstalledCatalogue() {
    const StockCatalogue catalogue = readStockCatalogue(stockFolders());
    QVERIFY2(!catalogue.stocks.empty(),
             "the label makers' templates are not installed "
             "(scripts/deps.sh installs glabels-data)");
    const CardStock* stock = findStock(catalogue, "avery c32011-10");
    QVERIFY(stock);
    QCOMPARE(stockLabel(*stock), QStringLiteral("Avery C32011-10 — 2 × 5, 85 × 54 mm"));
    QCOMPARE(stock->markupMargin, 3.2);
    QCOMPARE(stock->layouts.size(), 1u);
    const StockLayout& layout = stock->layouts[0];
    QVERIFY(layout.x0 == 15 && layout.y0 == 13.5 && layout.dx == 95 && layout.dy == 54);
    // Typed without its suffix: it is among those offered instead.
    QVERIFY(closestStocks(catalogue, "Avery C32011").contains("Avery C32011-10"));
}

QTEST_GUILESS_MAIN(StockCatalogueTest)
#include "tst_stockcatalogue.moc"
