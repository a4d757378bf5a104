// Printing from end to end, which queue gets the job: the real window, the real printer list and a
// private CUPS scheduler. The user's choice and the system's default are followed; a refused grid,
// a queue that refuses jobs and a printer that has gone reach no queue and leave the program
// answering.
#include <QComboBox>
#include <QtTest>

#include "cupswindowfixture.h"
#include "samples.h"

using namespace quarzello;

class QueueChoiceTest : public CupsWindowTest {
    Q_OBJECT

  private slots:
    void listShowsAlfaAboveZetaWithNothingSelected() {
        QListWidget* list = child<QListWidget>(QStringLiteral("lstStampanti"));
        QVERIFY(child<QWidget>(QStringLiteral("frmPrinter"))->isHidden());
        openPanelAndPick(QString());
        // What the user sees. CUPS itself hands its queues over in name order, whatever order they
        // were added in, so the list's own sorting shows only with a fixed list (tst_printpanel).
        QCOMPARE(entries(list), QStringList({kAlfa, kZeta, kPdf}));
        QVERIFY(list->selectedItems().isEmpty());
        // Current, not selected, the system's default: a print goes there, the keyboard starts
        // there.
        QCOMPARE(list->currentItem()->text(), kZeta);

        // Hidden with a choice made and shown again: filled afresh, nothing selected.
        openPanelAndPick(kZeta);
        QTest::mouseClick(child<QPushButton>(QStringLiteral("cmdSelStampante_1")), Qt::LeftButton);
        QVERIFY(child<QWidget>(QStringLiteral("frmPrinter"))->isHidden());
        openPanelAndPick(QString());
        QCOMPARE(entries(list), QStringList({kAlfa, kZeta, kPdf}));
        QVERIFY(list->selectedItems().isEmpty());
        QVERIFY(prompts_->messages.isEmpty());
    }
    void laterPrintWithNothingSelectedGoesToTheChosenPrinter() {
        window_->setRecord(
            clubRecord(kShortFirstName, kShortSurname, QStringLiteral("6"), QStringLiteral("2")));
        // Before any choice, nothing selected: the system's default.
        QByteArray job = printThroughWindow(QString(), kZeta);
        if (QTest::currentTestFailed()) return;
        QVERIFY(PrivateCups::pdfText(job).contains(QStringLiteral("Dott. Ugo Neri")));

        job = printThroughWindow(kAlfa, kAlfa);
        if (QTest::currentTestFailed()) return;
        QCOMPARE(window_->currentPrinter(), kAlfa);

        // The panel again, nothing selected: Alfa once more, not the default.
        typeInto(child<QLineEdit>(QStringLiteral("txtCampo_3")), QStringLiteral("Tesoriere"));
        openPanelAndPick(QString());
        QVERIFY(child<QListWidget>(QStringLiteral("lstStampanti"))->selectedItems().isEmpty());
        prompts_->messages.clear();
        const int alfa = cups_.jobCount(kAlfa);
        const int zeta = cups_.jobCount(kZeta);
        queueOfEndMessage_ = kAlfa;
        pressPanelPrint();
        checkEndMessageOnlyWhenPrinted(true);
        QCOMPARE(jobsWhenEndShown_, alfa + 1);
        QCOMPARE(cups_.jobCount(kAlfa), alfa + 1);
        QCOMPARE(cups_.jobCount(kZeta), zeta);
        job = cups_.waitForJob(kAlfa);
        QVERIFY2(!job.isEmpty(), qPrintable(cups_.errorString()));
        QVERIFY(PrivateCups::pdfText(job).contains(QStringLiteral("Tesoriere")));
    }
    void refusedGridReachesNoQueue_data() {
        QTest::addColumn<QString>("rowsText");
        QTest::addColumn<QString>("columnsText");
        QTest::addColumn<QString>("message");
        const QChar cr(13);
        const QString columnsRefused =
            QStringLiteral("Colonne per pagina: il valore \"%1\" non è valido.") + cr +
            QStringLiteral("Indicare un numero intero da 1 a 21.");
        const QString rowsRefused =
            QStringLiteral("Righe per pagina: il valore \"%1\" non è valido.") + cr +
            QStringLiteral("Indicare un numero intero da 1 a 19.");
        QTest::newRow("columns abc") << "6"
                                     << "abc" << columnsRefused.arg("abc");
        QTest::newRow("rows 20") << "20"
                                 << "2" << rowsRefused.arg("20");
        QTest::newRow("columns empty") << "6"
                                       << "" << columnsRefused.arg("");
        QTest::newRow("rows 0 and columns 22")
            << "0"
            << "22" << columnsRefused.arg("22") + cr + rowsRefused.arg("0");
    }
    void refusedGridReachesNoQueue() {
        QFETCH(QString, rowsText);
        QFETCH(QString, columnsText);
        QFETCH(QString, message);
        window_->setRecord(
            clubRecord(kShortFirstName, kShortSurname, QStringLiteral("6"), QStringLiteral("2")));
        // Typed into the grid lists, as the user would.
        QComboBox* cmbRighe = child<QComboBox>(QStringLiteral("cmbRighe"));
        QComboBox* cmbColonne = child<QComboBox>(QStringLiteral("cmbColonne"));
        typeInto(cmbRighe->lineEdit(), rowsText);
        typeInto(cmbColonne->lineEdit(), columnsText);
        QCOMPARE(window_->record().rows, rowsText);
        QCOMPARE(window_->record().columns, columnsText);

        const int alfa = cups_.jobCount(kAlfa);
        const int zeta = cups_.jobCount(kZeta);
        QVERIFY(alfa >= 0 && zeta >= 0);
        openPanelAndPick(kAlfa);
        pressPanelPrint();
        QCOMPARE(prompts_->messages.size(), qsizetype(1));
        const MessageRequest& shown = prompts_->messages.first();
        QCOMPARE(shown.text, message);
        QCOMPARE(shown.title, kTitle);
        QCOMPARE(shown.icon, PromptIcon::Warning);
        checkEndMessageOnlyWhenPrinted(false);
        QCOMPARE(cups_.jobCount(kAlfa), alfa);
        QCOMPARE(cups_.jobCount(kZeta), zeta);

        // Still answering: a field takes typing, and a good grid prints.
        QLineEdit* role = child<QLineEdit>(QStringLiteral("txtCampo_3"));
        typeInto(role, QStringLiteral("Tesoriere"));
        QCOMPARE(window_->record().fields[Role], QStringLiteral("Tesoriere"));
        typeInto(cmbRighe->lineEdit(), QStringLiteral("3"));
        typeInto(cmbColonne->lineEdit(), QStringLiteral("1"));
        const QByteArray job = printThroughWindow(kAlfa, kAlfa);
        if (QTest::currentTestFailed()) return;
        const QString text = PrivateCups::pdfText(job);
        QCOMPARE(text.count(QStringLiteral("Tesoriere")), 3);
    }
    void unavailablePrinterIsToldAndNothingPrints_data() {
        QTest::addColumn<bool>("remove");
        QTest::addColumn<bool>("whileDrawing");
        QTest::addColumn<QString>("message");
        const QString refuses =
            QStringLiteral("La stampante Alfa non accetta stampe: il lavoro è stato rifiutato.");
        const QString gone = QStringLiteral(
            "La stampante Alfa non è più disponibile: il lavoro non è stato stampato.");
        QTest::newRow("refuses jobs, closed after it was picked") << false << false << refuses;
        QTest::newRow("removed after it was picked") << true << false << gone;
        // The program has checked the printer and begun the sheet when the queue goes.
        QTest::newRow("refuses jobs, closed while the sheet is drawn") << false << true << refuses;
        QTest::newRow("removed while the sheet is drawn") << true << true << gone;
    }
    void unavailablePrinterIsToldAndNothingPrints() {
        QFETCH(bool, remove);
        QFETCH(bool, whileDrawing);
        QFETCH(QString, message);
        window_->setRecord(
            clubRecord(kShortFirstName, kShortSurname, QStringLiteral("6"), QStringLiteral("2")));
        const int zeta = cups_.jobCount(kZeta);
        const int alfa = cups_.jobCount(kAlfa);
        QVERIFY(zeta >= 0 && alfa >= 0);

        auto takeAlfaAway = [&] {
            alfaTakenAway_ = true;
            return remove ? cups_.removePrinter(kAlfa) : cups_.rejectJobs(kAlfa);
        };
        openPanelAndPick(kAlfa);
        bool tookAway = false;
        bool duringThePrint = false;
        if (whileDrawing) {
            // Runs when the print job lets pending events through, after the panel has gone and
            // the printer was found fit to print.
            QMetaObject::invokeMethod(
                this,
                [&] {
                    duringThePrint = child<QWidget>(QStringLiteral("frmPrinter"))->isHidden() &&
                                     prompts_->messages.isEmpty();
                    tookAway = takeAlfaAway();
                },
                Qt::QueuedConnection);
        } else {
            tookAway = takeAlfaAway();
        }
        pressPanelPrint();
        // Had the print let no events through, the call must still run while its captures live.
        QCoreApplication::processEvents();
        QVERIFY2(tookAway, qPrintable(cups_.errorString()));
        if (whileDrawing) QVERIFY(duringThePrint);

        QCOMPARE(prompts_->texts(), QStringList({message}));
        QCOMPARE(prompts_->messages.first().title, kTitle);
        QCOMPARE(prompts_->messages.first().icon, PromptIcon::Warning);
        checkEndMessageOnlyWhenPrinted(false);
        // Nothing went to the default printer in its place, nor to Alfa.
        QCOMPARE(cups_.jobCount(kZeta), zeta);
        if (remove) {
            QCOMPARE(entries(child<QListWidget>(QStringLiteral("lstStampanti"))).count(kAlfa), 1);
            QVERIFY(!QFileInfo::exists(cups_.capturePath(kAlfa)));
        } else {
            QCOMPARE(cups_.jobCount(kAlfa), alfa);
        }

        // Still answering: typing, and the list shows what is installed now.
        typeInto(child<QLineEdit>(QStringLiteral("txtCampo_3")), QStringLiteral("Tesoriere"));
        QCOMPARE(window_->record().fields[Role], QStringLiteral("Tesoriere"));
        openPanelAndPick(QString());
        QCOMPARE(entries(child<QListWidget>(QStringLiteral("lstStampanti"))),
                 remove ? QStringList({kZeta, kPdf}) : QStringList({kAlfa, kZeta, kPdf}));
        QTest::mouseClick(child<QPushButton>(QStringLiteral("cmdSelStampante_1")), Qt::LeftButton);
        QCOMPARE(prompts_->messages.size(), qsizetype(1));

        // Alfa back as it was, and the same window prints on it.
        QVERIFY(restoreAlfa());
        const QByteArray job = printThroughWindow(kAlfa, kAlfa);
        if (QTest::currentTestFailed()) return;
        QVERIFY(PrivateCups::pdfText(job).contains(QStringLiteral("Tesoriere")));
    }
};

QTEST_MAIN(QueueChoiceTest)
#include "tst_queuechoice.moc"
