// The command line test's folder, scheduler and program runs.
#include "commandlinefixture.h"

#include <QProcess>
#include <QTest>

#include "data/cardfile.h"
#include "datafiles.h"
#include "samples.h"

namespace quarzello {

using datafiles::writeBytes;

void CommandLineFixture::initTestCase() {
    QVERIFY2(cups_.start(), qPrintable(cups_.errorString()));
    QVERIFY2(cups_.addPrinter("Zeta"), qPrintable(cups_.errorString()));
    QVERIFY2(cups_.addPrinter("Alfa"), qPrintable(cups_.errorString()));
    QVERIFY2(cups_.addPrinter("Margini", QUARZELLO_SOURCE_DIR "/tests/cups/margini.ppd"),
             qPrintable(cups_.errorString()));
    card_ = path("socio.qcf");
    QVERIFY(writeBytes(card_, encodeCardFile(clubRecord("Ugo", "Neri", "6", "2"))));
    QVERIFY(writeBytes(path("soci.csv"),
                       "Nome;Cognome;Righe;Colonne\r\nUgo;Neri;3;4\r\n"
                       "Lia;Bassi;;\r\nEva;Gallo;2;\r\n"));
}

ToolRun CommandLineFixture::quarzello(const QStringList& args, const QString& workingIn,
                                      const QStringList& environmentToo, const QString& output) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("DISPLAY");  // no display is needed
    environment.remove("QT_QPA_PLATFORM");
    environment.insert("XDG_DATA_HOME", path("data"));
    for (const QString& variable : environmentToo)
        environment.insert(variable.section('=', 0, 0), variable.section('=', 1));
    QProcess process;
    process.setProcessEnvironment(environment);
    if (!output.isEmpty()) process.setStandardOutputFile(output);
    process.setWorkingDirectory(workingIn.isEmpty() ? dir_.path() : workingIn);
    process.start(QStringLiteral(QUARZELLO_EXE), args);
    ToolRun run;
    if (!process.waitForFinished(60000)) return run;
    run.exitCode = process.exitCode();
    run.ok = process.exitStatus() == QProcess::NormalExit && run.exitCode == 0;
    run.output = process.readAllStandardOutput();
    run.errors = process.readAllStandardError();
    return run;
}

}  // namespace quarzello
