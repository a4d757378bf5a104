// The screen guard: Qt tells a platform that cannot start through a fatal message, and aborts
// right after it has been handled; the handler ends the process first, with our own words.
#include "app/display.h"

#include <QList>
#include <QStringList>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "cli/terminaltext.h"

namespace quarzello {

namespace {

struct Held {
    QtMsgType type;
    QString message;
};
QtMessageHandler previous = nullptr;
// Only while a guard lives.
std::optional<QList<Held>> held;

void guardMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "%s\n", unreachableDisplayText().toLocal8Bit().constData());
        std::fflush(stderr);
        std::_Exit(1);
    }
    // Qt's notes on the way to the failure ("could not connect to display") would come first.
    if (held) held->append({type, message});
}

}  // namespace

DisplayGuard::DisplayGuard() {
    held.emplace();
    previous = qInstallMessageHandler(guardMessages);
}

DisplayGuard::~DisplayGuard() {
    qInstallMessageHandler(previous);
    const QList<Held> notes = std::move(*held);
    held.reset();
    for (const Held& note : notes) {
        const QMessageLogContext context;
        if (previous)
            previous(note.type, context, note.message);
        else
            qt_message_output(note.type, context, note.message);
    }
}

QString unreachableDisplayText() {
    QStringList named;
    for (const char* variable : {"WAYLAND_DISPLAY", "DISPLAY"})
        if (const QString value = qEnvironmentVariable(variable); !value.isEmpty())
            named << QString::fromLatin1(variable) + u'=' + value;
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
