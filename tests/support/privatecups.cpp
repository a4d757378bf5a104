// A private CUPS scheduler for tests: configuration, start and stop, queues, and the captured jobs.
#include "privatecups.h"

#include <cups/cups.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QThread>
#include <QUrl>
#include <csignal>
#include <cstring>
#include <map>

#include "tools.h"

#ifndef QUARZELLO_SOURCE_DIR
#error "QUARZELLO_SOURCE_DIR must name the source tree (it holds tests/cups/capture)"
#endif

namespace quarzello {

namespace {

bool writeFile(const QString& path, const QString& text) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(text.toUtf8()) == text.toUtf8().size() && file.flush();
}

// True once the scheduler accepts connections on its socket, which it does only when it has
// read its configuration and is ready for requests.
bool socketAnswers(const QString& path) {
    const QByteArray encoded = QFile::encodeName(path);
    sockaddr_un address{};
    if (encoded.size() >= static_cast<qsizetype>(sizeof address.sun_path)) return false;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, encoded.constData(), encoded.size());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    const bool connected =
        ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return connected;
}

// A process as "pid start-time": a number the system gives again to another process later
// never comes with the same start time.
QString processKey(qint64 pid, qint64* parent = nullptr) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) return {};
    // "pid (name) state ppid ... starttime(22nd)": the name may hold spaces and parentheses.
    const QByteArray line = stat.readAll();
    const QList<QByteArray> after = line.mid(line.lastIndexOf(')') + 2).split(' ');
    if (after.size() < 20) return {};
    if (parent) *parent = after[1].toLongLong();
    return QStringLiteral("%1 %2").arg(pid).arg(QString::fromLatin1(after[19]));
}

// Every process below root, children of children too, each as its processKey().
QStringList descendants(qint64 root) {
    QMultiHash<qint64, qint64> children;
    QHash<qint64, QString> keys;
    const QDir proc(QStringLiteral("/proc"));
    for (const QString& entry : proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool number = false;
        const qint64 pid = entry.toLongLong(&number);
        qint64 parent = 0;
        const QString key = number ? processKey(pid, &parent) : QString();
        if (key.isEmpty()) continue;
        children.insert(parent, pid);
        keys.insert(pid, key);
    }
    QStringList found;
    QList<qint64> next{root};
    while (!next.isEmpty()) {
        for (const qint64 child : children.values(next.takeFirst())) {
            found << keys.value(child);
            next << child;
        }
    }
    return found;
}

QString lastLines(const QString& text, int count) {
    const QStringList lines = text.split(QLatin1Char('\n'));
    return lines.mid(qMax(0, lines.size() - count)).join(QLatin1Char('\n'));
}

}  // namespace

PrivateCups::PrivateCups() = default;

PrivateCups::~PrivateCups() {
    stop();
    endLeftBehind();
    // CUPS_SERVER is left pointing at the dead socket on purpose: libcups keeps the server it
    // started with anyway, and nothing in this process should fall back to the real printers.
}

void PrivateCups::stop() {
    if (m_cupsd.state() == QProcess::NotRunning) return;
    thaw();  // a frozen scheduler would not hear that it must stop
    m_leftBehind << descendants(m_cupsd.processId());
    m_cupsd.terminate();
    if (!m_cupsd.waitForFinished(10000)) {
        m_cupsd.kill();
        m_cupsd.waitForFinished(5000);
    }
    endLeftBehind();
}

void PrivateCups::endLeftBehind() {
    for (const QString& key : std::as_const(m_leftBehind)) {
        const qint64 pid = key.section(QLatin1Char(' '), 0, 0).toLongLong();
        if (processKey(pid) == key) ::kill(pid_t(pid), SIGKILL);
    }
    m_leftBehind.clear();
}

bool PrivateCups::isPrinting(const QString& name) {
    cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, name.toUtf8().constData(), nullptr);
    if (!dest) return false;
    const char* state = cupsGetOption("printer-state", dest->num_options, dest->options);
    const bool printing = state && qstrcmp(state, "4") == 0;
    cupsFreeDests(1, dest);
    return printing;
}

QString PrivateCups::path(const QString& relative) const {
    return m_dir ? m_dir->filePath(relative) : QString();
}

bool PrivateCups::fail(const QString& message) {
    m_error = message;
    return false;
}

QString PrivateCups::errorString() const { return m_error; }

QString PrivateCups::socketPath() const { return path(QStringLiteral("cups.sock")); }

bool PrivateCups::isRunning() const { return m_cupsd.state() == QProcess::Running; }

QString PrivateCups::schedulerLog() const {
    QFile log(path(QStringLiteral("log/error_log")));
    if (!log.open(QIODevice::ReadOnly)) return QString();
    return QString::fromUtf8(log.readAll());
}

bool PrivateCups::start() {
    if (isRunning()) return true;
    m_error.clear();
    // Started again after stop(), the scheduler keeps its folder, socket and queues: libcups in
    // this process can only ever talk to that one socket.
    if (!m_dir && !prepare()) {
        m_dir.reset();
        return false;
    }
    return launch();
}

bool PrivateCups::prepare() {
    const QString cupsd = findTool(QStringLiteral("cupsd"));
    if (cupsd.isEmpty()) return fail(QStringLiteral("cupsd is not installed (Debian: cups)"));
    const QString backendSource =
        QStringLiteral(QUARZELLO_SOURCE_DIR) + QStringLiteral("/tests/cups/capture");
    if (!QFileInfo::exists(backendSource)) return fail(QStringLiteral("missing ") + backendSource);

    // A socket path must fit sockaddr_un (108 bytes): with a long TMPDIR, fall back to /tmp.
    QString base = QDir::tempPath();
    if (QFile::encodeName(base).size() > 60) base = QStringLiteral("/tmp");
    m_dir = std::make_unique<QTemporaryDir>(base + QStringLiteral("/quarzello-cups-XXXXXX"));
    if (!m_dir->isValid())
        return fail(QStringLiteral("cannot make a temporary folder: ") + m_dir->errorString());
    // Filters run as the scheduler's unprivileged user, who must be able to pass through the
    // folder to reach them (through bin/) and the jobs; nobody else may list or read it.
    if (!QFile::setPermissions(m_dir->path(), QFile::ReadOwner | QFile::WriteOwner |
                                                  QFile::ExeOwner | QFile::ExeGroup |
                                                  QFile::ExeOther))
        return fail(QStringLiteral("cannot open ") + m_dir->path() + QStringLiteral(" to filters"));

    const QDir root(m_dir->path());
    for (const char* sub :
         {"etc", "spool", "tmp", "cache", "state", "log", "bin/backend", "capture"}) {
        if (!root.mkpath(QLatin1String(sub)))
            return fail(QStringLiteral("cannot make ") + path(QLatin1String(sub)));
    }

    // The scheduler finds filters, drivers and its helpers under ServerBin; only the backends
    // are our own, so that queues can use the capture backend and nothing else.
    const QDir system(QStringLiteral("/usr/lib/cups"));
    for (const QString& sub : system.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (sub == QLatin1String("backend")) continue;
        if (!QFile::link(system.filePath(sub), path(QStringLiteral("bin/") + sub)))
            return fail(QStringLiteral("cannot link ") + system.filePath(sub));
    }
    // Mode 0700: the scheduler, when it runs as root, runs a backend that only its owner may
    // execute as root too, so the backend may write in this private (0700) folder. Run by an
    // ordinary user, the scheduler runs everything as that user, and the same mode works.
    const QString backend = path(QStringLiteral("bin/backend/capture"));
    if (!QFile::copy(backendSource, backend) ||
        !QFile::setPermissions(backend, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner))
        return fail(QStringLiteral("cannot install the capture backend in ") + backend);
    // CUPS's own network backend, for printers that do not answer; mode 0700 as above.
    const QString socketBackend = path(QStringLiteral("bin/backend/socket"));
    if (!QFile::copy(QStringLiteral("/usr/lib/cups/backend/socket"), socketBackend) ||
        !QFile::setPermissions(socketBackend,
                               QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner))
        return fail(QStringLiteral("cannot install the socket backend in ") + socketBackend);

    const QString cupsdConf =
        QStringLiteral(
            "# Private scheduler for one test program: local socket only, nothing shared,\n"
            "# no authentication.\n"
            "Listen %1\n"
            "LogLevel debug\n"
            "MaxLogSize 0\n"
            "Browsing No\n"
            "WebInterface No\n"
            "DefaultShared No\n"
            "ErrorPolicy abort-job\n"
            "PreserveJobHistory Yes\n"
            "PreserveJobFiles No\n"
            "DefaultAuthType None\n"
            "<Location />\n"
            "  Order allow,deny\n"
            "  Allow all\n"
            "</Location>\n"
            "<Policy default>\n"
            "  <Limit All>\n"
            "    Order deny,allow\n"
            "  </Limit>\n"
            "</Policy>\n")
            .arg(socketPath());
    const QString filesConf = QStringLiteral(
                                  "ServerRoot %1/etc\n"
                                  "RequestRoot %1/spool\n"
                                  "TempDir %1/tmp\n"
                                  "CacheDir %1/cache\n"
                                  "StateDir %1/state\n"
                                  "ServerBin %1/bin\n"
                                  "DataDir /usr/share/cups\n"
                                  "DocumentRoot /usr/share/cups/doc-root\n"
                                  "AccessLog %1/log/access_log\n"
                                  "ErrorLog %1/log/error_log\n"
                                  "PageLog %1/log/page_log\n"
                                  "Printcap %1/printcap\n")
                                  .arg(m_dir->path());
    if (!writeFile(path(QStringLiteral("cupsd.conf")), cupsdConf) ||
        !writeFile(path(QStringLiteral("cups-files.conf")), filesConf))
        return fail(QStringLiteral("cannot write the scheduler's configuration in ") +
                    m_dir->path());

    // Every CUPS client of this process and of its children goes to the private scheduler;
    // PRINTER and LPDEST would override the scheduler's default destination, and
    // CUPS_SERVERROOT keeps the machine's client.conf and lpoptions out of the way.
    qputenv("CUPS_SERVER", QFile::encodeName(socketPath()));
    qputenv("CUPS_SERVERROOT", QFile::encodeName(path(QStringLiteral("etc"))));
    qunsetenv("PRINTER");
    qunsetenv("LPDEST");
    const QString serverInUse = QString::fromLocal8Bit(cupsServer());
    if (serverInUse != socketPath())
        return fail(QStringLiteral("libcups in this process already talks to \"%1\": start "
                                   "PrivateCups before anything asks for a printer")
                        .arg(serverInUse));
    return true;
}

bool PrivateCups::launch() {
    const QString cupsd = findTool(QStringLiteral("cupsd"));
    m_cupsd.setProgram(cupsd);
    m_cupsd.setArguments({QStringLiteral("-f"), QStringLiteral("-c"), path("cupsd.conf"),
                          QStringLiteral("-s"), path("cups-files.conf")});
    m_cupsd.setProcessChannelMode(QProcess::MergedChannels);
    m_cupsd.setStandardOutputFile(path(QStringLiteral("log/cupsd.out")), QIODevice::Append);
    m_cupsd.start();
    if (!m_cupsd.waitForStarted(10000))
        return fail(QStringLiteral("cannot start cupsd: ") + m_cupsd.errorString());

    const QDeadlineTimer deadline(20000);
    while (!socketAnswers(socketPath())) {
        if (m_cupsd.state() != QProcess::Running || deadline.hasExpired()) {
            QFile out(path(QStringLiteral("log/cupsd.out")));
            out.open(QIODevice::ReadOnly);
            const QString said = QString::fromLocal8Bit(out.readAll());
            return fail(QStringLiteral("cupsd did not come up on %1.\n%2\n%3")
                            .arg(socketPath(), said, lastLines(schedulerLog(), 30)));
        }
        QThread::msleep(50);
    }
    return true;
}

bool PrivateCups::run(const QString& tool, const QStringList& args, QString* output) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("CUPS_SERVER"), socketPath());
    const ToolRun result = runTool(tool, args, {}, environment, 30000);
    if (output) *output = QString::fromLocal8Bit(result.output + result.errors);
    if (!result.ok) return fail(result.failure);
    return true;
}

QString PrivateCups::capturePath(const QString& name) const {
    return path(QStringLiteral("capture/") + name + QStringLiteral(".pdf"));
}

bool PrivateCups::addPrinter(const QString& name, const QString& ppd) {
    if (!isRunning()) return fail(QStringLiteral("the private scheduler is not running"));
    // No model: a queue without a PPD is raw, so the capture holds exactly what the program sent.
    QStringList args = {QStringLiteral("-p"), name, QStringLiteral("-E"), QStringLiteral("-v"),
                        QStringLiteral("capture:") + capturePath(name)};
    if (!ppd.isEmpty()) args << QStringLiteral("-P") << ppd;
    return run(QStringLiteral("lpadmin"), args);
}

bool PrivateCups::addTwoSidedPrinter(const QString& name) {
    return addPrinter(name, QStringLiteral(QUARZELLO_SOURCE_DIR "/tests/cups/fronteretro.ppd"));
}

bool PrivateCups::setQueueOption(const QString& name, const QString& option) {
    return run(QStringLiteral("lpadmin"),
               {QStringLiteral("-p"), name, QStringLiteral("-o"), option});
}

bool PrivateCups::addPrinter(const QString& name, const QString& deviceUri,
                             const QStringList& options) {
    QStringList args{QStringLiteral("-p"), name, QStringLiteral("-E"), QStringLiteral("-v"),
                     deviceUri};
    for (const QString& option : options) args << QStringLiteral("-o") << option;
    return run(QStringLiteral("lpadmin"), args);
}

bool PrivateCups::removePrinter(const QString& name) {
    return run(QStringLiteral("lpadmin"), {QStringLiteral("-x"), name});
}

bool PrivateCups::rejectJobs(const QString& name) {
    return run(QStringLiteral("cupsreject"),
               {QStringLiteral("-r"), QStringLiteral("closed by the test"), name});
}

bool PrivateCups::acceptJobs(const QString& name) {
    return run(QStringLiteral("cupsaccept"), {name});
}

bool PrivateCups::setDefault(const QString& name) {
    return run(QStringLiteral("lpadmin"), {QStringLiteral("-d"), name});
}

bool PrivateCups::stopPrinter(const QString& name, const QString& reason) {
    return run(QStringLiteral("cupsdisable"), {QStringLiteral("-r"), reason, name});
}

bool PrivateCups::restartPrinter(const QString& name) {
    return run(QStringLiteral("cupsenable"), {name});
}

bool PrivateCups::failJobs(const QString& name, const QString& message) {
    QFile fail(capturePath(name) + QStringLiteral(".fail"));
    if (!fail.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        fail.write(message.toUtf8()) != message.toUtf8().size())
        return PrivateCups::fail(QStringLiteral("cannot write ") + fail.fileName());
    return true;
}

bool PrivateCups::succeedJobs(const QString& name) {
    QFile::remove(capturePath(name) + QStringLiteral(".fail"));
    return true;
}

bool PrivateCups::slowJobs(const QString& name, int seconds) {
    QFile slow(capturePath(name) + QStringLiteral(".slow"));
    return (slow.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
            slow.write(QByteArray::number(seconds)) > 0) ||
           fail(QStringLiteral("cannot write ") + slow.fileName());
}

void PrivateCups::kill() {
    if (!isRunning()) return;
    m_leftBehind << descendants(m_cupsd.processId());
    m_cupsd.kill();
    m_cupsd.waitForFinished(5000);
}

bool PrivateCups::freeze() {
    if (!isRunning()) return fail(QStringLiteral("the private scheduler is not running"));
    return ::kill(pid_t(m_cupsd.processId()), SIGSTOP) == 0 ||
           fail(QStringLiteral("cannot stop the scheduler"));
}

bool PrivateCups::thaw() {
    if (!isRunning()) return fail(QStringLiteral("the private scheduler is not running"));
    return ::kill(pid_t(m_cupsd.processId()), SIGCONT) == 0 ||
           fail(QStringLiteral("cannot let the scheduler go on"));
}

int PrivateCups::jobCount(const QString& name) {
    QString listing;
    if (!run(QStringLiteral("lpstat"),
             {QStringLiteral("-W"), QStringLiteral("all"), QStringLiteral("-o"), name}, &listing))
        return -1;
    const QRegularExpression job(
        QStringLiteral("^%1-\\d+\\s").arg(QRegularExpression::escape(name)),
        QRegularExpression::MultilineOption);
    int count = 0;
    for (auto it = job.globalMatch(listing); it.hasNext(); it.next()) ++count;
    return count;
}

QStringList PrivateCups::jobAttributes(const QString& name, const QString& attribute) {
    ipp_t* request = ippNewRequest(IPP_OP_GET_JOBS);
    const QByteArray uri = "ipp://localhost/printers/" + QUrl::toPercentEncoding(name);
    const QByteArray wanted = attribute.toUtf8();
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri.constData());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "which-jobs", nullptr, "all");
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr,
                 wanted.constData());
    ipp_t* response = cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/");
    if (!response) fail(QStringLiteral("cannot ask for the jobs of ") + name);
    // The scheduler lists the jobs in the order it numbered them.
    QStringList values;
    for (ipp_attribute_t* a = ippFindAttribute(response, wanted.constData(), IPP_TAG_ZERO); a;
         a = ippFindNextAttribute(response, wanted.constData(), IPP_TAG_ZERO)) {
        char text[1024];
        ippAttributeString(a, text, sizeof text);
        values << QString::fromUtf8(text);
    }
    ippDelete(response);
    return values;
}

QByteArray PrivateCups::waitForJob(const QString& name, int timeoutMs) {
    const QString capture = capturePath(name);
    const QDeadlineTimer deadline(timeoutMs);
    while (!QFileInfo::exists(capture)) {
        if (deadline.hasExpired()) {
            QString jobs;
            run(QStringLiteral("lpstat"),
                {QStringLiteral("-W"), QStringLiteral("all"), QStringLiteral("-l"),
                 QStringLiteral("-o"), name},
                &jobs);
            fail(QStringLiteral("no job came out of %1 within %2 ms.\nJobs:\n%3\nLog:\n%4")
                     .arg(name)
                     .arg(timeoutMs)
                     .arg(jobs, lastLines(schedulerLog(), 40)));
            return QByteArray();
        }
        QThread::msleep(50);
    }
    QFile file(capture);
    if (!file.open(QIODevice::ReadOnly)) {
        fail(QStringLiteral("cannot read ") + capture + QStringLiteral(": ") + file.errorString());
        return QByteArray();
    }
    const QByteArray job = file.readAll();
    file.close();
    file.remove();
    return job;
}

QString PrivateCups::pdfText(const QByteArray& pdf) {
    if (!pdf.startsWith("%PDF")) return QString();
    const ToolRun run = runTool(QStringLiteral("pdftotext"),
                                {QStringLiteral("-layout"), QStringLiteral("-enc"),
                                 QStringLiteral("UTF-8"), QStringLiteral("-"), QStringLiteral("-")},
                                pdf, {}, 30000);
    return run.ok ? QString::fromUtf8(run.output) : QString();
}

}  // namespace quarzello
