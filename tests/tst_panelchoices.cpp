// The printer panel's choices beyond a printer: a PDF of the sheet, the printer's position and
// its test sheet, and the cards of the members ticked in a list.
#include <QComboBox>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QProgressBar>
#include <QSettings>
#include <QtTest>

#include "datafiles.h"
#include "printpanelfixture.h"
#include "privatecups.h"

using namespace quarzello;

class PanelChoicesTest : public PrintPanelFixture {
    Q_OBJECT

  private slots:
    void pdfFromThePanel_data() {
        QTest::addColumn<QString>("chosen");   // relative to the test's folder
        QTest::addColumn<QString>("written");  // the file written, or none
        QTest::addColumn<bool>("openable");    // the desktop opens it when asked
        QTest::addColumn<QString>("told");     // a piece of the last message
        QTest::newRow("saved and opened")
            << "foglio"
            << "foglio.pdf" << true << "è stato salvato.\r\rAprirlo ora?";
        QTest::newRow("saved, no viewer") << "foglio.PDF"
                                          << "foglio.PDF" << false << "non può essere aperto";
        QTest::newRow("a folder in its place") << "cartella.pdf"
                                               << "" << true << "al suo posto c'è una cartella";
        QTest::newRow("a folder that vanished") << "manca/x.pdf"
                                                << "" << true << "manca non esiste";
        QTest::newRow("a full disk") << "pieno/x.pdf"
                                     << "" << true << "il disco è pieno";
    }
    void pdfFromThePanel() {
        QFETCH(QString, chosen);
        QFETCH(QString, written);
        QFETCH(bool, openable);
        QFETCH(QString, told);
        const QDir dir(f->folder.path());
        QVERIFY(dir.mkpath("cartella.pdf"));
        datafiles::FullDisk disk(dir.filePath("pieno"));
        if (chosen.startsWith("pieno")) {
            if (!disk.failure().isEmpty()) QSKIP(qPrintable(disk.failure()));
            QVERIFY(disk.fill());
        }
        const auto before = datafiles::snapshot(dir.path());
        f->prompts.files = {dir.filePath(chosen)};
        f->prompts.openAnswers = {openable};

        pressPrint();
        QVERIFY(pickPrinter(list, "Salva come PDF…"));
        pressPanel(0);
        const FileDialogRequest& asked = f->prompts.dialogs.value(0);
        QCOMPARE(asked.title, QStringLiteral("Salva PDF"));
        QCOMPARE(asked.filter, QStringLiteral("Documento PDF (*.pdf)"));
        QVERIFY(asked.confirmOverwrite && asked.defaultSuffix == "pdf");
        QVERIFY2(f->prompts.messages.last().text.contains(told),
                 qPrintable(f->prompts.messages.last().text));
        // Nothing to a printer, and the current printer is still none.
        QVERIFY(f->printers.jobs.empty());
        QCOMPARE(w->currentPrinter(), QString());

        if (!written.isEmpty()) {
            const QString pdf = dir.filePath(written);
            QVERIFY(datafiles::readBytes(pdf).contains("Rossi"));
            QCOMPARE(f->prompts.opened, QStringList{pdf});
            QCOMPARE(f->prompts.messages.first().title, QStringLiteral("Fine stampa"));
            // The next time, the dialog opens in the folder of that PDF.
            pressPrint();
            QVERIFY(pickPrinter(list, "Salva come PDF…"));
            pressPanel(0);
            QCOMPARE(f->prompts.dialogs.value(1).initialPath, dir.path());
        } else {
            QCOMPARE(f->prompts.messages.last().icon, PromptIcon::Warning);
            QCOMPARE(datafiles::snapshot(dir.path()), before);
        }
    }
    void positionKeptAndTestSheetPrinted() {
        CardRecord r = w->record();
        r.rows = "6";
        r.columns = "2";
        w->setRecord(r);
        pressPrint();
        auto* position = f->child<QPushButton>("cmdPosizione");
        QVERIFY(pickPrinter(list, "Salva come PDF…"));
        QVERIFY(!position->isEnabled());  // a PDF is no printer
        QVERIFY(pickPrinter(list, "Alfa"));
        QTest::mouseClick(position, Qt::LeftButton);
        auto* dialog = f->child<QDialog>("dlgPosizione");
        QVERIFY(dialog && dialog->isVisible());
        auto* across = dialog->findChild<QDoubleSpinBox*>("txtSpostamentoX");
        across->selectAll();
        QTest::keyClicks(across, "1,5");  // the decimal comma
        dialog->findChild<QDoubleSpinBox*>("txtSpostamentoY")->setValue(-0.8);
        QTest::mouseClick(dialog->findChild<QPushButton*>("cmdFoglioProva"), Qt::LeftButton);
        QTRY_VERIFY(!w->commandUnderWay());
        // Outlines and a cross only: none of the card's lines.
        QCOMPARE(f->printers.jobs["Alfa"].size(), 1);
        QCOMPARE(f->printers.jobs["Alfa"].first(), QByteArray("Foglio di prova: A4 da tagliare"));
        const QSettings settings(f->store->file(), QSettings::IniFormat);
        QCOMPARE(settings.value("spostamento/Alfa").toString(), QStringLiteral("1,5;-0,8"));
    }
    // A vCard file of 500 contacts read in the background; the first four listed, two of them
    // unticked: the PDF holds the other two's pages. A run of all of them given up with Annulla
    // writes nothing, and the PDF already there is kept.
    void memberPanelPrintsTheTickedMembers() {
        f = std::make_unique<WindowFixture>();
        f->surfaces = pdfDocuments();
        f->printers.names = {"Zeta", "Alfa"};
        w = &f->open();
        w->show();
        QByteArray contacts;
        for (int i = 1; i <= 500; ++i)
            contacts += QStringLiteral(
                            "BEGIN:VCARD\r\nN:Cognome%1;Nome%1\r\nADR:;;;Citt\u00e0%1;;;\r\n"
                            "END:VCARD\r\n")
                            .arg(i)
                            .toUtf8();
        const QString vcf = f->folder.filePath("contatti.vcf");
        const QString pdf = f->folder.filePath("soci.pdf");
        QVERIFY(datafiles::writeBytes(vcf, contacts) && datafiles::writeBytes(pdf, "vecchio"));
        f->prompts.files = {vcf, pdf, pdf};
        QTest::mouseClick(f->child<QPushButton>("cmdElenco"), Qt::LeftButton);
        auto* members = f->child<QListWidget>("lstSoci");
        QVERIFY(members);
        QTRY_VERIFY(members->isVisible());
        QCOMPARE(members->count(), 500);
        QCOMPARE(members->item(0)->text(), QStringLiteral("Cognome1, Nome1, Citt\u00e01"));
        QTest::mouseClick(f->child<QPushButton>("cmdNessuno"), Qt::LeftButton);
        for (int row : {0, 3}) members->item(row)->setCheckState(Qt::Checked);
        auto* printers = f->child<QComboBox>("cmbStampante");
        QTRY_COMPARE(entries(printers), QStringList({"Alfa", "Zeta", "Salva come PDF…"}));
        printers->setCurrentIndex(2);
        auto* bar = f->child<QProgressBar>("barFogli");
        QTest::mouseClick(f->child<QPushButton>("cmdStampaSoci"), Qt::LeftButton);
        QTRY_VERIFY(f->prompts.messages.size() == 1);
        QVERIFY(!bar->isVisible());
        const QStringList pages = PrivateCups::pdfText(datafiles::readBytes(pdf)).split('\f');
        QCOMPARE(pages.size(), 3);
        QVERIFY(pages[0].contains("Nome1 Cognome1") && pages[1].contains("Nome4 Cognome4"));
        // The same two on a printer, through the print's steps, on the run's thread.
        printers->setCurrentIndex(0);
        QTest::mouseClick(f->child<QPushButton>("cmdStampaSoci"), Qt::LeftButton);
        QTRY_COMPARE(f->prompts.messages.size(), 2);
        QCOMPARE(f->prompts.messages.last().text, kPrintDoneText);
        QCOMPARE(PrivateCups::pdfText(f->printers.jobs["Alfa"].value(0)), pages.join('\f'));

        QVERIFY(datafiles::writeBytes(pdf, "vecchio"));
        QTest::mouseClick(f->child<QPushButton>("cmdTutti"), Qt::LeftButton);
        QTest::mouseClick(f->child<QPushButton>("cmdStampaSoci"), Qt::LeftButton);
        QTRY_VERIFY(bar->value() > 0);
        QCOMPARE(bar->text().left(7), QStringLiteral("Foglio "));
        QTest::mouseClick(f->child<QPushButton>("cmdAnnulla"), Qt::LeftButton);
        QTRY_VERIFY(!bar->isVisible());
        QCOMPARE(datafiles::readBytes(pdf), QByteArray("vecchio"));
        QCOMPARE(f->prompts.messages.size(), 2);
        QVERIFY(f->child<QLabel>("lblLetti")->text().startsWith("Stampa annullata"));
    }
};

QTEST_MAIN(PanelChoicesTest)
#include "tst_panelchoices.moc"
