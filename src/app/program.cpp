// The program's run: the process set up, the window built on the real seams, the event loop.
#include "app/program.h"

#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QThreadPool>
#include <cerrno>
#include <cstring>
#include <optional>

#include "app/display.h"
#include "app/setup.h"
#include "app/windowgone.h"
#include "cli/commandline.h"
#include "data/datalocation.h"
#include "platform/marginmemory.h"
#include "platform/offsetmemory.h"
#include "platform/qtprompts.h"
#include "platform/settingslocation.h"
#include "platform/settingsstore.h"
#include "printers/cupsprintersystem.h"
#include "window/frmquarzello.h"

namespace quarzello {

namespace {

// The waits on the print service, shortened by the tests through the environment.
ServiceTimings timingsFromEnvironment() {
    ServiceTimings timings;
    bool ok = false;
    if (const qint64 ms = qEnvironmentVariableIntValue("QUARZELLO_SERVICE_WAIT_MS", &ok);
        ok && ms > 0)
        timings.budgetMs = ms;
    if (const qint64 ms = qEnvironmentVariableIntValue("QUARZELLO_JOB_WAIT_MS", &ok); ok && ms >= 0)
        timings.followMs = ms;
    return timings;
}

// On the command line, standard error is for the program's own messages: Qt's notes about its
// set-up (a missing runtime folder, fonts) would only bury them.
void onlySeriousMessages(QtMsgType type, const QMessageLogContext& context,
                         const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg) qt_message_output(type, context, message);
}

}  // namespace

int runProgram(int argc, char* argv[]) {
    const bool commandLine = wantsCommandLine(argc, argv);
    // Taken before Qt reads them: Qt keeps only what it can decode.
    QByteArrayList rawArguments;
    for (int i = 0; i < argc; ++i) rawArguments.append(argv[i]);
    if (commandLine) {
        qInstallMessageHandler(onlySeriousMessages);
        // The command line's work needs no display, and a display that is named but gone (an
        // old DISPLAY, a dead compositor) must not stop it: Qt draws offscreen.
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    std::optional<DisplayGuard> guard;
    if (!commandLine) guard.emplace();
    QApplication app(argc, argv);
    guard.reset();
    const ProgramFolder folder = findProgramFolder();
    const QString& programFolder = folder.path;
    const QString startedIn = QDir::currentPath();
    setUpProcess(programFolder);
    // A folder the program cannot name is still made current, by the bytes of its name: the
    // program never works in the folder it happened to be started from.
    if (programFolder.isEmpty() && ::chdir(folder.bytes.constData()) != 0)
        qWarning("quarzello: impossibile entrare nella cartella del programma: %s",
                 std::strerror(errno));

    // After the set-up: the user's data folder is named after the application.
    const DataLocation location = programFolder.isEmpty() ? forUnnamedProgramFolder(folder)
                                                          : decideDataLocation(programFolder);
    const ServiceTimings timings = timingsFromEnvironment();
    if (commandLine)
        return runCommandLine(QCoreApplication::arguments(), rawArguments, startedIn, location,
                              timings);

    QtPrompts prompts;
    SettingsStore settings(settingsFilePath());
    CupsPrinterSystem printers;
    // The calls to the print service run here. Declared after the printers and before the window:
    // once the window has gone (giving up whatever it waited on), the pool waits for its threads,
    // and only then do the printers go.
    QThreadPool pool;
    const WindowGoneWatch watch;
    frmQuarzello window(programFolder, location, prompts, printers,
                        {timings, pdfDocuments(), &pool, &settings, &settings});
    // The window's start-up may have asked, and the window been destroyed meanwhile.
    if (watch.windowGone()) return 0;
    window.show();
    return app.exec();
}

}  // namespace quarzello
