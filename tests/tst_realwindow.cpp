// The real program on a real X server (Xvfb), run by an unprivileged user from a folder it
// cannot write, as installed programs are: it starts, shows its window, keeps its data file
// where it should, answers the keyboard and a screen reader, and ends through its Exit button.
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "datafiles.h"
#include "privatecups.h"
#include "tools.h"

using namespace quarzello;

namespace {

// Runs a tool on the display to its end and gives its standard output.
QString run(const QString& tool, const QStringList& args, const QString& display) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", display);
    return QString::fromUtf8(runTool(tool, args, {}, env, 20000).output).trimmed();
}

const QByteArray kMarioRossi =
    "Dott.\r\nMario\r\nRossi\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n3\r\n1\r\n";

// The program as a screen reader reads it through AT-SPI, an object a line: role|name|flags, with
// S for showing and F for focused.
const char* const kReadTree = R"(
import gi; gi.require_version('Atspi', '2.0'); from gi.repository import Atspi as A
def show(n, s=A.StateType):
    has = n.get_state_set().contains
    print(n.get_role_name(), n.get_name(), 'S' * has(s.SHOWING) + 'F' * has(s.FOCUSED), sep='|')
    [show(c) for c in map(n.get_child_at_index, range(n.get_child_count())) if c]
show(A.get_desktop(0)))";

// Qt's spelling of modes 0777 and 0555.
const QFile::Permissions kEveryone(0x7777), kReadAll(0x5555);

// The built program in a folder that anyone may read and the user running it may not write,
// with a data file beside it if given; made writable again at the end, to be removed.
struct ReadOnlyCopy {
    QTemporaryDir folder;
    QString exe = folder.filePath("quarzello");
    bool ok = QFile::copy(QUARZELLO_EXE, exe);
    explicit ReadOnlyCopy(const QByteArray& data = {}) {
        if (!data.isEmpty()) ok = ok && datafiles::writeBytes(folder.filePath("Quarzo.qdf"), data);
        QFile::setPermissions(folder.path(), kReadAll);
    }
    ~ReadOnlyCopy() { QFile::setPermissions(folder.path(), kEveryone); }
};

}  // namespace

class RealWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();
    void cleanupTestCase();
    void showsWindowAndEndsThroughExit();
    void keepsDataInTheUsersFolderWhenInstalled();
    void keyboardAndScreenReader();
    void previewFollowsTyping();

  private:
    // Starts the program with a home of its own, as nobody when the tests run as root; on the
    // session bus given, with its accessibility on.
    void start(QProcess& program, const QString& exe, const QString& home,
               const QStringList& args = {}, const QString& bus = {});
    // The id and geometry of the first window the program shows.
    QStringList firstWindow();

    QProcess xvfb_;
    QString display_;
};

void RealWindowTest::initTestCase() {
    if (QStandardPaths::findExecutable("Xvfb").isEmpty() ||
        QStandardPaths::findExecutable("xdotool").isEmpty())
        QFAIL("Xvfb and xdotool are needed: run scripts/deps.sh");
    // -displayfd picks a free display and tells us its number. A black root: where a window has
    // not been painted yet the screen shows black, never the white of a sheet.
    xvfb_.start("Xvfb",
                {"-displayfd", "1", "-screen", "0", "1024x768x24", "-br", "-nolisten", "tcp"});
    QVERIFY(xvfb_.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(xvfb_.canReadLine(), 20000);
    display_ = QStringLiteral(":") + QString::fromLatin1(xvfb_.readLine()).trimmed();
}

void RealWindowTest::cleanupTestCase() {
    xvfb_.terminate();
    xvfb_.waitForFinished(5000);
}

void RealWindowTest::start(QProcess& program, const QString& exe, const QString& home,
                           const QStringList& args, const QString& bus) {
    QFile::setPermissions(home, kEveryone);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("XDG_DATA_HOME");
    env.insert("HOME", home);
    env.insert("XDG_RUNTIME_DIR", home + "/run");
    env.insert("DISPLAY", display_);
    env.insert("QT_QPA_PLATFORM", "xcb");
    if (!bus.isEmpty()) env.insert("DBUS_SESSION_BUS_ADDRESS", bus);
    if (!bus.isEmpty()) env.insert("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1");
    program.setProcessEnvironment(env);
    program.setWorkingDirectory(QDir::tempPath());  // started from elsewhere, like a launcher
    // Root may write anywhere: an installed program's user may not.
    if (::geteuid() == 0)
        program.start(
            "setpriv",
            QStringList{"--reuid=nobody", "--regid=nogroup", "--clear-groups", exe} + args);
    else
        program.start(exe, args);
    QVERIFY(program.waitForStarted());
}

QStringList RealWindowTest::firstWindow() {
    const QString id =
        run("xdotool",
            {"search", "--sync", "--onlyvisible", "--name", "^Quarzello del Camperista$"}, display_)
            .split('\n')
            .first();
    return {id, run("xdotool", {"getwindowgeometry", id}, display_)};
}

void RealWindowTest::showsWindowAndEndsThroughExit() {
    // The data file beside the program is read even where the user cannot write: no greeting.
    ReadOnlyCopy installed(kMarioRossi);
    QTemporaryDir home;
    QVERIFY(installed.ok);
    QProcess program;
    start(program, installed.exe, home.path());
    const QStringList window = firstWindow();
    QVERIFY2(window.value(1).contains("Geometry: 461x301"), qPrintable(window.value(1)));

    // Alt+E asks the exit question; Return, once the question has the keyboard, answers with its
    // default, Yes.
    run("xdotool", {"windowfocus", "--sync", window.value(0)}, display_);
    run("xdotool", {"key", "alt+e"}, display_);
    const auto questionHasTheKeyboard = [&] {
        const QStringList shown =
            run("xdotool", {"search", "--onlyvisible", "--name", "^Quarzello del Camperista$"},
                display_)
                .split('\n');
        const QString focused = run("xdotool", {"getwindowfocus"}, display_);
        return shown.size() >= 2 && shown.contains(focused) && focused != window.value(0);
    };
    QTRY_VERIFY_WITH_TIMEOUT(questionHasTheKeyboard(), 10000);
    run("xdotool", {"key", "Return"}, display_);
    QVERIFY2(program.waitForFinished(10000), "the program did not end after Yes");
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QVERIFY2(program.exitCode() == 0, program.readAllStandardError().right(3000).constData());
    // Exit saves nothing: the data file is as it was.
    QCOMPARE(datafiles::readBytes(installed.folder.filePath("Quarzo.qdf")), kMarioRossi);
}

void RealWindowTest::keepsDataInTheUsersFolderWhenInstalled() {
    // The package's test names the program it unpacked where no user can write.
    ReadOnlyCopy copy;
    QTemporaryDir home;
    const QString exe = qEnvironmentVariable("QUARZELLO_INSTALLED", copy.exe);
    QVERIFY(copy.ok);
    const QString dataFile = home.filePath(".local/share/quarzello/Quarzo.qdf");

    // First run: a greeting before the window; the data folder is made by Save, not before.
    QProcess first;
    start(first, exe, home.path());
    QVERIFY(!firstWindow().value(1).contains("Geometry: 461x301"));
    run("xdotool", {"key", "Return"}, display_);
    QTRY_VERIFY_WITH_TIMEOUT(firstWindow().value(1).contains("Geometry: 461x301"), 10000);
    QVERIFY(!QFileInfo::exists(QFileInfo(dataFile).path()));
    run("xdotool", {"windowfocus", "--sync", firstWindow().value(0)}, display_);
    run("xdotool", {"key", "alt+l"}, display_);
    QTRY_COMPARE_WITH_TIMEOUT(datafiles::readBytes(dataFile),
                              QByteArray("\r\n").repeated(11) + "6\r\n2\r\n", 10000);
    first.kill();
    first.waitForFinished();

    // Next run: the data are read from there, silently.
    QProcess next;
    start(next, exe, home.path());
    const QStringList window = firstWindow();
    QVERIFY(window.value(1).contains("Geometry: 461x301"));
    // Destroyed from outside while its exit question is open, the window ends the program.
    run("xdotool", {"windowfocus", "--sync", window.value(0)}, display_);
    run("xdotool", {"key", "alt+e"}, display_);
    QTRY_VERIFY_WITH_TIMEOUT(
        run("xdotool", {"search", "--onlyvisible", "--name", "^Quarzello"}, display_)
                .split('\n')
                .size() >= 2,
        10000);
    run("xdotool", {"windowclose", window.value(0)}, display_);
    QVERIFY2(next.waitForFinished(10000), "the program outlived its window");
}

void RealWindowTest::keyboardAndScreenReader() {
    PrivateCups cups;
    QVERIFY2(cups.start() && cups.addPrinter("Alfa") && cups.addPrinter("Beta") &&
                 cups.setDefault("Beta"),
             qPrintable(cups.errorString()));
    ReadOnlyCopy installed;
    QTemporaryDir home;
    // A session bus of the program's user: the accessibility bus starts on it when asked for.
    QProcess bus, program, reader;
    start(bus, "dbus-daemon", home.path(), {"--session", "--nofork", "--print-address=1"});
    QTRY_VERIFY_WITH_TIMEOUT(bus.canReadLine(), 10000);
    const QString address = QString::fromUtf8(bus.readLine()).trimmed();
    start(program, installed.exe, home.path(), {}, address);
    firstWindow();
    run("xdotool", {"key", "Return"}, display_);  // the first run's greeting
    QTRY_VERIFY_WITH_TIMEOUT(firstWindow().value(1).contains("Geometry: 461x301"), 10000);
    const QStringList focusWindow = {"windowfocus", "--sync", firstWindow().value(0), "key"};
    const auto keys = [&](const QStringList& pressed) {
        run("xdotool", focusWindow + pressed, display_);
    };
    const auto shows = [&](const char* line, bool shown = true) {
        return QTest::qWaitFor(
            [&] {
                start(reader, "/usr/bin/python3", home.path(), {"-c", kReadTree}, address);
                return reader.waitForFinished() &&
                       reader.readAllStandardOutput().contains(line) == shown;
            },
            20000);
    };

    // A window, and its controls by name (every one of them is checked in the window's tests).
    for (const char* line :
         {"\nframe|Quarzello del Camperista|S", "\ntext|Righe per pagina|S",
          "\npush button|Aiuto|S", "\npush button|Stampa sulla stampante scelta|\n"})
        QVERIFY2(shows(line), QByteArray(line + reader.readAllStandardError()).constData());
    // F1 shows the help; Escape closes it, and the focus is back where it was.
    keys({"F1"});
    QVERIFY(shows("\ntext|Istruzioni|SF\n"));
    keys({"Escape"});
    QVERIFY(shows("\ntext|Istruzioni|\n") && shows("\ntext|Titolo|SF\n"));
    // Return on Salva opens its dialog.
    keys(QStringList(16, "Tab") << "Return");
    QVERIFY(shows("\ndialog|"));
    run("xdotool", {"key", "Escape"}, display_);
    QVERIFY(shows("\ndialog|", false));
    // Return in the list prints on the current entry: the system's default, not the first...
    keys({"alt+s"});
    QVERIFY(shows("\nlist item|Beta|"));
    keys({"Return"});
    QVERIFY2(!cups.waitForJob("Beta").isEmpty(), qPrintable(cups.errorString()));
    QVERIFY(shows("|Fine stampa|"));
    run("xdotool", {"key", "Return"}, display_);
    // ... and so does Alt+S in the panel, where the printer used last in this run is current.
    QVERIFY(cups.addPrinter("Aaa") && cups.setDefault("Aaa"));
    keys({"alt+s"});
    QVERIFY(shows("\nlist item|Aaa|"));
    keys({"alt+s"});
    QVERIFY2(!cups.waitForJob("Beta").isEmpty(), qPrintable(cups.errorString()));
    program.kill();
    program.waitForFinished();
    bus.kill();
    bus.waitForFinished();
}

void RealWindowTest::previewFollowsTyping() {
    ReadOnlyCopy installed(kMarioRossi);
    QTemporaryDir home;
    QVERIFY(installed.ok);
    QProcess program;
    start(program, installed.exe, home.path());
    const QString id = firstWindow().value(0);
    // Alt+A once the window has the keyboard: the preview opens and the window widens.
    run("xdotool", {"windowfocus", "--sync", id}, display_);
    QTRY_COMPARE_WITH_TIMEOUT(run("xdotool", {"getwindowfocus"}, display_), id, 10000);
    run("xdotool", {"key", "alt+a"}, display_);
    QTRY_VERIFY_WITH_TIMEOUT(!firstWindow().value(1).contains("Geometry: 461x301"), 10000);
    // The part of the window right of the form, as the screen shows it.
    const auto preview = [&] {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", display_);
        return runTool("import", {"-window", id, "-crop", "2000x2000+461+0", "gray:-"}, {}, env,
                       20000)
            .output;
    };
    // Drawn, the paper's white on the screen, and settled: two pictures in a row are the same.
    QByteArray before;
    QTRY_VERIFY_WITH_TIMEOUT((before = preview()).contains(char(0xff)) && preview() == before,
                             10000);
    // A click in the name box, then a few characters more in it.
    run("xdotool", {"mousemove", "--window", id, "150", "85", "click", "1"}, display_);
    run("xdotool", {"type", "--window", id, "WWWW"}, display_);
    QTRY_VERIFY_WITH_TIMEOUT(preview() != before, 10000);
    program.kill();
    program.waitForFinished();
}

QTEST_GUILESS_MAIN(RealWindowTest)
#include "tst_realwindow.moc"
