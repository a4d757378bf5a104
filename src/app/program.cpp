// The program's run: the process set up, the window built on the real seams, the event loop.
#include "app/program.h"

#include <QApplication>

#include "app/frmquarzello.h"
#include "app/servicewaiter.h"
#include "app/setup.h"
#include "platform/qtprompts.h"
#include "printers/cupsprintersystem.h"

namespace quarzello {

int runProgram(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const QString programFolder = QCoreApplication::applicationDirPath();
    setUpProcess(programFolder);

    QtPrompts prompts;
    CupsPrinterSystem printers;
    frmQuarzello window(programFolder, prompts, printers);
    window.show();
    const int status = app.exec();
    return status;
}

}  // namespace quarzello
