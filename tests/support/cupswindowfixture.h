// The base of the tests that print from the real window on a private CUPS scheduler whose
// queues, Zeta (the system's default) and Alfa, write every job to a file: each test starts the
// program afresh, as the user would, and finds Alfa installed and accepting jobs.
#pragma once

#include <QByteArray>
#include <QLineEdit>
#include <QObject>
#include <QString>
#include <QTemporaryDir>
#include <QThreadPool>
#include <memory>

#include "flows/printflow.h"
#include "printers/cupsprintersystem.h"
#include "privatecups.h"
#include "scriptedprompts.h"
#include "window/frmquarzello.h"

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
    void initTestCase();
    void init();
    void cleanup();

  protected:
    template <typename T>
    T* child(const QString& name) const {
        T* widget = window_->findChild<T*>(name);
        if (!widget) qFatal("no widget named %s", qPrintable(name));
        return widget;
    }
    // The main print button, then (when a name is given) a click on that printer in the list.
    void openPanelAndPick(const QString& printer);
    void pressPanelPrint();
    // The whole print through the window, then the job as the queue received it. Checks that the
    // end-of-printing message came once, only after the scheduler had the job, and that no other
    // queue got anything.
    QByteArray printThroughWindow(const QString& pick, const QString& expectedQueue);
    void typeInto(QLineEdit* box, const QString& text);
    void checkEndMessageOnlyWhenPrinted(bool printed);

    PrivateCups cups_;
    CupsPrinterSystem printers_;
    // Where the window's calls on the service run: a test waits for them to end.
    QThreadPool pool_;
    std::unique_ptr<QTemporaryDir> folder_;
    std::unique_ptr<ScriptedPrompts> prompts_;
    std::unique_ptr<frmQuarzello> window_;
    // Puts Alfa back, installed and accepting jobs, after a test took it away.
    bool restoreAlfa();
    void openWindow(const ServiceTimings& timings);

    int jobsWhenEndShown_ = -1;
    bool alfaTakenAway_ = false;
    QString queueOfEndMessage_;
};

}  // namespace quarzello
