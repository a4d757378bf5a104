// quarzello-startup-x: how long programs take, as the user sees it, from being started to
// their window's first paint on a real X server, and how much memory they hold by then.
//   quarzello-startup-x RUNS WIDTHxHEIGHT -- PROGRAM [ARGS] -- PROGRAM [ARGS]...
// Starts the programs in turn, RUNS times each, on the X server named by DISPLAY. A start is
// timed from just before exec to the X server's first damage report on a new top-level window
// of the given size (the first pixels the program put in it); the peak resident memory
// (VmHWM) is read at that moment. Prints one line per start: "a|b|c... milliseconds KiB", the
// letter saying which program.
#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

double nowMs() {
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

long peakKiB(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
    return -1;
}

[[noreturn]] void fail(const char* why) {
    std::fprintf(stderr, "quarzello-startup-x: %s\n", why);
    std::exit(1);
}

// One start: the milliseconds to the first damage of a new top-level window of the size, and
// the memory held then.
void measure(Display* x, int damageEvent, int width, int height, char** argv, char label) {
    XSync(x, True);  // nothing left over from the run before
    const double started = nowMs();
    const pid_t pid = fork();
    if (pid == 0) {
        execv(argv[0], argv);
        _exit(127);
    }
    if (pid < 0) fail("cannot start the program");

    std::vector<Damage> damages;
    double painted = -1;
    long kib = -1;
    const int fd = ConnectionNumber(x);
    while (painted < 0) {
        if (nowMs() - started > 30000) fail("no window was painted within 30 s");
        if (!XPending(x)) {
            pollfd wait{fd, POLLIN, 0};
            poll(&wait, 1, 100);
            continue;
        }
        XEvent event;
        XNextEvent(x, &event);
        if (event.type == CreateNotify) {
            const XCreateWindowEvent& created = event.xcreatewindow;
            if (created.width == width && created.height == height)
                damages.push_back(XDamageCreate(x, created.window, XDamageReportNonEmpty));
        } else if (event.type == damageEvent + XDamageNotify) {
            painted = nowMs() - started;
            kib = peakKiB(pid);
        }
    }
    std::printf("%c %.2f %ld\n", label, painted, kib);
    std::fflush(stdout);
    for (Damage damage : damages) XDamageDestroy(x, damage);
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

// A window gone before its damage object (the program killed at the end of a run) is no error.
int ignoreXErrors(Display*, XErrorEvent*) { return 0; }

}  // namespace

int main(int argc, char** argv) {
    if (argc < 5) fail("usage: RUNS WIDTHxHEIGHT -- PROGRAM [ARGS] -- PROGRAM [ARGS]...");
    const int runs = std::atoi(argv[1]);
    int width = 0, height = 0;
    if (std::sscanf(argv[2], "%dx%d", &width, &height) != 2) fail("size wanted as WIDTHxHEIGHT");
    std::vector<std::vector<char*>> programs;
    for (int i = 3; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0) {
            if (!programs.empty()) programs.back().push_back(nullptr);
            programs.emplace_back();
            continue;
        }
        if (programs.empty()) fail("the programs follow --");
        programs.back().push_back(argv[i]);
    }
    if (programs.empty() || programs.back().empty()) fail("a program is wanted after --");
    programs.back().push_back(nullptr);

    Display* x = XOpenDisplay(nullptr);
    if (!x) fail("no X server (DISPLAY)");
    XSetErrorHandler(ignoreXErrors);
    int damageEvent = 0, damageError = 0;
    if (!XDamageQueryExtension(x, &damageEvent, &damageError)) fail("no DAMAGE extension");
    XSelectInput(x, DefaultRootWindow(x), SubstructureNotifyMask);
    const int count = int(programs.size());
    for (int i = 0; i < runs; ++i) {
        // Taking turns, each round starting with another one.
        for (int j = 0; j < count; ++j) {
            const int which = (i + j) % count;
            measure(x, damageEvent, width, height, programs[which].data(), char('a' + which));
        }
    }
    XCloseDisplay(x);
    return 0;
}
