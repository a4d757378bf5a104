// Qt's Italian translations, loaded into the application.
#include "platform/italian.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <memory>

namespace quarzello {

bool installItalianTranslations() {
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QLocale(QLocale::Italian), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        !QCoreApplication::installTranslator(translator.get()))
        return false;
    // Handed to the application, so that it lives as long as the texts it translates.
    translator.release()->setParent(QCoreApplication::instance());
    return true;
}

}  // namespace quarzello
