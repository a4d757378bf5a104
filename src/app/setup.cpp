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
    installItalianTranslations();
    // The plain name also names the user's data folder (~/.local/share/quarzello).
    QCoreApplication::setApplicationName(QStringLiteral("quarzello"));
    QCoreApplication::setApplicationVersion(programVersionText());
    // What the desktop matches the window with: the desktop entry's own name.
    QGuiApplication::setDesktopFileName(applicationId());
    QDir::setCurrent(programFolder);
}

}  // namespace quarzello
