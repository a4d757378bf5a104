// Printing from end to end, a job under way: the real window and a private CUPS scheduler. The
// questions about shortened lines and a stopped printer, a failed job and a silent service told
// while the window answers, other commands waiting for the print, and giving up at once.
#include <QTimer>
#include <QtTest>
#include <algorithm>

#include "cupswindowfixture.h"
#include "samples.h"

using namespace quarzello;

class JobFollowingTest : public CupsWindowTest {
    Q_OBJECT

  private slots:
    void shortenedLinesAreAskedAbout_data() {
        QTest::addColumn<QString>("columns");
        QTest::addColumn<QString>("rows");
        QTest::addColumn<int>("readMs");  // 0: answered No at once; else Yes after that long
        QTest::newRow("fits on 1 x 1") << "1"
                                       << "1" << 0;
        QTest::newRow("cut short on 4 x 8") << "4"
                                            << "8" << 0;
        // Read for longer than the whole budget of the print: the question's time is not charged.
        QTest::newRow("cut short, read at length") << "4"
                                                   << "8" << 1500;
    }
    void shortenedLinesAreAskedAbout() {
        QFETCH(QString, columns);
        QFETCH(QString, rows);
        QFETCH(int, readMs);
        if (readMs > 0) {
            openWindow(ServiceTimings{1000});
            prompts_->onMessage = [readMs](const MessageRequest& asked) {
                if (asked.text.startsWith(QStringLiteral("Queste righe"))) QTest::qWait(readMs);
            };
            prompts_->answers = {PromptAnswer::Yes};
        }
        CardRecord card = clubRecord(kShortFirstName, kShortSurname, rows, columns);
        card.fields[Role] =
            QStringLiteral("Presidente del Club dei Camperisti di Milano e provincia");
        window_->setRecord(card);
        if (columns == "1") {
            QVERIFY(!printThroughWindow(kAlfa, kAlfa).isEmpty());
            return;
        }
        const int before = cups_.jobCount(kAlfa);
        if (readMs == 0) prompts_->answers = {PromptAnswer::No};
        openPanelAndPick(kAlfa);
        pressPanelPrint();
        QCOMPARE(cups_.jobCount(kAlfa), before + int(readMs > 0));
        QCOMPARE(prompts_->messages.size(), qsizetype(readMs > 0 ? 2 : 1));
        QCOMPARE(prompts_->texts().last() == QStringLiteral("Stampa conclusa"), readMs > 0);
        const MessageRequest& asked = prompts_->messages.first();
        QVERIFY2(
            asked.text.startsWith(QStringLiteral("Queste righe non entrano nel biglietto e "
                                                 "saranno accorciate:\rPresidente del Club")) &&
                asked.text.endsWith(QStringLiteral("…\r\rStampare comunque?")),
            qPrintable(asked.text));
        QCOMPARE(asked.defaultButton, PromptAnswer::Yes);
    }
    void stoppedPrinterIsAskedAbout_data() {
        QTest::addColumn<PromptAnswer>("answer");
        QTest::newRow("no: nothing sent") << PromptAnswer::No;
        QTest::newRow("yes: waits in the queue") << PromptAnswer::Yes;
    }
    void stoppedPrinterIsAskedAbout() {
        QFETCH(PromptAnswer, answer);
        window_->setRecord(
            clubRecord(kShortFirstName, kShortSurname, QStringLiteral("6"), QStringLiteral("2")));
        QVERIFY2(cups_.stopPrinter(kAlfa, QStringLiteral("Manutenzione")),
                 qPrintable(cups_.errorString()));
        alfaTakenAway_ = true;
        const int before = cups_.jobCount(kAlfa);
        prompts_->answers = {answer};
        openPanelAndPick(kAlfa);
        pressPanelPrint();
        const MessageRequest& asked = prompts_->messages.first();
        QVERIFY2(asked.text.startsWith(QStringLiteral("La stampante Alfa è ferma")) &&
                     asked.text.contains(QStringLiteral("Manutenzione")),
                 qPrintable(asked.text));
        QCOMPARE(asked.defaultButton, PromptAnswer::No);
        QCOMPARE(cups_.jobCount(kAlfa), before + (answer == PromptAnswer::Yes ? 1 : 0));
        QCOMPARE(prompts_->texts().mid(1), answer == PromptAnswer::Yes
                                               ? QStringList{waitingInStoppedQueueText(kAlfa)}
                                               : QStringList{});
        checkEndMessageOnlyWhenPrinted(false);
        QVERIFY(cups_.restartPrinter(kAlfa));
        if (answer == PromptAnswer::Yes) QVERIFY(!cups_.waitForJob(kAlfa).isEmpty());
    }
    void failedJobIsToldWhileTheWindowAnswers() {
        window_->setRecord(
            clubRecord(kShortFirstName, kShortSurname, QStringLiteral("6"), QStringLiteral("2")));
        QVERIFY(cups_.failJobs(kAlfa, QStringLiteral("Carta inceppata")));
        int ticks = 0;
        QTimer tick;
        connect(&tick, &QTimer::timeout, [&] { ++ticks; });
        prompts_->onMessage = [&](const MessageRequest&) { tick.stop(); };
        openPanelAndPick(kAlfa);
        tick.start(5);
        pressPanelPrint();
        QVERIFY(cups_.succeedJobs(kAlfa));
        QVERIFY2(ticks > 0, "the window did not answer while the job was followed");
        QCOMPARE(prompts_->messages.size(), qsizetype(1));
        QVERIFY2(prompts_->texts().first().contains(QStringLiteral("Alfa")) &&
                     prompts_->texts().first().contains(QStringLiteral("Carta inceppata")),
                 qPrintable(prompts_->texts().first()));
        checkEndMessageOnlyWhenPrinted(false);
    }
    void silentServiceIsToldWhileTheWindowAnswers_data() {
        QTest::addColumn<bool>("whilePrinting");
        QTest::newRow("filling the list") << false;
        QTest::newRow("printing") << true;
    }
    void silentServiceIsToldWhileTheWindowAnswers() {
        QFETCH(bool, whilePrinting);
        openWindow(ServiceTimings{1500});
        const auto restore = qScopeGuard([this] { cups_.thaw(); });
        window_->setRecord(
            clubRecord(kShortFirstName, kShortSurname, QStringLiteral("6"), QStringLiteral("2")));
        if (whilePrinting) openPanelAndPick(kAlfa);
        int ticks = 0;
        QTimer tick;
        connect(&tick, &QTimer::timeout, [&] { ++ticks; });
        tick.start(5);
        QVERIFY(cups_.freeze());
        if (whilePrinting)
            pressPanelPrint();
        else
            QTest::mouseClick(child<QPushButton>(QStringLiteral("cmdStampa")), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!window_->commandUnderWay(), 20000);
        QVERIFY2(ticks > 10, "the window did not answer while the service was silent");
        QCOMPARE(prompts_->messages.size(), qsizetype(1));
        const QString told = prompts_->texts().first();
        QVERIFY2(told.startsWith(QStringLiteral("Il servizio di stampa non risponde")) &&
                     told.contains(whilePrinting ? kAlfa : QStringLiteral("elenco")),
                 qPrintable(told));
        if (!whilePrinting) QCOMPARE(entries(child<QListWidget>("lstStampanti")).last(), kPdf);
    }
    void otherCommandsWaitForThePrint_data() {
        QTest::addColumn<int>("key");
        QTest::newRow("Esci") << int(Qt::Key_E);
        QTest::newRow("Salva") << int(Qt::Key_L);
        QTest::newRow("Carica") << int(Qt::Key_C);
        QTest::newRow("Stampa") << int(Qt::Key_S);
    }
    void otherCommandsWaitForThePrint() {
        QFETCH(int, key);
        window_->setRecord(
            clubRecord(kShortFirstName, kShortSurname, QStringLiteral("6"), QStringLiteral("2")));
        const int before = cups_.jobCount(kAlfa);
        openPanelAndPick(kAlfa);
        QVERIFY(cups_.freeze());
        auto thaw = qScopeGuard([this] { cups_.thaw(); });
        QTest::mouseClick(child<QPushButton>(QStringLiteral("cmdSelStampante_0")), Qt::LeftButton);
        QTest::keyClick(window_.get(), Qt::Key(key), Qt::AltModifier);
        // An access key presses its button and clicks it a moment later: that click must fall
        // within the print too, so the scheduler stays frozen until it has come.
        const QList<QPushButton*> buttons = window_->findChildren<QPushButton*>();
        QTRY_VERIFY(std::none_of(buttons.begin(), buttons.end(),
                                 [](const QPushButton* button) { return button->isDown(); }));
        // The command is refused as the key is handled: the print goes on, nothing is asked.
        QVERIFY(window_->commandUnderWay());
        QVERIFY2(prompts_->messages.isEmpty() && prompts_->dialogs.isEmpty(),
                 qPrintable(prompts_->texts().join(u'|')));
        QVERIFY(cups_.thaw());
        QTRY_VERIFY_WITH_TIMEOUT(!window_->commandUnderWay(), 20000);
        QVERIFY2(prompts_->texts() == QStringList{QStringLiteral("Stampa conclusa")},
                 qPrintable(prompts_->texts().join(u'|')));
        QCOMPARE(cups_.jobCount(kAlfa), before + 1);
        QVERIFY(window_->isVisible());
    }
    void givingUpEndsTheWaitAtOnce_data() {
        QTest::addColumn<bool>("closing");
        QTest::newRow("Escape while the list is filled") << false;
        QTest::newRow("the close box during a print") << true;
    }
    void givingUpEndsTheWaitAtOnce() {
        QFETCH(bool, closing);
        window_->setRecord(
            clubRecord(kShortFirstName, kShortSurname, QStringLiteral("6"), QStringLiteral("2")));
        if (closing) openPanelAndPick(kAlfa);
        QVERIFY(cups_.freeze());
        auto thaw = qScopeGuard([this] { cups_.thaw(); });
        QTest::mouseClick(child<QPushButton>(closing ? QStringLiteral("cmdSelStampante_0")
                                                     : QStringLiteral("cmdStampa")),
                          Qt::LeftButton);
        QVERIFY(window_->commandUnderWay());
        if (closing) {
            window_->close();
        } else {
            QTest::keyClick(child<QListWidget>(QStringLiteral("lstStampanti")), Qt::Key_Escape);
            QVERIFY(!window_->commandUnderWay());
            QVERIFY(child<QWidget>(QStringLiteral("frmPrinter"))->isHidden());
        }
        // The call on the service ends with the scheduler still frozen, long before its budget.
        QTRY_COMPARE_WITH_TIMEOUT(pool_.activeThreadCount(), 0, 5000);
        QCoreApplication::sendPostedEvents();  // what the finished call reported
        if (closing) window_.reset();
        QVERIFY(prompts_->messages.isEmpty());
    }
};

QTEST_MAIN(JobFollowingTest)
#include "tst_jobfollowing.moc"
