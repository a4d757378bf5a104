// quarzello-print-sheet: one whole run of the program's printing, as a command. Starts Qt,
// creates the main window over a default data file holding the sample card (in a temporary
// program folder), prints the sheet into a PDF file through the program's own print code and
// exits.
//   quarzello-print-sheet [--grid COLUMNSxROWS] OUTPUT.pdf      (the grid defaults to 4x8)
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <cstdio>

#include "app/cardfilecommands.h"
#include "app/frmquarzello.h"
#include "app/setup.h"
#include "data/cardfile.h"
#include "fakeprinters.h"
#include "print/qprintersurface.h"
#include "print/sheet.h"
#include "samples.h"
#include "scriptedprompts.h"

using namespace quarzello;

namespace {

int usage(const char* why) {
    std::fprintf(stderr,
                 "quarzello-print-sheet: %s\n"
                 "usage: quarzello-print-sheet [--grid COLUMNSxROWS] OUTPUT.pdf\n",
                 why);
    return 2;
}

}  // namespace

int main(int argc, char* argv[]) {
    // A command run from a script or over ssh has no display; the sheet needs none.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    const QStringList args = QCoreApplication::arguments().mid(1);
    int columns = 4;
    int rows = 8;
    QString output;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--grid")) {
            const auto match =
                QRegularExpression(QStringLiteral("^([0-9]+)x([0-9]+)$")).match(args.value(i + 1));
            if (!match.hasMatch()) return usage("--grid wants COLUMNSxROWS, e.g. 2x6");
            columns = match.captured(1).toInt();
            rows = match.captured(2).toInt();
            ++i;
        } else if (output.isEmpty() && !args[i].startsWith(QLatin1Char('-'))) {
            output = args[i];
        } else {
            return usage("unexpected argument");
        }
    }
    if (output.isEmpty()) return usage("no output file named");
    // The window makes its own folder the current one: resolve the path before it exists.
    output = QFileInfo(output).absoluteFilePath();

    QTemporaryDir programFolder;
    const Result<void> written =
        programFolder.isValid()
            ? writeCardFile(QDir(programFolder.path()).filePath(kDefaultFileName),
                            readmeRecord(columns, rows))
            : Result<void>(Failure{QStringLiteral("no temporary folder")});
    if (!written) {
        std::fprintf(stderr, "quarzello-print-sheet: %s\n", qPrintable(written.error()));
        return 1;
    }

    setUpProcess(programFolder.path());
    ScriptedPrompts prompts;
    FakePrinterSystem printers;
    frmQuarzello window(programFolder.path(), besideProgram(programFolder.path()), prompts,
                        printers);
    if (!prompts.messages.isEmpty()) {
        std::fprintf(stderr, "quarzello-print-sheet: %s\n", qPrintable(prompts.texts().join('\n')));
        return 1;
    }

    QPrinterSurface surface(output);
    const Result<void> outcome =
        StampaBiglietti(surface, window.record(), [] { QCoreApplication::processEvents(); });
    if (!outcome.ok()) {
        std::fprintf(stderr, "quarzello-print-sheet: %s\n", qPrintable(outcome.error()));
        return 1;
    }
    return 0;
}
