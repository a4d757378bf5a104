// Fault drills through the real window: a failure of Save, of Load and of printing provoked for
// real, and after each one the program still answers and nothing on disk has changed. Which
// failures each command tells, and in what words, are the tests of the commands and the file.
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

namespace {

enum Drill {
    SaveTargetIsFolder,
    LoadFolder,
    PrintDrawingFails,
};

}  // namespace

Q_DECLARE_METATYPE(Drill)

class FaultDrillsTest : public QObject {
    Q_OBJECT

  private slots:
    void drill_data() {
        QTest::addColumn<Drill>("drill");
        QTest::addColumn<QString>("told");  // the warning the user must see; %1 is the folder
        QTest::newRow("save, target is a folder")
            << SaveTargetIsFolder
            << "Il file %1/cartella.qcf non può essere scritto: al suo posto c'è una cartella.\r\r"
               "Il salvataggio nel file %1/cartella.qcf non è riuscito.";
        QTest::newRow("load, a folder")
            << LoadFolder
            << "Il file %1/cartella.qcf non è un file di dati dei biglietti: è una cartella.\r\r"
               "Il caricamento non è riuscito.";
        // The print's refusals (grid, printer gone, job refused, no printer) are the printer
        // panel's tests; the drawing failing half-way is this one's.
        QTest::newRow("print, drawing fails")
            << PrintDrawingFails
            << "La stampa non ha potuto essere preparata.\rLa stampante Alfa non risponde.";
    }
    void drill() {
        QFETCH(Drill, drill);
        QFETCH(QString, told);

        WindowFixture f;
        const QDir dir(f.folder.path());
        f.printers.names = {"Alfa"};
        f.printers.defaultName = "Alfa";

        // The scene: a folder where Save and Load are given a file.
        CardRecord saved = sampleRecord();
        QVERIFY(dir.mkpath("cartella.qcf"));
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
            case SaveTargetIsFolder:
                f.prompts.files.push_back(dir.filePath("cartella.qcf"));
                click("cmdSalva");
                break;
            case LoadFolder:
                f.prompts.files.push_back(dir.filePath("cartella.qcf"));
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
        if (drill == SaveTargetIsFolder)
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
};

QTEST_MAIN(FaultDrillsTest)
#include "tst_faultdrills.moc"
