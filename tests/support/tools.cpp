// Running external tools to their end.
#include "tools.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace quarzello {

QString findTool(const QString& name) {
    const QString inSystemDirs = QStandardPaths::findExecutable(
        name, {QStringLiteral("/usr/sbin"), QStringLiteral("/usr/bin"), QStringLiteral("/sbin"),
               QStringLiteral("/bin")});
    return inSystemDirs.isEmpty() ? QStandardPaths::findExecutable(name) : inSystemDirs;
}

ToolRun runTool(const QString& tool, const QStringList& args, const QByteArray& input,
                const QProcessEnvironment& environment, int timeoutMs) {
    ToolRun run;
    const QString command = tool + QLatin1Char(' ') + args.join(QLatin1Char(' '));
    const QString program = tool.contains(QLatin1Char('/')) ? tool : findTool(tool);
    if (program.isEmpty()) {
        run.failure = tool + QStringLiteral(" is not installed");
        return run;
    }
    QProcess process;
    if (!environment.isEmpty()) process.setProcessEnvironment(environment);
    process.start(program, args);
    if (!process.waitForStarted(10000)) {
        run.failure = command + QStringLiteral(": ") + process.errorString();
        return run;
    }
    if (!input.isEmpty()) process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        run.failure = command + QStringLiteral(" did not finish");
        return run;
    }
    run.output = process.readAllStandardOutput();
    run.errors = process.readAllStandardError();
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.ok = run.exitCode == 0;
    if (!run.ok)
        run.failure = command + QStringLiteral(" failed: ") +
                      QString::fromLocal8Bit(run.errors + run.output).trimmed();
    return run;
}

ToolRun runTestAsNobody(const QString& testFunction) {
    QTemporaryDir place;
    const QString copy = place.filePath(QStringLiteral("test"));
    const QFileDevice::Permissions everyone = QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                              QFileDevice::ExeOwner | QFileDevice::ReadGroup |
                                              QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                              QFileDevice::ExeOther;
    // This program, also when it made no QCoreApplication.
    if (!QFile::copy(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath(), copy) ||
        !QFile::setPermissions(place.path(), everyone) || !QDir().mkdir(place.filePath("tmp")) ||
        !QFile::setPermissions(place.filePath("tmp"),
                               everyone | QFileDevice::WriteOther | QFileDevice::WriteGroup)) {
        ToolRun run;
        run.failure = QStringLiteral("cannot prepare a copy of the test in ") + place.path();
        return run;
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TMPDIR"), place.filePath("tmp"));
    environment.insert(QStringLiteral("HOME"), place.filePath("tmp"));
    ToolRun run = runTool(QStringLiteral("setpriv"),
                          {QStringLiteral("--reuid=nobody"), QStringLiteral("--regid=nogroup"),
                           QStringLiteral("--clear-groups"), copy, testFunction},
                          {}, environment);
    if (!run.ok) run.failure += QLatin1Char('\n') + QString::fromLocal8Bit(run.output);
    return run;
}

}  // namespace quarzello
