// quarzello-bench: start-up, print job, Save and Load and peak memory, each against its floor
// measured in the same run. Prints the detail of every series and a table of ratios.
//   quarzello-bench [--quick] [--only startup|print|stock|qr|back|files|preview] [--rows FILE.tsv]
// --only runs one benchmark, e.g. under a profiler.
// The start-up children are this same program, started as "--startup-child window|bare ...".
#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <cstdio>

#include "benchmarks.h"
#include "harness.h"

int main(int argc, char* argv[]) {
    QElapsedTimer sinceMain;
    sinceMain.start();

    QStringList args;
    for (int i = 1; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
    if (args.value(0) == QLatin1String("--startup-child"))
        return runStartupChild(args.mid(1), sinceMain);

    // Timings must not depend on a display server that may or may not be there.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    RunCounts counts;
    QString rowsPath;
    QString only;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--quick")) {
            counts = {5, 10, 5, 200, 51, 3, 21};
        } else if (args[i] == QLatin1String("--only") && i + 1 < args.size()) {
            only = args[++i];
        } else if (args[i] == QLatin1String("--rows") && i + 1 < args.size()) {
            rowsPath = args[++i];
        } else {
            fail(QStringLiteral("unknown argument %1 (use --quick, --only NAME, --rows FILE)")
                     .arg(args[i]));
        }
    }

    std::printf("Qt %s, platform plugin \"%s\" (QT_QPA_PLATFORM=%s)\n", qVersion(),
                qPrintable(QGuiApplication::platformName()),
                qgetenv("QT_QPA_PLATFORM").constData());
    std::fflush(stdout);

    std::vector<ResultRow> rows;
    const auto wanted = [&only](const char* name) { return only.isEmpty() || only == name; };
    if (wanted("startup")) benchStartup(QCoreApplication::applicationFilePath(), counts, rows);
    if (wanted("print")) benchPrintJob(counts, rows);
    if (wanted("print")) benchMemberList(counts, rows);
    if (wanted("stock")) benchStock(counts, rows);
    if (wanted("qr")) benchQr(counts, rows);
    if (wanted("qr")) benchListWithQr(counts, rows);
    if (wanted("back")) benchBack(counts, rows);
    if (wanted("files")) benchSaveLoad(counts, rows);
    if (wanted("preview")) benchPreview(counts, rows);
    if (rows.empty()) fail(QStringLiteral("nothing to run for --only ") + only);

    // With --rows the caller prints the table, together with its own figures.
    if (rowsPath.isEmpty()) std::printf("\n");
    printTable(rows, rowsPath);
    return 0;
}
