// Process-wide set-up: nothing here belongs to one window.
#include "app/setup.h"

#include <QCoreApplication>
#include <QDir>

#include "app/releasetext.h"
#include "platform/italian.h"
#include "print/fonts.h"

// The pictures live in a static library, whose resources must be registered by hand; the macro
// must be used outside any namespace.
static void registerResources() { Q_INIT_RESOURCE(quarzello); }

namespace quarzello {

void setUpProcess(const QString& programFolder) {
    registerResources();
    installFontSubstitutions();
    // Qt's own buttons and dialogs in Italian: "Sì", "No", "Annulla".
    installItalianTranslations();
    QCoreApplication::setApplicationName(QStringLiteral("quarzello"));
    QCoreApplication::setApplicationVersion(programVersionText());
    QDir::setCurrent(programFolder);
}

}  // namespace quarzello
