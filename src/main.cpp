// The program: Qt's Italian texts, the window (which sets up its own font stand-ins), the loop.
#include <QApplication>

#include "app/frmquarzello.h"
#include "platform/italian.h"
#include "platform/qtprompts.h"
#include "printers/qtprintersystem.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quarzello"));

    // Qt's own buttons and dialogs in Italian: "Sì", "No", "Annulla".
    installItalianTranslations();

    QtPrompts prompts;
    QtPrinterSystem printers;
    frmQuarzello window(QCoreApplication::applicationDirPath(), prompts, printers);
    prompts.setParent(&window);
    window.show();
    return app.exec();
}
