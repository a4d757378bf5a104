// The program's run: the process set up, the window built on the real seams, the event loop.
#include "app/program.h"

#include <QApplication>
#include <QDir>

#include "app/commandline.h"
#include "app/frmquarzello.h"
#include "app/servicewaiter.h"
#include "app/setup.h"
#include "platform/qtprompts.h"
#include "printers/cupsprintersystem.h"

namespace quarzello {

int runProgram(int argc, char* argv[]) {
    const bool commandLine = wantsCommandLine(argc, argv);
    // The command line's work needs no display: without one, Qt draws offscreen.
    if (commandLine && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
        qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString programFolder = QCoreApplication::applicationDirPath();
    const QString startedIn = QDir::currentPath();
    setUpProcess(programFolder);
    if (commandLine) return runCommandLine(QCoreApplication::arguments(), startedIn, programFolder);

    QtPrompts prompts;
    CupsPrinterSystem printers;
    frmQuarzello window(programFolder, prompts, printers);
    window.show();
    const int status = app.exec();
    BackgroundWaiter::finishAbandoned(5000);
    return status;
}

}  // namespace quarzello
