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
    PrintDrawingFails,
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
    QTest::addColumn<QString>("told");  // the warning the user must see; %1 is the folder
    QTest::newRow("save, default file is a folder")
        << SaveDefaultIsFolder
        << "Il file %1/Quarzo.qdf non può essere scritto: al suo posto c'è una cartella.\r\r"
           "Il salvataggio non è riuscito.";
    QTest::newRow("save, target is a folder")
        << SaveTargetIsFolder
        << "Il file %1/cartella.qcf non può essere scritto: al suo posto c'è una cartella.\r\r"
           "Il salvataggio nel file %1/cartella.qcf non è riuscito.";
    QTest::newRow("save, through a regular file")
        << SaveThroughRegularFile
        << "Il file %1/file/x.qcf non può essere scritto: %1/file non è una cartella.\r\r"
           "Il salvataggio nel file %1/file/x.qcf non è riuscito.";
    QTest::newRow("save, disk full")
        << SaveDiskFull
        << "Il file %1/pieno/x.qcf non può essere scritto: il disco è pieno.\r\r"
           "Il salvataggio nel file %1/pieno/x.qcf non è riuscito.";
    QTest::newRow("load, missing file")
        << LoadMissing << "Il file %1/assente.qcf non esiste.\r\rIl caricamento non è riuscito.";
    QTest::newRow("load, a folder")
        << LoadFolder
        << "Il file %1/cartella.qcf non è un file di dati dei biglietti: è una cartella.\r\r"
           "Il caricamento non è riuscito.";
    QTest::newRow("load, too big")
        << LoadTooBig
        << "Il file %1/grande.qcf non è un file di dati dei biglietti: è troppo grande.\r\r"
           "Il caricamento non è riuscito.";
    QTest::newRow("load, default file not replaceable")
        << LoadDefaultNotReplaceable
        << "Il file %1/Quarzo.qdf non può essere scritto: al suo posto c'è una cartella.\r\r"
           "I dati del file %1/buono.qcf sono ora nella finestra, ma al prossimo avvio del "
           "programma non saranno ripresi.";
    // The print's refusals (grid, printer gone, job refused, no printer) are the printer panel's
    // tests; the drawing failing half-way is this one's.
    QTest::newRow("print, drawing fails")
        << PrintDrawingFails
        << "La stampa non ha potuto essere preparata.\rLa stampante Alfa non risponde.";
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
        case PrintDrawingFails:
            f.printers.drawing.failPrintTextAt = 3;
            f.printers.drawing.failureText = QStringLiteral("La stampante Alfa non risponde.");
            print();
            break;
    }

    // Told, by name, in a warning; never reported as done.
    QVERIFY(!f.prompts.messages.isEmpty());
    const MessageRequest& m = f.prompts.messages.last();
    QCOMPARE(m.title, QStringLiteral("Quarzello del Camperista"));
    QCOMPARE(m.icon, PromptIcon::Warning);
    QCOMPARE(m.text, QString(told).replace(QStringLiteral("%1"), dir.path()));
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
