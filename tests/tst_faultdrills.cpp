// Fault drills through the real window: every failure of Save, Load and printing provoked for
// real, and after each one the program still answers and nothing on disk has changed.
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

#include "data/cardfile.h"
#include "datafiles.h"
#include "samples.h"
#include "windowfixture.h"

using namespace quarzello;

using datafiles::snapshot;
using datafiles::writeBytes;

namespace {

enum Drill {
    SaveDefaultIsFolder,
    SaveTargetIsFolder,
    SaveThroughRegularFile,
    SaveDiskFull,
    LoadMissing,
    LoadFolder,
    LoadTooBig,
    LoadDefaultNotReplaceable,
    PrintRefusedGrid,
    PrintPrinterRemoved,
    PrintJobRefused,
    PrintDrawingFails,
    PrintNoPrinter,
};

}  // namespace

Q_DECLARE_METATYPE(Drill)

class FaultDrillsTest : public QObject {
    Q_OBJECT

  private slots:
    void drill_data();
    void drill();
};

void FaultDrillsTest::drill_data() {
    QTest::addColumn<Drill>("drill");
    QTest::addColumn<QString>("told");  // a piece of the warning the user must see
    QTest::newRow("save, default file is a folder") << SaveDefaultIsFolder << "Quarzo.qdf";
    QTest::newRow("save, target is a folder") << SaveTargetIsFolder << "cartella.qcf";
    QTest::newRow("save, through a regular file") << SaveThroughRegularFile << "file/x.qcf";
    QTest::newRow("save, disk full") << SaveDiskFull << "il disco è pieno";
    QTest::newRow("load, missing file") << LoadMissing << "assente.qcf";
    QTest::newRow("load, a folder") << LoadFolder << "cartella.qcf";
    QTest::newRow("load, too big") << LoadTooBig << "troppo grande";
    QTest::newRow("load, default file not replaceable")
        << LoadDefaultNotReplaceable << "al prossimo avvio";
    QTest::newRow("print, refused grid") << PrintRefusedGrid << "Righe per pagina";
    QTest::newRow("print, printer removed") << PrintPrinterRemoved << "Alfa";
    QTest::newRow("print, job refused") << PrintJobRefused << "rifiutato";
    QTest::newRow("print, drawing fails") << PrintDrawingFails << "Alfa";
    QTest::newRow("print, no printer") << PrintNoPrinter << "Nessuna stampante";
}

void FaultDrillsTest::drill() {
    QFETCH(Drill, drill);
    QFETCH(QString, told);

    WindowFixture f;
    const QDir dir(f.folder.path());
    f.printers.names = {"Alfa"};
    f.printers.defaultName = "Alfa";
    std::unique_ptr<datafiles::FullDisk> disk;

    // The scene: a default data file, a good parameter file, and what each drill breaks.
    CardRecord saved = sampleRecord();
    QVERIFY(writeBytes(dir.filePath("buono.qcf"), "Ing.\r\nAnna\r\nBianchi\r\n"));
    QVERIFY(writeBytes(dir.filePath("file"), "non una cartella"));
    QVERIFY(dir.mkpath("cartella.qcf"));
    switch (drill) {
        case SaveDefaultIsFolder:
        case LoadDefaultNotReplaceable:
            QVERIFY(dir.mkpath("Quarzo.qdf"));
            break;
        case LoadTooBig:
            QVERIFY(writeBytes(dir.filePath("grande.qcf"), QByteArray(65 * 1024, 'x')));
            break;
        case SaveDiskFull:
            QVERIFY(dir.mkpath("pieno"));
            disk = std::make_unique<datafiles::FullDisk>(dir.filePath("pieno"));
            if (!disk->failure().isEmpty()) QSKIP(qPrintable(disk->failure()));
            QVERIFY(disk->fill());
            break;
        default:
            break;
    }

    frmQuarzello& w = f.open();
    w.show();
    w.setRecord(saved);
    const QMap<QString, QByteArray> before = snapshot(dir.path());

    auto click = [&](const char* name) {
        QTest::mouseClick(f.child<QPushButton>(QLatin1String(name)), Qt::LeftButton);
        QTRY_VERIFY(!w.commandUnderWay());
    };
    auto print = [&] {
        click("cmdStampa");
        click("cmdSelStampante_0");
    };
    switch (drill) {
        case SaveDefaultIsFolder:
            click("cmdSalva");
            QVERIFY(f.prompts.dialogs.isEmpty());  // stopped before asking for a name
            break;
        case SaveTargetIsFolder:
            f.prompts.files.push_back(dir.filePath("cartella.qcf"));
            click("cmdSalva");
            break;
        case SaveThroughRegularFile:
            f.prompts.files.push_back(dir.filePath("file/x.qcf"));
            click("cmdSalva");
            break;
        case SaveDiskFull:
            f.prompts.files.push_back(dir.filePath("pieno/x.qcf"));
            click("cmdSalva");
            break;
        case LoadMissing:
            f.prompts.files.push_back(dir.filePath("assente.qcf"));
            click("cmdCarica");
            break;
        case LoadFolder:
            f.prompts.files.push_back(dir.filePath("cartella.qcf"));
            click("cmdCarica");
            break;
        case LoadTooBig:
            f.prompts.files.push_back(dir.filePath("grande.qcf"));
            click("cmdCarica");
            break;
        case LoadDefaultNotReplaceable:
            f.prompts.files.push_back(dir.filePath("buono.qcf"));
            click("cmdCarica");
            break;
        case PrintRefusedGrid: {
            CardRecord r = w.record();
            r.rows = QStringLiteral("20");
            w.setRecord(r);
            print();
            break;
        }
        case PrintPrinterRemoved:
            click("cmdStampa");
            QTest::mouseClick(f.child<QListWidget>("lstStampanti")->viewport(), Qt::LeftButton, {},
                              QPoint(10, 5));
            f.printers.names.clear();
            click("cmdSelStampante_0");
            break;
        case PrintJobRefused:
            f.printers.refusals["Alfa"] = QStringLiteral(
                "La stampante Alfa non accetta stampe: il lavoro è stato rifiutato.");
            print();
            break;
        case PrintDrawingFails:
            f.printers.drawing.failPrintTextAt = 3;
            f.printers.drawing.failureText = QStringLiteral("La stampante Alfa non risponde.");
            print();
            break;
        case PrintNoPrinter:
            f.printers.names.clear();
            f.printers.defaultName.clear();
            print();
            break;
    }

    // Told, by name, in a warning; never reported as done.
    QVERIFY(!f.prompts.messages.isEmpty());
    const MessageRequest& m = f.prompts.messages.last();
    QCOMPARE(m.title, QStringLiteral("Quarzello del Camperista"));
    QCOMPARE(m.icon, PromptIcon::Warning);
    QVERIFY2(m.text.contains(told), qPrintable(m.text));
    for (const QString& text : f.prompts.texts()) {
        QVERIFY2(!text.contains("salvato!") && !text.contains("caricato!") &&
                     !text.contains("Stampa conclusa"),
                 qPrintable(text));
    }
    // Nothing half printed.
    QCOMPARE(f.printers.jobs.count("Alfa"), size_t(0));
    // Nothing on disk changed, but for the default data file that Save writes first, by design,
    // before it asks where to copy it.
    QMap<QString, QByteArray> expected = before;
    if (drill == SaveTargetIsFolder || drill == SaveThroughRegularFile || drill == SaveDiskFull)
        expected[QStringLiteral("Quarzo.qdf")] = encodeCardFile(saved);
    QCOMPARE(snapshot(dir.path()), expected);

    // The program still answers: typing, the help button, and a print that works.
    auto* surname = f.child<QLineEdit>("txtCampo_2");
    surname->clear();
    QTest::keyClicks(surname, "Verdi");
    QCOMPARE(w.record().fields[Surname], QStringLiteral("Verdi"));
    click("cmdHelp");
    QVERIFY(f.child<QPlainTextEdit>("txtHelp")->isVisible());
    f.printers.names = {"Alfa"};
    f.printers.defaultName = "Alfa";
    f.printers.drawing = RecordingSurface();
    f.printers.refusals.clear();
    CardRecord r = w.record();
    r.rows = QStringLiteral("6");
    w.setRecord(r);
    print();
    QCOMPARE(f.printers.jobs["Alfa"].size(), 1);
    QCOMPARE(f.prompts.messages.last().text, QStringLiteral("Stampa conclusa"));
}

QTEST_MAIN(FaultDrillsTest)
#include "tst_faultdrills.moc"
