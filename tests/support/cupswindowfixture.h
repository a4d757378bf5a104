// The base of the tests that print from the real window on a private CUPS scheduler whose
// queues, Zeta (the system's default) and Alfa, write every job to a file: each test starts the
// program afresh, as the user would, and finds Alfa installed and accepting jobs.
#pragma once

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QThreadPool>
#include <memory>

#include "app/setup.h"
#include "flows/printflow.h"
#include "printers/cupsprintersystem.h"
#include "privatecups.h"
#include "scriptedprompts.h"
#include "window/frmquarzello.h"
#include "windowfixture.h"

namespace quarzello {

inline const QString kAlfa = QStringLiteral("Alfa");
inline const QString kZeta = QStringLiteral("Zeta");
inline const QString kPdf = QStringLiteral("Salva come PDF…");
inline const QString kTitle = QStringLiteral("Quarzello del Camperista");

inline const QString kShortFirstName = QStringLiteral("Ugo");
inline const QString kShortSurname = QStringLiteral("Neri");

class CupsWindowTest : public QObject {
    Q_OBJECT

  protected slots:
    void initTestCase() {
        // The scheduler must be ours before anything in this process asks for a printer.
        QVERIFY2(cups_.start(), qPrintable(cups_.errorString()));
        QVERIFY2(cups_.addPrinter(kZeta), qPrintable(cups_.errorString()));
        QVERIFY2(cups_.addPrinter(kAlfa), qPrintable(cups_.errorString()));
        // A default that is not Alfa: a print that lost the user's choice would show up on Zeta.
        QVERIFY2(cups_.setDefault(kZeta), qPrintable(cups_.errorString()));
    }
    void init() {
        // Each test starts the program afresh, as the user would.
        folder_ = std::make_unique<QTemporaryDir>();
        QVERIFY(folder_->isValid());
        prompts_ = std::make_unique<ScriptedPrompts>();
        setUpProcess(folder_->path());
        openWindow(ServiceTimings{});
        prompts_->onMessage = [this](const MessageRequest& request) {
            if (request.text == QStringLiteral("Stampa conclusa"))
                jobsWhenEndShown_ = cups_.jobCount(queueOfEndMessage_);
        };
        jobsWhenEndShown_ = -1;
    }
    void cleanup() {
        // A test that failed half-way still leaves Alfa installed and open for the next one.
        restoreAlfa();
        window_.reset();
        prompts_.reset();
        folder_.reset();
    }

  protected:
    template <typename T>
    T* child(const QString& name) const {
        T* widget = window_->findChild<T*>(name);
        if (!widget) qFatal("no widget named %s", qPrintable(name));
        return widget;
    }
    // The main print button, then (when a name is given) a click on that printer in the list.
    void openPanelAndPick(const QString& printer) {
        QWidget* panel = child<QWidget>(QStringLiteral("frmPrinter"));
        QTest::mouseClick(child<QPushButton>(QStringLiteral("cmdStampa")), Qt::LeftButton);
        QVERIFY(panel->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(!window_->commandUnderWay(), 20000);
        if (printer.isEmpty()) return;
        QListWidget* list = child<QListWidget>(QStringLiteral("lstStampanti"));
        QVERIFY2(pickPrinter(list, printer), qPrintable(entries(list).join(u',')));
    }
    void pressPanelPrint() {
        QTest::mouseClick(child<QPushButton>(QStringLiteral("cmdSelStampante_0")), Qt::LeftButton);
        QVERIFY(child<QWidget>(QStringLiteral("frmPrinter"))->isHidden());
        QTRY_VERIFY_WITH_TIMEOUT(!window_->commandUnderWay(), 20000);
    }
    // The whole print through the window, then the job as the queue received it. Checks that the
    // end-of-printing message came once, only after the scheduler had the job, and that no other
    // queue got anything.
    QByteArray printThroughWindow(const QString& pick, const QString& expectedQueue) {
        const QString other = expectedQueue == kAlfa ? kZeta : kAlfa;
        const int before = cups_.jobCount(expectedQueue);
        const int otherBefore = cups_.jobCount(other);
        [&] {
            QVERIFY(before >= 0 && otherBefore >= 0);
            prompts_->messages.clear();
            queueOfEndMessage_ = expectedQueue;
            jobsWhenEndShown_ = -1;
            openPanelAndPick(pick);
            if (QTest::currentTestFailed()) return;
            pressPanelPrint();
            QVERIFY2(prompts_->messages.size() == 1, qPrintable(prompts_->texts().join(u'|')));
            checkEndMessageOnlyWhenPrinted(true);
            // The scheduler had the job when the user was told it was done.
            QCOMPARE(jobsWhenEndShown_, before + 1);
            QCOMPARE(cups_.jobCount(expectedQueue), before + 1);
            QCOMPARE(cups_.jobCount(other), otherBefore);
        }();
        if (QTest::currentTestFailed()) return QByteArray();
        const QByteArray job = cups_.waitForJob(expectedQueue);
        if (job.isEmpty()) QTest::qFail(qPrintable(cups_.errorString()), __FILE__, __LINE__);
        return job;
    }
    void typeInto(QLineEdit* box, const QString& text) {
        box->setFocus();
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Delete);
        QTest::keyClicks(box, text);
    }
    void checkEndMessageOnlyWhenPrinted(bool printed) {
        int ends = 0;
        for (const MessageRequest& m : prompts_->messages) {
            if (m.text != QStringLiteral("Stampa conclusa")) continue;
            ++ends;
            QCOMPARE(m.title, QStringLiteral("Fine stampa"));
            QCOMPARE(m.icon, PromptIcon::Information);
            QCOMPARE(m.buttons, PromptButtons::Ok);
        }
        QCOMPARE(ends, printed ? 1 : 0);
    }

    PrivateCups cups_;
    CupsPrinterSystem printers_;
    // Where the window's calls on the service run: a test waits for them to end.
    QThreadPool pool_;
    std::unique_ptr<QTemporaryDir> folder_;
    std::unique_ptr<ScriptedPrompts> prompts_;
    std::unique_ptr<frmQuarzello> window_;
    // Puts Alfa back, installed and accepting jobs, after a test took it away.
    bool restoreAlfa() {
        if (!alfaTakenAway_) return true;
        alfaTakenAway_ = false;
        Deadline deadline(30000);
        const Result<PrinterList> list = printers_.listPrinters(deadline);
        const bool there = (list && list->names.contains(kAlfa)) || cups_.addPrinter(kAlfa);
        if (!there || !cups_.acceptJobs(kAlfa)) {
            qWarning("Alfa cannot be restored: %s", qPrintable(cups_.errorString()));
            return false;
        }
        return true;
    }
    void openWindow(const ServiceTimings& timings) {
        window_ = std::make_unique<frmQuarzello>(
            folder_->path(), decideDataLocation(folder_->path()), *prompts_, printers_,
            PrintSettings{timings, pdfDocuments(), &pool_});
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
        prompts_->messages.clear();  // the first-run greeting
    }

    int jobsWhenEndShown_ = -1;
    bool alfaTakenAway_ = false;
    QString queueOfEndMessage_;
};

}  // namespace quarzello
