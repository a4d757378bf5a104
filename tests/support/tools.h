// The one way tests, benchmarks and scripts' helpers run an external tool (poppler, CUPS's
// administration tools, xdotool, ...): to its end, with what it wrote and why it failed.
#pragma once

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace quarzello {

struct ToolRun {
    bool ok = false;  // started, ended in time, exit code 0
    int exitCode = -1;
    QByteArray output;  // standard output
    QByteArray errors;  // standard error
    QString failure;    // why not ok, for a test's message
};

// The tool's full path; administration tools are looked for in the sbin folders too. Empty
// when it is not installed.
QString findTool(const QString& name);

// Runs the tool with the arguments, feeding it input on standard input, in the environment
// given (this process's when empty), and waits up to timeoutMs for it to end.
ToolRun runTool(const QString& tool, const QStringList& args, const QByteArray& input = {},
                const QProcessEnvironment& environment = {}, int timeoutMs = 60000);

// Runs one test function of this very test program again, as the user nobody (root ignores
// file permissions): from a copy anyone may run, with a temporary folder nobody may write in.
// The run's failure, with what the test printed, is in failure.
ToolRun runTestAsNobody(const QString& testFunction);

}  // namespace quarzello
