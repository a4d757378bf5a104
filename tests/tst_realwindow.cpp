// The real program on a real X server (Xvfb): it starts, shows its window with the data file
// beside it, answers the keyboard, and ends through its Exit button.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "tools.h"

using namespace quarzello;

namespace {

// Runs a tool on the display to its end and gives its standard output.
QString run(const QString& tool, const QStringList& args, const QString& display) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", display);
    return QString::fromUtf8(runTool(tool, args, {}, env, 20000).output).trimmed();
}

}  // namespace

class RealWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();
    void cleanupTestCase();
    void showsWindowAndEndsThroughExit();

  private:
    QProcess xvfb_;
    QString display_;
};

void RealWindowTest::initTestCase() {
    if (QStandardPaths::findExecutable("Xvfb").isEmpty() ||
        QStandardPaths::findExecutable("xdotool").isEmpty())
        QFAIL("Xvfb and xdotool are needed: run scripts/deps.sh");
    // -displayfd picks a free display and tells us its number.
    xvfb_.start("Xvfb", {"-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp"});
    QVERIFY(xvfb_.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(xvfb_.canReadLine(), 20000);
    display_ = QStringLiteral(":") + QString::fromLatin1(xvfb_.readLine()).trimmed();
}

void RealWindowTest::cleanupTestCase() {
    xvfb_.terminate();
    xvfb_.waitForFinished(5000);
}

void RealWindowTest::showsWindowAndEndsThroughExit() {
    // The program keeps its data beside itself: give it a folder of its own with a data file,
    // so that it starts without the first-run greeting.
    QTemporaryDir folder;
    const QString exe = folder.filePath("quarzello");
    QVERIFY(QFile::copy(QUARZELLO_EXE, exe));
    QFile data(folder.filePath("Quarzo.qdf"));
    QVERIFY(data.open(QIODevice::WriteOnly));
    data.write("Dott.\r\nMario\r\nRossi\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n3\r\n1\r\n");
    data.close();

    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", display_);
    env.insert("QT_QPA_PLATFORM", "xcb");
    program.setProcessEnvironment(env);
    program.setWorkingDirectory(QDir::tempPath());  // started from elsewhere, like a launcher
    program.start(exe, {});
    QVERIFY(program.waitForStarted());

    const QString window = run(
        "xdotool", {"search", "--sync", "--onlyvisible", "--name", "^Quarzello del Camperista$"},
        display_);
    QVERIFY2(!window.isEmpty(), "the window did not show");
    const QString geometry =
        run("xdotool", {"getwindowgeometry", window.split('\n').first()}, display_);
    QVERIFY2(geometry.contains("Geometry: 461x301"), qPrintable(geometry));

    // Alt+E asks the exit question; Return answers with its default, Yes.
    run("xdotool", {"windowfocus", "--sync", window.split('\n').first()}, display_);
    run("xdotool", {"key", "alt+e"}, display_);
    QTRY_VERIFY_WITH_TIMEOUT(
        run("xdotool", {"search", "--onlyvisible", "--name", "^Quarzello del Camperista$"},
            display_)
                .split('\n')
                .size() >= 2,
        10000);
    QTest::qWait(300);
    run("xdotool", {"key", "Return"}, display_);
    QVERIFY2(program.waitForFinished(10000), "the program did not end after Yes");
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QVERIFY2(program.exitCode() == 0, program.readAllStandardError().right(3000).constData());
    // Exit saves nothing: the data file is as it was.
    QFile after(folder.filePath("Quarzo.qdf"));
    QVERIFY(after.open(QIODevice::ReadOnly));
    QCOMPARE(after.readAll(),
             QByteArray("Dott.\r\nMario\r\nRossi\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n3\r\n1\r\n"));
}

QTEST_GUILESS_MAIN(RealWindowTest)
#include "tst_realwindow.moc"
