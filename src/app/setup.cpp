// Process-wide set-up: nothing here belongs to one window.
#include "app/setup.h"

#include <QDir>
#include <QGuiApplication>

#include "platform/italian.h"
#include "print/fonts.h"
#include "window/releasetext.h"

namespace quarzello {

void setUpProcess(const QString& programFolder) {
    installFontSubstitutions();
    // Qt's own buttons and dialogs in Italian: "Sì", "No", "Annulla".
    if (!installItalianTranslations())
        qWarning(
            "quarzello: le traduzioni italiane di Qt non sono state trovate: i pulsanti "
            "delle finestre di dialogo di Qt restano in inglese.");
    // The plain name also names the user's data folder (~/.local/share/quarzello).
    QCoreApplication::setApplicationName(QStringLiteral("quarzello"));
    QCoreApplication::setApplicationVersion(programVersionText());
    // What the desktop matches the window with: the desktop entry's own name.
    QGuiApplication::setDesktopFileName(applicationId());
    // The program's files are named from the folder itself; a current folder left elsewhere
    // only misleads a relative name, so it is noted, not fatal.
    if (!programFolder.isEmpty() && !QDir::setCurrent(programFolder))
        qWarning("quarzello: impossibile entrare nella cartella del programma %s.",
                 qUtf8Printable(QDir::toNativeSeparators(programFolder)));
}

}  // namespace quarzello
