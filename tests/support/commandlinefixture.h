// The real program run as a process on its command line, in a folder of the test's own with a
// card file and a member list in it, beside a private CUPS scheduler with the queues Zeta, Alfa
// and Margini (a printer with margins).
#pragma once

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "data/cardfile.h"
#include "datafiles.h"
#include "privatecups.h"
#include "samples.h"
#include "tools.h"

namespace quarzello {

// The base of a command line test class.
class CommandLineFixture : public QObject {
    Q_OBJECT

  protected slots:
    void initTestCase() {
        QVERIFY2(cups_.start(), qPrintable(cups_.errorString()));
        QVERIFY2(cups_.addPrinter("Zeta"), qPrintable(cups_.errorString()));
        QVERIFY2(cups_.addPrinter("Alfa"), qPrintable(cups_.errorString()));
        QVERIFY2(cups_.addPrinter("Margini", QUARZELLO_SOURCE_DIR "/tests/cups/margini.ppd"),
                 qPrintable(cups_.errorString()));
        card_ = path("socio.qcf");
        QVERIFY(datafiles::writeBytes(card_, encodeCardFile(clubRecord("Ugo", "Neri", "6", "2"))));
        QVERIFY(datafiles::writeBytes(path("soci.csv"),
                                      "Nome;Cognome;Righe;Colonne\r\nUgo;Neri;3;4\r\n"
                                      "Lia;Bassi;;\r\nEva;Gallo;2;\r\n"));
    }

  protected:
    // The program with the arguments, run in workingIn (the test's folder when empty) with no
    // display, the variables given ("NAME=value") added to its environment, and its standard
    // output into the file named, if any.
    ToolRun quarzello(const QStringList& args, const QString& workingIn = {},
                      const QStringList& environmentToo = {}, const QString& output = {}) {
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
    QString path(const QString& name) const { return dir_.filePath(name); }

    PrivateCups cups_;
    QTemporaryDir dir_;
    QString card_;  // socio.qcf: Ugo Neri, 6 rows of 2
};

}  // namespace quarzello
