// Start-up: the main window with a default data file present, created, shown and painted once,
// against a bare QWidget of the same size and flags created and shown the same way. Each start
// is timed in a new process of this program, from main() to the end of the first paint, which
// is also where that process's peak memory is read.
#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>
#include <QWidget>
#include <cstdio>
#include <map>
#include <memory>

#include "app/setup.h"
#include "benchmarks.h"
#include "benchsupport.h"
#include "data/cardfile.h"
#include "data/datalocation.h"
#include "fakeprinters.h"
#include "print/fonts.h"
#include "samples.h"
#include "scriptedprompts.h"
#include "window/frmquarzello.h"
#include "window/twips.h"

using namespace quarzello;

namespace {

// The main window's own flags and size; checked against a real window in every run.
const Qt::WindowFlags kFlags = Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                               Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint;
QSize windowSize() { return {twipsToPixels(6915), twipsToPixels(4515)}; }

std::unique_ptr<QWidget> bareWindow() {
    auto bare = std::make_unique<QWidget>();
    bare->setWindowFlags(kFlags);
    bare->setFixedSize(windowSize());
    return bare;
}

// The bare window with one line of text in the window's own face: what any window that shows
// text pays for the font system (fontconfig, the face, its glyphs), for comparison.
std::unique_ptr<QWidget> labelWindow() {
    installFontSubstitutions();
    auto window = bareWindow();
    auto* label = new QLabel(QStringLiteral("Quarzello del Camperista"), window.get());
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSizeF(8.25);
    label->setFont(font);
    label->move(10, 10);
    return window;
}

class PaintWatch : public QObject {
  public:
    bool painted = false;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) painted = true;
        return false;
    }
};

// The window paints itself and all its children in one pass of the backing store; once the
// events that brought the first paint have been processed, the whole window is on screen.
void showAndWaitForPaint(QWidget& window) {
    PaintWatch watch;
    window.installEventFilter(&watch);
    window.show();
    const QDeadlineTimer deadline(10000);
    while (!watch.painted && !deadline.hasExpired()) QCoreApplication::processEvents();
    window.removeEventFilter(&watch);
    if (!watch.painted) fail(QStringLiteral("the window was never painted"));
}

struct ChildResult {
    double ms = 0;
    double kib = 0;
};

ChildResult startChild(const QString& self, const QString& kind, const QString& folder) {
    QProcess child;
    child.setProgram(self);
    child.setArguments({QStringLiteral("--startup-child"), kind, folder});
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start();
    if (!child.waitForFinished(60000) || child.exitStatus() != QProcess::NormalExit ||
        child.exitCode() != 0)
        fail(QStringLiteral("the %1 start-up child failed").arg(kind));
    const QString out = QString::fromUtf8(child.readAllStandardOutput()).trimmed();
    ChildResult result;
    int messages = -1;
    for (const QString& field : out.split(QLatin1Char(' '))) {
        const QString key = field.section(QLatin1Char('='), 0, 0);
        const QString value = field.section(QLatin1Char('='), 1);
        if (key == QLatin1String("ms")) result.ms = value.toDouble();
        if (key == QLatin1String("hwm_kib")) result.kib = value.toDouble();
        if (key == QLatin1String("messages")) messages = value.toInt();
    }
    if (result.ms <= 0 || result.kib <= 0 || messages != 0)
        fail(QStringLiteral("the %1 start-up child said \"%2\"").arg(kind, out));
    return result;
}

}  // namespace

int runStartupChild(const QStringList& args, const QElapsedTimer& sinceMain) {
    static int argc = 1;
    static char name[] = "quarzello-bench";
    static char* argv[] = {name, nullptr};
    QApplication app(argc, argv);

    ScriptedPrompts prompts;
    FakePrinterSystem printers;
    std::unique_ptr<QWidget> window;
    if (args.value(0) == QLatin1String("window") && !args.value(1).isEmpty()) {
        setUpProcess(args.value(1));
        // As the program starts: the data file's place is part of the cost.
        window = std::make_unique<frmQuarzello>(args.value(1), decideDataLocation(args.value(1)),
                                                prompts, printers);
    } else if (args.value(0) == QLatin1String("bare"))
        window = bareWindow();
    else if (args.value(0) == QLatin1String("label"))
        window = labelWindow();
    else
        fail(QStringLiteral("--startup-child wants \"window FOLDER\", \"bare\" or \"label\""));
    showAndWaitForPaint(*window);

    const double ms = sinceMain.nsecsElapsed() / 1e6;
    // For finding where the memory went: the process's mappings with their resident sizes.
    const QString smaps = qEnvironmentVariable("QUARZELLO_BENCH_SMAPS");
    if (!smaps.isEmpty()) {
        QFile in(QStringLiteral("/proc/self/smaps"));
        QFile out(smaps);
        if (in.open(QIODevice::ReadOnly) && out.open(QIODevice::WriteOnly)) out.write(in.readAll());
    }
    std::printf("ms=%.3f hwm_kib=%lld messages=%lld\n", ms, peakResidentKiB(),
                static_cast<long long>(prompts.messages.size()));
    return 0;
}

void benchStartup(const QString& self, const RunCounts& counts, std::vector<ResultRow>& rows) {
    std::printf("\nStart-up (main window with a default data file, shown and painted once)\n");

    QTemporaryDir folder;
    if (!folder.isValid()) fail(QStringLiteral("no temporary folder"));
    const Result<QByteArray> written =
        writeCardFile(QDir(folder.path()).filePath(kDefaultFileName), crowdedRecord(4, 8));
    if (!written) fail(QStringLiteral("cannot write the default data file: ") + written.error());

    // The floor must stay the window's twin in everything but content.
    {
        ScriptedPrompts prompts;
        FakePrinterSystem printers;
        setUpProcess(folder.path());
        frmQuarzello window(folder.path(), besideProgram(folder.path()), prompts, printers);
        const auto bare = bareWindow();
        if (window.windowFlags() != bare->windowFlags() || window.size() != bare->size())
            fail(QStringLiteral("the bare window no longer has the main window's size and flags"));
        if (!prompts.messages.isEmpty()) fail(QStringLiteral("the window complained at start-up"));
    }

    // The three kinds of start take turns, each run starting with another kind.
    const QStringList kinds = {QStringLiteral("window"), QStringLiteral("bare"),
                               QStringLiteral("label")};
    std::map<QString, Series> ms, kib;
    for (int i = 0; i < counts.startupProcesses; ++i) {
        for (int j = 0; j < kinds.size(); ++j) {
            const QString& kind = kinds[(i + j) % kinds.size()];
            const ChildResult r = startChild(self, kind, folder.path());
            ms[kind].runs.push_back(r.ms);
            kib[kind].runs.push_back(r.kib);
        }
    }
    const Series& windowMs = ms[kinds[0]];
    const Series& bareMs = ms[kinds[1]];
    const Series& labelMs = ms[kinds[2]];
    const Series& windowKiB = kib[kinds[0]];
    const Series& bareKiB = kib[kinds[1]];
    const Series& labelKiB = kib[kinds[2]];
    printSeries(QStringLiteral("new process, main() to painted: window"), windowMs,
                QStringLiteral("ms"));
    printSeries(QStringLiteral("new process, main() to painted: bare QWidget"), bareMs,
                QStringLiteral("ms"));
    printSeries(QStringLiteral("new process, main() to painted: one QLabel"), labelMs,
                QStringLiteral("ms"));
    printSeries(QStringLiteral("peak resident memory (VmHWM): window"), windowKiB,
                QStringLiteral("KiB"));
    printSeries(QStringLiteral("peak resident memory (VmHWM): bare QWidget"), bareKiB,
                QStringLiteral("KiB"));
    printSeries(QStringLiteral("peak resident memory (VmHWM): one QLabel"), labelKiB,
                QStringLiteral("KiB"));

    // The same two windows again in this running application: what the window itself costs
    // once Qt, its plugins and its fonts are loaded. Shown for information.
    ScriptedPrompts prompts;
    FakePrinterSystem printers;
    Series warmWindow, warmBare;
    interleave(
        3, counts.startupInProcess,
        [&] {
            std::unique_ptr<QWidget> window;
            const double took = timeMs([&] {
                window = std::make_unique<frmQuarzello>(
                    folder.path(), decideDataLocation(folder.path()), prompts, printers);
                showAndWaitForPaint(*window);
            });
            window.reset();
            QCoreApplication::processEvents();
            return took;
        },
        [&] {
            std::unique_ptr<QWidget> window;
            const double took = timeMs([&] {
                window = bareWindow();
                showAndWaitForPaint(*window);
            });
            window.reset();
            QCoreApplication::processEvents();
            return took;
        },
        warmWindow, warmBare);
    printSeries(QStringLiteral("in a running application: window"), warmWindow,
                QStringLiteral("ms"));
    printSeries(QStringLiteral("in a running application: bare QWidget"), warmBare,
                QStringLiteral("ms"));

    // Offscreen a bare window paints no text: for information only, the X start-up is the one.
    rows.push_back(ratioRow(QStringLiteral("offscreen start-up, new process to first paint"),
                            windowMs.median(), bareMs.median(), QStringLiteral("ms"), 1, 0));
    rows.push_back(ratioRow(QStringLiteral("peak memory of that start-up (VmHWM)"),
                            windowKiB.median() / 1024.0, bareKiB.median() / 1024.0,
                            QStringLiteral("MiB"), 1, 0));
    rows.push_back(ratioRow(QStringLiteral("start-up against a window with one label"),
                            windowMs.median(), labelMs.median(), QStringLiteral("ms"), 1, 0));
    rows.push_back(ratioRow(QStringLiteral("peak memory against a window with one label"),
                            windowKiB.median() / 1024.0, labelKiB.median() / 1024.0,
                            QStringLiteral("MiB"), 1, 0));
    rows.push_back(ratioRow(QStringLiteral("window alone, in a running app"), warmWindow.median(),
                            warmBare.median(), QStringLiteral("ms"), 2, 0));
}
