// The screen check before Qt starts: Qt aborts the process when no platform can start, with a
// note about plugins that tells the user nothing. A failed check costs a connection; a working
// display, one connection that Qt then makes again.
#include "app/display.h"

#include <dlfcn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QByteArray>
#include <QStringList>
#include <cstring>

#include "cli/commandline.h"

namespace quarzello {

namespace {

enum class Answer { Yes, No, Unknown };

// The X server of DISPLAY, asked as Qt's xcb platform will ask it (authorization included).
Answer xServerAnswers() {
    void* xcb = ::dlopen("libxcb.so.1", RTLD_LAZY | RTLD_LOCAL);
    if (!xcb) return Answer::Unknown;
    using Connect = void* (*)(const char*, int*);
    using HasError = int (*)(void*);
    using Disconnect = void (*)(void*);
    const auto connect = reinterpret_cast<Connect>(::dlsym(xcb, "xcb_connect"));
    const auto hasError = reinterpret_cast<HasError>(::dlsym(xcb, "xcb_connection_has_error"));
    const auto disconnect = reinterpret_cast<Disconnect>(::dlsym(xcb, "xcb_disconnect"));
    Answer answer = Answer::Unknown;
    if (connect && hasError && disconnect) {
        void* connection = connect(nullptr, nullptr);
        // xcb_connect never gives null: a failed connection is an object in an error state.
        answer = hasError(connection) == 0 ? Answer::Yes : Answer::No;
        disconnect(connection);
    }
    ::dlclose(xcb);
    return answer;
}

// The compositor's socket, where Wayland clients find it.
Answer waylandAnswers(const QByteArray& display) {
    QByteArray path = display;
    if (!path.startsWith('/')) {
        const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
        if (runtime.isEmpty()) return Answer::No;
        path = runtime + '/' + display;
    }
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (size_t(path.size()) >= sizeof address.sun_path) return Answer::No;
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (socket < 0) return Answer::Unknown;
    const bool connected =
        ::connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(socket);
    return connected ? Answer::Yes : Answer::No;
}

}  // namespace

std::optional<QString> unreachableDisplay(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "-display") == 0)
            return std::nullopt;
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (!platform.isEmpty() && !platform.contains("xcb") && !platform.contains("wayland"))
        return std::nullopt;

    const QByteArray wayland = qgetenv("WAYLAND_DISPLAY");
    const QByteArray x = qgetenv("DISPLAY");
    QStringList named;
    if (!wayland.isEmpty()) {
        const Answer answer = waylandAnswers(wayland);
        if (answer != Answer::No) return std::nullopt;
        named << QStringLiteral("WAYLAND_DISPLAY=") + QString::fromLocal8Bit(wayland);
    }
    if (!x.isEmpty()) {
        const Answer answer = xServerAnswers();
        if (answer != Answer::No) return std::nullopt;
        named << QStringLiteral("DISPLAY=") + QString::fromLocal8Bit(x);
    }
    const QString why = named.isEmpty() ? QStringLiteral(
                                              "non è indicato nessuno schermo (DISPLAY e "
                                              "WAYLAND_DISPLAY sono vuoti)")
                                        : QStringLiteral("lo schermo indicato (%1) non risponde")
                                              .arg(named.join(QStringLiteral(", ")));
    return terminalText(QStringLiteral("quarzello: la finestra non può essere aperta: %1. Senza "
                                       "finestra, per le altre possibilità: quarzello --help")
                            .arg(why));
}

}  // namespace quarzello
