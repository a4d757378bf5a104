// The real program run as a process on its command line, in a folder of the test's own with a
// card file and a member list in it, beside a private CUPS scheduler with the queues Zeta, Alfa
// and Margini (a printer with margins).
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include "privatecups.h"
#include "tools.h"

namespace quarzello {

// The base of a command line test class.
class CommandLineFixture : public QObject {
    Q_OBJECT

  protected slots:
    void initTestCase();

  protected:
    // The program with the arguments, run in workingIn (the test's folder when empty) with no
    // display, the variables given ("NAME=value") added to its environment, and its standard
    // output into the file named, if any.
    ToolRun quarzello(const QStringList& args, const QString& workingIn = {},
                      const QStringList& environmentToo = {}, const QString& output = {});
    QString path(const QString& name) const { return dir_.filePath(name); }

    PrivateCups cups_;
    QTemporaryDir dir_;
    QString card_;  // socio.qcf: Ugo Neri, 6 rows of 2
};

}  // namespace quarzello
