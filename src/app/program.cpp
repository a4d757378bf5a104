// The program's run: the process set up, the window built on the real seams, the event loop.
#include "app/program.h"

#include <QApplication>

#include "app/datalocation.h"
#include "app/frmquarzello.h"
#include "app/setup.h"
#include "platform/qtprompts.h"
#include "printers/qtprintersystem.h"

namespace quarzello {

int runProgram(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const QString programFolder = QCoreApplication::applicationDirPath();
    setUpProcess(programFolder);
    // After the set-up: the user's data folder is named after the application.
    const DataLocation location = decideDataLocation(programFolder);

    QtPrompts prompts;
    QtPrinterSystem printers;
    frmQuarzello window(programFolder, location, prompts, printers);
    window.show();
    return app.exec();
}

}  // namespace quarzello
