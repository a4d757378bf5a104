// The printer panel of the window: the list of printers, the current printer, and what the user
// is told when a print goes through, is abandoned, or cannot be made.
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QtTest>

#include "printpanelfixture.h"
#include "samples.h"

using namespace quarzello;

class PrintPanelTest : public PrintPanelFixture {
    Q_OBJECT

  private slots:
    void listIsSortedAndNothingSelected() {
        QVERIFY(panel->isHidden());
        pressPrint();
        QVERIFY(panel->isVisible());
        QCOMPARE(entries(list), QStringList({"Alfa", "Zeta", "Salva come PDF…"}));
        QVERIFY(list->item(2)->font().italic() && !list->item(0)->font().italic());
        QVERIFY(list->selectedItems().isEmpty());
        QVERIFY(f->printers.jobs.empty() && !f->printers.drawing.touchedPaper());
    }
    void everyPressFillsAfresh() {
        pressPrint();
        QVERIFY(pickPrinter(list, "Zeta"));
        f->printers.names << "Beta";
        pressPrint();  // also while the panel is shown
        QCOMPARE(entries(list), QStringList({"Alfa", "Beta", "Zeta", "Salva come PDF…"}));
        QVERIFY(list->selectedItems().isEmpty());
    }
    void chosenPrinterStaysCurrent() {
        pressPrint();
        QVERIFY(pickPrinter(list, "Alfa"));
        pressPanel(0);
        QVERIFY(panel->isHidden());
        QCOMPARE(f->printers.jobs["Alfa"].size(), 1);
        QCOMPARE(f->prompts.messages.size(), 1);
        const MessageRequest& done = f->prompts.messages.last();
        QCOMPARE(done.title, QStringLiteral("Fine stampa"));
        QCOMPARE(done.text, QStringLiteral("Stampa conclusa"));
        QCOMPARE(done.icon, PromptIcon::Information);
        QCOMPARE(done.buttons, PromptButtons::Ok);

        // The next print, nothing selected, goes to the same printer, not the default.
        pressPrint();
        pressPanel(0);
        QCOMPARE(f->printers.jobs["Alfa"].size(), 2);
        QCOMPARE(f->printers.jobs.count("Zeta"), size_t(0));
        QCOMPARE(w->currentPrinter(), QStringLiteral("Alfa"));
    }
    void nothingChosenPrintsOnSystemDefault() {
        pressPrint();
        pressPanel(0);
        QCOMPARE(f->printers.jobs.size(), size_t(1));
        QCOMPARE(f->printers.jobs["Zeta"].size(), 1);
        // The card's lines really reached the paper.
        QStringList printed;
        for (const RecordedText& t : f->printers.drawing.texts) printed << t.text;
        QVERIFY(printed.contains("Rossi"));
        QVERIFY(printed.contains("Tel.: 06 123"));
    }
    void abandonHidesAndPrintsNothing() {
        pressPrint();
        QVERIFY(pickPrinter(list, "Alfa"));
        pressPanel(1);
        QVERIFY(panel->isHidden());
        QVERIFY(f->printers.jobs.empty() && !f->printers.drawing.touchedPaper());
        QVERIFY(f->prompts.messages.isEmpty());
        QCOMPARE(w->currentPrinter(), QString());
    }
    void removedPrinterIsToldNotReplaced() {
        pressPrint();
        QVERIFY(pickPrinter(list, "Alfa"));
        f->printers.names.removeAll("Alfa");
        pressPanel(0);
        QVERIFY(f->printers.jobs.empty() && !f->printers.drawing.touchedPaper());
        QCOMPARE(f->prompts.messages.size(), 1);
        const MessageRequest& m = f->prompts.messages.first();
        QCOMPARE(m.title, QStringLiteral("Quarzello del Camperista"));
        QCOMPARE(m.icon, PromptIcon::Warning);
        QCOMPARE(m.text, QStringLiteral("La stampante Alfa non è più disponibile: il lavoro non è "
                                        "stato stampato."));
        QCOMPARE(f->printers.jobs.count("Zeta"), size_t(0));
    }
    void noPrinterInstalled() {
        f->printers.names.clear();
        f->printers.defaultName.clear();
        pressPrint();
        QCOMPARE(entries(list), QStringList({"Salva come PDF…"}));
        pressPanel(0);
        QCOMPARE(f->prompts.texts(),
                 QStringList({"Nessuna stampante installata: non è possibile stampare.\rPer "
                              "ottenere un file PDF, scegliere \"Salva come PDF…\" nell'elenco."}));
        // The window still answers.
        QTest::keyClicks(f->child<QLineEdit>("txtCampo_1"), "Ugo");
        QCOMPARE(w->record().fields[FirstName], QStringLiteral("Ugo"));
    }
    void failedJobIsToldNotDone() {
        f->printers.refusals["Zeta"] = printerRefusesText("Zeta");
        pressPrint();
        pressPanel(0);
        QCOMPARE(f->prompts.texts(),
                 QStringList{"La stampante Zeta non accetta stampe: il lavoro è "
                             "stato rifiutato."});
        QCOMPARE(f->prompts.messages.first().title, QStringLiteral("Quarzello del Camperista"));
        QCOMPARE(f->printers.jobs.count("Zeta"), size_t(0));
    }
    void silenceAfterTheJobSaysItMayPrint() {
        f->printers.silentAfterJob = true;
        pressPrint();
        pressPanel(0);
        QCOMPARE(f->prompts.texts(), QStringList{printServiceSilentText("Zeta", true)});
    }
    void refusedGridDrawsNothing_data() {
        QTest::addColumn<QString>("rowsText");
        QTest::addColumn<QString>("columnsText");
        QTest::addColumn<QString>("refusedList");
        QTest::newRow("columns empty") << "6"
                                       << ""
                                       << "Colonne per pagina";
        QTest::newRow("columns abc") << "6"
                                     << "abc"
                                     << "Colonne per pagina";
        QTest::newRow("rows zero") << "0"
                                   << "2"
                                   << "Righe per pagina";
        QTest::newRow("rows 20") << "20"
                                 << "2"
                                 << "Righe per pagina";
        QTest::newRow("columns 22") << "6"
                                    << "22"
                                    << "Colonne per pagina";
    }
    void refusedGridDrawsNothing() {
        QFETCH(QString, rowsText);
        QFETCH(QString, columnsText);
        QFETCH(QString, refusedList);
        CardRecord r = w->record();
        r.rows = rowsText;
        r.columns = columnsText;
        w->setRecord(r);
        pressPrint();
        pressPanel(0);
        QCOMPARE(f->prompts.messages.size(), 1);
        const QString text = f->prompts.messages.first().text;
        QVERIFY2(text.startsWith(refusedList + QStringLiteral(": il valore \"") +
                                 (refusedList.startsWith("Righe") ? rowsText : columnsText) +
                                 QStringLiteral("\" non è valido.")),
                 qPrintable(text));
        QVERIFY(f->printers.jobs.empty() && !f->printers.drawing.touchedPaper());
    }
    void marginsAreAskedAboutOnce_data() {
        QTest::addColumn<int>("choice");
        QTest::addColumn<bool>("remember");
        QTest::addColumn<float>("scale");     // of the first sheet on Alfa, 0: none sent
        QTest::addColumn<int>("asked");       // in two prints on Alfa
        QTest::addColumn<QString>("unkept");  // why the settings could not keep the answer
        QTest::newRow("as it is") << int(MarginChoice::PrintAsIs) << false << 1.0f << 2
                                  << QString();
        QTest::newRow("reduced, remembered")
            << int(MarginChoice::Reduce) << true << 0.94f << 1 << QString();
        // Annulla is never remembered: the next print asks again (and prints as it is).
        QTest::newRow("cancelled") << int(MarginChoice::Cancel) << true << 0.0f << 2 << QString();
        QTest::newRow("reduced, not kept: told after the print's word, asked again")
            << int(MarginChoice::Reduce) << true << 0.94f << 2 << "Non è stato possibile ricordare";
    }
    void marginsAreAskedAboutOnce() {
        QFETCH(int, choice);
        QFETCH(bool, remember);
        QFETCH(float, scale);
        QFETCH(int, asked);
        QFETCH(QString, unkept);
        f->margins.failure = unkept;
        // A typical inkjet's area: the top row's first line and the bottom ticks fall outside it.
        f->printers.areas["Alfa"] = PrintableArea{true, 6.35, 6.35, 12.7, 12.7};
        f->prompts.marginReplies = {MarginReply{MarginChoice(choice), remember}};
        w->setRecord(fullRecord());
        QList<float> sizes;
        for (const char* printer : {"Zeta", "Alfa", "Alfa"}) {
            f->printers.drawing.clearRecord();
            pressPrint();
            QVERIFY(pickPrinter(list, printer));
            pressPanel(0);
            sizes << (f->printers.drawing.texts.isEmpty() ? 0
                                                          : f->printers.drawing.texts[0].font.size);
        }
        // Asked once, on the printer with margins; a remembered answer is not asked again.
        QCOMPARE(f->prompts.marginRequests.size(), asked);
        QVERIFY(f->prompts.marginRequests.first().text.startsWith(
            QStringLiteral("La stampante non stampa vicino ai bordi del foglio (")));
        QCOMPARE(f->prompts.marginRequests.first().factorPercent, 94);
        QCOMPARE(sizes[1] / sizes[0], scale);
        QCOMPARE(int(f->printers.jobs["Alfa"].size()), scale > 0 ? 2 : 1);
        // Zeta's word, then Alfa's, then what could not be kept.
        if (!unkept.isEmpty())
            QCOMPARE(f->prompts.texts().mid(1, 2), QStringList({"Stampa conclusa", unkept}));
    }
    void helpPanelSurvivesPrinting() {
        QTest::mouseClick(f->child<QPushButton>("cmdHelp"), Qt::LeftButton);
        pressPrint();
        pressPanel(0);
        QVERIFY(f->child<QPlainTextEdit>("txtHelp")->isVisible());
    }
    void panelByKeyboard_data() {
        QTest::addColumn<QString>("systemDefault");
        QTest::addColumn<QString>("usedBefore");  // chosen for a print earlier in the run
        QTest::addColumn<QString>("current");     // the entry current when the panel opens
        QTest::addColumn<QString>("round");       // Tab from the list until back at it
        const auto row = [](const char* name, const char* on, const char* used,
                            const char* current) {
            const QString round = "cmdSelStampante_0,cmdSelStampante_1,cmdPosizione,lstStampanti";
            QTest::newRow(name) << on << used << current
                                << (*current ? round : QString(round).remove("cmdPosizione,"));
        };
        row("the system's default", "Zeta", "", "Zeta");
        row("the printer used last", "Zeta", "Alfa", "Alfa");
        row("none, no position", "", "", "");
    }
    void panelByKeyboard() {
        QFETCH(QString, systemDefault);
        QFETCH(QString, usedBefore);
        QFETCH(QString, current);
        QFETCH(QString, round);
        f->printers.defaultName = systemDefault;
        QVERIFY(QTest::qWaitForWindowActive(w));  // the keyboard goes to the active window only
        if (!usedBefore.isEmpty()) {
            pressPrint();
            QVERIFY(pickPrinter(list, usedBefore));
            pressPanel(0);
        }
        pressPrint();
        QCOMPARE(QApplication::focusWidget(), list);
        // Where a print with none chosen goes is current, not chosen; Return prints there.
        QCOMPARE(list->currentItem() ? list->currentItem()->text() : QString(), current);
        QStringList visited;
        while (visited.size() < 5 && visited.value(visited.size() - 1) != "lstStampanti") {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(visited.join(','), round);
        const qsizetype before = f->printers.jobs[current].size();
        QTest::keyClick(list, Qt::Key_Return);
        QTRY_VERIFY(!w->commandUnderWay());
        QCOMPARE(f->printers.jobs[current].size(), before + !current.isEmpty());
        QVERIFY(panel->isHidden() && !list->currentItem());  // a hidden entry is not focused
    }
};

QTEST_MAIN(PrintPanelTest)
#include "tst_printpanel.moc"
